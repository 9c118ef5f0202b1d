#pragma once
// Candidate-window colour schemes, shared by the text service and the settings program.

#include <array>
#include <cstdint>

using ColorRef = std::uint32_t;  // 0x00BBGGRR, as the platform's COLORREF

struct ThemeColors {
    ColorRef background;
    ColorRef text;
    ColorRef muted;
    ColorRef selection;
    ColorRef selectedText;
    ColorRef border;
};

inline constexpr std::size_t ThemeSlotCount = 6;
inline constexpr std::size_t ThemePresetCount = 10;

// Entry 0 is the default scheme.
extern const std::array<ThemeColors, ThemePresetCount> ThemePresets;

// Registry value names of the six slots, in slot order.
extern const std::array<const wchar_t*, ThemeSlotCount> ThemeValueNames;

// Slot access in slot order (background, text, muted, selection, selectedText, border).
ColorRef& ThemeSlot(ThemeColors& colors, std::size_t slot);
ColorRef ThemeSlot(const ThemeColors& colors, std::size_t slot);
