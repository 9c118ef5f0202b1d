// The on-screen keyboard's geometry as plain functions of the client size.

#include "windows/keyboard_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Rectangles compared as text, so a failure shows both.
std::string Text(const RECT& r) {
    return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + "}";
}

// 714 x 316 is the client area of the default 722 x 324 window with a 4-px frame.
const KeyboardLayout Default = KeyboardLayoutFor(714, 316);

TEST(KeyboardLayoutTest, KeyWidthAndRowHeightFollowTheClientSizeWithTheirFloors) {
    struct Case {
        int width, height;
        int keyWidth, rowHeight, barTop;
    };
    const Case cases[] = {
        {714, 316, 53, 61, 268},  // (714 - 16) / 13, (268 - 22) / 4
        {400, 240, 29, 42, 192},  //
        {380, 300, 28, 57, 252},  // 364 / 13 = 28 exactly
        {379, 150, 28, 38, 102},  // both floors
        {0, 0, 28, 38, -48},      // negative quotients truncate toward zero, floors hold
        {1392, 892, 105, 205, 844},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height);
        const KeyboardLayout layout = KeyboardLayoutFor(c.width, c.height);
        EXPECT_EQ(layout.keyWidth, c.keyWidth);
        EXPECT_EQ(layout.rowHeight, c.rowHeight);
        EXPECT_EQ(layout.barTop, c.barTop);
    }
}

TEST(KeyboardLayoutTest, RowsHoldTheUsMainBlockAndShortRowsAreCentred) {
    EXPECT_EQ(KeyboardRows[0], "`1234567890-=");
    EXPECT_EQ(KeyboardRows[1], "qwertyuiop[]\\");
    EXPECT_EQ(KeyboardRows[2], "asdfghjkl;'");
    EXPECT_EQ(KeyboardRows[3], "zxcvbnm,./");
    const int starts53[] = {8, 8, 61, 87};  // (2 * 53) / 2 + 8, (3 * 53) / 2 + 8
    const int starts29[] = {8, 8, 37, 51};  // (3 * 29) / 2 truncates
    const KeyboardLayout narrow = KeyboardLayoutFor(400, 240);
    for (int row = 0; row < KeyboardRowCount; ++row) {
        EXPECT_EQ(KeyboardRowStart(Default, row), starts53[row]) << row;
        EXPECT_EQ(KeyboardRowStart(narrow, row), starts29[row]) << row;
    }
}

TEST(KeyboardLayoutTest, PartsLieWhereTheyShould) {
    struct Case {
        const char* name;
        RECT actual, expected;
    };
    const Case cases[] = {
        {"first key", KeyboardKeyRect(Default, 0, 0), {8, 18, 57, 75}},
        {"row 1 column 2", KeyboardKeyRect(Default, 1, 2), {114, 79, 163, 136}},
        {"last key of row 0", KeyboardKeyRect(Default, 0, 12), {644, 18, 693, 75}},
        {"first key of row 2", KeyboardKeyRect(Default, 2, 0), {61, 140, 110, 197}},
        {"last key", KeyboardKeyRect(Default, 3, 9), {564, 201, 613, 258}},
        {"title strip", KeyboardTitleStrip(Default), {0, 0, 714, 18}},
        {"close box", KeyboardCloseBox(Default), {682, 0, 710, 18}},
        {"grip", KeyboardGrip(Default), {333, 7, 381, 10}},
        {"space bar", KeyboardSpaceBar(Default), {8, 268, 531, 312}},
        {"backspace bar", KeyboardBackspaceBar(Default), {535, 268, 710, 312}},
        {"grip, odd width", KeyboardGrip(KeyboardLayoutFor(421, 240)), {186, 7, 234, 10}},
        {"space bar, odd width", KeyboardSpaceBar(KeyboardLayoutFor(421, 240)), {8, 192, 311, 236}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Text(c.actual), Text(c.expected));
    }
}

TEST(KeyboardLayoutTest, StripAndGapsMoveTheWindowKeysBarsAndCloseBoxTakeClicks) {
    using enum KeyboardArea;
    struct Case {
        int x, y;
        KeyboardArea area;
    };
    const Case cases[] = {
        {10, 5, Caption},    {681, 5, Caption},   // title strip left of the close box
        {682, 0, Client},    {713, 17, Client},   // close box, up to the right edge
        {8, 18, Client},     {56, 74, Client},    // first key's corners
        {57, 40, Caption},   {60, 40, Caption},   // the gap right of it
        {10, 75, Caption},   {10, 78, Caption},   // the gap below it
        {61, 40, Client},                         // the next key
        {5, 40, Caption},    {711, 40, Caption},  // side margins
        {60, 150, Caption},  {61, 150, Client},   // row 2 is centred
        {8, 268, Client},    {530, 311, Client},  // space bar
        {531, 290, Caption}, {535, 268, Client},  // the gap, then the backspace bar
        {709, 311, Client},  {710, 300, Caption},
        {300, 312, Caption}, {300, 263, Caption},  // between the last row and the bars
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyboardHitTest(Default, c.x, c.y), c.area) << c.x << ", " << c.y;
    }
}

TEST(KeyboardLayoutTest, ReleasesTypeTheKeyOfTheirCellOrTheBarOrClose) {
    using Kind = KeyboardClick::Kind;
    struct Case {
        int x, y;
        Kind kind;
        WPARAM vk;
        char ch;
    };
    const Case cases[] = {
        {700, 5, Kind::Close, 0, 0},       {682, 0, Kind::Close, 0, 0},
        {681, 5, Kind::Nothing, 0, 0},     {100, 5, Kind::Nothing, 0, 0},
        {8, 18, Kind::Key, 0, '`'},        {60, 18, Kind::Key, 0, '`'},  // whole cells
        {61, 18, Kind::Key, 0, '1'},       {644, 30, Kind::Key, 0, '='},
        {697, 30, Kind::Nothing, 0, 0},  // past the thirteenth cell
        {7, 30, Kind::Nothing, 0, 0},    // left of the row
        {20, 80, Kind::Key, 0, 'q'},     // letters type lower case
        {644, 80, Kind::Key, 0, '\\'},     {60, 150, Kind::Nothing, 0, 0},
        {61, 150, Kind::Key, 0, 'a'},      {591, 150, Kind::Key, 0, '\''},
        {644, 150, Kind::Nothing, 0, 0},  // row 2 has eleven keys
        {86, 210, Kind::Nothing, 0, 0},    {87, 210, Kind::Key, 0, 'z'},
        {564, 261, Kind::Key, 0, '/'},     {100, 265, Kind::Nothing, 0, 0},  // row 4 is no row
        {8, 268, Kind::Key, VK_SPACE, 0},  {530, 311, Kind::Key, VK_SPACE, 0},
        {531, 290, Kind::Nothing, 0, 0},   {535, 268, Kind::Key, VK_BACK, 0},
        {709, 311, Kind::Key, VK_BACK, 0}, {710, 300, Kind::Nothing, 0, 0},
        {300, 312, Kind::Nothing, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x << ", " << c.y);
        const KeyboardClick click = KeyboardClickAt(Default, c.x, c.y);
        EXPECT_EQ(click.kind, c.kind);
        EXPECT_EQ(click.vk, c.vk);
        EXPECT_EQ(click.ch, c.ch);
    }
}

TEST(KeyboardLayoutTest, RowsAtTheirFloorHeightCanReachPastTheBarTop) {
    // 38-px rows in a 150-px client: rows 0 and 1 fit above the bars at 102, the rest is
    // bar area, where only the bars count.
    const KeyboardLayout low = KeyboardLayoutFor(420, 150);
    EXPECT_EQ(KeyboardClickAt(low, 20, 60).ch, 'q');
    EXPECT_EQ(KeyboardClickAt(low, 100, 110).vk, static_cast<WPARAM>(VK_SPACE));
    EXPECT_EQ(KeyboardClickAt(low, 100, 147).kind, KeyboardClick::Kind::Nothing);
}

TEST(KeyboardLayoutTest, StoredSizesAreClampedAndPositionsKeptInTheWorkArea) {
    struct SizeCase {
        std::int32_t stored;
        int width, height;
    };
    const SizeCase sizes[] = {
        {722, 722, 722},       {2000, 1400, 900},      {100, 420, 240}, {-5, 420, 240},
        {INT32_MIN, 420, 240}, {INT32_MAX, 1400, 900}, {420, 420, 420}, {1400, 1400, 900},
    };
    for (const SizeCase& c : sizes) {
        EXPECT_EQ(ClampKeyboardWidth(c.stored), c.width) << c.stored;
        EXPECT_EQ(ClampKeyboardHeight(c.stored), c.height) << c.stored;
    }

    struct PlaceCase {
        const char* name;
        std::int32_t x, y;
        int width, height;
        RECT work;
        LONG expectedX, expectedY;
    };
    const RECT screen{0, 0, 1280, 984};
    const PlaceCase places[] = {
        {"inside", 100, 100, 722, 324, screen, 100, 100},
        {"left and above", -50, -7, 722, 324, screen, 0, 0},
        {"right and below", 1000, 900, 722, 324, screen, 558, 660},
        {"wider and taller than the area", 300, 300, 1400, 1100, screen, 0, 0},
        {"second monitor", 0, 0, 722, 324, {1280, 24, 2560, 1024}, 1280, 24},
        {"no work area", 500, 500, 722, 324, {0, 0, 0, 0}, 0, 0},
        {"extreme values", INT32_MIN, INT32_MAX, 722, 324, screen, 0, 660},
    };
    for (const PlaceCase& c : places) {
        SCOPED_TRACE(c.name);
        const POINT p = ClampKeyboardPosition(c.x, c.y, c.width, c.height, c.work);
        EXPECT_EQ(p.x, c.expectedX);
        EXPECT_EQ(p.y, c.expectedY);
    }
    EXPECT_EQ(DefaultKeyboardY(screen, 324), 652);
    EXPECT_EQ(DefaultKeyboardY(RECT{0, 0, 0, 0}, 324), -332);
}

}  // namespace
