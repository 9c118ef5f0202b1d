// The edit session that carries one key into the service.

#include "text_service.h"

// Keys are not handled yet.
HRESULT TextService::RequestKeySession(ITfContext* /*context*/, WPARAM /*vk*/, LPARAM /*lParam*/,
                                       char /*directChar*/, char /*keyboardChar*/, DWORD /*flags*/,
                                       HRESULT* sessionResult) noexcept {
    if (sessionResult != nullptr) *sessionResult = E_NOTIMPL;
    return E_NOTIMPL;
}
