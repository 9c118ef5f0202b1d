#include "windows/candidate_geometry.h"

#include <algorithm>
#include <climits>

using namespace CandidateMetrics;

int MulDivRounded(int a, int b, int c) {
    if (c == 0) return -1;
    const long long product = static_cast<long long>(a) * b;
    const long long divisor = c;
    const bool negative = (product < 0) != (divisor < 0);
    const long long magnitudeP = product < 0 ? -product : product;
    const long long magnitudeD = divisor < 0 ? -divisor : divisor;
    const long long rounded = (magnitudeP + magnitudeD / 2) / magnitudeD;
    const long long result = negative ? -rounded : rounded;
    if (result > INT_MAX || result < INT_MIN) return -1;
    return static_cast<int>(result);
}

int EffectiveDpi(unsigned rawDpi) {
    return rawDpi == 0 || rawDpi > INT_MAX ? 96 : static_cast<int>(rawDpi);
}

int ScaleForDpi(int length, int dpi) { return MulDivRounded(length, dpi == 0 ? 96 : dpi, 96); }

int RowHeightFor(int fontSize) {
    return fontSize > MinimumRowHeight - RowFontPadding ? fontSize + RowFontPadding
                                                        : MinimumRowHeight;
}

LayoutSize ToolbarSize(int dpi) {
    return {ScaleForDpi(ToolbarWidth, dpi), ScaleForDpi(HeaderHeight, dpi) + FrameExtra};
}

int ListHeight(std::size_t rows, int fontSize, int dpi) {
    const int unscaled = static_cast<int>(rows) * RowHeightFor(fontSize) + HeaderHeight;
    return ScaleForDpi(unscaled, dpi) + FrameExtra;
}

int BoundListWidth(int measured, int dpi, const LayoutRect& workArea) {
    const int room = std::max(1, workArea.Width() - ScaleForDpi(WorkAreaMargin, dpi));
    return std::min({measured, ScaleForDpi(LargestListWidth, dpi), room});
}

LayoutPoint PlaceInWorkArea(LayoutPoint anchor, LayoutSize size, const LayoutRect& workArea,
                            int textTop) {
    LayoutPoint placed;
    const int rightmost = std::max(workArea.left, workArea.right - size.width);
    placed.x = std::clamp(anchor.x, workArea.left, rightmost);
    // Compared in 64 bits: an anchor near the largest int must not wrap into "fits".
    if (static_cast<long long>(anchor.y) + size.height > workArea.bottom) {
        placed.y = static_cast<int>(
            std::max<long long>(workArea.top, static_cast<long long>(textTop) - size.height));
    } else {
        placed.y = anchor.y;
    }
    return placed;
}

CandidateLayout CandidateLayout::For(const LayoutRect& clientRect, int windowDpi, int fontSize) {
    CandidateLayout layout;
    layout.dpi = windowDpi == 0 ? 96 : windowDpi;
    layout.client = clientRect;
    layout.header = ScaleForDpi(HeaderHeight, layout.dpi);
    layout.margin = ScaleForDpi(TextMargin, layout.dpi);
    layout.rowHeight = ScaleForDpi(RowHeightFor(fontSize), layout.dpi);
    layout.buttonWidth = ScaleForDpi(ButtonWidth, layout.dpi);
    layout.buttonsLeft = clientRect.right - ScaleForDpi(ButtonRightMargin, layout.dpi) -
                         ButtonCount * layout.buttonWidth;
    return layout;
}

LayoutRect CandidateLayout::HeaderTextRect() const {
    return {margin, 0, buttonsLeft - ScaleForDpi(3, dpi), header};
}

LayoutRect CandidateLayout::ButtonCell(int index) const {
    return {buttonsLeft + index * buttonWidth, ScaleForDpi(3, dpi),
            buttonsLeft + (index + 1) * buttonWidth - ScaleForDpi(2, dpi),
            header - ScaleForDpi(3, dpi)};
}

LayoutRect CandidateLayout::RowRect(std::size_t row) const {
    const int top = header + static_cast<int>(row) * rowHeight;
    return {margin, top, client.right - margin, top + rowHeight};
}

LayoutRect CandidateLayout::HighlightRect(std::size_t row) const {
    const LayoutRect text = RowRect(row);
    return {ScaleForDpi(5, dpi), text.top + 1, client.right - ScaleForDpi(5, dpi), text.bottom - 1};
}

bool CandidateLayout::InDragZone(int x, int y) const {
    return x >= 0 && x < buttonsLeft && y >= 0 && y < header;
}

std::optional<int> CandidateLayout::ButtonAt(int x, int y) const {
    if (y < 0 || y >= header || buttonWidth <= 0) return std::nullopt;
    if (x < buttonsLeft || x >= buttonsLeft + ButtonCount * buttonWidth) return std::nullopt;
    return (x - buttonsLeft) / buttonWidth;
}

std::optional<std::size_t> CandidateLayout::RowAt(int y) const {
    if (y < header || rowHeight <= 0) return std::nullopt;
    return static_cast<std::size_t>((y - header) / rowHeight);
}

std::optional<std::size_t> CandidateRowHit(const CandidateLayout& layout, int y, std::size_t page,
                                           std::size_t count) {
    const std::optional<std::size_t> row = layout.RowAt(y);
    if (!row || *row >= RowsPerPage) return std::nullopt;
    if (page > count / RowsPerPage || page * RowsPerPage + *row >= count) return std::nullopt;
    return row;
}
