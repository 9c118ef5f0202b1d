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

namespace {

// The selection keys matter only while a list is shown; reading them costs a table lookup.
std::string ShownSelectionKeys(const TextService& service) {
    return service.composer.Candidates().empty() ? std::string() : service.SelectionKeys();
}

// What the key decisions look at; `selection` must outlive the result.
CompositionState StateOf(const TextService& service, const std::string& selection) {
    return CompositionState{static_cast<bool>(service.threadMgr),
                            !service.commandBuffer.empty(),
                            !service.composer.Reading().empty(),
                            !service.composer.Candidates().empty(),
                            selection,
                            &service.table};
}

}  // namespace

bool TextService::IsKeyForComposition(WPARAM vk, LPARAM lParam) const {
    const std::string selection = ShownSelectionKeys(*this);
    return IsKeyForCompositionIn(StateOf(*this, selection), vk, lParam, *keyboard);
}

char TextService::FullwidthCharForKey(WPARAM vk, LPARAM lParam) const {
    if (!fullwidthOutput) return 0;
    const std::string selection = ShownSelectionKeys(*this);
    return FullwidthCharFor(fullwidthOutput, chineseMode, StateOf(*this, selection), vk, lParam,
                            *keyboard);
}
