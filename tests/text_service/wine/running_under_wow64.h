#pragma once
// An x86 program on 64-bit Windows, or under 64-bit Wine, runs under WOW64.

#include <windows.h>

inline bool RunningUnderWow64() {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}
