#pragma once
// Registry key and value names of the settings store; used nowhere else as literals.

namespace SettingNames {
inline constexpr wchar_t KeyPath[] = L"Software\\Mo_Input_Ka";
inline constexpr wchar_t TablePath[] = L"TablePath";
inline constexpr wchar_t ToggleKey[] = L"ToggleKey";
inline constexpr wchar_t LetterSelection[] = L"LetterSelection";
inline constexpr wchar_t PersistentToolbar[] = L"PersistentToolbar";
inline constexpr wchar_t ToolbarFollowMode[] = L"ToolbarFollowMode";
inline constexpr wchar_t ToolbarOffsetX[] = L"ToolbarOffsetX";
inline constexpr wchar_t ToolbarOffsetY[] = L"ToolbarOffsetY";
inline constexpr wchar_t ToolbarX[] = L"ToolbarX";
inline constexpr wchar_t ToolbarY[] = L"ToolbarY";
inline constexpr wchar_t KeyboardX[] = L"KeyboardX";
inline constexpr wchar_t KeyboardY[] = L"KeyboardY";
inline constexpr wchar_t KeyboardWidth[] = L"KeyboardWidth";
inline constexpr wchar_t KeyboardHeight[] = L"KeyboardHeight";
inline constexpr wchar_t SimplifiedOutput[] = L"SimplifiedOutput";
inline constexpr wchar_t FullwidthOutput[] = L"FullwidthOutput";
inline constexpr wchar_t CandidateFontSize[] = L"CandidateFontSize";
inline constexpr wchar_t ThemeBackground[] = L"ThemeBackground";
inline constexpr wchar_t ThemeText[] = L"ThemeText";
inline constexpr wchar_t ThemeMuted[] = L"ThemeMuted";
inline constexpr wchar_t ThemeSelection[] = L"ThemeSelection";
inline constexpr wchar_t ThemeSelectedText[] = L"ThemeSelectedText";
inline constexpr wchar_t ThemeBorder[] = L"ThemeBorder";
}  // namespace SettingNames
