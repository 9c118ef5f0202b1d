#pragma once
// The codes of a %chardef block and their values in a few flat arrays. A real table has
// hundreds of thousands of entries listed in character order, so the build takes one path
// for every table: each entry becomes a record (the code packed into a 64-bit key, the
// value's offset in the table text), the records are sorted stably by key in linear time,
// and the distinct codes are laid out in byte order with the start of each code's run of
// values. A code is then found by binary search, a prefix is a contiguous range, and a
// scan over the codes meets them in the order results must have.
//
// A key holds the first seven lower-cased code bytes (zero padded) above a flag byte. A
// code of at most seven bytes without a zero byte is the key alone (flag 0); any other
// code sets the flag and keeps its full bytes beside the key. Keys then order like the
// codes' unsigned bytes with a prefix first, and equal keys with the flag set are told
// apart by the full bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class ChardefStore {
  public:
    static constexpr std::uint32_t NoCode = UINT32_MAX;
    static constexpr std::size_t KeyBytes = 7;
    static constexpr std::uint64_t LongFlag = 1;

    // Room for unpacking a short code.
    struct CodeBuffer {
        char bytes[KeyBytes];
    };

    // The key of an already lower-cased code.
    static std::uint64_t PackKey(std::string_view lowered);
    // The length of the code a key without the flag holds.
    static std::size_t ShortLength(std::uint64_t key);

    // Building. Reserve sizes the record arrays for at most `entries` entries; Add folds
    // the code to lower case and keeps the entry after those added before; FinishBuild
    // sorts and lays out the codes. Each may throw std::bad_alloc; a store whose build
    // failed is simply dropped.
    void Reserve(std::size_t entries);
    void Add(std::string_view code, std::uint32_t valueOffset);
    void FinishBuild();

    void swap(ChardefStore& other) noexcept {
        keys.swap(other.keys);
        runStart.swap(other.runStart);
        values.swap(other.values);
        longCodes.swap(other.longCodes);
        longArena.swap(other.longArena);
        recordKeys.swap(other.recordKeys);
        recordLongCodes.swap(other.recordLongCodes);
        std::swap(recordsSorted, other.recordsSorted);
    }

    bool Empty() const { return values.empty(); }
    std::size_t CodeCount() const { return keys.size(); }
    std::uint64_t Key(std::uint32_t id) const { return keys[id]; }
    // The code's bytes, unpacked into `buffer` when the key holds them.
    std::string_view Code(std::uint32_t id, CodeBuffer& buffer) const;
    // The id of an already lower-cased code, or NoCode.
    std::uint32_t Find(std::string_view lowered) const;
    // The first id whose code does not sort before `lowered`.
    std::uint32_t LowerBound(std::string_view lowered) const;
    // The code's values as indices [first, last) of ValueOffset, in file order.
    std::pair<std::uint32_t, std::uint32_t> Values(std::uint32_t id) const {
        return {runStart[id], runStart[id + 1]};
    }
    std::uint32_t ValueOffset(std::uint32_t index) const { return values[index]; }

  private:
    struct LongCode {
        std::uint32_t id;  // for records while building: the value offset
        std::uint32_t start;
        std::uint32_t length;
    };
    std::string_view LongCodeOf(const std::vector<LongCode>& list, std::uint32_t id) const;
    int Compare(std::uint32_t id, std::uint64_t key, std::string_view lowered) const;
    void SortRecords();
    void OrderLongRuns();

    std::vector<std::uint64_t> keys;      // code id -> key, ascending
    std::vector<std::uint32_t> runStart;  // code id -> its first value; one more at the end
    std::vector<std::uint32_t> values;    // value offsets in the table text, by code
    std::vector<LongCode> longCodes;      // flagged codes: id -> bytes in longArena
    std::string longArena;                // flagged codes, lower-cased, back to back

    // Building only.
    std::vector<std::uint64_t> recordKeys;
    std::vector<LongCode> recordLongCodes;  // by value offset, in file order
    bool recordsSorted = true;
};
