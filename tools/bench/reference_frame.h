#pragma once
#include "pixel_work.h"

namespace bench {

// Draws one reference frame as planned (planReference) into the width x height viewport with
// identity matrices. Saves and restores all GL state the show could depend on, so that it
// may run between two of the show's frames.
void drawReferenceFrame(const ReferencePlan& plan, int width, int height);

}  // namespace bench
