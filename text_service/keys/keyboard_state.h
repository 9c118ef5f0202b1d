#pragma once
// The one seam through which key handling reads the keyboard: the down state of a key,
// the Caps Lock toggle, and the translation of a key into UTF-16 through the whole
// keyboard state and the thread's layout. The service uses the system's answers; tests
// and fuzzers put in their own.

#include <cstdint>

#include "keys/key_codes.h"

class KeyboardState {
  public:
    virtual ~KeyboardState() = default;

    // The high bit of GetKeyState.
    virtual bool IsDown(VirtualKey vk) const noexcept = 0;
    // The low bit of GetKeyState (Caps Lock).
    virtual bool IsToggled(VirtualKey vk) const noexcept = 0;
    // ToUnicodeEx of the key with the whole keyboard state, flags 4 (the state is left
    // unchanged) and the calling thread's layout. The number of units written, 0 or less
    // when there is no character or the keyboard state cannot be read.
    virtual int Translate(VirtualKey vk, std::uint32_t scanCode, wchar_t* buffer,
                          int capacity) const noexcept = 0;
};

// GetKeyState, GetKeyboardState and ToUnicodeEx (Windows only).
const KeyboardState& SystemKeyboardState() noexcept;
