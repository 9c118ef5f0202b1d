#include "settings_rules.h"

ToggleKeyChoice ToggleKeyFromFlag(int flag) {
    return flag != 0 ? ToggleKeyChoice::CapsLock : ToggleKeyChoice::Shift;
}

ToggleKeyChoice ToggleKeyFromStored(std::optional<std::wstring_view> text) {
    // Case matters: only the exact spelling the settings program writes selects CapsLock.
    return ToggleKeyFromFlag(text && *text == L"CapsLock");
}

bool LetterSelectionFromStored(StoredDword stored) { return stored && *stored != 0; }

bool PersistentToolbarFromStored(StoredDword stored) { return !(stored && *stored == 0); }

std::int32_t ToolbarFollowModeFromStored(StoredDword stored) {
    if (stored && *stored <= 2) return static_cast<std::int32_t>(*stored);
    return DefaultToolbarFollowMode;
}

std::int32_t DwordSettingFromStored(StoredDword stored, std::int32_t defaultValue) {
    return stored ? static_cast<std::int32_t>(*stored) : defaultValue;
}

int SimplifiedOutputFromStored(StoredDword stored) { return stored && *stored == 1 ? 1 : 0; }

bool FullwidthOutputFromStored(StoredDword stored) { return stored && *stored != 0; }

std::int32_t CandidateFontSizeFromStored(StoredDword stored) {
    if (stored && *stored >= MinCandidateFontSize && *stored <= MaxCandidateFontSize) {
        return static_cast<std::int32_t>(*stored);
    }
    return DefaultCandidateFontSize;
}

ColorRef ThemeSlotFromStored(StoredDword stored, ColorRef preset) {
    // A set high byte is no COLORREF the candidate window can paint with.
    return stored && *stored <= 0xFFFFFFu ? *stored : preset;
}

std::uint32_t DwordToStore(std::int32_t value) { return static_cast<std::uint32_t>(value); }

std::uint32_t ClampedDwordToStore(std::int32_t value) {
    return value < 0 ? 0u : static_cast<std::uint32_t>(value);
}

std::uint32_t SimplifiedOutputToStore(int value) { return value == 1 ? 1u : 0u; }

std::uint32_t FullwidthOutputToStore(bool value) { return value ? 1u : 0u; }
