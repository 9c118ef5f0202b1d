#include "windows/keyboard_layout.h"

#include <algorithm>

namespace {

bool Inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

int RowLength(int row) { return static_cast<int>(KeyboardRows[row].size()); }

}  // namespace

KeyboardLayout KeyboardLayoutFor(int width, int height) {
    KeyboardLayout layout;
    layout.width = width;
    layout.height = height;
    layout.keyWidth = std::max(28, (width - 16) / 13);
    layout.barTop = height - 48;
    layout.rowHeight = std::max(38, (layout.barTop - 22) / 4);
    return layout;
}

int KeyboardRowStart(const KeyboardLayout& layout, int row) {
    return ((13 - RowLength(row)) * layout.keyWidth) / 2 + 8;
}

RECT KeyboardKeyRect(const KeyboardLayout& layout, int row, int column) {
    const int x = KeyboardRowStart(layout, row);
    return RECT{x + column * layout.keyWidth, KeyboardTitleHeight + row * layout.rowHeight,
                x + (column + 1) * layout.keyWidth - 4, 14 + (row + 1) * layout.rowHeight};
}

RECT KeyboardTitleStrip(const KeyboardLayout& layout) {
    return RECT{0, 0, layout.width, KeyboardTitleHeight};
}

RECT KeyboardCloseBox(const KeyboardLayout& layout) {
    return RECT{layout.width - 32, 0, layout.width - 4, KeyboardTitleHeight};
}

RECT KeyboardGrip(const KeyboardLayout& layout) {
    return RECT{layout.width / 2 - 24, 7, layout.width / 2 + 24, 10};
}

RECT KeyboardSpaceBar(const KeyboardLayout& layout) {
    return RECT{8, layout.barTop, (3 * layout.width) / 4 - 4, layout.height - 4};
}

RECT KeyboardBackspaceBar(const KeyboardLayout& layout) {
    return RECT{(3 * layout.width) / 4, layout.barTop, layout.width - 4, layout.height - 4};
}

KeyboardArea KeyboardHitTest(const KeyboardLayout& layout, int x, int y) {
    if (y >= 0 && y < KeyboardTitleHeight) {
        return x < layout.width - 32 ? KeyboardArea::Caption : KeyboardArea::Client;
    }
    for (int row = 0; row < KeyboardRowCount; ++row) {
        for (int column = 0; column < RowLength(row); ++column) {
            if (Inside(KeyboardKeyRect(layout, row, column), x, y)) return KeyboardArea::Client;
        }
    }
    if (Inside(KeyboardSpaceBar(layout), x, y) || Inside(KeyboardBackspaceBar(layout), x, y)) {
        return KeyboardArea::Client;
    }
    return KeyboardArea::Caption;
}

KeyboardClick KeyboardClickAt(const KeyboardLayout& layout, int x, int y) {
    KeyboardClick click;
    if (x >= layout.width - 32 && y < KeyboardTitleHeight) {
        click.kind = KeyboardClick::Kind::Close;
        return click;
    }
    if (y >= KeyboardTitleHeight && y < layout.barTop) {
        // Whole cells: a release in a key's gap would count for the key, but the gaps are
        // caption area, so no release arrives there.
        const int row = (y - KeyboardTitleHeight) / layout.rowHeight;
        if (row < 0 || row >= KeyboardRowCount) return click;
        const int start = KeyboardRowStart(layout, row);
        if (x < start) return click;
        const int column = (x - start) / layout.keyWidth;
        if (column < RowLength(row)) {
            click.kind = KeyboardClick::Kind::Key;
            click.ch = KeyboardRows[row][static_cast<std::size_t>(column)];
        }
        return click;
    }
    if (y >= layout.barTop) {
        if (Inside(KeyboardSpaceBar(layout), x, y)) {
            click.kind = KeyboardClick::Kind::Key;
            click.vk = VK_SPACE;
        } else if (Inside(KeyboardBackspaceBar(layout), x, y)) {
            click.kind = KeyboardClick::Kind::Key;
            click.vk = VK_BACK;
        }
    }
    return click;
}

int ClampKeyboardWidth(std::int32_t stored) {
    return std::clamp(stored, KeyboardMinWidth, KeyboardMaxWidth);
}

int ClampKeyboardHeight(std::int32_t stored) {
    return std::clamp(stored, KeyboardMinHeight, KeyboardMaxHeight);
}

POINT ClampKeyboardPosition(std::int32_t x, std::int32_t y, int width, int height,
                            const RECT& work) {
    // 64-bit so that work-area edges near the int limits cannot overflow.
    const std::int64_t right = std::max<std::int64_t>(work.left, std::int64_t{work.right} - width);
    const std::int64_t bottom =
        std::max<std::int64_t>(work.top, std::int64_t{work.bottom} - height);
    return POINT{static_cast<LONG>(std::clamp<std::int64_t>(x, work.left, right)),
                 static_cast<LONG>(std::clamp<std::int64_t>(y, work.top, bottom))};
}

std::int32_t DefaultKeyboardY(const RECT& work, int height) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(std::int64_t{work.bottom} - height - 8, INT32_MIN, INT32_MAX));
}
