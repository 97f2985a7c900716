#pragma once

// The 320 x 200 overlay: x 0 (left) .. 320 (right), y 0 (top) .. 200 (bottom), whatever
// the viewport's pixel size. Pairs may nest; each level holds one attribute-stack level
// and one pushed matrix on each of the projection and modelview stacks.
//
// beginOverlay saves the enable flags, the matrix mode and the viewport, and both matrices;
// it switches off lighting, fog, depth test and face culling and loads the 320 x 200
// projection. endOverlay restores all of that. Nothing else is saved, on purpose: what the
// drawing inside changes outlives the overlay. drawText leaves its blend function
// (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA) and the font texture bound; the scene after the
// captions starts from that blend function.
void beginOverlay();
// Expects GL_MODELVIEW current, as beginOverlay leaves it.
void endOverlay();

// The shared 3D view of the opening, beat-pictures and slideshow scenes: perspective (45, 1.33, 0, 10) and a look-at
// from the origin towards +z on the projection matrix, identity modelview, and additive
// blending (GL_SRC_ALPHA, GL_ONE) enabled.
void setupSceneView();
