// Draws the settings window in three states and saves each as a BMP file in the folder
// given as the first argument: the default theme, "極致對比" at 28 px, and a custom colour.
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
        // A selection colour of our own (orange) in an otherwise default theme, as a
        // picked colour leaves it: the theme list shows the custom entry.
        settings_test::DeleteSettingsKey();
        settings_test::StoreDword(SettingNames::ThemeSelection, 0x0080FF);
        settings_test::StoreDword(SettingNames::CandidateFontSize, 20);
        settings_test::SettingsWindow window;
        ok = Save(window, folder, L"settings_custom_color.bmp") && ok;
    }
    return ok ? 0 : 1;
}
