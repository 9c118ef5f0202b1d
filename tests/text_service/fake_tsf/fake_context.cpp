#include "fake_tsf/fake_context.h"

#include <algorithm>

#include "fake_tsf/fake_thread_mgr.h"

namespace fake_tsf {

std::wstring TextArgument(const WCHAR* text, LONG length) {
    if (text == nullptr) return {};
    if (length < 0) return std::wstring(text);
    return std::wstring(text, static_cast<std::size_t>(length));
}

FakeContext::FakeContext()
    : selection(buffer.Track(0, 0, Gravity::Selection)),
      attribute(Make<FakeProperty>(this)),
      view(Make<FakeContextView>(this)) {}

FakeContext::~FakeContext() {
    for (auto& composition : compositions) composition->Detach();
    attribute->Detach();
    view->Detach();
}

void FakeContext::SetDocument(const std::wstring& text, long caret) {
    auto all = buffer.Track(0, buffer.Length());
    ReplaceText(*all, text);
    selection->start = selection->end = buffer.Clamp(caret);
}

void FakeContext::ReplaceText(Span& span, const std::wstring& text) {
    const long start = buffer.Clamp(span.start);
    const long end = std::max(start, buffer.Clamp(span.end));
    buffer.Replace(span, text);
    attribute->TextReplaced(start, end, static_cast<long>(text.size()));
}

FakeRange* FakeContext::OwnRange(ITfRange* range) const {
    auto* fake = dynamic_cast<FakeRange*>(range);
    return fake != nullptr && fake->Context() == this ? fake : nullptr;
}

ComPtr<FakeRange> FakeContext::NewRange(long start, long end) {
    return Make<FakeRange>(this, buffer.Track(start, end));
}

void FakeContext::Forget(FakeComposition* composition) {
    std::erase_if(compositions, [composition](const ComPtr<FakeComposition>& c) {
        return c.Get() == composition;
    });
}

HRESULT STDMETHODCALLTYPE FakeContext::GetSelection(TfEditCookie ec, ULONG index, ULONG count,
                                                    TF_SELECTION* selections, ULONG* fetched) {
    if (fetched != nullptr) *fetched = 0;
    if (!CanRead(ec)) return TF_E_NOLOCK;
    if (selections == nullptr || fetched == nullptr) return E_INVALIDARG;
    if (index != 0 && index != static_cast<ULONG>(TF_DEFAULT_SELECTION)) return E_INVALIDARG;
    if (count == 0) return S_OK;
    if (!hasSelection) return TS_E_NOSELECTION;
    selections[0].range = NewRange(selection->start, selection->end).Detach();
    selections[0].style.ase = TF_AE_END;
    selections[0].style.fInterimChar = FALSE;
    *fetched = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeContext::SetSelection(TfEditCookie ec, ULONG count,
                                                    const TF_SELECTION* selections) {
    SelectionCall call;
    call.count = count;
    if (selections != nullptr && count > 0) {
        call.activeEnd = selections[0].style.ase;
        call.interimChar = selections[0].style.fInterimChar;
        if (FakeRange* range = OwnRange(selections[0].range)) call.range = range->Position();
    }
    if (!CanWrite(ec)) {
        call.result = TF_E_NOLOCK;
    } else if (FAILED(Failing(&FailureSwitches::setSelection))) {
        call.result = failures.setSelection;
    } else if (count == 0 || selections == nullptr || OwnRange(selections[0].range) == nullptr) {
        call.result = E_INVALIDARG;
    } else {
        const Span& where = OwnRange(selections[0].range)->Position();
        selection->start = buffer.Clamp(where.start);
        selection->end = std::max(selection->start, buffer.Clamp(where.end));
    }
    selectionCalls.push_back(call);
    return call.result;
}

HRESULT STDMETHODCALLTYPE FakeContext::GetStart(TfEditCookie ec, ITfRange** start) {
    if (start == nullptr) return E_INVALIDARG;
    *start = nullptr;
    if (!CanRead(ec)) return TF_E_NOLOCK;
    *start = NewRange(0, 0).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeContext::GetEnd(TfEditCookie ec, ITfRange** end) {
    if (end == nullptr) return E_INVALIDARG;
    *end = nullptr;
    if (!CanRead(ec)) return TF_E_NOLOCK;
    *end = NewRange(buffer.Length(), buffer.Length()).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeContext::GetActiveView(ITfContextView** out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = nullptr;
    if (!offerView) return E_FAIL;
    *out = view.Get();
    (*out)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeContext::EnumViews(IEnumTfContextViews**) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE FakeContext::GetStatus(TF_STATUS* status) {
    if (status == nullptr) return E_INVALIDARG;
    status->dwDynamicFlags = readOnly ? TF_SD_READONLY : 0;
    status->dwStaticFlags = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeContext::GetProperty(REFGUID guid, ITfProperty** out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = nullptr;
    if (!SameIid(guid, GUID_PROP_ATTRIBUTE)) return E_NOTIMPL;
    if (const HRESULT hr = Failing(&FailureSwitches::getProperty); FAILED(hr)) return hr;
    *out = attribute.Get();
    (*out)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeContext::GetAppProperty(REFGUID, ITfReadOnlyProperty**) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeContext::TrackProperties(const GUID**, ULONG, const GUID**, ULONG,
                                                       ITfReadOnlyProperty**) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeContext::EnumProperties(IEnumTfProperties**) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE FakeContext::GetDocumentMgr(ITfDocumentMgr** out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = documentMgr;
    if (*out == nullptr) return S_FALSE;
    (*out)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeContext::CreateRangeBackup(TfEditCookie, ITfRange*,
                                                         ITfRangeBackup**) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE FakeContext::InsertTextAtSelection(TfEditCookie ec, DWORD flags,
                                                             const WCHAR* text, LONG length,
                                                             ITfRange** range) {
    if (range != nullptr) *range = nullptr;
    constexpr DWORD known = TF_IAS_NOQUERY | TF_IAS_QUERYONLY | TF_IAS_NO_DEFAULT_COMPOSITION;
    const bool queryOnly = (flags & TF_IAS_QUERYONLY) != 0;
    const bool noQuery = (flags & TF_IAS_NOQUERY) != 0;
    if ((flags & ~known) != 0 || (queryOnly && noQuery)) return E_INVALIDARG;
    if (text == nullptr && length > 0) return E_INVALIDARG;
    if (!connected) return TF_E_DISCONNECTED;
    if (queryOnly) {
        // Read access is enough: nothing changes, the range is where the text would go.
        if (!CanRead(ec)) return TF_E_NOLOCK;
        if (range == nullptr) return E_INVALIDARG;
        if (!hasSelection) return TS_E_NOSELECTION;
        *range = NewRange(selection->start, selection->end).Detach();
        return S_OK;
    }
    if (!CanWrite(ec)) return TF_E_NOLOCK;
    if (readOnly) return TS_E_READONLY;
    if (!hasSelection) return TS_E_NOSELECTION;
    if (!noQuery && range == nullptr) return E_INVALIDARG;
    auto inserted = buffer.Track(selection->start, selection->end);
    ReplaceText(*inserted, TextArgument(text, length));
    selection->start = selection->end = caretBeforeInsertedText ? inserted->start : inserted->end;
    if (!noQuery) *range = Make<FakeRange>(this, inserted).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeContext::InsertEmbeddedAtSelection(TfEditCookie, DWORD, IDataObject*,
                                                                 ITfRange**) {
    return E_NOTIMPL;
}

void* FakeContext::FindInterface(REFIID iid) noexcept {
    if (SameIid(iid, IID_IUnknown) || SameIid(iid, IID_ITfContext)) {
        return static_cast<ITfContext*>(this);
    }
    if (offerInsertAtSelection && SameIid(iid, IID_ITfInsertAtSelection)) {
        return static_cast<ITfInsertAtSelection*>(this);
    }
    if (offerContextComposition && SameIid(iid, IID_ITfContextComposition)) {
        return static_cast<ITfContextComposition*>(this);
    }
    return nullptr;
}

}  // namespace fake_tsf
