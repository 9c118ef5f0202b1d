// The build's sort: the records (a key and a stored value each) in key order, equal keys
// in file order.
#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "chardef_store.h"

namespace {

constexpr unsigned MaxDigitBits = 14;

// The digits of a least-significant-digit radix sort over `keyBits` bits above `lowBits`,
// each of at most `maxBits`, as even as the passes allow.
struct Digits {
    Digits(unsigned lowBits, unsigned keyBits, unsigned maxBits)
        : passes((keyBits + maxBits - 1) / maxBits),
          bits((keyBits + passes - 1) / passes),
          low(lowBits),
          mask((std::uint64_t{1} << bits) - 1) {}
    unsigned passes;
    unsigned bits;
    unsigned low;
    std::uint64_t mask;
    std::size_t Size() const { return std::size_t{1} << bits; }
    unsigned Shift(unsigned pass) const { return low + pass * bits; }
};

// Where each digit's records start once a pass has moved them, for every pass at once
// (`starts` holds Size() places per pass): the counts do not depend on the order of the
// keys, so one read of the keys serves all the passes. When that would cost more than a
// small share of the records' own memory (a small table is tight on memory, a large one
// is not), each pass counts its own digits just before it (Counted below).
class DigitStarts {
  public:
    DigitStarts(const BuildBuffer<std::uint64_t>& keys, const Digits& digits)
        : all(digits.passes * digits.Size() * sizeof(std::uint32_t) <= keys.size()) {
        if (!all) return;
        starts.assign(digits.passes * digits.Size(), 0);
        switch (digits.passes) {
            case 1:
                CountAll<1>(keys, digits);
                break;
            case 2:
                CountAll<2>(keys, digits);
                break;
            case 3:
                CountAll<3>(keys, digits);
                break;
            case 4:
                CountAll<4>(keys, digits);
                break;
            default:
                CountAll<5>(keys, digits);
                break;  // 64 bits in digits of 14 or more
        }
        for (unsigned pass = 0; pass < digits.passes; ++pass) {
            Sum(starts.data() + pass * digits.Size(), digits.Size());
        }
    }

    // The starts for `pass`, counted now when they were not counted at once.
    std::uint32_t* ForPass(const BuildBuffer<std::uint64_t>& keys, const Digits& digits,
                           unsigned pass) {
        if (all) return starts.data() + pass * digits.Size();
        return CountFor(digits, pass, [&](auto countKey) {
            for (std::uint64_t key : keys) countKey(key);
        });
    }

    bool CountedAll() const { return all; }
    // The starts for `pass`, counted now over the keys `forEachKey` hands to its argument.
    template <typename ForEachKey>
    std::uint32_t* CountFor(const Digits& digits, unsigned pass, ForEachKey forEachKey) {
        starts.assign(digits.Size(), 0);
        const std::uint64_t mask = digits.mask;
        const unsigned shift = digits.Shift(pass);
        std::uint32_t* const counts = starts.data();
        forEachKey(
            [=](std::uint64_t key) { ++counts[static_cast<std::size_t>((key >> shift) & mask)]; });
        Sum(counts, digits.Size());
        return counts;
    }

  private:
    // The counts of every pass in one read of the keys, the passes unrolled.
    template <unsigned Passes>
    void CountAll(const BuildBuffer<std::uint64_t>& keys, const Digits& digits) {
        const std::uint64_t mask = digits.mask;
        const unsigned bits = digits.bits;
        const unsigned low = digits.low;
        std::uint32_t* const counts = starts.data();
        const std::size_t size = digits.Size();
        for (std::uint64_t key : keys) {
            const std::uint64_t sorted = key >> low;
            for (unsigned pass = 0; pass < Passes; ++pass) {
                ++counts[pass * size + static_cast<std::size_t>((sorted >> (pass * bits)) & mask)];
            }
        }
    }
    static void Sum(std::uint32_t* counts, std::size_t size) {
        std::uint32_t sum = 0;
        for (std::size_t i = 0; i < size; ++i) {
            const std::uint32_t here = counts[i];
            counts[i] = sum;
            sum += here;
        }
    }
    bool all;
    std::vector<std::uint32_t> starts;
};

// Sorts words by their `keyBits` bits above the lowest `lowBits`, stably, in passes that
// move the words alone.
void SortWordsAbove(BuildBuffer<std::uint64_t>& words, unsigned lowBits, unsigned keyBits) {
    const Digits digits(lowBits, keyBits, MaxDigitBits);
    DigitStarts starts(words, digits);
    BuildBuffer<std::uint64_t> scratch(words.size());
    const std::uint64_t mask = digits.mask;
    for (unsigned pass = 0; pass < digits.passes; ++pass) {
        const unsigned shift = digits.Shift(pass);
        std::uint32_t* const next = starts.ForPass(words, digits, pass);
        std::uint64_t* const to = scratch.data();
        for (std::uint64_t word : words) to[next[(word >> shift) & mask]++] = word;
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
    const Digits digits(low, bits, WideDigitBits);
    DigitStarts starts(recordKeys, digits);
    const std::uint64_t mask = digits.mask;
    // Every other pass writes the records as twelve bytes side by side (key, value), one
    // place a move rather than one in each array, and the next pass moves them back.
    BuildBuffer<std::uint32_t> records(3 * count);
    auto keyOfRecord = [&](std::size_t i) {
        std::uint64_t key;
        std::memcpy(&key, &records[3 * i], sizeof key);
        return key;
    };
    for (unsigned pass = 0; pass < digits.passes; ++pass) {
        const unsigned shift = digits.Shift(pass);
        const bool fromArrays = pass % 2 == 0;
        std::uint32_t* next;
        if (starts.CountedAll() || fromArrays) {
            next = starts.ForPass(recordKeys, digits, pass);
        } else {
            next = starts.CountFor(digits, pass, [&](auto countKey) {
                for (std::size_t i = 0; i < count; ++i) countKey(keyOfRecord(i));
            });
        }
        if (fromArrays) {
            for (std::size_t i = 0; i < count; ++i) {
                const std::uint64_t key = recordKeys[i];
                std::uint32_t* const to = &records[3 * std::size_t{next[(key >> shift) & mask]++}];
                std::memcpy(to, &key, sizeof key);
                to[2] = values[i];
            }
        } else {
            for (std::size_t i = 0; i < count; ++i) {
                const std::uint64_t key = keyOfRecord(i);
                const std::uint32_t to = next[(key >> shift) & mask]++;
                recordKeys[to] = key;
                values[to] = records[3 * i + 2];
            }
        }
    }
    if (digits.passes % 2 != 0) {
        for (std::size_t i = 0; i < count; ++i) {
            recordKeys[i] = keyOfRecord(i);
            values[i] = records[3 * i + 2];
        }
    }
    return false;
}
