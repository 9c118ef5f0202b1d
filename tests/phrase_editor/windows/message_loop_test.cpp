// The message loop ends with the quit code, or with the failure's code when getting a
// message fails, never with what an unfilled message happens to hold.
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

TEST(MessageLoop, AFailedGetMessageEndsTheLoopWithItsCode) {
    EXPECT_EQ(RunMessageLoop(FailWithInvalidHandle), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(RunMessageLoop(FailWithoutCode), 1);
}

TEST(MessageLoop, TheQuitMessageGivesItsCode) {
    EXPECT_EQ(RunMessageLoop(QuitWithSeven), 7);
    PostQuitMessage(0);
    EXPECT_EQ(RunMessageLoop(), 0);
}

}  // namespace
