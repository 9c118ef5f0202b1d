#pragma once
// Reference counting and QueryInterface, written once for every COM class of the
// library. A class derives from ComObject<Self, policy, Interfaces...> and supplies
//     void* FindInterface(REFIID iid) noexcept;
// which returns the interface pointer for `iid` (IID_IUnknown included) or null.

#include <unknwn.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <new>
#include <utility>

#include "dll_globals.h"

// Whether a live object keeps the library loaded through DllObjectCount.
enum class ModuleCount { Counted, NotCounted };

template <typename Derived, ModuleCount Policy, typename... Interfaces>
class ComObject : public Interfaces... {
  public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        *out = static_cast<Derived*>(this)->FindInterface(iid);
        if (*out == nullptr) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return refCount.fetch_add(1) + 1; }

    ULONG STDMETHODCALLTYPE Release() override {
        // The decision uses the value this decrement produced, never a second read.
        const ULONG remaining = refCount.fetch_sub(1) - 1;
        if (remaining == 0) delete this;
        return remaining;
    }

  protected:
    // The creator owns the first reference.
    ComObject() noexcept {
        if constexpr (Policy == ModuleCount::Counted) DllObjectCount.fetch_add(1);
    }
    virtual ~ComObject() {
        if constexpr (Policy == ModuleCount::Counted) DllObjectCount.fetch_sub(1);
    }

  private:
    std::atomic<ULONG> refCount{1};
};

// Allocates a COM object without letting an exception escape: null when either the
// memory or the construction fails.
template <typename T, typename... Args>
T* NewComObject(Args&&... args) noexcept {
    try {
        return new (std::nothrow) T(std::forward<Args>(args)...);
    } catch (...) {
        return nullptr;
    }
}

// Hands a new object to a caller who names the interface: the object survives exactly
// when the caller got a reference from QueryInterface.
template <typename T>
HRESULT HandOver(T* object, REFIID iid, void** out) noexcept {
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

// Gives a new object to the caller with its construction reference, no QueryInterface.
template <typename Interface, typename T>
HRESULT HandOutNew(T* object, Interface** out) noexcept {
    *out = object;
    return object != nullptr ? S_OK : E_OUTOFMEMORY;
}

// Interface identifiers are equal when their 16 bytes are.
inline bool SameIid(REFIID a, REFIID b) noexcept { return std::memcmp(&a, &b, sizeof(IID)) == 0; }

// FindInterface of a class with one interface besides IUnknown.
template <typename Interface>
void* OwnInterface(REFIID iid, REFIID own, Interface* self) noexcept {
    return SameIid(iid, IID_IUnknown) || SameIid(iid, own) ? static_cast<void*>(self) : nullptr;
}
