// demo-capture: records the show frame-exactly to PNG frames, an MP4 video or a contact
// sheet, with a simulated clock and an offscreen framebuffer (see --help).
#include <filesystem>
#include <cstdio>
#include <string>
#include <vector>

#include "app/option_values.h"
#include "capture_options.h"
#include "capture_run.h"
#include "child_process.h"
#include "output_files.h"
#include "platform/data_file.h"
#include "platform/mpeg_frames.h"
#include "platform/process.h"
#include "run_stop.h"
#include "split_run.h"
#include "video_encoder.h"

namespace {

constexpr const char* DataDir = "data";  // what the run reads, in the data root
constexpr const char* MusicPath = "data/music.mp3";

std::string program = "demo-capture";  // the name it was started under, for messages

int refuse(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", program.c_str(), message.c_str());
    removeTemporaries();
    return 2;
}

// Like demo: data/ in the working directory, else beside the program (a build tree), else
// the installed data (the build defines where). Output paths are made absolute first, so
// they keep meaning what the user typed when the working directory changes.
bool enterDataRoot(CaptureOptions& options, std::string& error) {
    std::string searched;
    const std::string root = findDataRoot(
        dataRootCandidates(executableDirectory(), DEMO_DATA_FROM_PROGRAM, DEMO_INSTALL_DATA_DIR),
        searched);
    if (root.empty()) {
        error = "no show data found (looked in " + searched + ")";
        return false;
    }
    if (root == ".") return true;
    for (std::string* path : {&options.pngDir, &options.videoFile, &options.sheetFile, &options.manifestFile,
                              &options.chaptersFile})
        if (!path->empty()) *path = std::filesystem::absolute(*path).string();
    for (std::string& part : options.joinParts) part = std::filesystem::absolute(part).string();
    if (enterDirectory(root)) return true;
    error = "cannot enter " + root;
    return false;
}

bool readable(const char* path) {
    FILE* file = openDataFile(path);
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

// Sample rate of the MP3 soundtrack in Hz; 0 when it cannot be told.
uint32_t soundtrackRate(const char* path) {
    FILE* file = openDataFile(path);
    if (file == nullptr) return 0;
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    for (size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;) bytes.insert(bytes.end(), block, block + got);
    std::fclose(file);
    return uint32_t(sound::mpegFileSampleRate(bytes.data(), bytes.size()));
}

// Whether ffmpeg can open the asked-for --encoder at all (a GPU's may be missing here);
// ffmpeg's own reason when it cannot.
bool encoderOpens(const std::string& ffmpeg, const CaptureOptions& options, std::string& reason) {
    constexpr int TrialLimitMs = 30000;  // one frame: long only for a hung driver
    VideoSettings settings;
    settings.width = options.width;
    settings.height = options.height;
    settings.fps = options.fps;
    settings.encoding = options.encoding;
    std::string output;
    return runToEnd(ffmpeg, encoderTrialArguments(settings), TrialLimitMs, output, reason);
}

}  // namespace

int main(int argc, char** argv) {
    program = programName(argc > 0 ? argv[0] : nullptr, program);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParsedCaptureOptions parsed = parseCaptureOptions(args);
    if (parsed.options.help) {
        std::fputs(usageText(program, DEMO_INSTALL_DATA_DIR).c_str(), stdout);
        return 0;
    }
    if (parsed.options.version) {
        std::printf("%s (SOLTAREK ASKETRO) %s\n", program.c_str(), DEMO_VERSION);
        return 0;
    }
    if (!parsed.error.empty()) return refuse(parsed.error);
    CaptureOptions options = parsed.options;

    // From here on a stop request also removes whatever the run has created.
    installStopHandlers();

    // Everything that can be checked before drawing is checked first, before anything is
    // created, so a refused run costs nothing and leaves nothing behind.
    std::string error;
    if (!enterDataRoot(options, error)) return refuse(error);
    CaptureTargets targets;
    if (!options.videoFile.empty()) {
        targets.ffmpegProgram = findOnPath("ffmpeg");
        if (targets.ffmpegProgram.empty())
            return refuse("--video needs the ffmpeg program, which is not on PATH (Debian package ffmpeg)");
        // A video without its soundtrack would look complete but is not: refuse it.
        if (!readable(MusicPath))
            return refuse(std::string("--video needs the soundtrack ") + MusicPath +
                          ", which cannot be read (run from the directory that holds data/)");
        targets.musicPath = MusicPath;
        if (!options.encoding.encoder.empty() && !encoderOpens(targets.ffmpegProgram, options, error))
            return refuse("--encoder " + options.encoding.encoder + " cannot encode this recording: " + error);
        targets.audioRate = options.encoding.audioRate;
        if (!options.manifestFile.empty() && targets.audioRate == 0) targets.audioRate = soundtrackRate(MusicPath);
        if (!options.manifestFile.empty() && targets.audioRate == 0)
            return refuse(std::string("--manifest: cannot tell the sample rate of ") + MusicPath);
    }
    // A split recording and a join read what the parts hold with ffprobe.
    if (options.jobs > 1 || !options.joinParts.empty()) {
        targets.ffprobeProgram = findOnPath("ffprobe");
        if (targets.ffprobeProgram.empty())
            return refuse("--jobs and --join need the ffprobe program, which is not on PATH (Debian package ffmpeg)");
    }
    targets.version = DEMO_VERSION;
    if (!options.pngDir.empty() && !checkFrameDirectory(options.pngDir, error)) return refuse(error);
    std::vector<NamedOutput> files;
    const std::pair<const std::string*, NamedOutput> outputs[] = {
        {&options.videoFile, {"--video", &targets.video}},
        {&options.sheetFile, {"--sheet", &targets.sheet}},
        {&options.manifestFile, {"--manifest", &targets.manifest}},
        {&options.chaptersFile, {"--chapters", &targets.chapters}}};
    for (const auto& [path, output] : outputs) {
        if (path->empty()) continue;
        if (!planOutput(*path, *output.target, error)) return refuse(error);
        files.push_back(output);
    }
    if (!checkOutputsApart(files, options.pngDir, DataDir, error)) return refuse(error);
    if (options.jobs > 1 && targets.video.inPlace)
        return refuse("--jobs joins its parts into a file: " + options.videoFile + " is a FIFO");
    if (!options.joinParts.empty()) {
        const int joined = joinRecordings(options, targets);
        if (joined != 0) removeTemporaries();
        return joined;
    }

    if (!options.pngDir.empty() && !prepareFrameDirectory(options.pngDir, error)) return refuse(error);
    for (const NamedOutput& file : files)
        if (!claimOutputFile(*file.target, error)) return refuse(error);

    const int status = options.jobs > 1 ? recordInParts(options, args, targets) : runCapture(options, targets);
    if (status != 0) removeTemporaries();
    return status;
}
