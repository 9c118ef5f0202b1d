// The message loop ends with the quit code, or with its own failure code when getting a
// message fails: never with what an unfilled message happens to hold, nor with the error,
// which could read as a failed start (1, 2).
#include "message_loop.h"

#include <gtest/gtest.h>

namespace {

BOOL FailWithInvalidHandle(MSG* message) {
    message->wParam = 0;  // what a stale message could hold: a normal close's code
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
}

BOOL FailWithoutCode(MSG* message) {
    message->wParam = 0;
    SetLastError(0);
    return -1;
}

BOOL QuitWithSeven(MSG* message) {
    message->message = WM_QUIT;
    message->wParam = 7;
    return 0;
}

BOOL FailWithFileNotFound(MSG* message) {
    message->wParam = 0;
    SetLastError(ERROR_FILE_NOT_FOUND);  // 2, a window that could not be created
    return -1;
}

TEST(MessageLoop, AFailedGetMessageEndsTheLoopWithTheLoopsOwnCode) {
    EXPECT_EQ(WordsExitCode::MessageLoopFailed, 4);
    for (GetMessageCall failing : {FailWithInvalidHandle, FailWithoutCode, FailWithFileNotFound}) {
        EXPECT_EQ(RunMessageLoop(failing), WordsExitCode::MessageLoopFailed);
    }
}

TEST(MessageLoop, TheQuitMessageGivesItsCode) {
    EXPECT_EQ(RunMessageLoop(QuitWithSeven), 7);
    PostQuitMessage(0);
    EXPECT_EQ(RunMessageLoop(), 0);
}

}  // namespace
