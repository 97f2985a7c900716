#pragma once
#include <cstdint>

// Scenes 1, 4, 6, 7, 8: one picture of the picture set stretched over the whole viewport.
void drawPicture(int32_t index);
