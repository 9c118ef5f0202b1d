// Stands in for the system's input.dll, which Wine does not ship: InstallLayoutOrTip
// appends its arguments ("<profile> <flags>" and a newline, UTF-16) to the file named by
// MOIK_INPUT_DLL_RECORD and answers FALSE when MOIK_INPUT_DLL_ANSWER is "0", else TRUE.
// Built a second time without the function, for a library that lacks it.
#include <windows.h>

#include <string>

#ifndef MOIK_WITHOUT_INSTALL_FUNCTION
extern "C" __declspec(dllexport) BOOL WINAPI InstallLayoutOrTip(LPCWSTR profile, DWORD flags) {
    wchar_t recordPath[1024] = {};
    if (GetEnvironmentVariableW(L"MOIK_INPUT_DLL_RECORD", recordPath, 1024) - 1u < 1023u) {
        const std::wstring line =
            std::wstring(profile ? profile : L"(null)") + L" " + std::to_wstring(flags) + L"\n";
        HANDLE file = CreateFileW(recordPath, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)),
                      &written, nullptr);
            CloseHandle(file);
        }
    }
    wchar_t answer[8] = {};
    GetEnvironmentVariableW(L"MOIK_INPUT_DLL_ANSWER", answer, 8);
    return std::wstring(answer) == L"0" ? FALSE : TRUE;
}
#else
// Something else to export, so the library is still a valid DLL with an export table.
extern "C" __declspec(dllexport) BOOL WINAPI SomethingElse() { return TRUE; }
#endif
