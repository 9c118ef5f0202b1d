#pragma once
// The wildcard matcher, inline for the lookup's scan over every code.

#include <cstddef>
#include <string_view>

// '?' matches one byte, '*' any run. Greedy with one back-track point; the equality test
// comes before the '*' test, so a '*' meeting a '*' byte is an ordinary byte.
inline bool MatchWildcard(std::string_view pattern, std::string_view text) {
    constexpr std::size_t none = static_cast<std::size_t>(-1);
    std::size_t i = 0;
    std::size_t j = 0;
    std::size_t star = none;
    std::size_t mark = 0;
    while (j < text.size()) {
        if (i < pattern.size() && (pattern[i] == '?' || pattern[i] == text[j])) {
            ++i;
            ++j;
        } else if (i < pattern.size() && pattern[i] == '*') {
            star = i;
            mark = j;
            ++i;
        } else if (star == none) {
            return false;
        } else {
            i = star + 1;
            ++mark;
            j = mark;
        }
    }
    while (i < pattern.size() && pattern[i] == '*') ++i;
    return i == pattern.size();
}
