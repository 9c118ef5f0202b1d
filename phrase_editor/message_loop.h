#pragma once
// The program's message loop and the exit code it ends with.

#include <windows.h>

// GetMessageW's shape; tests pass a failing one.
using GetMessageCall = BOOL (*)(MSG* message);

// Runs until the quit message (its code is returned) or until getting a message fails:
// then the message holds nothing, and the failure's code is returned (1 when the
// platform gives none), so a broken loop never looks like a normal close.
int RunMessageLoop(GetMessageCall getMessage);
int RunMessageLoop();
