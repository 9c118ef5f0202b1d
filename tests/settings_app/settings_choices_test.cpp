#include "settings_choices.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsChoices, ListsInTheirOrder) {
    EXPECT_EQ(FontSizeChoices, (std::array<std::int32_t, 7>{14, 16, 18, 20, 22, 24, 28}));
    EXPECT_EQ(FontSizeLabel(14), L"14 px");
    EXPECT_EQ(FontSizeLabel(28), L"28 px");
    EXPECT_STREQ(ThemePresetNames[0], L"星際深藍（預設）");
    EXPECT_STREQ(ThemePresetNames[9], L"極致對比");
    EXPECT_STREQ(ThemePresetNames[CustomThemeIndex], L"自訂配色");
    EXPECT_EQ(CustomThemeIndex, 10u);
    EXPECT_STREQ(ThemeSlotLabels[0], L"背景");
    EXPECT_STREQ(ThemeSlotLabels[2], L"輔助文字");
    EXPECT_STREQ(ThemeSlotLabels[5], L"邊框");
    EXPECT_STREQ(FollowModeItems[1], L"輸入點變化時跟");
}

TEST(FontSizeSelection, ListedSizesSelectThemselvesOthersSixteen) {
    for (std::size_t i = 0; i < FontSizeChoices.size(); ++i) {
        EXPECT_EQ(FontSizeSelection(FontSizeChoices[i]), static_cast<int>(i));
    }
    for (std::int32_t unlisted : {12, 13, 15, 17, 19, 21, 23, 25, 26, 27}) {
        EXPECT_EQ(FontSizeSelection(unlisted), 1) << unlisted;
    }
}

TEST(FontSizeForSelection, OnlyTheSevenIndexes) {
    EXPECT_EQ(FontSizeForSelection(0), 14);
    EXPECT_EQ(FontSizeForSelection(6), 28);
    EXPECT_EQ(FontSizeForSelection(-1), std::nullopt);  // no selection
    EXPECT_EQ(FontSizeForSelection(7), std::nullopt);
}

TEST(ThemeSelection, LastEqualPresetElseCustom) {
    for (std::size_t i = 0; i < ThemePresets.size(); ++i) {
        EXPECT_EQ(ThemeSelection(ThemePresets[i]), static_cast<int>(i));
    }
    ThemeColors almost = ThemePresets[9];
    almost.border = 0xFFFFFE;  // one slot off
    EXPECT_EQ(ThemeSelection(almost), 10);
}

TEST(PresetForSelection, PresetsCopyTheCustomEntryAndNoSelectionDoNot) {
    EXPECT_EQ(PresetForSelection(9)->background, 0x000000u);
    EXPECT_EQ(PresetForSelection(9)->selection, 0x00DDFFu);
    EXPECT_EQ(PresetForSelection(0)->background, ThemePresets[0].background);
    EXPECT_FALSE(PresetForSelection(10).has_value());
    EXPECT_FALSE(PresetForSelection(-1).has_value());
}

TEST(FollowModeToSave, OutOfRangeSelectionStoresOne) {
    EXPECT_EQ(FollowModeToSave(0), 0u);
    EXPECT_EQ(FollowModeToSave(1), 1u);
    EXPECT_EQ(FollowModeToSave(2), 2u);
    EXPECT_EQ(FollowModeToSave(3), 1u);
    EXPECT_EQ(FollowModeToSave(-1), 1u);
}

}  // namespace
