#pragma once
// A small application that hosts the text service through the fake TSF: its edit area
// is a fake document, painted with the composition underlined, and its message loop
// hands real key messages to the keystroke manager as Windows does for an application
// (test first, then the key; a key the service eats never reaches the window).

#include <windows.h>

#include <string>

#include "com_ptr.h"
#include "fake_tsf/fake_context.h"
#include "fake_tsf/fake_thread_mgr.h"
#include "fake_tsf/key_delivery.h"

class TextService;

namespace typing_host {

inline constexpr wchar_t WindowClass[] = L"Mo_Input_Ka_TypingHost";
inline constexpr wchar_t WindowTitle[] = L"Mo_Input_Ka typing host";
// The key that ends the host when the service leaves it to the application.
inline constexpr WPARAM QuitKey = VK_F12;

class TypingHostWindow {
  public:
    TypingHostWindow();
    ~TypingHostWindow();
    TypingHostWindow(const TypingHostWindow&) = delete;
    TypingHostWindow& operator=(const TypingHostWindow&) = delete;

    // Makes the window and activates a text service on the fake thread manager with the
    // document focused. False when any step fails.
    bool Create(HINSTANCE instance, int x, int y);
    HWND Window() const { return window; }
    fake_tsf::FakeContext& Document() { return *document.Get(); }
    ITfKeystrokeMgr* Keystrokes() { return threadMgr.Get(); }

    // One message of the loop: key messages go to the keystroke manager first; what the
    // service leaves goes on to the window. Queued sessions run after each message.
    void Dispatch(const MSG& message);
    // Runs the message loop until the window is gone; returns the quit code.
    int Run();

    // The document as UTF-8, written at once (a temporary file renamed over `path`).
    bool SaveDocument(const std::wstring& path) const;

    // Deactivates and releases the service (also done by the destructor).
    void Stop();

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void UpdateLayout();
    void TypeCharacter(wchar_t character);

    HWND window = nullptr;
    HFONT font = nullptr;
    ComPtr<fake_tsf::FakeThreadMgr> threadMgr;
    ComPtr<fake_tsf::FakeDocumentMgr> documentMgr;
    ComPtr<fake_tsf::FakeContext> document;
    TextService* service = nullptr;
};

}  // namespace typing_host
