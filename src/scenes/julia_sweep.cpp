#include "scenes/julia_sweep.h"

void moveJuliaConstant(JuliaSweep& sweep) {
    sweep.re = sweep.reRising ? sweep.re + 0.025f : sweep.re - 0.025f;
    sweep.im = sweep.imRising ? sweep.im + 0.015f : sweep.im - 0.03f;
    if (sweep.re > 2.0f) {
        sweep.reRising = false;
    } else if (sweep.re < -2.0f) {
        sweep.reRising = true;
    }
    if (sweep.im > 2.0f) {
        sweep.imRising = false;
    } else if (sweep.im < -2.9f) {
        sweep.imRising = true;
    }
}
