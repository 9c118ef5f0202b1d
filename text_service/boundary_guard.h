#pragma once
// The one rule for every place where the host calls into the service (COM methods, edit
// sessions, window procedures): no exception may cross it. Each guard runs its body and
// maps an escaping exception the same way everywhere.

#include <windows.h>

#include <new>

// A COM method or edit session: std::bad_alloc becomes E_OUTOFMEMORY, anything else E_FAIL.
template <class Body>
HRESULT GuardCom(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

// A key-sink method: on an exception the key goes back to the application.
template <class Body>
HRESULT GuardKey(BOOL* eaten, Body&& body) noexcept {
    const HRESULT hr = GuardCom(body);
    if (FAILED(hr) && eaten != nullptr) *eaten = FALSE;
    return hr;
}

// A window procedure or timer: an exception is answered with `fallback`.
template <class Body>
LRESULT GuardWindow(LRESULT fallback, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return fallback;
    }
}

// A step with no result (a show, a destroy): an exception only ends the step.
template <class Body>
void GuardVoid(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}
