#include "message_loop.h"

namespace {

BOOL PlatformGetMessage(MSG* message) { return GetMessageW(message, nullptr, 0, 0); }

}  // namespace

int RunMessageLoop(GetMessageCall getMessage) {
    MSG message{};
    for (;;) {
        const BOOL result = getMessage(&message);
        if (result == -1) return WordsExitCode::MessageLoopFailed;
        if (result == 0) return static_cast<int>(message.wParam);
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

int RunMessageLoop() { return RunMessageLoop(PlatformGetMessage); }
