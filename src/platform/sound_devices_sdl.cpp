#include <SDL.h>

#include "platform/sound_mixer.h"

namespace sound {

bool listSdlOutputDevices(std::vector<std::string>& names, std::string& error) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("no working audio driver (") + SDL_GetError() + ")";
        return false;
    }
    const int count = SDL_GetNumAudioDevices(0);  // -1: the driver cannot list them
    for (int i = 0; i < count; ++i) {
        const char* name = SDL_GetAudioDeviceName(i, 0);
        if (name != nullptr) names.emplace_back(name);
    }
    if (names.empty()) {
        error = std::string("the audio driver ") + SDL_GetCurrentAudioDriver() +
                " names no output device";
        return false;
    }
    return true;
}

}  // namespace sound
