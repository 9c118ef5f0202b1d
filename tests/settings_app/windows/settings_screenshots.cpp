// Draws the settings window in three states and saves each as a BMP file in the folder
// given as the first argument: the default theme, "極致對比" at 28 px, and a colour picked
// in the colour dialog.
#include <windows.h>

#include <cstdio>
#include <string>

#include "settings_choices.h"
#include "settings_window_driver.h"

namespace {

bool Save(const settings_test::SettingsWindow& window, const std::wstring& folder,
          const wchar_t* name) {
    test_support::PumpMessages(400);
    const std::wstring path = folder + L"\\" + name;
    const bool ok = test_support::SaveWindowBmp(window.Handle(), path);
    std::fwprintf(stderr, L"%ls %ls\n", ok ? L"saved" : L"FAILED", path.c_str());
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring folder = argv[1];
    bool ok = true;
    {
        settings_test::DeleteSettingsKey();
        settings_test::SettingsWindow window;
        ok = Save(window, folder, L"settings_default.bmp") && ok;
    }
    {
        settings_test::DeleteSettingsKey();
        settings_test::SettingsWindow window;
        window.Choose(IDC_THEME, 9);      // 極致對比
        window.Choose(IDC_FONT_SIZE, 6);  // 28 px
        ok = Save(window, folder, L"settings_high_contrast_28px.bmp") && ok;
    }
    {
        // A selection colour of our own (orange) picked in the colour dialog, at 20 px: the
        // theme list shows the custom entry. The dialog is saved as it shows.
        settings_test::DeleteSettingsKey();
        settings_test::SettingsWindow window;
        window.Choose(IDC_FONT_SIZE, 3);
        bool dialogSaved = false;
        {
            settings_test::DialogAnswerer dialog(window.Handle(), IDOK, [&](HWND d) {
                settings_test::TypeColor(d, 0xFF, 0x80, 0x00);
                Sleep(300);
                dialogSaved =
                    test_support::SaveWindowBmp(d, folder + L"\\settings_color_dialog.bmp");
            });
            window.Click(IDC_COLOR_SELECTION);
            ok = dialog.Wait() && ok;
        }
        std::fwprintf(stderr, L"%ls settings_color_dialog.bmp\n",
                      dialogSaved ? L"saved" : L"FAILED");
        ok = dialogSaved && Save(window, folder, L"settings_custom_color.bmp") && ok;
    }
    return ok ? 0 : 1;
}
