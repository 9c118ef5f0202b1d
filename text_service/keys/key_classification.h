#pragma once
// What one key event means to the input method. Each decision is a plain function of the
// key, its lParam, the keyboard state (through KeyboardState) and the few pieces of the
// service's state it needs, so tables of cases test it and a fuzzer drives it without
// the platform.

#include <string>
#include <string_view>

#include "keys/key_codes.h"
#include "keys/keyboard_state.h"
#include "settings_store.h"

class CinTable;

inline constexpr VirtualKey HotKeySettings = Vk::F10;
inline constexpr VirtualKey HotKeyPhraseEditor = Vk::F9;
inline constexpr VirtualKey HotKeySimplified = 'S';
inline constexpr VirtualKey HotKeyFullwidth = Vk::Space;

// The selection keys when LetterSelection is on.
inline constexpr std::string_view LetterSelectionKeys = "asdfghjkl:";

inline bool IsAutoRepeat(KeyMessageParam lParam) noexcept {
    return (lParam & (KeyMessageParam{1} << 30)) != 0;
}

// The whole numeric keypad (numpad Enter by its extended flag, the navigation keys that
// come without it) always goes to the application.
bool IsPassThroughKey(VirtualKey vk, KeyMessageParam lParam) noexcept;

// Ctrl, Alt or a Windows key down; Shift is not a modifier here.
bool AnyModifierDown(const KeyboardState& keys) noexcept;

bool IsToggleKeyFor(ToggleKeyChoice choice, VirtualKey vk) noexcept;
bool IsLaunchHotKeyFor(VirtualKey vk, const KeyboardState& keys) noexcept;
bool IsSimplifiedHotKeyFor(VirtualKey vk, const KeyboardState& keys) noexcept;
bool IsFullwidthHotKeyFor(VirtualKey vk, const KeyboardState& keys) noexcept;

// The one printable ASCII character ('!'..'~') the key types, case kept; 0 for none.
char PrintableCharFor(VirtualKey vk, KeyMessageParam lParam, const KeyboardState& keys) noexcept;
// The key's character for the composer: 0 with a modifier down, A..Z folded to a..z.
char KeyToAsciiCharFor(VirtualKey vk, KeyMessageParam lParam, const KeyboardState& keys) noexcept;

// The letter as Shift and Caps Lock together make it.
char ApplyLetterCase(char letter, bool shift, bool caps) noexcept;
// Shift+letter with no modifier: the letter typed directly.
char ShiftLetterFor(VirtualKey vk, const KeyboardState& keys) noexcept;

// What the composition holds when a key arrives.
struct CompositionState {
    bool active = false;  // the service is activated
    bool commandPending = false;
    bool readingPending = false;
    bool candidatesShown = false;
    std::string_view selectionKeys;
    const CinTable* table = nullptr;
};

bool IsKeyForCompositionIn(const CompositionState& state, VirtualKey vk, KeyMessageParam lParam,
                           const KeyboardState& keys);

// The ASCII character to output full-width, 0 for none.
char FullwidthCharFor(bool fullwidthOutput, bool chineseMode, const CompositionState& state,
                      VirtualKey vk, KeyMessageParam lParam, const KeyboardState& keys);

std::string SelectionKeysFor(bool letterSelection, const CinTable& table);
