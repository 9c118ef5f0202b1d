#include "fake_tsf/fake_thread_mgr.h"

#include <olectl.h>

namespace fake_tsf {

FakeContext* FakeThreadMgr::FocusedContext() const { return focus ? focus->Top() : nullptr; }

HRESULT STDMETHODCALLTYPE FakeThreadMgr::GetFocus(ITfDocumentMgr** out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = focus.Get();
    if (*out != nullptr) (*out)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeThreadMgr::SetFocus(ITfDocumentMgr* document) {
    FakeDocumentMgr* next = nullptr;
    if (document != nullptr) {
        next = dynamic_cast<FakeDocumentMgr*>(document);
        if (next == nullptr) return E_INVALIDARG;
    }
    focus = ComPtr<FakeDocumentMgr>(next);
    return S_OK;
}

void FakeThreadMgr::ServiceFocus(bool gained) {
    ComPtr<ITfKeyEventSink> listener = sink;  // the sink may unadvise itself meanwhile
    if (!listener) return;
    focusCalls.push_back(gained ? TRUE : FALSE);
    listener->OnSetFocus(gained ? TRUE : FALSE);
}

HRESULT STDMETHODCALLTYPE FakeThreadMgr::CreateDocumentMgr(ITfDocumentMgr** out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = Make<FakeDocumentMgr>().Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeThreadMgr::AdviseKeyEventSink(TfClientId id, ITfKeyEventSink* keySink,
                                                            WINBOOL foreground) {
    HRESULT hr = S_OK;
    if (FAILED(adviseResult)) {
        hr = adviseResult;
    } else if (keySink == nullptr) {
        hr = E_INVALIDARG;
    } else if (sink) {
        hr = CONNECT_E_ADVISELIMIT;  // one key sink at a time
    } else {
        sink = ComPtr<ITfKeyEventSink>(keySink);
        sinkOwner = id;
    }
    advises.push_back({id, foreground, hr});
    return hr;
}

HRESULT STDMETHODCALLTYPE FakeThreadMgr::UnadviseKeyEventSink(TfClientId id) {
    unadvises.push_back(id);
    if (!sink || id != sinkOwner) return CONNECT_E_NOCONNECTION;
    sink.Reset();
    return S_OK;
}

HRESULT FakeThreadMgr::CallSink(KeyCall::Kind kind, WPARAM vk, LPARAM lParam, WINBOOL* eaten) {
    if (eaten == nullptr) return E_INVALIDARG;
    *eaten = FALSE;
    if (!sink) return S_FALSE;
    KeyDeliveryScope delivering;
    ComPtr<ITfKeyEventSink> target = sink;  // the sink may unadvise itself meanwhile
    ComPtr<FakeContext> context(FocusedContext());
    ITfContext* document = context.Get();
    HRESULT hr = E_UNEXPECTED;
    switch (kind) {
        case KeyCall::Kind::TestKeyDown:
            hr = target->OnTestKeyDown(document, vk, lParam, eaten);
            break;
        case KeyCall::Kind::KeyDown:
            hr = target->OnKeyDown(document, vk, lParam, eaten);
            break;
        case KeyCall::Kind::TestKeyUp:
            hr = target->OnTestKeyUp(document, vk, lParam, eaten);
            break;
        case KeyCall::Kind::KeyUp:
            hr = target->OnKeyUp(document, vk, lParam, eaten);
            break;
    }
    keyCalls.push_back({kind, vk, lParam, document != nullptr, hr, *eaten});
    return hr;
}

HRESULT STDMETHODCALLTYPE FakeThreadMgr::TestKeyDown(WPARAM vk, LPARAM lParam, WINBOOL* eaten) {
    return CallSink(KeyCall::Kind::TestKeyDown, vk, lParam, eaten);
}

HRESULT STDMETHODCALLTYPE FakeThreadMgr::TestKeyUp(WPARAM vk, LPARAM lParam, WINBOOL* eaten) {
    return CallSink(KeyCall::Kind::TestKeyUp, vk, lParam, eaten);
}

HRESULT STDMETHODCALLTYPE FakeThreadMgr::KeyDown(WPARAM vk, LPARAM lParam, WINBOOL* eaten) {
    return CallSink(KeyCall::Kind::KeyDown, vk, lParam, eaten);
}

HRESULT STDMETHODCALLTYPE FakeThreadMgr::KeyUp(WPARAM vk, LPARAM lParam, WINBOOL* eaten) {
    return CallSink(KeyCall::Kind::KeyUp, vk, lParam, eaten);
}

HRESULT STDMETHODCALLTYPE FakeThreadMgr::Activate(TfClientId*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeThreadMgr::Deactivate() { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeThreadMgr::EnumDocumentMgrs(IEnumTfDocumentMgrs**) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeThreadMgr::AssociateFocus(HWND, ITfDocumentMgr*, ITfDocumentMgr**) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeThreadMgr::IsThreadFocus(WINBOOL*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeThreadMgr::GetFunctionProvider(REFCLSID, ITfFunctionProvider**) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeThreadMgr::EnumFunctionProviders(IEnumTfFunctionProviders**) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeThreadMgr::GetGlobalCompartment(ITfCompartmentMgr**) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeThreadMgr::GetForeground(CLSID*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeThreadMgr::GetPreservedKey(ITfContext*, const TF_PRESERVEDKEY*,
                                                         GUID*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeThreadMgr::IsPreservedKey(REFGUID, const TF_PRESERVEDKEY*, WINBOOL*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeThreadMgr::PreserveKey(TfClientId, REFGUID, const TF_PRESERVEDKEY*,
                                                     const WCHAR*, ULONG) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeThreadMgr::UnpreserveKey(REFGUID, const TF_PRESERVEDKEY*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeThreadMgr::SetPreservedKeyDescription(REFGUID, const WCHAR*, ULONG) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeThreadMgr::GetPreservedKeyDescription(REFGUID, BSTR*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeThreadMgr::SimulatePreservedKey(ITfContext*, REFGUID, WINBOOL*) {
    return E_NOTIMPL;
}

void* FakeThreadMgr::FindInterface(REFIID iid) noexcept {
    if (SameIid(iid, IID_IUnknown) || SameIid(iid, IID_ITfThreadMgr)) {
        return static_cast<ITfThreadMgr*>(this);
    }
    if (offerKeystrokeMgr && SameIid(iid, IID_ITfKeystrokeMgr)) {
        return static_cast<ITfKeystrokeMgr*>(this);
    }
    return nullptr;
}

}  // namespace fake_tsf
