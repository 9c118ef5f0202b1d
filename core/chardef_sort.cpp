// The build's sort: the records (a key and a stored value each) in key order, equal keys
// in file order.
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

#include "chardef_store.h"

namespace {

constexpr unsigned MaxDigitBits = 14;

// Turns the counts of each digit into where its records start, the first at `first`.
void CountsToStarts(std::uint32_t* counts, std::size_t size, std::uint32_t first) {
    std::uint32_t start = first;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint32_t here = counts[i];
        counts[i] = start;
        start += here;
    }
}

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
            CountsToStarts(starts.data() + pass * digits.Size(), digits.Size(), 0);
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
        CountsToStarts(counts, digits.Size(), 0);
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

// A run's three digits, packed into the upper half of a word above the record's value:
// digit d is the pair of key bytes 2d and 2d + 1 (byte 0 the lowest), the ranks of the
// two bytes among those found in their places side by side. Two bytes of thirty keys
// then take ten bits, not sixteen, so a run's counts stay few.
class RunDigits {
  public:
    static constexpr unsigned MaxBits = 11;  // a run's counts for a digit: at most 2,048
    static constexpr std::size_t Pairs = std::size_t{1} << 16;

    // From the pairs found in each of the three lower places (`found`, Pairs a place).
    // Fits() tells whether every digit takes MaxBits or fewer and all three 32 or fewer.
    explicit RunDigits(const unsigned char* found) {
        std::array<std::array<bool, 256>, 6> byteFound{};
        for (unsigned d = 0; d < 3; ++d) {
            for (std::size_t pair = 0; pair < Pairs; ++pair) {
                if (found[d * Pairs + pair] == 0) continue;
                byteFound[2 * d][pair & 0xFF] = true;
                byteFound[2 * d + 1][pair >> 8] = true;
            }
        }
        std::array<unsigned, 6> byteBits{};
        std::array<std::array<std::uint8_t, 256>, 6> byteOfRank{};
        for (unsigned place = 0; place < 6; ++place) {
            unsigned ranks = 0;
            for (unsigned byte = 0; byte < 256; ++byte) {
                rankOf[place][byte] = ranks;
                if (byteFound[place][byte])
                    byteOfRank[place][ranks++] = static_cast<std::uint8_t>(byte);
            }
            byteBits[place] = static_cast<unsigned>(std::bit_width(ranks - 1));
        }
        unsigned used = 32;
        for (unsigned d = 0; d < 3; ++d) {
            const unsigned low = 2 * d;
            const unsigned high = 2 * d + 1;
            bits[d] = byteBits[low] + byteBits[high];
            shift[d] = used;
            mask[d] = (std::uint64_t{1} << bits[d]) - 1;
            used += bits[d];
            fits = fits && bits[d] <= MaxBits && used <= 64;
            if (!fits) return;
            // Each byte's rank in place in the word, and each digit's pair for the keys
            // to be rebuilt.
            for (unsigned byte = 0; byte < 256; ++byte) {
                rankOf[low][byte] <<= shift[d] - 32;
                rankOf[high][byte] <<= shift[d] - 32 + byteBits[low];
            }
            pairOf[d].resize(Size(d));
            for (std::size_t digit = 0; digit < Size(d); ++digit) {
                pairOf[d][digit] = static_cast<std::uint16_t>(
                    (byteOfRank[high][digit >> byteBits[low]] << 8) |
                    byteOfRank[low][digit & ((std::size_t{1} << byteBits[low]) - 1)]);
            }
        }
    }
    bool Fits() const { return fits; }
    std::size_t Size(unsigned d) const { return std::size_t{1} << bits[d]; }
    // The word of a record: its key's digits above its value.
    std::uint64_t Word(std::uint64_t key, std::uint32_t value) const {
        std::uint32_t digits = 0;
        for (unsigned place = 0; place < 6; ++place)
            digits |= rankOf[place][(key >> (8 * place)) & 0xFF];
        return (std::uint64_t{digits} << 32) | value;
    }
    std::size_t Digit(std::uint64_t word, unsigned d) const {
        return static_cast<std::size_t>((word >> shift[d]) & mask[d]);
    }
    // The key of a word whose top two bytes are `lead`.
    std::uint64_t Key(std::uint64_t lead, std::uint64_t word) const {
        return (lead << 48) | (std::uint64_t{pairOf[2][Digit(word, 2)]} << 32) |
               (std::uint64_t{pairOf[1][Digit(word, 1)]} << 16) | pairOf[0][Digit(word, 0)];
    }

  private:
    bool fits = true;
    std::array<std::array<std::uint32_t, 256>, 6> rankOf{};
    std::array<unsigned, 3> bits{};
    std::array<unsigned, 3> shift{};
    std::array<std::uint64_t, 3> mask{};
    std::array<std::vector<std::uint16_t>, 3> pairOf;
};

// Records whose keys differ in nearly every bit (codes of up to eight keys) but are made
// of few different bytes: a radix sort over memory would take four passes, each moving
// every record. Here one pass by the keys' top two bytes moves the records into runs of
// one lead each (a few thousand records in a large table, which fit in the cache), and
// each run is then sorted by its six other bytes, two at a time (RunDigits), in three
// passes within the cache; the key is rebuilt from the digits at the end. Returns false,
// having moved nothing, when the digits would not fit or the runs would be too short to
// pay for their counts.
bool SortInLeadRuns(BuildBuffer<std::uint64_t>& keys, BuildBuffer<std::uint32_t>& values) {
    constexpr std::size_t Pairs = RunDigits::Pairs;
    const std::size_t count = keys.size();
    std::vector<std::uint32_t> leadEnds(Pairs, 0);  // counts, then starts, then ends
    // The pairs found in the three lower places (0: the lowest two bytes), a store a
    // place: half the stores of marking each byte.
    std::vector<unsigned char> pairFound(3 * Pairs, 0);
    unsigned char* const found = pairFound.data();
    for (std::uint64_t key : keys) {
        ++leadEnds[static_cast<std::size_t>(key >> 48)];
        found[key & 0xFFFF] = 1;
        found[Pairs + ((key >> 16) & 0xFFFF)] = 1;
        found[2 * Pairs + ((key >> 32) & 0xFFFF)] = 1;
    }
    const RunDigits digits(found);
    if (!digits.Fits()) return false;
    const auto leads = static_cast<std::size_t>(
        std::count_if(leadEnds.begin(), leadEnds.end(), [](std::uint32_t n) { return n != 0; }));
    // Each run clears and sums the counts of its three digits: runs that hold, on average,
    // a twelfth of those counts or more keep that to a couple of dozen steps a record.
    if (count < leads * (digits.Size(0) + digits.Size(1) + digits.Size(2)) / 12) return false;
    CountsToStarts(leadEnds.data(), Pairs, 0);

    BuildBuffer<std::uint64_t> words(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t key = keys[i];
        words[leadEnds[static_cast<std::size_t>(key >> 48)]++] = digits.Word(key, values[i]);
    }

    // The keys' array is free once the words hold the records: each run's middle pass
    // goes through it.
    std::uint64_t* const scratch = keys.data();
    std::array<std::vector<std::uint32_t>, 3> next;
    for (unsigned d = 0; d < 3; ++d) next[d].resize(digits.Size(d));
    std::uint32_t* const next0 = next[0].data();
    std::uint32_t* const next1 = next[1].data();
    std::uint32_t* const next2 = next[2].data();
    auto store = [&](std::size_t lead, std::size_t to, std::uint64_t word) {
        keys[to] = digits.Key(lead, word);
        values[to] = static_cast<std::uint32_t>(word);
    };
    std::size_t first = 0;
    for (std::size_t lead = 0; lead < Pairs; ++lead) {
        const std::size_t last = leadEnds[lead];
        if (last - first == 1) store(lead, first, words[first]);
        if (last - first <= 1) {
            first = last;
            continue;
        }
        for (auto& counts : next) std::fill(counts.begin(), counts.end(), 0);
        for (std::size_t i = first; i < last; ++i) {
            const std::uint64_t word = words[i];
            ++next0[digits.Digit(word, 0)];
            ++next1[digits.Digit(word, 1)];
            ++next2[digits.Digit(word, 2)];
        }
        for (auto& counts : next) {
            CountsToStarts(counts.data(), counts.size(), static_cast<std::uint32_t>(first));
        }
        for (std::size_t i = first; i < last; ++i) {
            const std::uint64_t word = words[i];
            scratch[next0[digits.Digit(word, 0)]++] = word;
        }
        for (std::size_t i = first; i < last; ++i) {
            const std::uint64_t word = scratch[i];
            words[next1[digits.Digit(word, 1)]++] = word;
        }
        for (std::size_t i = first; i < last; ++i) {
            const std::uint64_t word = words[i];
            store(lead, next2[digits.Digit(word, 2)]++, word);
        }
        first = last;
    }
    return true;
}

}  // namespace

// A stable least-significant-digit radix sort of the records by key. Only the bits that
// differ between records are sorted, in digits of up to 14 bits (three passes for codes
// of five ASCII keys, with counts that stay in the cache), and keys too wide for that are
// sorted in runs by their first bytes where they can be; a table already in code order
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
    // Runs pay only once the records outgrow the caches: below that, the passes over
    // memory are cache-fast, and the runs' tables would cost more than they save.
    if (count >= LargeCodeCount && SortInLeadRuns(recordKeys, values)) return false;
    // Keys and values move together, in passes over every differing bit (codes of many
    // different bytes, for instance). Each pass moves twelve bytes a record, so fewer and
    // wider digits pay here (measured on codes of eight keys: four passes of 16 bits beat
    // five of 13).
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
