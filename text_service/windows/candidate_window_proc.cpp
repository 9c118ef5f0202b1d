// The popup's window procedure: it never takes activation; the mouse drags the toolbar,
// presses its buttons or picks a candidate row.

#include <optional>

#include "boundary_guard.h"
#include "install_file_names.h"
#include "settings_names.h"
#include "settings_store.h"
#include "text_service.h"
#include "windows/candidate_buttons.h"
#include "windows/candidate_follow.h"
#include "windows/candidate_window.h"

namespace {

TextService* ServiceOf(HWND window) {
    return reinterpret_cast<TextService*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

int SignedLow(LPARAM lParam) { return static_cast<short>(LOWORD(static_cast<DWORD_PTR>(lParam))); }
int SignedHigh(LPARAM lParam) { return static_cast<short>(HIWORD(static_cast<DWORD_PTR>(lParam))); }

CandidateLayout LayoutOf(const TextService& service, HWND window) {
    return CandidateLayout::For(CandidateClientRect(window), CandidateWindowDpi(window),
                                service.candidateFontSize);
}

void BeginDrag(TextService& service, HWND window) {
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    RECT rect{};
    GetWindowRect(window, &rect);
    service.dragStartCursor = cursor;
    service.dragStartWindow = POINT{rect.left, rect.top};
    service.dragging = true;
    SetCapture(window);
}

void DragTo(TextService& service, HWND window) {
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    SetWindowPos(window, HWND_TOPMOST,
                 service.dragStartWindow.x + (cursor.x - service.dragStartCursor.x),
                 service.dragStartWindow.y + (cursor.y - service.dragStartCursor.y), 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
}

void Drop(TextService& service, HWND window) {
    // Cleared before the capture goes, so the capture-change notice finds no drag.
    service.dragging = false;
    ReleaseCapture();
    RECT rect{};
    std::optional<LayoutPoint> topLeft;
    if (GetWindowRect(window, &rect)) topLeft = LayoutPoint{rect.left, rect.top};
    POINT caretPoint{0, 0};
    std::optional<LayoutPoint> caret;
    if (service.GetCaretScreenPoint(caretPoint)) caret = LayoutPoint{caretPoint.x, caretPoint.y};

    const DropStore store = DecideDrop(service.toolbarFollowMode, topLeft, caret);
    switch (store.kind) {
        case DropStore::Kind::Nothing:
            return;
        case DropStore::Kind::Offset:
            service.toolbarOffset = ScreenPair{store.value.x, store.value.y};
            WriteDwordSetting(SettingNames::ToolbarOffsetX, store.value.x);
            WriteDwordSetting(SettingNames::ToolbarOffsetY, store.value.y);
            return;
        case DropStore::Kind::Position:
            service.toolbarPosition = ScreenPair{store.value.x, store.value.y};
            WriteDwordSetting(SettingNames::ToolbarX, store.value.x);
            WriteDwordSetting(SettingNames::ToolbarY, store.value.y);
            return;
    }
}

void PressButton(TextService& service, HWND window, ToolbarButton button) {
    switch (button) {
        case ToolbarButton::SimplifiedOutput:
            service.simplifiedOutput = service.simplifiedOutput == 0 ? 1 : 0;
            WriteSimplifiedOutput(service.simplifiedOutput);
            InvalidateRect(window, nullptr, FALSE);
            return;
        case ToolbarButton::FullwidthOutput:
            service.fullwidthOutput = !service.fullwidthOutput;
            WriteFullwidthOutput(service.fullwidthOutput);
            InvalidateRect(window, nullptr, FALSE);
            return;
        case ToolbarButton::Settings:
            service.launchProgram(InstallNames::SettingsProgram);
            return;
        case ToolbarButton::PhraseEditor:
            service.launchProgram(InstallNames::PhraseEditorProgram);
            return;
        case ToolbarButton::Keyboard:
            service.ToggleKeyboard();
            return;
    }
}

// The row is chosen later, inside the session, as the Enter key chooses the highlighted row.
void PickRow(TextService& service, HWND window, std::size_t row) {
    service.candidateRow = row;
    InvalidateRect(window, nullptr, FALSE);
    HRESULT sessionResult = S_OK;
    service.RequestKeySession(service.compositionContext.Get(), VK_RETURN, 0, 0, 0,
                              TF_ES_ASYNC | TF_ES_READWRITE, &sessionResult);
}

void Release(TextService& service, HWND window, int x, int y) {
    if (service.dragging) {
        Drop(service, window);
        return;
    }
    const CandidateLayout layout = LayoutOf(service, window);
    if (const std::optional<int> button = layout.ButtonAt(x, y)) {
        PressButton(service, window, static_cast<ToolbarButton>(*button));
        return;
    }
    const std::optional<std::size_t> row =
        CandidateRowHit(layout, y, service.candidatePage, service.composer.Candidates().size());
    if (row && service.compositionContext) PickRow(service, window, *row);
}

// The system destroys the popup with its owner window: the service must not keep the
// handle, or its next show places a window that is gone and a later destroy may hit
// whatever window then has that handle. A drag dies with the window too.
void ForgetDestroyedWindow(TextService& service, HWND window) {
    if (window != service.candidateWindow) return;
    service.candidateWindow = nullptr;
    service.candidateOwner = nullptr;
    service.dragging = false;
}

LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return DefWindowProcW(window, message, wParam, lParam);
    }
    TextService* service = ServiceOf(window);
    if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    if (service == nullptr) return DefWindowProcW(window, message, wParam, lParam);

    switch (message) {
        case WM_NCHITTEST:
            return HTCLIENT;
        case WM_TIMER:
            service->OnCandidateTimer();
            return 0;
        case WM_PAINT:
            service->PaintCandidateWindow(window);
            return 0;
        case WM_LBUTTONDOWN:
            if (service->composer.Candidates().empty() &&
                LayoutOf(*service, window).InDragZone(SignedLow(lParam), SignedHigh(lParam))) {
                BeginDrag(*service, window);
                return 0;
            }
            break;
        case WM_MOUSEMOVE:
            if (service->dragging && (wParam & MK_LBUTTON) != 0) {
                DragTo(*service, window);
                return 0;
            }
            break;
        case WM_LBUTTONUP:
            Release(*service, window, SignedLow(lParam), SignedHigh(lParam));
            return 0;
        case WM_CAPTURECHANGED:
            // Capture lost before the release (another window took it, the user switched
            // application): the release will never come, so the drag ends here and stores
            // nothing; otherwise the timer would leave the window alone for good.
            service->dragging = false;
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_DESTROY:
            ForgetDestroyedWindow(*service, window);
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK CandidatesWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return GuardWindow(0, [&] { return Handle(window, message, wParam, lParam); });
}
