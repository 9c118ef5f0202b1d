// How the fake context grants edit sessions, as Microsoft documents TSF's:
// RequestEditSession's own result is S_OK or a call error (E_INVALIDARG, TF_E_LOCKED,
// TF_E_DISCONNECTED); the session's outcome goes to the session result: TF_S_ASYNC when
// queued, TF_E_SYNCHRONOUS when a synchronous session cannot be granted, TS_E_READONLY
// for a write request on a read-only document, else what DoEditSession returned.

#include <algorithm>

#include "fake_tsf/fake_context.h"

namespace fake_tsf {

namespace {

constexpr DWORD KnownFlags = TF_ES_SYNC | TF_ES_READWRITE | TF_ES_ASYNC;

bool ValidFlags(DWORD flags) {
    if ((flags & ~KnownFlags) != 0) return false;
    if ((flags & TF_ES_READ) == 0) return false;
    return (flags & (TF_ES_SYNC | TF_ES_ASYNC)) != (TF_ES_SYNC | TF_ES_ASYNC);
}

bool WantsWrite(DWORD flags) { return (flags & TF_ES_READWRITE) == TF_ES_READWRITE; }

}  // namespace

bool FakeContext::SynchronousGranted(bool nested) const {
    if (nested) return true;  // the lock is held already
    switch (syncGrant) {
        case SyncGrant::Always:
            return true;
        case SyncGrant::Never:
            return false;
        case SyncGrant::WhileKeyDelivered:
            break;
    }
    return KeyBeingDelivered();
}

HRESULT FakeContext::RunSession(ITfEditSession* session, TfClientId id, DWORD flags) {
    const TfEditCookie outerCookie = cookie;
    const bool outerWritable = writable;
    const TfClientId outerClient = runningClient;
    cookie = NewEditCookie();
    writable = WantsWrite(flags);
    runningClient = id;
    const HRESULT hr = session->DoEditSession(cookie);
    cookie = outerCookie;
    writable = outerWritable;
    runningClient = outerClient;
    return hr;
}

HRESULT STDMETHODCALLTYPE FakeContext::RequestEditSession(TfClientId id, ITfEditSession* session,
                                                          DWORD flags, HRESULT* sessionResult) {
    SessionRecord record;
    record.clientId = id;
    record.flags = flags;
    record.sessionResult = E_PENDING;
    record.duringKey = KeyBeingDelivered();
    record.nested = SessionRunning();
    const auto finish = [&](HRESULT callResult) {
        record.callResult = callResult;
        sessionLog.push_back(record);
        return callResult;
    };
    if (session == nullptr || sessionResult == nullptr || !ValidFlags(flags)) {
        return finish(E_INVALIDARG);
    }
    if (!connected) return finish(TF_E_DISCONNECTED);
    // Client 0 is the application's own lock (a composition being ended), which lets
    // the service in.
    if (SessionRunning() && runningClient != 0 && runningClient != id) {
        return finish(TF_E_LOCKED);
    }
    if (WantsWrite(flags) && readOnly) {
        record.sessionResult = *sessionResult = TS_E_READONLY;
        return finish(S_OK);
    }
    const bool nested = SessionRunning();
    const bool sync = (flags & TF_ES_SYNC) != 0;
    const bool async = (flags & TF_ES_ASYNC) != 0;
    // A read-only lock cannot be raised to a write lock while it is held.
    const bool upgrade = nested && !writable && WantsWrite(flags);
    const bool runNow = !async && !upgrade && SynchronousGranted(nested);
    if (sync && !runNow) {
        record.sessionResult = *sessionResult = TF_E_SYNCHRONOUS;
        return finish(S_OK);
    }
    if (!runNow) {
        pending.push_back({ComPtr<ITfEditSession>(session), id, flags, sessionLog.size()});
        record.queued = true;
        record.sessionResult = *sessionResult = TF_S_ASYNC;
        return finish(S_OK);
    }
    // Logged before it runs, so sessions it requests come after it in the log.
    const std::size_t index = sessionLog.size();
    finish(S_OK);
    const HRESULT hr = RunSession(session, id, flags);
    sessionLog[index].ran = true;
    sessionLog[index].doResult = hr;
    sessionLog[index].sessionResult = *sessionResult = hr;
    return S_OK;
}

void FakeContext::RunPendingSessions() {
    if (SessionRunning() || holdQueue) return;
    while (!pending.empty() && !holdQueue) {
        Pending next = std::move(pending.front());
        pending.pop_front();
        if (WantsWrite(next.flags) && readOnly) {
            sessionLog[next.record].doResult = TS_E_READONLY;
            continue;
        }
        const HRESULT hr = RunSession(next.session.Get(), next.clientId, next.flags);
        sessionLog[next.record].ran = true;
        sessionLog[next.record].doResult = hr;
    }
}

HRESULT STDMETHODCALLTYPE FakeContext::InWriteSession(TfClientId id, WINBOOL* writing) {
    if (writing == nullptr) return E_INVALIDARG;
    *writing = SessionRunning() && writable && runningClient == id;
    return S_OK;
}

HRESULT FakeContext::TerminateComposition(FakeComposition* which) {
    if (SessionRunning()) return TF_E_LOCKED;
    const auto found =
        which == nullptr ? (compositions.empty() ? compositions.end() : compositions.end() - 1)
                         : std::find_if(compositions.begin(), compositions.end(),
                                        [which](const auto& open) { return open.Get() == which; });
    if (found == compositions.end()) return S_FALSE;
    ComPtr<FakeComposition> composition = *found;
    compositions.erase(found);
    composition->BeginTermination();
    // TSF hands the sink a write cookie of its own lock on the document.
    cookie = NewEditCookie();
    writable = true;
    runningClient = 0;
    if (ITfCompositionSink* sink = composition->Sink()) {
        ComPtr<ITfCompositionSink> keep(sink);
        keep->OnCompositionTerminated(cookie, composition.Get());
    }
    cookie = 0;
    writable = false;
    composition->MarkEnded(true);
    return S_OK;
}

}  // namespace fake_tsf
