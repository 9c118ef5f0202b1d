#pragma once
// Control identifiers of the settings window.

inline constexpr int IDC_TOGGLE_SHIFT = 101;
inline constexpr int IDC_TOGGLE_CAPSLOCK = 102;
inline constexpr int IDC_SAVE = 103;
inline constexpr int IDC_PROFILE_ADD = 104;
inline constexpr int IDC_PROFILE_REMOVE = 105;
inline constexpr int IDC_LETTER_SELECTION = 106;
inline constexpr int IDC_THEME = 107;
inline constexpr int IDC_MANAGE_PHRASES = 108;
inline constexpr int IDC_FONT_SIZE = 109;
inline constexpr int IDC_COLOR_BACKGROUND = 110;
inline constexpr int IDC_COLOR_TEXT = 111;
inline constexpr int IDC_COLOR_MUTED = 112;
inline constexpr int IDC_COLOR_SELECTION = 113;
inline constexpr int IDC_COLOR_SELECTED_TEXT = 114;
inline constexpr int IDC_COLOR_BORDER = 115;
inline constexpr int IDC_PERSISTENT_TOOLBAR = 116;
inline constexpr int IDC_FOLLOW_MODE = 117;

inline constexpr bool IsColorButton(int id) {
    return id >= IDC_COLOR_BACKGROUND && id <= IDC_COLOR_BORDER;
}
