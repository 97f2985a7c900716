#include "app/input.h"

#include <cinttypes>
#include <cstdio>

#include "app/shell.h"
#include "app/transport.h"
#include "platform/display.h"

namespace {
// Shared by Enter and Space: each press contributes two messages, so parity stays in step.
uint32_t keyPressCounter = 0;  // only its parity matters
MessageRecord messageRecord;
bool altEnterHeld = false;  // Enter went down with Alt: its messages until the release are Alt+Enter's

// The transport's request for a key; None for keys that are not the transport's.
TransportRequest transportRequestOf(uint32_t key) {
    if (key >= KeyDigit0 && key <= KeyDigit0 + 9) return {TransportAction::ToScene, key - KeyDigit0};
    switch (key) {
        case KeyP: return {TransportAction::TogglePause, 0};
        case KeyLeft: return {TransportAction::Back, 0};
        case KeyRight: return {TransportAction::Ahead, 0};
        case KeyHome: return {TransportAction::ToStart, 0};
        case KeyComma: return {TransportAction::FrameBack, 0};
        case KeyPeriod: return {TransportAction::FrameAhead, 0};
        case KeyL: return {TransportAction::ToggleSceneLoop, 0};
        default: return {};
    }
}

}  // namespace

void handleMessage(const MessageRecord& record) {
    if (record.closeRequested) {
        requestQuit();
        return;
    }
    if (record.wParam == KeyEscape) {
        requestQuit();
        return;
    }
    // Alt+Enter switches between full screen and a window, once per press, and leaves the
    // parity alone: its release is Alt+Enter's too when Alt was let go first.
    if (record.wParam == KeyEnter && (record.alt || altEnterHeld)) {
        if (record.keyDown && !record.repeat && !altEnterHeld) toggleFullScreen();
        altEnterHeld = record.keyDown;
        return;
    }
    if (record.wParam == KeyEnter) {
        if (keyPressCounter++ % 2 != 0) skipToNextScene();
        return;
    }
    if (record.wParam == KeySpace) {
        if (keyPressCounter++ % 2 != 0) {
            std::printf("%" PRIi32 "\n", int32_t(clockMs()));
            std::fflush(stdout);
        }
        return;
    }
    const TransportRequest request = transportRequestOf(record.wParam);
    if (record.keyDown && request.action != TransportAction::None) requestTransport(request);
}

void pumpMessages() {
    if (peekMessage(messageRecord)) handleMessage(messageRecord);
}

void resetInput() {
    keyPressCounter = 0;
    messageRecord = MessageRecord{};
    altEnterHeld = false;
}
