#pragma once
// Owning interface pointer: releases on reset and destruction, never throws.

#include <unknwn.h>

#include <utility>

template <typename T>
class ComPtr {
  public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes a new reference on `p`.
    explicit ComPtr(T* p) noexcept : ptr(p) {
        if (ptr) ptr->AddRef();
    }
    ComPtr(const ComPtr& other) noexcept : ComPtr(other.ptr) {}
    ComPtr(ComPtr&& other) noexcept : ptr(std::exchange(other.ptr, nullptr)) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other) noexcept {
        ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr(std::move(other)).Swap(*this);
        return *this;
    }
    ComPtr& operator=(std::nullptr_t) noexcept {
        Reset();
        return *this;
    }

    // Adopts a reference the caller already owns (no AddRef).
    static ComPtr Attach(T* p) noexcept {
        ComPtr result;
        result.ptr = p;
        return result;
    }
    T* Detach() noexcept { return std::exchange(ptr, nullptr); }

    void Reset() noexcept {
        if (T* old = std::exchange(ptr, nullptr)) old->Release();
    }
    void Swap(ComPtr& other) noexcept { std::swap(ptr, other.ptr); }

    T* Get() const noexcept { return ptr; }
    T* operator->() const noexcept { return ptr; }
    explicit operator bool() const noexcept { return ptr != nullptr; }

    // For out-parameters: releases what is held, then hands out the slot.
    T** Put() noexcept {
        Reset();
        return &ptr;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

    // QueryInterface into another smart pointer.
    template <typename U>
    HRESULT As(REFIID iid, ComPtr<U>& out) const noexcept {
        if (!ptr) return E_POINTER;
        return ptr->QueryInterface(iid, out.PutVoid());
    }

  private:
    T* ptr = nullptr;
};
