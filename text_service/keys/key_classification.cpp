// Key classification: the plain decisions and the service's view of them.

#include "keys/key_classification.h"

#include "cin_table.h"
#include "text_service.h"

namespace {

constexpr LPARAM ExtendedFlag = LPARAM{1} << 24;

bool IsExtended(LPARAM lParam) noexcept { return (lParam & ExtendedFlag) != 0; }

UINT ScanCode(LPARAM lParam) noexcept { return static_cast<UINT>((lParam >> 16) & 0xFF); }

bool IsEditingKey(WPARAM vk) noexcept {
    return vk == VK_ESCAPE || vk == VK_BACK || vk == VK_RETURN || vk == VK_SPACE;
}

bool IsListKey(WPARAM vk) noexcept {
    return IsEditingKey(vk) || vk == VK_PRIOR || vk == VK_NEXT || vk == VK_UP || vk == VK_DOWN ||
           vk == VK_LEFT || vk == VK_RIGHT;
}

bool TableNames(const CinTable* table, char ch) {
    return table != nullptr && !table->KeyName(std::string_view(&ch, 1)).empty();
}

}  // namespace

bool IsPassThroughKey(WPARAM vk, LPARAM lParam) noexcept {
    if (vk >= VK_NUMPAD0 && vk <= VK_DIVIDE) return true;
    if (vk == VK_RETURN) return IsExtended(lParam);
    if (IsExtended(lParam)) return false;
    return vk == VK_CLEAR || (vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_INSERT ||
           vk == VK_DELETE;
}

bool AnyModifierDown(const KeyboardState& keys) noexcept {
    return keys.IsDown(VK_CONTROL) || keys.IsDown(VK_MENU) || keys.IsDown(VK_LWIN) ||
           keys.IsDown(VK_RWIN);
}

bool IsToggleKeyFor(ToggleKeyChoice choice, WPARAM vk) noexcept {
    if (choice == ToggleKeyChoice::CapsLock) return vk == VK_CAPITAL;
    return vk == VK_SHIFT || vk == VK_LSHIFT || vk == VK_RSHIFT;
}

bool IsLaunchHotKeyFor(WPARAM vk, const KeyboardState& keys) noexcept {
    return (vk == HotKeySettings || vk == HotKeyPhraseEditor) && keys.IsDown(VK_CONTROL) &&
           keys.IsDown(VK_SHIFT) && !keys.IsDown(VK_MENU);
}

bool IsSimplifiedHotKeyFor(WPARAM vk, const KeyboardState& keys) noexcept {
    return vk == HotKeySimplified && keys.IsDown(VK_CONTROL) && keys.IsDown(VK_MENU) &&
           !keys.IsDown(VK_SHIFT) && !keys.IsDown(VK_LWIN) && !keys.IsDown(VK_RWIN);
}

bool IsFullwidthHotKeyFor(WPARAM vk, const KeyboardState& keys) noexcept {
    return vk == HotKeyFullwidth && keys.IsDown(VK_SHIFT) && !AnyModifierDown(keys);
}

char PrintableCharFor(WPARAM vk, LPARAM lParam, const KeyboardState& keys) noexcept {
    wchar_t units[4] = {};
    const int count = keys.Translate(static_cast<UINT>(vk), ScanCode(lParam), units, 4);
    if (count != 1 || units[0] < L'!' || units[0] > L'~') return 0;
    return static_cast<char>(units[0]);
}

char KeyToAsciiCharFor(WPARAM vk, LPARAM lParam, const KeyboardState& keys) noexcept {
    if (AnyModifierDown(keys)) return 0;
    const char ch = PrintableCharFor(vk, lParam, keys);
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch + ('a' - 'A')) : ch;
}

char ApplyLetterCase(char letter, bool shift, bool caps) noexcept {
    return shift == caps ? letter : static_cast<char>(letter - ('a' - 'A'));
}

char ShiftLetterFor(WPARAM vk, const KeyboardState& keys) noexcept {
    if (vk < 'A' || vk > 'Z' || !keys.IsDown(VK_SHIFT) || AnyModifierDown(keys)) return 0;
    return ApplyLetterCase(static_cast<char>(vk + ('a' - 'A')), true, keys.IsToggled(VK_CAPITAL));
}

bool IsKeyForCompositionIn(const CompositionState& state, WPARAM vk, LPARAM lParam,
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
                      WPARAM vk, LPARAM lParam, const KeyboardState& keys) {
    if (!fullwidthOutput || AnyModifierDown(keys)) return 0;
    if (chineseMode) {
        if (state.readingPending || state.candidatesShown || state.commandPending) return 0;
        if (IsKeyForCompositionIn(state, vk, lParam, keys)) return 0;
    }
    if (vk == VK_SPACE) return ' ';
    return PrintableCharFor(vk, lParam, keys);
}

std::string SelectionKeysFor(bool letterSelection, const CinTable& table) {
    if (letterSelection) return std::string(LetterSelectionKeys);
    return table.HeaderValue("selkey");
}

// --- The service's view: its own fields and the keyboard seam ---

bool TextService::IsToggleKey(WPARAM vk) const noexcept {
    return IsToggleKeyFor(toggleKeyIsCapsLock, vk);
}

bool TextService::IsLaunchHotKey(WPARAM vk) const noexcept {
    return IsLaunchHotKeyFor(vk, *keyboard);
}

bool TextService::IsSimplifiedHotKey(WPARAM vk) const noexcept {
    return IsSimplifiedHotKeyFor(vk, *keyboard);
}

bool TextService::IsFullwidthHotKey(WPARAM vk) const noexcept {
    return IsFullwidthHotKeyFor(vk, *keyboard);
}

char TextService::KeyToAsciiChar(WPARAM vk, LPARAM lParam) const noexcept {
    return KeyToAsciiCharFor(vk, lParam, *keyboard);
}

char TextService::ShiftLetterForKey(WPARAM vk) const noexcept {
    return ShiftLetterFor(vk, *keyboard);
}

std::string TextService::SelectionKeys() const { return SelectionKeysFor(letterSelection, table); }

bool TextService::IsKeyForComposition(WPARAM vk, LPARAM lParam) const {
    const std::string selection = composer.Candidates().empty() ? std::string() : SelectionKeys();
    const CompositionState state{static_cast<bool>(threadMgr),
                                 !commandBuffer.empty(),
                                 !composer.Reading().empty(),
                                 !composer.Candidates().empty(),
                                 selection,
                                 &table};
    return IsKeyForCompositionIn(state, vk, lParam, *keyboard);
}

char TextService::FullwidthCharForKey(WPARAM vk, LPARAM lParam) const {
    if (!fullwidthOutput) return 0;
    const std::string selection = composer.Candidates().empty() ? std::string() : SelectionKeys();
    const CompositionState state{static_cast<bool>(threadMgr),
                                 !commandBuffer.empty(),
                                 !composer.Reading().empty(),
                                 !composer.Candidates().empty(),
                                 selection,
                                 &table};
    return FullwidthCharFor(fullwidthOutput, chineseMode, state, vk, lParam, *keyboard);
}
