// The build's sort: the records (a key and a stored value each) in key order, equal keys
// in file order.
#include <algorithm>
#include <bit>
#include <vector>

#include "chardef_store.h"

namespace {

constexpr unsigned MaxDigitBits = 14;

// A least-significant-digit radix sort of words that hold a sort key above `indexBits`
// bits of the record's index: the passes move the words alone, the index keeps equal keys
// in file order, and the values follow in one gather at the end. `encode` gives a key the
// `keyBits` bits it sorts by, `decode` gives them back as the key.
template <typename Encode, typename Decode>
void SortKeyIndexWords(BuildBuffer<std::uint64_t>& keys, BuildBuffer<std::uint32_t>& values,
                       unsigned indexBits, unsigned keyBits, Encode encode, Decode decode) {
    const std::size_t count = keys.size();
    for (std::size_t i = 0; i < count; ++i) keys[i] = (encode(keys[i]) << indexBits) | i;
    const unsigned passes = (keyBits + MaxDigitBits - 1) / MaxDigitBits;
    const unsigned digitBits = (keyBits + passes - 1) / passes;
    const std::uint64_t digitMask = (std::uint64_t{1} << digitBits) - 1;
    const std::size_t buckets = std::size_t{1} << digitBits;
    // Every pass's counts are taken before the first pass moves anything, one tight loop
    // per pass.
    std::vector<std::uint32_t> allCounts(buckets * passes);
    for (unsigned pass = 0; pass < passes; ++pass) {
        std::uint32_t* const counts = allCounts.data() + pass * buckets;
        const unsigned shift = indexBits + pass * digitBits;
        for (std::uint64_t word : keys) ++counts[(word >> shift) & digitMask];
    }
    {
        BuildBuffer<std::uint64_t> scratch(count);
        for (unsigned pass = 0; pass < passes; ++pass) {
            std::uint32_t* const counts = allCounts.data() + pass * buckets;
            std::uint32_t sum = 0;
            for (std::size_t b = 0; b < buckets; ++b) {
                const std::uint32_t here = counts[b];
                counts[b] = sum;
                sum += here;
            }
            const unsigned shift = indexBits + pass * digitBits;
            for (std::uint64_t word : keys) scratch[counts[(word >> shift) & digitMask]++] = word;
            keys.swap(scratch);
        }
    }
    const std::uint64_t indexMask = (std::uint64_t{1} << indexBits) - 1;
    BuildBuffer<std::uint32_t> sortedValues(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t word = keys[i];
        sortedValues[i] = values[static_cast<std::size_t>(word & indexMask)];
        keys[i] = decode(word >> indexBits);
    }
    values.swap(sortedValues);
}

}  // namespace

// A stable least-significant-digit radix sort of the records by key. Only the bits that
// differ between records are sorted, in digits of up to 14 bits (three passes for codes
// of five ASCII keys, with counts that stay in the cache); a table already in code order
// skips it.
void ChardefStore::SortRecords() {
    const std::size_t count = recordKeys.size();
    if (recordsSorted || count < 2) return;
    std::uint64_t anyOnes = 0;
    std::uint64_t allOnes = ~std::uint64_t{0};
    for (std::uint64_t key : recordKeys) {
        anyOnes |= key;
        allOnes &= key;
    }
    const std::uint64_t varying = anyOnes ^ allOnes;
    if (varying == 0) return;
    const auto low = static_cast<unsigned>(std::countr_zero(varying));
    const auto bits = static_cast<unsigned>(64 - std::countl_zero(varying)) - low;
    const auto indexBits = static_cast<unsigned>(std::bit_width(count - 1));
    if (bits + indexBits <= 64) {
        const std::uint64_t bitsMask =
            bits == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1;
        const std::uint64_t fixedBits = allOnes & ~(bitsMask << low);
        SortKeyIndexWords(
            recordKeys, values, indexBits, bits,
            [=](std::uint64_t key) { return (key >> low) & bitsMask; },
            [=](std::uint64_t sorted) { return (sorted << low) | fixedBits; });
        return;
    }
    // Keys and values move together, in passes over every differing bit (codes of eight
    // keys, for instance, differ in nearly every bit of the key).
    const unsigned passes = (bits + MaxDigitBits - 1) / MaxDigitBits;
    const unsigned digitBits = (bits + passes - 1) / passes;
    const std::uint64_t digitMask = (std::uint64_t{1} << digitBits) - 1;
    const std::size_t buckets = std::size_t{1} << digitBits;
    std::vector<std::uint32_t> counts(buckets);
    BuildBuffer<std::uint64_t> keyScratch(count);
    BuildBuffer<std::uint32_t> valueScratch(count);
    for (unsigned pass = 0; pass < passes; ++pass) {
        const unsigned shift = low + pass * digitBits;
        std::fill(counts.begin(), counts.end(), 0);
        for (std::uint64_t key : recordKeys) ++counts[(key >> shift) & digitMask];
        std::uint32_t sum = 0;
        for (std::uint32_t& bucket : counts) {
            const std::uint32_t here = bucket;
            bucket = sum;
            sum += here;
        }
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t to = counts[(recordKeys[i] >> shift) & digitMask]++;
            keyScratch[to] = recordKeys[i];
            valueScratch[to] = values[i];
        }
        recordKeys.swap(keyScratch);
        values.swap(valueScratch);
    }
}
