#include "settings_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>

namespace {

constexpr std::nullopt_t Missing = std::nullopt;

TEST(SettingsRules, ToggleKeyIsCapsLockOnlyForTheExactText) {
    struct Case {
        std::optional<std::wstring_view> stored;
        ToggleKeyChoice expected;
    } cases[] = {
        {Missing, ToggleKeyChoice::Shift},      {L"CapsLock", ToggleKeyChoice::CapsLock},
        {L"Shift", ToggleKeyChoice::Shift},     {L"capslock", ToggleKeyChoice::Shift},
        {L"CapsLock ", ToggleKeyChoice::Shift}, {L"", ToggleKeyChoice::Shift},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(ToggleKeyFromStored(cases[i].stored), cases[i].expected) << "case " << i;
    }
    EXPECT_EQ(ToggleKeyFromFlag(0), ToggleKeyChoice::Shift);
    EXPECT_EQ(ToggleKeyFromFlag(-1), ToggleKeyChoice::CapsLock);
}

// Each reader's answer for a failed read and for the raw values around its range limits.
TEST(SettingsRules, DwordReadersApplyTheirDefaultsAndRanges) {
    struct Case {
        const char* name;
        StoredDword stored;
        std::int64_t expected;
        std::int64_t (*rule)(StoredDword);
    };
    auto letter = [](StoredDword s) -> std::int64_t { return LetterSelectionFromStored(s); };
    auto toolbar = [](StoredDword s) -> std::int64_t { return PersistentToolbarFromStored(s); };
    auto follow = [](StoredDword s) -> std::int64_t { return ToolbarFollowModeFromStored(s); };
    auto simplified = [](StoredDword s) -> std::int64_t { return SimplifiedOutputFromStored(s); };
    auto fullwidth = [](StoredDword s) -> std::int64_t { return FullwidthOutputFromStored(s); };
    auto font = [](StoredDword s) -> std::int64_t { return CandidateFontSizeFromStored(s); };
    auto toolbarX = [](StoredDword s) -> std::int64_t {
        return DwordSettingFromStored(s, ToolbarPositionNotSet);
    };
    const Case cases[] = {
        {"letter missing", Missing, 0, letter},
        {"letter 0", 0u, 0, letter},
        {"letter 7", 7u, 1, letter},
        {"toolbar missing", Missing, 1, toolbar},
        {"toolbar 0", 0u, 0, toolbar},
        {"toolbar 2", 2u, 1, toolbar},
        {"follow missing", Missing, 1, follow},
        {"follow 0", 0u, 0, follow},
        {"follow 2", 2u, 2, follow},
        {"follow 3", 3u, 1, follow},
        {"follow all bits", 0xFFFFFFFFu, 1, follow},
        {"simplified missing", Missing, 0, simplified},
        {"simplified 1", 1u, 1, simplified},
        {"simplified 2", 2u, 0, simplified},
        {"fullwidth missing", Missing, 0, fullwidth},
        {"fullwidth 2", 2u, 1, fullwidth},
        {"font missing", Missing, 16, font},
        {"font 11", 11u, 16, font},
        {"font 12", 12u, 12, font},
        {"font 28", 28u, 28, font},
        {"font 29", 29u, 16, font},
        {"font negative", 0xFFFFFFF4u, 16, font},  // -12 compares unsigned: out of range
        {"toolbarX missing", Missing, INT32_MIN, toolbarX},
        {"toolbarX -10", 0xFFFFFFF6u, -10, toolbarX},
        {"toolbarX 0", 0u, 0, toolbarX},
    };
    for (const Case& c : cases) EXPECT_EQ(c.rule(c.stored), c.expected) << c.name;
}

TEST(SettingsRules, ThemeSlotIgnoresValuesWithHighByteBits) {
    const ColorRef preset = 0x93700D;
    EXPECT_EQ(ThemeSlotFromStored(Missing, preset), preset);
    EXPECT_EQ(ThemeSlotFromStored(0x01000000u, preset), preset);
    EXPECT_EQ(ThemeSlotFromStored(0x80000000u, preset), preset);
    EXPECT_EQ(ThemeSlotFromStored(0xFFFFFFu, preset), 0xFFFFFFu);
    EXPECT_EQ(ThemeSlotFromStored(0u, preset), 0u);
}

TEST(SettingsRules, WritersStoreTheirNormalisedBits) {
    EXPECT_EQ(DwordToStore(-5), 0xFFFFFFFBu);
    EXPECT_EQ(DwordToStore(INT32_MIN), 0x80000000u);
    EXPECT_EQ(ClampedDwordToStore(-5), 0u);
    EXPECT_EQ(ClampedDwordToStore(722), 722u);
    EXPECT_EQ(SimplifiedOutputToStore(1), 1u);
    EXPECT_EQ(SimplifiedOutputToStore(2), 0u);
    EXPECT_EQ(SimplifiedOutputToStore(-1), 0u);
    EXPECT_EQ(FullwidthOutputToStore(true), 1u);
    EXPECT_EQ(FullwidthOutputToStore(false), 0u);
}

}  // namespace
