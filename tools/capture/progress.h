#pragma once
#include <chrono>
#include <cstdint>
#include <string>

// "[#####-----]  1234/5436 frames   58.3 fps   1:12 left": done and total frames, the
// average rate so far and the time left at that rate ("--:--" before any rate is known).
// `barWidth` 0 leaves the bar out (the plain lines written when stderr is not a terminal).
std::string progressText(uint64_t done, uint64_t total, double elapsedSeconds, int barWidth);

// Reports progress on standard error: a bar redrawn in place at most five times a second
// on a terminal, otherwise a plain line at every tenth of the work.
class ProgressReporter {
public:
    explicit ProgressReporter(uint64_t total);
    void update(uint64_t done);
    // Final report with the totals; ends the bar's line.
    void finish(uint64_t done);

private:
    uint64_t total_;
    bool terminal_;
    uint64_t nextTenth_ = 1;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDraw_;
    double elapsed() const;
};
