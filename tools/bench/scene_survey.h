#pragma once
#include <cstdint>

#include "pixel_work.h"

namespace bench {

// Adds to `pixels` what the frame of `scene` (a Scene index) at clock value `now` drew, read from the
// show's state after the frame; the particles' area comes from before the frame, when they
// stood where they were drawn (particleScreens of particleCloud()). Needs no GL context.
void surveyFrame(int scene, uint32_t now, double particleScreensDrawn, ScenePixels& pixels);

}  // namespace bench
