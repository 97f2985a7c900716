#include "scenes/picture_scene.h"

void drawPicture(int32_t) {}
