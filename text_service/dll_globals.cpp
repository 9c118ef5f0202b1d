#include "dll_globals.h"

HINSTANCE DllModule = nullptr;
std::atomic<std::uint32_t> DllObjectCount{0};
std::atomic<std::uint32_t> DllLockCount{0};
