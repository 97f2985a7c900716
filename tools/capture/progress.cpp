#include "progress.h"

#include <unistd.h>

#include <cstdio>

std::string progressText(uint64_t done, uint64_t total, double elapsedSeconds, int barWidth) {
    std::string text;
    if (barWidth > 0) {
        const uint64_t filled = total == 0 ? uint64_t(barWidth) : done * uint64_t(barWidth) / total;
        text = "[" + std::string(size_t(filled), '#') + std::string(size_t(barWidth) - size_t(filled), '-') + "] ";
    }
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, "%llu/%llu frames", static_cast<unsigned long long>(done),
                  static_cast<unsigned long long>(total));
    text += numbers;
    const double rate = elapsedSeconds > 0 ? double(done) / elapsedSeconds : 0;
    if (done == 0 || rate <= 0) return text + "  --.- fps  --:-- left";
    const uint64_t left = uint64_t(double(total - done) / rate + 0.5);  // seconds
    std::snprintf(numbers, sizeof numbers, "  %.1f fps  %llu:%02llu left", rate,
                  static_cast<unsigned long long>(left / 60), static_cast<unsigned long long>(left % 60));
    return text + numbers;
}

ProgressReporter::ProgressReporter(uint64_t total)
    : total_(total), terminal_(isatty(STDERR_FILENO) != 0),
      start_(std::chrono::steady_clock::now()), lastDraw_(start_) {}

double ProgressReporter::elapsed() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void ProgressReporter::update(uint64_t done) {
    if (terminal_) {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastDraw_ < std::chrono::milliseconds(200)) return;
        lastDraw_ = now;
        std::fprintf(stderr, "\r%s\033[K", progressText(done, total_, elapsed(), 30).c_str());
        return;
    }
    if (total_ == 0 || done * 10 < nextTenth_ * total_) return;
    while (nextTenth_ <= 10 && done * 10 >= nextTenth_ * total_) ++nextTenth_;
    std::fprintf(stderr, "%s\n", progressText(done, total_, elapsed(), 0).c_str());
}

void ProgressReporter::finish(uint64_t done) {
    const double seconds = elapsed();
    if (terminal_) std::fprintf(stderr, "\r%s\033[K\n", progressText(done, total_, seconds, 30).c_str());
    std::fprintf(stderr, "%llu frames in %.1f s\n", static_cast<unsigned long long>(done), seconds);
}
