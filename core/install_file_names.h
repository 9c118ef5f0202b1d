#pragma once
// File, folder and environment names of the install layout.

namespace InstallNames {
inline constexpr wchar_t TablePathVariable[] = L"DA_RIZAR_EZ_ODO";
inline constexpr wchar_t MainTable[] = L"ZiRevod-Ka.cin";
inline constexpr wchar_t SecondTable[] = L"ZiRevod-2017-Phrase.cin";
inline constexpr wchar_t UserPhraseFile[] = L"Mo_Input_Ka_User.txt";
inline constexpr wchar_t X64Folder[] = L"x64";
inline constexpr wchar_t X86Folder[] = L"x86";
inline constexpr wchar_t VersionsFolder[] = L"versions";
inline constexpr wchar_t SettingsProgram[] = L"mo_input_ka_settings.exe";
inline constexpr wchar_t PhraseEditorProgram[] = L"mo_input_ka_words.exe";
}  // namespace InstallNames
