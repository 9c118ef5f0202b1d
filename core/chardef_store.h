#pragma once
// The codes of a %chardef block and their values in a few flat arrays: the lower-cased
// codes back to back in one arena and the values as spans of the table text, chained per
// code in file order. A real table has hundreds of thousands of entries, so this keeps
// the load to a handful of allocations and makes freeing the table cheap.
//
// Tables are usually sorted by code. While every new code sorts after the previous one,
// codes are simply appended and later found by binary search; the first code out of order
// switches to an open-addressing hash index over all codes. Either way a code is found
// by its bytes alone.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A value: `length` bytes at `offset` of the table text.
struct TextSpan {
    std::uint32_t offset;
    std::uint32_t length;
};

class ChardefStore {
  public:
    static constexpr std::uint32_t NoCode = UINT32_MAX;

    // Sizes the arrays for a table text of `textBytes` bytes, from the proportions of real
    // tables; the arrays still grow when a table differs.
    void ReserveForText(std::size_t textBytes);
    // Appends `value` to the list of `code` (folded to lower case here), after the values
    // already stored for it.
    void Add(std::string_view code, TextSpan value);
    // Drops what only the building needed.
    void FinishBuild();

    bool Empty() const { return values.empty(); }
    // Whether code ids follow the codes' byte order.
    bool CodesSorted() const { return !indexed; }
    std::size_t CodeCount() const { return codeStart.size(); }
    std::string_view Code(std::size_t id) const {
        std::size_t end = id + 1 < codeStart.size() ? codeStart[id + 1] : arena.size();
        return std::string_view(arena).substr(codeStart[id], end - codeStart[id]);
    }
    // The id of an already lower-cased code, or NoCode.
    std::uint32_t Find(std::string_view code) const;
    // The ids [first, last) that may start with `prefix`: exactly those when the codes are
    // sorted, else every id.
    std::pair<std::uint32_t, std::uint32_t> PrefixRange(std::string_view prefix) const;
    std::size_t ValueCount(std::uint32_t id) const;

    // Calls visit(TextSpan) for each value of the code, in file order.
    template <typename Visit>
    void ForEachValue(std::uint32_t id, Visit&& visit) const {
        for (std::uint32_t v = firstValue[id]; v != NoCode; v = nextValue[v]) visit(values[v]);
    }

  private:
    std::uint32_t AppendCode(std::string_view lowered);
    std::uint32_t InsertCode(std::string_view lowered);
    void ResizeIndex(unsigned bits);
    std::uint32_t LowerBound(std::string_view code) const;
    std::size_t SlotOf(std::uint64_t hash) const;

    std::string arena;                      // lower-cased codes back to back
    std::vector<std::uint32_t> codeStart;   // code id -> offset in arena
    std::vector<std::uint32_t> firstValue;  // code id -> its first value
    std::vector<std::uint32_t> lastValue;   // code id -> its last value (building only)
    std::vector<TextSpan> values;           // in file order
    std::vector<std::uint32_t> nextValue;   // value -> next value of the same code
    std::vector<std::uint32_t> slots;       // open addressing: code ids, NoCode when free
    unsigned slotBits = 0;
    unsigned plannedSlotBits = 10;
    bool indexed = false;  // codes out of order: the hash index is in use
    std::uint32_t lastCode = NoCode;
    std::string scratch;  // the code being added, lower-cased
};
