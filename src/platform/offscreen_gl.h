#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A headless GL compatibility context (EGL on Mesa's surfaceless platform) drawing into a
// framebuffer object of a given size: 24-bit colour and, like the show's window, no depth
// buffer. Used by the tests that read pixels back, the capture tool and the benchmark.
// Creating it also sets the desktop rectangle to its size (the closing scene's viewport).
class OffscreenContext {
public:
    // Null on failure, with the reason in `error`; `tooLarge` (if given) tells whether the
    // reason is a size past the driver's largest renderbuffer or viewport.
    static std::unique_ptr<OffscreenContext> create(int width, int height, std::string& error,
                                                    bool* tooLarge = nullptr);
    virtual ~OffscreenContext();

    int width() const { return width_; }
    int height() const { return height_; }

    // Waits until everything drawn so far is in the framebuffer.
    void finish() const;
    // Reads the whole framebuffer as RGBA bytes (alpha always 255), rows top to bottom.
    std::vector<uint8_t> readPixelsTopDown() const;
    // Reads into a caller buffer of width*height*4 bytes, rows bottom to top (GL order), as
    // RGBA or, with `bgra`, as BGRA: the order Mesa's llvmpipe keeps, read without
    // reordering the bytes (a tenth less CPU for a 1280x720 frame's drawing and reading).
    void readPixelsBottomUp(uint8_t* pixels, bool bgra = false) const;

    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

private:
    OffscreenContext() = default;
    int width_ = 0;
    int height_ = 0;
    void* display_ = nullptr;  // EGLDisplay
    void* context_ = nullptr;  // EGLContext
    uint32_t framebuffer_ = 0;
    uint32_t colorBuffer_ = 0;
};
