// The toolbar and candidate popup.

#include "text_service.h"

void TextService::DestroyCandidateWindow() noexcept {
    if (candidateWindow != nullptr) {
        DestroyWindow(candidateWindow);
        candidateWindow = nullptr;
    }
}
