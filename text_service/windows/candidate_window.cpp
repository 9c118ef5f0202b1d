// The toolbar and candidate popup: creation, placement, following the caret, destruction.

#include "windows/candidate_window.h"

#include <algorithm>

#include "boundary_guard.h"
#include "dll_globals.h"
#include "text_service.h"
#include "windows/candidate_follow.h"
#include "windows/candidate_text.h"

using namespace CandidateMetrics;

namespace {

LayoutPoint ToLayout(POINT p) { return {p.x, p.y}; }
LayoutPoint ToLayout(ScreenPair p) { return {p.x, p.y}; }
LayoutRect ToLayout(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

void RegisterCandidateClass() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CandidatesWndProc;
    windowClass.hInstance = DllModule;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = CandidateWindowClass;
    RegisterClassW(&windowClass);  // fails harmlessly once the class exists
}

LayoutRect WorkAreaNear(LayoutPoint point) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    HMONITOR monitor = MonitorFromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONEAREST);
    if (monitor != nullptr && GetMonitorInfoW(monitor, &info)) return ToLayout(info.rcWork);
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// Creates the window when there is none, then makes `owner` its owner.
bool EnsureWindow(TextService& service, HWND owner, int width, int height) {
    if (service.candidateWindow == nullptr) {
        HWND window = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                                      CandidateWindowClass, L"", WS_POPUP, 0, 0, width, height,
                                      owner, nullptr, DllModule, &service);
        if (window == nullptr) return false;
        service.candidateWindow = window;
        SetTimer(window, IDT_CANDIDATE_FOLLOW, CandidateFollowInterval, nullptr);
    }
    service.candidateOwner = owner;
    SetWindowLongPtrW(service.candidateWindow, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    return true;
}

void ShowAt(HWND window, LayoutPoint place, LayoutSize size) {
    SetWindowPos(window, HWND_TOPMOST, place.x, place.y, size.width, size.height,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    InvalidateRect(window, nullptr, TRUE);
}

HWND ContextWindow(ITfContext* context) {
    HWND window = nullptr;
    ComPtr<ITfContextView> view;
    if (context != nullptr && SUCCEEDED(context->GetActiveView(view.Put())) && view) {
        if (FAILED(view->GetWnd(&window))) window = nullptr;
    }
    return window != nullptr ? window : GetFocus();
}

// The screen extent of the composition's text; empty when any step fails.
RECT CompositionExtent(TextService& service, TfEditCookie cookie, ITfContext* context) {
    RECT extent{};
    if (!service.composition || context == nullptr) return extent;
    ComPtr<ITfRange> range;
    ComPtr<ITfContextView> view;
    BOOL clipped = FALSE;
    if (FAILED(service.composition->GetRange(range.Put())) || !range ||
        FAILED(context->GetActiveView(view.Put())) || !view ||
        FAILED(view->GetTextExt(cookie, range.Get(), &extent, &clipped))) {
        return RECT{};
    }
    return extent;
}

// The caret of the calling thread's focus window in screen coordinates, (0, 0) without one.
POINT FocusCaretOnScreen(HWND window) {
    POINT caret{0, 0};
    if (!GetCaretPos(&caret)) caret = POINT{0, 0};
    if (window != nullptr) ClientToScreen(window, &caret);
    return caret;
}

// The window's device context with the candidate font selected, given back however the
// measuring ends.
class MeasuringDc {
  public:
    MeasuringDc(TextService& service, HWND target, int dpi) : window(target), dc(GetDC(target)) {
        if (dc != nullptr) oldFont = SelectObject(dc, service.CandidateFontFor(dpi));
    }
    ~MeasuringDc() {
        if (dc == nullptr) return;
        SelectObject(dc, oldFont);
        ReleaseDC(window, dc);
    }
    MeasuringDc(const MeasuringDc&) = delete;
    MeasuringDc& operator=(const MeasuringDc&) = delete;

    HWND window;
    HDC dc;
    HGDIOBJ oldFont = nullptr;
};

int MeasureListWidth(TextService& service, HWND window, int dpi, int margin) {
    int width = ScaleForDpi(ToolbarWidth, dpi);
    MeasuringDc measuring(service, window, dpi);
    if (measuring.dc == nullptr) return width;
    const std::size_t count = service.composer.Candidates().size();
    const std::wstring header = CandidateHeaderText(count, service.candidatePage);
    SIZE extent{};
    if (GetTextExtentPoint32W(measuring.dc, header.c_str(), static_cast<int>(header.size()),
                              &extent)) {
        width =
            std::max(width, margin + static_cast<int>(extent.cx) + ScaleForDpi(HeaderReserve, dpi));
    }
    const CandidateWidthMeasurer measure(measuring.dc, width, margin, dpi);
    const std::size_t rows = RowsOnPage(count, service.candidatePage);
    for (std::size_t row = 0; row < rows; ++row) measure(service.CandidatePageRowText(row));
    return width;
}

}  // namespace

int CandidateWindowDpi(HWND window) { return EffectiveDpi(GetDpiForWindow(window)); }

LayoutRect CandidateClientRect(HWND window) {
    RECT client{};
    if (!GetClientRect(window, &client)) return {};
    return ToLayout(client);
}

int CandidateWidthMeasurer::operator()(const std::wstring& rowText) const {
    SIZE extent{};
    if (!GetTextExtentPoint32W(dc, rowText.c_str(), static_cast<int>(rowText.size()), &extent)) {
        return 0;
    }
    width = std::max(width,
                     static_cast<int>(extent.cx) + 2 * margin + MulDivRounded(RowReserve, dpi, 96));
    return width;
}

HGDIOBJ TextService::CandidateFontFor(int dpi) noexcept {
    if (candidateFont == nullptr) {
        candidateFont =
            CreateFontW(-ScaleForDpi(candidateFontSize, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                        FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                        CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Microsoft JhengHei UI");
    }
    if (candidateFont != nullptr) return candidateFont;
    return GetStockObject(DEFAULT_GUI_FONT);
}

std::wstring TextService::CandidatePageRowText(std::size_t row) const {
    const auto& candidates = composer.Candidates();
    const std::size_t index = candidatePage * RowsPerPage + row;
    if (index >= candidates.size()) return {};
    return CandidateRowText(SelectionKeys(), row, ConvertOutput(candidates[index]));
}

void TextService::ShowToolbar(bool fromKey) noexcept {
    GuardVoid([&] {
        if (!threadMgr || !persistentToolbar) return;
        if (toolbarFollowMode == FollowModes::FollowWhileTyping && fromKey) {
            followUntil = GetTickCount() + FollowWindowMilliseconds;
        }
        RegisterCandidateClass();
        HWND owner = GetFocus();
        if (!EnsureWindow(*this, owner, ToolbarWidth, HeaderHeight + FrameExtra)) return;

        POINT caret{0, 0};
        if (!GetCaretScreenPoint(caret)) caret = FocusCaretOnScreen(owner);
        const ToolbarAnchor choice =
            ChooseToolbarAnchor(toolbarFollowMode, fromKey, ToLayout(toolbarPosition),
                                ToLayout(caret), ToLayout(toolbarOffset));
        const LayoutSize size = ToolbarSize(CandidateWindowDpi(candidateWindow));
        const LayoutPoint place =
            PlaceInWorkArea(choice.anchor, size, WorkAreaNear(choice.anchor), choice.anchor.y);
        if (choice.fixed) toolbarPosition = ScreenPair{place.x, place.y};
        ShowAt(candidateWindow, place, size);
    });
}

void TextService::ShowCandidates(TfEditCookie cookie, ITfContext* context) noexcept {
    GuardVoid([&] {
        const std::size_t count = composer.Candidates().size();
        if (!threadMgr || count == 0) return;
        RegisterCandidateClass();
        HWND owner = ContextWindow(context);
        if (!EnsureWindow(*this, owner, ListCreationWidth, HeaderHeight + FrameExtra)) return;

        RECT extent = CompositionExtent(*this, cookie, context);
        int textTop = extent.top;
        if (extent.right == 0 && extent.bottom == 0) {
            // Only a caret point stands in for the text. GetCaretPos gives the caret's top,
            // so it is also the top of the text line: a list that does not fit below goes
            // just above the caret instead of to the top of the work area.
            const POINT caret = FocusCaretOnScreen(GetFocus());
            extent.left = caret.x;
            extent.bottom = caret.y;
            textTop = caret.y;
        }

        const int dpi = CandidateWindowDpi(candidateWindow);
        const LayoutPoint anchor{extent.left, extent.bottom};
        const LayoutRect workArea = WorkAreaNear(anchor);
        const int margin = ScaleForDpi(TextMargin, dpi);
        const int measured = MeasureListWidth(*this, candidateWindow, dpi, margin);
        const LayoutSize size{BoundListWidth(measured, dpi, workArea),
                              ListHeight(RowsOnPage(count, candidatePage), candidateFontSize, dpi)};
        ShowAt(candidateWindow, PlaceInWorkArea(anchor, size, workArea, textTop), size);
    });
}

bool TextService::GetCaretScreenPoint(POINT& out) noexcept {
    HWND foreground = GetForegroundWindow();
    const DWORD thread = foreground != nullptr ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(thread, &info) || info.hwndCaret == nullptr) return false;
    POINT point{info.rcCaret.left, info.rcCaret.bottom};
    if (!ClientToScreen(info.hwndCaret, &point)) return false;
    out = point;
    return true;
}

void TextService::OnCandidateTimer() noexcept {
    GuardVoid([&] {
        if (candidateWindow == nullptr) return;
        TimerState state;
        state.ownerAlive = candidateOwner != nullptr && IsWindow(candidateOwner);
        if (state.ownerAlive) {
            HWND foreground = GetForegroundWindow();
            HWND foregroundRoot =
                foreground != nullptr ? GetAncestor(foreground, GA_ROOT) : nullptr;
            HWND ownerRoot = GetAncestor(candidateOwner, GA_ROOT);
            state.ownerInFront = foregroundRoot != nullptr && foregroundRoot == ownerRoot;
        }
        state.dragging = dragging;
        state.candidatesShown = !composer.Candidates().empty();
        state.mode = toolbarFollowMode;
        state.followUntil = followUntil;
        state.now = GetTickCount();
        state.positionSet = ToolbarPositionIsSet(ToLayout(toolbarPosition));

        constexpr UINT keepSize = SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE;
        switch (DecideTimerStep(state)) {
            case TimerStep::Nothing:
                return;
            case TimerStep::Hide:
                ShowWindow(candidateWindow, SW_HIDE);
                return;
            case TimerStep::ShowInPlace:
                ShowWindow(candidateWindow, SW_SHOWNOACTIVATE);
                return;
            case TimerStep::MoveToPosition:
                SetWindowPos(candidateWindow, HWND_TOPMOST, toolbarPosition.x, toolbarPosition.y, 0,
                             0, keepSize);
                return;
            case TimerStep::FollowCaret:
                break;
        }
        RECT window{};
        if (!GetWindowRect(candidateWindow, &window)) return;
        LayoutPoint place{window.left, window.top};
        POINT caret{0, 0};
        if (GetCaretScreenPoint(caret)) {
            const LayoutPoint anchor =
                FollowAnchor(ToLayout(caret), ToLayout(toolbarOffset), state.candidatesShown);
            const LayoutSize size{window.right - window.left, window.bottom - window.top};
            place = PlaceInWorkArea(anchor, size, WorkAreaNear(anchor), anchor.y);
        }
        SetWindowPos(candidateWindow, HWND_TOPMOST, place.x, place.y, 0, 0, keepSize);
    });
}

void TextService::DestroyCandidateWindow() noexcept {
    if (candidateWindow != nullptr) {
        HWND window = candidateWindow;
        candidateWindow = nullptr;
        DestroyWindow(window);
        // A drag dies with its window (focus moved away mid-drag, a commit): no release
        // will ever come, and the platform need not say that the capture went.
        dragging = false;
    }
    candidateOwner = nullptr;
}
