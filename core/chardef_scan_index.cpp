// What the wildcard scan learns about a table once, at load.
#include <array>
#include <bit>

#include "chardef_store.h"

void ChardefStore::BuildScanIndex() {
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t highs = ones << 7;
    constexpr std::uint64_t lows = ~highs;
    const std::size_t count = CodeCount();
    // Each code in id order with its length: a key's own, or its flagged entry's.
    auto eachCode = [this, count](auto visit) {
        auto flagged = longCodes.begin();
        for (std::size_t id = 0; id < count; ++id) {
            const std::uint64_t key = codeKeys[id];
            if ((key & LongFlag) == 0) {
                visit(id, key, ShortLength(key));
                continue;
            }
            while (flagged->id != id) ++flagged;
            visit(id, key, std::size_t{flagged->length});
        }
    };
    std::uint64_t stars = 0;
    std::array<bool, KeyBytes> present{};
    eachCode([&](std::size_t, std::uint64_t key, std::size_t length) {
        const std::uint64_t x = CodeWord(key) ^ (ones * '*');
        const std::uint64_t equal = ~(((x & lows) + lows) | x) & highs;
        stars |= (key & LongFlag) != 0 ? 0 : equal;
        if (length >= 1 && length <= KeyBytes) present[length - 1] = true;
    });
    shortCodesHoldStar = stars != 0;

    // A scan for the codes of one length reads a bit a code, and nothing for a length no
    // code has.
    const std::size_t words = (count + 63) / 64;
    std::uint32_t slots = 0;
    for (std::size_t length = 0; length < KeyBytes; ++length) {
        lengthSlots[length] =
            present[length] ? static_cast<std::uint32_t>(words * slots++) : NoSlot;
    }
    lengthBits.assign(words * slots, 0);
    eachCode([&](std::size_t id, std::uint64_t, std::size_t length) {
        if (length < 1 || length > KeyBytes) return;
        lengthBits[lengthSlots[length - 1] + id / 64] |= std::uint64_t{1} << (id % 64);
    });

    // A scan for a last byte reads one byte a code here instead of eight from the keys.
    // Small tables are scanned fast enough without it and are tight on memory.
    lastBytes.clear();
    if (count < LargeCodeCount) return;
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
