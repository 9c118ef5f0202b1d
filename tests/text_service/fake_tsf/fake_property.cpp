#include "fake_tsf/fake_context.h"

namespace fake_tsf {

FakeProperty::FakeProperty(FakeContext* owner) : context(owner) {}

std::optional<LONG> FakeProperty::ValueAt(long position) const {
    for (const auto& entry : stored) {
        if (entry.span->start <= position && position < entry.span->end) return entry.value;
    }
    return std::nullopt;
}

void FakeProperty::Forget(const Span& range) {
    std::erase_if(stored, [&range](const Stored& entry) {
        return entry.span->start < range.end && range.start < entry.span->end;
    });
}

HRESULT STDMETHODCALLTYPE FakeProperty::SetValue(TfEditCookie ec, ITfRange* range,
                                                 const VARIANT* value) {
    if (context == nullptr) return E_UNEXPECTED;
    if (!context->CanWrite(ec)) return TF_E_NOLOCK;
    FakeRange* fakeRange = AsFakeRange(range);
    if (fakeRange == nullptr || value == nullptr) return E_INVALIDARG;
    const Span where = fakeRange->Position();
    const LONG number = value->vt == VT_I4 ? value->lVal : 0;
    calls.push_back({PropertyCall::Kind::SetValue, where, value->vt, number});
    Forget(where);
    stored.push_back({context->Buffer().Track(where.start, where.end), number});
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeProperty::Clear(TfEditCookie ec, ITfRange* range) {
    if (context == nullptr) return E_UNEXPECTED;
    if (!context->CanWrite(ec)) return TF_E_NOLOCK;
    FakeRange* fakeRange = AsFakeRange(range);
    if (fakeRange == nullptr) return E_INVALIDARG;
    calls.push_back({PropertyCall::Kind::Clear, fakeRange->Position()});
    Forget(fakeRange->Position());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeProperty::GetType(GUID* guid) {
    if (guid == nullptr) return E_INVALIDARG;
    *guid = GUID_PROP_ATTRIBUTE;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE FakeProperty::EnumRanges(TfEditCookie, IEnumTfRanges**, ITfRange*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeProperty::GetValue(TfEditCookie, ITfRange*, VARIANT*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeProperty::GetContext(ITfContext**) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeProperty::FindRange(TfEditCookie, ITfRange*, ITfRange**, TfAnchor) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeProperty::SetValueStore(TfEditCookie, ITfRange*, ITfPropertyStore*) {
    return E_NOTIMPL;
}

void* FakeProperty::FindInterface(REFIID iid) noexcept {
    if (SameIid(iid, IID_IUnknown) || SameIid(iid, IID_ITfReadOnlyProperty) ||
        SameIid(iid, IID_ITfProperty)) {
        return static_cast<ITfProperty*>(this);
    }
    return nullptr;
}

FakeContextView::FakeContextView(FakeContext* owner) : context(owner) {}

HRESULT STDMETHODCALLTYPE FakeContextView::GetTextExt(TfEditCookie ec, ITfRange* range, RECT* rect,
                                                      WINBOOL* clipped) {
    if (context == nullptr) return E_UNEXPECTED;
    if (!context->CanRead(ec)) return TF_E_NOLOCK;
    if (AsFakeRange(range) == nullptr || rect == nullptr || clipped == nullptr) return E_INVALIDARG;
    if (FAILED(textExtentResult)) return textExtentResult;
    *rect = textExtent;
    *clipped = FALSE;
    return textExtentResult;
}

HRESULT STDMETHODCALLTYPE FakeContextView::GetWnd(HWND* hwnd) {
    if (hwnd == nullptr) return E_INVALIDARG;
    *hwnd = window;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeContextView::GetRangeFromPoint(TfEditCookie, const POINT*, DWORD,
                                                             ITfRange**) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeContextView::GetScreenExt(RECT*) { return E_NOTIMPL; }

void* FakeContextView::FindInterface(REFIID iid) noexcept {
    return OwnInterface(iid, IID_ITfContextView, static_cast<ITfContextView*>(this));
}

}  // namespace fake_tsf
