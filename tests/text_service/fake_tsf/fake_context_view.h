#pragma once
// The view of the fake document: one line of fixed character cells on the screen, of
// which a window of characters is visible.

#include <msctf.h>
#include <windows.h>

#include "com_object.h"
#include "com_ptr.h"

namespace fake_tsf {

class FakeContext;

struct TextLayout {
    bool laidOut = true;     // false: GetTextExt answers TS_E_NOLAYOUT
    POINT origin{100, 200};  // screen point of the first visible character's cell
    long cellWidth = 10;
    long cellHeight = 20;
    long firstVisible = 0;   // characters before it are scrolled out of view
    long visibleCount = -1;  // characters shown from firstVisible on; -1: all of them
};

class FakeContextView final
    : public ComObject<FakeContextView, ModuleCount::NotCounted, ITfContextView> {
  public:
    explicit FakeContextView(FakeContext* context);

    HWND window = nullptr;
    TextLayout layout;

    // The screen rectangle of characters [start, end) and whether part of them is hidden;
    // all zero when none is visible.
    RECT CellsRect(long start, long end, bool* clipped) const;

    void Detach() { context = nullptr; }

    HRESULT STDMETHODCALLTYPE GetRangeFromPoint(TfEditCookie, const POINT*, DWORD,
                                                ITfRange**) override;
    HRESULT STDMETHODCALLTYPE GetTextExt(TfEditCookie ec, ITfRange* range, RECT* rect,
                                         WINBOOL* clipped) override;
    HRESULT STDMETHODCALLTYPE GetScreenExt(RECT* rect) override;
    HRESULT STDMETHODCALLTYPE GetWnd(HWND* hwnd) override;

    void* FindInterface(REFIID iid) noexcept;

  private:
    ~FakeContextView() override = default;

    FakeContext* context;
};

}  // namespace fake_tsf
