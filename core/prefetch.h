#pragma once
// Asks for the bytes at an address to be brought into the cache. Unlike a read, the request
// holds up no later instruction while the bytes are on their way, so several can overlap.

#if !defined(__GNUC__) && defined(_MSC_VER) && (defined(_M_X64) || defined(_M_IX86))
#include <xmmintrin.h>
#endif

inline void Prefetch(const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#elif defined(_MSC_VER) && (defined(_M_X64) || defined(_M_IX86))
    _mm_prefetch(static_cast<const char*>(address), _MM_HINT_T0);
#else
    static_cast<void>(address);
#endif
}
