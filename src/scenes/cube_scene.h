#pragma once

// Scene 9: inside the turning blue cube, with the plate picture in the lower left.
void drawCubeScene();
