#include "scenes/cube_scene.h"

void drawCubeScene() {}
