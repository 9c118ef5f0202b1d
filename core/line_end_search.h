#pragma once
// Finding line ends many bytes at a time, for the table parser: sixteen at a time with SSE2
// where the processor is known to have it (every x64 one), eight at a time in plain
// integers everywhere. Both are always compiled, so each can be checked against the other.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "chardef_store.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define MOIK_HAS_SSE2 1
#else
#define MOIK_HAS_SSE2 0
#endif

namespace line_ends {

constexpr std::uint64_t Ones = 0x0101010101010101ULL;
constexpr std::uint64_t Highs = Ones << 7;

// The high bit of every byte of `word` below `limit` (at most 0x80), exactly: no carry
// crosses a byte.
inline std::uint64_t BytesBelow(std::uint64_t word, unsigned char limit) {
    return ~(((word & ~Highs) + Ones * (0x80U - limit)) | word) & Highs;
}

// The high bit of every byte of `word` equal to `byte`, exactly.
inline std::uint64_t BytesEqual(std::uint64_t word, unsigned char byte) {
    return BytesBelow(word ^ (Ones * byte), 1);
}

// The LF bytes of `size` bytes.
inline std::size_t CountLineFeedsPortable(const char* data, std::size_t size) {
    std::size_t count = 0;
    std::size_t at = 0;
    while (size - at >= 8) {
        // Per-byte counts of up to 255 words, then summed across the bytes.
        std::uint64_t perByte = 0;
        const std::size_t words = std::min<std::size_t>((size - at) / 8, 255);
        for (std::size_t i = 0; i < words; ++i, at += 8) {
            perByte += BytesEqual(LoadBigEndianWord(data + at), '\n') >> 7;
        }
        // Up to 2040 in all: the bytes are paired into 16-bit lanes before the sum.
        const std::uint64_t pairs =
            (perByte & 0x00FF00FF00FF00FFULL) + ((perByte >> 8) & 0x00FF00FF00FF00FFULL);
        count += static_cast<std::size_t>((pairs * 0x0001000100010001ULL) >> 48);
    }
    return count + static_cast<std::size_t>(std::count(data + at, data + size, '\n'));
}

// Bit i set when bytes[i] ends a line (LF, or CR too when asked), for 64 bytes.
template <bool WithCr>
std::uint64_t LineEndBitsPortable(const char* bytes) {
    std::uint64_t bits = 0;
    for (unsigned i = 0; i < 8; ++i) {
        const std::uint64_t word = LoadLittleEndianWord(bytes + 8 * i);
        std::uint64_t ends = BytesEqual(word, '\n');
        if constexpr (WithCr) ends |= BytesEqual(word, '\r');
        // The high bit of each byte, gathered into eight bits in byte order.
        bits |= (((ends >> 7) * 0x0102040810204080ULL) >> 56) << (8 * i);
    }
    return bits;
}

#if MOIK_HAS_SSE2
// Bit i set when bytes[i] equals `byte`, for 16 bytes.
inline std::uint32_t EqualBits16(const char* bytes, char byte) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    return static_cast<std::uint32_t>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(byte))));
}

inline std::size_t CountLineFeedsSse2(const char* data, std::size_t size) {
    const __m128i lineFeed = _mm_set1_epi8('\n');
    std::size_t count = 0;
    std::size_t at = 0;
    while (size - at >= 16) {
        // Per-byte counts of up to 255 blocks (a match is -1), then summed across the bytes.
        __m128i perByte = _mm_setzero_si128();
        const std::size_t blocks = std::min<std::size_t>((size - at) / 16, 255);
        for (std::size_t i = 0; i < blocks; ++i, at += 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
            perByte = _mm_sub_epi8(perByte, _mm_cmpeq_epi8(block, lineFeed));
        }
        const __m128i sums = _mm_sad_epu8(perByte, _mm_setzero_si128());
        count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                 static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    }
    return count + static_cast<std::size_t>(std::count(data + at, data + size, '\n'));
}

template <bool WithCr>
std::uint64_t LineEndBitsSse2(const char* bytes) {
    std::uint64_t bits = 0;
    for (unsigned i = 0; i < 4; ++i) {
        std::uint32_t ends = EqualBits16(bytes + 16 * i, '\n');
        if constexpr (WithCr) ends |= EqualBits16(bytes + 16 * i, '\r');
        bits |= std::uint64_t{ends} << (16 * i);
    }
    return bits;
}
#endif

inline std::size_t CountLineFeeds(const char* data, std::size_t size) {
#if MOIK_HAS_SSE2
    return CountLineFeedsSse2(data, size);
#else
    return CountLineFeedsPortable(data, size);
#endif
}

template <bool WithCr>
std::uint64_t LineEndBits(const char* bytes) {
#if MOIK_HAS_SSE2
    return LineEndBitsSse2<WithCr>(bytes);
#else
    return LineEndBitsPortable<WithCr>(bytes);
#endif
}

}  // namespace line_ends
