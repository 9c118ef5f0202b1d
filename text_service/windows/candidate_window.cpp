// The toolbar and candidate popup.

#include "text_service.h"

// Not drawn yet: the key path calls these so the window work can fill them in.
void TextService::ShowToolbar(bool /*fromKey*/) noexcept {}

void TextService::ShowCandidates(TfEditCookie /*cookie*/, ITfContext* /*context*/) noexcept {}

void TextService::DestroyCandidateWindow() noexcept {
    if (candidateWindow != nullptr) {
        DestroyWindow(candidateWindow);
        candidateWindow = nullptr;
    }
}
