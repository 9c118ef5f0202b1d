#include "save_sequence.h"

#include "settings_names.h"

namespace {
constexpr std::wstring_view CapsLockText = L"CapsLock";
constexpr std::wstring_view ShiftText = L"Shift";

SettingWrite Dword(const wchar_t* name, std::uint32_t value) {
    SettingWrite write;
    write.name = name;
    write.kind = SettingWrite::Kind::Dword;
    write.dword = value;
    return write;
}
}  // namespace

std::uint32_t SettingWrite::ByteCount() const {
    if (kind == Kind::Dword) return sizeof(std::uint32_t);
    return static_cast<std::uint32_t>((text.size() + 1) * sizeof(wchar_t));
}

std::array<SettingWrite, SaveWriteCount> SaveWrites(const SettingsToSave& settings) {
    SettingWrite toggle;
    toggle.name = SettingNames::ToggleKey;
    toggle.kind = SettingWrite::Kind::String;
    toggle.text = settings.capsLockToggle ? CapsLockText : ShiftText;

    const ThemeColors& theme = settings.theme;
    return {
        toggle,
        Dword(SettingNames::LetterSelection, settings.letterSelection ? 1u : 0u),
        Dword(ThemeValueNames[0], ThemeSlot(theme, 0)),
        Dword(ThemeValueNames[1], ThemeSlot(theme, 1)),
        Dword(ThemeValueNames[2], ThemeSlot(theme, 2)),
        Dword(ThemeValueNames[3], ThemeSlot(theme, 3)),
        Dword(ThemeValueNames[4], ThemeSlot(theme, 4)),
        Dword(ThemeValueNames[5], ThemeSlot(theme, 5)),
        Dword(SettingNames::PersistentToolbar, settings.persistentToolbar ? 1u : 0u),
        Dword(SettingNames::ToolbarFollowMode, settings.followMode),
        Dword(SettingNames::CandidateFontSize, static_cast<std::uint32_t>(settings.fontSize)),
    };
}

std::size_t RunSaveWrites(const std::array<SettingWrite, SaveWriteCount>& writes,
                          const SettingWriter& write) {
    std::size_t done = 0;
    for (const SettingWrite& one : writes) {
        if (!write(one)) break;
        ++done;
    }
    return done;
}
