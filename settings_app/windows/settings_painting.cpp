// WM_PAINT and WM_DRAWITEM: the page, the cards, the labels, the live preview and the
// owner-drawn colour buttons.
#include "settings_choices.h"
#include "settings_layout.h"
#include "settings_state.h"
#include "settings_window.h"

namespace {

RECT ToRect(const PixelRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

PixelRect ToPixelRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void FrameSolid(HDC dc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FrameRect(dc, &rect, brush);
    DeleteObject(brush);
}

void DrawLabel(HDC dc, const wchar_t* text, const RECT& rect, COLORREF color, HFONT font) {
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    RECT r = rect;
    DrawTextW(dc, text, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, previous);
}

HFONT FontFor(PaintFont font) {
    switch (font) {
        case PaintFont::Title:
            return g_titleFont;
        case PaintFont::Body:
            return g_bodyFont;
        case PaintFont::Preview:
            return g_previewFont;
        case PaintFont::None:
            break;
    }
    return nullptr;
}

}  // namespace

void PaintSettingsWindow(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    for (const PaintStep& step : SettingsPaintSteps(client.right, client.bottom)) {
        const RECT rect = ToRect(step.rect);
        const COLORREF color = step.ColorIn(g_theme);
        switch (step.kind) {
            case PaintKind::Fill:
                FillSolid(dc, rect, color);
                break;
            case PaintKind::Frame:
                FrameSolid(dc, rect, color);
                break;
            case PaintKind::Text:
                DrawLabel(dc, step.text, rect, color, FontFor(step.font));
                break;
        }
    }
    EndPaint(window, &paint);
}

// Every request draws the whole button: no pressed look, no focus rectangle.
void DrawColorButton(const DRAWITEMSTRUCT& item, int slot) {
    const auto j = static_cast<std::size_t>(slot);
    const PixelRect face = ToPixelRect(item.rcItem);
    const RECT faceRect = item.rcItem;
    const RECT swatch = ToRect(ColorSwatchRect(face));
    FillSolid(item.hDC, faceRect, ColorButtonFace);
    FillSolid(item.hDC, swatch, ThemeSlot(j));
    HBRUSH frame = CreateSolidBrush(ColorButtonFrame);
    FrameRect(item.hDC, &faceRect, frame);
    FrameRect(item.hDC, &swatch, frame);
    DeleteObject(frame);
    DrawLabel(item.hDC, ThemeSlotLabels[j], ToRect(ColorButtonLabelRect(face)), ColorButtonLabel,
              g_bodyFont);
}
