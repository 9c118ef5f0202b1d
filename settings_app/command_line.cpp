#include "command_line.h"

namespace {
constexpr std::wstring_view EnableProfileSwitch = L"--enable-profile";
constexpr std::wstring_view DisableProfileSwitch = L"--disable-profile";
}  // namespace

StartMode StartModeFor(std::wstring_view commandLineTail) {
    if (commandLineTail == EnableProfileSwitch) return StartMode::EnableProfile;
    if (commandLineTail == DisableProfileSwitch) return StartMode::DisableProfile;
    return StartMode::OpenWindow;
}

int ProfileSwitchExitCode(bool changed) {
    return changed ? SettingsExitCode::Success : SettingsExitCode::ProfileChangeFailed;
}

int MessageLoopExitCode(int lastFetchResult, std::uintptr_t quitCode) {
    if (lastFetchResult < 0) return SettingsExitCode::MessageLoopFailed;
    return static_cast<int>(static_cast<std::uint32_t>(quitCode));
}
