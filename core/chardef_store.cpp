#include "chardef_store.h"

#include <algorithm>
#include <bit>

namespace {

constexpr unsigned Shift(std::size_t position) { return static_cast<unsigned>(56 - 8 * position); }

// Packs the first bytes of `code`, lowering 'A'..'Z' when asked; the flag is set for a code
// the key cannot hold alone.
template <bool Lower>
std::uint64_t Pack(std::string_view code) {
    const std::size_t packed = std::min(code.size(), ChardefStore::KeyBytes);
    std::uint64_t key = code.size() > ChardefStore::KeyBytes ? ChardefStore::LongFlag : 0;
    for (std::size_t i = 0; i < packed; ++i) {
        auto byte = static_cast<unsigned char>(code[i]);
        if (Lower && static_cast<unsigned char>(byte - 'A') < 26) byte += 'a' - 'A';
        if (byte == 0) key |= ChardefStore::LongFlag;
        key |= std::uint64_t{byte} << Shift(i);
    }
    return key;
}

}  // namespace

std::uint64_t ChardefStore::PackKey(std::string_view lowered) { return Pack<false>(lowered); }

std::size_t ChardefStore::ShortLength(std::uint64_t key) {
    const std::uint64_t bytes = key >> 8;
    if (bytes == 0) return 0;
    return KeyBytes - static_cast<std::size_t>(std::countr_zero(bytes)) / 8;
}

void ChardefStore::Reserve(std::size_t entries) {
    recordKeys.reserve(entries);
    values.reserve(entries);
}

void ChardefStore::Add(std::string_view code, std::uint32_t valueOffset) {
    const std::uint64_t key = Pack<true>(code);
    if ((key & LongFlag) != 0) {
        const auto start = static_cast<std::uint32_t>(longArena.size());
        for (char byte : code) {
            longArena += byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte + ('a' - 'A')) : byte;
        }
        recordLongCodes.push_back({valueOffset, start, static_cast<std::uint32_t>(code.size())});
    }
    if (!recordKeys.empty() && key < recordKeys.back()) recordsSorted = false;
    recordKeys.push_back(key);
    values.push_back(valueOffset);
}

std::string_view ChardefStore::LongCodeOf(const std::vector<LongCode>& list,
                                          std::uint32_t id) const {
    auto found =
        std::lower_bound(list.begin(), list.end(), id,
                         [](const LongCode& code, std::uint32_t value) { return code.id < value; });
    return std::string_view(longArena).substr(found->start, found->length);
}

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
    constexpr unsigned MaxDigitBits = 14;
    const unsigned passes = (bits + MaxDigitBits - 1) / MaxDigitBits;
    const unsigned digitBits = (bits + passes - 1) / passes;
    const std::uint64_t digitMask = (std::uint64_t{1} << digitBits) - 1;

    std::vector<std::uint32_t> counts(std::size_t{1} << digitBits);
    std::vector<std::uint64_t> keyScratch(count);
    std::vector<std::uint32_t> valueScratch(count);
    for (unsigned pass = 0; pass < passes; ++pass) {
        const unsigned shift = low + pass * digitBits;
        std::fill(counts.begin(), counts.end(), 0);
        for (std::uint64_t key : recordKeys) ++counts[(key >> shift) & digitMask];
        std::uint32_t sum = 0;
        for (std::uint32_t& slot : counts) {
            const std::uint32_t here = slot;
            slot = sum;
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

void ChardefStore::FinishBuild() {
    SortRecords();
    OrderLongRuns();

    const std::size_t count = recordKeys.size();
    std::size_t codes = 0;
    std::string_view previousLong;
    auto startsCode = [&](std::size_t i, std::string_view& longCode) {
        if ((recordKeys[i] & LongFlag) != 0) longCode = LongCodeOf(recordLongCodes, values[i]);
        if (i == 0 || recordKeys[i] != recordKeys[i - 1]) return true;
        return (recordKeys[i] & LongFlag) != 0 && longCode != previousLong;
    };
    for (std::size_t i = 0; i < count; ++i) {
        std::string_view longCode;
        if (startsCode(i, longCode)) ++codes;
        previousLong = longCode;
    }

    std::vector<std::uint64_t> codeKeys(codes);
    std::vector<std::uint32_t> starts(codes + 1);
    std::vector<LongCode> longs;
    std::uint32_t id = 0;
    previousLong = {};
    for (std::size_t i = 0; i < count; ++i) {
        std::string_view longCode;
        if (startsCode(i, longCode)) {
            codeKeys[id] = recordKeys[i];
            starts[id] = static_cast<std::uint32_t>(i);
            if (!longCode.empty()) {
                longs.push_back({id, static_cast<std::uint32_t>(longCode.data() - longArena.data()),
                                 static_cast<std::uint32_t>(longCode.size())});
            }
            ++id;
        }
        previousLong = longCode;
    }
    starts[codes] = static_cast<std::uint32_t>(count);
    if (values.capacity() > count + count / 8) values.shrink_to_fit();

    // Nothing below allocates: the store changes only once everything above succeeded.
    keys.swap(codeKeys);
    runStart.swap(starts);
    longCodes.swap(longs);
    // Assigning {} would keep the capacity.
    std::vector<std::uint64_t>().swap(recordKeys);
    std::vector<LongCode>().swap(recordLongCodes);
}

std::string_view ChardefStore::Code(std::uint32_t id, CodeBuffer& buffer) const {
    const std::uint64_t key = keys[id];
    if ((key & LongFlag) != 0) return LongCodeOf(longCodes, id);
    const std::size_t length = ShortLength(key);
    for (std::size_t i = 0; i < length; ++i) buffer.bytes[i] = static_cast<char>(key >> Shift(i));
    return std::string_view(buffer.bytes, length);
}

int ChardefStore::Compare(std::uint32_t id, std::uint64_t key, std::string_view lowered) const {
    if (keys[id] != key) return keys[id] < key ? -1 : 1;
    if ((key & LongFlag) == 0) return 0;
    return LongCodeOf(longCodes, id).compare(lowered);
}

std::uint32_t ChardefStore::LowerBound(std::string_view lowered) const {
    const std::uint64_t key = PackKey(lowered);
    auto id =
        static_cast<std::uint32_t>(std::lower_bound(keys.begin(), keys.end(), key) - keys.begin());
    if ((key & LongFlag) != 0) {
        while (id < keys.size() && Compare(id, key, lowered) < 0) ++id;
    }
    return id;
}

std::uint32_t ChardefStore::Find(std::string_view lowered) const {
    const std::uint64_t key = PackKey(lowered);
    const std::uint32_t id = LowerBound(lowered);
    return id < keys.size() && Compare(id, key, lowered) == 0 ? id : NoCode;
}
