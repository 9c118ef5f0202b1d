#pragma once
// The wildcard queries a fuzzed table is asked. Some come from the input's first bytes,
// so mutations steer them; the rest are cut from the table's own codes, so they find
// matches whatever the input: the fixed-length shapes (only '?' and literal bytes) at every
// length from one to past the longest code, lengths no code has included, and '*' shapes.

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz_patterns {

inline std::string Questions(std::size_t count) { return std::string(count, '?'); }

inline std::string WithCapitals(std::string text) {
    for (char& byte : text) {
        if (byte >= 'a' && byte <= 'z') byte = static_cast<char>(byte - 32);
    }
    return text;
}

// Queries from the input's first bytes, which hold '?' and '*' where the input does.
inline void AddHeadShapes(std::string_view input, std::set<std::string>& out) {
    const std::string head(input.substr(0, 10));
    auto at = [&](std::size_t from, std::size_t count = std::string::npos) {
        return head.substr(std::min(from, head.size()), count);
    };
    const std::string shapes[] = {at(0, 3) + "*",
                                  "*" + at(3),
                                  at(0, 2) + "?" + at(2, 1),
                                  "*" + at(0, 1) + "*" + at(1, 1),
                                  "**",
                                  "??",
                                  "?" + at(0, 2),
                                  at(0, 6) + "?",
                                  at(0, 7) + "?",
                                  at(0, 8) + "*",
                                  "????????",
                                  "*" + at(0, 1) + "*",
                                  "?" + at(0, 1) + "?" + at(1, 1) + "?",
                                  "??" + at(0, 1),
                                  "*?",
                                  "?*",
                                  at(0, 1) + "*?" + at(1, 2),
                                  "*" + at(0, 2) + "*" + at(2, 1) + "*",
                                  head};
    out.insert(std::begin(shapes), std::end(shapes));
}

// Fixed-length queries of every length from one to two past the longest code: only '?',
// a literal first byte, a literal last byte.
inline void AddLengthSweep(std::string_view first, std::string_view last, std::size_t longest,
                           std::set<std::string>& out) {
    for (std::size_t length = 1; length <= longest + 2; ++length) {
        // Past a few dozen bytes only the lengths around the longest code are asked.
        if (length > 40 && length + 2 < longest) continue;
        out.insert(Questions(length));
        if (!first.empty()) out.insert(std::string(first.substr(0, 1)) + Questions(length - 1));
        if (!last.empty())
            out.insert(Questions(length - 1) + std::string(last.substr(last.size() - 1)));
    }
}

// Queries cut from one code: '?' in place of some of its bytes (the length kept, one more
// or one less), and '*' shapes around its bytes. `mix` picks a byte and a mask.
inline void AddCodeShapes(std::string_view code, std::size_t mix, std::set<std::string>& out) {
    const std::size_t n = code.size();
    if (n == 0) return;
    const std::string c(code);
    auto masked = [&](auto isQuestion) {
        std::string pattern = c;
        for (std::size_t i = 0; i < n; ++i) {
            if (isQuestion(i)) pattern[i] = '?';
        }
        return pattern;
    };
    const std::size_t kept = mix % n;
    out.insert(masked([&](std::size_t i) { return i + 1 == n; }));
    out.insert(masked([](std::size_t i) { return i == 0; }));
    out.insert(masked([](std::size_t i) { return i % 2 == 0; }));
    out.insert(masked([](std::size_t i) { return i % 2 == 1; }));
    out.insert(masked([&](std::size_t i) { return i != kept; }));
    out.insert(masked([&](std::size_t i) { return i == kept; }));
    out.insert(masked([&](std::size_t i) { return ((mix >> (i % 16)) & 1) != 0; }));
    out.insert(WithCapitals(masked([&](std::size_t i) { return i + 1 == n; })));
    out.insert(c + "?");
    out.insert("?" + c);
    if (n >= 2) out.insert(c.substr(0, n - 2) + "?");
    out.insert(c.substr(0, std::min<std::size_t>(n, 3)) + "*");
    out.insert(c.substr(0, n - 1) + "*");
    out.insert("*" + c.substr(n - 1));
    out.insert(c.substr(0, 1) + "*" + c.substr(n - 1));
    out.insert("*" + c.substr(n / 2, 2) + "*");
}

}  // namespace fuzz_patterns

// `codes` in byte order. Every query is returned once.
inline std::vector<std::string> WildcardPatterns(const std::vector<std::string_view>& codes,
                                                 std::string_view input) {
    std::set<std::string> patterns;
    fuzz_patterns::AddHeadShapes(input, patterns);
    std::size_t mix = 0;
    for (std::size_t i = 0; i < input.size() && i < 16; ++i) {
        mix = mix * 131 + static_cast<unsigned char>(input[i]);
    }
    if (!codes.empty()) {
        std::size_t longest = 0;
        for (std::size_t i = 0; i < codes.size(); ++i) {
            if (codes[i].size() > codes[longest].size()) longest = i;
        }
        fuzz_patterns::AddLengthSweep(codes.front(), codes[mix % codes.size()],
                                      codes[longest].size(), patterns);
        // A few codes: the table's first, last and longest, and two picked by the input.
        for (std::size_t pick : {std::size_t{0}, codes.size() - 1, longest, mix % codes.size(),
                                 (mix / 7 + codes.size() / 2) % codes.size()}) {
            fuzz_patterns::AddCodeShapes(codes[pick], mix + pick, patterns);
        }
    }
    return {patterns.begin(), patterns.end()};
}
