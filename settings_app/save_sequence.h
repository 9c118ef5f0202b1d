#pragma once
// The eleven values a save writes, in the order they are written, and the rule that the
// first failed write ends the sequence.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "theme_colors.h"

struct SettingsToSave {
    bool capsLockToggle = false;
    bool letterSelection = false;
    ThemeColors theme = ThemePresets[0];
    bool persistentToolbar = true;
    std::uint32_t followMode = 1;
    std::int32_t fontSize = 16;
};

// One value: a REG_DWORD of 4 bytes, or a REG_SZ written with its terminating NUL.
struct SettingWrite {
    enum class Kind { Dword, String };
    const wchar_t* name = nullptr;
    Kind kind = Kind::Dword;
    std::uint32_t dword = 0;
    std::wstring_view text;  // points at a constant; the NUL behind it is written too

    // The data's size in bytes as passed to the registry.
    std::uint32_t ByteCount() const;
};

inline constexpr std::size_t SaveWriteCount = 11;
std::array<SettingWrite, SaveWriteCount> SaveWrites(const SettingsToSave& settings);

// Calls `write` for each value in order while every earlier one succeeded. Returns how many
// succeeded: SaveWriteCount means the whole save is stored.
using SettingWriter = std::function<bool(const SettingWrite&)>;
std::size_t RunSaveWrites(const std::array<SettingWrite, SaveWriteCount>& writes,
                          const SettingWriter& write);
