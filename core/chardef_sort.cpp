// The build's sort: the records (a key and a stored value each) in key order, equal keys
// in file order.
#include <algorithm>
#include <bit>
#include <vector>

#include "chardef_store.h"

namespace {

constexpr unsigned MaxDigitBits = 14;

// The digits of a least-significant-digit radix sort over `keyBits` bits, each of at most
// `maxBits`, as even as the passes allow.
struct Digits {
    Digits(unsigned keyBits, unsigned maxBits)
        : passes((keyBits + maxBits - 1) / maxBits), bits((keyBits + passes - 1) / passes) {}
    unsigned passes;
    unsigned bits;
    std::uint64_t Mask() const { return (std::uint64_t{1} << bits) - 1; }
    std::size_t Of(std::uint64_t key, unsigned shift) const {
        return static_cast<std::size_t>((key >> shift) & Mask());
    }
};

// Where each digit's records start once the pass has moved them: the digits at `shift`
// counted, then summed. A pass's counts do not depend on the order of the keys, so each
// is taken just before its pass, into one array for all of them.
void StartsOfDigits(const BuildBuffer<std::uint64_t>& keys, unsigned shift, const Digits& digits,
                    std::vector<std::uint32_t>& starts) {
    starts.assign(std::size_t{1} << digits.bits, 0);
    for (std::uint64_t key : keys) ++starts[digits.Of(key, shift)];
    std::uint32_t sum = 0;
    for (std::uint32_t& start : starts) {
        const std::uint32_t here = start;
        start = sum;
        sum += here;
    }
}

// Sorts words by their `keyBits` bits above the lowest `lowBits`, stably, in passes that
// move the words alone.
void SortWordsAbove(BuildBuffer<std::uint64_t>& words, unsigned lowBits, unsigned keyBits) {
    const Digits digits(keyBits, MaxDigitBits);
    std::vector<std::uint32_t> starts;
    BuildBuffer<std::uint64_t> scratch(words.size());
    for (unsigned pass = 0; pass < digits.passes; ++pass) {
        const unsigned shift = lowBits + pass * digits.bits;
        StartsOfDigits(words, shift, digits, starts);
        for (std::uint64_t word : words) scratch[starts[digits.Of(word, shift)]++] = word;
        words.swap(scratch);
    }
}

}  // namespace

// A stable least-significant-digit radix sort of the records by key. Only the bits that
// differ between records are sorted, in digits of up to 14 bits (three passes for codes
// of five ASCII keys, with counts that stay in the cache); a table already in code order
// skips it.
bool ChardefStore::SortRecords(std::string_view text) {
    const std::size_t count = recordKeys.size();
    if (recordsSorted || count < 2) return false;
    std::uint64_t anyOnes = 0;
    std::uint64_t allOnes = ~std::uint64_t{0};
    for (std::uint64_t key : recordKeys) {
        anyOnes |= key;
        allOnes &= key;
    }
    const std::uint64_t varying = anyOnes ^ allOnes;
    if (varying == 0) return false;
    const auto low = static_cast<unsigned>(std::countr_zero(varying));
    const auto bits = static_cast<unsigned>(64 - std::countl_zero(varying)) - low;
    const std::uint64_t bitsMask = bits == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1;
    const std::uint64_t fixedBits = allOnes & ~(bitsMask << low);
    auto sortBits = [=](std::uint64_t key) { return (key >> low) & bitsMask; };
    auto keyOf = [=](std::uint64_t sorted) { return (sorted << low) | fixedBits; };

    // Values kept as their places alone (BuildForm) ride in the words beside the key bits,
    // offset and length, when there is room: the values are dropped while the words are
    // sorted and read back from them after, so the sort holds no more than the words.
    const unsigned offsetBits = form.OffsetBits();
    constexpr unsigned MinLengthBits = 3;  // lengths to 7, enough to pick out short values
    if (placesOnly && bits + offsetBits + MinLengthBits <= 64) {
        const unsigned placeLengthBits = std::min(64 - bits - offsetBits, 16u);
        const unsigned placeBits = offsetBits + placeLengthBits;
        const std::size_t longest = (std::size_t{1} << placeLengthBits) - 1;
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t value = values[i];
            const std::size_t length = form.Length(value);  // 0 for flagged codes' offsets
            const std::uint64_t place = (std::uint64_t{form.Offset(value)} << placeLengthBits) |
                                        (length <= longest ? length : 0);
            recordKeys[i] = (sortBits(recordKeys[i]) << placeBits) | place;
        }
        BuildBuffer<std::uint32_t>().swap(values);
        SortWordsAbove(recordKeys, placeBits, bits);
        values.resize(count);
        const std::uint64_t lengthMask = longest;
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint64_t word = recordKeys[i];
            const auto offset =
                static_cast<std::uint32_t>(word >> placeLengthBits) & form.Offset(~0u);
            const auto length = static_cast<std::size_t>(word & lengthMask);
            const std::uint64_t key = keyOf(word >> placeBits);
            // As StoredFromPlace, from the offset and length at hand.
            const bool mayBeShort = (key & LongFlag) == 0 && length - 1 < ValueForm::ShortBytes &&
                                    text.size() - offset >= ValueForm::ShortBytes;
            values[i] = mayBeShort ? form.OfUsual(text.data() + offset, length, offset)
                                   : form.InText(offset, length);
            recordKeys[i] = key;
        }
        return true;
    }

    // Else the words hold the record's index, and the values follow in one gather.
    const auto indexBits = static_cast<unsigned>(std::bit_width(count - 1));
    if (bits + indexBits <= 64) {
        for (std::size_t i = 0; i < count; ++i) {
            recordKeys[i] = (sortBits(recordKeys[i]) << indexBits) | i;
        }
        SortWordsAbove(recordKeys, indexBits, bits);
        const std::uint64_t indexMask = (std::uint64_t{1} << indexBits) - 1;
        BuildBuffer<std::uint32_t> sortedValues(count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint64_t word = recordKeys[i];
            sortedValues[i] = values[static_cast<std::size_t>(word & indexMask)];
            recordKeys[i] = keyOf(word >> indexBits);
        }
        values.swap(sortedValues);
        return false;
    }
    // Keys and values move together, in passes over every differing bit (codes of eight
    // keys, for instance, differ in nearly every bit of the key). Each pass moves twelve
    // bytes a record, so fewer and wider digits pay here (measured on codes of eight keys:
    // four passes of 16 bits beat five of 13).
    constexpr unsigned WideDigitBits = 16;
    const Digits digits(bits, WideDigitBits);
    std::vector<std::uint32_t> starts;
    BuildBuffer<std::uint64_t> keyScratch(count);
    BuildBuffer<std::uint32_t> valueScratch(count);
    for (unsigned pass = 0; pass < digits.passes; ++pass) {
        const unsigned shift = low + pass * digits.bits;
        StartsOfDigits(recordKeys, shift, digits, starts);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t to = starts[digits.Of(recordKeys[i], shift)]++;
            keyScratch[to] = recordKeys[i];
            valueScratch[to] = values[i];
        }
        recordKeys.swap(keyScratch);
        values.swap(valueScratch);
    }
    return false;
}
