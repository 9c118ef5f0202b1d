#include "keys/candidate_paging.h"

#include <algorithm>
#include <limits>

std::size_t CandidatePageCount(std::size_t count) noexcept {
    // (count + 9) / 10 without the sum's overflow.
    return count / CandidatePageSize + (count % CandidatePageSize != 0 ? 1 : 0);
}

std::size_t RowsOnPage(std::size_t count, std::size_t page) noexcept {
    if (page >= CandidatePageCount(count)) return 0;
    return std::min(CandidatePageSize, count - page * CandidatePageSize);
}

CandidateCursor MoveHighlight(CandidateCursor cursor, std::size_t count, bool up) noexcept {
    const std::size_t rows = RowsOnPage(count, cursor.page);
    if (rows == 0) return CandidateCursor{};
    cursor.row = up ? (cursor.row + rows - 1) % rows : (cursor.row + 1) % rows;
    return cursor;
}

CandidateCursor TurnPage(CandidateCursor cursor, std::size_t count, bool back) noexcept {
    const std::size_t pages = CandidatePageCount(count);
    if (pages == 0) return CandidateCursor{};
    cursor.page = back ? (cursor.page + pages - 1) % pages : (cursor.page + 1) % pages;
    cursor.row = 0;
    return cursor;
}

std::size_t ChosenIndex(CandidateCursor cursor, std::string_view selectionKeys,
                        char keyChar) noexcept {
    const std::size_t found = keyChar != 0 ? selectionKeys.find(keyChar) : std::string_view::npos;
    const std::size_t row = found != std::string_view::npos ? found : cursor.row;
    constexpr std::size_t Past = std::numeric_limits<std::size_t>::max();
    if (cursor.page > (Past - row) / CandidatePageSize) return Past;
    return cursor.page * CandidatePageSize + row;
}
