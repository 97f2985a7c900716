#include "platform/present_pace.h"

PresentPace presentPaceFor(int refreshHz) {
    PresentPace pace;
    pace.periodUs = uint64_t(1000000 / (refreshHz > 0 ? refreshHz : FallbackRefreshHz));
    return pace;
}

uint64_t presentWaitUs(PresentPace& pace, uint64_t nowUs) {
    const uint64_t wait = pace.nextUs > nowUs ? pace.nextUs - nowUs : 0;
    pace.nextUs = (wait > 0 ? pace.nextUs : nowUs) + pace.periodUs;
    return wait;
}
