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

namespace {

enum class Block { Outside, KeyName, Chardef };

bool Is(const KeyValue& line, std::string_view key, std::string_view value) {
    return line.key == key && line.value == value;
}

constexpr std::uint64_t Ones = 0x0101010101010101ULL;
constexpr std::uint64_t Highs = Ones << 7;

// The high bit of every byte of `word` equal to `byte`, exactly (no carry between bytes).
std::uint64_t BytesEqual(std::uint64_t word, unsigned char byte) {
    const std::uint64_t x = word ^ (Ones * byte);
    return ~(((x & ~Highs) + ~Highs) | x) & Highs;
}

std::uint64_t LineEnds(std::uint64_t word) {
    return BytesEqual(word, '\n') | BytesEqual(word, '\r');
}

bool IsBlank(char byte) { return byte == ' ' || byte == '\t'; }

// A %chardef line of the usual shape read a word at a time: a code of one to seven bytes,
// blanks, a value and a line end, with every word read inside the text. Any other line
// (an end line, a byte-order mark, a long code, a missing value, the text's last bytes)
// is left to the general rules, which give every line the same result.
struct FastEntry {
    std::uint64_t word;  // the eight bytes at the line start
    std::size_t codeLength;
    std::size_t valueStart;
    std::size_t lineEnd;
};

bool ReadUsualChardefLine(const char* data, std::size_t size, std::size_t at, FastEntry& out) {
    if (size - at < 8) return false;
    const char first = data[at];
    if (first == '%' || first == '\xEF' || IsBlank(first)) return false;
    const std::uint64_t word = LoadBigEndianWord(data + at);
    const std::uint64_t cuts = BytesEqual(word, ' ') | BytesEqual(word, '\t') | LineEnds(word);
    if (cuts == 0) return false;  // a code of eight bytes or more
    const auto codeLength = static_cast<std::size_t>(std::countl_zero(cuts)) / 8;
    std::size_t value = at + codeLength;
    if (!IsBlank(data[value])) return false;  // no value on this line
    while (value < size && IsBlank(data[value])) ++value;
    if (value == size || data[value] == '\n' || data[value] == '\r') return false;
    for (std::size_t scan = value;; scan += 8) {
        if (size - scan < 8) return false;
        const std::uint64_t ends = LineEnds(LoadBigEndianWord(data + scan));
        if (ends != 0) {
            out = {word, codeLength, value,
                   scan + static_cast<std::size_t>(std::countl_zero(ends)) / 8};
            return true;
        }
    }
}

}  // namespace

void CinTable::ParseMainText() {
    std::string_view content(text.get(), textSize);
    // Every entry takes a line of its own: with LF line ends (CR LF included) the line ends
    // bound the entries; a file of CR ends alone grows the arrays as it goes. An entry
    // also takes at least four bytes ("a b" and a line end), which bounds a file of
    // mostly empty lines.
    const auto lineEnds =
        static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n'));
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
    FastEntry fast{};
    while (at < size) {
        if (block == Block::Chardef) {
            if (data[at] == '\n' || data[at] == '\r') {  // an empty line
                ++at;
                continue;
            }
            if (ReadUsualChardefLine(data, size, at, fast)) {
                // Only a value of a few bytes with its blanks can be stored in place.
                std::string_view value(data + fast.valueStart, fast.lineEnd - fast.valueStart);
                std::uint32_t stored = static_cast<std::uint32_t>(fast.valueStart);
                if (value.size() <= ChardefStore::ShortValueBytes) {
                    while (IsBlank(value.back())) value.remove_suffix(1);
                    stored = storedValue(value, fast.valueStart);
                }
                chardefs.AddShortCode(data + at, fast.word, fast.codeLength,
                                      static_cast<std::uint32_t>(fast.valueStart), stored);
                at = fast.lineEnd + 1;  // the line end lies before the text's last 8 bytes
                continue;
            }
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
