#include "fake_tsf/fake_context.h"

namespace fake_tsf {

FakeRange* AsFakeRange(ITfRange* range) { return dynamic_cast<FakeRange*>(range); }

FakeRange::FakeRange(FakeContext* owner, std::shared_ptr<Span> where)
    : context(owner), span(std::move(where)) {}

FakeRange::~FakeRange() = default;

HRESULT STDMETHODCALLTYPE FakeRange::GetText(TfEditCookie ec, DWORD, WCHAR* text, ULONG max,
                                             ULONG* length) {
    if (!context->CanRead(ec)) return TF_E_NOLOCK;
    if (length == nullptr || (text == nullptr && max != 0)) return E_INVALIDARG;
    const std::wstring content = context->Buffer().TextOf(*span);
    const ULONG copied = std::min<ULONG>(max, static_cast<ULONG>(content.size()));
    content.copy(text, copied);
    *length = copied;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeRange::SetText(TfEditCookie ec, DWORD, const WCHAR* text,
                                             LONG length) {
    if (!context->CanWrite(ec)) return TF_E_NOLOCK;
    context->Buffer().Replace(*span, TextArgument(text, length));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeRange::IsEmpty(TfEditCookie ec, WINBOOL* empty) {
    if (!context->CanRead(ec)) return TF_E_NOLOCK;
    if (empty == nullptr) return E_INVALIDARG;
    *empty = span->start == span->end;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeRange::Collapse(TfEditCookie ec, TfAnchor anchor) {
    if (!context->CanRead(ec)) return TF_E_NOLOCK;
    if (anchor == TF_ANCHOR_START) {
        span->end = span->start;
    } else {
        span->start = span->end;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeRange::Clone(ITfRange** clone) {
    if (clone == nullptr) return E_INVALIDARG;
    *clone = new FakeRange(context.Get(), context->Buffer().Track(span->start, span->end));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeRange::GetContext(ITfContext** out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = context.Get();
    (*out)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeRange::GetFormattedText(TfEditCookie, IDataObject**) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeRange::GetEmbedded(TfEditCookie, REFGUID, REFIID, IUnknown**) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeRange::InsertEmbedded(TfEditCookie, DWORD, IDataObject*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeRange::ShiftStart(TfEditCookie, LONG, LONG*, const TF_HALTCOND*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeRange::ShiftEnd(TfEditCookie, LONG, LONG*, const TF_HALTCOND*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeRange::ShiftStartToRange(TfEditCookie, ITfRange*, TfAnchor) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeRange::ShiftEndToRange(TfEditCookie, ITfRange*, TfAnchor) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeRange::ShiftStartRegion(TfEditCookie, TfShiftDir, WINBOOL*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeRange::ShiftEndRegion(TfEditCookie, TfShiftDir, WINBOOL*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeRange::IsEqualStart(TfEditCookie, ITfRange*, TfAnchor, WINBOOL*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeRange::IsEqualEnd(TfEditCookie, ITfRange*, TfAnchor, WINBOOL*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeRange::CompareStart(TfEditCookie, ITfRange*, TfAnchor, LONG*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeRange::CompareEnd(TfEditCookie, ITfRange*, TfAnchor, LONG*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeRange::AdjustForInsert(TfEditCookie, ULONG, WINBOOL*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeRange::GetGravity(TfGravity*, TfGravity*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeRange::SetGravity(TfEditCookie, TfGravity, TfGravity) {
    return E_NOTIMPL;
}

void* FakeRange::FindInterface(REFIID iid) noexcept {
    return OwnInterface(iid, IID_ITfRange, static_cast<ITfRange*>(this));
}

FakeComposition::FakeComposition(FakeContext* owner, std::shared_ptr<Span> where,
                                 ITfCompositionSink* compositionSink)
    : context(owner), span(std::move(where)), sink(compositionSink) {}

HRESULT STDMETHODCALLTYPE FakeComposition::GetRange(ITfRange** range) {
    if (range == nullptr) return E_INVALIDARG;
    *range = nullptr;
    if (context == nullptr || ended) return E_UNEXPECTED;
    *range = new FakeRange(context, context->Buffer().Track(span->start, span->end));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeComposition::EndComposition(TfEditCookie ec) {
    if (context == nullptr || ended) return E_UNEXPECTED;
    if (!context->CanWrite(ec)) return TF_E_NOLOCK;
    ended = true;
    sink.Reset();
    context->Forget(this);  // may release the context's reference on this object
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeComposition::ShiftStart(TfEditCookie, ITfRange*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeComposition::ShiftEnd(TfEditCookie, ITfRange*) { return E_NOTIMPL; }

void* FakeComposition::FindInterface(REFIID iid) noexcept {
    return OwnInterface(iid, IID_ITfComposition, static_cast<ITfComposition*>(this));
}

}  // namespace fake_tsf
