#pragma once
// The thread manager (with its keystroke manager on the same object) and a document
// manager, standing in for TSF's. The keystroke manager calls exactly the sink method
// named (KeyDown calls OnKeyDown only); key_delivery.h asks first and then delivers, as
// Windows does for an application's key message. While a key call runs, synchronous
// sessions are granted.

#include <msctf.h>
#include <windows.h>

#include <vector>

#include "com_object.h"
#include "com_ptr.h"
#include "fake_tsf/fake_context.h"

namespace fake_tsf {

class FakeDocumentMgr final
    : public ComObject<FakeDocumentMgr, ModuleCount::NotCounted, ITfDocumentMgr> {
  public:
    FakeDocumentMgr() = default;

    FakeContext* Top() const { return top.Get(); }

    HRESULT STDMETHODCALLTYPE CreateContext(TfClientId, DWORD, IUnknown*, ITfContext**,
                                            TfEditCookie*) override;
    // Takes fake contexts only; one context a stack.
    HRESULT STDMETHODCALLTYPE Push(ITfContext* context) override;
    HRESULT STDMETHODCALLTYPE Pop(DWORD flags) override;
    HRESULT STDMETHODCALLTYPE GetTop(ITfContext** out) override;
    HRESULT STDMETHODCALLTYPE GetBase(ITfContext** out) override;
    HRESULT STDMETHODCALLTYPE EnumContexts(IEnumTfContexts**) override;

    void* FindInterface(REFIID iid) noexcept;

  private:
    ~FakeDocumentMgr() override;

    ComPtr<FakeContext> top;
};

struct AdviseCall {
    TfClientId clientId;
    BOOL foreground;
    HRESULT result;
};

// One call into the advised key sink.
struct KeyCall {
    enum class Kind { TestKeyDown, KeyDown, TestKeyUp, KeyUp } kind;
    WPARAM vk;
    LPARAM lParam;
    bool hadContext;
    HRESULT result;
    BOOL eaten;
};

class FakeThreadMgr final
    : public ComObject<FakeThreadMgr, ModuleCount::NotCounted, ITfThreadMgr, ITfKeystrokeMgr> {
  public:
    FakeThreadMgr() = default;

    bool offerKeystrokeMgr = true;
    HRESULT adviseResult = S_OK;  // a failure here is returned and nothing is advised

    const std::vector<AdviseCall>& Advises() const { return advises; }
    const std::vector<TfClientId>& Unadvises() const { return unadvises; }
    const std::vector<KeyCall>& KeyCalls() const { return keyCalls; }
    const std::vector<BOOL>& FocusCalls() const { return focusCalls; }  // OnSetFocus arguments
    ITfKeyEventSink* Sink() const { return sink.Get(); }
    FakeDocumentMgr* Focus() const { return focus.Get(); }
    // The context keys go to: the top of the focused document's stack, or null.
    FakeContext* FocusedContext() const;
    // The service as a whole gains or loses the keyboard focus (its application's window
    // is activated or left): the advised sink hears OnSetFocus with `gained`.
    void ServiceFocus(bool gained);

    // ITfThreadMgr
    HRESULT STDMETHODCALLTYPE Activate(TfClientId*) override;
    HRESULT STDMETHODCALLTYPE Deactivate() override;
    HRESULT STDMETHODCALLTYPE CreateDocumentMgr(ITfDocumentMgr** out) override;
    HRESULT STDMETHODCALLTYPE EnumDocumentMgrs(IEnumTfDocumentMgrs**) override;
    HRESULT STDMETHODCALLTYPE GetFocus(ITfDocumentMgr** out) override;
    // Moves the focus between the thread's documents. The key sink hears nothing of it:
    // OnSetFocus is for the service as a whole (ServiceFocus).
    HRESULT STDMETHODCALLTYPE SetFocus(ITfDocumentMgr* document) override;
    HRESULT STDMETHODCALLTYPE AssociateFocus(HWND, ITfDocumentMgr*, ITfDocumentMgr**) override;
    HRESULT STDMETHODCALLTYPE IsThreadFocus(WINBOOL*) override;
    HRESULT STDMETHODCALLTYPE GetFunctionProvider(REFCLSID, ITfFunctionProvider**) override;
    HRESULT STDMETHODCALLTYPE EnumFunctionProviders(IEnumTfFunctionProviders**) override;
    HRESULT STDMETHODCALLTYPE GetGlobalCompartment(ITfCompartmentMgr**) override;

    // ITfKeystrokeMgr: with no sink advised the key calls answer S_FALSE, not eaten.
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

    HRESULT CallSink(KeyCall::Kind kind, WPARAM vk, LPARAM lParam, WINBOOL* eaten);

    std::vector<AdviseCall> advises;
    std::vector<TfClientId> unadvises;
    std::vector<KeyCall> keyCalls;
    std::vector<BOOL> focusCalls;
    ComPtr<ITfKeyEventSink> sink;
    TfClientId sinkOwner = 0;
    ComPtr<FakeDocumentMgr> focus;
};

}  // namespace fake_tsf
