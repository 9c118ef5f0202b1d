#pragma once
// A document context of our own standing in for TSF's, as strict as Windows: a text
// buffer with one selection, edit sessions granted as TSF grants them (edit_sessions.h),
// compositions the application may end, the display-attribute property and a view.

#include <msctf.h>
#include <windows.h>

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "com_object.h"
#include "com_ptr.h"
#include "fake_tsf/edit_sessions.h"
#include "fake_tsf/fake_composition.h"
#include "fake_tsf/fake_context_view.h"
#include "fake_tsf/fake_property.h"
#include "fake_tsf/fake_range.h"
#include "fake_tsf/hresults.h"
#include "fake_tsf/text_buffer.h"
#include "tsf_declarations.h"

namespace fake_tsf {

class FakeDocumentMgr;

template <typename T, typename... Args>
ComPtr<T> Make(Args&&... args) {
    return ComPtr<T>::Attach(new T(std::forward<Args>(args)...));
}

// The reference count of a live object, read the only way COM allows.
inline ULONG RefCount(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// Calls a test makes fail, each with the result it then gives; S_OK: the call works. They
// fail only inside the service's own edit sessions: while the application ends a
// composition, what the sink does has no failure to recover from.
struct FailureSwitches {
    HRESULT compositionGetRange = S_OK;  // ITfComposition::GetRange
    HRESULT rangeSetText = S_OK;         // ITfRange::SetText
    HRESULT setSelection = S_OK;         // ITfContext::SetSelection
    HRESULT endComposition = S_OK;       // ITfComposition::EndComposition
    HRESULT getProperty = S_OK;          // ITfContext::GetProperty
    HRESULT propertySetValue = S_OK;     // ITfProperty::SetValue
};

// One SetSelection call.
struct SelectionCall {
    Span range;  // where the first selection's range stood at the call
    TfActiveSelEnd activeEnd = TF_AE_NONE;
    BOOL interimChar = FALSE;
    ULONG count = 0;
    HRESULT result = S_OK;
};

class FakeContext final : public ComObject<FakeContext, ModuleCount::NotCounted, ITfContext,
                                           ITfInsertAtSelection, ITfContextComposition> {
  public:
    FakeContext();

    // --- What a test sets up ---
    // The document's text with the caret (an empty selection) at `caret`. Stored
    // property values are dropped.
    void SetDocument(const std::wstring& text, long caret);
    SyncGrant syncGrant = SyncGrant::WhileKeyDelivered;
    bool readOnly = false;           // write sessions get TS_E_READONLY
    bool hasSelection = true;        // false: selection queries give TS_E_NOSELECTION
    bool refuseComposition = false;  // StartComposition gives S_OK and no composition
    bool offerInsertAtSelection = true;
    bool offerContextComposition = true;
    bool offerView = true;
    // Where the caret goes after InsertTextAtSelection is the application's choice:
    // after the new text (false), or before it, as some applications keep it.
    bool caretBeforeInsertedText = false;
    FailureSwitches failures;
    // Queued sessions wait, whoever asks them to run, until the test lets them go.
    bool holdQueue = false;

    // --- What a test looks at ---
    const std::wstring& Text() const { return buffer.Text(); }
    Span Selection() const { return *selection; }
    const std::vector<SelectionCall>& SelectionCalls() const { return selectionCalls; }
    const std::vector<SessionRecord>& Sessions() const { return sessionLog; }
    std::size_t PendingSessions() const { return pending.size(); }
    bool SessionRunning() const { return cookie != 0; }
    // The result a switched call gives now: its switch inside a service's session, else S_OK.
    HRESULT Failing(HRESULT FailureSwitches::*call) const {
        return SessionRunning() && runningClient != 0 ? failures.*call : S_OK;
    }
    // Compositions started and not yet ended, oldest first.
    const std::vector<ComPtr<FakeComposition>>& Compositions() const { return compositions; }
    FakeProperty& AttributeProperty() { return *attribute.Get(); }
    const FakeProperty& AttributeProperty() const { return *attribute.Get(); }
    FakeContextView& View() { return *view.Get(); }
    // On a document manager's stack (a context not yet pushed counts as on one); once
    // popped, calls documented to fail with TF_E_DISCONNECTED do.
    bool Connected() const { return connected; }

    // --- What a test does as the application ---
    // Runs the queued sessions, oldest first, as the application grants its lock after
    // the current message; sessions queued by them run too. Nothing runs while a session
    // is running or while the queue is held.
    void RunPendingSessions();
    // Lets a held queue go and runs it.
    void ReleaseQueue() {
        holdQueue = false;
        RunPendingSessions();
    }
    // Ends a live composition (null: the newest) as the application may at any time, also
    // one its service no longer holds: the sink hears OnCompositionTerminated with a write
    // cookie, then the composition is dead. Not possible while a session runs
    // (TF_E_LOCKED); S_FALSE when there is no such composition.
    HRESULT TerminateComposition(FakeComposition* which = nullptr);
    // The application's own editing, outside any session (application_editing.cpp):
    // places its selection, or replaces it with `text` (a backspace deletes before an
    // empty selection) and puts the caret after the new text. What it types joins no
    // composition, even one that ends or starts at the caret; an edit of a composition's
    // own text ends that composition first.
    void MoveSelection(long start, long end);
    void TypeAtSelection(const std::wstring& text);
    // A key the service did not eat, handled as a plain multi-line edit control does:
    // `character` (what the key types; 0 for none) replaces the selection, Backspace
    // deletes the selection or the character before the caret, Enter inserts a line
    // break ("\r"), the arrows, Home and End move the caret.
    void ApplicationKey(WPARAM vk, wchar_t character);

    // --- What the other fakes use ---
    TextBuffer& Buffer() { return buffer; }
    bool CanRead(TfEditCookie ec) const { return ec != 0 && ec == cookie; }
    bool CanWrite(TfEditCookie ec) const { return CanRead(ec) && writable; }
    // The fake range behind `range` when it belongs to this context, else null.
    FakeRange* OwnRange(ITfRange* range) const;
    ComPtr<FakeRange> NewRange(long start, long end);
    // Every text change goes through here so static properties drop their values.
    void ReplaceText(Span& span, const std::wstring& text);
    void Forget(FakeComposition* composition);
    void AttachTo(FakeDocumentMgr* manager) {
        documentMgr = manager;
        connected = true;
    }
    // Taken off its stack: sessions still queued are dropped, as TSF drops them.
    void DetachFromStack() {
        documentMgr = nullptr;
        connected = false;
        pending.clear();
    }

    // --- ITfContext ---
    HRESULT STDMETHODCALLTYPE RequestEditSession(TfClientId id, ITfEditSession* session,
                                                 DWORD flags, HRESULT* sessionResult) override;
    HRESULT STDMETHODCALLTYPE InWriteSession(TfClientId id, WINBOOL* writing) override;
    HRESULT STDMETHODCALLTYPE GetSelection(TfEditCookie ec, ULONG index, ULONG count,
                                           TF_SELECTION* selections, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE SetSelection(TfEditCookie ec, ULONG count,
                                           const TF_SELECTION* selections) override;
    HRESULT STDMETHODCALLTYPE GetStart(TfEditCookie ec, ITfRange** start) override;
    HRESULT STDMETHODCALLTYPE GetEnd(TfEditCookie ec, ITfRange** end) override;
    HRESULT STDMETHODCALLTYPE GetActiveView(ITfContextView** out) override;
    HRESULT STDMETHODCALLTYPE EnumViews(IEnumTfContextViews**) override;
    HRESULT STDMETHODCALLTYPE GetStatus(TF_STATUS* status) override;
    HRESULT STDMETHODCALLTYPE GetProperty(REFGUID guid, ITfProperty** out) override;
    HRESULT STDMETHODCALLTYPE GetAppProperty(REFGUID, ITfReadOnlyProperty**) override;
    HRESULT STDMETHODCALLTYPE TrackProperties(const GUID**, ULONG, const GUID**, ULONG,
                                              ITfReadOnlyProperty**) override;
    HRESULT STDMETHODCALLTYPE EnumProperties(IEnumTfProperties**) override;
    HRESULT STDMETHODCALLTYPE GetDocumentMgr(ITfDocumentMgr** out) override;
    HRESULT STDMETHODCALLTYPE CreateRangeBackup(TfEditCookie, ITfRange*, ITfRangeBackup**) override;

    // --- ITfInsertAtSelection ---
    HRESULT STDMETHODCALLTYPE InsertTextAtSelection(TfEditCookie ec, DWORD flags, const WCHAR* text,
                                                    LONG length, ITfRange** range) override;
    HRESULT STDMETHODCALLTYPE InsertEmbeddedAtSelection(TfEditCookie, DWORD, IDataObject*,
                                                        ITfRange**) override;

    // --- ITfContextComposition ---
    HRESULT STDMETHODCALLTYPE StartComposition(TfEditCookie ec, ITfRange* range,
                                               ITfCompositionSink* sink,
                                               ITfComposition** out) override;
    HRESULT STDMETHODCALLTYPE EnumCompositions(IEnumITfCompositionView**) override;
    HRESULT STDMETHODCALLTYPE FindComposition(TfEditCookie, ITfRange*,
                                              IEnumITfCompositionView**) override;
    HRESULT STDMETHODCALLTYPE TakeOwnership(TfEditCookie, ITfCompositionView*, ITfCompositionSink*,
                                            ITfComposition**) override;

    void* FindInterface(REFIID iid) noexcept;

  private:
    ~FakeContext() override;

    struct Pending {
        ComPtr<ITfEditSession> session;
        TfClientId clientId;
        DWORD flags;
        std::size_t record;  // index into sessionLog
    };
    // Runs one session under a fresh cookie; the caller's cookie is back afterwards.
    HRESULT RunSession(ITfEditSession* session, TfClientId id, DWORD flags);
    bool SynchronousGranted(bool nested) const;

    TextBuffer buffer;
    std::shared_ptr<Span> selection;
    TfEditCookie cookie = 0;  // non-zero only while a session (or the application's lock) runs
    bool writable = false;
    TfClientId runningClient = 0;
    bool connected = true;
    FakeDocumentMgr* documentMgr = nullptr;  // the manager owns the context
    std::vector<SessionRecord> sessionLog;
    std::deque<Pending> pending;
    std::vector<SelectionCall> selectionCalls;
    std::vector<ComPtr<FakeComposition>> compositions;
    ComPtr<FakeProperty> attribute;
    ComPtr<FakeContextView> view;
};

// The text of a null-terminated (length -1) or counted string.
std::wstring TextArgument(const WCHAR* text, LONG length);

}  // namespace fake_tsf
