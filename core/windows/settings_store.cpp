#include "settings_store.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "settings_rules.h"

namespace {

// Buffer sizes in bytes, terminator included.
constexpr DWORD ToggleKeyBufferBytes = 64;
constexpr DWORD TablePathBufferBytes = 65536;

StoredDword ReadStoredDword(const wchar_t* valueName) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, SettingNames::KeyPath, valueName,
                                  RRF_RT_REG_DWORD, nullptr, &value, &size);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

// A REG_SZ that fits `bufferBytes` with its terminator; anything else is a failed read.
std::optional<std::wstring> ReadStoredString(const wchar_t* valueName, DWORD bufferBytes) {
    std::vector<wchar_t> buffer(bufferBytes / sizeof(wchar_t), L'\0');
    DWORD size = bufferBytes;
    LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, SettingNames::KeyPath, valueName,
                                  RRF_RT_REG_SZ, nullptr, buffer.data(), &size);
    if (status != ERROR_SUCCESS) return std::nullopt;
    std::wstring_view text(buffer.data(), buffer.size());
    return std::wstring(text.substr(0, text.find(L'\0')));
}

bool StoreDword(const wchar_t* valueName, std::uint32_t value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, SettingNames::KeyPath, 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    DWORD data = value;
    LSTATUS status = RegSetValueExW(key, valueName, 0, REG_DWORD,
                                    reinterpret_cast<const BYTE*>(&data), sizeof(data));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

}  // namespace

ToggleKeyChoice ReadToggleKey() {
    std::optional<std::wstring> text =
        ReadStoredString(SettingNames::ToggleKey, ToggleKeyBufferBytes);
    if (!text) return ToggleKeyFromStored(std::nullopt);
    return ToggleKeyFromStored(std::wstring_view(*text));
}

bool ReadLetterSelection() {
    return LetterSelectionFromStored(ReadStoredDword(SettingNames::LetterSelection));
}

bool ReadPersistentToolbar() {
    return PersistentToolbarFromStored(ReadStoredDword(SettingNames::PersistentToolbar));
}

std::int32_t ReadToolbarFollowMode() {
    return ToolbarFollowModeFromStored(ReadStoredDword(SettingNames::ToolbarFollowMode));
}

std::int32_t ReadDwordSetting(const wchar_t* valueName, std::int32_t defaultValue) {
    return DwordSettingFromStored(ReadStoredDword(valueName), defaultValue);
}

int ReadSimplifiedOutput() {
    return SimplifiedOutputFromStored(ReadStoredDword(SettingNames::SimplifiedOutput));
}

bool ReadFullwidthOutput() {
    return FullwidthOutputFromStored(ReadStoredDword(SettingNames::FullwidthOutput));
}

std::int32_t ReadCandidateFontSize() {
    return CandidateFontSizeFromStored(ReadStoredDword(SettingNames::CandidateFontSize));
}

ThemeColors ReadThemeColors() {
    ThemeColors colors = ThemePresets[0];
    for (std::size_t slot = 0; slot < ThemeSlotCount; ++slot) {
        ThemeSlot(colors, slot) = ThemeSlotFromStored(ReadStoredDword(ThemeValueNames[slot]),
                                                      ThemeSlot(ThemePresets[0], slot));
    }
    return colors;
}

std::wstring ReadTablePath() {
    return ReadStoredString(SettingNames::TablePath, TablePathBufferBytes).value_or(L"");
}

void WriteDwordSetting(const wchar_t* valueName, std::int32_t value) {
    StoreDword(valueName, DwordToStore(value));
}

void WriteClampedDwordSetting(const wchar_t* valueName, std::int32_t value) {
    StoreDword(valueName, ClampedDwordToStore(value));
}

bool WriteSimplifiedOutput(int value) {
    return StoreDword(SettingNames::SimplifiedOutput, SimplifiedOutputToStore(value));
}

bool WriteFullwidthOutput(bool value) {
    return StoreDword(SettingNames::FullwidthOutput, FullwidthOutputToStore(value));
}
