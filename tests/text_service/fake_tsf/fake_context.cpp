#include "fake_tsf/fake_context.h"

#include <algorithm>

namespace fake_tsf {

std::wstring TextArgument(const WCHAR* text, LONG length) {
    if (text == nullptr) return {};
    if (length < 0) return std::wstring(text);
    return std::wstring(text, static_cast<std::size_t>(length));
}

FakeContext::FakeContext()
    : selection(buffer.Track(0, 0, true)),
      attribute(Make<FakeProperty>(this)),
      view(Make<FakeContextView>(this)) {}

FakeContext::~FakeContext() {
    for (auto& composition : compositions) composition->Detach();
    attribute->Detach();
    view->Detach();
}

void FakeContext::SetDocument(const std::wstring& text, long caret) {
    auto all = buffer.Track(0, static_cast<long>(buffer.Text().size()));
    buffer.Replace(*all, text);
    selection->start = selection->end = std::clamp(caret, 0L, static_cast<long>(text.size()));
}

HRESULT FakeContext::RunSession(ITfEditSession* session, DWORD flags) {
    // Each session gets its own cookie, valid only while it runs.
    const TfEditCookie outerCookie = cookie;
    const bool outerWritable = writable;
    cookie = ++lastCookie;
    writable = (flags & TF_ES_READWRITE) == TF_ES_READWRITE;
    const HRESULT hr = session->DoEditSession(cookie);
    cookie = outerCookie;
    writable = outerWritable;
    return hr;
}

HRESULT STDMETHODCALLTYPE FakeContext::RequestEditSession(TfClientId id, ITfEditSession* session,
                                                          DWORD flags, HRESULT* sessionResult) {
    HRESULT hr = S_OK;
    if (session == nullptr || sessionResult == nullptr) {
        hr = E_INVALIDARG;
    } else if ((flags & TF_ES_SYNC) != 0 && refuseSynchronous) {
        hr = TF_E_SYNCHRONOUS;
    } else if ((flags & TF_ES_ASYNC) != 0) {
        pending.push_back({ComPtr<ITfEditSession>(session), flags});
        *sessionResult = TF_S_ASYNC;
    } else {
        *sessionResult = RunSession(session, flags);
    }
    requests.push_back({id, flags, hr});
    return hr;
}

void FakeContext::RunPendingSessions() {
    while (!pending.empty()) {
        Pending next = std::move(pending.front());
        pending.pop_front();
        RunSession(next.session.Get(), next.flags);
    }
}

void FakeContext::TerminateComposition() {
    if (compositions.empty()) return;
    ComPtr<FakeComposition> composition = compositions.back();
    compositions.pop_back();
    cookie = ++lastCookie;
    writable = true;
    if (composition->Sink() != nullptr) {
        composition->Sink()->OnCompositionTerminated(cookie, composition.Get());
    }
    cookie = 0;
    writable = false;
}

void FakeContext::Forget(FakeComposition* composition) {
    std::erase_if(compositions, [composition](const ComPtr<FakeComposition>& c) {
        return c.Get() == composition;
    });
}

ComPtr<ITfRange> FakeContext::NewRange(long start, long end) {
    return ComPtr<ITfRange>::Attach(new FakeRange(this, buffer.Track(start, end)));
}

HRESULT STDMETHODCALLTYPE FakeContext::InWriteSession(TfClientId, WINBOOL*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE FakeContext::GetSelection(TfEditCookie, ULONG, ULONG, TF_SELECTION*,
                                                    ULONG*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE FakeContext::SetSelection(TfEditCookie ec, ULONG count,
                                                    const TF_SELECTION* selections) {
    if (!CanWrite(ec)) return TF_E_NOLOCK;
    if (count == 0 || selections == nullptr) return E_INVALIDARG;
    FakeRange* range = AsFakeRange(selections[0].range);
    if (range == nullptr) return E_INVALIDARG;
    selection->start = range->Position().start;
    selection->end = range->Position().end;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeContext::GetStart(TfEditCookie, ITfRange**) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeContext::GetEnd(TfEditCookie, ITfRange**) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE FakeContext::GetActiveView(ITfContextView** out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = nullptr;
    if (!offerView) return E_FAIL;
    *out = view.Get();
    (*out)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeContext::EnumViews(IEnumTfContextViews**) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeContext::GetStatus(TF_STATUS*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE FakeContext::GetProperty(REFGUID guid, ITfProperty** out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = nullptr;
    if (!SameIid(guid, GUID_PROP_ATTRIBUTE)) return E_NOTIMPL;
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
HRESULT STDMETHODCALLTYPE FakeContext::GetDocumentMgr(ITfDocumentMgr**) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeContext::CreateRangeBackup(TfEditCookie, ITfRange*,
                                                         ITfRangeBackup**) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE FakeContext::InsertTextAtSelection(TfEditCookie ec, DWORD flags,
                                                             const WCHAR* text, LONG length,
                                                             ITfRange** range) {
    if (range != nullptr) *range = nullptr;
    if ((flags & TF_IAS_QUERYONLY) != 0) {
        if (!CanRead(ec)) return TF_E_NOLOCK;
        if (range == nullptr) return E_INVALIDARG;
        *range = NewRange(selection->start, selection->end).Detach();
        return S_OK;
    }
    if (!CanWrite(ec)) return TF_E_NOLOCK;
    auto inserted = buffer.Track(selection->start, selection->end);
    buffer.Replace(*inserted, TextArgument(text, length));
    selection->start = selection->end = inserted->end;
    if (range != nullptr && (flags & TF_IAS_NOQUERY) == 0) {
        *range = ComPtr<ITfRange>::Attach(new FakeRange(this, inserted)).Detach();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeContext::InsertEmbeddedAtSelection(TfEditCookie, DWORD,
                                                                 IDataObject*, ITfRange**) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE FakeContext::StartComposition(TfEditCookie ec, ITfRange* range,
                                                        ITfCompositionSink* sink,
                                                        ITfComposition** out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = nullptr;
    if (!CanWrite(ec)) return TF_E_NOLOCK;
    FakeRange* fakeRange = AsFakeRange(range);
    if (fakeRange == nullptr) return E_INVALIDARG;
    if (refuseComposition) return S_OK;
    const Span& where = fakeRange->Position();
    auto composition = Make<FakeComposition>(this, buffer.Track(where.start, where.end), sink);
    compositions.push_back(composition);
    *out = composition.Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeContext::EnumCompositions(IEnumITfCompositionView**) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeContext::FindComposition(TfEditCookie, ITfRange*,
                                                       IEnumITfCompositionView**) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeContext::TakeOwnership(TfEditCookie, ITfCompositionView*,
                                                     ITfCompositionSink*, ITfComposition**) {
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
