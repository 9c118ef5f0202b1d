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
#include "line_end_search.h"

namespace {

enum class Block { Outside, KeyName, Chardef };

bool Is(const KeyValue& line, std::string_view key, std::string_view value) {
    return line.key == key && line.value == value;
}

bool IsBlank(char byte) { return byte == ' ' || byte == '\t'; }

// Adds the %chardef lines of the usual shape from `at` on: a code of one to eight bytes,
// blanks, a value without trailing blanks, and a line end. Empty lines are passed over.
// Returns where it stopped: at a line it leaves to the general rules (an end line, a
// byte-order mark, a long code, a missing value, trailing blanks, a control byte in the
// code), which give every line the same result, or near the text's end. The line ends are
// found 64 bytes at a time ahead of the lines, so finding the next line start waits on no
// line's own bytes; blanks, line ends and the other control bytes are all below '!', so
// one test finds where a code ends.
template <bool WithCr>
std::size_t AddUsualChardefLines(const char* data, std::size_t size, std::size_t at,
                                 ChardefStore& store) {
    constexpr std::size_t Block = 64;
    constexpr std::size_t Slack = 16;  // a code's word is read from any line start in a block
    std::size_t base = at;
    if (size - base < Block + Slack) return at;
    ChardefStore::UsualLineAppender records(store);
    auto stop = [&](std::size_t where) {
        records.Close(store);
        return where;
    };
    std::uint64_t ends = line_ends::LineEndBits<WithCr>(data + base);
    while (true) {
        while (ends == 0) {
            base += Block;
            if (size - base < Block + Slack) return stop(at);
            ends = line_ends::LineEndBits<WithCr>(data + base);
        }
        const std::size_t lineEnd = base + static_cast<std::size_t>(std::countr_zero(ends));
        ends &= ends - 1;
        if (lineEnd == at) {  // an empty line
            ++at;
            continue;
        }
        const char first = data[at];
        if (first == '%' || first == '\xEF' || IsBlank(first)) return stop(at);
        const std::uint64_t word = LoadBigEndianWord(data + at);
        const std::uint64_t cuts = line_ends::BytesBelow(word, '!');
        // Eight when the word holds no cut (a code of eight bytes or more).
        const std::size_t codeLength = static_cast<std::size_t>(std::countl_zero(cuts)) / 8;
        // The byte that ended the code, taken from the word already loaded when it is there;
        // both are read and one picked, for codes of eight bytes come in random order.
        const char ninth = data[at + 8];
        const auto inWord = static_cast<char>(word >> ((56 - 8 * codeLength) & 63));
        const char cut = codeLength < 8 ? inWord : ninth;
        if (!IsBlank(cut)) return stop(at);  // no value, a control byte, or a longer code
        std::size_t valueStart = at + codeLength + 1;
        while (valueStart < lineEnd && IsBlank(data[valueStart])) ++valueStart;  // aligned columns
        if (valueStart == lineEnd || IsBlank(data[lineEnd - 1])) return stop(at);
        const std::size_t valueLength = lineEnd - valueStart;
        const auto offset = static_cast<std::uint32_t>(valueStart);
        if (!records.Append(word, codeLength, data + valueStart, valueLength, offset)) {
            // Full arrays or a code its key cannot hold: the general path adds it.
            records.Close(store);
            store.Add(std::string_view(data + at, codeLength), offset,
                      store.BuildForm(std::string_view(data + valueStart, valueLength), offset),
                      size - at);
            records = ChardefStore::UsualLineAppender(store);
        }
        at = lineEnd + 1;
    }
}

}  // namespace

void CinTable::ParseMainText() {
    // Every entry takes a line of its own: with LF line ends (CR LF included) the line ends
    // bound the entries; a file of CR ends alone grows the arrays as it goes. An entry
    // also takes at least four bytes ("a b" and a line end), which bounds a file of
    // mostly empty lines.
    const std::size_t lineEnds = line_ends::CountLineFeeds(text.get(), textSize);
    chardefs.Reserve(std::min(lineEnds, textSize / 4) + 1, textSize);
    Block block = Block::Outside;
    auto storedValue = [&](std::string_view value, std::size_t offset) {
        return chardefs.BuildForm(value, static_cast<std::uint32_t>(offset));
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
            at = nextCr == size ? AddUsualChardefLines<false>(data, size, at, chardefs)
                                : AddUsualChardefLines<true>(data, size, at, chardefs);
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
    chardefs.FinishBuild(std::string_view(text.get(), textSize));
}
