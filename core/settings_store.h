#pragma once
// The per-user settings store under HKCU "Software\Mo_Input_Ka": every value is read
// on demand with its default, and written one value at a time.

#include <cstdint>
#include <string>

#include "settings_names.h"
#include "theme_colors.h"

enum class ToggleKeyChoice : std::int32_t { Shift = 0, CapsLock = 1 };

ToggleKeyChoice ToggleKeyFromFlag(int flag);

ToggleKeyChoice ReadToggleKey();
bool ReadLetterSelection();
bool ReadPersistentToolbar();
std::int32_t ReadToolbarFollowMode();
std::int32_t ReadDwordSetting(const wchar_t* valueName, std::int32_t defaultValue);
int ReadSimplifiedOutput();
bool ReadFullwidthOutput();
std::int32_t ReadCandidateFontSize();
ThemeColors ReadThemeColors();

// The TablePath override of the main table; empty when missing, unreadable or too long.
std::wstring ReadTablePath();

void WriteDwordSetting(const wchar_t* valueName, std::int32_t value);
void WriteClampedDwordSetting(const wchar_t* valueName, std::int32_t value);
bool WriteSimplifiedOutput(int value);
bool WriteFullwidthOutput(bool value);

// 0x80000000: a toolbar position that was never stored.
inline constexpr std::int32_t ToolbarPositionNotSet = INT32_MIN;
