#pragma once
// The five toolbar buttons, left to right, and their labels.

#include <cstdint>

enum class ToolbarButton : std::int32_t {
    SimplifiedOutput = 0,  // 簡 / 繁
    FullwidthOutput = 1,   // 全 / 半
    Settings = 2,
    PhraseEditor = 3,
    Keyboard = 4,
};

wchar_t ToolbarButtonLabel(ToolbarButton button, int simplifiedOutput, bool fullwidthOutput);
