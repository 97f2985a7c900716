#pragma once

// The moving Julia constant of the first warp scene: the real part sweeps between about
// -2.025 and 2.025 in steps of 0.025; the imaginary part rises by 0.015 to just above 2.0
// and falls by 0.03 to just below -2.9. One move per frame, in float.
struct JuliaSweep {
    float re = 2.0f;
    float im = -2.0f;
    bool reRising = false;
    bool imRising = true;
};

// One frame's move of the constant, turning (strictly) past the bounds.
void moveJuliaConstant(JuliaSweep& sweep);
