#pragma once
// Drives the settings window inside a test program the way a user's clicks would: the
// window is created through the program's own class and creation code, and its controls
// get the messages they send when used.

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <utility>

#include "control_ids.h"
#include "settings_names.h"
#include "settings_window.h"
#include "window_capture.h"

namespace settings_test {

inline void DeleteSettingsKey() { RegDeleteTreeW(HKEY_CURRENT_USER, SettingNames::KeyPath); }

inline void StoreDword(const wchar_t* name, DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, SettingNames::KeyPath, name, REG_DWORD, &value,
                    sizeof(value));
}

inline void StoreString(const wchar_t* name, const std::wstring& text) {
    RegSetKeyValueW(HKEY_CURRENT_USER, SettingNames::KeyPath, name, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The settings window, created and shown as the program does it, destroyed at the end.
class SettingsWindow {
  public:
    SettingsWindow() {
        static const bool registered = RegisterSettingsWindowClass(GetModuleHandleW(nullptr));
        (void)registered;
        window = CreateSettingsWindow(GetModuleHandleW(nullptr));
        if (window) {
            ShowWindow(window, SW_SHOWNORMAL);
            test_support::PumpMessages(300);
        }
    }
    ~SettingsWindow() {
        if (window) DestroyWindow(window);
        DropQuitMessage();
    }
    SettingsWindow(const SettingsWindow&) = delete;
    SettingsWindow& operator=(const SettingsWindow&) = delete;

    HWND Handle() const { return window; }
    HWND Control(int id) const { return GetDlgItem(window, id); }

    bool IsChecked(int id) const {
        return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    void SetChecked(int id, bool checked) const {
        SendMessageW(Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    long long Selection(int id) const {
        return static_cast<long long>(SendMessageW(Control(id), CB_GETCURSEL, 0, 0));
    }
    std::wstring ItemText(int id, int index) const {
        const auto length = SendMessageW(Control(id), CB_GETLBTEXTLEN, index, 0);
        if (length < 0) return L"<none>";
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(Control(id), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length));
        return text;
    }
    int ItemCount(int id) const {
        return static_cast<int>(SendMessageW(Control(id), CB_GETCOUNT, 0, 0));
    }

    // A user's choice in a list: the selection moves and the list tells its parent.
    void Choose(int id, int index) const {
        SendMessageW(Control(id), CB_SETCURSEL, index, 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Control(id)));
        test_support::PumpMessages(200);
    }
    // A button press as the button reports it.
    void Click(int id) const {
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Control(id)));
        test_support::PumpMessages(100);
    }

    // The window's client pixels as the screen shows them.
    struct ClientCapture {
        test_support::Capture screen;
        POINT origin{};  // the client area's top-left inside the capture
        bool ok = false;
        DWORD At(int x, int y) const { return screen.At(origin.x + x, origin.y + y); }
    };
    ClientCapture CaptureClient() const {
        test_support::PumpMessages(300);
        ClientCapture out;
        RECT windowRect;
        GetWindowRect(window, &windowRect);
        POINT client{0, 0};
        ClientToScreen(window, &client);
        out.origin = {client.x - windowRect.left, client.y - windowRect.top};
        out.ok = test_support::CaptureWindow(window, out.screen);
        return out;
    }

  private:
    static void DropQuitMessage() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    HWND window = nullptr;
};

// Waits on its own thread for a modal dialog of this process (found by its caption, or by
// its owner window), records a message box's text and icon, lets `prepare` work on the
// dialog, then presses `button` in it.
class DialogAnswerer {
  public:
    using Prepare = std::function<void(HWND dialog)>;
    explicit DialogAnswerer(std::wstring boxCaption, int button = IDOK, Prepare prepare = {})
        : caption(std::move(boxCaption)),
          answer(button),
          work(std::move(prepare)),
          worker([this] { Run(); }) {}
    DialogAnswerer(HWND dialogOwner, int button, Prepare prepare = {})
        : owner(dialogOwner), answer(button), work(std::move(prepare)), worker([this] { Run(); }) {}
    ~DialogAnswerer() {
        stop = true;
        worker.join();
    }
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // Waits until a dialog was answered; false after a few seconds without one.
    bool Wait() const {
        for (int i = 0; i < 500 && !answered; ++i) Sleep(10);
        return answered;
    }
    bool Answered() const { return answered; }
    std::wstring Text() const { return text; }
    HICON Icon() const { return icon; }

  private:
    HWND Find() const {
        if (!owner) return FindWindowW(L"#32770", caption.c_str());
        HWND found = nullptr;
        for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w;
             w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
            if (GetWindow(w, GW_OWNER) == owner) found = w;
        }
        return found;
    }
    void Run() {
        while (!stop && !answered) {
            HWND box = Find();
            if (box && IsWindowVisible(box)) {
                Sleep(100);  // let the dialog finish its set-up
                wchar_t buffer[512] = {};
                GetDlgItemTextW(box, 0xFFFF, buffer, 512);  // a message box's text control
                text = buffer;
                icon = reinterpret_cast<HICON>(
                    SendDlgItemMessageW(box, 0x0440, STM_GETICON, 0, 0));  // its icon control
                if (work) work(box);
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
                answered = true;
            }
            Sleep(20);
        }
    }
    std::wstring caption;
    HWND owner = nullptr;
    int answer;
    Prepare work;
    std::wstring text;
    HICON icon = nullptr;
    std::atomic<bool> stop{false};
    std::atomic<bool> answered{false};
    std::thread worker;
};

// Types a colour into the colour dialog's red, green and blue boxes as a user would.
inline void TypeColor(HWND dialog, BYTE red, BYTE green, BYTE blue) {
    const std::pair<int, BYTE> boxes[] = {{706, red}, {707, green}, {708, blue}};
    for (const auto& [id, value] : boxes) {
        HWND edit = GetDlgItem(dialog, id);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SendMessageW(edit, EM_REPLACESEL, TRUE,
                     reinterpret_cast<LPARAM>(std::to_wstring(value).c_str()));
    }
}

// The screen colour (0x00RRGGBB) of a COLORREF (0x00BBGGRR).
inline DWORD ScreenColor(COLORREF color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

}  // namespace settings_test
