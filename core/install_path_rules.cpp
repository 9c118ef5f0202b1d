#include "install_path_rules.h"

#include <system_error>

#include "guarded_file_read.h"
#include "install_file_names.h"

namespace {

bool LastElementIs(const std::filesystem::path& folder, std::wstring_view name) {
    return folder.filename().wstring() == name;  // exact, case included
}

// The root R of the install layout: the module's folder without a processor folder
// ("x64"/"x86") and then without a versioned pair ("versions\V").
std::filesystem::path InstallRootFor(const std::filesystem::path& moduleFile) {
    std::filesystem::path folder = moduleFile.parent_path();
    if (LastElementIs(folder, InstallNames::X64Folder) ||
        LastElementIs(folder, InstallNames::X86Folder)) {
        folder = folder.parent_path();
    }
    if (LastElementIs(folder.parent_path(), InstallNames::VersionsFolder)) {
        folder = folder.parent_path().parent_path();
    }
    return folder;
}

}  // namespace

bool FileExists(const std::filesystem::path& path) {
    if (HoldsNulCharacter(path)) return false;
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
    // The install root, found as the user-phrase file's folder is: a library in R\x64 or
    // R\versions\V must reach the table that the install folder keeps at R.
    return InstallRootFor(moduleFile) / InstallNames::MainTable;
}

std::filesystem::path UserPhrasePathFor(const std::filesystem::path& moduleFile) {
    if (moduleFile.empty()) return {};
    return InstallRootFor(moduleFile) / InstallNames::UserPhraseFile;
}
