#include "chardef_store.h"

#include <algorithm>

namespace {

// Byte order with bytes as unsigned values, a prefix first; inline because it runs for
// every chardef line and codes are a few bytes long.
int CompareBytes(std::string_view a, std::string_view b) {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        auto x = static_cast<unsigned char>(a[i]);
        auto y = static_cast<unsigned char>(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool HasCapital(std::string_view bytes) {
    for (char byte : bytes) {
        if (byte >= 'A' && byte <= 'Z') return true;
    }
    return false;
}

std::uint64_t HashBytes(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;  // FNV-1a: codes are a few bytes long
    for (unsigned char byte : bytes) {
        hash = (hash ^ byte) * 0x100000001b3ULL;
    }
    return hash;
}

}  // namespace

void ChardefStore::ReserveForText(std::size_t textBytes) {
    // A chardef line takes at least four bytes ("a b" and its line end); real tables
    // average 12 to 20 bytes a line and about 1.5 lines a code.
    const std::size_t entries = textBytes / 10 + 16;
    const std::size_t codes = textBytes / 16 + 16;
    values.reserve(entries);
    nextValue.reserve(entries);
    codeStart.reserve(codes);
    firstValue.reserve(codes);
    lastValue.reserve(codes);
    arena.reserve(codes * 5);
    plannedSlotBits = 10;
    while ((std::size_t{1} << plannedSlotBits) < codes * 2) ++plannedSlotBits;
}

std::size_t ChardefStore::SlotOf(std::uint64_t hash) const {
    // Fibonacci hashing spreads FNV's weak low bits over the table.
    return static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15ULL) >> (64 - slotBits));
}

void ChardefStore::ResizeIndex(unsigned bits) {
    // At most half full, so that probe runs stay short.
    while ((std::size_t{1} << bits) < (codeStart.size() + 1) * 2) ++bits;
    slotBits = bits;
    slots.assign(std::size_t{1} << slotBits, NoCode);
    const std::size_t mask = slots.size() - 1;
    for (std::uint32_t id = 0; id < codeStart.size(); ++id) {
        std::size_t slot = SlotOf(HashBytes(Code(id)));
        while (slots[slot] != NoCode) slot = (slot + 1) & mask;
        slots[slot] = id;
    }
    indexed = true;
}

std::uint32_t ChardefStore::LowerBound(std::string_view code) const {
    std::uint32_t low = 0;
    auto high = static_cast<std::uint32_t>(codeStart.size());
    while (low < high) {
        std::uint32_t middle = low + (high - low) / 2;
        if (CompareBytes(Code(middle), code) < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

std::pair<std::uint32_t, std::uint32_t> ChardefStore::PrefixRange(std::string_view prefix) const {
    const auto count = static_cast<std::uint32_t>(codeStart.size());
    if (indexed || prefix.empty()) return {0, count};
    const std::uint32_t first = LowerBound(prefix);
    std::uint32_t last = first;
    // Codes with the prefix follow one another; the run is short next to the table.
    while (last < count && Code(last).substr(0, prefix.size()) == prefix) ++last;
    return {first, last};
}

std::uint32_t ChardefStore::Find(std::string_view code) const {
    if (!indexed) {
        std::uint32_t id = LowerBound(code);
        return id < codeStart.size() && Code(id) == code ? id : NoCode;
    }
    if (slots.empty()) return NoCode;  // moved from
    const std::size_t mask = slots.size() - 1;
    for (std::size_t slot = SlotOf(HashBytes(code));; slot = (slot + 1) & mask) {
        std::uint32_t id = slots[slot];
        if (id == NoCode || Code(id) == code) return id;
    }
}

std::uint32_t ChardefStore::AppendCode(std::string_view lowered) {
    auto id = static_cast<std::uint32_t>(codeStart.size());
    codeStart.push_back(static_cast<std::uint32_t>(arena.size()));
    arena.append(lowered);
    firstValue.push_back(NoCode);
    lastValue.push_back(NoCode);
    return id;
}

std::uint32_t ChardefStore::InsertCode(std::string_view lowered) {
    if ((codeStart.size() + 1) * 2 > slots.size()) ResizeIndex(slotBits + 1);
    const std::size_t mask = slots.size() - 1;
    std::size_t slot = SlotOf(HashBytes(lowered));
    for (;; slot = (slot + 1) & mask) {
        std::uint32_t id = slots[slot];
        if (id == NoCode) break;
        if (Code(id) == lowered) return id;
    }
    std::uint32_t id = AppendCode(lowered);
    slots[slot] = id;
    return id;
}

void ChardefStore::Add(std::string_view code, TextSpan value) {
    std::string_view lowered = code;
    if (HasCapital(code)) {
        scratch.assign(code);
        for (char& byte : scratch) {
            if (byte >= 'A' && byte <= 'Z') byte = static_cast<char>(byte + ('a' - 'A'));
        }
        lowered = scratch;
    }
    std::uint32_t id;
    const int order = lastCode == NoCode ? 1 : CompareBytes(lowered, Code(lastCode));
    if (order == 0) {
        id = lastCode;
    } else if (order > 0 && !indexed) {
        id = AppendCode(lowered);  // after every code so far: new, and still sorted
    } else {
        if (!indexed) ResizeIndex(plannedSlotBits);
        id = InsertCode(lowered);
    }
    lastCode = id;
    auto index = static_cast<std::uint32_t>(values.size());
    values.push_back(value);
    nextValue.push_back(NoCode);
    if (lastValue[id] == NoCode) {
        firstValue[id] = index;
    } else {
        nextValue[lastValue[id]] = index;
    }
    lastValue[id] = index;
}

void ChardefStore::FinishBuild() {
    lastValue = {};
    scratch = {};
    lastCode = NoCode;
}

std::size_t ChardefStore::ValueCount(std::uint32_t id) const {
    std::size_t count = 0;
    ForEachValue(id, [&count](TextSpan) { ++count; });
    return count;
}
