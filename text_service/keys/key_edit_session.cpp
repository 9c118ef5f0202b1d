// The edit session that carries one key into the service, and the one way to ask for it.

#include "keys/key_edit_session.h"

#include "boundary_guard.h"
#include "text_service.h"

KeyEditSession::KeyEditSession(TextService* owner, ITfContext* keyContext, WPARAM key,
                               LPARAM keyLParam, char direct, char clicked) noexcept
    : service(owner),
      activation(owner->activation),
      context(keyContext),
      vk(key),
      lParam(keyLParam),
      directChar(direct),
      keyboardChar(clicked) {
    static_cast<ITfTextInputProcessorEx*>(service)->AddRef();
}

KeyEditSession::~KeyEditSession() {
    onlyWhileHeld.Reset();
    context.Reset();
    // May destroy the service when this was the last reference.
    static_cast<ITfTextInputProcessorEx*>(service)->Release();
}

HRESULT STDMETHODCALLTYPE KeyEditSession::DoEditSession(TfEditCookie cookie) {
    return GuardCom([&] {
        // Asked for before Deactivate, the session belongs to a document and a state that
        // are no longer the service's, even after a new Activate.
        if (!service->IsActivation(activation)) return E_UNEXPECTED;
        if (onlyWhileHeld && !service->NothingTypedSince(onlyWhileHeld.Get())) return S_OK;
        return service->RunKeySession(cookie, context.Get(), vk, lParam, directChar, keyboardChar);
    });
}

HRESULT TextService::RequestKeySession(ITfContext* context, WPARAM vk, LPARAM lParam,
                                       char directChar, char keyboardChar, DWORD flags,
                                       HRESULT* sessionResult) noexcept {
    HRESULT ignored = E_FAIL;
    HRESULT& outcome = sessionResult != nullptr ? *sessionResult : ignored;
    outcome = E_FAIL;
    if (context == nullptr) return E_INVALIDARG;
    KeyEditSession* session =
        NewComObject<KeyEditSession>(this, context, vk, lParam, directChar, keyboardChar);
    if (session == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = context->RequestEditSession(clientId, session, flags, &outcome);
    session->Release();
    return hr;
}
