#include "class_factory.h"

#include "dll_globals.h"
#include "text_service.h"

HRESULT STDMETHODCALLTYPE Factory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    TextService* service = NewComObject<TextService>();
    if (service == nullptr) return E_OUTOFMEMORY;
    return HandOver(service, iid, out);
}

HRESULT STDMETHODCALLTYPE Factory::LockServer(BOOL lock) {
    // Callers balance the two; an unbalanced unlock is theirs to answer for.
    if (lock) {
        DllLockCount.fetch_add(1);
    } else {
        DllLockCount.fetch_sub(1);
    }
    return S_OK;
}

void* Factory::FindInterface(REFIID iid) noexcept {
    return OwnInterface(iid, IID_IClassFactory, static_cast<IClassFactory*>(this));
}
