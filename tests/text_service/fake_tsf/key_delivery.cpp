#include "fake_tsf/key_delivery.h"

#include "fake_tsf/fake_thread_mgr.h"

namespace fake_tsf {

LPARAM KeyDownLParam(WPARAM vk, bool extended, bool repeat) {
    const UINT scan = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC) & 0xFF;
    LPARAM lParam = 1 | static_cast<LPARAM>(scan) << 16;
    if (extended) lParam |= LPARAM{1} << 24;
    if (repeat) lParam |= LPARAM{1} << 30;
    return lParam;
}

LPARAM KeyUpLParam(WPARAM vk, bool extended) {
    return KeyDownLParam(vk, extended, true) | LPARAM{1} << 31;
}

WPARAM VirtualKeyForChar(char ch) {
    if (ch >= 'a' && ch <= 'z') return static_cast<WPARAM>(ch - 'a' + 'A');
    if (ch >= '0' && ch <= '9') return static_cast<WPARAM>(ch);
    switch (ch) {
        case ';':
            return VK_OEM_1;
        case ',':
            return VK_OEM_COMMA;
        case '.':
            return VK_OEM_PERIOD;
        case '/':
            return VK_OEM_2;
        case ' ':
            return VK_SPACE;
        default:
            return 0;
    }
}

namespace {

using KeyCall = HRESULT (STDMETHODCALLTYPE ITfKeystrokeMgr::*)(WPARAM, LPARAM, BOOL*);

// The test call first; the key call only when the service wants the key.
KeyOutcome Deliver(ITfKeystrokeMgr* keystrokes, KeyCall test, KeyCall key, WPARAM vk,
                   LPARAM lParam) {
    KeyOutcome outcome;
    BOOL wanted = FALSE;
    outcome.testResult = (keystrokes->*test)(vk, lParam, &wanted);
    if (FAILED(outcome.testResult) || !wanted) return outcome;
    outcome.keyCalled = true;
    outcome.keyResult = (keystrokes->*key)(vk, lParam, &outcome.eaten);
    if (FAILED(outcome.keyResult)) outcome.eaten = FALSE;
    return outcome;
}

}  // namespace

KeyOutcome DeliverKeyDown(ITfKeystrokeMgr* keystrokes, WPARAM vk, LPARAM lParam) {
    return Deliver(keystrokes, &ITfKeystrokeMgr::TestKeyDown, &ITfKeystrokeMgr::KeyDown, vk,
                   lParam);
}

KeyOutcome DeliverKeyUp(ITfKeystrokeMgr* keystrokes, WPARAM vk, LPARAM lParam) {
    return Deliver(keystrokes, &ITfKeystrokeMgr::TestKeyUp, &ITfKeystrokeMgr::KeyUp, vk, lParam);
}

Keyboard::Keyboard(ITfKeystrokeMgr* manager) : keystrokes(manager) { Reset(); }

void Keyboard::Reset() {
    down.fill(false);
    BYTE state[256] = {};
    SetKeyboardState(state);
}

// The generic modifier and its left-hand key move together, as with a real keyboard.
void Keyboard::Store(WPARAM vk, bool pressed) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    const auto set = [&](WPARAM key) {
        down[key & 0xFF] = pressed;
        state[key & 0xFF] = static_cast<BYTE>((state[key & 0xFF] & 0x01) | (pressed ? 0x80 : 0));
    };
    set(vk);
    if (vk == VK_SHIFT) set(VK_LSHIFT);
    if (vk == VK_CONTROL) set(VK_LCONTROL);
    if (vk == VK_MENU) set(VK_LMENU);
    SetKeyboardState(state);
}

void Keyboard::SetCapsLock(bool on) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    state[VK_CAPITAL] = static_cast<BYTE>((state[VK_CAPITAL] & 0x80) | (on ? 0x01 : 0));
    SetKeyboardState(state);
}

KeyOutcome Keyboard::Down(WPARAM vk, bool extended) {
    const bool repeat = IsDown(vk);
    if (vk == VK_CAPITAL && !repeat) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        SetCapsLock((state[VK_CAPITAL] & 0x01) == 0);
    }
    Store(vk, true);
    const LPARAM lParam = KeyDownLParam(vk, extended, repeat);
    const KeyOutcome outcome = DeliverKeyDown(keystrokes, vk, lParam);
    if (!outcome.eaten) ApplicationTypes(vk, lParam);
    return outcome;
}

// What the application's message loop does with a key TSF left to it: TranslateMessage
// makes the character from the key state, and the edit control acts on both.
void Keyboard::ApplicationTypes(WPARAM vk, LPARAM lParam) {
    auto* manager = dynamic_cast<FakeThreadMgr*>(keystrokes);
    FakeContext* document = manager != nullptr ? manager->FocusedContext() : nullptr;
    if (document == nullptr || IsDown(VK_CONTROL) || IsDown(VK_MENU)) return;
    BYTE state[256] = {};
    GetKeyboardState(state);
    // Windows gives the keypad's digits their own keys only while Num Lock is on.
    if ((vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) || vk == VK_DECIMAL) state[VK_NUMLOCK] |= 0x01;
    WCHAR typed[4] = {};
    const int units = ToUnicodeEx(static_cast<UINT>(vk), static_cast<UINT>((lParam >> 16) & 0xFF),
                                  state, typed, 4, 0, GetKeyboardLayout(0));
    document->ApplicationKey(vk, units == 1 ? typed[0] : L'\0');
}

KeyOutcome Keyboard::Up(WPARAM vk, bool extended) {
    Store(vk, false);
    return DeliverKeyUp(keystrokes, vk, KeyUpLParam(vk, extended));
}

KeyOutcome Keyboard::Type(WPARAM vk, bool extended) {
    const KeyOutcome outcome = Down(vk, extended);
    Up(vk, extended);
    return outcome;
}

KeyOutcome Keyboard::TypeWith(WPARAM modifier, WPARAM vk) {
    Down(modifier);
    const KeyOutcome outcome = Type(vk);
    Up(modifier);
    return outcome;
}

}  // namespace fake_tsf
