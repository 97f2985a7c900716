#include "scenes/picture_shortcuts.h"

#include <GL/gl.h>

bool fogIsIdentityAtEye(const FogState& fog) {
    if (!fog.enabled) return true;
    return fog.mode == GL_LINEAR && fog.start == 0.0f && fog.end > 0.0f;
}

bool imageIsOpaque(const uint8_t* pixels, size_t pixelCount, uint32_t bytesPerPixel) {
    if (bytesPerPixel == 3) return true;
    if (bytesPerPixel != 4 || pixels == nullptr) return false;
    uint8_t all = 0xFF;
    for (size_t i = 0; i < pixelCount; ++i) all &= pixels[i * 4 + 3];
    return all == 0xFF;
}

bool blendIsIdentityForOpaque(int sourceFactor, int destinationFactor, bool destinationCleared,
                              const float clearColour[4]) {
    if (sourceFactor != GL_SRC_ALPHA) return false;
    if (destinationFactor == GL_ONE_MINUS_SRC_ALPHA) return true;
    if (destinationFactor != GL_ONE || !destinationCleared) return false;
    return clearColour[0] == 0.0f && clearColour[1] == 0.0f && clearColour[2] == 0.0f &&
           clearColour[3] == 0.0f;
}
