#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstring>
#include <deque>

#include "platform/messages.h"
#include "platform/web/page_bridge.h"

namespace {

// The keys the show knows, by the page's KeyboardEvent.key, and their message codes: the
// show's own three, then the transport's (a letter in either case, the digits of the main
// row and of the keypad alike).
struct ShowKey {
    const char* name;
    uint32_t code;
};
constexpr ShowKey ShowKeys[] = {
    {"Escape", KeyEscape}, {"Enter", KeyEnter},   {" ", KeySpace},          {"p", KeyP},
    {"P", KeyP},           {"l", KeyL},           {"L", KeyL},              {"ArrowLeft", KeyLeft},
    {"ArrowRight", KeyRight}, {"Home", KeyHome},  {",", KeyComma},          {".", KeyPeriod},
    {"0", KeyDigit0},      {"1", KeyDigit0 + 1},  {"2", KeyDigit0 + 2},     {"3", KeyDigit0 + 3},
    {"4", KeyDigit0 + 4},  {"5", KeyDigit0 + 5},  {"6", KeyDigit0 + 6},     {"7", KeyDigit0 + 7},
    {"8", KeyDigit0 + 8},  {"9", KeyDigit0 + 9}};

// The show's own keys act whatever else is held, as in the window; a transport key held with
// Ctrl, Alt or Meta is the browser's (Ctrl+0 resets the zoom, Alt+Left goes back).
bool isShowOwnKey(uint32_t code) { return code == KeyEscape || code == KeyEnter || code == KeySpace; }

// Messages not yet taken. Frames take one each; the cap only matters when frames stop
// (a hidden page) while events still arrive.
std::deque<MessageRecord> pending;
constexpr size_t MaxPending = 256;
constexpr uint32_t MaxKeyCode = 0xFF;  // the key codes of messages.h lie below this
bool held[MaxKeyCode + 1] = {};        // by key code: a key-down was queued, its release was not

constexpr bool keyCodesFit() {
    for (const ShowKey& key : ShowKeys)
        if (key.code > MaxKeyCode) return false;
    return true;
}
static_assert(keyCodesFit(), "a key code beyond the held table");

void queue(const MessageRecord& record) {
    if (pending.size() < MaxPending) pending.push_back(record);
}

EM_BOOL onKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
    const ShowKey* key = nullptr;
    for (const ShowKey& candidate : ShowKeys)
        if (std::strcmp(event->key, candidate.name) == 0) key = &candidate;
    if (key == nullptr) return EM_FALSE;
    if (!isShowOwnKey(key->code) && (event->ctrlKey || event->altKey || event->metaKey)) return EM_FALSE;
    const bool down = eventType == EMSCRIPTEN_EVENT_KEYDOWN;
    // As in the window, a release without its press (the key that started the show, held
    // while it started) is no message; held keys repeat their key-down.
    if (!down && !held[key->code]) return EM_TRUE;
    held[key->code] = down;
    MessageRecord record;
    record.wParam = key->code;
    record.keyDown = down;
    queue(record);
    return EM_TRUE;  // consumed: Space does not scroll the page, Enter presses no button
}

}  // namespace

void listenForKeys() {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, onKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, onKey);
}

extern "C" EMSCRIPTEN_KEEPALIVE void show_request_close() {
    MessageRecord record;
    record.closeRequested = true;
    queue(record);
}

bool peekMessage(MessageRecord& record) {
    if (pending.empty()) return false;
    record = pending.front();
    pending.pop_front();
    return true;
}
