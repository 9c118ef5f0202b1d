#pragma once
// Paging and highlighting on a candidate list of ten rows a page. All arithmetic is
// unsigned; no move divides by a page without rows.

#include <cstddef>
#include <string_view>

inline constexpr std::size_t CandidatePageSize = 10;

struct CandidateCursor {
    std::size_t page = 0;
    std::size_t row = 0;
};

std::size_t CandidatePageCount(std::size_t count) noexcept;
// Rows on the cursor's page; 0 for a page past the list.
std::size_t RowsOnPage(std::size_t count, std::size_t page) noexcept;

// Up or Down wraps on the current page. A page past the list has nothing to highlight:
// the cursor goes back to the first row of the first page.
CandidateCursor MoveHighlight(CandidateCursor cursor, std::size_t count, bool up) noexcept;
// Back (Left, Page Up) or forward (Right, Page Down, Space on a long list), wrapping;
// the highlight returns to the first row. The list holds at least one entry.
CandidateCursor TurnPage(CandidateCursor cursor, std::size_t count, bool back) noexcept;

// Where a key points on the list: the position of `keyChar` in the selection keys, else
// the highlighted row, counted from the cursor's page. May lie past the list (the
// largest size_t when it cannot be counted).
std::size_t ChosenIndex(CandidateCursor cursor, std::string_view selectionKeys,
                        char keyChar) noexcept;
