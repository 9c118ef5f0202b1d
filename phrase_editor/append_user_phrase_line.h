#pragma once
// Appends one code and phrase to the user-phrase file, or leaves the file as it was.

#include <windows.h>

#include <filesystem>
#include <string_view>

// The file calls whose failure the writer must survive; tests inject faults through them.
struct AppendFileCalls {
    BOOL (*write)(HANDLE file, const void* bytes, DWORD length, DWORD* written);
    BOOL (*flush)(HANDLE file);
};
const AppendFileCalls& PlatformAppendFileCalls();

// Holds the file with read sharing only while it writes at the size it measured, so no
// other writer can interleave; any failure cuts the file back to that size.
bool AppendUserPhraseLine(const std::filesystem::path& file, std::string_view code,
                          std::string_view phrase,
                          const AppendFileCalls& calls = PlatformAppendFileCalls());
