#pragma once
// A keyboard of the test's own behind the key-state seam: which keys are down, whether
// Caps Lock is on, and a US layout for the characters keys type.

#include <windows.h>

#include <cstdint>
#include <set>

#include "keys/keyboard_state.h"

namespace keys_test {

class TestKeyboard final : public KeyboardState {
  public:
    std::set<int> down;
    bool capsLock = false;
    int failTranslation = 0;  // answer this many units of nothing (dead key: -1, none: 0)
    bool refuseTranslation = false;

    bool IsDown(VirtualKey vk) const noexcept override {
        return down.count(static_cast<int>(vk)) != 0;
    }
    bool IsToggled(VirtualKey vk) const noexcept override { return vk == VK_CAPITAL && capsLock; }

    int Translate(VirtualKey vk, std::uint32_t /*scanCode*/, wchar_t* buffer,
                  int capacity) const noexcept override {
        if (refuseTranslation || capacity < 1) return failTranslation;
        const wchar_t ch = CharFor(vk);
        if (ch == 0) return 0;
        buffer[0] = ch;
        return 1;
    }

    bool Shift() const { return IsDown(VK_SHIFT); }

    // What a US layout types for the key with the current Shift and Caps Lock; Ctrl and
    // Alt give control characters or nothing, as ToUnicodeEx does.
    wchar_t CharFor(VirtualKey vk) const {
        if (IsDown(VK_CONTROL) || IsDown(VK_MENU)) return 0;
        if (vk >= 'A' && vk <= 'Z') {
            const bool upper = Shift() != capsLock;
            return static_cast<wchar_t>(upper ? vk : vk + 32);
        }
        if (vk >= '0' && vk <= '9') {
            static const wchar_t shifted[] = L")!@#$%^&*(";
            return Shift() ? shifted[vk - '0'] : static_cast<wchar_t>(vk);
        }
        switch (vk) {
            case VK_SPACE:
                return L' ';
            case VK_RETURN:
                return L'\r';
            case VK_ESCAPE:
                return 0x1B;
            case VK_BACK:
                return 0x08;
            case VK_OEM_1:
                return Shift() ? L':' : L';';
            case VK_OEM_2:
                return Shift() ? L'?' : L'/';
            case VK_OEM_COMMA:
                return Shift() ? L'<' : L',';
            case VK_OEM_PERIOD:
                return Shift() ? L'>' : L'.';
            case VK_OEM_MINUS:
                return Shift() ? L'_' : L'-';
            case VK_MULTIPLY:
                return L'*';
            case VK_ADD:
                return L'+';
            default:
                return 0;
        }
    }
};

}  // namespace keys_test
