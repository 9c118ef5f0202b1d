#pragma once
// A composition of the fake document. It covers a span of the text that grows with text
// written into it; once ended, by the service or by the application, it is dead: its
// sink is released and every later call on it fails.

#include <msctf.h>
#include <windows.h>

#include <memory>

#include "com_object.h"
#include "com_ptr.h"
#include "fake_tsf/text_buffer.h"

namespace fake_tsf {

class FakeContext;

class FakeComposition final
    : public ComObject<FakeComposition, ModuleCount::NotCounted, ITfComposition> {
  public:
    FakeComposition(FakeContext* context, std::shared_ptr<Span> span, ITfCompositionSink* sink);

    enum class State { Open, Terminating, Ended };

    State CurrentState() const { return state; }
    bool Ended() const { return state == State::Ended; }
    bool EndedByApplication() const { return endedByApplication; }
    const Span& Position() const { return *span; }
    ITfCompositionSink* Sink() const { return sink.Get(); }

    // --- What the context uses ---
    void BeginTermination() { state = State::Terminating; }
    void MarkEnded(bool byApplication);
    void Detach() { context = nullptr; }
    // The application's own edit moved the composition's edges.
    void MoveTo(long start, long end) {
        span->start = start;
        span->end = end;
    }

    HRESULT STDMETHODCALLTYPE GetRange(ITfRange** range) override;
    HRESULT STDMETHODCALLTYPE ShiftStart(TfEditCookie ec, ITfRange* start) override;
    HRESULT STDMETHODCALLTYPE ShiftEnd(TfEditCookie ec, ITfRange* end) override;
    HRESULT STDMETHODCALLTYPE EndComposition(TfEditCookie ec) override;

    void* FindInterface(REFIID iid) noexcept;

  private:
    ~FakeComposition() override = default;

    FakeContext* context;  // the context holds the composition, not the other way round
    std::shared_ptr<Span> span;
    ComPtr<ITfCompositionSink> sink;
    State state = State::Open;
    bool endedByApplication = false;
};

}  // namespace fake_tsf
