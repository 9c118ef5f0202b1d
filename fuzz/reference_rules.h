#pragma once
// The table rules written the plain way, for the fuzzers to hold the loaders and lookups
// against: ordered maps and loops over bytes, no packed keys or fast paths.

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// Lower-cased code -> values in file order. A std::map of std::string orders its codes
// as unsigned bytes with a prefix first: the order lookup results must have.
using ReferenceCodes = std::map<std::string, std::vector<std::string>>;

// The loaders' line rules: cut at CR and LF, drop one byte-order mark from a line, skip
// empty lines.
inline std::vector<std::string> ReferenceLines(std::string_view content) {
    std::vector<std::string> lines;
    std::string piece;
    auto flush = [&] {
        if (piece.size() >= 3 && piece.compare(0, 3, "\xEF\xBB\xBF") == 0) piece.erase(0, 3);
        if (!piece.empty()) lines.push_back(piece);
        piece.clear();
    };
    for (char byte : content) {
        if (byte == '\r' || byte == '\n') {
            flush();
        } else {
            piece += byte;
        }
    }
    flush();
    return lines;
}

struct ReferenceEntry {
    std::string key;
    std::string value;
};

// The key runs to the first blank (space or tab); the value from the next non-blank to
// the last non-blank.
inline ReferenceEntry ReferenceSplit(std::string_view line) {
    auto blank = [](char byte) { return byte == ' ' || byte == '\t'; };
    std::size_t keyEnd = 0;
    while (keyEnd < line.size() && !blank(line[keyEnd])) ++keyEnd;
    std::size_t valueStart = keyEnd;
    while (valueStart < line.size() && blank(line[valueStart])) ++valueStart;
    std::size_t valueEnd = line.size();
    while (valueEnd > valueStart && blank(line[valueEnd - 1])) --valueEnd;
    return {std::string(line.substr(0, keyEnd)),
            std::string(line.substr(valueStart, valueEnd - valueStart))};
}

inline std::string ReferenceLower(std::string_view text) {
    std::string lowered;
    for (char byte : text)
        lowered += byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte + 32) : byte;
    return lowered;
}

// The matcher step by step: '?' takes one byte, '*' any run; an equal byte is taken
// before a '*' is tried, and only the last '*' is returned to.
inline bool ReferenceMatch(std::string_view pattern, std::string_view text) {
    std::size_t i = 0;
    std::size_t j = 0;
    bool haveStar = false;
    std::size_t star = 0;
    std::size_t mark = 0;
    while (j < text.size()) {
        const bool inPattern = i < pattern.size();
        if (inPattern && (pattern[i] == '?' || pattern[i] == text[j])) {
            ++i;
            ++j;
        } else if (inPattern && pattern[i] == '*') {
            haveStar = true;
            star = i;
            mark = j;
            ++i;
        } else if (!haveStar) {
            return false;
        } else {
            i = star + 1;
            j = ++mark;
        }
    }
    while (i < pattern.size() && pattern[i] == '*') ++i;
    return i == pattern.size();
}

// A lookup: a code under two bytes or without a wildcard is looked up as it is; any other
// takes the values of every code that matches it, codes in byte order, the main table's
// before the user's.
inline std::vector<std::string> ReferenceLookup(const ReferenceCodes& main,
                                                const ReferenceCodes& user, std::string_view code) {
    const std::string query = ReferenceLower(code);
    std::vector<std::string> results;
    const bool wildcard = query.size() >= 2 && query.find_first_of("?*") != std::string::npos;
    for (const ReferenceCodes* codes : {&main, &user}) {
        if (!wildcard) {
            const auto found = codes->find(query);
            if (found != codes->end()) {
                results.insert(results.end(), found->second.begin(), found->second.end());
            }
            continue;
        }
        for (const auto& [stored, values] : *codes) {
            if (ReferenceMatch(query, stored)) {
                results.insert(results.end(), values.begin(), values.end());
            }
        }
    }
    return results;
}
