#pragma once
// The codes of a %chardef block and their values in a few flat arrays. A real table has
// hundreds of thousands of entries listed in character order, so the build takes one path
// for every table: each entry becomes a record (the code packed into a 64-bit key, the
// value in place when short, else its offset in the table text), the records are sorted
// stably by key in linear time, and the distinct codes are laid out in byte order with the
// start of each code's run of values. A code is then found by binary search, a prefix is a
// contiguous range, and a scan over the codes meets them in the order results must have.
//
// A key holds the first seven lower-cased code bytes (zero padded) above a last byte that
// carries the eighth code byte in its upper seven bits and a flag in its lowest. A code of
// at most eight bytes without a zero byte, whose eighth byte (if any) is below 0x80, is
// the key alone (flag 0); any other code sets the flag and keeps its full bytes beside
// the key, an eighth byte of 0x80 or more making the last byte 0xFF. Keys then order like
// the codes' unsigned bytes with a prefix first, and equal keys with the flag set are told
// apart by the full bytes. A small table over the keys' first bytes narrows each search to
// a bucket of a few codes.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "value_form.h"

inline std::uint64_t ByteSwap(std::uint64_t word) {
    word = ((word & 0x00FF00FF00FF00FFULL) << 8) | ((word >> 8) & 0x00FF00FF00FF00FFULL);
    word = ((word & 0x0000FFFF0000FFFFULL) << 16) | ((word >> 16) & 0x0000FFFF0000FFFFULL);
    return (word << 32) | (word >> 32);
}

// Eight bytes as one number, the first byte the most significant.
inline std::uint64_t LoadBigEndianWord(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::little) word = ByteSwap(word);
    return word;
}

// Eight bytes as one number, the first byte the least significant.
inline std::uint64_t LoadLittleEndianWord(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::big) word = ByteSwap(word);
    return word;
}

// A vector allocator under which an element made without a value is left uninitialised,
// as `new T` leaves it: the build's arrays are filled completely before they are read, so
// clearing them first would only cost a pass over memory.
template <typename T>
struct UninitializedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UninitializedAllocator<U>;
    };
    UninitializedAllocator() noexcept = default;
    template <typename U>
    UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}
    template <typename U>
    void construct(U* place) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(place)) U;
    }
    template <typename U, typename... Args>
    void construct(U* place, Args&&... args) {
        ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
    }
};

template <typename T>
using BuildBuffer = std::vector<T, UninitializedAllocator<T>>;

class ChardefStore {
  public:
    static constexpr std::uint32_t NoCode = UINT32_MAX;
    static constexpr std::size_t KeyBytes = 8;   // the longest code a key holds alone
    static constexpr std::size_t HighBytes = 7;  // the code bytes in place in the key
    static constexpr std::uint64_t LongFlag = 1;

    // Room for unpacking a short code.
    struct CodeBuffer {
        char bytes[KeyBytes];
    };

    // The key of an already lower-cased code.
    static std::uint64_t PackKey(std::string_view lowered);
    // The bytes of the code a key without the flag holds, the first the most significant,
    // zero padded: the key with its eighth byte moved back into place.
    static std::uint64_t CodeWord(std::uint64_t key) {
        return (key & ~std::uint64_t{0xFF}) | ((key >> 1) & 0x7F);
    }
    // The length of the code a key without the flag holds.
    static std::size_t ShortLength(std::uint64_t key) {
        const std::uint64_t bytes = CodeWord(key);
        if (bytes == 0) return 0;
        return KeyBytes - static_cast<std::size_t>(std::countr_zero(bytes)) / 8;
    }

    // How the values are stored; set by Reserve.
    const ValueForm& Form() const { return form; }
    // The form the build takes a value in: Form().Of, or in a small text its place in the
    // text alone, which FinishBuild turns into Form().Of. The records can then be sorted
    // without their values beside them, which keeps the peak of a small table's build
    // down, where memory and not speed is what binds.
    std::uint32_t BuildForm(std::string_view value, std::uint32_t offset) const {
        return placesOnly ? form.InText(offset, value.size()) : form.Of(value, offset);
    }
    static constexpr std::size_t SmallTextBytes = std::size_t{2} << 20;

    // Building. Reserve picks the value form for a text of `textSize` bytes and sizes the
    // record arrays for `entries` entries (they grow past that when needed); Add folds the
    // code to lower case and keeps the entry after those added before; FinishBuild sorts
    // and lays out the codes. Each may throw std::bad_alloc; a store whose build
    // failed is simply dropped.
    void Reserve(std::size_t entries, std::size_t textSize);
    // `readable` counts the bytes that may be read from the code's start (at least its own);
    // `stored` is the value's BuildForm.
    void Add(std::string_view code, std::uint32_t valueOffset, std::uint32_t stored,
             std::size_t readable);
    // The key of a code of one to eight bytes at the start of `word`: its bytes kept,
    // 'A'..'Z' lowered.
    static std::uint64_t PackLoweredWord(std::uint64_t word, std::size_t length) {
        constexpr std::uint64_t ones = 0x0101010101010101ULL;
        const std::uint64_t mask = ~std::uint64_t{0} << (64 - 8 * length);
        const std::uint64_t padded = LoweredBytes(word, mask) | ~mask;
        const bool zeroByte = ((padded - ones) & ~padded & (ones << 7)) != 0;
        return KeyOfBytes(padded & mask, zeroByte);
    }
    // The first `mask` bytes of `word` with 'A'..'Z' lowered, the rest cleared.
    static std::uint64_t LoweredBytes(std::uint64_t word, std::uint64_t mask) {
        constexpr std::uint64_t ones = 0x0101010101010101ULL;
        constexpr std::uint64_t highs = ones << 7;
        const std::uint64_t bytes = word & mask;
        const std::uint64_t low7 = bytes & ~highs;
        const std::uint64_t capitals =
            (low7 + ones * (0x80 - 'A')) & ~(low7 + ones * (0x80 - 'Z' - 1)) & ~bytes & highs;
        return bytes | (capitals >> 2);
    }

    // Adds the records of the parser's usual lines (a code of one to eight bytes, none of
    // them below '!', and a value of one byte or more) with the arrays' places, the count
    // and the value form held by value, so that they stay in registers while the records
    // are written. No other call may add records while one is open; Close hands the
    // records back.
    class UsualLineAppender {
      public:
        explicit UsualLineAppender(ChardefStore& store)
            : keys(store.recordKeys.data()),
              values(store.values.data()),
              count(store.recordCount),
              capacity(store.recordKeys.size()),
              lastKey(store.recordCount == 0 ? 0 : store.recordKeys[store.recordCount - 1]),
              sorted(store.recordsSorted),
              placesOnly(store.placesOnly),
              form(store.form) {}

        // `word` holds the code's first eight bytes and what follows it, the first the most
        // significant; the value's first four bytes may be read. Adds nothing and returns
        // false when the arrays are full or the key cannot hold the code (an eighth byte of
        // 0x80 or more): the caller then adds the line through ChardefStore::Add.
        bool Append(std::uint64_t word, std::size_t length, const char* value,
                    std::size_t valueLength, std::uint32_t valueOffset) {
            const std::uint64_t key =
                KeyOfBytes(LoweredBytes(word, ~std::uint64_t{0} << (64 - 8 * length)), false);
            if (count == capacity || (key & LongFlag) != 0) return false;
            keys[count] = key;
            values[count] = placesOnly ? form.InText(valueOffset, valueLength)
                                       : form.OfUsual(value, valueLength, valueOffset);
            ++count;
            // Without a branch: in a table listed in character order the outcome is random.
            sorted &= key >= lastKey;
            lastKey = key;
            return true;
        }
        void Close(ChardefStore& store) const {
            store.recordCount = count;
            store.recordsSorted = sorted;
        }

      private:
        std::uint64_t* keys;
        std::uint32_t* values;
        std::size_t count;
        std::size_t capacity;
        std::uint64_t lastKey;
        bool sorted;
        bool placesOnly;
        ValueForm form;
    };
    // The key of a code's first eight bytes `bytes` (zero padded), with the flag set when
    // `isLong` (the code holds more, or a zero byte): without a branch, for the parser.
    static std::uint64_t KeyOfBytes(std::uint64_t bytes, bool isLong) {
        const std::uint64_t eighth = bytes & 0xFF;
        const std::uint64_t high = eighth >> 7;  // an eighth byte the last byte cannot hold
        const std::uint64_t last =
            ((eighth << 1) & 0xFF) | (high * 0xFF) | (isLong ? LongFlag : std::uint64_t{0});
        return (bytes & ~std::uint64_t{0xFF}) | last;
    }
    // `text` is the table text the values lie in.
    void FinishBuild(std::string_view text);

    void swap(ChardefStore& other) noexcept {
        codeKeys.swap(other.codeKeys);
        runStarts.swap(other.runStarts);
        firstValues.swap(other.firstValues);
        values.swap(other.values);
        longCodes.swap(other.longCodes);
        longArena.swap(other.longArena);
        bucketStart.swap(other.bucketStart);
        bucketBase.swap(other.bucketBase);
        bucketOffset.swap(other.bucketOffset);
        std::swap(byteRank, other.byteRank);
        std::swap(rankBits, other.rankBits);
        std::swap(bucketShift, other.bucketShift);
        recordKeys.swap(other.recordKeys);
        std::swap(recordCount, other.recordCount);
        recordLongCodes.swap(other.recordLongCodes);
        std::swap(recordsSorted, other.recordsSorted);
        lastBytes.swap(other.lastBytes);
        lengthBits.swap(other.lengthBits);
        std::swap(lengthSlots, other.lengthSlots);
        std::swap(shortCodesHoldStar, other.shortCodesHoldStar);
        std::swap(form, other.form);
        std::swap(placesOnly, other.placesOnly);
    }

    bool Empty() const { return values.empty(); }
    std::size_t CodeCount() const { return codeKeys.empty() ? 0 : codeKeys.size() - 1; }
    std::uint64_t Key(std::uint32_t id) const { return codeKeys[id]; }
    // The code's bytes, unpacked into `buffer` when the key holds them.
    std::string_view Code(std::uint32_t id, CodeBuffer& buffer) const {
        const std::uint64_t key = codeKeys[id];
        if ((key & LongFlag) != 0) return FullCode(id);
        const std::uint64_t bytes = CodeWord(key);
        const std::size_t length = ShortLength(key);
        for (std::size_t i = 0; i < length; ++i) {
            buffer.bytes[i] = static_cast<char>(bytes >> (56 - 8 * i));
        }
        return std::string_view(buffer.bytes, length);
    }
    // The id of an already lower-cased code, or NoCode.
    std::uint32_t Find(std::string_view lowered) const;
    // The first id whose code does not sort before `lowered`.
    std::uint32_t LowerBound(std::string_view lowered) const;
    // The code's values as indices [first, last) of StoredValueAt, in file order.
    std::pair<std::uint32_t, std::uint32_t> Values(std::uint32_t id) const {
        return {runStarts[id], runStarts[id + 1]};
    }
    // StoredValueAt(Values(id).first). A large table keeps it by code as well, so that an
    // exact lookup of a code with one value need not wait for its run's start before it
    // reads the value.
    const std::uint32_t& FirstStoredValue(std::uint32_t id) const {
        return firstValues.empty() ? values[runStarts[id]] : firstValues[id];
    }
    const std::uint32_t& StoredValueAt(std::uint32_t index) const { return values[index]; }
    // The bounds of the arrays StoredValueAt and FirstStoredValue read from.
    const std::uint32_t* StoredValuesBegin() const { return values.data(); }
    const std::uint32_t* StoredValuesEnd() const { return values.data() + values.size(); }
    const std::uint32_t* FirstStoredValuesEnd() const {
        return firstValues.empty() ? StoredValuesEnd() : firstValues.data() + firstValues.size();
    }
    // The keys of every code, ascending (CodeCount() of them), for scans that read them in
    // bulk; and where each code's run of values starts, RunStart(CodeCount()) closing the
    // last, so that the values of the codes [a, b) are [RunStart(a), RunStart(b)).
    const std::uint64_t* KeyData() const { return codeKeys.data(); }
    std::uint32_t RunStart(std::uint32_t id) const { return runStarts[id]; }
    const std::uint32_t* RunStartPlace(std::uint32_t id) const { return &runStarts[id]; }

    // Tables of this many codes or more outgrow the caches: they keep more beside the codes
    // to spare lookups and scans their misses (FirstStoredValue, LastBytes).
    static constexpr std::size_t LargeCodeCount = std::size_t{1} << 19;
    // Whether some code is not its key alone (longer than eight bytes, an eighth byte of
    // 0x80 or more, or a zero byte).
    bool HasLongCodes() const { return !longCodes.empty(); }
    // Whether a code the key holds alone has a '*' byte (such codes need the full matcher).
    bool ShortCodesHoldStar() const { return shortCodesHoldStar; }
    // The last byte of every code by id, for scans of patterns that end in a literal byte;
    // null for tables whose keys a scan reads fast enough.
    const unsigned char* LastBytes() const {
        return lastBytes.empty() ? nullptr : lastBytes.data();
    }
    // The codes of one length from 1 to KeyBytes, flagged ones included, as a bit per id
    // (bit i of word i / 64); null when no code has that length. Longer codes are all
    // flagged: FlaggedCodes lists them.
    const std::uint64_t* LengthBits(std::size_t length) const {
        if (length == 0 || length > KeyBytes || lengthSlots[length - 1] == NoSlot) return nullptr;
        return lengthBits.data() + lengthSlots[length - 1];
    }

    struct LongCode {
        std::uint32_t id;  // for records while building: the value offset
        std::uint32_t start;
        std::uint32_t length;
    };
    // The codes their keys do not hold alone, by ascending id.
    const std::vector<LongCode>& FlaggedCodes() const { return longCodes; }

  private:
    std::string_view LongCodeOf(const std::vector<LongCode>& list, std::uint32_t id) const;
    std::string_view FullCode(std::uint32_t id) const;
    int Compare(std::uint32_t id, std::uint64_t key, std::string_view lowered) const;
    std::uint32_t BucketOf(std::uint64_t key) const {
        // The ranks of the first four bytes side by side, then those past the table's cut
        // dropped: straight-line code, for it runs once per code while building.
        std::uint64_t ranks = 0;
        for (unsigned i = 0; i < 4; ++i)
            ranks = (ranks << rankBits) | byteRank[(key >> (56 - 8 * i)) & 0xFF];
        return static_cast<std::uint32_t>(ranks >> bucketShift);
    }
    // The first id of a bucket, and of the next (its end).
    std::pair<std::uint32_t, std::uint32_t> BucketBounds(std::uint32_t bucket) const {
        if (bucketOffset.empty()) return {bucketStart[bucket], bucketStart[bucket + 1]};
        return {bucketBase[bucket / BucketGroup] + bucketOffset[bucket],
                bucketBase[(bucket + 1) / BucketGroup] + bucketOffset[bucket + 1]};
    }
    std::uint32_t LowerBound(std::uint64_t key, std::string_view lowered, bool prefetchRuns) const;
    void StartBuckets(const std::array<bool, 256>& present);
    // Counts a code into its bucket, codes in id order, between StartBuckets and
    // FinishBuckets.
    void CountInBucket(std::uint64_t key) {
        // Counted in the narrow form; a count that wraps around sends the table to the
        // wide one.
        crowdedBucket |= ++bucketOffset[BucketOf(key) + 1] == 0;
    }
    void FinishBuckets();
    // Returns whether it also turned values kept as places into their stored form.
    bool SortRecords(std::string_view text);  // chardef_sort.cpp
    // The stored form of a value kept as its place (BuildForm) for a record's key; inline,
    // for the sort reads every value back through it.
    std::uint32_t StoredFromPlace(std::string_view text, std::uint64_t key,
                                  std::uint32_t place) const {
        const std::size_t length = form.Length(place);
        // Flagged codes' values stay offsets, by which their codes are found.
        if ((key & LongFlag) != 0 || length == 0 || length > ValueForm::ShortBytes) return place;
        const std::uint32_t offset = form.Offset(place);
        // Four bytes are read from the value where the text holds them.
        return text.size() - offset >= ValueForm::ShortBytes
                   ? form.OfUsual(text.data() + offset, length, offset)
                   : form.Of(text.substr(offset, length), offset);
    }
    void OrderLongRuns();
    void BuildScanIndex();  // chardef_scan_index.cpp

    // Code id -> key, ascending, and where its run of values starts; one more of each at
    // the end closes the last run. They are kept apart so that the keys stay in the records'
    // own array, packed to its front: the build allocates only the run starts while the
    // records are alive, which keeps its peak down.
    BuildBuffer<std::uint64_t> codeKeys;
    BuildBuffer<std::uint32_t> runStarts;
    BuildBuffer<std::uint32_t> firstValues;  // see FirstStoredValue; empty in smaller tables
    // Stored values by code; those of flagged codes are offsets while building, since the
    // codes' bytes are found by them.
    BuildBuffer<std::uint32_t> values;
    std::vector<LongCode> longCodes;         // flagged codes: id -> bytes in longArena
    std::string longArena;                   // flagged codes, lower-cased, back to back
    std::vector<std::uint32_t> bucketStart;  // bucket of the first bytes -> first id; one more
    // The same in half the room where it fits: a group's first id, and each bucket's first
    // id past it. A lookup reads the table at random, and at half the size it is found
    // in the cache more often.
    static constexpr std::uint32_t BucketGroup = 256;
    std::vector<std::uint32_t> bucketBase;
    std::vector<std::uint16_t> bucketOffset;
    bool crowdedBucket = false;  // building only: a bucket of 65,536 codes or more
    std::array<std::uint8_t, 256> byteRank{};
    unsigned rankBits = 1;
    unsigned bucketShift = 0;
    std::vector<unsigned char> lastBytes;  // see LastBytes
    static constexpr std::uint32_t NoSlot = UINT32_MAX;
    // See LengthBits: a stretch of words for each length a key can hold, one after another.
    std::vector<std::uint64_t> lengthBits;
    std::array<std::uint32_t, KeyBytes> lengthSlots{NoSlot, NoSlot, NoSlot, NoSlot,
                                                    NoSlot, NoSlot, NoSlot, NoSlot};
    bool shortCodesHoldStar = false;
    ValueForm form;
    bool placesOnly = false;  // see BuildForm

    // Building only. The record arrays are sized ahead; the first recordCount are records.
    BuildBuffer<std::uint64_t> recordKeys;
    std::size_t recordCount = 0;
    std::vector<LongCode> recordLongCodes;  // by value offset, in file order
    bool recordsSorted = true;
};
