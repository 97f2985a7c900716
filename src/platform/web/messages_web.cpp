#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstring>
#include <deque>

#include "platform/messages.h"
#include "platform/web/page_bridge.h"

namespace {

// The keys the show knows, by the page's KeyboardEvent.key, and their message codes.
struct ShowKey {
    const char* name;
    uint32_t code;
};
constexpr ShowKey ShowKeys[] = {{"Escape", KeyEscape}, {"Enter", KeyEnter}, {" ", KeySpace}};
constexpr int ShowKeyCount = 3;

// Messages not yet taken. Frames take one each; the cap only matters when frames stop
// (a hidden page) while events still arrive.
std::deque<MessageRecord> pending;
constexpr size_t MaxPending = 256;
bool held[ShowKeyCount] = {};  // a key-down of this key was queued and its release was not

void queue(const MessageRecord& record) {
    if (pending.size() < MaxPending) pending.push_back(record);
}

EM_BOOL onKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
    int index = 0;
    while (index < ShowKeyCount && std::strcmp(event->key, ShowKeys[index].name) != 0) ++index;
    if (index == ShowKeyCount) return EM_FALSE;
    const bool down = eventType == EMSCRIPTEN_EVENT_KEYDOWN;
    // As in the window, a release without its press (the key that started the show, held
    // while it started) is no message; held keys repeat their key-down.
    if (!down && !held[index]) return EM_TRUE;
    held[index] = down;
    MessageRecord record;
    record.wParam = ShowKeys[index].code;
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
