// WM_COMMAND: the save, the profile buttons, the phrase editor and the theme controls.
#include <windows.h>
// windows.h first: the dialog header needs its types.
#include <commdlg.h>

#include "control_ids.h"
#include "phrase_editor_path.h"
#include "profile_switch.h"
#include "save_sequence.h"
#include "settings_choices.h"
#include "settings_names.h"
#include "settings_state.h"
#include "settings_window.h"

namespace {

bool IsChecked(HWND window, int id) {
    return SendDlgItemMessageW(window, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

long long Selection(HWND window, int id) {
    return static_cast<long long>(SendDlgItemMessageW(window, id, CB_GETCURSEL, 0, 0));
}

SettingsToSave CollectSettings(HWND window) {
    SettingsToSave settings;
    settings.capsLockToggle = IsChecked(window, IDC_TOGGLE_CAPSLOCK);
    settings.letterSelection = IsChecked(window, IDC_LETTER_SELECTION);
    settings.persistentToolbar = IsChecked(window, IDC_PERSISTENT_TOOLBAR);
    settings.followMode = FollowModeToSave(Selection(window, IDC_FOLLOW_MODE));
    settings.theme = g_theme;
    settings.fontSize = g_fontSize;
    return settings;
}

bool WriteSetting(HKEY key, const SettingWrite& write) {
    const DWORD dword = write.dword;
    const BYTE* data = write.kind == SettingWrite::Kind::Dword
                           ? reinterpret_cast<const BYTE*>(&dword)
                           : reinterpret_cast<const BYTE*>(write.text.data());
    const DWORD type = write.kind == SettingWrite::Kind::Dword ? REG_DWORD : REG_SZ;
    return RegSetValueExW(key, write.name, 0, type, data, write.ByteCount()) == ERROR_SUCCESS;
}

// True when all eleven values were written.
bool StoreSettings(const SettingsToSave& settings) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, SettingNames::KeyPath, 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const std::size_t written =
        RunSaveWrites(SaveWrites(settings),
                      [key](const SettingWrite& write) { return WriteSetting(key, write); });
    RegCloseKey(key);
    return written == SaveWriteCount;
}

void RepaintColorButton(HWND window, std::size_t slot) {
    InvalidateRect(GetDlgItem(window, IDC_COLOR_BACKGROUND + static_cast<int>(slot)), nullptr,
                   TRUE);
}

}  // namespace

void ShowSettingsMessage(HWND window, SettingsMessage message) {
    const SettingsMessageContent content = SettingsMessageFor(message);
    MessageBoxW(window, content.text, SettingsMessageCaption,
                MB_OK | (content.isError ? MB_ICONERROR : MB_ICONINFORMATION));
}

void SaveSettings(HWND window) {
    ShowSettingsMessage(window, StoreSettings(CollectSettings(window))
                                    ? SettingsMessage::Saved
                                    : SettingsMessage::SaveFailed);
}

void ChangeInputProfile(HWND window, bool enable) {
    SettingsMessage message = SettingsMessage::ProfileChangeFailed;
    if (SetInputProfileEnabled(enable)) {
        message = enable ? SettingsMessage::ProfileAdded : SettingsMessage::ProfileRemoved;
    }
    ShowSettingsMessage(window, message);
}

void StartPhraseEditor(HWND window) {
    wchar_t ownPath[OwnPathBufferUnits] = {};
    const DWORD length = GetModuleFileNameW(nullptr, ownPath, OwnPathBufferUnits);
    StartPhraseEditorFrom(window, std::wstring_view(ownPath, OwnPathBufferUnits), length);
}

void StartPhraseEditorFrom(HWND window, std::wstring_view ownPath, DWORD returnedLength) {
    if (returnedLength == 0) return;  // no path, no message
    // A path that filled the buffer is cut off: its folder is not ours, so start nothing.
    const auto editor = PhraseEditorBeside(ownPath, returnedLength);
    bool started = false;
    if (editor) {
        std::wstring commandLine = PhraseEditorCommandLine(*editor);  // CreateProcessW writes
        const std::wstring folder = editor->parent_path().wstring();
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (CreateProcessW(editor->c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           folder.c_str(), &startup, &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
            started = true;
        }
    }
    if (!started) ShowSettingsMessage(window, SettingsMessage::PhraseEditorFailed);
}

void ApplyThemeChoice(HWND window) {
    if (const auto preset = PresetForSelection(Selection(window, IDC_THEME))) g_theme = *preset;
    InvalidateRect(window, nullptr, TRUE);
    for (std::size_t slot = 0; slot < ThemeSlotCount; ++slot) RepaintColorButton(window, slot);
}

void ApplyFontSizeChoice(HWND window) {
    const auto size = FontSizeForSelection(Selection(window, IDC_FONT_SIZE));
    if (!size) return;
    g_fontSize = *size;
    RecreatePreviewFont();
    InvalidateRect(window, nullptr, TRUE);
}

void PickColor(HWND window, int slot) {
    const auto j = static_cast<std::size_t>(slot);
    CHOOSECOLORW choice{};
    choice.lStructSize = sizeof(choice);
    choice.hwndOwner = window;
    choice.rgbResult = ThemeSlot(j);
    choice.lpCustColors = g_customColors;
    choice.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&choice)) return;  // cancelled or failed: nothing changes
    ThemeSlot(j) = choice.rgbResult;
    // Set by program: no CBN_SELCHANGE, so no preset is copied over the picked colour.
    SendDlgItemMessageW(window, IDC_THEME, CB_SETCURSEL, CustomThemeIndex, 0);
    InvalidateRect(window, nullptr, TRUE);
    RepaintColorButton(window, j);
}
