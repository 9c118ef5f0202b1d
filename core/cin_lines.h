#pragma once
// Line splitting shared by the table and user-phrase loaders: the content is cut at every
// CR and every LF, so CR LF, LF and CR ends and blank lines all read the same. One UTF-8
// byte-order mark is dropped from any line, since editors may leave one at a line start.

#include <cstring>
#include <string_view>

#include "cin_table.h"

// SplitKeyValue, inline for the loaders' per-line loops.
inline KeyValue SplitCinLine(std::string_view line) {
    auto isBlank = [](char byte) { return byte == ' ' || byte == '\t'; };
    std::size_t a = 0;
    while (a < line.size() && !isBlank(line[a])) ++a;
    if (a == line.size()) return {line, {}};
    std::size_t b = a;
    while (b < line.size() && isBlank(line[b])) ++b;
    if (b == line.size()) return {line.substr(0, a), {}};
    std::size_t e = line.size() - 1;
    while (isBlank(line[e])) --e;
    return {line.substr(0, a), line.substr(b, e - b + 1)};
}

inline std::string_view WithoutByteOrderMark(std::string_view line) {
    if (line.size() >= 3 && line[0] == '\xEF' && line[1] == '\xBB' && line[2] == '\xBF') {
        line.remove_prefix(3);
    }
    return line;
}

// Calls visit(line) for every non-empty line of `content`, byte-order mark removed. Every
// position stays within the content or exactly at its end.
template <typename Visit>
void ForEachCinLine(std::string_view content, Visit&& visit) {
    const std::size_t size = content.size();
    if (size == 0) return;
    const char* const data = content.data();
    // The next CR and the next LF at or after `at`, each searched again only once passed,
    // so a file without CR is searched for it once.
    auto find = [data, size](std::size_t from, char byte) {
        const void* found = std::memchr(data + from, byte, size - from);
        return found != nullptr ? static_cast<std::size_t>(static_cast<const char*>(found) - data)
                                : size;
    };
    std::size_t nextCr = find(0, '\r');
    std::size_t nextLf = find(0, '\n');
    std::size_t at = 0;
    while (true) {
        if (nextCr < at) nextCr = find(at, '\r');
        if (nextLf < at) nextLf = find(at, '\n');
        const std::size_t lineEnd = nextCr < nextLf ? nextCr : nextLf;
        std::string_view line = WithoutByteOrderMark(std::string_view(data + at, lineEnd - at));
        if (!line.empty()) visit(line);
        if (lineEnd >= size - 1) return;  // the last piece ends the content, or a line end does
        at = lineEnd + 1;
    }
}
