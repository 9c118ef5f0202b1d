#pragma once
// Wine's ntdll exports wine_get_version; Windows' does not.

#include <windows.h>

inline bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
