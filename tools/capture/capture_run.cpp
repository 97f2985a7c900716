#include "capture_run.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "app/frame.h"
#include "app/shell.h"
#include "app/startup.h"
#include "chapters.h"
#include "frame_hash.h"
#include "frame_plan.h"
#include "manifest.h"
#include "output_files.h"
#include "platform/offscreen_gl.h"
#include "png_file.h"
#include "progress.h"
#include "run_stop.h"
#include "sheet_layout.h"
#include "supersample.h"
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

// The outputs of one run, fed with the picture at each point of the plan (rows bottom-up,
// RGBA, or BGRA for a video alone).
class FrameOutputs {
public:
    FrameOutputs(const CaptureOptions& options, CaptureTargets& targets, uint64_t videoFrames)
        : options_(options), targets_(targets), videoFrames_(videoFrames) {}

    bool open() {
        if (options_.videoFile.empty()) return true;
        VideoSettings settings;
        settings.width = options_.width;
        settings.height = options_.height;
        settings.fps = options_.fps;
        settings.startMs = options_.startMs;
        settings.frames = videoFrames_;
        settings.musicPath = targets_.musicPath;
        settings.encoding = options_.encoding;
        settings.container = containerFor(options_.videoFile);
        settings.bgra = bgra();
        const std::vector<Chapter> chapters = recordedChapters(options_.startMs, lengthMs());
        video_ = std::make_unique<VideoEncoder>(stopRequested());
        std::string error;
        if (!video_->startFor(targets_.ffmpegProgram, settings, chapters, targets_.video, error))
            return fail(error);
        setEncoderProcess(video_->process());
        return true;
    }

    // A video alone takes the frames in the order the driver keeps (BGRA); PNG files, the
    // sheet and the manifest's hashes take RGBA.
    bool bgra() const { return options_.pngDir.empty() && options_.sheetFile.empty() && options_.manifestFile.empty(); }

    // `showFrame`: the index of the show frame the picture shows.
    bool take(const CapturePoint& point, uint64_t showFrame, const std::vector<uint8_t>& rgba) {
        std::string error;
        if (!options_.manifestFile.empty() && point.outputFrame) {
            // An output faster than the show shows a picture again: its hash is known.
            const bool again = !manifest_.empty() && manifest_.back().showFrame == showFrame;
            manifest_.push_back({point.clockMs, showFrame,
                                 again ? manifest_.back().sha256 : frameSha256(rgba.data(), options_.width, options_.height)});
        }
        if (video_ && point.outputFrame && !video_->writeFrame(rgba.data(), rgba.size(), error))
            return fail(error);
        const bool png = options_.atMs.empty() ? point.outputFrame : point.atFrame;
        if (!options_.pngDir.empty() && png && !writeFramePng(point.clockMs, rgba)) return false;
        if (point.sheetFrame) addSheetTiles(point.clockMs, rgba);
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
        if (!options_.chaptersFile.empty() &&
            (!writeOutputText(targets_.chapters, chapterList(recordedChapters(options_.startMs, lengthMs())), error) ||
             !commitOutputFile(targets_.chapters, error)))
            return fail(error);
        if (!options_.manifestFile.empty()) {
            const ManifestAudio audio = recordedAudio(targets_.audioRate, options_.startMs, videoFrames_, options_.fps);
            const std::string json = manifestJson(targets_.version, options_, manifest_,
                                                  options_.videoFile.empty() ? nullptr : &audio);
            if (!writeOutputText(targets_.manifest, json, error) || !commitOutputFile(targets_.manifest, error))
                return fail(error);
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
    // The video's length in ms, up to the end of its last frame.
    uint32_t lengthMs() const { return uint32_t((videoFrames_ * 1000 + options_.fps - 1) / options_.fps); }

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

    // Every shot whose kept frame is this one (the first kept frame at or past its moment).
    void addSheetTiles(uint32_t clock, const std::vector<uint8_t>& rgba) {
        const FrameSchedule kept = keptSchedule(options_);
        for (const SheetShot& shot : SheetShots) {
            if (frameClock(kept, firstFrameAtOrPast(kept, shot.clockMs)) != clock) continue;
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
    uint64_t videoFrames_;
    std::unique_ptr<VideoEncoder> video_;
    std::vector<SheetTile> tiles_;
    std::vector<ManifestFrame> manifest_;  // the output frames so far, for --manifest
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
    bool tooLarge = false;
    const int n = options.supersample;
    if (!startShow(settings, [&] {
            context = OffscreenContext::create(options.width * n, options.height * n, error, &tooLarge);
            return context != nullptr;
        }))
        return tooLarge ? (fail("--supersample " + std::to_string(n) + ": " + error), 2)
                        : (fail("no offscreen GL context: " + error), 1);

    // The show frames run as in the player, by the tick driver, but every due frame runs
    // (a simulated clock never stalls); only the newest at each point of the plan draws.
    TickDriver ticks;
    ticks.show = showSchedule(options);
    ticks.stallMs = NeverStall;
    // Start-up has brought the show to --start: the newest show frame at or before it is next.
    ticks.next = playerTicks().next;
    const std::vector<CapturePoint> plan = capturePlan(options);
    FrameOutputs outputs(options, targets, outputFrameCount(plan));
    if (!outputs.open()) return 1;

    ProgressReporter progress(plan.size());
    std::vector<uint8_t> rgba(size_t(options.width) * size_t(options.height) * 4);
    std::vector<uint8_t> samples(n > 1 ? rgba.size() * size_t(n) * size_t(n) : 0);
    uint64_t done = 0;
    for (const CapturePoint& point : plan) {
        if (stopRequested()) return fail("interrupted"), 1;
        setSimulatedClock(point.clockMs);
        // No new show frame (an output faster than the show rate): the last picture again.
        const bool fresh = runDueFrames(ticks, point.clockMs).count > 0;
        if (fresh && options.drawOnly) context->finish();
        if (fresh && !options.drawOnly) {
            context->readPixelsBottomUp(n > 1 ? samples.data() : rgba.data(), outputs.bgra());
            if (n > 1) boxFilterDown(samples.data(), options.width, options.height, n, rgba.data());
        }
        if (isQuitRequested())
            return fail("the show ended before clock value " + std::to_string(point.clockMs)), 1;
        if (!outputs.take(point, ticks.next - 1, rgba)) return 1;
        progress.update(++done);
    }
    if (!outputs.close()) return 1;
    progress.finish(done);
    return 0;
}
