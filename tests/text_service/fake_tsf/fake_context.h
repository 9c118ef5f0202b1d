#pragma once
// A document context of our own standing in for TSF's: a text buffer with one
// selection, edit sessions that run now or are refused and run when the test pumps
// them, compositions, the attribute property and a view.

#include <windows.h>
#include <msctf.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "com_object.h"
#include "com_ptr.h"
#include "fake_tsf/text_buffer.h"
#include "tsf_declarations.h"

#ifndef TF_S_ASYNC
#define TF_S_ASYNC ((HRESULT)0x00040300L)
#endif

namespace fake_tsf {

class FakeContext;
class FakeComposition;

template <typename T, typename... Args>
ComPtr<T> Make(Args&&... args) {
    return ComPtr<T>::Attach(new T(std::forward<Args>(args)...));
}

// The reference count of a live object, read the only way COM allows.
inline ULONG RefCount(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

class FakeRange final : public ComObject<FakeRange, ModuleCount::NotCounted, ITfRange> {
public:
    FakeRange(FakeContext* context, std::shared_ptr<Span> span);

    const Span& Position() const { return *span; }
    Span& MutablePosition() { return *span; }

    HRESULT STDMETHODCALLTYPE GetText(TfEditCookie ec, DWORD flags, WCHAR* text, ULONG max,
                                      ULONG* length) override;
    HRESULT STDMETHODCALLTYPE SetText(TfEditCookie ec, DWORD flags, const WCHAR* text,
                                      LONG length) override;
    HRESULT STDMETHODCALLTYPE GetFormattedText(TfEditCookie, IDataObject**) override;
    HRESULT STDMETHODCALLTYPE GetEmbedded(TfEditCookie, REFGUID, REFIID, IUnknown**) override;
    HRESULT STDMETHODCALLTYPE InsertEmbedded(TfEditCookie, DWORD, IDataObject*) override;
    HRESULT STDMETHODCALLTYPE ShiftStart(TfEditCookie, LONG, LONG*, const TF_HALTCOND*) override;
    HRESULT STDMETHODCALLTYPE ShiftEnd(TfEditCookie, LONG, LONG*, const TF_HALTCOND*) override;
    HRESULT STDMETHODCALLTYPE ShiftStartToRange(TfEditCookie, ITfRange*, TfAnchor) override;
    HRESULT STDMETHODCALLTYPE ShiftEndToRange(TfEditCookie, ITfRange*, TfAnchor) override;
    HRESULT STDMETHODCALLTYPE ShiftStartRegion(TfEditCookie, TfShiftDir, WINBOOL*) override;
    HRESULT STDMETHODCALLTYPE ShiftEndRegion(TfEditCookie, TfShiftDir, WINBOOL*) override;
    HRESULT STDMETHODCALLTYPE IsEmpty(TfEditCookie ec, WINBOOL* empty) override;
    HRESULT STDMETHODCALLTYPE Collapse(TfEditCookie ec, TfAnchor anchor) override;
    HRESULT STDMETHODCALLTYPE IsEqualStart(TfEditCookie, ITfRange*, TfAnchor, WINBOOL*) override;
    HRESULT STDMETHODCALLTYPE IsEqualEnd(TfEditCookie, ITfRange*, TfAnchor, WINBOOL*) override;
    HRESULT STDMETHODCALLTYPE CompareStart(TfEditCookie, ITfRange*, TfAnchor, LONG*) override;
    HRESULT STDMETHODCALLTYPE CompareEnd(TfEditCookie, ITfRange*, TfAnchor, LONG*) override;
    HRESULT STDMETHODCALLTYPE AdjustForInsert(TfEditCookie, ULONG, WINBOOL*) override;
    HRESULT STDMETHODCALLTYPE GetGravity(TfGravity*, TfGravity*) override;
    HRESULT STDMETHODCALLTYPE SetGravity(TfEditCookie, TfGravity, TfGravity) override;
    HRESULT STDMETHODCALLTYPE Clone(ITfRange** clone) override;
    HRESULT STDMETHODCALLTYPE GetContext(ITfContext** context) override;

    void* FindInterface(REFIID iid) noexcept;

private:
    ~FakeRange() override;

    ComPtr<FakeContext> context;
    std::shared_ptr<Span> span;
};

// A range given to one of the fakes that did not come from them is refused.
FakeRange* AsFakeRange(ITfRange* range);

class FakeComposition final
    : public ComObject<FakeComposition, ModuleCount::NotCounted, ITfComposition> {
public:
    FakeComposition(FakeContext* context, std::shared_ptr<Span> span, ITfCompositionSink* sink);

    bool Ended() const { return ended; }
    const Span& Position() const { return *span; }
    ITfCompositionSink* Sink() const { return sink.Get(); }
    void Detach() { context = nullptr; }

    HRESULT STDMETHODCALLTYPE GetRange(ITfRange** range) override;
    HRESULT STDMETHODCALLTYPE ShiftStart(TfEditCookie, ITfRange*) override;
    HRESULT STDMETHODCALLTYPE ShiftEnd(TfEditCookie, ITfRange*) override;
    HRESULT STDMETHODCALLTYPE EndComposition(TfEditCookie ec) override;

    void* FindInterface(REFIID iid) noexcept;

private:
    ~FakeComposition() override = default;

    FakeContext* context;  // the context holds the composition, not the other way round
    std::shared_ptr<Span> span;
    ComPtr<ITfCompositionSink> sink;
    bool ended = false;
};

// One SetValue or Clear, with the range's place at the time of the call.
struct PropertyCall {
    enum class Kind { SetValue, Clear } kind;
    Span range;
    VARTYPE type = VT_EMPTY;
    LONG value = 0;
};

class FakeProperty final : public ComObject<FakeProperty, ModuleCount::NotCounted, ITfProperty> {
public:
    explicit FakeProperty(FakeContext* context);

    const std::vector<PropertyCall>& Calls() const { return calls; }
    // The value set over the text at `position`, if any; follows later edits.
    std::optional<LONG> ValueAt(long position) const;
    void Detach() { context = nullptr; }

    HRESULT STDMETHODCALLTYPE GetType(GUID* guid) override;
    HRESULT STDMETHODCALLTYPE EnumRanges(TfEditCookie, IEnumTfRanges**, ITfRange*) override;
    HRESULT STDMETHODCALLTYPE GetValue(TfEditCookie, ITfRange*, VARIANT*) override;
    HRESULT STDMETHODCALLTYPE GetContext(ITfContext** context) override;
    HRESULT STDMETHODCALLTYPE FindRange(TfEditCookie, ITfRange*, ITfRange**, TfAnchor) override;
    HRESULT STDMETHODCALLTYPE SetValueStore(TfEditCookie, ITfRange*, ITfPropertyStore*) override;
    HRESULT STDMETHODCALLTYPE SetValue(TfEditCookie ec, ITfRange* range,
                                       const VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE Clear(TfEditCookie ec, ITfRange* range) override;

    void* FindInterface(REFIID iid) noexcept;

private:
    ~FakeProperty() override = default;
    void Forget(const Span& range);

    struct Stored {
        std::shared_ptr<Span> span;
        LONG value;
    };
    FakeContext* context;
    std::vector<PropertyCall> calls;
    std::vector<Stored> stored;
};

class FakeContextView final
    : public ComObject<FakeContextView, ModuleCount::NotCounted, ITfContextView> {
public:
    explicit FakeContextView(FakeContext* context);

    HWND window = nullptr;
    RECT textExtent{100, 200, 110, 220};
    HRESULT textExtentResult = S_OK;
    void Detach() { context = nullptr; }

    HRESULT STDMETHODCALLTYPE GetRangeFromPoint(TfEditCookie, const POINT*, DWORD,
                                                ITfRange**) override;
    HRESULT STDMETHODCALLTYPE GetTextExt(TfEditCookie ec, ITfRange* range, RECT* rect,
                                         WINBOOL* clipped) override;
    HRESULT STDMETHODCALLTYPE GetScreenExt(RECT*) override;
    HRESULT STDMETHODCALLTYPE GetWnd(HWND* hwnd) override;

    void* FindInterface(REFIID iid) noexcept;

private:
    ~FakeContextView() override = default;

    FakeContext* context;
};

struct SessionRequest {
    TfClientId clientId;
    DWORD flags;
    HRESULT result;  // what RequestEditSession returned
};

class FakeContext final
    : public ComObject<FakeContext, ModuleCount::NotCounted, ITfContext, ITfInsertAtSelection,
                       ITfContextComposition> {
public:
    FakeContext();

    // --- What a test sets up or looks at ---
    // The document's text with the caret (an empty selection) at `caret`.
    void SetDocument(const std::wstring& text, long caret);
    const std::wstring& Text() const { return buffer.Text(); }
    Span Selection() const { return *selection; }

    bool refuseSynchronous = false;     // answer TF_E_SYNCHRONOUS to TF_ES_SYNC requests
    bool refuseComposition = false;     // StartComposition gives S_OK and no composition
    bool offerInsertAtSelection = true;
    bool offerContextComposition = true;
    bool offerView = true;

    const std::vector<SessionRequest>& Requests() const { return requests; }
    std::size_t PendingSessions() const { return pending.size(); }
    // Runs the sessions refused earlier or asked for asynchronously, oldest first.
    void RunPendingSessions();

    // Compositions started and not yet ended, oldest first.
    const std::vector<ComPtr<FakeComposition>>& Compositions() const { return compositions; }
    // Ends the newest composition as another party would, telling its sink.
    void TerminateComposition();

    FakeProperty& AttributeProperty() { return *attribute.Get(); }
    FakeContextView& View() { return *view.Get(); }

    // --- What the other fakes use ---
    TextBuffer& Buffer() { return buffer; }
    bool CanRead(TfEditCookie ec) const { return ec != 0 && ec == cookie; }
    bool CanWrite(TfEditCookie ec) const { return CanRead(ec) && writable; }
    void Forget(FakeComposition* composition);

    // --- ITfContext ---
    HRESULT STDMETHODCALLTYPE RequestEditSession(TfClientId id, ITfEditSession* session,
                                                 DWORD flags, HRESULT* sessionResult) override;
    HRESULT STDMETHODCALLTYPE InWriteSession(TfClientId, WINBOOL*) override;
    HRESULT STDMETHODCALLTYPE GetSelection(TfEditCookie, ULONG, ULONG, TF_SELECTION*,
                                           ULONG*) override;
    HRESULT STDMETHODCALLTYPE SetSelection(TfEditCookie ec, ULONG count,
                                           const TF_SELECTION* selections) override;
    HRESULT STDMETHODCALLTYPE GetStart(TfEditCookie, ITfRange**) override;
    HRESULT STDMETHODCALLTYPE GetEnd(TfEditCookie, ITfRange**) override;
    HRESULT STDMETHODCALLTYPE GetActiveView(ITfContextView** out) override;
    HRESULT STDMETHODCALLTYPE EnumViews(IEnumTfContextViews**) override;
    HRESULT STDMETHODCALLTYPE GetStatus(TF_STATUS*) override;
    HRESULT STDMETHODCALLTYPE GetProperty(REFGUID guid, ITfProperty** out) override;
    HRESULT STDMETHODCALLTYPE GetAppProperty(REFGUID, ITfReadOnlyProperty**) override;
    HRESULT STDMETHODCALLTYPE TrackProperties(const GUID**, ULONG, const GUID**, ULONG,
                                              ITfReadOnlyProperty**) override;
    HRESULT STDMETHODCALLTYPE EnumProperties(IEnumTfProperties**) override;
    HRESULT STDMETHODCALLTYPE GetDocumentMgr(ITfDocumentMgr**) override;
    HRESULT STDMETHODCALLTYPE CreateRangeBackup(TfEditCookie, ITfRange*, ITfRangeBackup**) override;

    // --- ITfInsertAtSelection ---
    HRESULT STDMETHODCALLTYPE InsertTextAtSelection(TfEditCookie ec, DWORD flags,
                                                    const WCHAR* text, LONG length,
                                                    ITfRange** range) override;
    HRESULT STDMETHODCALLTYPE InsertEmbeddedAtSelection(TfEditCookie, DWORD, IDataObject*,
                                                        ITfRange**) override;

    // --- ITfContextComposition ---
    HRESULT STDMETHODCALLTYPE StartComposition(TfEditCookie ec, ITfRange* range,
                                               ITfCompositionSink* sink,
                                               ITfComposition** out) override;
    HRESULT STDMETHODCALLTYPE EnumCompositions(IEnumITfCompositionView**) override;
    HRESULT STDMETHODCALLTYPE FindComposition(TfEditCookie, ITfRange*,
                                              IEnumITfCompositionView**) override;
    HRESULT STDMETHODCALLTYPE TakeOwnership(TfEditCookie, ITfCompositionView*,
                                            ITfCompositionSink*, ITfComposition**) override;

    void* FindInterface(REFIID iid) noexcept;

private:
    ~FakeContext() override;

    struct Pending {
        ComPtr<ITfEditSession> session;
        DWORD flags;
    };
    HRESULT RunSession(ITfEditSession* session, DWORD flags);
    ComPtr<ITfRange> NewRange(long start, long end);

    TextBuffer buffer;
    std::shared_ptr<Span> selection;
    TfEditCookie cookie = 0;  // non-zero only inside a session
    TfEditCookie lastCookie = 0;
    bool writable = false;
    std::vector<SessionRequest> requests;
    std::deque<Pending> pending;
    std::vector<ComPtr<FakeComposition>> compositions;
    ComPtr<FakeProperty> attribute;
    ComPtr<FakeContextView> view;
};

// The text of a null-terminated (length -1) or counted string.
std::wstring TextArgument(const WCHAR* text, LONG length);

}  // namespace fake_tsf
