#include <SDL.h>

#include "platform/messages.h"

namespace {

uint32_t keyCodeOf(SDL_Keycode key) {
    switch (key) {
        case SDLK_ESCAPE: return KeyEscape;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: return KeyEnter;
        case SDLK_SPACE: return KeySpace;
        case SDLK_HOME: return KeyHome;
        case SDLK_LEFT: return KeyLeft;
        case SDLK_RIGHT: return KeyRight;
        case SDLK_l: return KeyL;
        case SDLK_p: return KeyP;
        case SDLK_COMMA: return KeyComma;
        case SDLK_PERIOD: return KeyPeriod;
        default:
            if (key >= SDLK_0 && key <= SDLK_9) return KeyDigit0 + uint32_t(key - SDLK_0);
            return 0;
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
            record.keyDown = event.type == SDL_KEYDOWN;
            record.alt = (event.key.keysym.mod & KMOD_ALT) != 0;
            record.repeat = event.key.repeat != 0;
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
