#include "theme_colors.h"

#include <gtest/gtest.h>

#include <string>

// The settings program and the readers walk slots by number: slot order must match the
// member order and the registry names.
TEST(ThemeColors, SlotsFollowMemberAndValueNameOrder) {
    ThemeColors colors = ThemePresets[0];
    const ColorRef expected[] = {colors.background, colors.text,         colors.muted,
                                 colors.selection,  colors.selectedText, colors.border};
    const wchar_t* names[] = {L"ThemeBackground", L"ThemeText",         L"ThemeMuted",
                              L"ThemeSelection",  L"ThemeSelectedText", L"ThemeBorder"};
    for (std::size_t slot = 0; slot < ThemeSlotCount; ++slot) {
        EXPECT_EQ(ThemeSlot(colors, slot), expected[slot]) << slot;
        EXPECT_EQ(std::wstring(ThemeValueNames[slot]), names[slot]) << slot;
    }
    ThemeSlot(colors, 3) = 0x123456;
    EXPECT_EQ(colors.selection, 0x123456u);
    EXPECT_EQ(ThemePresets[9].selection, 0x00DDFFu);  // yellow: red FF, green DD
}
