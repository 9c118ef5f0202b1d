#pragma once
// Line splitting shared by the table and user-phrase loaders: the content is cut at every
// CR and every LF, so CR LF, LF and CR ends and blank lines all read the same. One UTF-8
// byte-order mark is dropped from any line, since editors may leave one at a line start.

#include <cstring>
#include <string_view>

inline std::string_view WithoutByteOrderMark(std::string_view line) {
    if (line.size() >= 3 && line[0] == '\xEF' && line[1] == '\xBB' && line[2] == '\xBF') {
        line.remove_prefix(3);
    }
    return line;
}

// Calls visit(line) for every non-empty line of `content`, byte-order mark removed.
template <typename Visit>
void ForEachCinLine(std::string_view content, Visit&& visit) {
    const char* at = content.data();
    const char* end = at + content.size();
    while (at < end) {
        auto rest = static_cast<std::size_t>(end - at);
        const char* lf = static_cast<const char*>(std::memchr(at, '\n', rest));
        const char* pieceEnd = lf != nullptr ? lf : end;
        // A CR inside the piece ends a line too (CR LF ends, or old CR-only files).
        const char* cr = static_cast<const char*>(
            std::memchr(at, '\r', static_cast<std::size_t>(pieceEnd - at)));
        if (cr != nullptr) pieceEnd = cr;
        std::string_view line =
            WithoutByteOrderMark(std::string_view(at, static_cast<std::size_t>(pieceEnd - at)));
        if (!line.empty()) visit(line);
        at = pieceEnd + 1;
    }
}
