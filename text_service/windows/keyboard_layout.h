#pragma once
// Geometry of the on-screen keyboard: where every part lies in a client area of a given
// size, what the mouse is over, and where the window opens. Every paint, hit test and click
// works the layout out afresh from the current client size; all sizes are plain pixels.

#include <windows.h>

#include <cstdint>
#include <string_view>

// The 47 character keys of the main block of a US layout, row by row.
inline constexpr std::string_view KeyboardRows[4] = {
    "`1234567890-=",
    "qwertyuiop[]\\",
    "asdfghjkl;'",
    "zxcvbnm,./",
};
inline constexpr int KeyboardRowCount = 4;

inline constexpr int KeyboardTitleHeight = 18;
inline constexpr int KeyboardMinWidth = 420;
inline constexpr int KeyboardMaxWidth = 1400;
inline constexpr int KeyboardMinHeight = 240;
inline constexpr int KeyboardMaxHeight = 900;
inline constexpr int KeyboardDefaultWidth = 722;
inline constexpr int KeyboardDefaultHeight = 324;

struct KeyboardLayout {
    int width = 0;   // client width W
    int height = 0;  // client height H
    int keyWidth = 0;
    int rowHeight = 0;
    int barTop = 0;
};

KeyboardLayout KeyboardLayoutFor(int width, int height);

// Left edge of a row: the 13-key rows start at 8, shorter rows are centred on them.
int KeyboardRowStart(const KeyboardLayout& layout, int row);
// Key `column` of `row`, with its 4-px gap to the right and below left out.
RECT KeyboardKeyRect(const KeyboardLayout& layout, int row, int column);
RECT KeyboardTitleStrip(const KeyboardLayout& layout);
RECT KeyboardCloseBox(const KeyboardLayout& layout);
RECT KeyboardGrip(const KeyboardLayout& layout);
RECT KeyboardSpaceBar(const KeyboardLayout& layout);
RECT KeyboardBackspaceBar(const KeyboardLayout& layout);

// What a point of the client area is to the window manager: the title strip and the gaps
// move the window, keys, bars and the close box take clicks.
enum class KeyboardArea { Caption, Client };
KeyboardArea KeyboardHitTest(const KeyboardLayout& layout, int x, int y);

// What a left-button release at a client point does.
struct KeyboardClick {
    enum class Kind { Nothing, Close, Key } kind = Kind::Nothing;
    WPARAM vk = 0;  // VK_SPACE or VK_BACK for the bars, 0 for a character key
    char ch = 0;    // the character key's character, 0 for the bars
};
KeyboardClick KeyboardClickAt(const KeyboardLayout& layout, int x, int y);

// The outer size the keyboard opens with, from the stored values.
int ClampKeyboardWidth(std::int32_t stored);
int ClampKeyboardHeight(std::int32_t stored);
// The stored or default top-left corner, kept inside the work area (the upper bounds never
// fall below the lower ones, so a window larger than the area sits at its left and top).
POINT ClampKeyboardPosition(std::int32_t x, std::int32_t y, int width, int height,
                            const RECT& work);
// Without a stored y, the window's bottom sits 8 px above the work area's bottom.
std::int32_t DefaultKeyboardY(const RECT& work, int height);
