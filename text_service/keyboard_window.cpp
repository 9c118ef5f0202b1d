// The on-screen keyboard window.

#include "text_service.h"

void TextService::DestroyKeyboard() noexcept {
    if (keyboardWindow != nullptr) {
        DestroyWindow(keyboardWindow);
        keyboardWindow = nullptr;
    }
}
