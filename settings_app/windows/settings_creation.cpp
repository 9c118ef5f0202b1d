// WM_CREATE: the fonts, the edited values and every control, filled from the store.
#include "control_ids.h"
#include "profile_switch.h"
#include "settings_choices.h"
#include "settings_layout.h"
#include "settings_state.h"
#include "settings_store.h"
#include "settings_window.h"

namespace {

constexpr DWORD ChildStyle = WS_CHILD | WS_VISIBLE;
constexpr DWORD DropDownStyle = ChildStyle | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD CheckBoxStyle = ChildStyle | WS_GROUP | BS_AUTOCHECKBOX;

HWND MakeControl(HWND window, int id, const wchar_t* windowClass, const wchar_t* text, DWORD style,
                 int x, int y, int width, int height) {
    return CreateWindowExW(0, windowClass, text, style, x, y, width, height, window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

void SetCheck(HWND control, bool checked) {
    SendMessageW(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void AddItem(HWND list, const wchar_t* text) {
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void Select(HWND list, int index) { SendMessageW(list, CB_SETCURSEL, index, 0); }

}  // namespace

void CreateSettingsControls(HWND window) {
    CreateWindowFonts();
    g_theme = ReadThemeColors();
    g_fontSize = ReadCandidateFontSize();
    RecreatePreviewFont();

    const bool capsLock = ReadToggleKeyIsCapsLock();
    HWND shift = MakeControl(window, IDC_TOGGLE_SHIFT, L"BUTTON", L"Shift（Windows 預設）",
                             ChildStyle | WS_GROUP | BS_AUTORADIOBUTTON, 42, 182, 260, 30);
    HWND capsLockButton = MakeControl(window, IDC_TOGGLE_CAPSLOCK, L"BUTTON", L"Caps Lock",
                                      ChildStyle | BS_AUTORADIOBUTTON, 42, 216, 260, 30);
    SetCheck(capsLock ? capsLockButton : shift, true);

    // 280 pixels wide, the body font's label lost its last words behind the control's
    // edge; 295 shows it whole and ends exactly at the card's right edge.
    SetCheck(MakeControl(window, IDC_PERSISTENT_TOOLBAR, L"BUTTON",
                         L"輸入位置旁常駐工具列（預設開啟）", CheckBoxStyle, 42, 248, 295, 30),
             ReadPersistentToolbar());

    HWND followMode =
        MakeControl(window, IDC_FOLLOW_MODE, L"COMBOBOX", L"", DropDownStyle, 145, 280, 170, 120);
    for (const wchar_t* item : FollowModeItems) AddItem(followMode, item);
    Select(followMode, ReadToolbarFollowMode());

    SetCheck(MakeControl(window, IDC_LETTER_SELECTION, L"BUTTON", L"用 asdfghjkl: 選字（預設關閉）",
                         CheckBoxStyle, 42, 347, 260, 30),
             ReadLetterSelection());

    MakeControl(window, IDC_SAVE, L"BUTTON", L"儲存並套用", ChildStyle | BS_DEFPUSHBUTTON, 512, 589,
                150, 42);
    MakeControl(window, IDC_PROFILE_ADD, L"BUTTON", L"加入列表", ChildStyle, 42, 437, 125, 35);
    MakeControl(window, IDC_PROFILE_REMOVE, L"BUTTON", L"從列表移除", ChildStyle, 180, 437, 130,
                35);
    MakeControl(window, IDC_MANAGE_PHRASES, L"BUTTON", L"自建詞組管理", ChildStyle, 42, 493, 268,
                39);
    HWND theme =
        MakeControl(window, IDC_THEME, L"COMBOBOX", L"", DropDownStyle, 362, 345, 183, 310);
    HWND fontSize =
        MakeControl(window, IDC_FONT_SIZE, L"COMBOBOX", L"", DropDownStyle, 550, 345, 110, 260);

    for (std::int32_t size : FontSizeChoices) AddItem(fontSize, FontSizeLabel(size).c_str());
    Select(fontSize, FontSizeSelection(g_fontSize));

    for (const wchar_t* name : ThemePresetNames) AddItem(theme, name);
    Select(theme, ThemeSelection(g_theme));

    for (std::size_t slot = 0; slot < ThemeSlotCount; ++slot) {
        const PixelRect r = ColorButtonRect(slot);
        MakeControl(window, IDC_COLOR_BACKGROUND + static_cast<int>(slot), L"BUTTON",
                    ThemeSlotLabels[slot], ChildStyle | BS_OWNERDRAW, r.left, r.top,
                    r.right - r.left, r.bottom - r.top);
    }

    EnumChildWindows(window, SetChildFont, 0);
}
