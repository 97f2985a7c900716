#include "split_run.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

#include "chapters.h"
#include "child_process.h"
#include "encoding.h"
#include "output_files.h"
#include "recorded_range.h"
#include "run_stop.h"
#include "video_encoder.h"

namespace {

constexpr unsigned PartStopSeconds = 10;  // a part asked to stop has this long before a kill
// ffprobe counts a part's packets by reading it through: long only for an hour of master.
constexpr int ProbeLimitMs = 300000;

int fail(const std::string& message) {
    std::fprintf(stderr, "demo-capture: %s\n", message.c_str());
    return 1;
}

// What ffprobe says of one part's video stream.
struct ProbedPart {
    RecordedRange range;
    std::string format;  // "h264 1280x720 in mov,mp4,m4a,3gp,3g2,mj2"
    uint64_t packets = 0;
    std::string videoStart;  // the video stream's first time stamp, s ("0.023000")
};

bool probePart(const std::string& ffprobe, const std::string& path, ProbedPart& part, std::string& error) {
    std::string output;
    if (!runToEnd(ffprobe,
                  {"-v", "error", "-count_packets", "-select_streams", "v:0", "-show_entries",
                   "stream=codec_name,width,height,start_time,nb_read_packets:format=format_name:format_tags=comment", "-of",
                   "default=noprint_wrappers=1", path},
                  ProbeLimitMs, output, error)) {
        error = path + ": cannot be read as a video (" + error + ")";
        return false;
    }
    std::map<std::string, std::string> fields;
    size_t begin = 0;
    while (begin < output.size()) {
        size_t end = output.find('\n', begin);
        if (end == std::string::npos) end = output.size();
        const std::string line = output.substr(begin, end - begin);
        const size_t equals = line.find('=');
        if (equals != std::string::npos) fields[line.substr(0, equals)] = line.substr(equals + 1);
        begin = end + 1;
    }
    // MP4 names the tag "comment", Matroska "COMMENT".
    if (!readRangeTag(fields["TAG:comment"], part.range) && !readRangeTag(fields["TAG:COMMENT"], part.range)) {
        error = path + ": not a recording of this program (its comment names no clock range)";
        return false;
    }
    part.format = fields["codec_name"] + " " + fields["width"] + "x" + fields["height"] + " in " +
                  fields["format_name"];
    part.packets = std::strtoull(fields["nb_read_packets"].c_str(), nullptr, 10);
    part.videoStart = fields["start_time"];
    if (part.packets != part.range.frames) {
        error = path + ": holds " + std::to_string(part.packets) + " of its " +
                std::to_string(part.range.frames) + " frames";
        return false;
    }
    return true;
}

// The concat demuxer's list of `paths`, which hold `ranges` (in MP4 or QuickTime files when
// `mp4`), in a memory file that ffmpeg inherits; -1 on failure.
int partList(const std::vector<std::string>& paths, const std::vector<RecordedRange>& ranges, bool mp4,
             std::string& error) {
    // Only the parts' video stream (the recorder's first track) of an MP4: with their sound
    // in view too, the joined stream would start at the sound's earliest sample, its AAC
    // priming, and the video would slip by that against the soundtrack. Matroska parts
    // start both streams at 0 (and name no track ids to pick by).
    std::string list = mp4 ? "ffconcat version 1.0\nstream\nexact_stream_id 0x1\n" : "ffconcat version 1.0\n";
    for (const std::string& path : paths) {
        std::string quoted;
        for (const char c : std::filesystem::absolute(path).string()) quoted += c == '\'' ? "'\\''" : std::string(1, c);
        // Each part lasts exactly its frames: the next one starts there. (Left to the
        // demuxer, a part's length would run from its first sample to its last, which in
        // Matroska starts at the sound's priming and moves every later part by it.)
        const RecordedRange& range = ranges[size_t(&path - paths.data())];
        char duration[48];
        std::snprintf(duration, sizeof duration, "%.6f", double(range.frames) / double(range.fps));
        list += "file '" + quoted + "'\nduration " + duration + "\n";
    }
    const int fd = memfd_create("demo-capture-parts", 0);
    if (fd < 0 || write(fd, list.data(), list.size()) != ssize_t(list.size())) {
        error = std::string("cannot write the list of parts: ") + std::strerror(errno);
        if (fd >= 0) close(fd);
        return -1;
    }
    return fd;
}

struct PartRun {
    PartRange range;
    std::string path;  // its --video file
    int log = -1;      // its standard error
    pid_t pid = -1;    // while running
    int status = 0;
};

// Asks the parts still running to stop and waits for them, at most PartStopSeconds, then
// kills what is left.
void stopParts(std::vector<PartRun>& runs) {
    for (const PartRun& run : runs)
        if (run.pid > 0) kill(run.pid, SIGTERM);
    for (unsigned step = 0; step <= PartStopSeconds * 100; ++step) {
        bool running = false;
        for (PartRun& run : runs) {
            if (run.pid > 0 && waitpid(run.pid, &run.status, WNOHANG) == run.pid) run.pid = -1;
            running = running || run.pid > 0;
        }
        if (!running) return;
        if (step == PartStopSeconds * 100)
            for (PartRun& run : runs)
                if (run.pid > 0) {
                    kill(run.pid, SIGKILL);
                    waitpid(run.pid, &run.status, 0);
                    run.pid = -1;
                }
        usleep(10000);
    }
}

// Waits for every part (a part's own run has bounded waits; a stop here stops them all).
// Empty when all succeeded, else the first failure's reason.
std::string waitForParts(std::vector<PartRun>& runs) {
    size_t left = runs.size();
    while (left > 0) {
        int status = 0;
        const pid_t ended = waitpid(-1, &status, 0);
        if (ended < 0 && errno == EINTR && !stopRequested()) continue;
        if (ended < 0) {
            stopParts(runs);
            return stopRequested() ? "interrupted" : std::string("cannot wait for a part: ") + std::strerror(errno);
        }
        for (size_t i = 0; i < runs.size(); ++i) {
            PartRun& run = runs[i];
            if (run.pid != ended) continue;
            run.pid = -1;
            setPartProcess(i, 0);
            --left;
            const std::string problem = exitProblem(status);
            if (problem.empty()) continue;
            stopParts(runs);
            const std::string said = lastLine(run.log);
            return "part " + std::to_string(i + 1) + " of " + std::to_string(runs.size()) + " (" +
                   std::to_string(run.range.startMs) + " to " + std::to_string(run.range.endMs) +
                   " ms) " + problem + (said.empty() ? "" : ": " + said);
        }
    }
    return "";
}

// The run's arguments for a part: without --jobs, and without --chapters, whose list the
// join writes for the whole range.
std::vector<std::string> partArguments(const std::vector<std::string>& args) {
    std::vector<std::string> kept;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--jobs" || a == "--chapters") ++i;
        else if (a.rfind("--jobs=", 0) != 0 && a.rfind("--chapters=", 0) != 0) kept.push_back(a);
    }
    return kept;
}

std::string ownProgram() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, size_t(length)) : "";
}

// The range that `probed` parts make together, when they are one recording's pieces of
// one size and codec; false with a one-line reason.
bool checkParts(const std::vector<ProbedPart>& probed, const std::vector<std::string>& names,
                RecordedRange& whole, std::string& error) {
    std::vector<RecordedRange> ranges;
    for (size_t i = 0; i < probed.size(); ++i) {
        if (probed[i].format != probed[0].format) {
            error = names[i] + " is " + probed[i].format + ", " + names[0] + " " + probed[0].format;
            return false;
        }
        ranges.push_back(probed[i].range);
    }
    return joinedRange(ranges, names, whole, error);
}

// Runs ffmpeg on the parts at `paths`, `probed`, which hold `whole`, and commits the output (with
// the sound and chapters as `options` ask) and the chapter list.
int joinInto(const std::vector<std::string>& paths, const std::vector<ProbedPart>& probed,
             const RecordedRange& whole, const CaptureOptions& options, CaptureTargets& targets) {
    std::vector<RecordedRange> ranges;
    for (const ProbedPart& part : probed) ranges.push_back(part.range);
    const ProbedPart& first = probed.front();
    std::string error;
    const int list = partList(paths, ranges, first.format.find("mp4") != std::string::npos, error);
    if (list < 0) return fail(error);
    VideoSettings settings;
    settings.fps = whole.fps;
    settings.startMs = whole.startMs;
    settings.frames = whole.frames;
    settings.musicPath = targets.musicPath;
    settings.encoding = options.encoding;
    settings.container = containerFor(options.videoFile);
    settings.partList = "/proc/self/fd/" + std::to_string(list);
    settings.partsStart = first.videoStart;
    const std::vector<Chapter> chapters =
        recordedChapters(whole.startMs, uint32_t((whole.frames * 1000 + whole.fps - 1) / whole.fps));
    VideoEncoder join(stopRequested());
    const bool started = join.startFor(targets.ffmpegProgram, settings, chapters, targets.video, error);
    close(list);
    if (!started) return fail(error);
    setEncoderProcess(join.process());
    const bool finished = join.finish(error);
    setEncoderProcess(0);
    if (!finished || !commitOutputFile(targets.video, error)) return fail("joining the parts: " + error);
    if (!options.chaptersFile.empty() &&
        (!writeOutputText(targets.chapters, chapterList(chapters), error) || !commitOutputFile(targets.chapters, error)))
        return fail(error);
    return 0;
}

// The name ending a part takes from the output: its container.
const char* partSuffix(const std::string& output) {
    switch (containerFor(output)) {
        case Container::Matroska: return ".mkv";
        case Container::QuickTime: return ".mov";
        default: return ".mp4";
    }
}

}  // namespace

int recordInParts(const CaptureOptions& options, const std::vector<std::string>& args,
                  CaptureTargets& targets) {
    const std::vector<PartRange> ranges = splitRanges(options, options.jobs);
    const std::string program = ownProgram();
    if (program.empty()) return fail("cannot tell this program's own path for the parts");
    std::vector<PartRun> runs(ranges.size());
    std::string error;
    const auto cleanUp = [&] {
        for (PartRun& run : runs) {
            if (run.log >= 0) close(run.log);
            if (!run.path.empty()) removeScratchFile(run.path);
        }
    };
    const std::vector<std::string> common = partArguments(args);
    std::fprintf(stderr, "demo-capture: recording %zu parts in %zu processes\n", runs.size(), runs.size());
    for (size_t i = 0; i < runs.size(); ++i) {
        PartRun& run = runs[i];
        run.range = ranges[i];
        run.log = memfd_create("demo-capture-part", MFD_CLOEXEC);
        if (run.log < 0 || !createScratchFile(targets.video.finalPath, partSuffix(options.videoFile), run.path, error)) {
            stopParts(runs);
            cleanUp();
            return fail(run.log < 0 ? std::string("cannot keep a part's messages: ") + std::strerror(errno) : error);
        }
        std::vector<std::string> partArgs = common;
        partArgs.insert(partArgs.end(), {"--start", std::to_string(run.range.startMs), "--end",
                                         std::to_string(run.range.endMs), "--video", run.path});
        run.pid = startProgram(program, partArgs, -1, -1, run.log, error);
        if (run.pid < 0) {
            stopParts(runs);
            cleanUp();
            return fail(error);
        }
        setPartProcess(i, run.pid);
    }
    error = waitForParts(runs);
    for (size_t i = 0; i < runs.size(); ++i) setPartProcess(i, 0);
    if (!error.empty()) {
        cleanUp();
        return fail(error);
    }
    std::vector<std::string> paths, names;
    std::vector<ProbedPart> probed(runs.size());
    for (size_t i = 0; i < runs.size(); ++i) {
        paths.push_back(runs[i].path);
        names.push_back("part " + std::to_string(i + 1));
        if (!probePart(targets.ffprobeProgram, runs[i].path, probed[i], error)) {
            cleanUp();
            return fail(error);
        }
    }
    RecordedRange whole;
    if (!checkParts(probed, names, whole, error)) {
        cleanUp();
        return fail(error);
    }
    const int status = joinInto(paths, probed, whole, options, targets);
    cleanUp();
    return status;
}

int joinRecordings(const CaptureOptions& options, CaptureTargets& targets) {
    const std::vector<std::string>& parts = options.joinParts;
    std::vector<ProbedPart> probed(parts.size());
    std::string error;
    for (size_t i = 0; i < parts.size(); ++i)
        if (!probePart(targets.ffprobeProgram, parts[i], probed[i], error)) return fail(error), 2;
    RecordedRange whole;
    if (!checkParts(probed, parts, whole, error) || !claimOutputFile(targets.video, error) ||
        (!options.chaptersFile.empty() && !claimOutputFile(targets.chapters, error)))
        return fail(error), 2;
    return joinInto(parts, probed, whole, options, targets);
}
