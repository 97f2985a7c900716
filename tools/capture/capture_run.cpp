#include "capture_run.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "app/frame.h"
#include "app/shell.h"
#include "app/startup.h"
#include "frame_plan.h"
#include "output_files.h"
#include "platform/offscreen_gl.h"
#include "png_file.h"
#include "progress.h"
#include "run_stop.h"
#include "sheet_layout.h"
#include "video_encoder.h"

namespace {

constexpr int FramePngCompression = 3;  // zlib level: fast enough for every-frame output
constexpr int SheetPngCompression = 9;

bool fail(const std::string& message) {
    // On a terminal the progress bar's line is still open.
    std::fprintf(stderr, "%sdemo-capture: %s\n", isatty(STDERR_FILENO) ? "\n" : "", message.c_str());
    return false;
}

std::string upper(std::string text) {
    for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The outputs of one run, fed with each kept frame (rows bottom-up, RGBA).
class FrameOutputs {
public:
    FrameOutputs(const CaptureOptions& options, CaptureTargets& targets, uint64_t frames)
        : options_(options), targets_(targets), frames_(frames),
          pngFrames_(atFrames(options.startMs, options.fps, options.atMs)) {}

    bool open() {
        if (options_.videoFile.empty()) return true;
        // ffmpeg writes the temporary through a descriptor of the file this run created,
        // never by its name; it reopens it for reading the same way (fast start).
        OutputTarget& target = targets_.video;
        const int inherited = target.inPlace ? -1 : fcntl(target.fd, F_DUPFD, 3);
        if (!target.inPlace && inherited < 0) return fail("cannot hand the video file to ffmpeg");
        const std::string outputPath =
            target.inPlace ? target.writePath : "/proc/self/fd/" + std::to_string(inherited);
        VideoSettings settings{options_.width, options_.height, options_.fps, options_.startMs,
                               frames_, targets_.musicPath, outputPath, !target.inPlace};
        video_ = std::make_unique<VideoEncoder>(stopRequested());
        std::string error;
        const bool started = video_->start(targets_.ffmpegProgram, ffmpegArguments(settings), error);
        if (inherited >= 0) ::close(inherited);
        if (!started) return fail(error);
        setEncoderProcess(video_->process());
        return true;
    }

    bool take(uint64_t frame, uint32_t clock, const std::vector<uint8_t>& rgba) {
        std::string error;
        if (video_ && !video_->writeFrame(rgba.data(), rgba.size(), error)) return fail(error);
        if (!options_.pngDir.empty() && wantsPng(frame) && !writeFramePng(clock, rgba)) return false;
        if (!options_.sheetFile.empty()) addSheetTiles(frame, clock, rgba);
        return true;
    }

    bool close() {
        std::string error;
        if (video_) {
            const bool finished = video_->finish(error);
            setEncoderProcess(0);
            video_.reset();
            if (!finished || !commitOutputFile(targets_.video, error)) return fail(error);
        }
        if (!options_.sheetFile.empty()) {
            if (tiles_.size() != SheetShots.size()) return fail("the contact sheet is missing frames");
            const RgbImage sheet = composeSheet(tiles_);
            if (!openInPlace(targets_.sheet, error) ||
                !writePng(targets_.sheet.fd, options_.sheetFile, sheet.width, sheet.height,
                          sheet.pixels.data(), 3, false, SheetPngCompression, error) ||
                !commitOutputFile(targets_.sheet, error))
                return fail(error);
        }
        return true;
    }

private:
    bool wantsPng(uint64_t frame) const {
        return options_.atMs.empty() || std::binary_search(pngFrames_.begin(), pngFrames_.end(), frame);
    }

    bool writeFramePng(uint32_t clock, const std::vector<uint8_t>& rgba) {
        OutputTarget target;
        std::string error;
        const std::string path = options_.pngDir + "/" + frameFileName(clock);
        if (!planOutput(path, target, error) || !claimOutputFile(target, error) ||
            !openInPlace(target, error) ||
            !writePng(target.fd, path, options_.width, options_.height, rgba.data(), 4, true,
                      FramePngCompression, error) ||
            !commitOutputFile(target, error))
            return fail(error);
        return true;
    }

    void addSheetTiles(uint64_t frame, uint32_t clock, const std::vector<uint8_t>& rgba) {
        for (const SheetShot& shot : SheetShots) {
            if (firstFrameAtOrPast(options_.startMs, options_.fps, shot.clockMs) != frame) continue;
            const size_t rowBytes = size_t(options_.width) * 4;
            std::vector<uint8_t> topDown(rgba.size());
            for (int y = 0; y < options_.height; ++y)
                std::memcpy(&topDown[size_t(y) * rowBytes],
                            &rgba[size_t(options_.height - 1 - y) * rowBytes], rowBytes);
            const int height = thumbHeight(options_.width, options_.height);
            tiles_.push_back({scaleDown(topDown.data(), options_.width, options_.height,
                                        SheetThumbWidth, height),
                              upper(sheetShotLabel(shot)) + " " + std::to_string(clock) + " MS"});
        }
    }

    const CaptureOptions& options_;
    CaptureTargets& targets_;
    uint64_t frames_;
    std::vector<uint64_t> pngFrames_;
    std::unique_ptr<VideoEncoder> video_;
    std::vector<SheetTile> tiles_;
};

}  // namespace

int runCapture(const CaptureOptions& options, CaptureTargets& targets) {
    // Start-up exactly as demo, minus music and window; the clock already reads the first
    // frame's value, as demo's clock has run on during its start-up.
    StartupSettings settings;
    settings.clock = RunClock::Simulated;
    settings.startMs = options.startMs;
    settings.music = false;
    std::string error;
    std::unique_ptr<OffscreenContext> context;
    if (!startShow(settings, [&] {
            context = OffscreenContext::create(options.width, options.height, error);
            return context != nullptr;
        }))
        return fail("no offscreen GL context: " + error), 1;

    const uint64_t frames = framesToRun(options);
    const uint64_t framesInShow = framesToEnd(options.startMs, options.fps);
    FrameOutputs outputs(options, targets, frames);
    if (!outputs.open()) return 1;

    ProgressReporter progress(frames);
    std::vector<uint8_t> rgba(size_t(options.width) * size_t(options.height) * 4);
    uint64_t kept = 0;
    while (!isQuitRequested()) {
        if (stopRequested()) return fail("interrupted"), 1;
        const uint32_t now = frameClock(options.startMs, options.fps, kept);
        setSimulatedClock(now);
        drawFrame(now);
        if (isQuitRequested()) break;  // the frame past the end: drawn empty, not kept
        context->readPixelsBottomUp(rgba.data());
        if (!outputs.take(kept, now, rgba)) return 1;
        ++kept;
        progress.update(kept);
        if (kept == frames && frames < framesInShow) break;  // --at or the sheet are done
    }
    if (kept != frames)
        return fail("the show ended after " + std::to_string(kept) + " frames, expected " +
                    std::to_string(frames)), 1;
    if (!outputs.close()) return 1;
    progress.finish(kept);
    return 0;
}
