#include "fake_tsf/fake_thread_mgr.h"

#include <olectl.h>

namespace fake_tsf {

HRESULT STDMETHODCALLTYPE FakeDocumentMgr::GetTop(ITfContext** out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = top.Get();
    if (*out != nullptr) (*out)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeDocumentMgr::CreateContext(TfClientId, DWORD, IUnknown*, ITfContext**,
                                                         TfEditCookie*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeDocumentMgr::Push(ITfContext*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeDocumentMgr::Pop(DWORD) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeDocumentMgr::GetBase(ITfContext**) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeDocumentMgr::EnumContexts(IEnumTfContexts**) { return E_NOTIMPL; }

void* FakeDocumentMgr::FindInterface(REFIID iid) noexcept {
    return OwnInterface(iid, IID_ITfDocumentMgr, static_cast<ITfDocumentMgr*>(this));
}

HRESULT STDMETHODCALLTYPE FakeThreadMgr::GetFocus(ITfDocumentMgr** out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = focus.Get();
    if (*out != nullptr) (*out)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeThreadMgr::AdviseKeyEventSink(TfClientId id, ITfKeyEventSink* keySink,
                                                            WINBOOL foreground) {
    advises.push_back({id, foreground});
    if (FAILED(adviseResult)) return adviseResult;
    if (keySink == nullptr) return E_INVALIDARG;
    if (sink) return CONNECT_E_ADVISELIMIT;
    sink = ComPtr<ITfKeyEventSink>(keySink);
    sinkOwner = id;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeThreadMgr::UnadviseKeyEventSink(TfClientId id) {
    unadvises.push_back(id);
    if (!sink || id != sinkOwner) return CONNECT_E_NOCONNECTION;
    sink.Reset();
    return S_OK;
}

ITfContext* FakeThreadMgr::FocusedContext() const {
    return focus ? static_cast<ITfContext*>(focus->top.Get()) : nullptr;
}

HRESULT STDMETHODCALLTYPE FakeThreadMgr::TestKeyDown(WPARAM vk, LPARAM lParam, WINBOOL* eaten) {
    if (eaten == nullptr) return E_INVALIDARG;
    *eaten = FALSE;
    return sink ? sink->OnTestKeyDown(FocusedContext(), vk, lParam, eaten) : S_OK;
}

HRESULT STDMETHODCALLTYPE FakeThreadMgr::TestKeyUp(WPARAM vk, LPARAM lParam, WINBOOL* eaten) {
    if (eaten == nullptr) return E_INVALIDARG;
    *eaten = FALSE;
    return sink ? sink->OnTestKeyUp(FocusedContext(), vk, lParam, eaten) : S_OK;
}

HRESULT STDMETHODCALLTYPE FakeThreadMgr::KeyDown(WPARAM vk, LPARAM lParam, WINBOOL* eaten) {
    HRESULT hr = TestKeyDown(vk, lParam, eaten);
    if (FAILED(hr) || !*eaten) return hr;
    *eaten = FALSE;
    return sink ? sink->OnKeyDown(FocusedContext(), vk, lParam, eaten) : S_OK;
}

HRESULT STDMETHODCALLTYPE FakeThreadMgr::KeyUp(WPARAM vk, LPARAM lParam, WINBOOL* eaten) {
    HRESULT hr = TestKeyUp(vk, lParam, eaten);
    if (FAILED(hr) || !*eaten) return hr;
    *eaten = FALSE;
    return sink ? sink->OnKeyUp(FocusedContext(), vk, lParam, eaten) : S_OK;
}

HRESULT STDMETHODCALLTYPE FakeThreadMgr::Activate(TfClientId*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeThreadMgr::Deactivate() { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeThreadMgr::CreateDocumentMgr(ITfDocumentMgr**) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeThreadMgr::EnumDocumentMgrs(IEnumTfDocumentMgrs**) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeThreadMgr::SetFocus(ITfDocumentMgr*) { return E_NOTIMPL; }
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
