#include "windows/candidate_buttons.h"

wchar_t ToolbarButtonLabel(ToolbarButton button, int simplifiedOutput, bool fullwidthOutput) {
    switch (button) {
        case ToolbarButton::SimplifiedOutput:
            return simplifiedOutput == 1 ? L'\u7c21' : L'\u7e41';  // 簡 繁
        case ToolbarButton::FullwidthOutput:
            return fullwidthOutput ? L'\u5168' : L'\u534a';  // 全 半
        case ToolbarButton::Settings:
            return L'\u2699';  // ⚙
        case ToolbarButton::PhraseEditor:
            return L'\uff0b';  // ＋
        case ToolbarButton::Keyboard:
            return L'\u2328';  // ⌨
    }
    return L'?';
}
