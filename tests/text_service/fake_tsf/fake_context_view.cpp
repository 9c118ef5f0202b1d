#include "fake_tsf/fake_context_view.h"

#include <algorithm>

#include "fake_tsf/fake_context.h"

namespace fake_tsf {

FakeContextView::FakeContextView(FakeContext* owner) : context(owner) {}

RECT FakeContextView::CellsRect(long start, long end, bool* clipped) const {
    const long first = layout.firstVisible;
    const long last = layout.visibleCount < 0 ? std::max(end, first) : first + layout.visibleCount;
    const long from = std::max(start, first);
    const long to = std::min(end, last);
    // An empty range is a caret: visible when it stands inside the shown cells.
    const bool visible = start == end ? (first <= start && start <= last) : from < to;
    *clipped = !visible || from > start || to < end;
    if (!visible) return RECT{0, 0, 0, 0};
    const long left = start == end ? start : from;
    const long right = start == end ? start : to;
    return RECT{layout.origin.x + (left - first) * layout.cellWidth, layout.origin.y,
                layout.origin.x + (right - first) * layout.cellWidth,
                layout.origin.y + layout.cellHeight};
}

HRESULT STDMETHODCALLTYPE FakeContextView::GetTextExt(TfEditCookie ec, ITfRange* range, RECT* rect,
                                                      WINBOOL* clipped) {
    if (context == nullptr) return E_UNEXPECTED;
    if (!context->CanRead(ec)) return TF_E_NOLOCK;
    FakeRange* fakeRange = context->OwnRange(range);
    if (fakeRange == nullptr || rect == nullptr || clipped == nullptr) return E_INVALIDARG;
    if (!layout.laidOut) return TS_E_NOLAYOUT;
    bool hidden = false;
    *rect = CellsRect(fakeRange->Position().start, fakeRange->Position().end, &hidden);
    *clipped = hidden;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeContextView::GetScreenExt(RECT* rect) {
    if (rect == nullptr) return E_INVALIDARG;
    const long shown = layout.visibleCount < 0 ? 40 : layout.visibleCount;
    *rect = RECT{layout.origin.x, layout.origin.y, layout.origin.x + shown * layout.cellWidth,
                 layout.origin.y + layout.cellHeight};
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeContextView::GetWnd(HWND* hwnd) {
    if (hwnd == nullptr) return E_INVALIDARG;
    *hwnd = window;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeContextView::GetRangeFromPoint(TfEditCookie, const POINT*, DWORD,
                                                             ITfRange**) {
    return E_NOTIMPL;
}

void* FakeContextView::FindInterface(REFIID iid) noexcept {
    return OwnInterface(iid, IID_ITfContextView, static_cast<ITfContextView*>(this));
}

}  // namespace fake_tsf
