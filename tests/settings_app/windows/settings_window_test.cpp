// The settings window created by the program's own code inside this test program, driven
// by the messages its controls send, under Wine with a private Xvfb. The store is the
// prefix's real registry.
#include <aclapi.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "input_dll_stand_in.h"
#include "phrase_editor_path.h"
#include "profile_switch.h"
#include "settings_choices.h"
#include "settings_layout.h"
#include "settings_state.h"
#include "settings_window_driver.h"

namespace {

using settings_test::SettingsWindow;
using std::filesystem::path;

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

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

std::optional<RawValue> ReadRaw(const wchar_t* name) {
    RawValue value;
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, SettingNames::KeyPath, name, RRF_RT_ANY | RRF_NOEXPAND,
                     &value.type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(size);
    if (RegGetValueW(HKEY_CURRENT_USER, SettingNames::KeyPath, name, RRF_RT_ANY | RRF_NOEXPAND,
                     &value.type, value.data.data(), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(size);
    return value;
}

RawValue Dword(DWORD v) {
    RawValue value{REG_DWORD, std::vector<BYTE>(4)};
    std::memcpy(value.data.data(), &v, 4);
    return value;
}

RawValue String(std::wstring_view text) {
    RawValue value{REG_SZ, std::vector<BYTE>((text.size() + 1) * sizeof(wchar_t))};
    std::memcpy(value.data.data(), text.data(), text.size() * sizeof(wchar_t));
    return value;
}

void ExpectStored(const wchar_t* name, const RawValue& expected) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
    const auto stored = ReadRaw(name);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, expected.type);
    EXPECT_EQ(stored->data, expected.data);
}

TEST(SettingsWindow, SaveWritesElevenValuesWithTheirTypesAndLeavesTheRestAlone) {
    Prepare({nullptr,
             {{L"SimplifiedOutput", 1},
              {L"ToolbarX", 0xFFFFFFF6},
              {L"KeyboardWidth", 800},
              {L"ThemeBorder", 0x010203}}});
    settings_test::StoreString(SettingNames::TablePath, L"C:\\tables\\mine.cin");
    SettingsWindow window;
    // What a user does: Caps Lock, toolbar off, typing follow mode, letters on, a preset, a
    // size and one colour of the preset edited by hand (through the edited state).
    window.SetChecked(IDC_TOGGLE_SHIFT, false);
    window.SetChecked(IDC_TOGGLE_CAPSLOCK, true);
    window.SetChecked(IDC_PERSISTENT_TOOLBAR, false);
    window.SetChecked(IDC_LETTER_SELECTION, true);
    SendMessageW(window.Control(IDC_FOLLOW_MODE), CB_SETCURSEL, 2, 0);
    window.Choose(IDC_THEME, 4);
    window.Choose(IDC_FONT_SIZE, 5);  // 24 px
    {
        settings_test::DialogAnswerer box(L"悠然輸入法-啟明星");
        window.Click(IDC_SAVE);
        ASSERT_TRUE(box.Wait());
        EXPECT_EQ(box.Text(), L"已儲存。重新選用輸入法後，候選窗配色與按鍵設定就會生效。");
        EXPECT_EQ(box.Icon(), LoadIconW(nullptr, IDI_INFORMATION));
    }
    const ThemeColors& preset = ThemePresets[4];
    ExpectStored(L"ToggleKey", String(L"CapsLock"));
    ExpectStored(L"LetterSelection", Dword(1));
    ExpectStored(L"ThemeBackground", Dword(preset.background));
    ExpectStored(L"ThemeText", Dword(preset.text));
    ExpectStored(L"ThemeMuted", Dword(preset.muted));
    ExpectStored(L"ThemeSelection", Dword(preset.selection));
    ExpectStored(L"ThemeSelectedText", Dword(preset.selectedText));
    ExpectStored(L"ThemeBorder", Dword(preset.border));
    ExpectStored(L"PersistentToolbar", Dword(0));
    ExpectStored(L"ToolbarFollowMode", Dword(2));
    ExpectStored(L"CandidateFontSize", Dword(24));
    // Values the save does not own stay as they were.
    ExpectStored(L"SimplifiedOutput", Dword(1));
    ExpectStored(L"ToolbarX", Dword(0xFFFFFFF6));
    ExpectStored(L"KeyboardWidth", Dword(800));
    ExpectStored(L"TablePath", String(L"C:\\tables\\mine.cin"));
}

TEST(SettingsWindow, SaveKeepsAnUnlistedSizeAndStoresShiftAndDefaults) {
    Prepare({L"CapsLock", {{L"CandidateFontSize", 27}, {L"ToolbarFollowMode", 9}}});
    SettingsWindow window;
    window.SetChecked(IDC_TOGGLE_CAPSLOCK, false);
    window.SetChecked(IDC_TOGGLE_SHIFT, true);
    {
        settings_test::DialogAnswerer box(L"悠然輸入法-啟明星");
        window.Click(IDC_SAVE);
        ASSERT_TRUE(box.Wait());
    }
    ExpectStored(L"ToggleKey", String(L"Shift"));
    ExpectStored(L"CandidateFontSize", Dword(27));
    ExpectStored(L"ToolbarFollowMode", Dword(1));
    ExpectStored(L"PersistentToolbar", Dword(1));
    ExpectStored(L"LetterSelection", Dword(0));
    ExpectStored(L"ThemeBackground", Dword(ThemePresets[0].background));
}

// The key exists but this user may not set values in it: the save cannot open it for
// writing, writes nothing and says so.
TEST(SettingsWindow, SaveIntoAKeyThatRefusesWritesStoresNothingAndReportsTheFailure) {
    Prepare({L"CapsLock", {{L"CandidateFontSize", 20}}});
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, SettingNames::KeyPath, 0, WRITE_DAC, &key),
              ERROR_SUCCESS);
    // Everyone may read, change the permissions and delete; nobody may set a value.
    EXPLICIT_ACCESSW allow{};
    allow.grfAccessPermissions = KEY_READ | WRITE_DAC | DELETE;
    allow.grfAccessMode = SET_ACCESS;
    allow.grfInheritance = NO_INHERITANCE;
    allow.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
    allow.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    allow.Trustee.ptstrName = const_cast<wchar_t*>(L"EVERYONE");
    PACL acl = nullptr;
    ASSERT_EQ(SetEntriesInAclW(1, &allow, nullptr, &acl), ERROR_SUCCESS);
    ASSERT_EQ(SetSecurityInfo(key, SE_REGISTRY_KEY,
                              DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, acl, nullptr),
              ERROR_SUCCESS);
    LocalFree(acl);
    RegCloseKey(key);
    HKEY probe = nullptr;
    const LSTATUS refused =
        RegOpenKeyExW(HKEY_CURRENT_USER, SettingNames::KeyPath, 0, KEY_SET_VALUE, &probe);
    if (probe) RegCloseKey(probe);
    ASSERT_EQ(refused, ERROR_ACCESS_DENIED) << "the registry must refuse the write access";

    SettingsWindow window;
    window.Choose(IDC_FONT_SIZE, 0);
    {
        settings_test::DialogAnswerer box(L"悠然輸入法-啟明星");
        window.Click(IDC_SAVE);
        ASSERT_TRUE(box.Wait());
        EXPECT_EQ(box.Text(), L"無法儲存設定。");
        EXPECT_EQ(box.Icon(), LoadIconW(nullptr, IDI_ERROR));
    }
    ExpectStored(L"ToggleKey", String(L"CapsLock"));
    ExpectStored(L"CandidateFontSize", Dword(20));
    EXPECT_FALSE(ReadRaw(L"LetterSelection").has_value());
    settings_test::DeleteSettingsKey();
}

// The vertical span of pixels that differ from `ground` in a rectangle of the client area.
std::pair<int, int> InkRows(const SettingsWindow::ClientCapture& c, const PixelRect& r,
                            DWORD ground) {
    int top = -1, bottom = -1;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            if (c.At(x, y) != ground) {
                if (top < 0) top = y;
                bottom = y;
                break;
            }
        }
    }
    return {top, bottom};
}

TEST(SettingsWindow, PresetAndFontSizeRepaintThePreviewAtOnce) {
    settings_test::DeleteSettingsKey();
    SettingsWindow window;
    using settings_test::ScreenColor;
    // Inside the preview box but clear of its texts; on the selection bar left of its text;
    // on the border; inside the selection slot's swatch.
    const POINT box{655, 314}, bar{372, 262}, border{363, 250}, swatch{517 + 18, 452 + 17};

    auto before = window.CaptureClient();
    ASSERT_TRUE(before.ok);
    EXPECT_EQ(before.At(box.x, box.y), ScreenColor(ThemePresets[0].background));
    EXPECT_EQ(before.At(bar.x, bar.y), ScreenColor(ThemePresets[0].selection));
    EXPECT_EQ(before.At(border.x, border.y), ScreenColor(ThemePresets[0].border));
    EXPECT_EQ(before.At(swatch.x, swatch.y), ScreenColor(ThemePresets[0].selection));
    window.Choose(IDC_FONT_SIZE, 0);  // 14 px
    const auto small = window.CaptureClient();
    const auto smallRows =
        InkRows(small, PreviewFirstRowRect, ScreenColor(ThemePresets[0].selection));

    window.Choose(IDC_THEME, 9);      // 極致對比: a black box with a white frame
    window.Choose(IDC_FONT_SIZE, 6);  // 28 px
    const auto after = window.CaptureClient();
    ASSERT_TRUE(after.ok);
    const ThemeColors& contrast = ThemePresets[9];
    EXPECT_EQ(after.At(box.x, box.y), ScreenColor(contrast.background));
    EXPECT_EQ(after.At(bar.x, bar.y), ScreenColor(contrast.selection));
    EXPECT_EQ(after.At(border.x, border.y), ScreenColor(contrast.border));
    EXPECT_EQ(after.At(swatch.x, swatch.y), ScreenColor(contrast.selection));
    // The button face keeps its own colour whatever the theme.
    EXPECT_EQ(after.At(517 + 100, 452 + 3), ScreenColor(ColorButtonFace));

    const auto largeRows = InkRows(after, PreviewFirstRowRect, ScreenColor(contrast.selection));
    ASSERT_GE(smallRows.first, 0);
    ASSERT_GE(largeRows.first, 0);
    const int smallHeight = smallRows.second - smallRows.first + 1;
    const int largeHeight = largeRows.second - largeRows.first + 1;
    EXPECT_GT(largeHeight, smallHeight * 3 / 2) << smallHeight << " vs " << largeHeight;
    // Both centred in the fixed 34-pixel row.
    const int rowMiddle = (PreviewFirstRowRect.top + PreviewFirstRowRect.bottom) / 2;
    EXPECT_NEAR((smallRows.first + smallRows.second) / 2, rowMiddle, 3);
    EXPECT_NEAR((largeRows.first + largeRows.second) / 2, rowMiddle, 3);
    // The bar keeps its rows: the pixel below it is the box again.
    EXPECT_EQ(after.At(bar.x, PreviewSelectionBarRect.bottom), ScreenColor(contrast.background));

    // The custom entry changes no colour.
    window.Choose(IDC_THEME, 10);
    EXPECT_EQ(g_theme.selection, contrast.selection);
}

TEST(SettingsWindow, APickedColourShowsAtOnceAndSelectsTheCustomEntry) {
    settings_test::DeleteSettingsKey();
    SettingsWindow window;
    {
        // Cancelled: nothing changes, the theme list included.
        settings_test::DialogAnswerer dialog(
            window.Handle(), IDCANCEL, [](HWND d) { settings_test::TypeColor(d, 255, 0, 0); });
        window.Click(IDC_COLOR_SELECTION);
        ASSERT_TRUE(dialog.Wait());
    }
    EXPECT_EQ(g_theme.selection, ThemePresets[0].selection);
    EXPECT_EQ(window.Selection(IDC_THEME), 0);
    {
        // Confirmed with exactly preset 9's selection colour: still the custom entry.
        settings_test::DialogAnswerer dialog(
            window.Handle(), IDOK, [](HWND d) { settings_test::TypeColor(d, 0xFF, 0xDD, 0x00); });
        window.Click(IDC_COLOR_SELECTION);
        ASSERT_TRUE(dialog.Wait());
    }
    test_support::PumpMessages(200);
    EXPECT_EQ(g_theme.selection, 0x00DDFFu);
    EXPECT_EQ(window.Selection(IDC_THEME), 10);
    const auto shown = window.CaptureClient();
    EXPECT_EQ(shown.At(372, 262), 0xFFDD00u);            // the preview's selection bar
    EXPECT_EQ(shown.At(517 + 18, 452 + 17), 0xFFDD00u);  // the swatch of its button
    EXPECT_EQ(shown.At(655, 314), settings_test::ScreenColor(ThemePresets[0].background));

    // A preset chosen afterwards replaces the picked colour too.
    window.Choose(IDC_THEME, 1);
    EXPECT_EQ(g_theme.selection, ThemePresets[1].selection);
}

// Wine ships no input.dll: the real load fails. A stand-in in the system directory then
// shows both answers of the system call.
TEST(SettingsWindow, ProfileButtonsReportTheSystemsAnswerAndStoreNothing) {
    settings_test::DeleteSettingsKey();
    ASSERT_TRUE(settings_test::InstallInputDll(nullptr));
    SettingsWindow window;
    window.Choose(IDC_FONT_SIZE, 6);  // an unsaved edit
    auto press = [&](int id) {
        settings_test::DialogAnswerer box(L"悠然輸入法-啟明星");
        window.Click(id);
        EXPECT_TRUE(box.Wait());
        return std::make_pair(box.Text(), box.Icon());
    };
    const auto failed = press(IDC_PROFILE_ADD);
    EXPECT_EQ(failed.first, L"無法更新輸入法列表。請先確認輸入法已註冊。");
    EXPECT_EQ(failed.second, LoadIconW(nullptr, IDI_ERROR));

    settings_test::InputDllRecord record;
    ASSERT_TRUE(settings_test::InstallInputDll(MOIK_INPUT_DLL_STAND_IN));
    const auto added = press(IDC_PROFILE_ADD);
    EXPECT_EQ(added.first, L"已加入目前使用者的輸入法列表。");
    EXPECT_EQ(added.second, LoadIconW(nullptr, IDI_INFORMATION));
    const auto removed = press(IDC_PROFILE_REMOVE);
    EXPECT_EQ(removed.first, L"已從目前使用者的輸入法列表移除。");
    record.Answer(false);
    EXPECT_EQ(press(IDC_PROFILE_REMOVE).first, L"無法更新輸入法列表。請先確認輸入法已註冊。");

    const std::wstring profile = settings_test::ExpectedProfileString();
    EXPECT_EQ(record.Calls(),
              (std::vector<std::wstring>{profile + L" 0", profile + L" 1", profile + L" 1"}));
    EXPECT_FALSE(ReadRaw(L"CandidateFontSize").has_value());
    EXPECT_EQ(g_fontSize, 28);
    settings_test::InstallInputDll(nullptr);
}

// GetModuleFileNameW cut the program's path off inside a folder name: the cut text's folder
// is a real one, with a phrase editor in it, and it is not the program's.
TEST(SettingsWindow, AnOwnPathThatDidNotFitItsBufferStartsNoPhraseEditor) {
    settings_test::DeleteSettingsKey();
    test_support::TempDir dir;
    const path wrongFolder = (dir / "abc").make_preferred();
    std::filesystem::create_directories(wrongFolder);
    std::filesystem::copy_file(settings_test::WinePathOf(MOIK_COMPANION_STAND_IN),
                               wrongFolder / L"mo_input_ka_words.exe");
    const std::wstring fullPath =
        wrongFolder.wstring() + L"\\" + std::wstring(300, L'e') + L"\\mo_input_ka_settings.exe";
    // What the platform leaves in a 260-unit buffer: 259 units and a NUL; it returns 260.
    std::wstring buffer = fullPath.substr(0, OwnPathBufferUnits - 1);
    buffer.push_back(L'\0');
    ASSERT_EQ(path(buffer.c_str()).parent_path(), wrongFolder);

    SettingsWindow window;
    settings_test::DialogAnswerer box(L"悠然輸入法-啟明星");
    StartPhraseEditorFrom(window.Handle(), buffer, OwnPathBufferUnits);
    ASSERT_TRUE(box.Wait());
    EXPECT_EQ(box.Text(), L"無法開啟自建詞組管理程式。");
    Sleep(1000);  // a wrongly started editor would have written its record by now
    EXPECT_FALSE(std::filesystem::exists(wrongFolder / L"mo_input_ka_words.exe.ran"));
}

TEST(ReadToggleKeyIsCapsLock, OnlyTheExactTextCapsLock) {
    const struct {
        const char* name;
        std::optional<std::wstring> text;  // nothing: stored as a number
    } cases[] = {
        {"CapsLock", L"CapsLock"},
        {"lower case", L"capslock"},
        {"trailing blank", L"CapsLock "},
        {"Shift", L"Shift"},
        {"too long for the 32-unit buffer", L"CapsLock" + std::wstring(40, L' ')},
        {"a number", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        settings_test::DeleteSettingsKey();
        if (c.text) {
            settings_test::StoreString(SettingNames::ToggleKey, *c.text);
        } else {
            settings_test::StoreDword(SettingNames::ToggleKey, 1);
        }
        EXPECT_EQ(ReadToggleKeyIsCapsLock(), c.text && *c.text == L"CapsLock");
    }
    settings_test::DeleteSettingsKey();
    EXPECT_FALSE(ReadToggleKeyIsCapsLock());
}

}  // namespace
