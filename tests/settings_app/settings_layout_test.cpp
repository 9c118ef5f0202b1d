#include "settings_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SettingsPaintSteps, TheClientWidthReachesOnlyTheFullWidthFills) {
    const auto steps = SettingsPaintSteps(694, 681);
    EXPECT_EQ(steps[0].rect, (PixelRect{0, 0, 694, 681}));
    EXPECT_EQ(steps[1].rect, (PixelRect{0, 0, 694, 91}));
    EXPECT_EQ(steps[2].rect, (PixelRect{0, 87, 694, 91}));
    for (std::size_t i = 3; i < steps.size(); ++i) EXPECT_LT(steps[i].rect.right, 694) << i;
}

TEST(SettingsPaintSteps, ThePreviewTakesTheEditedColoursAndEverythingElseItsOwn) {
    ThemeColors theme = ThemePresets[9];
    theme.text = 0x123456;
    const auto steps = SettingsPaintSteps(694, 681);
    const struct {
        std::size_t step;  // 1-based, drawing order
        PaintKind kind;
        PixelRect rect;
        ColorRef color;
        PaintFont font;
        const wchar_t* text;
    } cases[] = {
        {1, PaintKind::Fill, {0, 0, 694, 681}, 0xFAF7F2, PaintFont::None, nullptr},
        {6,
         PaintKind::Text,
         {25, 12, 600, 53},
         0xFFFBF3,
         PaintFont::Title,
         L"悠然輸入法  /  啟明星"},
        {7,
         PaintKind::Text,
         {27, 51, 600, 80},
         0xCDBD97,
         PaintFont::Body,
         L"Mo_Input_Ka     個人化輸入體驗"},
        {12, PaintKind::Fill, {42, 388, 314, 389}, 0xEDE8DD, PaintFont::None, nullptr},
        {18, PaintKind::Fill, {363, 194, 660, 319}, 0x000000, PaintFont::None, nullptr},
        {19, PaintKind::Frame, {363, 194, 660, 319}, 0xFFFFFF, PaintFont::None, nullptr},
        {20,
         PaintKind::Text,
         {378, 198, 645, 229},
         0xDCDCDC,
         PaintFont::Body,
         L"悠然輸入法   1 / 2"},
        {21, PaintKind::Fill, {364, 230, 659, 231}, 0xFFFFFF, PaintFont::None, nullptr},
        {22, PaintKind::Fill, {369, 237, 654, 271}, 0x00DDFF, PaintFont::None, nullptr},
        {23,
         PaintKind::Text,
         {380, 237, 644, 271},
         0x000000,
         PaintFont::Preview,
         L"1.  悠然輸入法"},
        {24,
         PaintKind::Text,
         {380, 275, 644, 309},
         0x123456,
         PaintFont::Preview,
         L"2.  啟明星候選詞"},
        {25,
         PaintKind::Text,
         {27, 587, 505, 628},
         0x7D725B,
         PaintFont::Body,
         L"更改設定後，重新選用輸入法即可套用。"},
        {26, PaintKind::Fill, {27, 638, 662, 639}, 0xE8E1D3, PaintFont::None, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        const PaintStep& s = steps[c.step - 1];
        EXPECT_EQ(s.kind, c.kind);
        EXPECT_EQ(s.rect, c.rect);
        EXPECT_EQ(s.ColorIn(theme), c.color);
        EXPECT_EQ(s.font, c.font);
        if (c.text) {
            EXPECT_EQ(std::wstring(s.text), c.text);
        }
    }
}

TEST(SettingsPaintSteps, OnlyTheCandidateRowsUseThePreviewFont) {
    int previewTexts = 0;
    for (const PaintStep& s : SettingsPaintSteps(694, 681)) {
        if (s.font == PaintFont::Preview) ++previewTexts;
        if (s.kind == PaintKind::Text) {
            EXPECT_NE(s.font, PaintFont::None);
        }
    }
    EXPECT_EQ(previewTexts, 2);
}

TEST(ColorButtons, TwoColumnsThreeRowsWithSwatchAndLabel) {
    EXPECT_EQ(ColorButtonRect(0), (PixelRect{363, 405, 506, 439}));
    EXPECT_EQ(ColorButtonRect(1), (PixelRect{517, 405, 660, 439}));
    EXPECT_EQ(ColorButtonRect(4), (PixelRect{363, 499, 506, 533}));
    EXPECT_EQ(ColorButtonRect(5), (PixelRect{517, 499, 660, 533}));
    const PixelRect item{0, 0, 143, 34};
    EXPECT_EQ(ColorSwatchRect(item), (PixelRect{6, 5, 31, 29}));
    EXPECT_EQ(ColorButtonLabelRect(item), (PixelRect{39, 0, 140, 34}));
}

}  // namespace
