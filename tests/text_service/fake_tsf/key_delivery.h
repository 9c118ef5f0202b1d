#pragma once
// Keys as Windows hands an application's key messages to TSF: the keystroke manager is
// asked first (TestKeyDown) and gets the key itself (KeyDown) only when the service
// wants it; key-up likewise. `Keyboard` also keeps the thread's key state as Windows
// does before the message arrives (pressed keys, Caps Lock's toggle), so a service that
// reads GetKeyState sees Shift held while a shifted letter goes down, and it is the
// application: a key-down the service does not eat reaches the focused fake document,
// which handles it as an edit control does.

#include <msctf.h>
#include <windows.h>

#include <array>

namespace fake_tsf {

// What one key message came to.
struct KeyOutcome {
    HRESULT testResult = S_OK;
    HRESULT keyResult = S_OK;  // S_OK when the key call was not made
    bool keyCalled = false;    // the service wanted the key, so it was delivered
    BOOL eaten = FALSE;        // the application does not see the key
};

// The lParam of WM_KEYDOWN: repeat count 1, the key's scan code, the extended bit, and
// bit 30 when the key was already down (auto-repeat).
LPARAM KeyDownLParam(WPARAM vk, bool extended = false, bool repeat = false);
// The lParam of WM_KEYUP: bits 30 and 31 set.
LPARAM KeyUpLParam(WPARAM vk, bool extended = false);

// The US-layout key of a lower-case letter, a digit, Space or one of ; , . /; 0 for others.
WPARAM VirtualKeyForChar(char ch);

KeyOutcome DeliverKeyDown(ITfKeystrokeMgr* keystrokes, WPARAM vk, LPARAM lParam);
KeyOutcome DeliverKeyUp(ITfKeystrokeMgr* keystrokes, WPARAM vk, LPARAM lParam);

class Keyboard {
  public:
    // Starts with every key up and Caps Lock off in the thread's key state.
    explicit Keyboard(ITfKeystrokeMgr* keystrokes);

    // A key goes down; pressing a key that is down already is an auto-repeat. Not eaten,
    // it is the application's: with neither Ctrl nor Alt down, the focused fake
    // document gets it with the character the layout gives it.
    KeyOutcome Down(WPARAM vk, bool extended = false);
    KeyOutcome Up(WPARAM vk, bool extended = false);
    // Down and up; the outcome is the key-down's.
    KeyOutcome Type(WPARAM vk, bool extended = false);
    // Types `vk` with `modifier` held (VK_SHIFT, VK_CONTROL, VK_MENU).
    KeyOutcome TypeWith(WPARAM modifier, WPARAM vk);
    bool IsDown(WPARAM vk) const { return down[vk & 0xFF]; }
    void SetCapsLock(bool on);
    // Lets every key go without telling the service (as when the focus leaves).
    void Reset();

  private:
    void Store(WPARAM vk, bool pressed);
    void ApplicationTypes(WPARAM vk, LPARAM lParam);

    ITfKeystrokeMgr* keystrokes;
    std::array<bool, 256> down{};
};

}  // namespace fake_tsf
