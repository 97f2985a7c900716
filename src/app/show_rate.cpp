#include "app/show_rate.h"

#include <cmath>
#include <algorithm>
#include <numbers>

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

double cadenceShift(CadenceLock& lock, double position) {
    for (int m = 0; m < CadenceLock::Multiples; ++m) {
        const double angle = 2 * std::numbers::pi * double(m + 1) * position;
        lock.cosMean[m] += CadenceLock::Weight * (std::cos(angle) - lock.cosMean[m]);
        lock.sinMean[m] += CadenceLock::Weight * (std::sin(angle) - lock.sinMean[m]);
    }
    // The fewest multiples whose phase is steady: presents fall at m phases of a frame,
    // 1/m apart; the shift moves them to the middles of the m parts.
    for (int m = 1; m <= CadenceLock::Multiples; ++m) {
        const double steady = m == lock.multiple ? CadenceLock::StillSteady : CadenceLock::Steady;
        if (std::hypot(lock.cosMean[m - 1], lock.sinMean[m - 1]) < steady) continue;
        const double phase = std::atan2(lock.sinMean[m - 1], lock.cosMean[m - 1]) / (2 * std::numbers::pi);
        const double step = 1.0 / m;          // shifts that serve are this far apart
        const double target = (0.5 - phase) * step;
        const double near = m == lock.multiple ? lock.shift : 0.0;
        double shift = target + std::round((near - target) / step) * step;
        if (std::fabs(shift) > CadenceLock::MaxShift) shift = target - std::round(target / step) * step;
        lock.multiple = m;
        lock.shift = shift;
        return shift;
    }
    lock.multiple = 0;
    lock.shift = 0;
    return 0;
}

DueFrames takeDueFrames(TickDriver& driver, uint32_t nowMs) {
    if (driver.show.rate == UncappedShowRate) return {driver.next++, 1};
    uint64_t through = framesThrough(driver.show, nowMs);
    if (driver.lockCadence && nowMs >= driver.show.startMs) {
        // Frame k is due once k < (now - start + 1) * rate / 1000: `position` is that bound,
        // and `through` its ceiling, moved by the shift.
        const double position = double(nowMs - driver.show.startMs + 1) * driver.show.rate / 1000.0;
        const double shifted = std::ceil(position + cadenceShift(driver.cadence, position));
        through = uint64_t(std::max(0.0, shifted));
    }
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
