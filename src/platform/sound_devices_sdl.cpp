#include <SDL.h>

#include "platform/sound.h"

namespace sound {

std::vector<std::string> listOutputDevices() {
    std::vector<std::string> names;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return names;
    const int count = SDL_GetNumAudioDevices(0);
    for (int i = 0; i < count; ++i) {
        const char* name = SDL_GetAudioDeviceName(i, 0);
        if (name != nullptr) names.emplace_back(name);
    }
    return names;
}

}  // namespace sound
