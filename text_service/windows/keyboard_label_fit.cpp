#include "windows/keyboard_label_fit.h"

#include <algorithm>
#include <string>

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// A font selected into a DC for one measurement, then taken out and deleted.
class MeasuringFont {
  public:
    MeasuringFont(HDC target, int height) : dc(target), font(MakeKeyboardCapsFont(height)) {
        if (font != nullptr) previous = SelectObject(dc, font);
    }
    ~MeasuringFont() {
        if (font == nullptr) return;
        SelectObject(dc, previous);
        DeleteObject(font);
    }
    MeasuringFont(const MeasuringFont&) = delete;
    MeasuringFont& operator=(const MeasuringFont&) = delete;
    explicit operator bool() const { return font != nullptr; }

  private:
    HDC dc;
    HFONT font;
    HGDIOBJ previous = nullptr;
};

// The ink of `text` above (positive) and below the baseline; the font's cell where a
// glyph's box cannot be read.
struct Ink {
    int above = 0;
    int below = 0;
};

Ink InkOf(HDC dc, const std::wstring& text, const TEXTMETRICW& metrics) {
    Ink ink;
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    for (const wchar_t ch : text) {
        GLYPHMETRICS glyph{};
        if (GetGlyphOutlineW(dc, ch, GGO_METRICS, &glyph, 0, nullptr, &identity) == GDI_ERROR) {
            return Ink{metrics.tmAscent, metrics.tmDescent};
        }
        if (glyph.gmBlackBoxY == 0) continue;
        ink.above = std::max(ink.above, static_cast<int>(glyph.gmptGlyphOrigin.y));
        ink.below = std::max(ink.below, static_cast<int>(glyph.gmBlackBoxY) -
                                            static_cast<int>(glyph.gmptGlyphOrigin.y));
    }
    return ink;
}

}  // namespace

int FittingCharacterHeight(int height, const std::function<bool(int)>& fitsAt) {
    int fitted = std::max(1, height);
    while (fitted > 1 && !fitsAt(fitted)) --fitted;
    return fitted;
}

bool LabelFitsBand(HDC dc, const std::wstring& text, const RECT& band, int height) {
    const MeasuringFont font(dc, height);
    if (!font) return true;  // nothing to measure with: the label stays as it is
    TEXTMETRICW metrics{};
    SIZE extent{};
    if (!GetTextMetricsW(dc, &metrics) ||
        !GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent)) {
        return true;
    }
    if (extent.cx > Width(band)) return false;
    // DT_VCENTER puts the cell's top half the spare height below the band's top. The ink
    // above the baseline must stay inside; of tails and commas below it a third is enough
    // to tell Q from O and ';' from ':' (the caps font's own size shows no more of them at
    // the default window size).
    const int baseline = (Height(band) - metrics.tmHeight) / 2 + metrics.tmAscent;
    const Ink ink = InkOf(dc, text, metrics);
    const int shownBelow = std::min(ink.below, Height(band) - baseline);
    return baseline - ink.above >= 0 && 3 * shownBelow >= ink.below;
}

RECT KeyboardCapBand(const RECT& key) {
    const int split = key.top + ((key.bottom - key.top) * 45) / 100;
    return RECT{key.left + 5, key.top + 1, key.right - 2, split};
}

RECT KeyboardBarBand(const RECT& bar) {
    return RECT{bar.left + 1, bar.top + 1, bar.right - 1, bar.bottom - 1};
}

KeyboardLabelHeights FitKeyboardLabels(HDC dc, const KeyboardLayout& layout) {
    KeyboardLabelHeights heights;
    // Every key has the same size, so one band serves all caps.
    const RECT capBand = KeyboardCapBand(KeyboardKeyRect(layout, 0, 0));
    heights.caps = FittingCharacterHeight(KeyboardCapsHeight, [&](int height) {
        for (const std::string_view keys : KeyboardRows) {
            for (const char key : keys) {
                if (!LabelFitsBand(dc, std::wstring(1, KeyboardCapOf(key)), capBand, height)) {
                    return false;
                }
            }
        }
        return true;
    });
    const auto fit = [&](const wchar_t* label, const RECT& bar) {
        return FittingCharacterHeight(KeyboardCapsHeight, [&](int height) {
            return LabelFitsBand(dc, label, KeyboardBarBand(bar), height);
        });
    };
    heights.space = fit(KeyboardSpaceLabel, KeyboardSpaceBar(layout));
    heights.backspace = fit(KeyboardBackspaceLabel, KeyboardBackspaceBar(layout));
    return heights;
}

HFONT MakeKeyboardCapsFont(int height) {
    static constexpr wchar_t FontFace[] = L"Microsoft JhengHei UI";
    return CreateFontW(-height, 0, 0, 0, KeyboardCapsWeight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH,
                       FontFace);
}

wchar_t KeyboardCapOf(char key) {
    return static_cast<wchar_t>(key >= 'a' && key <= 'z' ? key - 'a' + 'A' : key);
}
