#include "main_table_search.h"

#include "install_file_names.h"

std::filesystem::path ChooseMainTablePath(const std::filesystem::path& installRoot,
                                          const FileExistsTest& exists) {
    const std::filesystem::path beside = installRoot / InstallNames::MainTable;
    if (exists(beside)) return beside;
    const std::filesystem::path inX64 =
        installRoot / InstallNames::X64Folder / InstallNames::MainTable;
    if (exists(inX64)) return inX64;
    return installRoot.parent_path().parent_path().parent_path() / InstallNames::MainTable;
}
