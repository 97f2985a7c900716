#include "app/options.h"

#include "app/option_values.h"
#include "app/timeline.h"

ParsedOptions parsePlayerOptions(const std::vector<std::string>& arguments) {
    ParsedOptions result;
    PlayerOptions& o = result.options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const bool hasValue = equals != std::string::npos;
        std::string value = hasValue ? argument.substr(equals + 1) : std::string();
        auto takeValue = [&]() -> bool {
            if (hasValue) return true;
            // "--audio-device --mute" forgot the name: an option is never taken as a value.
            if (i + 1 >= arguments.size() || arguments[i + 1].starts_with("--")) return false;
            value = arguments[++i];
            return true;
        };
        auto flag = [&](bool& target) {
            if (hasValue) {
                result.error = "option " + name + " takes no value";
                return;
            }
            target = true;
        };

        if (name == "--window") {
            // The size is optional, so "--window WxH" takes the next argument only when it
            // is no option (demo takes no other plain arguments).
            o.window = true;
            const bool sizeFollows = i + 1 < arguments.size() && !arguments[i + 1].starts_with("-");
            if (!hasValue && sizeFollows) takeValue();
            if ((hasValue || sizeFollows) &&
                !parseSizeValue(value, 16, 16384, o.windowWidth, o.windowHeight))
                result.error = "--window wants WIDTHxHEIGHT (16..16384 each), not '" + value + "'";
        } else if (name == "--mute") {
            flag(o.mute);
        } else if (name == "--loop") {
            flag(o.loop);
        } else if (name == "--frame-stats") {
            flag(o.frameStats);
        } else if (name == "--list-audio-devices") {
            flag(o.listAudioDevices);
        } else if (name == "--list-displays") {
            flag(o.listDisplays);
        } else if (name == "--display") {
            uint64_t index = 0;
            if (!takeValue() || !parseWholeNumber(value, 0, MaxDisplayIndex, index))
                result.error = "--display wants a display's index from 0 to 255 (see --list-displays)";
            o.display = uint32_t(index);
            o.displayGiven = true;
        } else if (name == "--error-dialog") {
            flag(o.errorDialog);
        } else if (name == "--help" || name == "-h") {
            flag(o.help);
        } else if (name == "--version") {
            flag(o.version);
        } else if (name == "--start") {
            uint64_t ms = 0;
            if (!takeValue() || !parseWholeNumber(value, 0, ShowLengthMs, ms))
                result.error = "--start wants a clock value in ms from 0 to 90596";
            o.startMs = uint32_t(ms);
            o.startGiven = true;
        } else if (name == "--loop-range") {
            uint64_t from = 0, to = 0;
            if (!takeValue() || !parseRangeValue(value, 0, ShowLengthMs, from, to))
                result.error = "--loop-range wants FROM-TO, clock values in ms with FROM < TO <= 90596";
            o.loopRange = true;
            o.loopFromMs = uint32_t(from);
            o.loopToMs = uint32_t(to);
        } else if (name == "--show-rate") {
            uint64_t rate = 0;
            if (!takeValue() || !parseWholeNumber(value, 0, MaxShowRate, rate))
                result.error = "--show-rate wants show frames per second from 1 to 1000, or 0";
            o.showRate = uint32_t(rate);
        } else if (name == "--audio-latency") {
            uint64_t ms = 0;
            if (!takeValue() || !parseWholeNumber(value, 0, MaxAudioLatencyMs, ms))
                result.error = "--audio-latency wants a latency in ms from 0 to 1000";
            o.audioLatencyMs = uint32_t(ms);
        } else if (name == "--audio-device") {
            if (!takeValue() || value.empty()) result.error = "--audio-device wants a device name";
            o.audioDevice = value;
        } else {
            result.error = "unknown option '" + argument + "' (try --help)";
        }
        if (!result.error.empty()) return result;
    }
    return result;
}

std::string playerHelpText(const std::string& program, const std::string& installedDataDir) {
    return "Usage: " + program + " [OPTION]...\n"
           "Plays the show SOLTAREK ASKETRO: ten timed scenes over 90.6 s with its soundtrack,\n"
           "full-screen. Keys: Escape ends, Enter skips to the next scene, Space prints the\n"
           "clock value (ms), Alt+Enter switches between full screen and a window; P pauses\n"
           "and resumes, Left and Right go 5 s back and ahead, Home to the start, 0 to 9 to\n"
           "the start of that scene, comma and period one show frame back and ahead\n"
           "(paused), L loops the current scene; a line at the bottom says\n"
           "where the show stands after each of these.\n"
           "\n"
           "  --window[=WxH]          play in a normal window (default 1280x720), cursor visible;\n"
           "                          a resized window keeps the show filling it\n"
           "  --display=N             play on monitor N (0, the default, is the primary)\n"
           "  --list-displays         print the monitors (index, name, place and size) and exit\n"
           "  --mute                  no sound at all (no audio device needed)\n"
           "  --start=MS              start at clock value MS (0..90596): the show as a whole\n"
           "                          run has it there (earlier show frames run unseen; before,\n"
           "                          a fresh run began there), the music at the same sample\n"
           "  --loop-range=FROM-TO    play the section FROM..TO (clock values in ms) again and\n"
           "                          again, from FROM unless --start says otherwise\n"
           "  --loop                  start again as a fresh run when the show ends;\n"
           "                          Escape still ends it\n"
           "  --show-rate=R           show frames per second (1..1000, default 120): the show's\n"
           "                          motion is counted in frames and made for 120 a second;\n"
           "                          each refresh of the display shows the newest one. 0 is\n"
           "                          the original's loop: a frame per present, no vsync\n"
           "  --frame-stats           at the end, print the show frames run and the presents,\n"
           "                          each per second of show clock, and the drawn size in\n"
           "                          pixels, on standard error\n"
           "  --audio-device=NAME     play the sound on the output device NAME\n"
           "  --list-audio-devices    print the names of the output devices and exit\n"
           "  --audio-latency=MS      the sound output's latency beyond what it reports\n"
           "                          (0..1000, default 0): pictures are drawn MS later\n"
           "  --error-dialog          when the show cannot start, also show why in a dialog\n"
           "                          and wait until it is closed (the desktop entry uses\n"
           "                          this; SOLTAREK_NO_DIALOG=1 leaves the dialog out)\n"
           "  --help                  print this help and exit\n"
           "  --version               print the version and exit\n"
           "\n"
           "The show reads data/ in the working directory, or else the data beside the program\n"
           "(a build directory) or the installed data (" + installedDataDir + "/data).\n";
}
