// The CIN line rules: comments and headers outside the blocks, then the %keyname and
// %chardef blocks. Keywords are compared byte for byte; only a block's own end line
// closes it, so blocks never nest.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "chardef_store.h"
#include "cin_lines.h"
#include "cin_table.h"

// Sixteen bytes at a time where the processor is known to have SSE2 (every x64 one);
// eight at a time in plain integers elsewhere.
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define MOIK_HAS_SSE2 1
#else
#define MOIK_HAS_SSE2 0
#endif

namespace {

enum class Block { Outside, KeyName, Chardef };

bool Is(const KeyValue& line, std::string_view key, std::string_view value) {
    return line.key == key && line.value == value;
}

constexpr std::uint64_t Ones = 0x0101010101010101ULL;
constexpr std::uint64_t Highs = Ones << 7;

// The high bit of every byte of `word` below `limit` (at most 0x80), exactly: no carry
// crosses a byte.
std::uint64_t BytesBelow(std::uint64_t word, unsigned char limit) {
    return ~(((word & ~Highs) + Ones * (0x80U - limit)) | word) & Highs;
}

// The high bit of every byte of `word` equal to `byte`, exactly.
[[maybe_unused]] std::uint64_t BytesEqual(std::uint64_t word, unsigned char byte) {
    return BytesBelow(word ^ (Ones * byte), 1);
}

bool IsBlank(char byte) { return byte == ' ' || byte == '\t'; }

#if MOIK_HAS_SSE2
// Bit i set when bytes[i] equals `byte`, for 16 bytes.
std::uint32_t EqualBits16(const char* bytes, char byte) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    return static_cast<std::uint32_t>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(byte))));
}
#endif

// The LF bytes of the text: they bound the number of entries.
std::size_t CountLineFeeds(const char* data, std::size_t size) {
    std::size_t count = 0;
    std::size_t at = 0;
#if MOIK_HAS_SSE2
    for (; size - at >= 16; at += 16) {
        count += static_cast<std::size_t>(std::popcount(EqualBits16(data + at, '\n')));
    }
#else
    while (size - at >= 8) {
        // Per-byte counts of up to 255 words, then summed across the bytes.
        std::uint64_t perByte = 0;
        const std::size_t words = std::min<std::size_t>((size - at) / 8, 255);
        for (std::size_t i = 0; i < words; ++i, at += 8) {
            perByte += BytesEqual(LoadBigEndianWord(data + at), '\n') >> 7;
        }
        count += static_cast<std::size_t>((perByte * Ones) >> 56);
    }
#endif
    return count + static_cast<std::size_t>(std::count(data + at, data + size, '\n'));
}

// Bit i set when bytes[i] ends a line (LF, or CR too when the text holds any), for 64 bytes.
template <bool WithCr>
std::uint64_t LineEndBits(const char* bytes) {
    std::uint64_t bits = 0;
#if MOIK_HAS_SSE2
    for (unsigned i = 0; i < 4; ++i) {
        std::uint32_t ends = EqualBits16(bytes + 16 * i, '\n');
        if constexpr (WithCr) ends |= EqualBits16(bytes + 16 * i, '\r');
        bits |= std::uint64_t{ends} << (16 * i);
    }
#else
    for (unsigned i = 0; i < 8; ++i) {
        std::uint64_t word;
        std::memcpy(&word, bytes + 8 * i, sizeof word);
        if constexpr (std::endian::native == std::endian::big) {
            word = LoadBigEndianWord(bytes + 8 * i);  // the same bytes, first byte lowest
        }
        std::uint64_t ends = BytesEqual(word, '\n');
        if constexpr (WithCr) ends |= BytesEqual(word, '\r');
        // The high bit of each byte, gathered into eight bits in byte order.
        bits |= (((ends >> 7) * 0x0102040810204080ULL) >> 56) << (8 * i);
    }
#endif
    return bits;
}

// Adds the %chardef lines of the usual shape from `at` on: a code of one to seven bytes,
// blanks, a value without trailing blanks, and a line end. Empty lines are passed over.
// Returns where it stopped: at a line it leaves to the general rules (an end line, a
// byte-order mark, a long code, a missing value, trailing blanks, a control byte in the
// code), which give every line the same result, or near the text's end. The line ends are
// found 64 bytes at a time ahead of the lines, so finding the next line start waits on no
// line's own bytes; blanks, line ends and the other control bytes are all below '!', so
// one test finds where a code ends.
template <bool WithCr>
std::size_t AddUsualChardefLines(const char* data, std::size_t size, std::size_t at,
                                 bool shortValues, ChardefStore& store) {
    constexpr std::size_t Block = 64;
    constexpr std::size_t Slack = 16;  // a code's word is read from any line start in a block
    std::size_t base = at;
    if (size - base < Block + Slack) return at;
    std::uint64_t ends = LineEndBits<WithCr>(data + base);
    while (true) {
        while (ends == 0) {
            base += Block;
            if (size - base < Block + Slack) return at;
            ends = LineEndBits<WithCr>(data + base);
        }
        const std::size_t lineEnd = base + static_cast<std::size_t>(std::countr_zero(ends));
        ends &= ends - 1;
        if (lineEnd == at) {  // an empty line
            ++at;
            continue;
        }
        const char first = data[at];
        if (first == '%' || first == '\xEF' || IsBlank(first)) return at;
        const std::uint64_t word = LoadBigEndianWord(data + at);
        const std::uint64_t cuts = BytesBelow(word, '!');
        if (cuts == 0) return at;  // a code of eight bytes or more
        const std::size_t codeLength = static_cast<std::size_t>(std::countl_zero(cuts)) / 8;
        if (!IsBlank(data[at + codeLength])) return at;  // no value, or a control byte
        std::size_t valueStart = at + codeLength + 1;
        while (valueStart < lineEnd && IsBlank(data[valueStart])) ++valueStart;  // aligned columns
        if (valueStart == lineEnd || IsBlank(data[lineEnd - 1])) return at;
        const std::size_t valueLength = lineEnd - valueStart;
        const auto offset = static_cast<std::uint32_t>(valueStart);
        const std::uint32_t stored =
            shortValues && valueLength <= ChardefStore::ShortValueBytes
                ? ChardefStore::StoredShortValue(data + valueStart, valueLength, offset)
                : offset;
        store.AddShortCode(data + at, word, codeLength, offset, stored);
        at = lineEnd + 1;
    }
}

}  // namespace

void CinTable::ParseMainText() {
    // Every entry takes a line of its own: with LF line ends (CR LF included) the line ends
    // bound the entries; a file of CR ends alone grows the arrays as it goes. An entry
    // also takes at least four bytes ("a b" and a line end), which bounds a file of
    // mostly empty lines.
    const std::size_t lineEnds = CountLineFeeds(text.get(), textSize);
    chardefs.Reserve(std::min(lineEnds, textSize / 4) + 1);
    Block block = Block::Outside;
    const bool shortValues = ChardefStore::ShortValuesFit(textSize);
    auto storedValue = [&](std::string_view value, std::size_t offset) {
        const auto valueOffset = static_cast<std::uint32_t>(offset);
        return shortValues ? ChardefStore::StoredValue(value, valueOffset) : valueOffset;
    };
    auto handleLine = [&](std::string_view line) {
        if (block == Block::Outside && line.front() == '#') return;
        KeyValue entry = SplitCinLine(line);
        switch (block) {
            case Block::Outside:
                if (Is(entry, "%keyname", "begin")) {
                    block = Block::KeyName;
                } else if (Is(entry, "%chardef", "begin")) {
                    block = Block::Chardef;
                } else if (!entry.key.empty() && entry.key.front() == '%') {
                    headers.insert_or_assign(ToLowerAscii(entry.key.substr(1)), entry.value);
                }
                break;
            case Block::KeyName:
                if (Is(entry, "%keyname", "end")) {
                    block = Block::Outside;
                } else if (!entry.key.empty() && !entry.value.empty()) {
                    keyNames.insert_or_assign(ToLowerAscii(entry.key), entry.value);
                }
                break;
            case Block::Chardef:
                if (Is(entry, "%chardef", "end")) {
                    block = Block::Outside;
                } else if (!entry.key.empty() && !entry.value.empty()) {
                    const char* const start = text.get();
                    const auto offset = static_cast<std::size_t>(entry.value.data() - start);
                    chardefs.Add(entry.key, static_cast<std::uint32_t>(offset),
                                 storedValue(entry.value, offset),
                                 textSize - static_cast<std::size_t>(entry.key.data() - start));
                }
                break;
        }
    };

    // The lines as ForEachCinLine cuts them, with the usual %chardef lines (nearly all of
    // a table) read by the word-at-a-time path.
    const char* const data = text.get();
    const std::size_t size = textSize;
    auto find = [data, size](std::size_t from, char byte) {
        const void* found = std::memchr(data + from, byte, size - from);
        return found != nullptr ? static_cast<std::size_t>(static_cast<const char*>(found) - data)
                                : size;
    };
    std::size_t nextCr = size == 0 ? 0 : find(0, '\r');
    std::size_t nextLf = size == 0 ? 0 : find(0, '\n');
    std::size_t at = 0;
    while (at < size) {
        if (block == Block::Chardef) {
            if (nextCr < at) nextCr = find(at, '\r');
            at = nextCr == size ? AddUsualChardefLines<false>(data, size, at, shortValues, chardefs)
                                : AddUsualChardefLines<true>(data, size, at, shortValues, chardefs);
            if (at >= size) break;
        }
        if (nextCr < at) nextCr = find(at, '\r');
        if (nextLf < at) nextLf = find(at, '\n');
        const std::size_t lineEnd = nextCr < nextLf ? nextCr : nextLf;
        std::string_view line = WithoutByteOrderMark(std::string_view(data + at, lineEnd - at));
        if (!line.empty()) handleLine(line);
        if (lineEnd >= size) break;  // the last piece ended the text
        at = lineEnd + 1;
    }
    chardefs.FinishBuild();
}
