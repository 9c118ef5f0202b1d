// Draws the on-screen keyboard over the sample table and saves it as BMP files into the
// folder named by the first argument: the default theme, the high-contrast preset and the
// smallest size the window can be given.

#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "com_object.h"
#include "dll_globals.h"
#include "settings_names.h"
#include "test_files.h"
#include "text_service.h"
#include "theme_colors.h"
#include "window_capture.h"

namespace {

HWND MakeApplicationWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"MoikScreenshotApplication";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"application", WS_POPUP, 40, 40, 800, 400,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(window);  // the keyboard is owned by the focus window and shown while it leads
    return window;
}

void StoreSize(DWORD width, DWORD height) {
    RegSetKeyValueW(HKEY_CURRENT_USER, SettingNames::KeyPath, SettingNames::KeyboardWidth,
                    REG_DWORD, &width, sizeof(width));
    RegSetKeyValueW(HKEY_CURRENT_USER, SettingNames::KeyPath, SettingNames::KeyboardHeight,
                    REG_DWORD, &height, sizeof(height));
}

bool Shoot(TextService& service, const std::wstring& path) {
    service.ToggleKeyboard();
    HWND keyboard = service.keyboardWindow;
    test_support::PumpMessages(400);
    const bool saved = keyboard != nullptr && IsWindowVisible(keyboard) &&
                       test_support::SaveWindowBmp(keyboard, path);
    service.ToggleKeyboard();
    std::fwprintf(saved ? stdout : stderr, L"%ls %ls\n", saved ? L"saved" : L"FAILED",
                  path.c_str());
    return saved;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 2) {
        std::fprintf(stderr, "usage: keyboard_screenshots <output folder>\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    LocalFree(argv);

    DllModule = GetModuleHandleW(nullptr);
    TextService* service = NewComObject<TextService>();
    if (service == nullptr ||
        !service->table.Load(test_support::SourcePath("data/ZiRevod-Ka.cin"))) {
        std::fprintf(stderr, "keyboard_screenshots: the sample table did not load\n");
        return 1;
    }
    HWND application = MakeApplicationWindow();

    bool ok = true;
    RegDeleteTreeW(HKEY_CURRENT_USER, SettingNames::KeyPath);
    service->theme = ThemePresets[0];
    ok &= Shoot(*service, folder + L"\\keyboard-default.bmp");
    service->theme = ThemePresets[9];
    ok &= Shoot(*service, folder + L"\\keyboard-max-contrast.bmp");
    service->theme = ThemePresets[0];
    StoreSize(420, 240);
    ok &= Shoot(*service, folder + L"\\keyboard-smallest.bmp");
    RegDeleteTreeW(HKEY_CURRENT_USER, SettingNames::KeyPath);

    static_cast<ITfTextInputProcessorEx*>(service)->Release();
    DestroyWindow(application);
    return ok ? 0 : 1;
}
