// The candidate window's arithmetic: sizes at a dpi, placement in a work area, hit tests,
// the follow-mode decisions and the texts it shows.

#include "windows/candidate_geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "windows/candidate_buttons.h"
#include "windows/candidate_follow.h"
#include "windows/candidate_text.h"

namespace {

TEST(CandidateGeometry, MulDivRoundsHalvesAwayFromZeroAndRefusesAZeroDivisor) {
    struct Case {
        int a, b, c, expected;
    };
    const Case cases[] = {
        {30, 144, 96, 45},   {28, 144, 96, 42},   {33, 144, 96, 50},  // 49.5 rounds up
        {-33, 144, 96, -50}, {3, 120, 96, 4},     {2, 120, 96, 3},    // 3.75, 2.5
        {1, 1, 0, -1},       {INT_MAX, 2, 1, -1}, {INT_MAX, 96, 96, INT_MAX},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MulDivRounded(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
    }
    EXPECT_EQ(ScaleForDpi(280, 0), 280);  // no dpi counts as 96
    EXPECT_EQ(EffectiveDpi(0), 96);
    EXPECT_EQ(EffectiveDpi(144), 144);
}

TEST(CandidateGeometry, ToolbarSizeAtEachDpi) {
    EXPECT_EQ(ToolbarSize(96), (LayoutSize{280, 32}));
    EXPECT_EQ(ToolbarSize(144), (LayoutSize{420, 47}));
    EXPECT_EQ(ToolbarSize(120), (LayoutSize{350, 40}));  // s(30) = 37.5 -> 38
}

TEST(CandidateGeometry, RowHeightPagesAndListHeight) {
    EXPECT_EQ(RowHeightFor(16), 32);  // the minimum
    EXPECT_EQ(RowHeightFor(20), 32);
    EXPECT_EQ(RowHeightFor(21), 33);
    EXPECT_EQ(RowHeightFor(28), 40);
    EXPECT_EQ(RowHeightFor(-50), 32);

    struct Case {
        std::size_t count, page, rows, pages;
    };
    const Case cases[] = {
        {2, 0, 2, 1},   {10, 0, 10, 1}, {11, 1, 1, 2},
        {12, 0, 10, 2}, {25, 2, 5, 3},  // entries 20 to 24: five rows on page 3 of 3
        {25, 3, 0, 3},                  // past the last page
        {0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RowsOnPage(c.count, c.page), c.rows) << c.count << " page " << c.page;
        EXPECT_EQ(CandidatePageCount(c.count), c.pages) << c.count;
    }

    EXPECT_EQ(ListHeight(10, 16, 96), 352);  // 10 x 32 + 30 + 2
    EXPECT_EQ(ListHeight(5, 16, 96), 192);   // 25 candidates, page 3: 5 x 32 + 30 + 2
    EXPECT_EQ(ListHeight(5, 16, 144), 287);  // MulDiv(190, 144, 96) + 2
    EXPECT_EQ(ListHeight(1, 16, 96), 64);
    // The sum is scaled once: 10 x 33 + 30 = 360 -> 540, where row by row it would be
    // 10 x s(33) + s(30) = 545.
    EXPECT_EQ(ListHeight(10, 21, 144), 542);
    EXPECT_EQ(ListHeight(10, 28, 96), 432);  // R = 40
}

TEST(CandidateGeometry, ListWidthIsBoundedByTheLargestWidthAndTheWorkArea) {
    const LayoutRect wide{0, 0, 1920, 1040};
    EXPECT_EQ(BoundListWidth(300, 96, wide), 300);
    EXPECT_EQ(BoundListWidth(5000, 96, wide), 640);
    EXPECT_EQ(BoundListWidth(5000, 144, wide), 960);
    EXPECT_EQ(BoundListWidth(5000, 96, LayoutRect{0, 0, 300, 800}), 284);
    EXPECT_EQ(BoundListWidth(5000, 96, LayoutRect{100, 0, 400, 800}), 284);
    EXPECT_EQ(BoundListWidth(5000, 96, LayoutRect{0, 0, 17, 800}), 1);
    EXPECT_EQ(BoundListWidth(5000, 96, LayoutRect{0, 0, 5, 800}), 1);
}

TEST(CandidateGeometry, PlacementInTheWorkArea) {
    const LayoutRect work{0, 0, 1280, 1000};
    struct Case {
        const char* what;
        LayoutPoint anchor;
        LayoutSize size;
        LayoutRect area;
        int textTop;
        LayoutPoint expected;
    };
    const Case cases[] = {
        {"fits below", {100, 200}, {280, 32}, work, 180, {100, 200}},
        {"right edge", {1200, 200}, {280, 32}, work, 180, {1000, 200}},
        {"left of the area", {-50, 200}, {280, 32}, work, 180, {0, 200}},
        {"exactly fits at the bottom", {100, 968}, {280, 32}, work, 950, {100, 968}},
        {"goes above the text", {100, 980}, {280, 352}, work, 960, {100, 608}},
        {"taller than the room above", {100, 980}, {280, 352}, work, 200, {100, 0}},
        {"wider than the area", {500, 200}, {1400, 32}, work, 180, {0, 200}},
        {"second monitor left of the first",
         {-1500, 500},
         {280, 32},
         LayoutRect{-1920, 0, 0, 1040},
         480,
         {-1500, 500}},
        {"offset work area",
         {10, 1030},
         {280, 352},
         LayoutRect{100, 40, 1380, 1040},
         1010,
         {100, 658}},
        {"anchor at the largest int",
         {100, INT_MAX},
         {280, 32},
         work,
         INT_MAX,
         {100, INT_MAX - 32}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlaceInWorkArea(c.anchor, c.size, c.area, c.textTop), c.expected) << c.what;
    }
}

TEST(CandidateGeometry, ToolbarAt96DpiMatchesItsDrawing) {
    const CandidateLayout layout = CandidateLayout::For(LayoutRect{0, 0, 280, 32}, 96, 16);
    EXPECT_EQ(layout.buttonsLeft, 136);
    EXPECT_EQ(layout.HeaderTextRect(), (LayoutRect{12, 0, 133, 30}));
    const int lefts[] = {136, 164, 192, 220, 248};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(layout.ButtonCell(i), (LayoutRect{lefts[i], 3, lefts[i] + 26, 27})) << i;
    }
    EXPECT_EQ(layout.HeaderLineY(), 29);
}

TEST(CandidateGeometry, ToolbarAt144Dpi) {
    const CandidateLayout layout = CandidateLayout::For(LayoutRect{0, 0, 420, 47}, 144, 16);
    EXPECT_EQ(layout.header, 45);
    EXPECT_EQ(layout.buttonWidth, 42);
    EXPECT_EQ(layout.buttonsLeft, 204);                              // 420 - 6 - 5 x 42
    EXPECT_EQ(layout.ButtonCell(0), (LayoutRect{204, 5, 243, 40}));  // s(3) = 5 (4.5), s(2) = 3
    EXPECT_EQ(layout.ButtonCell(4), (LayoutRect{372, 5, 411, 40}));
    EXPECT_EQ(layout.HeaderTextRect(), (LayoutRect{18, 0, 199, 45}));
    EXPECT_EQ(layout.rowHeight, 48);
}

TEST(CandidateGeometry, HitTestingButtonsAndTheDragZone) {
    const CandidateLayout layout = CandidateLayout::For(LayoutRect{0, 0, 280, 32}, 96, 16);
    struct Case {
        int x, y;
        bool drag;
        std::optional<int> button;
    };
    const Case cases[] = {
        {0, 0, true, std::nullopt},
        {135, 29, true, std::nullopt},
        {135, 30, false, std::nullopt},
        {-1, 5, false, std::nullopt},
        {136, 10, false, 0},
        {162, 10, false, 0},  // the gap after a cell is its own
        {163, 10, false, 0},
        {164, 10, false, 1},
        {247, 0, false, 3},
        {248, 29, false, 4},
        {275, 15, false, 4},
        {276, 15, false, std::nullopt},
        {200, 30, false, std::nullopt},
        {200, -1, false, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(layout.InDragZone(c.x, c.y), c.drag) << c.x << "," << c.y;
        EXPECT_EQ(layout.ButtonAt(c.x, c.y), c.button) << c.x << "," << c.y;
    }
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(layout.ButtonAt(136 + 28 * k, 15), k);
        EXPECT_EQ(layout.ButtonAt(163 + 28 * k, 15), k);
    }
}

TEST(CandidateGeometry, RowHits) {
    const CandidateLayout layout = CandidateLayout::For(LayoutRect{0, 0, 400, 352}, 96, 16);
    struct Case {
        int y;
        std::size_t page, count;
        std::optional<std::size_t> row;
    };
    const Case cases[] = {
        {29, 0, 12, std::nullopt},  // the header
        {30, 0, 12, 0},
        {61, 0, 12, 0},
        {62, 0, 12, 1},
        {349, 0, 12, 9},
        {350, 0, 30, std::nullopt},  // an eleventh row is never a row
        {62, 1, 12, 1},
        {94, 1, 12, std::nullopt},  // below the last row of a short page
        {30, 2, 12, std::nullopt},  // a page past the candidates
        {189, 2, 25, 4},            // the fifth row of page 3 of 25
        {190, 2, 25, std::nullopt},
        {30, 0, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CandidateRowHit(layout, c.y, c.page, c.count), c.row)
            << c.y << " page " << c.page << " of " << c.count;
    }
    EXPECT_EQ(layout.RowRect(1), (LayoutRect{12, 62, 388, 94}));
    EXPECT_EQ(layout.HighlightRect(1), (LayoutRect{5, 63, 395, 93}));
}

TEST(CandidateFollow, DeadlineHoldsAcrossTheTickCountWrap) {
    struct Case {
        std::uint32_t until, now;
        bool passed;
    };
    const Case cases[] = {
        {1000, 999, false},         {1000, 1000, true},     {1000, 1001, true},
        {0x10, 0xFFFFFFF0u, false},  // set just before the wrap, deadline after it
        {0xFFFFFFF0u, 0x10, true},   // the deadline came before the wrap
        {0x7FFFFFFFu, 0, false},    {0x80000001u, 0, true},  // more than half away: past
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FollowDeadlinePassed(c.until, c.now), c.passed) << c.until << " at " << c.now;
    }
}

TEST(CandidateFollow, ToolbarAnchorByMode) {
    const LayoutPoint unset{INT32_MIN, INT32_MIN};
    const LayoutPoint stored{300, 400};
    const LayoutPoint caret{100, 200};
    const LayoutPoint offset{5, -7};
    struct Case {
        std::int32_t mode;
        bool fromKey;
        LayoutPoint position;
        LayoutPoint anchor;
        bool fixed;
    };
    const Case cases[] = {
        {0, false, stored, stored, true},
        {0, true, stored, stored, true},
        {0, true, unset, {105, 193}, true},
        {1, false, stored, {105, 193}, false},
        {1, true, unset, {105, 193}, false},
        {2, true, stored, {105, 193}, false},
        {2, false, stored, stored, true},
        {2, false, unset, {105, 193}, true},
        {0, false, {INT32_MIN, 5}, {105, 193}, true},  // one unset coordinate: unset
    };
    for (const Case& c : cases) {
        const ToolbarAnchor got = ChooseToolbarAnchor(c.mode, c.fromKey, c.position, caret, offset);
        EXPECT_EQ(got.anchor, c.anchor) << "mode " << c.mode << " key " << c.fromKey;
        EXPECT_EQ(got.fixed, c.fixed) << "mode " << c.mode << " key " << c.fromKey;
    }
    // A stored offset from the far end of the range wraps instead of overflowing.
    EXPECT_EQ(ChooseToolbarAnchor(1, true, unset, {10, 10}, {INT32_MAX, 0}).anchor.x,
              INT32_MIN + 9);
}

TEST(CandidateFollow, TimerStepForEachState) {
    TimerState base;
    base.ownerAlive = true;
    base.ownerInFront = true;
    base.now = 5000;
    struct Case {
        const char* what;
        TimerState state;
        TimerStep step;
    };
    auto with = [&](auto change) {
        TimerState s = base;
        change(s);
        return s;
    };
    const Case cases[] = {
        {"owner gone", with([](TimerState& s) { s.ownerAlive = false; }), TimerStep::Hide},
        {"owner behind", with([](TimerState& s) { s.ownerInFront = false; }), TimerStep::Hide},
        {"owner behind while dragging", with([](TimerState& s) {
             s.ownerInFront = false;
             s.dragging = true;
         }),
         TimerStep::Hide},
        {"dragging", with([](TimerState& s) { s.dragging = true; }), TimerStep::Nothing},
        {"fixed", with([](TimerState& s) { s.mode = 0; }), TimerStep::ShowInPlace},
        {"follow the caret", with([](TimerState& s) { s.mode = 1; }), TimerStep::FollowCaret},
        {"typing, inside the window", with([](TimerState& s) {
             s.mode = 2;
             s.followUntil = 5100;
         }),
         TimerStep::FollowCaret},
        {"typing, over, stored place", with([](TimerState& s) {
             s.mode = 2;
             s.followUntil = 5000;
             s.positionSet = true;
         }),
         TimerStep::MoveToPosition},
        {"typing, over, no stored place", with([](TimerState& s) {
             s.mode = 2;
             s.followUntil = 4000;
         }),
         TimerStep::ShowInPlace},
        {"candidates in fixed mode", with([](TimerState& s) {
             s.mode = 0;
             s.candidatesShown = true;
         }),
         TimerStep::FollowCaret},
        {"candidates after the typing window", with([](TimerState& s) {
             s.mode = 2;
             s.followUntil = 1;
             s.positionSet = true;
             s.candidatesShown = true;
         }),
         TimerStep::FollowCaret},
    };
    for (const Case& c : cases) EXPECT_EQ(DecideTimerStep(c.state), c.step) << c.what;

    EXPECT_EQ(FollowAnchor({100, 200}, {5, -7}, false), (LayoutPoint{105, 193}));
    EXPECT_EQ(FollowAnchor({100, 200}, {5, -7}, true), (LayoutPoint{100, 200}));
}

TEST(CandidateFollow, WhatADropStores) {
    const LayoutPoint window{400, 300};
    const LayoutPoint caret{100, 200};
    using Kind = DropStore::Kind;
    struct Case {
        std::int32_t mode;
        std::optional<LayoutPoint> window, caret;
        Kind kind;
        LayoutPoint value;
    };
    const Case cases[] = {
        {1, window, caret, Kind::Offset, {300, 100}},
        {1, window, std::nullopt, Kind::Nothing, {}},
        {0, window, caret, Kind::Position, window},
        {2, window, caret, Kind::Position, window},
        {0, window, std::nullopt, Kind::Position, window},  // a position needs no caret
        {2, window, std::nullopt, Kind::Position, window},
        {0, std::nullopt, caret, Kind::Nothing, {}},
        {1, std::nullopt, caret, Kind::Nothing, {}},
    };
    for (const Case& c : cases) {
        const DropStore got = DecideDrop(c.mode, c.window, c.caret);
        EXPECT_EQ(got.kind, c.kind) << "mode " << c.mode;
        if (c.kind != Kind::Nothing) {
            EXPECT_EQ(got.value, c.value) << "mode " << c.mode;
        }
    }
}

TEST(CandidateText, HeaderLabelsAndRows) {
    EXPECT_EQ(CandidateHeaderText(0, 0), L"\u3010\u60a0\u7136Ka\u3011");
    EXPECT_EQ(CandidateHeaderText(2, 0), L"\u3010\u60a0\u7136Ka\u3011 1/1");
    EXPECT_EQ(CandidateHeaderText(12, 1), L"\u3010\u60a0\u7136Ka\u3011 2/2");
    EXPECT_EQ(CandidateHeaderText(25, 2), L"\u3010\u60a0\u7136Ka\u3011 3/3");
    EXPECT_EQ(CandidateHeaderText(120, 11), L"\u3010\u60a0\u7136Ka\u3011 12/12");

    EXPECT_EQ(CandidateRowLabel("1234567890", 0), L'1');
    EXPECT_EQ(CandidateRowLabel("1234567890", 9), L'0');
    EXPECT_EQ(CandidateRowLabel("asdfghjkl:", 9), L':');
    EXPECT_EQ(CandidateRowLabel("123", 3), L'?');  // more rows than keys
    EXPECT_EQ(CandidateRowLabel("", 0), L'?');
    EXPECT_EQ(static_cast<unsigned>(CandidateRowLabel("\xE4", 0)), 0xFFE4u);  // sign-extended

    EXPECT_EQ(CandidateRowText("123", 1, L"\u5ca9"), L"2.  \u5ca9");
    EXPECT_EQ(CandidateRowText("1", 4, L"x"), L"?.  x");
}

TEST(CandidateText, ButtonLabels) {
    EXPECT_EQ(ToolbarButtonLabel(ToolbarButton::SimplifiedOutput, 1, false), L'\u7c21');
    EXPECT_EQ(ToolbarButtonLabel(ToolbarButton::SimplifiedOutput, 0, false), L'\u7e41');
    EXPECT_EQ(ToolbarButtonLabel(ToolbarButton::FullwidthOutput, 0, true), L'\u5168');
    EXPECT_EQ(ToolbarButtonLabel(ToolbarButton::FullwidthOutput, 0, false), L'\u534a');
    EXPECT_EQ(ToolbarButtonLabel(ToolbarButton::Settings, 0, false), L'\u2699');
    EXPECT_EQ(ToolbarButtonLabel(ToolbarButton::PhraseEditor, 0, false), L'\uff0b');
    EXPECT_EQ(ToolbarButtonLabel(ToolbarButton::Keyboard, 0, false), L'\u2328');
}

}  // namespace
