// The library's entry point and the two exports through which COM reaches it.

#include <windows.h>

#include "class_factory.h"
#include "com_object.h"
#include "dll_globals.h"
#include "identifiers.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    // The loader lock is held here: store the handle and do nothing else.
    if (reason == DLL_PROCESS_ATTACH) {
        DllModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!SameIid(clsid, CLSID_TextService)) return CLASS_E_CLASSNOTAVAILABLE;
    Factory* factory = NewComObject<Factory>();
    if (factory == nullptr) return E_OUTOFMEMORY;
    return HandOver(factory, iid, out);
}

STDAPI DllCanUnloadNow() {
    return DllObjectCount.load() != 0 || DllLockCount.load() != 0 ? S_FALSE : S_OK;
}
