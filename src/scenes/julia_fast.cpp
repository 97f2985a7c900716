#include "scenes/julia_fast.h"

#include <array>

#include "scenes/julia.h"

#if defined(__x86_64__) || defined(__i386__)
#define JULIA_X86 1
#include <immintrin.h>
#endif

namespace {

constexpr int Size = JuliaSize;          // pixels per row and per column
constexpr int MaxSteps = JuliaMaxSteps;  // iterations before a point counts as inside

// Blue byte by escape step 1..101; index 0 (never escaped) is black.
const std::array<uint8_t, MaxSteps + 1> BlueOfStep = [] {
    std::array<uint8_t, MaxSteps + 1> table{};
    for (int n = 1; n <= MaxSteps; ++n) table[size_t(n)] = juliaBlue(n);
    return table;
}();

// Escape steps (1..101, 0 = never) of `Width` neighbouring pixels of one row: start points
// (zRe, zIm[0..Width-1]) under z -> z^2 + (re, im).
using EscapeLanes = void (*)(float zRe, const float* zIm, float re, float im, int32_t* steps);

void escapePortable(float zRe, const float* zIm, float re, float im, int32_t* steps) {
    steps[0] = juliaEscapeStep(zRe, zIm[0], re, im);
}

#ifdef JULIA_X86
// The lane versions differ from the one-pixel step in three ways that leave every result
// the same:
// - Each lane keeps its squares from the magnitude test for the next step (the scalar
//   step computes the same two products again).
// - The test compares the squared magnitude with 1e10 instead of its square root with
//   1e5: the square root is correctly rounded and so never decreasing, sqrt(1e10) is
//   exactly 1e5, and the next float above 1e10 (1e10 + 1024) has a square root that
//   rounds above 1e5. So "sqrtf(s) > 1e5" holds exactly when "s > 1e10" (NaN: neither).
// - Lanes that already escaped keep iterating until all have; their step count stopped
//   at the first escape.
constexpr float EscapeSquare = 1e10f;  // the escape magnitude 100000 squared, exact

[[gnu::target("sse2")]] void escapeSse2(float zRe0, const float* zImStart, float re,
                                        float im, int32_t* steps) {
    const __m128 cRe = _mm_set1_ps(re);
    const __m128 cIm = _mm_set1_ps(im);
    const __m128 two = _mm_set1_ps(2.0f);
    const __m128 limit = _mm_set1_ps(EscapeSquare);
    __m128 zRe = _mm_set1_ps(zRe0);
    __m128 zIm = _mm_loadu_ps(zImStart);
    __m128 reSq = _mm_mul_ps(zRe, zRe);
    __m128 imSq = _mm_mul_ps(zIm, zIm);
    __m128i inside = _mm_set1_epi32(-1);  // lanes not escaped yet: all bits set
    __m128i count = _mm_setzero_si128();  // steps taken while inside
    for (int n = 1; n <= MaxSteps; ++n) {
        count = _mm_sub_epi32(count, inside);
        const __m128 newRe = _mm_add_ps(_mm_sub_ps(reSq, imSq), cRe);
        const __m128 newIm = _mm_add_ps(_mm_mul_ps(_mm_mul_ps(two, zRe), zIm), cIm);
        zRe = newRe;
        zIm = newIm;
        reSq = _mm_mul_ps(newRe, newRe);
        imSq = _mm_mul_ps(newIm, newIm);
        const __m128 out = _mm_cmpgt_ps(_mm_add_ps(reSq, imSq), limit);
        inside = _mm_andnot_si128(_mm_castps_si128(out), inside);
        if (_mm_movemask_ps(_mm_castsi128_ps(inside)) == 0) break;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(steps), _mm_andnot_si128(inside, count));
}

[[gnu::target("avx2")]] void escapeAvx2(float zRe0, const float* zImStart, float re,
                                        float im, int32_t* steps) {
    const __m256 cRe = _mm256_set1_ps(re);
    const __m256 cIm = _mm256_set1_ps(im);
    const __m256 two = _mm256_set1_ps(2.0f);
    const __m256 limit = _mm256_set1_ps(EscapeSquare);
    __m256 zRe = _mm256_set1_ps(zRe0);
    __m256 zIm = _mm256_loadu_ps(zImStart);
    __m256 reSq = _mm256_mul_ps(zRe, zRe);
    __m256 imSq = _mm256_mul_ps(zIm, zIm);
    __m256i inside = _mm256_set1_epi32(-1);  // lanes not escaped yet: all bits set
    __m256i count = _mm256_setzero_si256();  // steps taken while inside
    for (int n = 1; n <= MaxSteps; ++n) {
        count = _mm256_sub_epi32(count, inside);
        const __m256 newRe = _mm256_add_ps(_mm256_sub_ps(reSq, imSq), cRe);
        const __m256 newIm = _mm256_add_ps(_mm256_mul_ps(_mm256_mul_ps(two, zRe), zIm), cIm);
        zRe = newRe;
        zIm = newIm;
        reSq = _mm256_mul_ps(newRe, newRe);
        imSq = _mm256_mul_ps(newIm, newIm);
        const __m256 out = _mm256_cmp_ps(_mm256_add_ps(reSq, imSq), limit, _CMP_GT_OQ);
        inside = _mm256_andnot_si256(_mm256_castps_si256(out), inside);
        if (_mm256_testz_si256(inside, inside)) break;
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(steps), _mm256_andnot_si256(inside, count));
}
#endif

// The image row by row, `Width` pixels per call of `escape`; start points and pixel bytes
// are the same for every lane set.
template <int Width, EscapeLanes escape>
void renderRows(float re, float im, float spanRe, float spanIm, uint8_t* rgba) {
    static_assert(Size % Width == 0);
    const float stepRe = spanRe * 0.0078125f;
    const float stepIm = spanIm * 0.0078125f;
    alignas(32) std::array<float, Size> zImStart;
    for (int column = 0; column < Size; ++column)
        zImStart[size_t(column)] = float(column - 64) * stepIm * 2.0f;
    alignas(32) std::array<int32_t, Size> steps;
    for (int row = 0; row < Size; ++row) {
        const float zRe = float(row - 64) * stepRe * 2.0f;
        for (int column = 0; column < Size; column += Width)
            escape(zRe, &zImStart[size_t(column)], re, im, &steps[size_t(column)]);
        uint8_t* pixel = rgba + size_t(row) * Size * 4;
        for (int column = 0; column < Size; ++column, pixel += 4) {
            pixel[0] = 0;
            pixel[1] = 0;
            pixel[2] = BlueOfStep[size_t(steps[size_t(column)])];
            pixel[3] = 0;
        }
    }
}

}  // namespace

bool juliaLanesAvailable(JuliaLanes lanes) {
    switch (lanes) {
        case JuliaLanes::Portable:
            return true;
#ifdef JULIA_X86
        case JuliaLanes::Sse2:
            return __builtin_cpu_supports("sse2");
        case JuliaLanes::Avx2:
            return __builtin_cpu_supports("avx2");
#endif
        default:
            return false;
    }
}

JuliaLanes bestJuliaLanes() {
    static const JuliaLanes best = juliaLanesAvailable(JuliaLanes::Avx2)   ? JuliaLanes::Avx2
                                   : juliaLanesAvailable(JuliaLanes::Sse2) ? JuliaLanes::Sse2
                                                                           : JuliaLanes::Portable;
    return best;
}

const char* juliaLanesName(JuliaLanes lanes) {
    switch (lanes) {
        case JuliaLanes::Sse2:
            return "sse2";
        case JuliaLanes::Avx2:
            return "avx2";
        default:
            return "portable";
    }
}

void renderJuliaOn(JuliaLanes lanes, float re, float im, float spanRe, float spanIm,
                   uint8_t* rgba128x128) {
    // A lane set the processor lacks would fault; the one-pixel path gives the same bytes.
    if (!juliaLanesAvailable(lanes)) lanes = JuliaLanes::Portable;
    switch (lanes) {
#ifdef JULIA_X86
        case JuliaLanes::Sse2:
            renderRows<4, escapeSse2>(re, im, spanRe, spanIm, rgba128x128);
            return;
        case JuliaLanes::Avx2:
            renderRows<8, escapeAvx2>(re, im, spanRe, spanIm, rgba128x128);
            return;
#endif
        default:
            renderRows<1, escapePortable>(re, im, spanRe, spanIm, rgba128x128);
            return;
    }
}

void renderJuliaFast(float re, float im, float spanRe, float spanIm, uint8_t* rgba128x128) {
    renderJuliaOn(bestJuliaLanes(), re, im, spanRe, spanIm, rgba128x128);
}
