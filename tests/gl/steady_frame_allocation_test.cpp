// Counts heap allocations made on the drawing thread while the show runs frames of every
// scene: after a scene's first frames (font registry, caption layout buffer) a frame must
// not allocate. The replaced global operator new counts only while `counting` is set on
// this thread. The show's code allocates only through operator new (containers, strings);
// the GL driver's own C allocations, such as the texture storage it makes anew for every
// glTexImage2D of the warp scenes, are not ours and are not counted.
#include "../support/tga_bytes.h"
#include "gl_fixture.h"

#include <cstdlib>
#include <map>
#include <new>

#include "app/frame.h"
#include "app/shell.h"

namespace {

thread_local bool counting = false;
thread_local long allocations = 0;

void* countedMalloc(std::size_t size) {
    if (counting) ++allocations;
    return std::malloc(size);
}

}  // namespace

void* operator new(std::size_t size) {
    void* p = countedMalloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return countedMalloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return countedMalloc(size == 0 ? 1 : size);
}
// operator new above takes its memory from malloc, so free is the matching release.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

// A font of one colour, enough for the captions to lay out and draw glyphs.
void writeFontData() {
    testdata::writeFile("data/font.tga", testdata::solidTga(256, 256, 255, 255, 255));
    testdata::writeText("data/fonts.data", "mapfile xspace yspace\ndata/font.tga 0 4\n");
}

}  // namespace

TEST_F(GlTest, SteadyStateFramesOfEverySceneAllocateNothing) {
    testdata::ScratchDir dir;
    writeFontData();
    startShowOffscreen(320, 200);
    // Frames every 4 ms; the first WarmUpFrames of each scene, and of each caption (the
    // opening scene's texts change at 3000, 8000 and 13000 ms), may allocate.
    constexpr int WarmUpFrames = 8;
    std::map<int32_t, long> allocationsByScene;
    std::map<int32_t, int> countedFrames;
    int32_t lastScene = -1;
    int framesInPhase = 0;
    uint32_t lastPhase = 0;
    for (uint32_t now = 150; !isQuitRequested(); now += 4) {
        const uint32_t phase = now > 13000 ? 3 : now > 8000 ? 2 : now > 3000 ? 1 : 0;
        const int32_t scene = currentSceneIndex();
        if (scene != lastScene || phase != lastPhase) framesInPhase = 0;
        lastScene = scene;
        lastPhase = phase;
        const bool steady = ++framesInPhase > WarmUpFrames;
        allocations = 0;
        counting = steady;
        drawFrame(now);
        counting = false;
        // A frame that moved to a new scene is its warm-up, not the old scene's steady state.
        if (steady && currentSceneIndex() == scene) {
            allocationsByScene[scene] += allocations;
            ++countedFrames[scene];
        }
    }
    for (int32_t scene = 0; scene < 10; ++scene) {
        EXPECT_GT(countedFrames[scene], 100) << "scene " << scene;
        EXPECT_EQ(allocationsByScene[scene], 0) << "scene " << scene << " over "
                                                << countedFrames[scene] << " frames";
    }
}
