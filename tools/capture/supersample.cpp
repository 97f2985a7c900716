#include "supersample.h"

#include <cstddef>
#include <cstring>
#include <vector>

namespace {

// The n rows of one output row are added first (one long loop over plain sums that the
// compiler vectorises), then each run of n pixels of that sum; 16 samples of 255 fit in
// 16 bits.
template <int N>
void filter(const uint8_t* source, int width, int height, uint8_t* target) {
    const size_t outRow = size_t(width) * 4;
    const size_t inRow = outRow * N;
    std::vector<uint16_t> rows(inRow);
    for (int y = 0; y < height; ++y) {
        const uint8_t* first = source + size_t(y) * N * inRow;
        for (size_t i = 0; i < inRow; ++i) rows[i] = first[i];
        for (int r = 1; r < N; ++r) {
            const uint8_t* row = first + size_t(r) * inRow;
            for (size_t i = 0; i < inRow; ++i) rows[i] = uint16_t(rows[i] + row[i]);
        }
        uint8_t* out = target + size_t(y) * outRow;
        for (size_t x = 0; x < size_t(width); ++x) {
            const uint16_t* block = &rows[x * N * 4];
            for (int c = 0; c < 4; ++c) {
                unsigned sum = 0;
                for (int s = 0; s < N; ++s) sum += block[s * 4 + c];
                out[x * 4 + size_t(c)] = uint8_t((sum + N * N / 2) / (N * N));
            }
        }
    }
}

}  // namespace

void boxFilterDown(const uint8_t* source, int width, int height, int n, uint8_t* target) {
    switch (n) {
        case 2: return filter<2>(source, width, height, target);
        case 3: return filter<3>(source, width, height, target);
        case 4: return filter<4>(source, width, height, target);
        default: std::memcpy(target, source, size_t(width) * size_t(height) * 4);
    }
}
