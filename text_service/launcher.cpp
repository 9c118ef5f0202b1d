#include "launcher.h"

#include <windows.h>

#include "dll_globals.h"
#include "install_file_names.h"
#include "install_path_rules.h"

namespace {

bool StartCompanionProgram(const std::filesystem::path& program) {
    std::wstring commandLine = CompanionCommandLine(program);  // CreateProcessW may write to it
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    // The program lives on its own; the host keeps no hold on it.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace

std::optional<std::filesystem::path> FindCompanionProgram(const std::filesystem::path& libraryPath,
                                                          std::wstring_view fileName,
                                                          const PathExistsTest& exists) {
    const std::filesystem::path name{std::wstring(fileName)};
    const std::filesystem::path folder = libraryPath.parent_path();
    const std::filesystem::path folderAbove = folder.parent_path();

    if (auto beside = folder / name; exists(beside)) return beside;
    if (auto above = folderAbove / name; exists(above)) return above;
    // R\versions\V\<folder>: the programs stay at the root R. The name must match exactly.
    const std::filesystem::path versions = folderAbove.parent_path();
    if (versions.filename().native() == InstallNames::VersionsFolder) {
        if (auto root = versions.parent_path() / name; exists(root)) return root;
    }
    return std::nullopt;
}

std::wstring CompanionCommandLine(const std::filesystem::path& program) {
    return L"\"" + program.native() + L"\"";
}

bool LaunchCompanionProgramFor(const std::filesystem::path& libraryPath, std::wstring_view fileName) noexcept {
    try {
        const auto program = FindCompanionProgram(libraryPath, fileName, FileExists);
        return program && StartCompanionProgram(*program);
    } catch (...) {  // allocation while building paths: the caller only wants yes or no
        return false;
    }
}

bool LaunchCompanionProgram(std::wstring_view fileName) noexcept {
    wchar_t libraryPath[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(DllModule, libraryPath, MAX_PATH);
    // A full buffer holds a cut-off path whose folders are not the library's.
    if (length == 0 || length >= MAX_PATH) return false;
    try {
        return LaunchCompanionProgramFor(std::filesystem::path(libraryPath), fileName);
    } catch (...) {
        return false;
    }
}
