#pragma once
// Puts a stand-in input.dll into the prefix's system directory and reads what it recorded.

#include <objbase.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "identifiers.h"
#include "test_files.h"

namespace settings_test {

inline std::filesystem::path WinePathOf(const char* unixPath) {
    return std::filesystem::path(std::string("Z:") + unixPath).make_preferred();
}

inline std::filesystem::path SystemInputDll() {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    return std::filesystem::path(system) / L"input.dll";
}

// Copies `library` (a Unix path of the build) over the system's input.dll, or removes it.
inline bool InstallInputDll(const char* library) {
    std::error_code ec;
    std::filesystem::remove(SystemInputDll(), ec);
    if (!library) return true;
    return std::filesystem::copy_file(WinePathOf(library), SystemInputDll(), ec);
}

// The calls the stand-in recorded, one "<profile> <flags>" each; the record file is set
// for this process and every program it starts.
class InputDllRecord {
  public:
    InputDllRecord() {
        SetEnvironmentVariableW(L"MOIK_INPUT_DLL_RECORD", file.c_str());
        Answer(true);
    }
    ~InputDllRecord() {
        SetEnvironmentVariableW(L"MOIK_INPUT_DLL_RECORD", nullptr);
        SetEnvironmentVariableW(L"MOIK_INPUT_DLL_ANSWER", nullptr);
    }
    InputDllRecord(const InputDllRecord&) = delete;
    InputDllRecord& operator=(const InputDllRecord&) = delete;

    void Answer(bool success) {
        SetEnvironmentVariableW(L"MOIK_INPUT_DLL_ANSWER", success ? L"1" : L"0");
    }
    std::vector<std::wstring> Calls() const {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()),
                                bytes.size() / sizeof(wchar_t));
        std::vector<std::wstring> calls;
        for (size_t start = 0, end; (end = text.find(L'\n', start)) != std::wstring::npos;
             start = end + 1) {
            calls.push_back(text.substr(start, end - start));
        }
        return calls;
    }
    void Clear() const {
        std::error_code ec;
        std::filesystem::remove(file, ec);
    }

  private:
    test_support::TempDir dir;
    std::filesystem::path file = dir / "input-calls.txt";
};

// The profile string the program must pass, formed the platform's way from the identifiers.
inline std::wstring ExpectedProfileString() {
    wchar_t textService[40] = {};
    wchar_t profile[40] = {};
    StringFromGUID2(CLSID_TextService, textService, 40);
    StringFromGUID2(GUID_TextServiceProfile, profile, 40);
    return std::wstring(L"0x0404:") + textService + profile;
}

}  // namespace settings_test
