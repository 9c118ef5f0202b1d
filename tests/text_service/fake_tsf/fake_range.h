#pragma once
// A range of the fake document: two anchors that follow edits. Every call that takes an
// edit cookie needs one of the running session, and a range given to it must come from
// the same context.

#include <msctf.h>
#include <windows.h>

#include <memory>

#include "com_object.h"
#include "com_ptr.h"
#include "fake_tsf/text_buffer.h"

namespace fake_tsf {

class FakeContext;

class FakeRange final : public ComObject<FakeRange, ModuleCount::NotCounted, ITfRange> {
  public:
    FakeRange(FakeContext* context, std::shared_ptr<Span> span);

    const Span& Position() const { return *span; }
    FakeContext* Context() const { return context.Get(); }

    HRESULT STDMETHODCALLTYPE GetText(TfEditCookie ec, DWORD flags, WCHAR* text, ULONG max,
                                      ULONG* length) override;
    HRESULT STDMETHODCALLTYPE SetText(TfEditCookie ec, DWORD flags, const WCHAR* text,
                                      LONG length) override;
    HRESULT STDMETHODCALLTYPE GetFormattedText(TfEditCookie, IDataObject**) override;
    HRESULT STDMETHODCALLTYPE GetEmbedded(TfEditCookie, REFGUID, REFIID, IUnknown**) override;
    HRESULT STDMETHODCALLTYPE InsertEmbedded(TfEditCookie, DWORD, IDataObject*) override;
    HRESULT STDMETHODCALLTYPE ShiftStart(TfEditCookie ec, LONG count, LONG* shifted,
                                         const TF_HALTCOND* halt) override;
    HRESULT STDMETHODCALLTYPE ShiftEnd(TfEditCookie ec, LONG count, LONG* shifted,
                                       const TF_HALTCOND* halt) override;
    HRESULT STDMETHODCALLTYPE ShiftStartToRange(TfEditCookie ec, ITfRange* range,
                                                TfAnchor anchor) override;
    HRESULT STDMETHODCALLTYPE ShiftEndToRange(TfEditCookie ec, ITfRange* range,
                                              TfAnchor anchor) override;
    HRESULT STDMETHODCALLTYPE ShiftStartRegion(TfEditCookie, TfShiftDir, WINBOOL*) override;
    HRESULT STDMETHODCALLTYPE ShiftEndRegion(TfEditCookie, TfShiftDir, WINBOOL*) override;
    HRESULT STDMETHODCALLTYPE IsEmpty(TfEditCookie ec, WINBOOL* empty) override;
    HRESULT STDMETHODCALLTYPE Collapse(TfEditCookie ec, TfAnchor anchor) override;
    HRESULT STDMETHODCALLTYPE IsEqualStart(TfEditCookie ec, ITfRange* with, TfAnchor anchor,
                                           WINBOOL* equal) override;
    HRESULT STDMETHODCALLTYPE IsEqualEnd(TfEditCookie ec, ITfRange* with, TfAnchor anchor,
                                         WINBOOL* equal) override;
    HRESULT STDMETHODCALLTYPE CompareStart(TfEditCookie ec, ITfRange* with, TfAnchor anchor,
                                           LONG* result) override;
    HRESULT STDMETHODCALLTYPE CompareEnd(TfEditCookie ec, ITfRange* with, TfAnchor anchor,
                                         LONG* result) override;
    HRESULT STDMETHODCALLTYPE AdjustForInsert(TfEditCookie, ULONG, WINBOOL*) override;
    HRESULT STDMETHODCALLTYPE GetGravity(TfGravity*, TfGravity*) override;
    HRESULT STDMETHODCALLTYPE SetGravity(TfEditCookie, TfGravity, TfGravity) override;
    HRESULT STDMETHODCALLTYPE Clone(ITfRange** clone) override;
    HRESULT STDMETHODCALLTYPE GetContext(ITfContext** context) override;

    void* FindInterface(REFIID iid) noexcept;

  private:
    ~FakeRange() override;

    // The other range's anchor, when that range belongs to this range's context.
    HRESULT OtherAnchor(TfEditCookie ec, ITfRange* with, TfAnchor anchor, long* position) const;
    HRESULT Compare(TfEditCookie ec, long own, ITfRange* with, TfAnchor anchor, LONG* result) const;

    ComPtr<FakeContext> context;
    std::shared_ptr<Span> span;
};

}  // namespace fake_tsf
