#pragma once

// The closing scene: inside the turning blue cube, with the plate picture in the lower left.
void drawCubeScene();

// Turn of the cube in degrees: 0 at start, +0.5 every frame of the scene, never wrapped.
double cubeSceneAngle();

// Start-up value of the turn: 0 degrees.
void resetCubeScene();
