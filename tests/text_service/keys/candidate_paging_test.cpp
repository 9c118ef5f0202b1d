// Paging and highlighting on lists of ten rows a page.

#include "keys/candidate_paging.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <limits>

namespace {

TEST(CandidatePaging, RowsPerPage) {
    struct Case {
        std::size_t count, page, rows;
    };
    const Case cases[] = {{2, 0, 2},  {10, 0, 10}, {11, 0, 10}, {11, 1, 1},
                          {25, 2, 5}, {25, 3, 0},  {20, 2, 0},  {0, 0, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(RowsOnPage(c.count, c.page), c.rows) << c.count << " on page " << c.page;
    }
    EXPECT_EQ(CandidatePageCount(25), 3u);
    EXPECT_EQ(CandidatePageCount(10), 1u);
    constexpr std::size_t Most = std::numeric_limits<std::size_t>::max();
    EXPECT_EQ(CandidatePageCount(Most), Most / 10 + 1);  // no wrap in the sum
}

TEST(CandidatePaging, HighlightWrapsOnTheCurrentPage) {
    struct Case {
        std::size_t count;
        CandidateCursor from;
        bool up;
        CandidateCursor to;
    };
    const Case cases[] = {
        {25, {0, 0}, true, {0, 9}},
        {25, {0, 9}, false, {0, 0}},
        {25, {2, 0}, true, {2, 4}},
        {25, {2, 4}, false, {2, 0}},
        {3, {0, 1}, false, {0, 2}},
        {2, {0, 0}, true, {0, 1}},
        // A page past the list: back to the start, never a division by zero.
        {25, {3, 2}, true, {0, 0}},
        {12, {7, 5}, false, {0, 0}},
    };
    for (const Case& c : cases) {
        const CandidateCursor moved = MoveHighlight(c.from, c.count, c.up);
        EXPECT_EQ(moved.page, c.to.page) << c.count << " from " << c.from.page << "," << c.from.row;
        EXPECT_EQ(moved.row, c.to.row) << c.count << " from " << c.from.page << "," << c.from.row;
    }
}

TEST(CandidatePaging, PagesTurnAndWrap) {
    EXPECT_EQ(TurnPage({0, 4}, 25, false).page, 1u);
    EXPECT_EQ(TurnPage({0, 4}, 25, false).row, 0u);
    EXPECT_EQ(TurnPage({2, 0}, 25, false).page, 0u);
    EXPECT_EQ(TurnPage({0, 0}, 25, true).page, 2u);
    EXPECT_EQ(TurnPage({0, 3}, 5, true).page, 0u);  // a single page stays
    EXPECT_EQ(TurnPage({0, 3}, 5, true).row, 0u);
}

TEST(CandidatePaging, TheChosenIndexCountsFromThePage) {
    EXPECT_EQ(ChosenIndex({0, 0}, "1234567890", '3'), 2u);
    EXPECT_EQ(ChosenIndex({1, 4}, "1234567890", '1'), 10u);
    EXPECT_EQ(ChosenIndex({1, 4}, "1234567890", 'q'), 14u);  // not a selection key: the row
    EXPECT_EQ(ChosenIndex({1, 4}, "1234567890", 0), 14u);
    EXPECT_EQ(ChosenIndex({0, 0}, "1234567890ab", 'b'), 11u);  // past the page
    EXPECT_EQ(ChosenIndex({0, 2}, "", '1'), 2u);
    EXPECT_EQ(ChosenIndex({std::numeric_limits<std::size_t>::max(), 0}, "1", '1'),
              std::numeric_limits<std::size_t>::max());
}

}  // namespace
