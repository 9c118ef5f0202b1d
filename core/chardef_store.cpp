#include "chardef_store.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "prefetch.h"

namespace {

constexpr unsigned Shift(std::size_t position) { return static_cast<unsigned>(56 - 8 * position); }

// Packs the first bytes of `code`, lowering 'A'..'Z' when asked; the flag is set for a code
// the key cannot hold alone.
template <bool Lower>
std::uint64_t Pack(std::string_view code) {
    const std::size_t packed = std::min(code.size(), ChardefStore::KeyBytes);
    bool isLong = code.size() > ChardefStore::KeyBytes;
    std::uint64_t bytes = 0;
    for (std::size_t i = 0; i < packed; ++i) {
        auto byte = static_cast<unsigned char>(code[i]);
        if (Lower && static_cast<unsigned char>(byte - 'A') < 26) byte += 'a' - 'A';
        isLong = isLong || byte == 0;
        bytes |= std::uint64_t{byte} << Shift(i);
    }
    return ChardefStore::KeyOfBytes(bytes, isLong);
}

}  // namespace

std::uint64_t ChardefStore::PackKey(std::string_view lowered) {
    // A code the key can hold is packed from one word, not byte by byte: lookups pack
    // every code typed.
    if (lowered.size() > KeyBytes) return Pack<false>(lowered);
    if (lowered.empty()) return 0;
    char bytes[8] = {};
    std::memcpy(bytes, lowered.data(), lowered.size());
    const std::uint64_t word = LoadBigEndianWord(bytes);
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    const std::uint64_t padded =
        word | (lowered.size() == 8 ? 0 : ~std::uint64_t{0} >> (8 * lowered.size()));
    const bool zeroByte = ((padded - ones) & ~padded & (ones << 7)) != 0;
    return KeyOfBytes(word, zeroByte);
}

void ChardefStore::Reserve(std::size_t entries, std::size_t textSize) {
    form = ValueForm(textSize);
    placesOnly = form.HoldsShortValues() && textSize <= SmallTextBytes;
    // Sized, not reserved: the parser's appender writes into the places (left uninitialised).
    recordKeys.resize(entries);
    values.resize(entries);
}

void ChardefStore::Add(std::string_view code, std::uint32_t valueOffset, std::uint32_t stored,
                       std::size_t readable) {
    const std::uint64_t key = code.size() <= KeyBytes && readable >= 8
                                  ? PackLoweredWord(LoadBigEndianWord(code.data()), code.size())
                                  : Pack<true>(code);
    if ((key & LongFlag) != 0) {
        const auto start = static_cast<std::uint32_t>(longArena.size());
        for (char byte : code) {
            longArena += byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte + ('a' - 'A')) : byte;
        }
        recordLongCodes.push_back({valueOffset, start, static_cast<std::uint32_t>(code.size())});
    }
    if (recordCount == recordKeys.size()) {
        const std::size_t grown = std::max<std::size_t>(16, 2 * recordCount);
        recordKeys.resize(grown);
        values.resize(grown);
    }
    recordsSorted = recordsSorted && (recordCount == 0 || key >= recordKeys[recordCount - 1]);
    recordKeys[recordCount] = key;
    values[recordCount] = (key & LongFlag) != 0 ? valueOffset : stored;
    ++recordCount;
}

std::string_view ChardefStore::LongCodeOf(const std::vector<LongCode>& list,
                                          std::uint32_t id) const {
    auto found =
        std::lower_bound(list.begin(), list.end(), id,
                         [](const LongCode& code, std::uint32_t value) { return code.id < value; });
    return std::string_view(longArena).substr(found->start, found->length);
}

// Records of flagged codes that share a key are put in the order of their full bytes,
// stably, so each code's values stay in file order.
void ChardefStore::OrderLongRuns() {
    if (recordLongCodes.empty()) return;
    std::vector<std::pair<std::string_view, std::uint32_t>> run;
    const std::size_t count = recordKeys.size();
    for (std::size_t first = 0; first < count;) {
        std::size_t last = first + 1;
        while (last < count && recordKeys[last] == recordKeys[first]) ++last;
        if ((recordKeys[first] & LongFlag) != 0 && last - first > 1) {
            run.clear();
            for (std::size_t i = first; i < last; ++i) {
                run.emplace_back(LongCodeOf(recordLongCodes, values[i]), values[i]);
            }
            std::stable_sort(run.begin(), run.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            for (std::size_t i = first; i < last; ++i) values[i] = run[i - first].second;
        }
        first = last;
    }
}

void ChardefStore::FinishBuild(std::string_view text) {
    recordKeys.resize(recordCount);  // no reallocation: only the size shrinks
    values.resize(recordCount);
    const bool stored = SortRecords(text);
    OrderLongRuns();
    if (placesOnly && !stored) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            values[i] = StoredFromPlace(text, recordKeys[i], values[i]);
        }
    }

    // The distinct keys are packed to the front of the record keys themselves, which then
    // become the code keys: only the run starts are allocated while the records are alive.
    const std::size_t count = recordKeys.size();
    std::uint64_t* const sorted = recordKeys.data();
    std::size_t codeCount = 0;
    BuildBuffer<std::uint32_t> starts;
    BuildBuffer<std::uint32_t> firsts;
    std::vector<LongCode> longs;
    // The bytes among the keys' first four, for the first-bytes table (StartBuckets).
    std::array<bool, 256> present{};
    auto markFirstBytes = [&present](std::uint64_t key) {
        for (unsigned i = 0; i < 4; ++i) present[(key >> Shift(i)) & 0xFF] = true;
    };
    if (recordLongCodes.empty()) {
        // Every code is its key: a new key starts a new code.
        std::size_t distinct = 0;
        for (std::size_t i = 0; i < count; ++i) {
            distinct += i == 0 || sorted[i] != sorted[i - 1];
            markFirstBytes(sorted[i]);
        }
        starts.resize(distinct + 1);
        if (distinct >= LargeCodeCount) firsts.resize(distinct + 1);
        // Without a branch (whether a record starts a code is random): every record writes
        // its code's key, which is the same for the whole run, and its run start to the
        // code's run when it starts it, else to the spare last run. A key moves only to an
        // earlier place, and the previous key is kept aside before it can be overwritten.
        // The target is picked by arithmetic: compilers turn a conditional here into a branch.
        auto layOut = [&](auto keepFirst) {
            std::uint64_t previous = count == 0 ? 0 : ~sorted[0];
            for (std::size_t i = 0; i < count; ++i) {
                const std::uint64_t key = sorted[i];
                const std::size_t startsCode = key != previous ? 1 : 0;
                previous = key;
                codeCount += startsCode;
                sorted[codeCount - 1] = key;
                const std::size_t target = distinct - startsCode * (distinct + 1 - codeCount);
                starts[target] = static_cast<std::uint32_t>(i);
                if (keepFirst) firsts[target] = values[i];
            }
        };
        if (firsts.empty()) {
            layOut(std::false_type{});
        } else {
            layOut(std::true_type{});
        }
    } else {
        std::string_view previousLong;
        auto startsCode = [&](std::size_t i, std::string_view& longCode) {
            if ((sorted[i] & LongFlag) != 0) longCode = LongCodeOf(recordLongCodes, values[i]);
            if (i == 0 || sorted[i] != sorted[i - 1]) return true;
            return (sorted[i] & LongFlag) != 0 && longCode != previousLong;
        };
        std::size_t distinct = 0;
        for (std::size_t i = 0; i < count; ++i) {
            std::string_view longCode;
            if (startsCode(i, longCode)) ++distinct;
            previousLong = longCode;
            markFirstBytes(sorted[i]);
        }
        starts.resize(distinct + 1);
        if (distinct >= LargeCodeCount) firsts.resize(distinct + 1);
        previousLong = {};
        std::uint64_t previous = 0;
        for (std::size_t i = 0; i < count; ++i) {
            // sorted[i - 1] may have been overwritten by now: compare with the kept key.
            const std::uint64_t key = sorted[i];
            std::string_view longCode;
            if ((key & LongFlag) != 0) longCode = LongCodeOf(recordLongCodes, values[i]);
            const bool starting =
                i == 0 || key != previous || ((key & LongFlag) != 0 && longCode != previousLong);
            previous = key;
            if (starting) {
                if (!longCode.empty()) {
                    longs.push_back({static_cast<std::uint32_t>(codeCount),
                                     static_cast<std::uint32_t>(longCode.data() - longArena.data()),
                                     static_cast<std::uint32_t>(longCode.size())});
                }
                sorted[codeCount] = key;
                starts[codeCount] = static_cast<std::uint32_t>(i);
                if (!firsts.empty()) firsts[codeCount] = values[i];
                ++codeCount;
            }
            previousLong = longCode;
        }
    }
    starts[codeCount] = static_cast<std::uint32_t>(count);
    if (!firsts.empty()) firsts[codeCount] = 0;
    if (values.capacity() > count + count / 8) values.shrink_to_fit();
    recordKeys.resize(codeCount);
    recordKeys.push_back(~std::uint64_t{0});

    codeKeys.swap(recordKeys);
    runStarts.swap(starts);
    firstValues.swap(firsts);
    longCodes.swap(longs);
    // Released before the table below is made, to keep the peak down; assigning {} would
    // keep the capacity.
    BuildBuffer<std::uint64_t>().swap(recordKeys);
    std::vector<LongCode>().swap(recordLongCodes);
    StartBuckets(present);
    BuildScanIndex();
    FinishBuckets();
}

std::string_view ChardefStore::FullCode(std::uint32_t id) const {
    return LongCodeOf(longCodes, id);
}

int ChardefStore::Compare(std::uint32_t id, std::uint64_t key, std::string_view lowered) const {
    if (codeKeys[id] != key) return codeKeys[id] < key ? -1 : 1;
    if ((key & LongFlag) == 0) return 0;
    return LongCodeOf(longCodes, id).compare(lowered);
}

// The first-bytes table over the sorted keys. Each byte that starts a code (within the
// table's first few bytes) gets a rank in byte order, so the ranks of a key's first bytes
// never decrease along the keys and each value picks out one contiguous bucket. A binary
// search then covers a bucket of a few codes instead of the whole table. The bytes present
// are gathered while the codes are laid out, and the codes are counted into their buckets
// in the scan index's pass (CountInBucket), so the table costs no passes of its own.
void ChardefStore::StartBuckets(const std::array<bool, 256>& present) {
    // About one bucket per two to four codes, so a search reads one or two cache lines;
    // at most 2^20 buckets.
    constexpr unsigned MaxBucketBits = 20;
    unsigned rank = 0;
    for (unsigned byte = 0; byte < 256; ++byte) {
        byteRank[byte] = static_cast<std::uint8_t>(rank);
        // The padding of short codes is always ranked.
        rank += present[byte] || byte == 0 ? 1 : 0;
    }
    // Ranks run from 0 to `rank` (a byte above every present one); bytes seen nowhere share
    // the rank of the next present byte, which keeps the order.
    rankBits = static_cast<unsigned>(std::bit_width(rank));
    // A bucket is the first bits of the four ranks side by side, which keeps the order.
    const auto wanted = static_cast<unsigned>(std::bit_width(CodeCount()));
    const unsigned bucketBits = std::min({std::max(wanted, 3u) - 2, MaxBucketBits, 4 * rankBits});
    bucketShift = 4 * rankBits - bucketBits;
    bucketStart.clear();
    bucketBase.clear();
    bucketOffset.assign((std::size_t{1} << bucketBits) + 1, 0);
    crowdedBucket = false;
}

void ChardefStore::FinishBuckets() {
    // The counts become each bucket's first id past its group's, in place, where every
    // group spans fewer than 65,536 codes.
    const std::size_t size = bucketOffset.size();
    bool fits = !crowdedBucket;
    if (fits) bucketBase.resize((size + BucketGroup - 1) / BucketGroup);
    std::uint32_t total = 0;
    std::uint32_t groupStart = 0;
    for (std::size_t b = 0; b < size && fits; ++b) {
        total += bucketOffset[b];
        if (b % BucketGroup == 0) {
            groupStart = total;
            bucketBase[b / BucketGroup] = total;
        }
        fits = total - groupStart <= UINT16_MAX;
        bucketOffset[b] = static_cast<std::uint16_t>(total - groupStart);
    }
    if (fits) return;
    // Codes crowded behind a few beginnings: counted again, in the wide form.
    std::vector<std::uint16_t>().swap(bucketOffset);
    std::vector<std::uint32_t>().swap(bucketBase);
    bucketStart.assign(size, 0);
    for (std::size_t id = 0; id < CodeCount(); ++id) ++bucketStart[BucketOf(codeKeys[id]) + 1];
    for (std::size_t i = 1; i < size; ++i) bucketStart[i] += bucketStart[i - 1];
}

inline std::uint32_t ChardefStore::LowerBound(std::uint64_t key, std::string_view lowered,
                                              bool prefetchRuns) const {
    const std::uint32_t bucket = BucketOf(key);
    const auto [first, last] = BucketBounds(bucket);
    // The code's run start and the next (its end) are read next, and its first value; they
    // lie between the bucket's first and last, a line or two, asked for while the keys are
    // searched.
    if (prefetchRuns) {
        Prefetch(&runStarts[first]);
        Prefetch(&runStarts[last]);
        if (!firstValues.empty()) Prefetch(&firstValues[first]);
        // A bucket's keys mostly span one or two lines: both asked for at once, so the
        // search does not wait for one line after another.
        if (last > first) Prefetch(&codeKeys[last - 1]);
    }
    // A bucket mostly holds a few codes: they are counted without a branch, since where the
    // key falls among them is random; a crowded bucket is searched.
    constexpr std::uint32_t FewCodes = 8;
    std::uint32_t id = first;
    if (last - first <= FewCodes) {
        for (std::uint32_t i = first; i < last; ++i) id += codeKeys[i] < key ? 1 : 0;
    } else {
        id = static_cast<std::uint32_t>(
            std::lower_bound(codeKeys.begin() + first, codeKeys.begin() + last, key) -
            codeKeys.begin());
    }
    if ((key & LongFlag) != 0) {
        while (id < CodeCount() && Compare(id, key, lowered) < 0) ++id;
    }
    return id;
}

std::uint32_t ChardefStore::LowerBound(std::string_view lowered) const {
    if (codeKeys.empty()) return 0;
    return LowerBound(PackKey(lowered), lowered, false);
}

std::uint32_t ChardefStore::Find(std::string_view lowered) const {
    if (codeKeys.empty()) return NoCode;
    const std::uint64_t key = PackKey(lowered);
    const std::uint32_t id = LowerBound(key, lowered, true);
    return id < CodeCount() && Compare(id, key, lowered) == 0 ? id : NoCode;
}
