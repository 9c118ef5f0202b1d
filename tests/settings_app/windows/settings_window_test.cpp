// The settings window created by the program's own code inside this test program, driven
// by the messages its controls send, under Wine with a private Xvfb. The store is the
// prefix's real registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings_choices.h"
#include "settings_layout.h"
#include "settings_state.h"
#include "settings_window_driver.h"

namespace {

using settings_test::SettingsWindow;

std::wstring ClassOf(HWND control) {
    wchar_t name[64] = {};
    GetClassNameW(control, name, 64);
    return name;
}

std::wstring TextOf(HWND control) {
    wchar_t text[256] = {};
    GetWindowTextW(control, text, 256);
    return text;
}

RECT ClientRectOf(HWND window, HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST(SettingsWindow, HasItsClassTitleStyleAndSize) {
    settings_test::DeleteSettingsKey();
    SettingsWindow window;
    ASSERT_NE(window.Handle(), nullptr);
    EXPECT_EQ(ClassOf(window.Handle()), L"Mo_Input_Ka_Settings");
    EXPECT_EQ(TextOf(window.Handle()), L"悠然輸入法-啟明星 設定");
    const LONG style = GetWindowLongW(window.Handle(), GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_CAPTION | WS_SYSMENU);
    RECT outer;
    GetWindowRect(window.Handle(), &outer);
    EXPECT_EQ(outer.right - outer.left, 700);
    EXPECT_EQ(outer.bottom - outer.top, 710);
}

TEST(SettingsWindow, CreatesEveryControlInOrderWithItsTextStyleAndPlace) {
    settings_test::DeleteSettingsKey();
    SettingsWindow window;
    const DWORD child = WS_CHILD | WS_VISIBLE;
    const DWORD dropDown = child | WS_VSCROLL | CBS_DROPDOWNLIST;
    const struct {
        int id;
        const wchar_t* windowClass;
        const wchar_t* text;
        DWORD style;
        RECT rect;  // a drop-down list's height is that of its closed box here
    } expected[] = {
        {101,
         L"Button",
         L"Shift（Windows 預設）",
         child | WS_GROUP | BS_AUTORADIOBUTTON,
         {42, 182, 302, 212}},
        {102, L"Button", L"Caps Lock", child | BS_AUTORADIOBUTTON, {42, 216, 302, 246}},
        {116,
         L"Button",
         L"輸入位置旁常駐工具列（預設開啟）",
         child | WS_GROUP | BS_AUTOCHECKBOX,
         {42, 248, 337, 278}},
        {117, L"ComboBox", L"", dropDown, {145, 280, 315, 0}},
        {106,
         L"Button",
         L"用 asdfghjkl: 選字（預設關閉）",
         child | WS_GROUP | BS_AUTOCHECKBOX,
         {42, 347, 302, 377}},
        {103, L"Button", L"儲存並套用", child | BS_DEFPUSHBUTTON, {512, 589, 662, 631}},
        {104, L"Button", L"加入列表", child, {42, 437, 167, 472}},
        {105, L"Button", L"從列表移除", child, {180, 437, 310, 472}},
        {108, L"Button", L"自建詞組管理", child, {42, 493, 310, 532}},
        {107, L"ComboBox", L"", dropDown, {362, 345, 545, 0}},
        {109, L"ComboBox", L"", dropDown, {550, 345, 660, 0}},
        {110, L"Button", L"背景", child | BS_OWNERDRAW, {363, 405, 506, 439}},
        {111, L"Button", L"文字", child | BS_OWNERDRAW, {517, 405, 660, 439}},
        {112, L"Button", L"輔助文字", child | BS_OWNERDRAW, {363, 452, 506, 486}},
        {113, L"Button", L"反白背景", child | BS_OWNERDRAW, {517, 452, 660, 486}},
        {114, L"Button", L"反白文字", child | BS_OWNERDRAW, {363, 499, 506, 533}},
        {115, L"Button", L"邊框", child | BS_OWNERDRAW, {517, 499, 660, 533}},
    };
    // Siblings keep their creation order.
    HWND control = GetWindow(window.Handle(), GW_CHILD);
    for (const auto& e : expected) {
        SCOPED_TRACE(e.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetDlgCtrlID(control), e.id);
        EXPECT_EQ(ClassOf(control), e.windowClass);
        if (ClassOf(control) == L"Button") {
            EXPECT_EQ(TextOf(control), e.text);
        }
        const DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
        // Controls add bits of their own (a list's CBS_HASSTRINGS, a checked radio button's
        // tab stop) and a drop-down list hands its scroll bar to its list; every other bit
        // of ours must be there.
        EXPECT_EQ(style & e.style, e.style & ~static_cast<DWORD>(WS_VSCROLL));
        if ((e.style & BS_TYPEMASK) != BS_AUTORADIOBUTTON) {
            EXPECT_EQ(style & WS_TABSTOP, 0u);
        }
        const RECT r = ClientRectOf(window.Handle(), control);
        EXPECT_EQ(r.left, e.rect.left);
        EXPECT_EQ(r.top, e.rect.top);
        EXPECT_EQ(r.right, e.rect.right);
        if (e.rect.bottom != 0) {
            EXPECT_EQ(r.bottom, e.rect.bottom);
        }
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), g_bodyFont);
        control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(control, nullptr);

    EXPECT_EQ(window.ItemCount(IDC_FOLLOW_MODE), 3);
    EXPECT_EQ(window.ItemText(IDC_FOLLOW_MODE, 2), L"打字時跟");
    ASSERT_EQ(window.ItemCount(IDC_THEME), 11);
    for (int i = 0; i < 11; ++i) EXPECT_EQ(window.ItemText(IDC_THEME, i), ThemePresetNames[i]);
    ASSERT_EQ(window.ItemCount(IDC_FONT_SIZE), 7);
    EXPECT_EQ(window.ItemText(IDC_FONT_SIZE, 0), L"14 px");
    EXPECT_EQ(window.ItemText(IDC_FONT_SIZE, 6), L"28 px");
}

// A check box or radio button shows its text right of its mark, clipped to the control.
// A label counts as readable when all its characters but the last fit, and at least the
// left half of the last one (a closing bracket's ink sits there).
TEST(SettingsWindow, EveryCheckBoxAndRadioButtonShowsItsWholeLabel) {
    settings_test::DeleteSettingsKey();
    SettingsWindow window;
    HDC dc = GetDC(window.Handle());
    HGDIOBJ previous = SelectObject(dc, g_bodyFont);
    const int markAndGap = GetSystemMetrics(SM_CXMENUCHECK) + 4;
    auto widthOf = [dc](std::wstring_view text) {
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &extent);
        return static_cast<int>(extent.cx);
    };
    for (int id :
         {IDC_TOGGLE_SHIFT, IDC_TOGGLE_CAPSLOCK, IDC_PERSISTENT_TOOLBAR, IDC_LETTER_SELECTION}) {
        const std::wstring text = TextOf(window.Control(id));
        const std::wstring_view all(text);
        const int needed = markAndGap + widthOf(all.substr(0, all.size() - 1)) +
                           widthOf(all.substr(all.size() - 1)) / 2;
        RECT r;
        GetClientRect(window.Control(id), &r);
        EXPECT_LE(needed, r.right)
            << id << ": mark and gap " << markAndGap << " px, text " << widthOf(all) << " px";
    }
    SelectObject(dc, previous);
    ReleaseDC(window.Handle(), dc);
}

struct StoredSettings {
    const wchar_t* toggleKey = nullptr;  // REG_SZ when set
    std::vector<std::pair<const wchar_t*, DWORD>> dwords;
};

void Prepare(const StoredSettings& stored) {
    settings_test::DeleteSettingsKey();
    if (stored.toggleKey) settings_test::StoreString(SettingNames::ToggleKey, stored.toggleKey);
    for (const auto& [name, value] : stored.dwords) settings_test::StoreDword(name, value);
}

TEST(SettingsWindow, ControlsStartFromTheStore) {
    const ThemeColors& contrast = ThemePresets[9];
    const struct {
        const char* name;
        StoredSettings stored;
        bool capsLock, toolbar, letters;
        long long followMode, fontSizeIndex, theme;
        std::int32_t fontSize;
    } cases[] = {
        {"empty store: the defaults", {}, false, true, false, 1, 1, 0, 16},
        {"every value away from its default",
         {L"CapsLock",
          {{L"PersistentToolbar", 0},
           {L"ToolbarFollowMode", 2},
           {L"LetterSelection", 5},
           {L"CandidateFontSize", 28},
           {L"ThemeBackground", contrast.background},
           {L"ThemeText", contrast.text},
           {L"ThemeMuted", contrast.muted},
           {L"ThemeSelection", contrast.selection},
           {L"ThemeSelectedText", contrast.selectedText},
           {L"ThemeBorder", contrast.border}}},
         true,
         false,
         true,
         2,
         6,
         9,
         28},
        {"unlisted size, follow mode out of range, one colour of its own",
         {L"capslock",
          {{L"ToolbarFollowMode", 3}, {L"CandidateFontSize", 27}, {L"ThemeText", 0x123456}}},
         false,
         true,
         false,
         1,
         1,
         10,
         27},
        {"preset 2 stored",
         {L"Shift",
          {{L"ThemeBackground", ThemePresets[2].background},
           {L"ThemeText", ThemePresets[2].text},
           {L"ThemeMuted", ThemePresets[2].muted},
           {L"ThemeSelection", ThemePresets[2].selection},
           {L"ThemeSelectedText", ThemePresets[2].selectedText},
           {L"ThemeBorder", ThemePresets[2].border},
           {L"CandidateFontSize", 14}}},
         false,
         true,
         false,
         1,
         0,
         2,
         14},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Prepare(c.stored);
        SettingsWindow window;
        EXPECT_EQ(window.IsChecked(IDC_TOGGLE_CAPSLOCK), c.capsLock);
        EXPECT_EQ(window.IsChecked(IDC_TOGGLE_SHIFT), !c.capsLock);
        EXPECT_EQ(window.IsChecked(IDC_PERSISTENT_TOOLBAR), c.toolbar);
        EXPECT_EQ(window.IsChecked(IDC_LETTER_SELECTION), c.letters);
        EXPECT_EQ(window.Selection(IDC_FOLLOW_MODE), c.followMode);
        EXPECT_EQ(window.Selection(IDC_FONT_SIZE), c.fontSizeIndex);
        EXPECT_EQ(window.Selection(IDC_THEME), c.theme);
        EXPECT_EQ(g_fontSize, c.fontSize);  // an unlisted size is kept until one is picked
    }
}

}  // namespace
