// Labels of the on-screen keyboard fitted to their bands: the rule, then the real labels
// measured in the real font at the smallest and the default window size.

#include "windows/keyboard_label_fit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keyboard_window_fixture.h"

namespace {

TEST(FittingCharacterHeight, TakesTheLargestFittingHeightNeverMoreThanTheFontsOwn) {
    struct Case {
        const char* name;
        int largestThatFits;
        int expected;
    };
    const Case cases[] = {
        {"fits at the font's own", 22, 22},
        {"would fit larger: never made larger", 40, 22},
        {"fits only smaller", 13, 13},
        {"fits at no height", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> asked;
        const int height = FittingCharacterHeight(22, [&](int h) {
            asked.push_back(h);
            return h <= c.largestThatFits;
        });
        EXPECT_EQ(height, c.expected);
        for (int h : asked) EXPECT_LE(h, 22);
    }
}

using keyboard_test::KeyboardWindowTest;

struct Label {
    std::wstring text;
    RECT band;
    int height;
};

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// The real font: Wine maps the face to an installed CJK font, as the screenshots show.
SIZE Extent(HDC dc, const std::wstring& text, int height) {
    HFONT font = MakeKeyboardCapsFont(height);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, previous);
    DeleteObject(font);
    return extent;
}

std::vector<Label> LabelsOf(const KeyboardLayout& layout, const KeyboardLabelHeights& heights) {
    std::vector<Label> labels;
    const RECT capBand = KeyboardCapBand(KeyboardKeyRect(layout, 0, 0));
    for (const std::string_view keys : KeyboardRows) {
        for (const char key : keys) {
            labels.push_back({std::wstring(1, KeyboardCapOf(key)), capBand, heights.caps});
        }
    }
    labels.push_back(
        {KeyboardSpaceLabel, KeyboardBarBand(KeyboardSpaceBar(layout)), heights.space});
    labels.push_back(
        {KeyboardBackspaceLabel, KeyboardBarBand(KeyboardBackspaceBar(layout)), heights.backspace});
    return labels;
}

TEST_F(KeyboardWindowTest, LabelsFitTheirBandsAtTheSmallestAndTheDefaultSize) {
    HWND keyboard = Open();
    ASSERT_NE(keyboard, nullptr);
    HDC dc = GetDC(keyboard);
    ASSERT_NE(dc, nullptr);

    struct Size {
        const char* name;
        int width, height;
    };
    // Client areas of the 420 x 240 and 722 x 324 windows.
    const RECT client = ClientRect(keyboard);
    const RECT outer = keyboard_test::WindowRect(keyboard);
    const int frameX = Width(outer) - Width(client);
    const int frameY = Height(outer) - Height(client);
    for (const Size size : {Size{"smallest", 420, 240}, Size{"default", 722, 324}}) {
        SCOPED_TRACE(size.name);
        const KeyboardLayout layout = KeyboardLayoutFor(size.width - frameX, size.height - frameY);
        const KeyboardLabelHeights heights = FitKeyboardLabels(dc, layout);
        for (const Label& label : LabelsOf(layout, heights)) {
            SCOPED_TRACE(::testing::Message()
                         << "label " << std::string(label.text.begin(), label.text.end()));
            EXPECT_LE(label.height, KeyboardCapsHeight);
            EXPECT_LE(Extent(dc, label.text, label.height).cx, Width(label.band));
            EXPECT_TRUE(LabelFitsBand(dc, label.text, label.band, label.height));
        }
        if (std::string(size.name) == "smallest") {
            // The caps font's own size was cut off there: Q's tail and the lower half of
            // ';' below the caps' band, the Backspace label wider than its bar.
            const RECT capBand = KeyboardCapBand(KeyboardKeyRect(layout, 0, 0));
            EXPECT_FALSE(LabelFitsBand(dc, L"Q", capBand, KeyboardCapsHeight));
            EXPECT_FALSE(LabelFitsBand(dc, L";", capBand, KeyboardCapsHeight));
            EXPECT_GT(Extent(dc, KeyboardBackspaceLabel, KeyboardCapsHeight).cx,
                      Width(KeyboardBarBand(KeyboardBackspaceBar(layout))));
            EXPECT_LT(heights.caps, KeyboardCapsHeight);
            EXPECT_LT(heights.backspace, KeyboardCapsHeight);
        } else {
            // The caps and the Space bar keep the caps font's own size.
            EXPECT_EQ(heights.caps, KeyboardCapsHeight);
            EXPECT_EQ(heights.space, KeyboardCapsHeight);
        }
    }
    ReleaseDC(keyboard, dc);
}

}  // namespace
