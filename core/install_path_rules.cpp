#include "install_path_rules.h"

#include <system_error>

#include "install_file_names.h"

namespace {

bool LastElementIs(const std::filesystem::path& folder, std::wstring_view name) {
    return folder.filename().wstring() == name;  // exact, case included
}

}  // namespace

bool FileExists(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

bool EnvironmentLengthUsable(std::uint32_t returnedLength) {
    return returnedLength >= 1 && returnedLength <= 32767;
}

std::filesystem::path ChooseTablePath(std::wstring_view setting, std::wstring_view variable,
                                      const std::filesystem::path& moduleFile,
                                      const ExistenceTest& exists) {
    if (!setting.empty()) return std::filesystem::path(setting);
    if (!variable.empty()) return std::filesystem::path(variable);
    if (moduleFile.empty()) return {};

    const std::filesystem::path folder = moduleFile.parent_path();
    for (const wchar_t* name : {InstallNames::MainTable, InstallNames::SecondTable}) {
        std::filesystem::path beside = folder / name;
        if (exists(beside)) return beside;
    }
    // A root's parent is the root itself, so a shallow install stops there.
    return folder.parent_path().parent_path().parent_path() / InstallNames::MainTable;
}

std::filesystem::path UserPhrasePathFor(const std::filesystem::path& moduleFile) {
    if (moduleFile.empty()) return {};
    std::filesystem::path folder = moduleFile.parent_path();
    if (LastElementIs(folder, InstallNames::X64Folder) ||
        LastElementIs(folder, InstallNames::X86Folder)) {
        folder = folder.parent_path();
    }
    if (LastElementIs(folder.parent_path(), InstallNames::VersionsFolder)) {
        folder = folder.parent_path().parent_path();
    }
    return folder / InstallNames::UserPhraseFile;
}
