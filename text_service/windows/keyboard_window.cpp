// The on-screen keyboard window.

#include "text_service.h"

// Not drawn yet: the typed command calls this so the window work can fill it in.
void TextService::ToggleKeyboard() noexcept {}

void TextService::DestroyKeyboard() noexcept {
    if (keyboardWindow != nullptr) {
        DestroyWindow(keyboardWindow);
        keyboardWindow = nullptr;
    }
}
