#include "theme_colors.h"

#include "settings_names.h"

const std::array<ThemeColors, ThemePresetCount> ThemePresets = {{
    {0x22140B, 0xFFF6EB, 0xBFAD91, 0x93700D, 0xFFFFFF, 0x5B472A},
    {0x33171D, 0xFFEFF6, 0xCA9DAD, 0xB14865, 0xFFFFFF, 0x693A4A},
    {0xFCFAF6, 0x413019, 0x86775F, 0xF7EBD1, 0x433115, 0xE1D3B7},
    {0xF0F9FF, 0x2A3441, 0x62758B, 0xB2D5F0, 0x1E2B3A, 0x9ABBD6},
    {0x2A2609, 0xFAFFE8, 0xBBC292, 0x6B7011, 0xFFFFFF, 0x5B5B2F},
    {0x27221E, 0xF0F8FA, 0xA9B0AF, 0x1B689B, 0xEAFBFF, 0x40484B},
    {0xEEF6EB, 0x2E421F, 0x698061, 0xC5E0BC, 0x2B4919, 0xB2CBA7},
    {0xF7F5FF, 0x3D2A4C, 0x7A658F, 0xDECCF6, 0x3B234B, 0xCAB8E0},
    {0xF4F9FB, 0x302D2A, 0x75746F, 0xE2E6E0, 0x363916, 0xD0D5CD},
    {0x000000, 0xFFFFFF, 0xDCDCDC, 0x00DDFF, 0x000000, 0xFFFFFF},
}};

const std::array<const wchar_t*, ThemeSlotCount> ThemeValueNames = {
    SettingNames::ThemeBackground, SettingNames::ThemeText,         SettingNames::ThemeMuted,
    SettingNames::ThemeSelection,  SettingNames::ThemeSelectedText, SettingNames::ThemeBorder,
};

namespace {
template <typename Colors>
auto& SlotOf(Colors& colors, std::size_t slot) {
    switch (slot) {
        case 0:
            return colors.background;
        case 1:
            return colors.text;
        case 2:
            return colors.muted;
        case 3:
            return colors.selection;
        case 4:
            return colors.selectedText;
        default:
            return colors.border;
    }
}
}  // namespace

ColorRef& ThemeSlot(ThemeColors& colors, std::size_t slot) { return SlotOf(colors, slot); }
ColorRef ThemeSlot(const ThemeColors& colors, std::size_t slot) { return SlotOf(colors, slot); }
