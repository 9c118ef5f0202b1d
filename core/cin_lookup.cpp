// Lookups of a typed code: exact, or with the wildcards '?' and '*'. Results are copies,
// so a caller keeps them across reloads; main-table values come before user phrases.
#include <algorithm>
#include <bit>

#include "cin_table.h"
#include "wildcard_match.h"

#if !defined(__GNUC__) && defined(_MSC_VER) && (defined(_M_X64) || defined(_M_IX86))
#include <xmmintrin.h>
#endif

namespace {

// Asks for the bytes at `address` to be brought into the cache. Unlike a read, the request
// holds up no later instruction while the bytes are on their way.
void Prefetch(const char* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#elif defined(_MSC_VER) && (defined(_M_X64) || defined(_M_IX86))
    _mm_prefetch(address, _MM_HINT_T0);
#else
    static_cast<void>(address);
#endif
}

bool HoldsWildcard(std::string_view code) {
    for (char byte : code) {
        if (byte == '?' || byte == '*') return true;
    }
    return false;
}

// Cheap tests that only skip codes the matcher would reject; WildcardMatch still decides.
// They follow from the matcher: before the first '*' there is no back-track point, so the
// bytes before the first wildcard must start the code; every pattern byte but '*' takes
// exactly one code byte, so the code is at least that long (and exactly that long
// without '*'); and the match ends by taking the last code byte with the last pattern
// byte, so a literal last pattern byte must be the code's last byte. Likewise the matcher
// passes a literal pattern byte only by taking an equal code byte, so the code holds it.
struct MatchFilter {
    std::string_view prefix;
    bool fixedLength;
    std::size_t minLength;
    char lastLiteral;       // 0 when the pattern ends in a wildcard
    std::size_t literalAt;  // position of the first literal byte, or npos
    char literal;

    explicit MatchFilter(std::string_view pattern)
        : prefix(pattern.substr(0, pattern.find_first_of("?*"))),
          fixedLength(pattern.find('*') == std::string_view::npos),
          minLength(pattern.size() -
                    static_cast<std::size_t>(std::count(pattern.begin(), pattern.end(), '*'))),
          lastLiteral(pattern.back() == '?' || pattern.back() == '*' ? '\0' : pattern.back()),
          literalAt(pattern.find_first_not_of("?*")),
          literal(literalAt == std::string_view::npos ? '\0' : pattern[literalAt]) {}

    bool MayMatch(std::string_view code) const {
        if (fixedLength ? code.size() != minLength : code.size() < minLength) return false;
        if (lastLiteral != '\0' && code.back() != lastLiteral) return false;
        if (code.substr(0, prefix.size()) != prefix) return false;
        return literalAt == std::string_view::npos || code.find(literal) != std::string_view::npos;
    }
};

// A pattern without '*' of at most seven bytes, as a mask over the packed keys: a code
// the key holds alone (no zero byte, so its length is where its bytes end) matches when
// the pattern's literal bytes agree, every byte after the pattern is zero, and the byte
// under the pattern's last is not.
struct FixedLengthMask {
    std::uint64_t mask = ChardefStore::LongFlag;
    std::uint64_t want = 0;
    unsigned lastShift = 0;

    explicit FixedLengthMask(std::string_view pattern) {
        for (std::size_t i = 0; i < ChardefStore::KeyBytes; ++i) {
            const auto shift = static_cast<unsigned>(56 - 8 * i);
            if (i < pattern.size() && pattern[i] == '?') continue;
            mask |= std::uint64_t{0xFF} << shift;
            if (i < pattern.size()) {
                want |= std::uint64_t{static_cast<unsigned char>(pattern[i])} << shift;
            }
        }
        lastShift = static_cast<unsigned>(56 - 8 * (pattern.size() - 1));
    }

    bool Matches(std::uint64_t key) const {
        return (key & mask) == want && ((key >> lastShift) & 0xFF) != 0;
    }
};

// The key bits of a prefix of at most seven bytes: every code that starts with the prefix
// has them, so the first code without them ends the prefix's range.
struct PrefixBits {
    std::uint64_t mask = 0;
    std::uint64_t want = 0;

    explicit PrefixBits(std::string_view prefix) {
        for (std::size_t i = 0; i < prefix.size() && i < ChardefStore::KeyBytes; ++i) {
            const auto shift = static_cast<unsigned>(56 - 8 * i);
            mask |= std::uint64_t{0xFF} << shift;
            want |= std::uint64_t{static_cast<unsigned char>(prefix[i])} << shift;
        }
    }
};

// Whether a code the key holds alone contains `byte`: a zero-byte test over the seven code
// bytes, whose padding never matches since such codes hold no zero byte.
bool KeyHoldsByte(std::uint64_t key, char byte) {
    const auto value = static_cast<unsigned char>(byte);
    if (value == 0) return false;
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    const std::uint64_t lanes =
        (key >> 8) | (std::uint64_t{static_cast<unsigned char>(~value)} << 56);
    const std::uint64_t x = lanes ^ (ones * value);
    return ((x - ones) & ~x & (ones << 7)) != 0;
}

// MatchFilter over a code the key holds alone, without unpacking it. A pattern made of a
// literal prefix and only wildcards after it matches such a code without a '*' byte
// (the matcher reads a '*' byte in the code as a literal) on its length alone, and the
// scan stays inside the prefix's range.
struct KeyFilter {
    const MatchFilter& filter;
    bool lengthDecides;

    // "*x*" with one literal byte: such a code matches exactly when it holds the byte.
    bool byteDecides;

    KeyFilter(const MatchFilter& matchFilter, std::string_view pattern)
        : filter(matchFilter),
          lengthDecides(pattern.find_first_not_of("?*", matchFilter.prefix.size()) ==
                        std::string_view::npos),
          byteDecides(pattern.size() == 3 && pattern[0] == '*' && pattern[2] == '*' &&
                      pattern[1] != '*' && pattern[1] != '?') {}

    enum class Verdict { No, Yes, Ask };

    Verdict Check(std::uint64_t key) const {
        const std::size_t length = ChardefStore::ShortLength(key);
        if (filter.fixedLength ? length != filter.minLength : length < filter.minLength) {
            return Verdict::No;
        }
        if (filter.lastLiteral != '\0' &&
            static_cast<char>(key >> (56 - 8 * (length - 1))) != filter.lastLiteral) {
            return Verdict::No;
        }
        if (filter.literalAt != std::string_view::npos && !KeyHoldsByte(key, filter.literal)) {
            return Verdict::No;
        }
        if ((lengthDecides || byteDecides) && !KeyHoldsByte(key, '*')) return Verdict::Yes;
        return Verdict::Ask;
    }
};

}  // namespace

std::string_view CinTable::ValueAt(std::uint32_t offset) const {
    const char* const begin = text.get() + offset;
    const char* const end = text.get() + textSize;
    const char* at = begin;
    // Eight bytes at a time, for a value is mostly a few characters long.
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t highs = ones << 7;
    auto equal = [](std::uint64_t word, char byte) {
        const std::uint64_t x = word ^ (ones * static_cast<unsigned char>(byte));
        return ~(((x & ~highs) + ~highs) | x) & highs;  // exact: no carry crosses a byte
    };
    bool found = false;
    while (!found && end - at >= 8) {
        const std::uint64_t word = LoadBigEndianWord(at);
        const std::uint64_t ends = equal(word, '\n') | equal(word, '\r');
        found = ends != 0;
        at += found ? static_cast<std::size_t>(std::countl_zero(ends)) / 8 : 8;
    }
    if (!found) {
        while (at != end && *at != '\n' && *at != '\r') ++at;
    }
    while (at[-1] == ' ' || at[-1] == '\t') --at;  // a value starts with a non-blank byte
    return std::string_view(begin, static_cast<std::size_t>(at - begin));
}

std::string_view CinTable::StoredValue(const std::uint32_t& stored) const {
    return ChardefStore::IsShortValue(stored) ? ChardefStore::ShortValue(stored) : ValueAt(stored);
}

std::vector<std::string> CinTable::Lookup(std::string_view code) const {
    const std::string query = ToLowerAscii(code);
    std::vector<std::string> results;
    auto appendValues = [&](std::uint32_t id) {
        const auto [first, last] = chardefs.Values(id);
        results.emplace_back(StoredValue(chardefs.FirstStoredValue(id)));
        for (std::uint32_t v = first + 1; v < last; ++v) {
            results.emplace_back(StoredValue(chardefs.StoredValueAt(v)));
        }
    };

    if (query.size() < 2 || !HoldsWildcard(query)) {
        std::uint32_t id = chardefs.Find(query);
        if (id != ChardefStore::NoCode) {
            const auto [first, last] = chardefs.Values(id);
            results.reserve(last - first);
            appendValues(id);
        }
        if (!userPhrases.empty()) {
            auto user = userPhrases.find(query);
            if (user != userPhrases.end()) {
                results.insert(results.end(), user->second.begin(), user->second.end());
            }
        }
        return results;
    }

    // Codes are laid out in byte order, so those with the prefix form one range and the
    // matches come out in the order results must have.
    const MatchFilter filter(query);
    std::vector<std::uint32_t> matched;
    const auto count = static_cast<std::uint32_t>(chardefs.CodeCount());
    const bool shortPrefix = filter.prefix.size() <= ChardefStore::KeyBytes;
    const PrefixBits prefixBits(filter.prefix);
    ChardefStore::CodeBuffer buffer;
    auto matchesInFull = [&](std::uint32_t id) {
        std::string_view candidate = chardefs.Code(id, buffer);
        return filter.MayMatch(candidate) && MatchWildcard(query, candidate);
    };
    std::uint32_t id = chardefs.LowerBound(filter.prefix);
    if (filter.fixedLength && query.size() <= ChardefStore::KeyBytes) {
        const FixedLengthMask fixed(query);
        for (; id < count; ++id) {
            const std::uint64_t key = chardefs.Key(id);
            if ((key & prefixBits.mask) != prefixBits.want) break;
            if (fixed.Matches(key) || ((key & ChardefStore::LongFlag) != 0 && matchesInFull(id))) {
                matched.push_back(id);
            }
        }
    } else if (shortPrefix) {
        const KeyFilter keyFilter(filter, query);
        for (; id < count; ++id) {
            const std::uint64_t key = chardefs.Key(id);
            if ((key & prefixBits.mask) != prefixBits.want) break;
            if ((key & ChardefStore::LongFlag) != 0) {
                if (matchesInFull(id)) matched.push_back(id);
                continue;
            }
            const KeyFilter::Verdict verdict = keyFilter.Check(key);
            if (verdict == KeyFilter::Verdict::Yes ||
                (verdict == KeyFilter::Verdict::Ask &&
                 MatchWildcard(query, chardefs.Code(id, buffer)))) {
                matched.push_back(id);
            }
        }
    } else {
        for (; id < count; ++id) {
            if (chardefs.Code(id, buffer).substr(0, filter.prefix.size()) != filter.prefix) break;
            if (matchesInFull(id)) matched.push_back(id);
        }
    }
    // The values not stored in place lie scattered over the text. The stored values are
    // gathered first, so that the copy can ask for a value a little ahead of the one it
    // copies, and the cache misses overlap.
    std::vector<std::uint32_t> stored;
    for (std::uint32_t m : matched) {
        const auto [first, last] = chardefs.Values(m);
        stored.insert(stored.end(), &chardefs.StoredValueAt(first),
                      &chardefs.StoredValueAt(first) + (last - first));
    }
    results.reserve(stored.size());
    constexpr std::size_t ReadAhead = 16;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (i + ReadAhead < stored.size()) {
            const std::uint32_t ahead = stored[i + ReadAhead];
            Prefetch(text.get() + (ChardefStore::IsShortValue(ahead) ? 0 : ahead));
        }
        results.emplace_back(StoredValue(stored[i]));
    }

    using UserEntry = const std::pair<const std::string, std::vector<std::string>>*;
    std::vector<UserEntry> matchedUser;
    for (const auto& entry : userPhrases) {
        if (filter.MayMatch(entry.first) && MatchWildcard(query, entry.first)) {
            matchedUser.push_back(&entry);
        }
    }
    std::sort(matchedUser.begin(), matchedUser.end(),
              [](UserEntry a, UserEntry b) { return a->first < b->first; });
    for (UserEntry entry : matchedUser) {
        results.insert(results.end(), entry->second.begin(), entry->second.end());
    }
    return results;
}
