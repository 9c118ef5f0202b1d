#pragma once
// The built text service library and Wine's regsvr32, as a test program reaches them.

#include <windows.h>

#include <filesystem>
#include <string>

#include "unix_path.h"

inline std::filesystem::path TsfLibraryPath() { return WinePathOf(MOIK_TSF_LIBRARY); }

// Runs "regsvr32 /s [options] <library>" and waits for it; its exit code, or -1 when
// it could not be started.
inline long RunRegsvr32(const std::wstring& options, const std::filesystem::path& library = TsfLibraryPath()) {
    std::wstring commandLine = L"regsvr32 /s " + options + L" \"" + library.native() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return -1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(exitCode);
}

// Calls one of the library's argument-less exports in an already loaded module.
inline HRESULT CallExport(HMODULE module, const char* exportName) {
    using Export = HRESULT(STDAPICALLTYPE*)();
    const auto function = reinterpret_cast<Export>(reinterpret_cast<void*>(GetProcAddress(module, exportName)));
    return function ? function() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
}

// The copy of the library that COM or TSF loaded into this process; null when none.
inline HMODULE LoadedTsfModule() { return GetModuleHandleW(L"Mo_Input_Ka_TSF.dll"); }

// The library loaded into this process, for calling its exports directly.
class LoadedTsfLibrary {
public:
    explicit LoadedTsfLibrary(const std::filesystem::path& library = TsfLibraryPath())
        : module(LoadLibraryW(library.c_str())) {}
    ~LoadedTsfLibrary() {
        if (module) FreeLibrary(module);
    }
    LoadedTsfLibrary(const LoadedTsfLibrary&) = delete;
    LoadedTsfLibrary& operator=(const LoadedTsfLibrary&) = delete;

    explicit operator bool() const { return module != nullptr; }
    HRESULT Call(const char* exportName) const { return CallExport(module, exportName); }

private:
    HMODULE module;
};
