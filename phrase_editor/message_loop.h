#pragma once
// The program's message loop and the exit codes the program ends with.

#include <windows.h>

namespace WordsExitCode {
inline constexpr int ClassRegistrationFailed = 1;
inline constexpr int WindowCreationFailed = 2;
// Getting a message failed; the settings program gives the same failure the same code.
inline constexpr int MessageLoopFailed = 4;
}  // namespace WordsExitCode

// GetMessageW's shape; tests pass a failing one.
using GetMessageCall = BOOL (*)(MSG* message);

// Runs until the quit message (its code is returned) or until getting a message fails:
// then the message holds nothing, and MessageLoopFailed is returned, so a broken loop
// looks neither like a normal close nor like a failed start.
int RunMessageLoop(GetMessageCall getMessage);
int RunMessageLoop();
