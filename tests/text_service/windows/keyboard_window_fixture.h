#pragma once
// An active TextService on the fake TSF, with the sample table and a real top-level window
// as the focused document's view, in front: what the on-screen keyboard needs to open.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "com_ptr.h"
#include "dll_globals.h"
#include "fake_tsf/fake_context.h"
#include "fake_tsf/fake_host.h"
#include "fake_tsf/test_environment.h"
#include "settings_names.h"
#include "test_files.h"
#include "text_service.h"
#include "window_capture.h"

namespace keyboard_test {

inline constexpr TfClientId Client = 42;

inline HWND MakeTopLevel(int x, int y, int width, int height) {
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = L"MoikTestApplication";
        return RegisterClassW(&wc);
    }();
    (void)atom;
    HWND window = CreateWindowExW(0, L"MoikTestApplication", L"application", WS_POPUP, x, y, width,
                                  height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window, SW_SHOW);
    return window;
}

inline void BringToFront(HWND window) {
    SetForegroundWindow(window);
    SetFocus(window);
    test_support::PumpMessages(30);
}

inline std::optional<std::int32_t> StoredSetting(const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, SettingNames::KeyPath, name, RRF_RT_REG_DWORD, nullptr,
                     &value, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

inline RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

inline RECT WorkAreaOf(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

class KeyboardWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake_tsf::ClearSettings();
        fake_tsf::UseTable(test_support::SourcePath("data/ZiRevod-Ka.cin"));
        objectsBefore = DllObjectCount.load();
        savedModule = DllModule;
        DllModule = GetModuleHandleW(nullptr);
        application = MakeTopLevel(200, 150, 600, 400);
        ASSERT_NE(application, nullptr);
        context->View().window = application;
        service = NewComObject<TextService>();
        ASSERT_NE(service, nullptr);
        ASSERT_EQ(service->Activate(host.ThreadMgr(), Client), S_OK);
        host.Focus(context.Get());
        BringToFront(application);
    }

    void TearDown() override {
        // As an application's message loop would: a queued session holds the service and
        // its document, and the document holds the session.
        host.RunPendingSessions();
        if (service != nullptr) {
            service->Deactivate();
            static_cast<ITfTextInputProcessorEx*>(service)->Release();
        }
        if (IsWindow(application)) DestroyWindow(application);
        DllModule = savedModule;
        fake_tsf::ClearSettings();
        // A composition the service dropped without ending holds it until its document goes.
        context.Reset();
        hostOwner.reset();
        EXPECT_EQ(DllObjectCount.load(), objectsBefore);
    }

    // Opens the keyboard and checks that it did.
    HWND Open() {
        service->ToggleKeyboard();
        EXPECT_NE(service->keyboardWindow, nullptr);
        return service->keyboardWindow;
    }

    // Client point -> the lParam of a screen-coordinate message.
    static LPARAM ScreenPoint(HWND window, int x, int y) {
        POINT p{x, y};
        ClientToScreen(window, &p);
        return MAKELPARAM(p.x, p.y);
    }

    static RECT ClientRect(HWND window) {
        RECT r{};
        GetClientRect(window, &r);
        return r;
    }

    static void Click(HWND window, int x, int y) {
        SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }

    fake_tsf::ComApartment apartment;
    // Owned apart so that the tear-down can let the documents go before it counts objects.
    std::unique_ptr<fake_tsf::FakeHost> hostOwner = std::make_unique<fake_tsf::FakeHost>();
    fake_tsf::FakeHost& host = *hostOwner;
    ComPtr<fake_tsf::FakeContext> context = host.NewDocument();
    TextService* service = nullptr;
    HWND application = nullptr;
    HINSTANCE savedModule = nullptr;
    std::uint32_t objectsBefore = 0;
};

}  // namespace keyboard_test
