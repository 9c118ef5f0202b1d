// Painting the toolbar and candidate popup: header, five buttons, the page's rows.

#include <string>

#include "text_service.h"
#include "windows/candidate_buttons.h"
#include "windows/candidate_text.h"
#include "windows/candidate_window.h"

namespace {

RECT ToRect(const LayoutRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void Fill(HDC dc, const RECT& rect, ColorRef color) {
    HBRUSH brush = CreateSolidBrush(color);
    if (brush == nullptr) return;
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void DrawIn(HDC dc, const std::wstring& text, const LayoutRect& area, ColorRef color, UINT flags) {
    RECT rect = ToRect(area);
    SetTextColor(dc, color);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, flags);
}

void DrawHeaderLine(HDC dc, const CandidateLayout& layout, ColorRef color) {
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    if (pen == nullptr) return;
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, 0, layout.HeaderLineY(), nullptr);
    LineTo(dc, layout.client.right, layout.HeaderLineY());
    SelectObject(dc, old);
    DeleteObject(pen);
}

void Frame(HDC dc, const RECT& rect, ColorRef color) {
    HBRUSH brush = CreateSolidBrush(color);
    if (brush == nullptr) return;
    FrameRect(dc, &rect, brush);
    DeleteObject(brush);
}

}  // namespace

void TextService::PaintCandidateWindow(HWND window) noexcept {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr) return;
    RECT client{};
    GetClientRect(window, &client);
    Fill(dc, client, theme.background);

    const int dpi = CandidateWindowDpi(window);
    const CandidateLayout layout =
        CandidateLayout::For(CandidateClientRect(window), dpi, candidateFontSize);
    HGDIOBJ oldFont = SelectObject(dc, CandidateFontFor(dpi));
    SetBkMode(dc, TRANSPARENT);
    try {
        const std::size_t count = composer.Candidates().size();
        DrawIn(dc, CandidateHeaderText(count, candidatePage), layout.HeaderTextRect(), theme.muted,
               DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);

        for (int button = 0; button < CandidateMetrics::ButtonCount; ++button) {
            const LayoutRect cell = layout.ButtonCell(button);
            Fill(dc, ToRect(cell), theme.selection);
            const std::wstring label(1, ToolbarButtonLabel(static_cast<ToolbarButton>(button),
                                                           simplifiedOutput, fullwidthOutput));
            DrawIn(dc, label, cell, theme.selectedText,
                   DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
        }

        DrawHeaderLine(dc, layout, theme.border);

        const std::size_t rows = RowsOnPage(count, candidatePage);
        for (std::size_t row = 0; row < rows; ++row) {
            ColorRef color = theme.text;
            if (row == candidateRow) {
                Fill(dc, ToRect(layout.HighlightRect(row)), theme.selection);
                color = theme.selectedText;
            }
            DrawIn(dc, CandidatePageRowText(row), layout.RowRect(row), color,
                   DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
    } catch (...) {
        // A text that cannot be built leaves the rest unpainted; the frame still closes it.
    }
    Frame(dc, client, theme.border);
    SelectObject(dc, oldFont);
    EndPaint(window, &paint);
}
