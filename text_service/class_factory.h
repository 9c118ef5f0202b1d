#pragma once
// The class object of CLSID_TextService: makes TextService objects for COM.

#include <unknwn.h>
#include <windows.h>

#include "com_object.h"

class Factory final : public ComObject<Factory, ModuleCount::Counted, IClassFactory> {
  public:
    Factory() noexcept = default;

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

    void* FindInterface(REFIID iid) noexcept;

  private:
    ~Factory() override = default;
};
