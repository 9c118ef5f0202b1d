#pragma once
// Labels of the on-screen keyboard that must fit their bands: at a small window size the
// key caps and the bar labels would be cut into other characters at the fonts' own size.

#include <windows.h>

#include <functional>
#include <string>

#include "windows/keyboard_layout.h"

// The character height to draw labels in: `height` (the font's own) when they fit their
// bands at it, else the largest smaller height at which they do; never larger than
// `height`, never below 1. `fitsAt` tells whether they fit at a height.
int FittingCharacterHeight(int height, const std::function<bool(int)>& fitsAt);

inline constexpr int KeyboardCapsHeight = 22;  // character height of the caps font
inline constexpr int KeyboardCapsWeight = 600;

// Where a key's cap is drawn, above its root.
RECT KeyboardCapBand(const RECT& key);
// Where a bar's label is drawn: inside its 1-px frame.
RECT KeyboardBarBand(const RECT& bar);

// One height for all caps (they share one band size) and one for each bar's label, each
// the caps font's own unless a label does not fit its band (LabelFitsBand); measured in
// the caps font's face on `dc`.
struct KeyboardLabelHeights {
    int caps = KeyboardCapsHeight;
    int space = KeyboardCapsHeight;
    int backspace = KeyboardCapsHeight;
};
KeyboardLabelHeights FitKeyboardLabels(HDC dc, const KeyboardLayout& layout);

// Whether `text`, drawn single-line and vertically centred in the caps font at `height`,
// fits `band`: its width, its ink above the baseline and at least a third of its ink
// below the baseline inside.
bool LabelFitsBand(HDC dc, const std::wstring& text, const RECT& band, int height);

// The caps font at a character height.
HFONT MakeKeyboardCapsFont(int height);

// The character a key shows: letters in upper case, every other key as it is.
wchar_t KeyboardCapOf(char key);

inline constexpr wchar_t KeyboardSpaceLabel[] = L"空白／選字";
inline constexpr wchar_t KeyboardBackspaceLabel[] = L"Backspace／刪碼";
