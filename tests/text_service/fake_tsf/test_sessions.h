#pragma once
// Small COM objects tests hand to the fake: an edit session that runs a function (and a
// way to run one at once), and a composition sink that counts what it hears.

#include <msctf.h>
#include <windows.h>

#include <functional>
#include <utility>

#include "com_object.h"
#include "com_ptr.h"
#include "fake_tsf/fake_context.h"

namespace fake_tsf {

class FunctionSession final
    : public ComObject<FunctionSession, ModuleCount::NotCounted, ITfEditSession> {
  public:
    explicit FunctionSession(std::function<HRESULT(TfEditCookie)> run) : body(std::move(run)) {}

    HRESULT STDMETHODCALLTYPE DoEditSession(TfEditCookie ec) override {
        ++runs;
        lastCookie = ec;
        return body(ec);
    }
    void* FindInterface(REFIID iid) noexcept {
        return OwnInterface(iid, IID_ITfEditSession, static_cast<ITfEditSession*>(this));
    }

    int runs = 0;
    TfEditCookie lastCookie = 0;

  private:
    ~FunctionSession() override = default;
    std::function<HRESULT(TfEditCookie)> body;
};

inline ComPtr<FunctionSession> Session(std::function<HRESULT(TfEditCookie)> run) {
    return Make<FunctionSession>(std::move(run));
}

// Runs `body` inside a session the context grants at once, as during a key; the result
// is the call's failure or else the session's.
inline HRESULT InSession(FakeContext* context, TfClientId client, DWORD flags,
                         std::function<HRESULT(TfEditCookie)> body) {
    KeyDeliveryScope key;
    auto session = Session(std::move(body));
    HRESULT result = E_FAIL;
    const HRESULT call = context->RequestEditSession(client, session.Get(), flags, &result);
    return FAILED(call) ? call : result;
}

inline ComPtr<ITfRange> RangeOf(FakeContext* context, long start, long end) {
    return ComPtr<ITfRange>(context->NewRange(start, end).Get());
}

class CountingCompositionSink final
    : public ComObject<CountingCompositionSink, ModuleCount::NotCounted, ITfCompositionSink> {
  public:
    CountingCompositionSink() = default;

    HRESULT STDMETHODCALLTYPE OnCompositionTerminated(TfEditCookie ec,
                                                      ITfComposition* composition) override {
        ++terminated;
        cookie = ec;
        if (whenTerminated) whenTerminated(ec, composition);
        return S_OK;
    }
    void* FindInterface(REFIID iid) noexcept {
        return OwnInterface(iid, IID_ITfCompositionSink, static_cast<ITfCompositionSink*>(this));
    }

    int terminated = 0;
    TfEditCookie cookie = 0;
    std::function<void(TfEditCookie, ITfComposition*)> whenTerminated;

  private:
    ~CountingCompositionSink() override = default;
};

}  // namespace fake_tsf
