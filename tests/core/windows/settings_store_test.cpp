#include "settings_store.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

// Runs against the real registry of the test's Wine prefix. Every test starts from a
// deleted key, so the order of tests does not matter.
namespace {

class SettingsStore : public ::testing::Test {
  protected:
    void SetUp() override { DeleteKey(); }
    void TearDown() override { DeleteKey(); }

    static void DeleteKey() { RegDeleteTreeW(HKEY_CURRENT_USER, SettingNames::KeyPath); }

    static void Put(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, SettingNames::KeyPath, 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static void PutDword(const wchar_t* name, std::uint32_t value) {
        DWORD data = value;
        Put(name, REG_DWORD, &data, sizeof(data));
    }
    static void PutString(const wchar_t* name, const std::wstring& text) {
        Put(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    // The raw stored value: its type and its 32 bits (type REG_NONE when absent).
    struct Raw {
        DWORD type = REG_NONE;
        DWORD value = 0;
        DWORD bytes = 0;
    };
    static Raw Get(const wchar_t* name) {
        Raw raw;
        raw.bytes = sizeof(raw.value);
        if (RegGetValueW(HKEY_CURRENT_USER, SettingNames::KeyPath, name, RRF_RT_ANY, &raw.type,
                         &raw.value, &raw.bytes) != ERROR_SUCCESS) {
            raw.type = REG_NONE;
        }
        return raw;
    }
};

TEST_F(SettingsStore, MissingKeyGivesEveryDefault) {
    EXPECT_EQ(ReadToggleKey(), ToggleKeyChoice::Shift);
    EXPECT_FALSE(ReadLetterSelection());
    EXPECT_TRUE(ReadPersistentToolbar());
    EXPECT_EQ(ReadToolbarFollowMode(), 1);
    EXPECT_EQ(ReadCandidateFontSize(), 16);
    EXPECT_EQ(ReadSimplifiedOutput(), 0);
    EXPECT_FALSE(ReadFullwidthOutput());
    EXPECT_EQ(ReadDwordSetting(SettingNames::ToolbarX, ToolbarPositionNotSet),
              ToolbarPositionNotSet);
    EXPECT_EQ(ReadDwordSetting(SettingNames::KeyboardWidth, 722), 722);
    EXPECT_EQ(ReadTablePath(), L"");
    ThemeColors colors = ReadThemeColors();
    for (std::size_t slot = 0; slot < ThemeSlotCount; ++slot) {
        EXPECT_EQ(ThemeSlot(colors, slot), ThemeSlot(ThemePresets[0], slot)) << slot;
    }
}

TEST_F(SettingsStore, ToggleKeyReadsOnlyTheExactStringAsCapsLock) {
    PutString(SettingNames::ToggleKey, L"CapsLock");
    EXPECT_EQ(ReadToggleKey(), ToggleKeyChoice::CapsLock);
    PutString(SettingNames::ToggleKey, L"capslock");
    EXPECT_EQ(ReadToggleKey(), ToggleKeyChoice::Shift);
    PutDword(SettingNames::ToggleKey, 1);  // another type
    EXPECT_EQ(ReadToggleKey(), ToggleKeyChoice::Shift);
    // 32 characters plus the terminator no longer fit the 64-byte buffer.
    PutString(SettingNames::ToggleKey, L"CapsLock" + std::wstring(24, L' '));
    EXPECT_EQ(ReadToggleKey(), ToggleKeyChoice::Shift);
}

TEST_F(SettingsStore, DwordReadersRefuseOtherTypesAndApplyRanges) {
    PutString(SettingNames::PersistentToolbar, L"0");  // type mismatch reads as on
    EXPECT_TRUE(ReadPersistentToolbar());
    PutDword(SettingNames::PersistentToolbar, 0);
    EXPECT_FALSE(ReadPersistentToolbar());

    PutDword(SettingNames::ToolbarFollowMode, 0xFFFFFFFF);
    EXPECT_EQ(ReadToolbarFollowMode(), 1);
    PutDword(SettingNames::ToolbarFollowMode, 0);
    EXPECT_EQ(ReadToolbarFollowMode(), 0);

    PutDword(SettingNames::CandidateFontSize, 29);
    EXPECT_EQ(ReadCandidateFontSize(), 16);
    PutDword(SettingNames::CandidateFontSize, 12);
    EXPECT_EQ(ReadCandidateFontSize(), 12);

    PutDword(SettingNames::SimplifiedOutput, 2);
    PutDword(SettingNames::FullwidthOutput, 2);
    PutDword(SettingNames::LetterSelection, 5);
    EXPECT_EQ(ReadSimplifiedOutput(), 0);
    EXPECT_TRUE(ReadFullwidthOutput());
    EXPECT_TRUE(ReadLetterSelection());

    PutDword(SettingNames::ToolbarX, static_cast<std::uint32_t>(-10));
    EXPECT_EQ(ReadDwordSetting(SettingNames::ToolbarX, ToolbarPositionNotSet), -10);

    // An eight-byte value does not fit the four-byte buffer.
    std::uint64_t wide = 1;
    Put(SettingNames::ToolbarY, REG_QWORD, &wide, sizeof(wide));
    EXPECT_EQ(ReadDwordSetting(SettingNames::ToolbarY, 7), 7);
    Put(SettingNames::LetterSelection, REG_BINARY, &wide, 4);
    EXPECT_FALSE(ReadLetterSelection());
}

TEST_F(SettingsStore, ThemeSlotsAreDecidedOneByOne) {
    PutDword(SettingNames::ThemeSelection, 0x01000000);
    PutDword(SettingNames::ThemeBorder, 0x123456);
    PutString(SettingNames::ThemeText, L"white");
    ThemeColors colors = ReadThemeColors();
    EXPECT_EQ(colors.selection, 0x93700Du);
    EXPECT_EQ(colors.border, 0x123456u);
    EXPECT_EQ(colors.text, ThemePresets[0].text);
    EXPECT_EQ(colors.background, ThemePresets[0].background);
}

TEST_F(SettingsStore, TablePathReadsAStringThatFitsItsBuffer) {
    PutString(SettingNames::TablePath, L"D:\\tables\\mine.cin");
    EXPECT_EQ(ReadTablePath(), L"D:\\tables\\mine.cin");
    PutString(SettingNames::TablePath, std::wstring(32767, L'x'));  // fills 65536 bytes
    EXPECT_EQ(ReadTablePath().size(), 32767u);
    PutString(SettingNames::TablePath, std::wstring(32768, L'x'));
    EXPECT_EQ(ReadTablePath(), L"");
    PutDword(SettingNames::TablePath, 1);
    EXPECT_EQ(ReadTablePath(), L"");
}

TEST_F(SettingsStore, WritersCreateTheKeyAndStoreNormalisedDwords) {
    WriteClampedDwordSetting(SettingNames::KeyboardX, -5);
    Raw raw = Get(SettingNames::KeyboardX);
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(raw.bytes, 4u);
    EXPECT_EQ(raw.value, 0u);

    WriteDwordSetting(SettingNames::ToolbarX, -5);
    raw = Get(SettingNames::ToolbarX);
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(raw.value, 0xFFFFFFFBu);

    EXPECT_TRUE(WriteSimplifiedOutput(2));
    EXPECT_EQ(Get(SettingNames::SimplifiedOutput).value, 0u);
    EXPECT_TRUE(WriteSimplifiedOutput(1));
    EXPECT_EQ(Get(SettingNames::SimplifiedOutput).value, 1u);
    EXPECT_TRUE(WriteFullwidthOutput(true));
    raw = Get(SettingNames::FullwidthOutput);
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(raw.value, 1u);
    EXPECT_EQ(ReadFullwidthOutput(), true);
}

TEST_F(SettingsStore, WritersReplaceAValueOfAnotherType) {
    PutString(SettingNames::FullwidthOutput, L"on");
    EXPECT_TRUE(WriteFullwidthOutput(false));
    Raw raw = Get(SettingNames::FullwidthOutput);
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(raw.value, 0u);
}

}  // namespace
