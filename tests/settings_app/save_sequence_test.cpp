#include "save_sequence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(SaveWrites, ElevenValuesInOrderWithTheirTypesAndSizes) {
    SettingsToSave settings;
    settings.capsLockToggle = true;
    settings.letterSelection = true;
    settings.theme = ThemePresets[9];
    settings.persistentToolbar = false;
    settings.followMode = 2;
    settings.fontSize = 27;
    const auto writes = SaveWrites(settings);

    const struct {
        const wchar_t* name;
        std::uint32_t dword;
    } dwords[] = {
        {L"LetterSelection", 1},       {L"ThemeBackground", 0x000000},
        {L"ThemeText", 0xFFFFFF},      {L"ThemeMuted", 0xDCDCDC},
        {L"ThemeSelection", 0x00DDFF}, {L"ThemeSelectedText", 0x000000},
        {L"ThemeBorder", 0xFFFFFF},    {L"PersistentToolbar", 0},
        {L"ToolbarFollowMode", 2},     {L"CandidateFontSize", 27},
    };
    EXPECT_STREQ(writes[0].name, L"ToggleKey");
    EXPECT_EQ(writes[0].kind, SettingWrite::Kind::String);
    EXPECT_EQ(writes[0].text, L"CapsLock");
    EXPECT_EQ(writes[0].ByteCount(), 18u);
    EXPECT_EQ(writes[0].text.data()[writes[0].text.size()], L'\0');  // the NUL is written too
    for (std::size_t i = 0; i < std::size(dwords); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_STREQ(writes[i + 1].name, dwords[i].name);
        EXPECT_EQ(writes[i + 1].kind, SettingWrite::Kind::Dword);
        EXPECT_EQ(writes[i + 1].dword, dwords[i].dword);
        EXPECT_EQ(writes[i + 1].ByteCount(), 4u);
    }
}

TEST(SaveWrites, ShiftAndOffValues) {
    SettingsToSave settings;  // Shift, letter selection off, toolbar on
    settings.persistentToolbar = true;
    const auto writes = SaveWrites(settings);
    EXPECT_EQ(writes[0].text, L"Shift");
    EXPECT_EQ(writes[0].ByteCount(), 12u);
    EXPECT_EQ(writes[1].dword, 0u);
    EXPECT_EQ(writes[8].dword, 1u);
}

TEST(RunSaveWrites, TheFirstFailedWriteEndsTheSequence) {
    const auto writes = SaveWrites(SettingsToSave{});
    for (std::size_t failing = 0; failing <= SaveWriteCount; ++failing) {
        SCOPED_TRACE(failing);
        std::vector<std::wstring> attempted;
        const std::size_t done = RunSaveWrites(writes, [&](const SettingWrite& w) {
            attempted.emplace_back(w.name);
            return attempted.size() != failing + 1;
        });
        EXPECT_EQ(done, failing);
        // Every write up to and including the failed one was tried; none after it.
        EXPECT_EQ(attempted.size(), std::min(failing + 1, SaveWriteCount));
        for (std::size_t i = 0; i < attempted.size(); ++i) EXPECT_EQ(attempted[i], writes[i].name);
    }
}

}  // namespace
