// Painting the on-screen keyboard: frame parts in the theme's colours, keys in fixed ones.

#include <string>

#include "boundary_guard.h"
#include "text_conversion.h"
#include "text_service.h"
#include "windows/keyboard_label_fit.h"
#include "windows/keyboard_layout.h"

namespace {

constexpr COLORREF ShadowColour = 0xCDB1AD;
constexpr COLORREF FaceColour = 0xFFF6F6;
constexpr COLORREF FrameColour = 0x36231F;
constexpr COLORREF BevelColour = 0xFFFFFF;
constexpr COLORREF CapColour = 0x261916;
constexpr COLORREF RootColours[3] = {0x5D8410, 0xAE5E1C, 0x5937C4};

constexpr wchar_t FontFace[] = L"Microsoft JhengHei UI";
constexpr wchar_t CloseMark[] = L"×";

// BeginPaint and EndPaint around one paint, also when a step throws.
class PaintScope {
  public:
    explicit PaintScope(HWND target) : window(target), dc(BeginPaint(target, &paint)) {}
    ~PaintScope() { EndPaint(window, &paint); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Dc() const { return dc; }

  private:
    HWND window;
    PAINTSTRUCT paint{};
    HDC dc;
};

// A GDI object deleted when the scope ends (after it was selected out again).
class GdiObject {
  public:
    explicit GdiObject(HGDIOBJ created) : object(created) {}
    ~GdiObject() {
        if (object != nullptr) DeleteObject(object);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    HGDIOBJ Get() const { return object; }

  private:
    HGDIOBJ object;
};

// Selects an object into the DC and puts the previous one back when the scope ends.
class Selection {
  public:
    Selection(HDC target, HGDIOBJ object) : dc(target), previous(SelectObject(target, object)) {}
    ~Selection() {
        if (previous != nullptr) SelectObject(dc, previous);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

  private:
    HDC dc;
    HGDIOBJ previous;
};

HFONT MakeFont(int height, int weight) {
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH,
                       FontFace);
}

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
    GdiObject brush(CreateSolidBrush(colour));
    FillRect(dc, &rect, static_cast<HBRUSH>(brush.Get()));
}

void Frame(HDC dc, const RECT& rect, COLORREF colour) {
    GdiObject brush(CreateSolidBrush(colour));
    FrameRect(dc, &rect, static_cast<HBRUSH>(brush.Get()));
}

RECT Shifted(const RECT& r, int by) {
    return RECT{r.left + by, r.top + by, r.right + by, r.bottom + by};
}

void DrawLabel(HDC dc, const std::wstring& text, RECT rect, COLORREF colour, UINT format) {
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              format | DT_SINGLELINE | DT_NOPREFIX);
}

void DrawKey(HDC dc, const RECT& key) {
    Fill(dc, Shifted(key, 2), ShadowColour);
    Fill(dc, key, FaceColour);
    Frame(dc, key, FrameColour);
    GdiObject pen(CreatePen(PS_SOLID, 1, BevelColour));
    Selection selected(dc, pen.Get());
    MoveToEx(dc, key.left + 2, key.bottom - 2, nullptr);
    LineTo(dc, key.left + 2, key.top + 2);
    LineTo(dc, key.right - 2, key.top + 2);
}

void DrawBar(HDC dc, const RECT& bar, const wchar_t* label) {
    Fill(dc, Shifted(bar, 2), ShadowColour);
    Fill(dc, bar, FaceColour);
    Frame(dc, bar, FrameColour);
    DrawLabel(dc, label, bar, CapColour, DT_CENTER | DT_VCENTER);
}

// A theme whose text colour is its border colour ("極致對比": both white) would draw the
// close mark invisibly on the title strip.
COLORREF CloseMarkColour(const ThemeColors& theme) {
    return theme.text == theme.border ? theme.background : theme.text;
}

// A font for labels that do not fit at the caps font's own height; none for those that do.
HFONT SmallerFont(int height) {
    return height == KeyboardCapsHeight ? nullptr : MakeKeyboardCapsFont(height);
}

// The smaller font made for labels that do not fit, else the caps font itself.
HGDIOBJ FontFor(const GdiObject& smaller, const GdiObject& capsFont) {
    return smaller.Get() != nullptr ? smaller.Get() : capsFont.Get();
}

}  // namespace

void TextService::PaintKeyboard(HWND window) noexcept {
    GuardVoid([&] {
        PaintScope paint(window);
        HDC dc = paint.Dc();
        if (dc == nullptr) return;
        RECT client{};
        GetClientRect(window, &client);
        const KeyboardLayout layout = KeyboardLayoutFor(client.right, client.bottom);

        Fill(dc, client, theme.background);
        SetBkMode(dc, TRANSPARENT);

        GdiObject capsFont(MakeKeyboardCapsFont(KeyboardCapsHeight));
        GdiObject rootFont(MakeFont(-16, 400));
        const KeyboardLabelHeights heights = FitKeyboardLabels(dc, layout);
        GdiObject smallerCaps(SmallerFont(heights.caps));
        GdiObject smallerSpace(SmallerFont(heights.space));
        GdiObject smallerBackspace(SmallerFont(heights.backspace));
        const HGDIOBJ capsLabelFont = FontFor(smallerCaps, capsFont);
        Selection previousFont(dc, capsFont.Get());

        Fill(dc, KeyboardTitleStrip(layout), theme.border);
        Fill(dc, KeyboardGrip(layout), theme.muted);
        DrawLabel(dc, CloseMark, KeyboardCloseBox(layout), CloseMarkColour(theme),
                  DT_CENTER | DT_VCENTER);

        for (int row = 0; row < KeyboardRowCount; ++row) {
            const std::string_view keys = KeyboardRows[row];
            for (std::size_t column = 0; column < keys.size(); ++column) {
                const RECT key = KeyboardKeyRect(layout, row, static_cast<int>(column));
                DrawKey(dc, key);
                const RECT capBand = KeyboardCapBand(key);
                const int split = capBand.bottom;
                SelectObject(dc, capsLabelFont);
                DrawLabel(dc, std::wstring(1, KeyboardCapOf(keys[column])), capBand, CapColour,
                          DT_LEFT | DT_VCENTER);
                const std::string root = table.KeyName(keys.substr(column, 1));
                if (root.empty()) continue;
                SelectObject(dc, rootFont.Get());
                DrawLabel(dc, Utf8ToWide(root), RECT{key.left, split, key.right, key.bottom - 2},
                          RootColours[(static_cast<std::size_t>(row) + column) % 3],
                          DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS);
            }
        }

        SelectObject(dc, FontFor(smallerSpace, capsFont));
        DrawBar(dc, KeyboardSpaceBar(layout), KeyboardSpaceLabel);
        SelectObject(dc, FontFor(smallerBackspace, capsFont));
        DrawBar(dc, KeyboardBackspaceBar(layout), KeyboardBackspaceLabel);
    });
}
