#include "fake_tsf/edit_sessions.h"

namespace fake_tsf {

namespace {

// The fakes run on one thread, as TSF calls a service only on its own thread.
thread_local int keyDeliveryDepth = 0;
TfEditCookie lastCookie = 0;

}  // namespace

bool KeyBeingDelivered() noexcept { return keyDeliveryDepth > 0; }

KeyDeliveryScope::KeyDeliveryScope() noexcept { ++keyDeliveryDepth; }
KeyDeliveryScope::~KeyDeliveryScope() { --keyDeliveryDepth; }

TfEditCookie NewEditCookie() noexcept { return ++lastCookie; }

}  // namespace fake_tsf
