#pragma once
// The lists the settings window offers and how a stored or chosen value maps to them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "theme_colors.h"

// The font-size list, in list order (the store accepts 12 to 28, more than offered).
inline constexpr std::array<std::int32_t, 7> FontSizeChoices = {14, 16, 18, 20, 22, 24, 28};
// Selected when the stored size is not in the list: 16 px.
inline constexpr int FallbackFontSizeIndex = 1;

// The ten preset names in preset order, then the custom entry.
inline constexpr std::size_t CustomThemeIndex = ThemePresetCount;
extern const std::array<const wchar_t*, ThemePresetCount + 1> ThemePresetNames;

// Labels of the six colour buttons, in slot order.
extern const std::array<const wchar_t*, ThemeSlotCount> ThemeSlotLabels;

// Items of the follow-mode list; index = the ToolbarFollowMode value.
extern const std::array<const wchar_t*, 3> FollowModeItems;

// "14 px" and so on.
std::wstring FontSizeLabel(std::int32_t size);

// The list index showing `fontSize`, or FallbackFontSizeIndex when the list lacks it.
int FontSizeSelection(std::int32_t fontSize);

// The last preset whose six colours all equal `colors`, or CustomThemeIndex.
int ThemeSelection(const ThemeColors& colors);

// The size a list selection stands for; nothing for no selection or an unknown index.
std::optional<std::int32_t> FontSizeForSelection(long long selection);

// The preset a theme-list selection copies; nothing for the custom entry or no selection.
std::optional<ThemeColors> PresetForSelection(long long selection);

// The follow mode a save stores for the list's selection: out of 0..2 stores 1.
std::uint32_t FollowModeToSave(long long selection);
