#pragma once
// What the settings program does for its command-line tail, and its exit codes.

#include <cstdint>
#include <string_view>

enum class StartMode { OpenWindow, EnableProfile, DisableProfile };

// Only the whole tail, exactly "--enable-profile" or "--disable-profile", changes the
// profile without a window; any other tail (blanks, letter case, more arguments) opens it.
StartMode StartModeFor(std::wstring_view commandLineTail);

namespace SettingsExitCode {
inline constexpr int Success = 0;
inline constexpr int ClassRegistrationFailed = 1;
inline constexpr int WindowCreationFailed = 2;
inline constexpr int ProfileChangeFailed = 3;
// The message loop could not fetch a message; the message record holds nothing then.
inline constexpr int MessageLoopFailed = 4;
}  // namespace SettingsExitCode

int ProfileSwitchExitCode(bool changed);

// The exit code once the loop ended on `lastFetchResult` (0 for the quit message, -1 for
// an error): the quit message's code (its low 32 bits), or MessageLoopFailed.
int MessageLoopExitCode(int lastFetchResult, std::uintptr_t quitCode);
