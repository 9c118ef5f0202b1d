// Stands in for a companion program: records how it was started in "<own path>.ran"
// (its path, a newline, its command line; UTF-16) and exits.
#include <windows.h>

#include <string>

int main() {
    wchar_t ownPath[32768] = {};
    const DWORD length = GetModuleFileNameW(nullptr, ownPath, 32768);
    if (length == 0 || length >= 32768) return 1;
    const std::wstring record = std::wstring(ownPath) + L"\n" + GetCommandLineW();
    const std::wstring marker = std::wstring(ownPath) + L".ran";
    const std::wstring partial = marker + L".partial";

    // Written aside and renamed, so the test never reads half a record.
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    const auto bytes = static_cast<DWORD>(record.size() * sizeof(wchar_t));
    const BOOL ok = WriteFile(file, record.data(), bytes, &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes) return 3;
    return MoveFileExW(partial.c_str(), marker.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
