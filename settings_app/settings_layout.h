#pragma once
// Where and in what colour the settings window draws its background, cards, labels and the
// candidate-window preview, and the geometry of the owner-drawn colour buttons. Client
// pixels, fixed; right and bottom edges lie outside a rectangle, as the platform's do.

#include <array>
#include <cstddef>
#include <optional>

#include "theme_colors.h"

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const PixelRect&) const = default;
};

enum class PaintKind { Fill, Frame, Text };
enum class PaintFont { None, Title, Body, Preview };

struct PaintStep {
    PaintKind kind = PaintKind::Fill;
    PixelRect rect;
    ColorRef fixedColor = 0;               // used when themeSlot is empty
    std::optional<std::size_t> themeSlot;  // the edited colours' slot, for the preview
    const wchar_t* text = nullptr;
    PaintFont font = PaintFont::None;

    ColorRef ColorIn(const ThemeColors& theme) const {
        return themeSlot ? ThemeSlot(theme, *themeSlot) : fixedColor;
    }
};

inline constexpr std::size_t PaintStepCount = 26;

// Every step of one paint, in drawing order; `clientRight` is the client rectangle's right
// edge, which depends on the system's border width.
std::array<PaintStep, PaintStepCount> SettingsPaintSteps(int clientRight, int clientBottom);

// The preview's parts, for callers that look at what was drawn.
inline constexpr PixelRect PreviewBoxRect{363, 194, 660, 319};
inline constexpr PixelRect PreviewSelectionBarRect{369, 237, 654, 271};
inline constexpr PixelRect PreviewFirstRowRect{380, 237, 644, 271};
inline constexpr PixelRect PreviewSecondRowRect{380, 275, 644, 309};

// The colour button of slot j (0..5), in the window's client pixels.
PixelRect ColorButtonRect(std::size_t slot);

// Inside a colour button's item rectangle: the swatch and the label's rectangle.
PixelRect ColorSwatchRect(const PixelRect& item);
PixelRect ColorButtonLabelRect(const PixelRect& item);

inline constexpr ColorRef ColorButtonFace = 0xFBF9F6;
inline constexpr ColorRef ColorButtonFrame = 0xD0C5B4;
inline constexpr ColorRef ColorButtonLabel = 0x4C3C1E;
