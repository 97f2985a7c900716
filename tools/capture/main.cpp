// demo-capture: records the show frame-exactly to PNG frames, an MP4 video or a contact
// sheet, with a simulated clock and an offscreen framebuffer (see --help).
#include <csignal>
#include <filesystem>
#include <cstdio>
#include <string>
#include <vector>

#include "app/option_values.h"
#include "capture_options.h"
#include "capture_run.h"
#include "output_files.h"
#include "platform/data_file.h"
#include "platform/process.h"
#include "video_encoder.h"

namespace {

constexpr const char* MusicPath = "data/music.mp3";

std::string program = "demo-capture";  // the name it was started under, for messages

extern "C" void onStopSignal(int) { requestCaptureStop(); }

int refuse(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", program.c_str(), message.c_str());
    removeTemporaries();
    return 2;
}

// The places data/ is looked for, like demo's (the build defines the installed ones).
std::vector<std::string> dataRoots() {
    return dataRootCandidates(executableDirectory(), DEMO_DATA_FROM_PROGRAM, DEMO_INSTALL_DATA_DIR);
}

// Like demo: data/ in the working directory, else beside the program (a build tree), else
// the installed data. Output paths are made absolute first, so they keep meaning what the
// user typed when the working directory changes.
bool enterDataRoot(CaptureOptions& options) {
    for (const std::string& root : dataRoots()) {
        if (!hasDataDirectory(root)) continue;
        if (root == ".") return true;
        for (std::string* path : {&options.pngDir, &options.videoFile, &options.sheetFile})
            if (!path->empty()) *path = std::filesystem::absolute(*path).string();
        return enterDirectory(root);
    }
    return false;
}

bool readable(const char* path) {
    FILE* file = openDataFile(path);
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    program = programName(argc > 0 ? argv[0] : nullptr, program);
    const ParsedCaptureOptions parsed = parseCaptureOptions(std::vector<std::string>(argv + 1, argv + argc));
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

    // Everything that can be checked before drawing is checked here, so a refused run
    // costs nothing and leaves nothing behind.
    if (!enterDataRoot(options)) {
        std::string places;
        for (const std::string& root : dataRoots())
            places += (places.empty() ? "" : ", ") + root + "/data";
        return refuse("no show data found (looked in " + places + ")");
    }
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
    }
    std::string error;
    if (!options.pngDir.empty() && !prepareFrameDirectory(options.pngDir, error)) return refuse(error);
    if (!options.videoFile.empty() && !claimOutputFile(options.videoFile, error)) return refuse(error);
    if (!options.sheetFile.empty() && !claimOutputFile(options.sheetFile, error)) return refuse(error);

    std::signal(SIGPIPE, SIG_IGN);  // a dead ffmpeg shows as a failed write instead
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
    const int status = runCapture(options, targets);
    if (status != 0) removeTemporaries();
    return status;
}
