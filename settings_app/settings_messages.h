#pragma once
// Every message box the settings window shows: its text and whether it reports an error.

enum class SettingsMessage {
    Saved,
    SaveFailed,
    ProfileAdded,
    ProfileRemoved,
    ProfileChangeFailed,
    PhraseEditorFailed,
};

inline constexpr wchar_t SettingsMessageCaption[] = L"悠然輸入法-啟明星";

struct SettingsMessageContent {
    const wchar_t* text;
    bool isError;  // error icon; else the information icon
};

SettingsMessageContent SettingsMessageFor(SettingsMessage message);
