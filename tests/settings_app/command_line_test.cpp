#include "command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(StartModeFor, OnlyTheWholeExactSwitchChangesTheProfile) {
    const struct {
        const wchar_t* tail;
        StartMode mode;
    } cases[] = {
        {L"--enable-profile", StartMode::EnableProfile},
        {L"--disable-profile", StartMode::DisableProfile},
        {L"", StartMode::OpenWindow},
        {L"--enable-profile ", StartMode::OpenWindow},
        {L" --enable-profile", StartMode::OpenWindow},
        {L"--Enable-Profile", StartMode::OpenWindow},
        {L"--DISABLE-PROFILE", StartMode::OpenWindow},
        {L"--enable-profile --disable-profile", StartMode::OpenWindow},
        {L"--disable-profile x", StartMode::OpenWindow},
        {L"\"--enable-profile\"", StartMode::OpenWindow},
        {L"-enable-profile", StartMode::OpenWindow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.tail)));
        EXPECT_EQ(StartModeFor(c.tail), c.mode);
    }
}

TEST(ExitCodes, ProfileSwitchAndMessageLoop) {
    EXPECT_EQ(ProfileSwitchExitCode(true), 0);
    EXPECT_EQ(ProfileSwitchExitCode(false), 3);

    EXPECT_EQ(MessageLoopExitCode(0, 0), 0);
    EXPECT_EQ(MessageLoopExitCode(0, 7), 7);
    // The quit code's low 32 bits.
    EXPECT_EQ(MessageLoopExitCode(0, (std::uintptr_t{1} << 32) | 5u), 5);
    // A failed fetch leaves no quit code: whatever the record holds is not the exit code.
    EXPECT_EQ(MessageLoopExitCode(-1, 0), SettingsExitCode::MessageLoopFailed);
    EXPECT_EQ(MessageLoopExitCode(-1, 0x0111), SettingsExitCode::MessageLoopFailed);
    EXPECT_NE(SettingsExitCode::MessageLoopFailed, 0);
}

}  // namespace
