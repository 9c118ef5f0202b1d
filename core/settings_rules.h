#pragma once
// What each stored setting means: the default and range rules of the settings readers and
// writers, as plain functions of the registry's answer. An empty optional is a failed read
// (missing key or value, another type, data too large for the reader's buffer).

#include <cstdint>
#include <optional>
#include <string_view>

#include "settings_store.h"
#include "theme_colors.h"

using StoredDword = std::optional<std::uint32_t>;

ToggleKeyChoice ToggleKeyFromStored(std::optional<std::wstring_view> text);
bool LetterSelectionFromStored(StoredDword stored);
bool PersistentToolbarFromStored(StoredDword stored);
std::int32_t ToolbarFollowModeFromStored(StoredDword stored);
std::int32_t DwordSettingFromStored(StoredDword stored, std::int32_t defaultValue);
int SimplifiedOutputFromStored(StoredDword stored);
bool FullwidthOutputFromStored(StoredDword stored);
std::int32_t CandidateFontSizeFromStored(StoredDword stored);
ColorRef ThemeSlotFromStored(StoredDword stored, ColorRef preset);

// The 32 bits each writer stores.
std::uint32_t DwordToStore(std::int32_t value);
std::uint32_t ClampedDwordToStore(std::int32_t value);
std::uint32_t SimplifiedOutputToStore(int value);
std::uint32_t FullwidthOutputToStore(bool value);

inline constexpr std::int32_t DefaultToolbarFollowMode = 1;
inline constexpr std::int32_t DefaultCandidateFontSize = 16;
inline constexpr std::uint32_t MinCandidateFontSize = 12;
inline constexpr std::uint32_t MaxCandidateFontSize = 28;
