#pragma once
#include <cstddef>
#include <cstdint>

#include "render/fog_state.h"

// When the picture quad may be drawn with fog or blending switched off for the one draw
// because either would leave every pixel exactly as it is: the full-screen quad lies at eye
// distance 0, and an opaque picture drawn in opaque white replaces what it blends with.
// Both are only a saving for a software rasterizer; what reaches the frame is the same.

// True when fog leaves a fragment at eye distance 0 unchanged: linear fog whose factor at
// distance 0, end / (end - start), is exactly 1 (start 0, end above 0).
bool fogIsIdentityAtEye(const FogState& fog);

// True when every pixel of an image with `bytesPerPixel` bytes per pixel (3: R G B,
// 4: R G B A) is fully opaque: no alpha channel, or alpha 255 throughout.
bool imageIsOpaque(const uint8_t* pixels, size_t pixelCount, uint32_t bytesPerPixel);

// True when blending an opaque source over the frame gives the source itself: for
// (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA) always; for (GL_SRC_ALPHA, GL_ONE) when the
// destination is the cleared frame and the clear colour is black with alpha 0.
bool blendIsIdentityForOpaque(int sourceFactor, int destinationFactor, bool destinationCleared,
                              const float clearColour[4]);
