// The settings program: a profile switch on the command line, else the settings window.
#include <windows.h>

#include "command_line.h"
#include "profile_switch.h"
#include "settings_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLineTail, int showCommand) {
    switch (StartModeFor(commandLineTail ? commandLineTail : L"")) {
        case StartMode::EnableProfile:
            return ProfileSwitchExitCode(SetInputProfileEnabled(true));
        case StartMode::DisableProfile:
            return ProfileSwitchExitCode(SetInputProfileEnabled(false));
        case StartMode::OpenWindow:
            break;
    }
    if (!RegisterSettingsWindowClass(instance)) return SettingsExitCode::ClassRegistrationFailed;
    HWND window = CreateSettingsWindow(instance);
    if (!window) return SettingsExitCode::WindowCreationFailed;
    ShowWindow(window, showCommand);
    return RunMessageLoop();
}
