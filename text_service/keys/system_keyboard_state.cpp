// The keyboard as Windows reports it to the thread that handles the key.

#include "keys/keyboard_state.h"

namespace {

// Leaves the keyboard state unchanged, so a dead key stays armed for the application.
constexpr UINT KeepKeyboardState = 4;

class SystemKeyboard final : public KeyboardState {
  public:
    bool IsDown(int vk) const noexcept override { return GetKeyState(vk) < 0; }
    bool IsToggled(int vk) const noexcept override { return (GetKeyState(vk) & 1) != 0; }
    int Translate(UINT vk, UINT scanCode, wchar_t* buffer, int capacity) const noexcept override {
        BYTE state[256] = {};
        if (!GetKeyboardState(state)) return 0;
        return ToUnicodeEx(vk, scanCode, state, buffer, capacity, KeepKeyboardState,
                           GetKeyboardLayout(0));
    }
};

}  // namespace

const KeyboardState& SystemKeyboardState() noexcept {
    static const SystemKeyboard keyboard;
    return keyboard;
}
