#include "settings_choices.h"

#include "settings_rules.h"

const std::array<const wchar_t*, ThemePresetCount + 1> ThemePresetNames = {
    L"星際深藍（預設）", L"暮光紫", L"霧白",   L"暖沙",     L"深海青",   L"石墨金",
    L"森林晨霧",         L"櫻霧粉", L"紙頁灰", L"極致對比", L"自訂配色",
};

const std::array<const wchar_t*, ThemeSlotCount> ThemeSlotLabels = {
    L"背景", L"文字", L"輔助文字", L"反白背景", L"反白文字", L"邊框",
};

const std::array<const wchar_t*, 3> FollowModeItems = {
    L"不跟",
    L"輸入點變化時跟",
    L"打字時跟",
};

std::wstring FontSizeLabel(std::int32_t size) { return std::to_wstring(size) + L" px"; }

int FontSizeSelection(std::int32_t fontSize) {
    for (std::size_t i = 0; i < FontSizeChoices.size(); ++i) {
        if (FontSizeChoices[i] == fontSize) return static_cast<int>(i);
    }
    return FallbackFontSizeIndex;
}

namespace {
bool SameColors(const ThemeColors& a, const ThemeColors& b) {
    for (std::size_t slot = 0; slot < ThemeSlotCount; ++slot) {
        if (ThemeSlot(a, slot) != ThemeSlot(b, slot)) return false;
    }
    return true;
}
}  // namespace

int ThemeSelection(const ThemeColors& colors) {
    int selection = static_cast<int>(CustomThemeIndex);
    for (std::size_t i = 0; i < ThemePresets.size(); ++i) {
        if (SameColors(ThemePresets[i], colors)) selection = static_cast<int>(i);
    }
    return selection;
}

std::optional<std::int32_t> FontSizeForSelection(long long selection) {
    if (selection < 0 || selection >= static_cast<long long>(FontSizeChoices.size())) {
        return std::nullopt;
    }
    return FontSizeChoices[static_cast<std::size_t>(selection)];
}

std::optional<ThemeColors> PresetForSelection(long long selection) {
    if (selection < 0 || selection >= static_cast<long long>(ThemePresets.size())) {
        return std::nullopt;
    }
    return ThemePresets[static_cast<std::size_t>(selection)];
}

std::uint32_t FollowModeToSave(long long selection) {
    if (selection < 0 || selection > 2) return DefaultToolbarFollowMode;
    return static_cast<std::uint32_t>(selection);
}
