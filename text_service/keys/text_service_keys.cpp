// The service's view of the key decisions: its own fields and the keyboard seam.

#include "keys/key_classification.h"
#include "text_service.h"

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
