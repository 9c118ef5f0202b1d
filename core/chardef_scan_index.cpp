// What the wildcard scan learns about a table once, at load.
#include <bit>

#include "chardef_store.h"

void ChardefStore::BuildScanIndex() {
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t highs = ones << 7;
    constexpr std::uint64_t lows = ~highs;
    const std::size_t count = CodeCount();
    std::uint64_t stars = 0;
    for (std::size_t id = 0; id < count; ++id) {
        const std::uint64_t x = CodeWord(codeKeys[id]) ^ (ones * '*');
        const std::uint64_t equal = ~(((x & lows) + lows) | x) & highs;
        stars |= (codeKeys[id] & LongFlag) != 0 ? 0 : equal;
    }
    shortCodesHoldStar = stars != 0;

    // A scan for a last byte reads one byte a code here instead of eight from the keys.
    // Small tables are scanned fast enough without it and are tight on memory.
    constexpr std::size_t LastBytesFrom = std::size_t{1} << 19;
    lastBytes.clear();
    if (count < LastBytesFrom) return;
    lastBytes.resize(count);
    for (std::size_t id = 0; id < count; ++id) {
        const std::uint64_t key = codeKeys[id];
        if ((key & LongFlag) != 0) {
            const std::string_view code = FullCode(static_cast<std::uint32_t>(id));
            lastBytes[id] = code.empty() ? 0 : static_cast<unsigned char>(code.back());
        } else {
            // The code's last byte is its word's lowest byte that is set.
            const std::uint64_t word = CodeWord(key);
            lastBytes[id] = static_cast<unsigned char>(
                word >> (static_cast<unsigned>(std::countr_zero(word)) & 56u));
        }
    }
}
