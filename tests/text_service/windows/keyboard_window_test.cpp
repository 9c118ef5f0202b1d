// The on-screen keyboard window under Wine and Xvfb: opening, placement, hit testing,
// clicks, storing its place, visibility and an owner destroyed under it.

#include "windows/keyboard_window.h"

#include <algorithm>
#include <string>

#include "keyboard_window_fixture.h"
#include "settings_store.h"
#include "windows/keyboard_layout.h"

namespace {

using namespace keyboard_test;
using test_support::PumpMessages;

TEST_F(KeyboardWindowTest, OpensWithItsDefaultsOwnedByTheFocusedViewAndClosesOnToggle) {
    HWND keyboard = Open();
    ASSERT_NE(keyboard, nullptr);
    EXPECT_EQ(service->keyboardOwner, application);
    EXPECT_EQ(GetWindow(keyboard, GW_OWNER), application);

    wchar_t name[64] = {};
    GetClassNameW(keyboard, name, 64);
    EXPECT_EQ(std::wstring(name), L"Mo_Input_Ka_Keyboard");
    GetWindowTextW(keyboard, name, 64);
    EXPECT_EQ(std::wstring(name), L"悠然Ka 小鍵盤");
    const LONG_PTR style = GetWindowLongPtrW(keyboard, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_THICKFRAME | WS_CAPTION), WS_POPUP | WS_THICKFRAME);
    const LONG_PTR exStyle = GetWindowLongPtrW(keyboard, GWL_EXSTYLE);
    const LONG_PTR wanted = WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    EXPECT_EQ(exStyle & wanted, wanted);
    EXPECT_TRUE(IsWindowVisible(keyboard));
    EXPECT_NE(GetForegroundWindow(), keyboard);  // the application keeps the front

    // 722 x 324 at the owner's left edge, its bottom 8 px above the work area's bottom.
    const RECT work = WorkAreaOf(application);
    const RECT r = WindowRect(keyboard);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, work.bottom - 324 - 8);
    EXPECT_EQ(r.right - r.left, 722);
    EXPECT_EQ(r.bottom - r.top, 324);

    service->ToggleKeyboard();
    EXPECT_FALSE(IsWindow(keyboard));
    EXPECT_EQ(service->keyboardWindow, nullptr);
    EXPECT_EQ(service->keyboardOwner, nullptr);
}

TEST_F(KeyboardWindowTest, StoredSizeAndPlaceAreClampedWhenItOpens) {
    const RECT work = WorkAreaOf(application);
    ASSERT_GE(work.right - work.left, 1000) << "the tests expect a screen of 1280 x 1024";
    struct Case {
        const char* name;
        std::optional<DWORD> width, height, x, y;
        LONG left, top, right, bottom;  // with `work` edges folded in below
    };
    const LONG maxX = work.right;
    // The system keeps a resizable window within the screen plus its frame.
    const LONG widest = std::min(1400, GetSystemMetrics(SM_CXMAXTRACK));
    const Case cases[] = {
        {"stored values inside", 600, 300, 100, 50, 100, 50, 700, 350},
        {"too wide: 1400, at the left edge", 2000, 300, 300, 50, 0, 50, widest, 350},
        {"too small: 420 x 240", 100, 100, 10, 20, 10, 20, 430, 260},
        {"negative position", 500, 250, static_cast<DWORD>(-40), static_cast<DWORD>(-9), 0, 0, 500,
         250},
        {"right and below the area", 500, 250, 5000, 5000, maxX - 500, work.bottom - 250, maxX,
         work.bottom},
        {"only a size stored", 500, 250, std::nullopt, std::nullopt, 200, work.bottom - 258, 700,
         work.bottom - 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake_tsf::ClearSettings();
        if (c.width) fake_tsf::StoreSetting(SettingNames::KeyboardWidth, *c.width);
        if (c.height) fake_tsf::StoreSetting(SettingNames::KeyboardHeight, *c.height);
        if (c.x) fake_tsf::StoreSetting(SettingNames::KeyboardX, *c.x);
        if (c.y) fake_tsf::StoreSetting(SettingNames::KeyboardY, *c.y);
        HWND keyboard = Open();
        const RECT r = WindowRect(keyboard);
        EXPECT_EQ(r.left, c.left);
        EXPECT_EQ(r.top, c.top);
        EXPECT_EQ(r.right, c.right);
        EXPECT_EQ(r.bottom, c.bottom);
        service->ToggleKeyboard();
    }
}

TEST_F(KeyboardWindowTest, WithoutAViewTheFocusWindowOwnsIt) {
    context->offerView = false;
    HWND other = MakeTopLevel(50, 60, 300, 200);
    BringToFront(other);
    ASSERT_EQ(GetFocus(), other);
    HWND keyboard = Open();
    EXPECT_EQ(service->keyboardOwner, other);
    EXPECT_EQ(GetWindow(keyboard, GW_OWNER), other);
    EXPECT_EQ(WindowRect(keyboard).left, 50);
    service->ToggleKeyboard();
    DestroyWindow(other);
}

TEST_F(KeyboardWindowTest, WithoutAnyOwnerItOpensOnThePrimaryScreenAndStaysHidden) {
    host.Focus(nullptr);
    SetFocus(nullptr);
    HWND keyboard = Open();
    EXPECT_EQ(service->keyboardOwner, nullptr);
    EXPECT_EQ(GetWindow(keyboard, GW_OWNER), nullptr);
    EXPECT_EQ(WindowRect(keyboard).left, 0);
    SendMessageW(keyboard, WM_TIMER, 1, 0);
    EXPECT_FALSE(IsWindowVisible(keyboard));
    EXPECT_EQ(service->keyboardWindow, keyboard);  // hidden, not closed
}

TEST_F(KeyboardWindowTest, HitTestingMovesByTheStripAndGapsAndClicksKeysBarsAndClose) {
    HWND keyboard = Open();
    const RECT client = ClientRect(keyboard);
    const KeyboardLayout layout = KeyboardLayoutFor(client.right, client.bottom);
    const RECT key = KeyboardKeyRect(layout, 2, 0);
    const RECT space = KeyboardSpaceBar(layout);
    struct Case {
        const char* name;
        int x, y;
        LRESULT code;
    };
    const Case cases[] = {
        {"title strip", 20, 5, HTCAPTION},
        {"close box", client.right - 10, 5, HTCLIENT},
        {"key", key.left + 3, key.top + 3, HTCLIENT},
        {"gap right of a key", key.right + 1, key.top + 3, HTCAPTION},
        {"gap below a key", key.left + 3, key.bottom + 1, HTCAPTION},
        {"left margin", 2, key.top + 3, HTCAPTION},
        {"space bar", space.left + 3, space.bottom - 3, HTCLIENT},
        {"backspace bar", client.right - 6, space.top + 3, HTCLIENT},
        {"bottom margin", 100, client.bottom - 2, HTCAPTION},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SendMessageW(keyboard, WM_NCHITTEST, 0, ScreenPoint(keyboard, c.x, c.y)), c.code)
            << c.name;
    }
    // The resizing frame answers as the default procedure does.
    const RECT outer = WindowRect(keyboard);
    const LPARAM leftEdge = MAKELPARAM(outer.left, (outer.top + outer.bottom) / 2);
    EXPECT_EQ(SendMessageW(keyboard, WM_NCHITTEST, 0, leftEdge), HTLEFT);
    const LPARAM corner = MAKELPARAM(outer.right - 1, outer.bottom - 1);
    EXPECT_EQ(SendMessageW(keyboard, WM_NCHITTEST, 0, corner), HTBOTTOMRIGHT);

    EXPECT_EQ(SendMessageW(keyboard, WM_MOUSEACTIVATE, 0, 0), MA_NOACTIVATE);
    EXPECT_EQ(SendMessageW(keyboard, WM_SETCURSOR, 0, MAKELPARAM(HTCAPTION, WM_MOUSEMOVE)), TRUE);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZEALL));
    EXPECT_EQ(SendMessageW(keyboard, WM_SETCURSOR, 0, MAKELPARAM(HTLEFT, WM_MOUSEMOVE)), TRUE);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
}

TEST_F(KeyboardWindowTest, ResizesDownTo420By240AndBeyondTheOpeningLimitsWhileOpen) {
    HWND keyboard = Open();
    MINMAXINFO info{};
    info.ptMaxTrackSize = POINT{5000, 4000};
    EXPECT_EQ(SendMessageW(keyboard, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.ptMinTrackSize.x, 420);
    EXPECT_EQ(info.ptMinTrackSize.y, 240);
    EXPECT_EQ(info.ptMaxTrackSize.x, 5000);  // left alone

    struct Case {
        int width, height, expectedWidth, expectedHeight;
    };
    const Case cases[] = {{100, 100, 420, 240}, {1200, 950, 1200, 950}, {500, 300, 500, 300}};
    for (const Case& c : cases) {
        SetWindowPos(keyboard, nullptr, 0, 0, c.width, c.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const RECT r = WindowRect(keyboard);
        EXPECT_EQ(r.right - r.left, c.expectedWidth) << c.width;
        EXPECT_EQ(r.bottom - r.top, c.expectedHeight) << c.height;
    }
}

TEST_F(KeyboardWindowTest, EndOfAMoveOrResizeStoresThePlaceWithNegativesAsZero) {
    HWND keyboard = Open();
    SetWindowPos(keyboard, nullptr, -30, 40, 500, 260, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(StoredSetting(SettingNames::KeyboardX));  // nothing before the end
    EXPECT_EQ(SendMessageW(keyboard, WM_EXITSIZEMOVE, 0, 0), 0);
    EXPECT_EQ(StoredSetting(SettingNames::KeyboardX), 0);
    EXPECT_EQ(StoredSetting(SettingNames::KeyboardY), 40);
    EXPECT_EQ(StoredSetting(SettingNames::KeyboardWidth), 500);
    EXPECT_EQ(StoredSetting(SettingNames::KeyboardHeight), 260);

    // A size beyond the opening limits is stored as it is and clamped at the next opening.
    SetWindowPos(keyboard, nullptr, 10, 20, 1200, 950, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(keyboard, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(StoredSetting(SettingNames::KeyboardWidth), 1200);
    EXPECT_EQ(StoredSetting(SettingNames::KeyboardHeight), 950);
    service->ToggleKeyboard();
    keyboard = Open();
    EXPECT_EQ(WindowRect(keyboard).bottom - WindowRect(keyboard).top, 900);
}

TEST_F(KeyboardWindowTest, CloseBoxClosesAndTheNextOpeningIsAtTheStoredPlace) {
    HWND keyboard = Open();
    SetWindowPos(keyboard, nullptr, 120, 130, 600, 280, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(keyboard, WM_EXITSIZEMOVE, 0, 0);

    const RECT client = ClientRect(keyboard);
    Click(keyboard, client.right - 40, 5);  // title strip: nothing
    EXPECT_TRUE(IsWindow(keyboard));
    Click(keyboard, client.right - 20, 5);
    EXPECT_FALSE(IsWindow(keyboard));
    EXPECT_EQ(service->keyboardWindow, nullptr);
    EXPECT_EQ(service->keyboardOwner, nullptr);

    keyboard = Open();
    const RECT r = WindowRect(keyboard);
    EXPECT_EQ(r.left, 120);
    EXPECT_EQ(r.top, 130);
    EXPECT_EQ(r.right - r.left, 600);
    EXPECT_EQ(r.bottom - r.top, 280);
}

TEST_F(KeyboardWindowTest, ShownOnlyWhileTheOwnersApplicationIsInFront) {
    HWND keyboard = Open();
    HWND other = MakeTopLevel(700, 100, 200, 200);
    struct Step {
        const char* name;
        HWND front;
        bool visible;
    };
    const Step steps[] = {
        {"owner in front", application, true},
        {"another application in front", other, false},
        {"owner back in front", application, true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        BringToFront(s.front);
        ASSERT_EQ(GetForegroundWindow(), s.front);
        EXPECT_EQ(SendMessageW(keyboard, WM_TIMER, 1, 0), 0);
        EXPECT_EQ(IsWindowVisible(keyboard) != FALSE, s.visible);
    }
    // The real timer does the same within its 80 ms.
    BringToFront(other);
    PumpMessages(250);
    EXPECT_FALSE(IsWindowVisible(keyboard));
    BringToFront(application);
    PumpMessages(250);
    EXPECT_TRUE(IsWindowVisible(keyboard));
    DestroyWindow(other);
}

TEST_F(KeyboardWindowTest, AnOwnerDestroyedUnderTheKeyboardClosesItCleanly) {
    HWND keyboard = Open();
    DestroyWindow(application);  // the system takes the owned keyboard with it
    EXPECT_FALSE(IsWindow(keyboard));
    EXPECT_EQ(service->keyboardWindow, nullptr);
    EXPECT_EQ(service->keyboardOwner, nullptr);

    // The next toggle opens a new keyboard instead of closing a window that is gone.
    application = MakeTopLevel(200, 150, 600, 400);
    context->View().window = application;
    BringToFront(application);
    keyboard = Open();
    EXPECT_TRUE(IsWindow(keyboard));
    EXPECT_EQ(service->keyboardOwner, application);
    EXPECT_EQ(SendMessageW(keyboard, WM_TIMER, 1, 0), 0);
    EXPECT_TRUE(IsWindowVisible(keyboard));
}

TEST_F(KeyboardWindowTest, AChildOwnerDestroyedAloneLeavesTheKeyboardHidden) {
    // An application's edit control as the view window: the keyboard is owned by its
    // top-level window and outlives the control.
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 30,
                                application, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    context->View().window = edit;
    HWND keyboard = Open();
    EXPECT_EQ(service->keyboardOwner, edit);
    EXPECT_EQ(GetWindow(keyboard, GW_OWNER), application);
    SendMessageW(keyboard, WM_TIMER, 1, 0);
    EXPECT_TRUE(IsWindowVisible(keyboard));

    DestroyWindow(edit);
    SendMessageW(keyboard, WM_TIMER, 1, 0);
    EXPECT_TRUE(IsWindow(keyboard));
    EXPECT_FALSE(IsWindowVisible(keyboard));
    service->ToggleKeyboard();
    EXPECT_FALSE(IsWindow(keyboard));
}

TEST_F(KeyboardWindowTest, DeactivationDestroysTheKeyboard) {
    HWND keyboard = Open();
    service->Deactivate();
    EXPECT_FALSE(IsWindow(keyboard));
    EXPECT_EQ(service->keyboardWindow, nullptr);
    EXPECT_EQ(service->keyboardOwner, nullptr);
}

TEST_F(KeyboardWindowTest, MessagesBeforeCreationAndAfterTheServiceLeftGoToTheDefault) {
    // A window of the class made without the service (no creation parameter) answers
    // every message the service would take with the default procedure.
    HWND keyboard = Open();
    ASSERT_NE(keyboard, nullptr);
    HWND bare = CreateWindowExW(WS_EX_NOACTIVATE, KeyboardWindowClass, L"", WS_POPUP, 0, 0, 500,
                                300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(SendMessageW(bare, WM_TIMER, 1, 0), 0);
    SendMessageW(bare, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_FALSE(StoredSetting(SettingNames::KeyboardX));
    SendMessageW(bare, WM_LBUTTONUP, 0, MAKELPARAM(490, 5));  // would be the close box
    EXPECT_TRUE(IsWindow(bare));
    DestroyWindow(bare);
    EXPECT_EQ(service->keyboardWindow, keyboard);  // another window's end changes nothing
}

}  // namespace
