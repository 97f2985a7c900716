#pragma once
#include "bench_report.h"

namespace bench {

// Times the scalar Julia image and every available fast lane set over the first `images`
// constants of the first warp scene's sweep. Needs no GL context.
JuliaTimes timeJulia(int images);

}  // namespace bench
