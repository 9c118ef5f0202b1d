#include "fake_tsf/fake_range.h"

#include <algorithm>

#include "fake_tsf/fake_context.h"

namespace fake_tsf {

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

HRESULT STDMETHODCALLTYPE FakeRange::SetText(TfEditCookie ec, DWORD flags, const WCHAR* text,
                                             LONG length) {
    if (!context->CanWrite(ec)) return TF_E_NOLOCK;
    if ((flags & ~static_cast<DWORD>(TF_ST_CORRECTION)) != 0) return E_INVALIDARG;
    if (text == nullptr && length != 0) return E_INVALIDARG;
    if (context->readOnly) return TS_E_READONLY;
    if (const HRESULT hr = context->Failing(&FailureSwitches::rangeSetText); FAILED(hr)) return hr;
    context->ReplaceText(*span, TextArgument(text, length));
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
    } else if (anchor == TF_ANCHOR_END) {
        span->start = span->end;
    } else {
        return E_INVALIDARG;
    }
    return S_OK;
}

// Positions are clamped to the text; `shifted` tells how far the anchor really went.
HRESULT STDMETHODCALLTYPE FakeRange::ShiftStart(TfEditCookie ec, LONG count, LONG* shifted,
                                                const TF_HALTCOND*) {
    if (!context->CanRead(ec)) return TF_E_NOLOCK;
    if (shifted == nullptr) return E_INVALIDARG;
    const long target = context->Buffer().Clamp(span->start + count);
    *shifted = target - span->start;
    span->start = target;
    span->end = std::max(span->end, target);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeRange::ShiftEnd(TfEditCookie ec, LONG count, LONG* shifted,
                                              const TF_HALTCOND*) {
    if (!context->CanRead(ec)) return TF_E_NOLOCK;
    if (shifted == nullptr) return E_INVALIDARG;
    const long target = context->Buffer().Clamp(span->end + count);
    *shifted = target - span->end;
    span->end = target;
    span->start = std::min(span->start, target);
    return S_OK;
}

HRESULT FakeRange::OtherAnchor(TfEditCookie ec, ITfRange* with, TfAnchor anchor,
                               long* position) const {
    if (!context->CanRead(ec)) return TF_E_NOLOCK;
    FakeRange* other = context->OwnRange(with);  // a range of another context is refused
    if (other == nullptr) return E_INVALIDARG;
    if (anchor == TF_ANCHOR_START) {
        *position = other->span->start;
    } else if (anchor == TF_ANCHOR_END) {
        *position = other->span->end;
    } else {
        return E_INVALIDARG;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeRange::ShiftStartToRange(TfEditCookie ec, ITfRange* with,
                                                       TfAnchor anchor) {
    long position = 0;
    const HRESULT hr = OtherAnchor(ec, with, anchor, &position);
    if (FAILED(hr)) return hr;
    span->start = position;
    span->end = std::max(span->end, position);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeRange::ShiftEndToRange(TfEditCookie ec, ITfRange* with,
                                                     TfAnchor anchor) {
    long position = 0;
    const HRESULT hr = OtherAnchor(ec, with, anchor, &position);
    if (FAILED(hr)) return hr;
    span->end = position;
    span->start = std::min(span->start, position);
    return S_OK;
}

HRESULT FakeRange::Compare(TfEditCookie ec, long own, ITfRange* with, TfAnchor anchor,
                           LONG* result) const {
    if (result == nullptr) return E_INVALIDARG;
    long position = 0;
    const HRESULT hr = OtherAnchor(ec, with, anchor, &position);
    if (FAILED(hr)) return hr;
    *result = own < position ? -1 : (own > position ? 1 : 0);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeRange::CompareStart(TfEditCookie ec, ITfRange* with, TfAnchor anchor,
                                                  LONG* result) {
    return Compare(ec, span->start, with, anchor, result);
}

HRESULT STDMETHODCALLTYPE FakeRange::CompareEnd(TfEditCookie ec, ITfRange* with, TfAnchor anchor,
                                                LONG* result) {
    return Compare(ec, span->end, with, anchor, result);
}

HRESULT STDMETHODCALLTYPE FakeRange::IsEqualStart(TfEditCookie ec, ITfRange* with, TfAnchor anchor,
                                                  WINBOOL* equal) {
    if (equal == nullptr) return E_INVALIDARG;
    LONG order = 0;
    const HRESULT hr = Compare(ec, span->start, with, anchor, &order);
    *equal = SUCCEEDED(hr) && order == 0;
    return hr;
}

HRESULT STDMETHODCALLTYPE FakeRange::IsEqualEnd(TfEditCookie ec, ITfRange* with, TfAnchor anchor,
                                                WINBOOL* equal) {
    if (equal == nullptr) return E_INVALIDARG;
    LONG order = 0;
    const HRESULT hr = Compare(ec, span->end, with, anchor, &order);
    *equal = SUCCEEDED(hr) && order == 0;
    return hr;
}

HRESULT STDMETHODCALLTYPE FakeRange::Clone(ITfRange** clone) {
    if (clone == nullptr) return E_INVALIDARG;
    *clone = context->NewRange(span->start, span->end).Detach();
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
HRESULT STDMETHODCALLTYPE FakeRange::ShiftStartRegion(TfEditCookie, TfShiftDir, WINBOOL*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeRange::ShiftEndRegion(TfEditCookie, TfShiftDir, WINBOOL*) {
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

}  // namespace fake_tsf
