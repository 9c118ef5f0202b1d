#include "chardef_store.h"

namespace {

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
    unsigned bits = 10;
    while ((std::size_t{1} << bits) < codes * 2) ++bits;
    ResizeIndex(bits);
}

std::size_t ChardefStore::SlotOf(std::uint64_t hash) const {
    // Fibonacci hashing spreads FNV's weak low bits over the table.
    return static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15ULL) >> (64 - slotBits));
}

void ChardefStore::ResizeIndex(unsigned bits) {
    slotBits = bits;
    slots.assign(std::size_t{1} << slotBits, NoCode);
    const std::size_t mask = slots.size() - 1;
    for (std::uint32_t id = 0; id < codeStart.size(); ++id) {
        std::size_t slot = SlotOf(HashBytes(Code(id)));
        while (slots[slot] != NoCode) slot = (slot + 1) & mask;
        slots[slot] = id;
    }
}

std::uint32_t ChardefStore::Find(std::string_view code) const {
    if (slots.empty()) return NoCode;
    const std::size_t mask = slots.size() - 1;
    for (std::size_t slot = SlotOf(HashBytes(code));; slot = (slot + 1) & mask) {
        std::uint32_t id = slots[slot];
        if (id == NoCode || Code(id) == code) return id;
    }
}

std::uint32_t ChardefStore::InsertCode(std::string_view lowered, std::uint64_t hash) {
    // Keep the index at most half full so that probe runs stay short.
    if ((codeStart.size() + 1) * 2 > slots.size()) ResizeIndex(slotBits == 0 ? 10 : slotBits + 1);
    const std::size_t mask = slots.size() - 1;
    std::size_t slot = SlotOf(hash);
    for (;; slot = (slot + 1) & mask) {
        std::uint32_t id = slots[slot];
        if (id == NoCode) break;
        if (Code(id) == lowered) return id;
    }
    auto id = static_cast<std::uint32_t>(codeStart.size());
    slots[slot] = id;
    codeStart.push_back(static_cast<std::uint32_t>(arena.size()));
    arena.append(lowered);
    firstValue.push_back(NoCode);
    lastValue.push_back(NoCode);
    return id;
}

void ChardefStore::Add(std::string_view code, TextSpan value) {
    scratch.assign(code);
    for (char& byte : scratch) {
        if (byte >= 'A' && byte <= 'Z') byte = static_cast<char>(byte + ('a' - 'A'));
    }
    std::uint32_t id = lastCode != NoCode && Code(lastCode) == scratch
                           ? lastCode
                           : InsertCode(scratch, HashBytes(scratch));
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
