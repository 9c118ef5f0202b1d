#pragma once
// The edit session that carries one key into the service: only inside an edit session
// may the service change the document. It holds a reference on its service, so the
// service (and the library) stay alive until TSF has run and released the session, even
// when it runs after the key event returned, or after Deactivate: then it does nothing.

#include <msctf.h>
#include <windows.h>

#include <cstdint>

#include "com_object.h"
#include "com_ptr.h"
#include "tsf_declarations.h"

class TextService;

class KeyEditSession final
    : public ComObject<KeyEditSession, ModuleCount::NotCounted, ITfEditSession> {
  public:
    KeyEditSession(TextService* service, ITfContext* context, WPARAM vk, LPARAM lParam,
                   char directChar, char keyboardChar) noexcept;

    HRESULT STDMETHODCALLTYPE DoEditSession(TfEditCookie cookie) override;

    // Makes the session do nothing unless `held` is still the service's composition with
    // nothing typed since: the Escape that a focus loss asks for again to run later.
    void OnlyWhileHeld(ITfComposition* held) noexcept {
        onlyWhileHeld = ComPtr<ITfComposition>(held);
    }

    void* FindInterface(REFIID iid) noexcept {
        return OwnInterface(iid, IID_ITfEditSession, static_cast<ITfEditSession*>(this));
    }

  private:
    ~KeyEditSession() override;

    TextService* service;      // one reference held, released by the destructor
    std::uint32_t activation;  // the service's activation the session was asked for in
    ComPtr<ITfContext> context;
    WPARAM vk;
    LPARAM lParam;
    char directChar;
    char keyboardChar;
    ComPtr<ITfComposition> onlyWhileHeld;
};

// A synchronous request refused: Windows answers it in the session result; a host may
// also answer it as the call's result.
inline bool SynchronousRefused(HRESULT call, HRESULT session) noexcept {
    return call == TF_E_SYNCHRONOUS || (SUCCEEDED(call) && session == TF_E_SYNCHRONOUS);
}
