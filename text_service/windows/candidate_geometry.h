#pragma once
// The candidate list and toolbar as plain arithmetic: sizes at a dpi, placement in a work
// area and what a point in the window hits. Every length is given at 96 dpi and scaled.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "keys/candidate_paging.h"  // the one paging rule: RowsOnPage, CandidatePageCount

struct LayoutPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const LayoutPoint&, const LayoutPoint&) = default;
};

struct LayoutRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const LayoutRect&, const LayoutRect&) = default;
};

struct LayoutSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const LayoutSize&, const LayoutSize&) = default;
};

namespace CandidateMetrics {
inline constexpr int HeaderHeight = 30;
inline constexpr int ToolbarWidth = 280;  // also where a list's width starts
inline constexpr int ListCreationWidth = 520;
inline constexpr int FrameExtra = 2;  // added to the height unscaled
inline constexpr int MinimumRowHeight = 32;
inline constexpr int RowFontPadding = 12;
inline constexpr int TextMargin = 12;
inline constexpr int HeaderReserve = 154;  // room for the buttons right of the header text
inline constexpr int RowReserve = 8;
inline constexpr int LargestListWidth = 640;
inline constexpr int WorkAreaMargin = 16;
inline constexpr int ButtonWidth = 28;
inline constexpr int ButtonRightMargin = 4;
inline constexpr int ButtonCount = 5;
inline constexpr std::size_t RowsPerPage = CandidatePageSize;
}  // namespace CandidateMetrics

// The platform's MulDiv: a × b / c rounded to the nearest integer, halves away from zero;
// -1 when c is 0 or the result does not fit.
int MulDivRounded(int a, int b, int c);

// A 96-dpi length at `dpi`; a dpi of 0 counts as 96.
int ScaleForDpi(int length, int dpi);
int EffectiveDpi(unsigned rawDpi);

// Unscaled row height for a font size.
int RowHeightFor(int fontSize);

LayoutSize ToolbarSize(int dpi);
// The list height scales the whole sum at once, so it differs from scaling each row.
int ListHeight(std::size_t rows, int fontSize, int dpi);

// Width of a list after measuring: at most the largest width and the work area less its
// margin, and never below 1.
int BoundListWidth(int measured, int dpi, const LayoutRect& workArea);

// The window's top-left for an anchor in a work area. A window that does not fit below the
// anchor goes above `textTop` (the top of the text it belongs to).
LayoutPoint PlaceInWorkArea(LayoutPoint anchor, LayoutSize size, const LayoutRect& workArea,
                            int textTop);

// Everything the painting and the mouse use, from the client rectangle (left and top 0).
struct CandidateLayout {
    int dpi = 96;
    LayoutRect client;
    int header = 0;       // H
    int margin = 0;       // P
    int rowHeight = 0;    // Rs
    int buttonWidth = 0;  // bw
    int buttonsLeft = 0;  // x0

    static CandidateLayout For(const LayoutRect& client, int dpi, int fontSize);

    LayoutRect HeaderTextRect() const;
    LayoutRect ButtonCell(int index) const;
    LayoutRect RowRect(std::size_t row) const;
    LayoutRect HighlightRect(std::size_t row) const;
    int HeaderLineY() const { return header - 1; }

    bool InDragZone(int x, int y) const;
    // The button whose click area holds the point; the gap after a cell is its button's.
    std::optional<int> ButtonAt(int x, int y) const;
    // The page row under y (no bound by the candidates; see CandidateRowHit).
    std::optional<std::size_t> RowAt(int y) const;
};

// The row a click at y picks on `page` of `count` candidates, if it picks one.
std::optional<std::size_t> CandidateRowHit(const CandidateLayout& layout, int y, std::size_t page,
                                           std::size_t count);
