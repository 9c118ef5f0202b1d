// What the on-screen keyboard paints, probed on the screen under Xvfb: the frame parts in
// the theme's colours, keys and bars in their fixed colours, roots only where the table
// names one.

#include <string>

#include "keyboard_window_fixture.h"
#include "theme_colors.h"
#include "windows/keyboard_layout.h"

namespace {

using namespace keyboard_test;

// COLORREF (0x00BBGGRR) as the capture holds it (0x00RRGGBB).
DWORD Screen(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

constexpr COLORREF Face = 0xFFF6F6;
constexpr COLORREF Shadow = 0xCDB1AD;
constexpr COLORREF FrameColour = 0x36231F;
constexpr COLORREF Bevel = 0xFFFFFF;

class KeyboardPaintTest : public KeyboardWindowTest {
  protected:
    // Opens the keyboard in `colours`, lets it paint and captures it.
    void OpenAndCapture(const ThemeColors& colours) {
        service->theme = colours;
        keyboard = Open();
        test_support::PumpMessages(300);
        ASSERT_TRUE(IsWindowVisible(keyboard));
        ASSERT_TRUE(test_support::CaptureWindow(keyboard, capture));
        POINT origin{0, 0};
        ClientToScreen(keyboard, &origin);
        const RECT outer = WindowRect(keyboard);
        offset = POINT{origin.x - outer.left, origin.y - outer.top};
        const RECT client = ClientRect(keyboard);
        layout = KeyboardLayoutFor(client.right, client.bottom);
    }

    // The colour at a client point.
    DWORD At(int x, int y) const { return capture.At(x + offset.x, y + offset.y); }

    // Whether anything but `colour` was painted inside the client rectangle.
    bool HasInk(const RECT& r, COLORREF colour) const {
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                if (At(x, y) != Screen(colour)) return true;
            }
        }
        return false;
    }

    RECT Key(char key) const {
        for (int row = 0; row < KeyboardRowCount; ++row) {
            const auto column = KeyboardRows[row].find(key);
            if (column != std::string_view::npos) {
                return KeyboardKeyRect(layout, row, static_cast<int>(column));
            }
        }
        return RECT{};
    }

    // The root's rectangle inside the frame, right of the bevel.
    static RECT RootArea(const RECT& k) {
        return RECT{k.left + 3, k.top + ((k.bottom - k.top) * 45) / 100, k.right - 1, k.bottom - 2};
    }

    HWND keyboard = nullptr;
    test_support::Capture capture;
    POINT offset{0, 0};
    KeyboardLayout layout;
};

TEST_F(KeyboardPaintTest, FramePartsTakeTheThemeAndKeysTheirFixedColours) {
    for (int preset : {0, 9}) {
        SCOPED_TRACE(::testing::Message() << "preset " << preset);
        const ThemeColors& colours = ThemePresets[preset];
        OpenAndCapture(colours);
        const RECT k = Key('5');
        const RECT space = KeyboardSpaceBar(layout);
        const RECT grip = KeyboardGrip(layout);
        struct Probe {
            const char* name;
            int x, y;
            COLORREF colour;
        };
        const Probe probes[] = {
            {"client background", 3, 40, colours.background},
            {"title strip", 10, 4, colours.border},
            {"grip", (grip.left + grip.right) / 2, grip.top + 1, colours.muted},
            {"key face", k.right - 4, k.bottom - 5, Face},
            {"key frame", k.left, k.top + 10, FrameColour},
            {"key bevel", k.left + 2, k.top + 10, Bevel},
            {"key bevel, top", k.right - 5, k.top + 2, Bevel},
            {"key shadow, right", k.right + 1, k.top + 5, Shadow},
            {"key shadow, below", k.left + 5, k.bottom + 1, Shadow},
            {"gap beside the shadow", k.right + 3, k.top + 1, colours.background},
            {"space bar face", space.left + 5, space.top + 5, Face},
            {"space bar frame", space.left, space.top + 5, FrameColour},
            {"space bar, no bevel", space.left + 2, space.top + 10, Face},
            {"space bar shadow", space.right + 1, space.bottom + 1, Shadow},
        };
        for (const Probe& p : probes) {
            EXPECT_EQ(At(p.x, p.y), Screen(p.colour)) << p.name;
        }
        service->ToggleKeyboard();
    }
}

TEST_F(KeyboardPaintTest, KeysShowTheirCapAndTheTablesRootWhereThereIsOne) {
    OpenAndCapture(ThemePresets[0]);
    for (char key : std::string("aqz;")) {  // roots in the sample table
        SCOPED_TRACE(std::string(1, key));
        EXPECT_TRUE(HasInk(RootArea(Key(key)), Face));
    }
    for (char key : std::string("15[/")) {  // no %keyname entry: the cap alone
        SCOPED_TRACE(std::string(1, key));
        const RECT k = Key(key);
        EXPECT_TRUE(HasInk(RECT{k.left + 5, k.top + 3, k.right - 2, RootArea(k).top}, Face));
        EXPECT_FALSE(HasInk(RootArea(k), Face));
    }
    // The close mark and both bar labels are drawn.
    EXPECT_TRUE(HasInk(KeyboardCloseBox(layout), ThemePresets[0].border));
    for (RECT bar : {KeyboardSpaceBar(layout), KeyboardBackspaceBar(layout)}) {
        EXPECT_TRUE(HasInk(RECT{bar.left + 2, bar.top + 2, bar.right - 2, bar.bottom - 2}, Face));
    }
}

// "極致對比" gives text and border the same white: the close mark takes the background's
// black there, or it could not be seen on the title strip.
TEST_F(KeyboardPaintTest, TheCloseMarkStandsOutWhereTheTextColourIsTheBorderColour) {
    const ThemeColors& contrast = ThemePresets[9];
    ASSERT_EQ(contrast.text, contrast.border);
    OpenAndCapture(contrast);
    const RECT close = KeyboardCloseBox(layout);
    int markPixels = 0;
    for (int y = close.top; y < close.bottom; ++y) {
        for (int x = close.left; x < close.right; ++x) {
            if (At(x, y) == Screen(contrast.background)) ++markPixels;
        }
    }
    EXPECT_GT(markPixels, 10) << "no close mark on the title strip";
}

}  // namespace
