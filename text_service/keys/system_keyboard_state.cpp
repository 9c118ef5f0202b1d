// The keyboard as Windows reports it to the thread that handles the key.

#include <windows.h>

#include "keys/keyboard_state.h"

namespace {

// Leaves the keyboard state unchanged, so a dead key stays armed for the application.
constexpr UINT KeepKeyboardState = 4;

class SystemKeyboard final : public KeyboardState {
  public:
    bool IsDown(VirtualKey vk) const noexcept override {
        return GetKeyState(static_cast<int>(vk & 0xFF)) < 0;
    }
    bool IsToggled(VirtualKey vk) const noexcept override {
        return (GetKeyState(static_cast<int>(vk & 0xFF)) & 1) != 0;
    }
    int Translate(VirtualKey vk, std::uint32_t scanCode, wchar_t* buffer,
                  int capacity) const noexcept override {
        BYTE state[256] = {};
        if (!GetKeyboardState(state)) return 0;
        return ToUnicodeEx(static_cast<UINT>(vk & 0xFF), scanCode, state, buffer, capacity,
                           KeepKeyboardState, GetKeyboardLayout(0));
    }
};

}  // namespace

const KeyboardState& SystemKeyboardState() noexcept {
    static const SystemKeyboard keyboard;
    return keyboard;
}
