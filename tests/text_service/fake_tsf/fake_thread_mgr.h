#pragma once
// The thread manager (with its keystroke manager on the same object) and a document
// manager, standing in for TSF's. Keys given to the keystroke manager reach the advised
// sink as TSF passes them: the test call first, then the key itself when it is wanted.

#include <windows.h>
#include <msctf.h>

#include <vector>

#include "com_object.h"
#include "com_ptr.h"
#include "fake_tsf/fake_context.h"

namespace fake_tsf {

class FakeDocumentMgr final
    : public ComObject<FakeDocumentMgr, ModuleCount::NotCounted, ITfDocumentMgr> {
public:
    FakeDocumentMgr() = default;

    ComPtr<FakeContext> top;  // may be null

    HRESULT STDMETHODCALLTYPE CreateContext(TfClientId, DWORD, IUnknown*, ITfContext**,
                                            TfEditCookie*) override;
    HRESULT STDMETHODCALLTYPE Push(ITfContext*) override;
    HRESULT STDMETHODCALLTYPE Pop(DWORD) override;
    HRESULT STDMETHODCALLTYPE GetTop(ITfContext** out) override;
    HRESULT STDMETHODCALLTYPE GetBase(ITfContext**) override;
    HRESULT STDMETHODCALLTYPE EnumContexts(IEnumTfContexts**) override;

    void* FindInterface(REFIID iid) noexcept;

private:
    ~FakeDocumentMgr() override = default;
};

struct AdviseCall {
    TfClientId clientId;
    BOOL foreground;
};

class FakeThreadMgr final : public ComObject<FakeThreadMgr, ModuleCount::NotCounted, ITfThreadMgr,
                                             ITfKeystrokeMgr> {
public:
    FakeThreadMgr() = default;

    bool offerKeystrokeMgr = true;
    HRESULT adviseResult = S_OK;  // a failure here is returned and nothing is advised
    ComPtr<FakeDocumentMgr> focus;  // may be null

    const std::vector<AdviseCall>& Advises() const { return advises; }
    const std::vector<TfClientId>& Unadvises() const { return unadvises; }
    ITfKeyEventSink* Sink() const { return sink.Get(); }

    // ITfThreadMgr
    HRESULT STDMETHODCALLTYPE Activate(TfClientId*) override;
    HRESULT STDMETHODCALLTYPE Deactivate() override;
    HRESULT STDMETHODCALLTYPE CreateDocumentMgr(ITfDocumentMgr**) override;
    HRESULT STDMETHODCALLTYPE EnumDocumentMgrs(IEnumTfDocumentMgrs**) override;
    HRESULT STDMETHODCALLTYPE GetFocus(ITfDocumentMgr** out) override;
    HRESULT STDMETHODCALLTYPE SetFocus(ITfDocumentMgr*) override;
    HRESULT STDMETHODCALLTYPE AssociateFocus(HWND, ITfDocumentMgr*, ITfDocumentMgr**) override;
    HRESULT STDMETHODCALLTYPE IsThreadFocus(WINBOOL*) override;
    HRESULT STDMETHODCALLTYPE GetFunctionProvider(REFCLSID, ITfFunctionProvider**) override;
    HRESULT STDMETHODCALLTYPE EnumFunctionProviders(IEnumTfFunctionProviders**) override;
    HRESULT STDMETHODCALLTYPE GetGlobalCompartment(ITfCompartmentMgr**) override;

    // ITfKeystrokeMgr
    HRESULT STDMETHODCALLTYPE AdviseKeyEventSink(TfClientId id, ITfKeyEventSink* keySink,
                                                 WINBOOL foreground) override;
    HRESULT STDMETHODCALLTYPE UnadviseKeyEventSink(TfClientId id) override;
    HRESULT STDMETHODCALLTYPE GetForeground(CLSID*) override;
    HRESULT STDMETHODCALLTYPE TestKeyDown(WPARAM vk, LPARAM lParam, WINBOOL* eaten) override;
    HRESULT STDMETHODCALLTYPE TestKeyUp(WPARAM vk, LPARAM lParam, WINBOOL* eaten) override;
    HRESULT STDMETHODCALLTYPE KeyDown(WPARAM vk, LPARAM lParam, WINBOOL* eaten) override;
    HRESULT STDMETHODCALLTYPE KeyUp(WPARAM vk, LPARAM lParam, WINBOOL* eaten) override;
    HRESULT STDMETHODCALLTYPE GetPreservedKey(ITfContext*, const TF_PRESERVEDKEY*, GUID*) override;
    HRESULT STDMETHODCALLTYPE IsPreservedKey(REFGUID, const TF_PRESERVEDKEY*, WINBOOL*) override;
    HRESULT STDMETHODCALLTYPE PreserveKey(TfClientId, REFGUID, const TF_PRESERVEDKEY*, const WCHAR*,
                                          ULONG) override;
    HRESULT STDMETHODCALLTYPE UnpreserveKey(REFGUID, const TF_PRESERVEDKEY*) override;
    HRESULT STDMETHODCALLTYPE SetPreservedKeyDescription(REFGUID, const WCHAR*, ULONG) override;
    HRESULT STDMETHODCALLTYPE GetPreservedKeyDescription(REFGUID, BSTR*) override;
    HRESULT STDMETHODCALLTYPE SimulatePreservedKey(ITfContext*, REFGUID, WINBOOL*) override;

    void* FindInterface(REFIID iid) noexcept;

private:
    ~FakeThreadMgr() override = default;

    ITfContext* FocusedContext() const;

    std::vector<AdviseCall> advises;
    std::vector<TfClientId> unadvises;
    ComPtr<ITfKeyEventSink> sink;
    TfClientId sinkOwner = 0;
};

}  // namespace fake_tsf
