// Key classification: plain decisions over the key, its lParam and the keyboard state.

#include "keys/key_classification.h"

#include "cin_table.h"

namespace {

constexpr KeyMessageParam ExtendedFlag = KeyMessageParam{1} << 24;

bool IsExtended(KeyMessageParam lParam) noexcept { return (lParam & ExtendedFlag) != 0; }

std::uint32_t ScanCode(KeyMessageParam lParam) noexcept {
    return static_cast<std::uint32_t>((lParam >> 16) & 0xFF);
}

bool IsEditingKey(VirtualKey vk) noexcept {
    return vk == Vk::Escape || vk == Vk::Back || vk == Vk::Return || vk == Vk::Space;
}

bool IsListKey(VirtualKey vk) noexcept {
    return IsEditingKey(vk) || vk == Vk::Prior || vk == Vk::Next || vk == Vk::Up ||
           vk == Vk::Down || vk == Vk::Left || vk == Vk::Right;
}

bool TableNames(const CinTable* table, char ch) {
    return table != nullptr && !table->KeyName(std::string_view(&ch, 1)).empty();
}

}  // namespace

bool IsPassThroughKey(VirtualKey vk, KeyMessageParam lParam) noexcept {
    if (vk >= Vk::Numpad0 && vk <= Vk::Divide) return true;
    if (vk == Vk::Return) return IsExtended(lParam);
    if (IsExtended(lParam)) return false;
    return vk == Vk::Clear || (vk >= Vk::Prior && vk <= Vk::Down) || vk == Vk::Insert ||
           vk == Vk::Delete;
}

bool AnyModifierDown(const KeyboardState& keys) noexcept {
    return keys.IsDown(Vk::Control) || keys.IsDown(Vk::Menu) || keys.IsDown(Vk::LeftWindows) ||
           keys.IsDown(Vk::RightWindows);
}

bool IsToggleKeyFor(ToggleKeyChoice choice, VirtualKey vk) noexcept {
    if (choice == ToggleKeyChoice::CapsLock) return vk == Vk::Capital;
    return vk == Vk::Shift || vk == Vk::LeftShift || vk == Vk::RightShift;
}

bool IsLaunchHotKeyFor(VirtualKey vk, const KeyboardState& keys) noexcept {
    return (vk == HotKeySettings || vk == HotKeyPhraseEditor) && keys.IsDown(Vk::Control) &&
           keys.IsDown(Vk::Shift) && !keys.IsDown(Vk::Menu);
}

bool IsSimplifiedHotKeyFor(VirtualKey vk, const KeyboardState& keys) noexcept {
    return vk == HotKeySimplified && keys.IsDown(Vk::Control) && keys.IsDown(Vk::Menu) &&
           !keys.IsDown(Vk::Shift) && !keys.IsDown(Vk::LeftWindows) &&
           !keys.IsDown(Vk::RightWindows);
}

bool IsFullwidthHotKeyFor(VirtualKey vk, const KeyboardState& keys) noexcept {
    return vk == HotKeyFullwidth && keys.IsDown(Vk::Shift) && !AnyModifierDown(keys);
}

char PrintableCharFor(VirtualKey vk, KeyMessageParam lParam, const KeyboardState& keys) noexcept {
    wchar_t units[4] = {};
    const int count = keys.Translate(vk, ScanCode(lParam), units, 4);
    if (count != 1 || units[0] < L'!' || units[0] > L'~') return 0;
    return static_cast<char>(units[0]);
}

char KeyToAsciiCharFor(VirtualKey vk, KeyMessageParam lParam, const KeyboardState& keys) noexcept {
    if (AnyModifierDown(keys)) return 0;
    const char ch = PrintableCharFor(vk, lParam, keys);
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch + ('a' - 'A')) : ch;
}

char ApplyLetterCase(char letter, bool shift, bool caps) noexcept {
    return shift == caps ? letter : static_cast<char>(letter - ('a' - 'A'));
}

char ShiftLetterFor(VirtualKey vk, const KeyboardState& keys) noexcept {
    if (vk < 'A' || vk > 'Z' || !keys.IsDown(Vk::Shift) || AnyModifierDown(keys)) return 0;
    return ApplyLetterCase(static_cast<char>(vk + ('a' - 'A')), true, keys.IsToggled(Vk::Capital));
}

bool IsKeyForCompositionIn(const CompositionState& state, VirtualKey vk, KeyMessageParam lParam,
                           const KeyboardState& keys) {
    if (!state.active || AnyModifierDown(keys)) return false;
    if (state.commandPending) {
        return IsEditingKey(vk) || KeyToAsciiCharFor(vk, lParam, keys) != 0;
    }
    if (!state.candidatesShown) {
        if (state.readingPending && IsEditingKey(vk)) return true;
        const char ch = KeyToAsciiCharFor(vk, lParam, keys);
        if (ch == 0) return false;
        return TableNames(state.table, ch) || ch == '?' || ch == '*';
    }
    if (IsListKey(vk)) return true;
    const char ch = KeyToAsciiCharFor(vk, lParam, keys);
    if (ch == 0) return false;
    return state.selectionKeys.find(ch) != std::string_view::npos || TableNames(state.table, ch);
}

char FullwidthCharFor(bool fullwidthOutput, bool chineseMode, const CompositionState& state,
                      VirtualKey vk, KeyMessageParam lParam, const KeyboardState& keys) {
    if (!fullwidthOutput || AnyModifierDown(keys)) return 0;
    if (chineseMode) {
        if (state.readingPending || state.candidatesShown || state.commandPending) return 0;
        if (IsKeyForCompositionIn(state, vk, lParam, keys)) return 0;
    }
    if (vk == Vk::Space) return ' ';
    return PrintableCharFor(vk, lParam, keys);
}

std::string SelectionKeysFor(bool letterSelection, const CinTable& table) {
    if (letterSelection) return std::string(LetterSelectionKeys);
    return table.HeaderValue("selkey");
}
