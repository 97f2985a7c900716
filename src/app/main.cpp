// demo: the show over the whole desktop with its soundtrack. Options only add to it; with
// none it is exactly the plain show.
#include <cstdio>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/options.h"
#include "app/shell.h"
#include "app/startup.h"
#include "app/timeline.h"
#include "platform/display.h"
#include "platform/process.h"
#include "platform/sound.h"

namespace {

// Makes the directory that holds data/ the working directory; false (after one line that
// says where it looked) when there is none.
bool enterDataRoot() {
    const std::vector<std::string> roots = dataRootCandidates(executableDirectory());
    for (const std::string& root : roots) {
        if (hasDataDirectory(root)) return root == "." || enterDirectory(root);
    }
    std::string places;
    for (const std::string& root : roots) places += (places.empty() ? "" : ", ") + root + "/data";
    std::printf("Error: no show data found (looked in %s)\n", places.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const ParsedOptions parsed = parsePlayerOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "demo: %s\n", parsed.error.c_str());
        return 2;
    }
    const PlayerOptions& options = parsed.options;
    if (options.help) {
        std::fputs(playerHelpText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("demo (SOLTAREK ASKETRO) %s\n", DEMO_VERSION);
        return 0;
    }
    if (options.listAudioDevices) {
        for (const std::string& name : sound::listOutputDevices()) std::printf("%s\n", name.c_str());
        return 0;
    }
    if (!enterDataRoot()) return 1;
    if (options.window) requestWindowedDisplay(options.windowWidth, options.windowHeight);

    // The clock starts at --start and follows the music heard (plain wall time when muted).
    StartupSettings settings;
    settings.startMs = options.startMs;
    settings.music = !options.mute;
    settings.audioDevice = options.audioDevice;
    startShow(settings, [] {
        createDisplay();  // exits with a message on failure
        return true;
    });
    while (!isQuitRequested()) playFrame();
    // A run that reached the end of the timeline starts again; Escape or a close ends it.
    if (options.loop && currentSceneIndex() >= SceneCount) {
        restartProcess(argv);
        std::printf("Error: cannot restart the show\n");
        return 1;
    }
    return 0;
}
