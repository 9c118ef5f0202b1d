#pragma once
// Edit sessions as TSF grants them: who may have a synchronous session, what a request
// answers, and the log a test reads to see which sessions a service asked for.

#include <msctf.h>
#include <windows.h>

#include <cstddef>

#include "fake_tsf/hresults.h"

namespace fake_tsf {

// When a synchronous session that is not nested in a running one is granted.
enum class SyncGrant {
    WhileKeyDelivered,  // as Windows: only while the keystroke manager delivers a key
    Always,             // a lenient document, for tests that need sessions at other times
    Never,              // a document that refuses every synchronous session
};

// True while the fake keystroke manager is inside one of its key calls on this thread.
bool KeyBeingDelivered() noexcept;

// Marks the span of one key call of the keystroke manager.
class KeyDeliveryScope {
  public:
    KeyDeliveryScope() noexcept;
    ~KeyDeliveryScope();
    KeyDeliveryScope(const KeyDeliveryScope&) = delete;
    KeyDeliveryScope& operator=(const KeyDeliveryScope&) = delete;
};

// A fresh edit cookie, unique across every fake context of the process.
TfEditCookie NewEditCookie() noexcept;

// One RequestEditSession call as the fake answered it.
struct SessionRecord {
    TfClientId clientId = 0;
    DWORD flags = 0;
    HRESULT callResult = S_OK;     // what RequestEditSession returned
    HRESULT sessionResult = S_OK;  // what it stored in the session result (unset: E_PENDING)
    bool duringKey = false;        // requested while a key was being delivered
    bool nested = false;           // requested inside a running session of the same context
    bool queued = false;           // put in the queue to run later (TF_S_ASYNC)
    bool ran = false;              // DoEditSession ran, now or later
    HRESULT doResult = E_PENDING;  // what DoEditSession returned when it ran
};

}  // namespace fake_tsf
