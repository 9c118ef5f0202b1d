// The key event and composition sinks.

#include "text_service.h"

namespace {

HRESULT NotEaten(BOOL* eaten) noexcept {
    if (eaten == nullptr) return E_POINTER;
    *eaten = FALSE;
    return S_OK;
}

}  // namespace

// Key handling is not wired in yet: every key is left to the application.
HRESULT STDMETHODCALLTYPE TextService::OnSetFocus(BOOL /*foreground*/) { return S_OK; }

HRESULT STDMETHODCALLTYPE TextService::OnTestKeyDown(ITfContext*, WPARAM, LPARAM, BOOL* eaten) {
    return NotEaten(eaten);
}

HRESULT STDMETHODCALLTYPE TextService::OnTestKeyUp(ITfContext*, WPARAM, LPARAM, BOOL* eaten) {
    return NotEaten(eaten);
}

HRESULT STDMETHODCALLTYPE TextService::OnKeyDown(ITfContext*, WPARAM, LPARAM, BOOL* eaten) {
    return NotEaten(eaten);
}

HRESULT STDMETHODCALLTYPE TextService::OnKeyUp(ITfContext*, WPARAM, LPARAM, BOOL* eaten) {
    return NotEaten(eaten);
}

HRESULT STDMETHODCALLTYPE TextService::OnPreservedKey(ITfContext*, REFGUID, BOOL* eaten) {
    return NotEaten(eaten);
}

HRESULT STDMETHODCALLTYPE TextService::OnCompositionTerminated(TfEditCookie, ITfComposition*) {
    return S_OK;
}
