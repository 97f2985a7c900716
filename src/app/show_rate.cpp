#include "app/show_rate.h"

uint32_t frameClock(const FrameSchedule& schedule, uint64_t frame) {
    return uint32_t(uint64_t(schedule.startMs) + frame * 1000 / schedule.rate);
}

uint64_t framesThrough(const FrameSchedule& schedule, uint32_t lastMs) {
    if (lastMs < schedule.startMs) return 0;
    // Frame k counts while floor(k * 1000 / rate) <= last - start, that is while
    // k * 1000 < (last - start + 1) * rate: the count is the ceiling of that quotient.
    const uint64_t limit = (uint64_t(lastMs - schedule.startMs) + 1) * schedule.rate;
    return (limit + 999) / 1000;
}

uint64_t firstFrameAtOrPast(const FrameSchedule& schedule, uint32_t atMs) {
    if (atMs <= schedule.startMs) return 0;
    // floor(k * 1000 / rate) >= d holds exactly when k * 1000 >= d * rate (d an integer).
    return (uint64_t(atMs - schedule.startMs) * schedule.rate + 999) / 1000;
}

DueFrames takeDueFrames(TickDriver& driver, uint32_t nowMs) {
    if (driver.show.rate == UncappedShowRate) return {driver.next++, 1};
    const uint64_t through = framesThrough(driver.show, nowMs);
    if (through <= driver.next) return {driver.next, 0};
    DueFrames due{driver.next, through - driver.next};
    const uint64_t newest = through - 1;
    if (frameClock(driver.show, newest) - frameClock(driver.show, due.first) > driver.stallMs)
        due = {newest, 1};
    driver.next = through;
    return due;
}

uint32_t dueFrameClock(const TickDriver& driver, uint64_t frame, uint32_t nowMs) {
    return driver.show.rate == UncappedShowRate ? nowMs : frameClock(driver.show, frame);
}

uint32_t nextFrameClock(const TickDriver& driver, uint32_t nowMs) {
    return dueFrameClock(driver, driver.next, nowMs);
}
