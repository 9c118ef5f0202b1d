// What the wildcard scan learns about a table once, at load.
#include <algorithm>
#include <array>
#include <bit>

#include "chardef_store.h"

void ChardefStore::BuildScanIndex() {
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t highs = ones << 7;
    constexpr std::uint64_t lows = ~highs;
    const std::size_t count = CodeCount();
    // One pass over the codes in id order: the '*' bytes of the codes the keys hold alone,
    // and each code's length (a key's own, or its flagged entry's) as a bit in the words
    // of that length. A scan for the codes of one length then reads a bit a code, and
    // nothing for a length no code has: those words are left out.
    const std::size_t words = (count + 63) / 64;
    lengthBits.assign(KeyBytes * words, 0);
    std::uint64_t stars = 0;
    auto flagged = longCodes.begin();
    for (std::size_t id = 0; id < count; ++id) {
        const std::uint64_t key = codeKeys[id];
        std::size_t length;
        if ((key & LongFlag) == 0) {
            const std::uint64_t x = CodeWord(key) ^ (ones * '*');
            stars |= ~(((x & lows) + lows) | x) & highs;
            length = ShortLength(key);
        } else {
            while (flagged->id != id) ++flagged;
            length = flagged->length;
        }
        if (length - 1 < KeyBytes) {
            lengthBits[(length - 1) * words + id / 64] |= std::uint64_t{1} << (id % 64);
        }
    }
    shortCodesHoldStar = stars != 0;
    for (std::size_t length = 0; length < KeyBytes; ++length) {
        const auto first = lengthBits.begin() + static_cast<std::ptrdiff_t>(length * words);
        const bool some = std::any_of(first, first + static_cast<std::ptrdiff_t>(words),
                                      [](std::uint64_t word) { return word != 0; });
        lengthSlots[length] = some ? static_cast<std::uint32_t>(length * words) : NoSlot;
    }

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
