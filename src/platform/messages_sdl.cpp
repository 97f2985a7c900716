#include <SDL.h>

#include "platform/messages.h"

namespace {

uint32_t keyCodeOf(SDL_Keycode key) {
    switch (key) {
        case SDLK_ESCAPE: return KeyEscape;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: return KeyEnter;
        case SDLK_SPACE: return KeySpace;
        default: return 0;
    }
}

}  // namespace

bool peekMessage(MessageRecord& record) {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
    SDL_Event event;
    if (SDL_PollEvent(&event) == 0) return false;
    record = MessageRecord{};
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            record.wParam = keyCodeOf(event.key.keysym.sym);
            break;
        case SDL_QUIT:
            record.closeRequested = true;
            break;
        case SDL_WINDOWEVENT:
            record.closeRequested = event.window.event == SDL_WINDOWEVENT_CLOSE;
            break;
        default:
            break;
    }
    return true;
}
