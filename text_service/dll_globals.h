#pragma once
// Module-wide state of the text service library.

#include <windows.h>

#include <atomic>
#include <cstdint>

extern HINSTANCE DllModule;                        // set once at process attach
extern std::atomic<std::uint32_t> DllObjectCount;  // live Factory and TextService objects
extern std::atomic<std::uint32_t> DllLockCount;    // IClassFactory::LockServer locks
