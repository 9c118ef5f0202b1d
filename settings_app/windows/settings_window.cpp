#include "settings_window.h"

#include "boundary_guard.h"
#include "command_line.h"
#include "control_ids.h"
#include "settings_state.h"

namespace {

LRESULT HandleCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int notification = HIWORD(wParam);
    if (id == IDC_SAVE) {
        SaveSettings(window);
    } else if (id == IDC_MANAGE_PHRASES) {
        StartPhraseEditor(window);
    } else if (id == IDC_PROFILE_ADD || id == IDC_PROFILE_REMOVE) {
        ChangeInputProfile(window, id == IDC_PROFILE_ADD);
    } else if (id == IDC_THEME && notification == CBN_SELCHANGE) {
        ApplyThemeChoice(window);
    } else if (id == IDC_FONT_SIZE && notification == CBN_SELCHANGE) {
        ApplyFontSizeChoice(window);
    } else if (IsColorButton(id)) {
        PickColor(window, id - IDC_COLOR_BACKGROUND);
    } else {
        return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
    }
    return 0;
}

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            CreateSettingsControls(window);
            return 0;
        case WM_COMMAND:
            return HandleCommand(window, wParam, lParam);
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item && IsColorButton(static_cast<int>(item->CtlID))) {
                DrawColorButton(*item, static_cast<int>(item->CtlID) - IDC_COLOR_BACKGROUND);
                return TRUE;
            }
            break;
        }
        case WM_PAINT:
            PaintSettingsWindow(window);
            return 0;
        case WM_DESTROY:
            DeleteWindowFonts();
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK SettingsWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Nothing may escape into the window manager; an allocation failure only ends this
    // message's handling.
    return GuardWindow(0, [&] { return HandleMessage(window, message, wParam, lParam); });
}

bool RegisterSettingsWindowClass(HINSTANCE instance) {
    WNDCLASSW windowClass{};
    windowClass.style = 0;
    windowClass.lpfnWndProc = SettingsWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = SettingsWindowClass;
    return RegisterClassW(&windowClass) != 0;
}

HWND CreateSettingsWindow(HINSTANCE instance) {
    return CreateWindowExW(0, SettingsWindowClass, SettingsWindowTitle, WS_CAPTION | WS_SYSMENU,
                           CW_USEDEFAULT, CW_USEDEFAULT, SettingsWindowWidth, SettingsWindowHeight,
                           nullptr, nullptr, instance, nullptr);
}

int RunMessageLoop() {
    MSG message{};
    int fetched = 0;
    while ((fetched = static_cast<int>(GetMessageW(&message, nullptr, 0, 0))) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return MessageLoopExitCode(fetched, message.wParam);
}
