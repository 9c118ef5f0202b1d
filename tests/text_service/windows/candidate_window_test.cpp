// The real toolbar and candidate window of a service activated on the fake TSF, driven
// with window messages; needs a display (a private Xvfb under ctest).

#include "windows/candidate_window.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "com_object.h"
#include "com_ptr.h"
#include "dll_globals.h"
#include "fake_tsf/fake_context.h"
#include "fake_tsf/fake_thread_mgr.h"
#include "fake_tsf/test_environment.h"
#include "fake_tsf/test_sessions.h"
#include "settings_names.h"
#include "settings_store.h"
#include "test_files.h"
#include "text_service.h"
#include "window_capture.h"

namespace {

constexpr TfClientId Client = 42;
constexpr int CaretX = 50;
constexpr int CaretY = 60;
constexpr int CaretHeight = 20;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateHost() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"CandidateTestHost";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, L"CandidateTestHost", L"host", WS_POPUP | WS_VISIBLE, 100, 100, 600,
                           400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// Makes the application window the one in front with the keyboard focus and a caret.
// Without a window manager a change of the foreground window costs Wine a while, so
// the host is shared by the tests and brought forward only when it is not in front.
void BringForward(HWND host) {
    SetWindowPos(host, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (GetForegroundWindow() != host) SetForegroundWindow(host);
    SetFocus(host);
    CreateCaret(host, nullptr, 2, CaretHeight);
    SetCaretPos(CaretX, CaretY);
    ShowCaret(host);
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

LPARAM PointParam(int x, int y) {
    return static_cast<LPARAM>(static_cast<std::uint32_t>(static_cast<std::uint16_t>(x)) |
                               (static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16));
}

std::int32_t StoredDword(const wchar_t* name) { return ReadDwordSetting(name, INT32_MIN); }

class CandidateWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake_tsf::ClearSettings();
        fake_tsf::UseTable(test_support::SourcePath("data/ZiRevod-Ka.cin"));
        savedModule = DllModule;
        DllModule = GetModuleHandleW(nullptr);
        BringForward(host);
        context->View().window = host;
        objectsBefore = DllObjectCount.load();
        service = NewComObject<TextService>();
        ASSERT_NE(service, nullptr);
    }
    void TearDown() override {
        if (service != nullptr) {
            service->Deactivate();
            static_cast<ITfTextInputProcessorEx*>(service)->Release();
        }
        context.Reset();  // with any session it still holds
        EXPECT_EQ(DllObjectCount.load(), objectsBefore);
        DllModule = savedModule;
        fake_tsf::ClearSettings();
    }

    static void SetUpTestSuite() { host = CreateHost(); }
    static void TearDownTestSuite() { DestroyWindow(host); }

    void Activate() { ASSERT_EQ(service->Activate(threadMgr.Get(), Client), S_OK); }

    POINT CaretOnScreen() const {
        POINT caret{CaretX, CaretY + CaretHeight};
        ClientToScreen(host, &caret);
        return caret;
    }

    // As the key path runs it: inside a synchronous session while a key is delivered.
    void RunInSession(std::function<void(TfEditCookie)> body) {
        auto session = fake_tsf::Session([&](TfEditCookie cookie) {
            body(cookie);
            return S_OK;
        });
        fake_tsf::KeyDeliveryScope key;
        HRESULT sessionResult = E_FAIL;
        ASSERT_EQ(context->RequestEditSession(Client, session.Get(), TF_ES_SYNC | TF_ES_READWRITE,
                                              &sessionResult),
                  S_OK);
        ASSERT_EQ(sessionResult, S_OK);
    }

    // The twelve candidates of "x" in the sample table: two pages.
    void ConvertCode(const char* code) {
        for (const char* key = code; *key != '\0'; ++key) service->composer.AddKey(*key);
        service->composer.Convert();
        service->candidatePage = 0;
        service->candidateRow = 0;
    }

    // Starts a composition over the selection, as the key path holds one.
    void HoldComposition() {
        RunInSession([&](TfEditCookie cookie) {
            ComPtr<ITfRange> range;
            ASSERT_EQ(context->InsertTextAtSelection(cookie, TF_IAS_QUERYONLY, L"", 0, range.Put()),
                      S_OK);
            ComPtr<ITfComposition> composition;
            ASSERT_EQ(context->StartComposition(cookie, range.Get(),
                                                static_cast<ITfCompositionSink*>(service),
                                                composition.Put()),
                      S_OK);
            service->composition = composition;
        });
        service->compositionContext = ComPtr<ITfContext>(context.Get());
    }

    void ShowCandidates() {
        RunInSession([&](TfEditCookie cookie) { service->ShowCandidates(cookie, context.Get()); });
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageW(service->candidateWindow, message, wParam, lParam);
    }

    fake_tsf::ComApartment apartment;
    ComPtr<fake_tsf::FakeThreadMgr> threadMgr = fake_tsf::Make<fake_tsf::FakeThreadMgr>();
    ComPtr<fake_tsf::FakeContext> context = fake_tsf::Make<fake_tsf::FakeContext>();
    TextService* service = nullptr;
    static inline HWND host = nullptr;
    HINSTANCE savedModule = nullptr;
    std::uint32_t objectsBefore = 0;
};

TEST_F(CandidateWindowTest, ToolbarIsANeverActivatedTopmostPopupOwnedByTheFocusWindow) {
    Activate();
    service->toolbarOffset = ScreenPair{5, -7};
    service->ShowToolbar(true);
    HWND window = service->candidateWindow;
    ASSERT_NE(window, nullptr);

    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    EXPECT_STREQ(className, L"Mo_Input_Ka_Candidates");
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_EQ(exStyle & (WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
              WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    EXPECT_NE(GetWindowLongPtrW(window, GWL_STYLE) & WS_POPUP, 0);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetWindow(window, GW_OWNER), host);
    EXPECT_EQ(service->candidateOwner, host);
    EXPECT_EQ(GetForegroundWindow(), host);  // showing took no activation

    const POINT caret = CaretOnScreen();
    const RECT rect = WindowRect(window);
    EXPECT_EQ(rect.left, caret.x + 5);
    EXPECT_EQ(rect.top, caret.y - 7);
    EXPECT_EQ(rect.right - rect.left, 280);
    EXPECT_EQ(rect.bottom - rect.top, 32);

    EXPECT_EQ(Send(WM_NCHITTEST, 0, PointParam(rect.left + 1, rect.top + 1)), HTCLIENT);
    EXPECT_EQ(Send(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(host), 0), MA_NOACTIVATE);
    EXPECT_EQ(Send(WM_ERASEBKGND), 1);

    // A second show places the same window again.
    service->ShowToolbar(false);
    EXPECT_EQ(service->candidateWindow, window);

    // The follow timer runs on the window.
    EXPECT_TRUE(KillTimer(window, IDT_CANDIDATE_FOLLOW));
}

TEST_F(CandidateWindowTest, NothingIsShownInactiveOrWithTheToolbarOff) {
    service->ShowToolbar(true);  // not activated
    EXPECT_EQ(service->candidateWindow, nullptr);

    fake_tsf::StoreSetting(SettingNames::PersistentToolbar, 0);
    Activate();
    service->ShowToolbar(true);
    EXPECT_EQ(service->candidateWindow, nullptr);

    // The list still appears, and its timer still follows.
    ConvertCode("x");
    ShowCandidates();
    ASSERT_NE(service->candidateWindow, nullptr);
    EXPECT_TRUE(IsWindowVisible(service->candidateWindow));
}

TEST_F(CandidateWindowTest, FixedModeRemembersTheFirstPlaceInMemoryOnly) {
    fake_tsf::StoreSetting(SettingNames::ToolbarFollowMode, 0);
    Activate();
    service->ShowToolbar(false);
    ASSERT_NE(service->candidateWindow, nullptr);
    const POINT caret = CaretOnScreen();
    EXPECT_EQ(service->toolbarPosition.x, caret.x);
    EXPECT_EQ(service->toolbarPosition.y, caret.y);
    EXPECT_EQ(StoredDword(SettingNames::ToolbarX), INT32_MIN);  // nothing written

    SetCaretPos(CaretX + 100, CaretY + 40);
    service->ShowToolbar(true);
    const RECT rect = WindowRect(service->candidateWindow);
    EXPECT_EQ(rect.left, caret.x);
    EXPECT_EQ(rect.top, caret.y);

    // The timer shows it where it is and never moves it.
    SetWindowPos(service->candidateWindow, HWND_TOPMOST, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    Send(WM_TIMER, IDT_CANDIDATE_FOLLOW);
    EXPECT_EQ(WindowRect(service->candidateWindow).left, 10);
}

TEST_F(CandidateWindowTest, FollowWhileTypingFollowsUntilTheDeadlineThenGoesBack) {
    fake_tsf::StoreSetting(SettingNames::ToolbarFollowMode, 2);
    fake_tsf::StoreSetting(SettingNames::ToolbarX, 700);
    fake_tsf::StoreSetting(SettingNames::ToolbarY, 500);
    Activate();

    const DWORD before = GetTickCount();
    service->ShowToolbar(true);
    ASSERT_NE(service->candidateWindow, nullptr);
    EXPECT_GE(service->followUntil - before, 900u);
    EXPECT_LE(service->followUntil - before, 1000u);
    POINT caret = CaretOnScreen();
    EXPECT_EQ(WindowRect(service->candidateWindow).left, caret.x);  // from a key: at the caret

    // Inside the follow window the timer follows the caret.
    SetCaretPos(CaretX + 30, CaretY + 10);
    caret = POINT{CaretX + 30, CaretY + 10 + CaretHeight};
    ClientToScreen(host, &caret);
    service->followUntil = GetTickCount() + 60000;
    Send(WM_TIMER, IDT_CANDIDATE_FOLLOW);
    EXPECT_EQ(WindowRect(service->candidateWindow).left, caret.x);
    EXPECT_EQ(WindowRect(service->candidateWindow).top, caret.y);

    // After it, back to the stored position.
    service->followUntil = GetTickCount() - 1;
    Send(WM_TIMER, IDT_CANDIDATE_FOLLOW);
    EXPECT_EQ(WindowRect(service->candidateWindow).left, 700);
    EXPECT_EQ(WindowRect(service->candidateWindow).top, 500);

    // A deadline far ahead, past the point where the tick count wraps, is still ahead.
    service->followUntil = GetTickCount() + 0x7FFF0000u;
    Send(WM_TIMER, IDT_CANDIDATE_FOLLOW);
    EXPECT_EQ(WindowRect(service->candidateWindow).left, caret.x);
}

TEST_F(CandidateWindowTest, TimerHidesTheWindowWhileItsOwnerIsNotInFront) {
    Activate();
    service->ShowToolbar(true);
    HWND window = service->candidateWindow;
    ASSERT_NE(window, nullptr);

    HWND other = CreateWindowExW(0, L"CandidateTestHost", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                 50, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(other);
    ASSERT_EQ(GetForegroundWindow(), other);
    Send(WM_TIMER, IDT_CANDIDATE_FOLLOW);
    EXPECT_FALSE(IsWindowVisible(window));

    SetForegroundWindow(host);
    Send(WM_TIMER, IDT_CANDIDATE_FOLLOW);
    EXPECT_TRUE(IsWindowVisible(window));

    service->candidateOwner = other;
    DestroyWindow(other);  // the owner is gone
    Send(WM_TIMER, IDT_CANDIDATE_FOLLOW);
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(CandidateWindowTest, ListSizeFollowsItsPageAndSitsUnderTheCompositionText) {
    Activate();
    HoldComposition();
    context->View().layout.origin = POINT{300, 200};  // the composition: an empty range
    ConvertCode("x");
    ASSERT_EQ(service->composer.Candidates().size(), 12u);
    ShowCandidates();
    HWND window = service->candidateWindow;
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindow(window, GW_OWNER), host);  // the view's window

    RECT rect = WindowRect(window);
    EXPECT_EQ(rect.left, 300);
    EXPECT_EQ(rect.top, 220);                // the extent's bottom
    EXPECT_EQ(rect.bottom - rect.top, 352);  // ten rows
    EXPECT_GE(rect.right - rect.left, 280);
    EXPECT_LE(rect.right - rect.left, 640);

    service->candidatePage = 1;
    ShowCandidates();
    EXPECT_EQ(service->candidateWindow, window);  // laid out again, same window
    rect = WindowRect(window);
    EXPECT_EQ(rect.bottom - rect.top, 2 * 32 + 30 + 2);

    // Too low for the list: it goes above the text.
    context->View().layout.origin = POINT{300, 990};
    service->candidatePage = 0;
    ShowCandidates();
    rect = WindowRect(window);
    EXPECT_EQ(rect.bottom, 990);
}

// A table whose code "a" has 25 values and only three selection keys.
std::string TwentyFiveValues() {
    std::string text = "%selkey 123\n%keyname begin\na A\n%keyname end\n%chardef begin\n";
    for (int i = 0; i < 25; ++i) text += "a v" + std::to_string(i) + "\n";
    return text + "%chardef end\n";
}

TEST_F(CandidateWindowTest, TwentyFiveCandidatesShowFiveRowsOnTheThirdPage) {
    test_support::TempDir temp;
    fake_tsf::UseTable(temp.Write("25.cin", TwentyFiveValues()));
    Activate();
    ConvertCode("a");
    ASSERT_EQ(service->composer.Candidates().size(), 25u);
    service->candidatePage = 2;
    ShowCandidates();
    ASSERT_NE(service->candidateWindow, nullptr);
    RECT rect = WindowRect(service->candidateWindow);
    EXPECT_EQ(rect.bottom - rect.top, 5 * 32 + 30 + 2);  // entries 20 to 24

    EXPECT_EQ(service->CandidatePageRowText(0), L"1.  v20");
    EXPECT_EQ(service->CandidatePageRowText(2), L"3.  v22");
    EXPECT_EQ(service->CandidatePageRowText(3), L"?.  v23");  // past the selection keys
    EXPECT_EQ(service->CandidatePageRowText(5), L"");         // no sixth row on this page

    // A larger font makes taller rows: R = 28 + 12.
    service->candidateFontSize = 28;
    ShowCandidates();
    rect = WindowRect(service->candidateWindow);
    EXPECT_EQ(rect.bottom - rect.top, 5 * 40 + 30 + 2);
}

TEST_F(CandidateWindowTest, WithoutATextExtentTheCaretStandsInAndIsTheTopToo) {
    Activate();
    ConvertCode("x");
    ShowCandidates();  // no composition held: no extent
    ASSERT_NE(service->candidateWindow, nullptr);
    POINT caret{CaretX, CaretY};
    ClientToScreen(host, &caret);
    RECT rect = WindowRect(service->candidateWindow);
    EXPECT_EQ(rect.left, caret.x);
    EXPECT_EQ(rect.top, caret.y);

    // A caret near the bottom of the screen: the list ends at the caret, not at the top of
    // the work area.
    SetWindowPos(host, nullptr, 100, 900, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    caret = POINT{CaretX, CaretY};
    ClientToScreen(host, &caret);
    ShowCandidates();
    rect = WindowRect(service->candidateWindow);
    EXPECT_EQ(rect.bottom, caret.y);
    EXPECT_GT(rect.top, 0);
}

TEST_F(CandidateWindowTest, LongCandidateIsCutAtTheLargestWidth) {
    Activate();
    service->composer.AddKey('m');
    service->composer.AddKey('o');
    service->composer.AddKey('*');
    service->composer.Convert();
    ASSERT_GE(service->composer.Candidates().size(), 2u);
    ShowCandidates();
    const RECT narrow = WindowRect(service->candidateWindow);
    EXPECT_GE(narrow.right - narrow.left, 280);

    service->candidateFontSize = 400;  // huge rows measure far wider than the largest width
    DeleteObject(service->candidateFont);
    service->candidateFont = nullptr;
    ShowCandidates();
    const RECT wide = WindowRect(service->candidateWindow);
    EXPECT_EQ(wide.right - wide.left, 640);
}

TEST_F(CandidateWindowTest, DragInFixedModeStoresThePosition) {
    fake_tsf::StoreSetting(SettingNames::ToolbarFollowMode, 0);
    Activate();
    service->ShowToolbar(false);
    HWND window = service->candidateWindow;
    ASSERT_NE(window, nullptr);
    const RECT start = WindowRect(window);

    SetCursorPos(start.left + 20, start.top + 10);
    EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(20, 10)), 0);
    EXPECT_TRUE(service->dragging);
    EXPECT_EQ(GetCapture(), window);

    SetCursorPos(start.left + 20 + 37, start.top + 10 + 15);
    Send(WM_MOUSEMOVE, MK_LBUTTON, PointParam(57, 25));
    RECT moved = WindowRect(window);
    EXPECT_EQ(moved.left, start.left + 37);
    EXPECT_EQ(moved.top, start.top + 15);

    // The timer leaves a dragged window alone.
    Send(WM_TIMER, IDT_CANDIDATE_FOLLOW);
    EXPECT_EQ(WindowRect(window).left, start.left + 37);

    Send(WM_LBUTTONUP, 0, PointParam(57, 25));
    EXPECT_FALSE(service->dragging);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(service->toolbarPosition.x, start.left + 37);
    EXPECT_EQ(service->toolbarPosition.y, start.top + 15);
    EXPECT_EQ(StoredDword(SettingNames::ToolbarX), start.left + 37);
    EXPECT_EQ(StoredDword(SettingNames::ToolbarY), start.top + 15);
    EXPECT_EQ(StoredDword(SettingNames::ToolbarOffsetX), INT32_MIN);
}

TEST_F(CandidateWindowTest, ClickOnTheHeaderInCaretModeStoresTheOffset) {
    Activate();
    service->toolbarOffset = ScreenPair{4, 6};
    service->ShowToolbar(true);
    ASSERT_NE(service->candidateWindow, nullptr);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(10, 10));
    Send(WM_LBUTTONUP, 0, PointParam(10, 10));
    EXPECT_EQ(StoredDword(SettingNames::ToolbarOffsetX), 4);
    EXPECT_EQ(StoredDword(SettingNames::ToolbarOffsetY), 6);
    EXPECT_EQ(StoredDword(SettingNames::ToolbarX), INT32_MIN);
}

TEST_F(CandidateWindowTest, LostCaptureEndsTheDragAndStoresNothing) {
    fake_tsf::StoreSetting(SettingNames::ToolbarFollowMode, 1);
    Activate();
    service->ShowToolbar(true);
    HWND window = service->candidateWindow;
    ASSERT_NE(window, nullptr);
    const RECT start = WindowRect(window);

    SetCursorPos(start.left + 20, start.top + 10);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(20, 10));
    ASSERT_TRUE(service->dragging);
    SetCursorPos(start.left + 60, start.top + 30);
    Send(WM_MOUSEMOVE, MK_LBUTTON, PointParam(60, 30));

    SetCapture(host);  // another window takes the mouse; no release ever comes
    EXPECT_FALSE(service->dragging);
    EXPECT_EQ(StoredDword(SettingNames::ToolbarOffsetX), INT32_MIN);
    EXPECT_EQ(StoredDword(SettingNames::ToolbarOffsetY), INT32_MIN);
    ReleaseCapture();

    // The timer takes the window back to the caret at once.
    Send(WM_TIMER, IDT_CANDIDATE_FOLLOW);
    EXPECT_EQ(WindowRect(window).left, start.left);
    EXPECT_EQ(WindowRect(window).top, start.top);

    // A destroyed window cannot leave a drag behind either.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(20, 10));
    ASSERT_TRUE(service->dragging);
    service->DestroyCandidateWindow();
    EXPECT_FALSE(service->dragging);
    EXPECT_EQ(service->candidateWindow, nullptr);
    EXPECT_EQ(service->candidateOwner, nullptr);
}

TEST_F(CandidateWindowTest, APopupDestroyedWithItsOwnerIsForgottenAndTheNextShowMakesANewOne) {
    Activate();
    HWND owner = CreateWindowExW(0, L"CandidateTestHost", L"owner", WS_POPUP | WS_VISIBLE, 0, 0,
                                 200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    SetForegroundWindow(owner);
    SetFocus(owner);
    service->ShowToolbar(true);
    HWND popup = service->candidateWindow;
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetWindow(popup, GW_OWNER), owner);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(20, 10));
    ASSERT_TRUE(service->dragging);

    DestroyWindow(owner);  // the system takes the owned popup down with it
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(service->candidateWindow, nullptr);
    EXPECT_EQ(service->candidateOwner, nullptr);
    EXPECT_FALSE(service->dragging);

    // Focus comes back to the application: the toolbar shows again, in a new window.
    BringForward(host);
    service->ShowToolbar(false);
    ASSERT_NE(service->candidateWindow, nullptr);
    EXPECT_TRUE(IsWindow(service->candidateWindow));
    EXPECT_TRUE(IsWindowVisible(service->candidateWindow));
    EXPECT_EQ(GetWindow(service->candidateWindow, GW_OWNER), host);
    service->DestroyCandidateWindow();
    EXPECT_EQ(service->candidateWindow, nullptr);
}

TEST_F(CandidateWindowTest, ButtonsActOnReleaseAndWriteTheOutputSwitches) {
    Activate();
    service->ShowToolbar(true);
    ASSERT_NE(service->candidateWindow, nullptr);

    Send(WM_LBUTTONUP, 0, PointParam(140, 15));  // button 0
    EXPECT_EQ(service->simplifiedOutput, 1);
    EXPECT_EQ(ReadSimplifiedOutput(), 1);
    Send(WM_LBUTTONUP, 0, PointParam(163, 15));  // the gap after cell 0 is still button 0
    EXPECT_EQ(service->simplifiedOutput, 0);
    EXPECT_EQ(ReadSimplifiedOutput(), 0);

    Send(WM_LBUTTONUP, 0, PointParam(170, 29));  // button 1
    EXPECT_TRUE(service->fullwidthOutput);
    EXPECT_TRUE(ReadFullwidthOutput());

    // A press in the list's header starts no drag; the release over a button still acts.
    ConvertCode("x");
    ShowCandidates();
    const RECT list = WindowRect(service->candidateWindow);
    const int x0 = (list.right - list.left) - 4 - 5 * 28;
    Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(10, 10));
    EXPECT_FALSE(service->dragging);
    Send(WM_LBUTTONUP, 0, PointParam(x0 + 28 + 3, 10));
    EXPECT_FALSE(service->fullwidthOutput);
    EXPECT_FALSE(ReadFullwidthOutput());
}

TEST_F(CandidateWindowTest, ARealClickPressesAButtonAndLeavesTheFocusInTheApplication) {
    Activate();
    service->ShowToolbar(true);
    HWND window = service->candidateWindow;
    ASSERT_NE(window, nullptr);
    test_support::PumpMessages(100);
    const RECT rect = WindowRect(window);
    SetCursorPos(rect.left + 140, rect.top + 15);  // button 0
    INPUT clicks[2] = {};
    clicks[0].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].type = INPUT_MOUSE;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, clicks, sizeof(INPUT)), 2u);
    test_support::PumpMessages(300);

    EXPECT_EQ(service->simplifiedOutput, 1);
    EXPECT_EQ(GetForegroundWindow(), host);
    EXPECT_EQ(GetFocus(), host);
}

std::vector<std::wstring> launched;
bool RecordLaunch(std::wstring_view fileName) noexcept {
    launched.emplace_back(fileName);
    return true;
}

TEST_F(CandidateWindowTest, ProgramButtonsStartTheSettingsProgramAndThePhraseEditor) {
    Activate();
    launched.clear();
    service->launchProgram = &RecordLaunch;
    service->ShowToolbar(true);
    ASSERT_NE(service->candidateWindow, nullptr);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(250, 10));  // a press on button 4 ...
    Send(WM_LBUTTONUP, 0, PointParam(192, 10));             // ... released on button 2
    Send(WM_LBUTTONUP, 0, PointParam(247, 28));             // button 3, its gap
    EXPECT_EQ(launched,
              (std::vector<std::wstring>{L"mo_input_ka_settings.exe", L"mo_input_ka_words.exe"}));
}

TEST_F(CandidateWindowTest, RowClickHighlightsTheRowOnlyWhereACandidateAndAContextAre) {
    Activate();
    ConvertCode("x");
    service->candidatePage = 1;  // two candidates on the second page
    ShowCandidates();
    ASSERT_NE(service->candidateWindow, nullptr);

    const std::size_t sessionsBefore = context->Sessions().size();
    Send(WM_LBUTTONUP, 0, PointParam(40, 30 + 32 + 5));  // row 1, but no context held
    EXPECT_EQ(service->candidateRow, 0u);

    service->compositionContext = ComPtr<ITfContext>(context.Get());
    Send(WM_LBUTTONUP, 0, PointParam(40, 30 + 2 * 32 + 5));  // below the last row
    EXPECT_EQ(service->candidateRow, 0u);
    EXPECT_EQ(context->Sessions().size(), sessionsBefore);
}

TEST_F(CandidateWindowTest, RowClickCommitsThatCandidateThroughAnAsynchronousEnterSession) {
    Activate();
    HoldComposition();
    ConvertCode("x");
    service->candidatePage = 1;
    ShowCandidates();
    ASSERT_NE(service->candidateWindow, nullptr);
    const std::size_t sessionsBefore = context->Sessions().size();

    Send(WM_LBUTTONUP, 0, PointParam(40, 30 + 32 + 5));
    EXPECT_EQ(service->candidateRow, 1u);
    ASSERT_EQ(context->Sessions().size(), sessionsBefore + 1);
    const fake_tsf::SessionRecord& request = context->Sessions().back();
    EXPECT_EQ(request.flags, static_cast<DWORD>(TF_ES_ASYNC | TF_ES_READWRITE));
    EXPECT_TRUE(request.queued);
    EXPECT_EQ(context->Text(), L"");  // nothing is chosen before the session runs

    context->RunPendingSessions();
    EXPECT_EQ(context->Text(), L"\u7d22");  // 索, the twelfth candidate of "x"
    EXPECT_TRUE(service->composer.Candidates().empty());
}

TEST_F(CandidateWindowTest, PaintsTheThemeColours) {
    fake_tsf::StoreSetting(SettingNames::ThemeBackground, 0x00102030);
    fake_tsf::StoreSetting(SettingNames::ThemeSelection, 0x00C08040);
    fake_tsf::StoreSetting(SettingNames::ThemeBorder, 0x000000FF);
    Activate();
    ConvertCode("x");
    service->candidateRow = 2;
    ShowCandidates();
    HWND window = service->candidateWindow;
    ASSERT_NE(window, nullptr);
    UpdateWindow(window);
    test_support::PumpMessages(200);

    test_support::Capture capture;
    ASSERT_TRUE(test_support::CaptureWindow(window, capture));
    // Captured pixels are 0x00RRGGBB; the theme stores 0x00BBGGRR.
    constexpr DWORD background = 0x302010;
    constexpr DWORD selection = 0x4080C0;
    constexpr DWORD border = 0xFF0000;
    EXPECT_EQ(capture.At(0, 0), border);                               // the frame
    EXPECT_EQ(capture.At(capture.width - 1, 200), border);             // the frame
    EXPECT_EQ(capture.At(capture.width / 2, 29), border);              // the header line
    EXPECT_EQ(capture.At(capture.width - 4 - 140 + 1, 4), selection);  // button cell 0
    EXPECT_EQ(capture.At(6, 30 + 2 * 32 + 2), selection);              // the highlighted row's bar
    EXPECT_EQ(capture.At(2, 30 + 5 * 32 + 2), background);  // an ordinary row, left margin
}

}  // namespace
