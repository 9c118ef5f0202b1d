// What the wildcard scan learns about a table once, at load.
#include <algorithm>
#include <array>
#include <bit>
#include <type_traits>

#include "chardef_store.h"

void ChardefStore::BuildScanIndex() {
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t highs = ones << 7;
    constexpr std::uint64_t lows = ~highs;
    const std::size_t count = CodeCount();
    // One pass over the codes in id order: each code counted into its first-bytes bucket,
    // the '*' bytes of the codes the keys hold alone, and each code's length (a key's own,
    // or its flagged entry's) as a bit in the words of that length. A scan for the codes
    // of one length then reads a bit a code, and nothing for a length no code has: those
    // words are left out. A block of 64 codes gathers its bits in a word per length,
    // stored once, not in the arrays code by code. The same pass keeps each code's last
    // byte in a large table: a scan for a last byte then reads one byte a code instead of
    // eight from the keys (small tables are scanned fast enough without it and are tight
    // on memory).
    const std::size_t words = (count + 63) / 64;
    lengthBits.assign(KeyBytes * words, 0);
    lastBytes.clear();
    std::uint64_t stars = 0;
    auto flagged = longCodes.begin();
    auto scan = [&](auto keepLast) {
        for (std::size_t block = 0; block < count; block += 64) {
            std::array<std::uint64_t, KeyBytes + 1> bits{};  // the last for lengths past a key's
            const std::size_t end = std::min(count, block + 64);
            for (std::size_t id = block; id < end; ++id) {
                const std::uint64_t key = codeKeys[id];
                CountInBucket(key);
                std::size_t length;
                unsigned char last = 0;
                if ((key & LongFlag) == 0) {
                    const std::uint64_t word = CodeWord(key);
                    const std::uint64_t x = word ^ (ones * '*');
                    stars |= ~(((x & lows) + lows) | x) & highs;
                    length = ShortLength(key);
                    // The code's last byte is its word's lowest byte that is set.
                    if (keepLast) {
                        last = static_cast<unsigned char>(
                            word >> (static_cast<unsigned>(std::countr_zero(word)) & 56u));
                    }
                } else {
                    while (flagged->id != id) ++flagged;
                    length = flagged->length;
                    last = length == 0 ? 0
                                       : static_cast<unsigned char>(
                                             longArena[flagged->start + flagged->length - 1]);
                }
                bits[std::min(length - 1, KeyBytes)] |= std::uint64_t{1} << (id % 64);
                if (keepLast) lastBytes[id] = last;
            }
            for (std::size_t length = 0; length < KeyBytes; ++length) {
                lengthBits[length * words + block / 64] = bits[length];
            }
        }
    };
    if (count >= LargeCodeCount) {
        lastBytes.resize(count);
        scan(std::true_type{});
    } else {
        scan(std::false_type{});
    }
    shortCodesHoldStar = stars != 0;
    for (std::size_t length = 0; length < KeyBytes; ++length) {
        const auto first = lengthBits.begin() + static_cast<std::ptrdiff_t>(length * words);
        const bool some = std::any_of(first, first + static_cast<std::ptrdiff_t>(words),
                                      [](std::uint64_t word) { return word != 0; });
        lengthSlots[length] = some ? static_cast<std::uint32_t>(length * words) : NoSlot;
    }
}
