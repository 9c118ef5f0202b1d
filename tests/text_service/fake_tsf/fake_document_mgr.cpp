#include "fake_tsf/fake_thread_mgr.h"

namespace fake_tsf {

FakeDocumentMgr::~FakeDocumentMgr() {
    if (top) top->DetachFromStack();
}

HRESULT STDMETHODCALLTYPE FakeDocumentMgr::Push(ITfContext* context) {
    auto* fake = dynamic_cast<FakeContext*>(context);
    if (fake == nullptr) return E_INVALIDARG;
    if (top) return TF_E_STACKFULL;
    top = ComPtr<FakeContext>(fake);
    fake->AttachTo(this);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeDocumentMgr::Pop(DWORD) {
    if (!top) return E_FAIL;
    top->DetachFromStack();
    top = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeDocumentMgr::GetTop(ITfContext** out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = top.Get();
    if (*out != nullptr) (*out)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeDocumentMgr::GetBase(ITfContext** out) { return GetTop(out); }

HRESULT STDMETHODCALLTYPE FakeDocumentMgr::CreateContext(TfClientId, DWORD, IUnknown*, ITfContext**,
                                                         TfEditCookie*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeDocumentMgr::EnumContexts(IEnumTfContexts**) { return E_NOTIMPL; }

void* FakeDocumentMgr::FindInterface(REFIID iid) noexcept {
    return OwnInterface(iid, IID_ITfDocumentMgr, static_cast<ITfDocumentMgr*>(this));
}

}  // namespace fake_tsf
