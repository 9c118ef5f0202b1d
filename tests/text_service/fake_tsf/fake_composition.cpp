#include "fake_tsf/fake_composition.h"

#include "fake_tsf/fake_context.h"

namespace fake_tsf {

FakeComposition::FakeComposition(FakeContext* owner, std::shared_ptr<Span> where,
                                 ITfCompositionSink* compositionSink)
    : context(owner), span(std::move(where)), sink(compositionSink) {}

void FakeComposition::MarkEnded(bool byApplication) {
    state = State::Ended;
    endedByApplication = byApplication;
    sink.Reset();
}

// The range stays readable while the sink hears that the application ends the
// composition, so it can still tidy the text up.
HRESULT STDMETHODCALLTYPE FakeComposition::GetRange(ITfRange** range) {
    if (range == nullptr) return E_INVALIDARG;
    *range = nullptr;
    if (context == nullptr || state == State::Ended) return E_UNEXPECTED;
    if (const HRESULT hr = context->Failing(&FailureSwitches::compositionGetRange); FAILED(hr)) {
        return hr;
    }
    *range = context->NewRange(span->start, span->end).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeComposition::EndComposition(TfEditCookie ec) {
    if (context == nullptr || state != State::Open) return E_UNEXPECTED;
    if (!context->CanWrite(ec)) return TF_E_NOLOCK;
    if (const HRESULT hr = context->Failing(&FailureSwitches::endComposition); FAILED(hr))
        return hr;
    ComPtr<FakeComposition> keep(this);
    MarkEnded(false);
    context->Forget(this);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeComposition::ShiftStart(TfEditCookie ec, ITfRange* start) {
    if (context == nullptr || state != State::Open) return E_UNEXPECTED;
    if (!context->CanWrite(ec)) return TF_E_NOLOCK;
    FakeRange* range = context->OwnRange(start);
    if (range == nullptr || range->Position().start > span->end) return E_INVALIDARG;
    span->start = range->Position().start;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeComposition::ShiftEnd(TfEditCookie ec, ITfRange* end) {
    if (context == nullptr || state != State::Open) return E_UNEXPECTED;
    if (!context->CanWrite(ec)) return TF_E_NOLOCK;
    FakeRange* range = context->OwnRange(end);
    if (range == nullptr || range->Position().end < span->start) return E_INVALIDARG;
    span->end = range->Position().end;
    return S_OK;
}

void* FakeComposition::FindInterface(REFIID iid) noexcept {
    return OwnInterface(iid, IID_ITfComposition, static_cast<ITfComposition*>(this));
}

HRESULT STDMETHODCALLTYPE FakeContext::StartComposition(TfEditCookie ec, ITfRange* range,
                                                        ITfCompositionSink* sink,
                                                        ITfComposition** out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = nullptr;
    if (!connected) return TF_E_DISCONNECTED;
    if (!CanWrite(ec)) return TF_E_NOLOCK;
    FakeRange* fakeRange = OwnRange(range);
    if (fakeRange == nullptr) return E_INVALIDARG;
    // The application's composition owner may reject it: success without a composition.
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

}  // namespace fake_tsf
