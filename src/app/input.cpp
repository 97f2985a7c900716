#include "app/input.h"

#include <cinttypes>
#include <cstdio>

#include "app/shell.h"

namespace {
// Shared by Enter and Space: each press contributes two messages, so parity stays in step.
uint32_t keyPressCounter = 0;  // only its parity matters
MessageRecord messageRecord;
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
    if (record.wParam == KeyEnter) {
        if (keyPressCounter++ % 2 != 0) skipToNextScene();
        return;
    }
    if (record.wParam == KeySpace) {
        if (keyPressCounter++ % 2 != 0) {
            std::printf("%" PRIi32 "\n", int32_t(clockMs()));
            std::fflush(stdout);
        }
    }
}

void pumpMessages() {
    if (peekMessage(messageRecord)) handleMessage(messageRecord);
}

void resetInput() {
    keyPressCounter = 0;
    messageRecord = MessageRecord{};
}
