// The on-screen keyboard window: opening and closing, visibility, the window procedure.

#include "windows/keyboard_window.h"

#include <windowsx.h>

#include "boundary_guard.h"
#include "com_ptr.h"
#include "dll_globals.h"
#include "settings_names.h"
#include "settings_store.h"
#include "text_service.h"
#include "windows/keyboard_layout.h"

namespace {

void RegisterKeyboardClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = 0;
    wc.lpfnWndProc = KeyboardWndProc;
    wc.hInstance = DllModule;
    wc.hCursor = LoadCursorW(nullptr, IDC_HAND);
    wc.lpszClassName = KeyboardWindowClass;
    RegisterClassExW(&wc);  // fails harmlessly when an earlier opening registered it
}

// The window of the focused document's active view, else the window with the focus.
HWND FindKeyboardOwner(ITfThreadMgr* threadMgr) {
    HWND owner = GetFocus();
    if (threadMgr == nullptr) return owner;
    ComPtr<ITfDocumentMgr> document;
    if (FAILED(threadMgr->GetFocus(document.Put())) || !document) return owner;
    ComPtr<ITfContext> context;
    if (FAILED(document->GetTop(context.Put())) || !context) return owner;
    ComPtr<ITfContextView> view;
    if (FAILED(context->GetActiveView(view.Put())) || !view) return owner;
    HWND viewWindow = nullptr;
    if (FAILED(view->GetWnd(&viewWindow)) || viewWindow == nullptr) return owner;
    return viewWindow;
}

RECT ReferenceRect(HWND owner) {
    RECT rect{};
    if (owner != nullptr && GetWindowRect(owner, &rect)) return rect;
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

RECT WorkAreaNear(const RECT& reference) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    HMONITOR monitor = MonitorFromRect(&reference, MONITOR_DEFAULTTONEAREST);
    if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) return RECT{0, 0, 0, 0};
    return info.rcWork;
}

TextService* ServiceOf(HWND window) {
    return reinterpret_cast<TextService*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT HitTest(HWND window, WPARAM wParam, LPARAM lParam) {
    const LRESULT answer = DefWindowProcW(window, WM_NCHITTEST, wParam, lParam);
    if (answer != HTCLIENT) return answer;  // the resizing frame and the like
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    RECT client{};
    if (!ScreenToClient(window, &point) || !GetClientRect(window, &client)) return answer;
    const KeyboardLayout layout = KeyboardLayoutFor(client.right, client.bottom);
    return KeyboardHitTest(layout, point.x, point.y) == KeyboardArea::Caption ? HTCAPTION
                                                                              : HTCLIENT;
}

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return DefWindowProcW(window, message, wParam, lParam);
    }
    TextService* service = ServiceOf(window);
    switch (message) {
        case WM_TIMER:
            if (service == nullptr) break;
            service->OnKeyboardTimer();
            return 0;
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, LOWORD(lParam) == HTCAPTION ? IDC_SIZEALL : IDC_HAND));
            return TRUE;
        case WM_NCHITTEST:
            return HitTest(window, wParam, lParam);
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = POINT{KeyboardMinWidth, KeyboardMinHeight};
            return 0;
        }
        case WM_SIZE:
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_EXITSIZEMOVE:
            if (service == nullptr) break;
            service->StoreKeyboardPlace(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers the whole client area
        case WM_PAINT:
            if (service == nullptr) break;
            service->PaintKeyboard(window);
            return 0;
        case WM_LBUTTONUP:
            if (service == nullptr) break;
            service->OnKeyboardClick(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_DESTROY:
            // Also reached when the owner window takes the keyboard down with it.
            if (service != nullptr) service->OnKeyboardDestroyed(window);
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

LRESULT CALLBACK KeyboardWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return GuardWindow(0, [&] { return HandleMessage(window, message, wParam, lParam); });
}

void TextService::ToggleKeyboard() noexcept {
    if (keyboardWindow != nullptr) {
        DestroyKeyboard();
        return;
    }
    GuardVoid([&] {
        RegisterKeyboardClass();
        HWND owner = FindKeyboardOwner(threadMgr.Get());

        const int width =
            ClampKeyboardWidth(ReadDwordSetting(SettingNames::KeyboardWidth, KeyboardDefaultWidth));
        const int height = ClampKeyboardHeight(
            ReadDwordSetting(SettingNames::KeyboardHeight, KeyboardDefaultHeight));
        const RECT reference = ReferenceRect(owner);
        const RECT work = WorkAreaNear(reference);
        const std::int32_t storedX = ReadDwordSetting(SettingNames::KeyboardX, reference.left);
        const std::int32_t storedY =
            ReadDwordSetting(SettingNames::KeyboardY, DefaultKeyboardY(work, height));
        const POINT place = ClampKeyboardPosition(storedX, storedY, width, height, work);

        HWND created =
            CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                            KeyboardWindowClass, KeyboardWindowTitle, WS_POPUP | WS_THICKFRAME,
                            place.x, place.y, width, height, owner, nullptr, DllModule, this);
        keyboardWindow = created;
        keyboardOwner = owner;
        if (created == nullptr) return;
        SetTimer(created, IDT_KEYBOARD_VISIBILITY, KeyboardVisibilityInterval, nullptr);
        SetWindowPos(created, HWND_TOPMOST, place.x, place.y, width, height,
                     SWP_SHOWWINDOW | SWP_NOACTIVATE);
    });
}

void TextService::DestroyKeyboard() noexcept {
    if (keyboardWindow != nullptr) {
        HWND window = keyboardWindow;
        keyboardWindow = nullptr;
        DestroyWindow(window);  // its timer goes with it
    }
    keyboardOwner = nullptr;
}

void TextService::OnKeyboardDestroyed(HWND window) noexcept {
    if (window != keyboardWindow) return;
    keyboardWindow = nullptr;
    keyboardOwner = nullptr;
}

void TextService::OnKeyboardTimer() noexcept {
    if (keyboardWindow == nullptr) return;
    if (keyboardOwner != nullptr && IsWindow(keyboardOwner)) {
        HWND foreground = GetForegroundWindow();
        HWND front = foreground != nullptr ? GetAncestor(foreground, GA_ROOT) : nullptr;
        HWND ownerRoot = GetAncestor(keyboardOwner, GA_ROOT);
        const bool ownersApplicationInFront = front != nullptr && front == ownerRoot;
        ShowWindow(keyboardWindow, ownersApplicationInFront ? SW_SHOWNOACTIVATE : SW_HIDE);
        return;
    }
    ShowWindow(keyboardWindow, SW_HIDE);
}

void TextService::StoreKeyboardPlace(HWND window) noexcept {
    GuardVoid([&] {
        RECT rect{};
        if (!GetWindowRect(window, &rect)) return;
        WriteClampedDwordSetting(SettingNames::KeyboardX, rect.left);
        WriteClampedDwordSetting(SettingNames::KeyboardY, rect.top);
        WriteClampedDwordSetting(SettingNames::KeyboardWidth, rect.right - rect.left);
        WriteClampedDwordSetting(SettingNames::KeyboardHeight, rect.bottom - rect.top);
    });
}
