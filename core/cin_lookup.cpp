// Lookups of a typed code: exact, or with the wildcards '?' and '*'. Results are copies,
// so a caller keeps them across reloads; main-table values come before user phrases.
#include <algorithm>

#include "cin_table.h"
#include "wildcard_match.h"

namespace {

bool HoldsWildcard(std::string_view code) {
    return code.find_first_of("?*") != std::string_view::npos;
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

}  // namespace

std::vector<std::string> CinTable::Lookup(std::string_view code) const {
    const std::string query = ToLowerAscii(code);
    std::vector<std::string> results;
    auto appendValues = [&](std::uint32_t id) {
        chardefs.ForEachValue(id, [&](TextSpan value) {
            results.emplace_back(text.get() + value.offset, value.length);
        });
    };

    if (query.size() < 2 || !HoldsWildcard(query)) {
        std::uint32_t id = chardefs.Find(query);
        if (id != ChardefStore::NoCode) {
            results.reserve(chardefs.ValueCount(id));
            appendValues(id);
        }
        auto user = userPhrases.find(query);
        if (user != userPhrases.end()) {
            results.insert(results.end(), user->second.begin(), user->second.end());
        }
        return results;
    }

    const MatchFilter filter(query);
    std::vector<std::uint32_t> matched;
    const auto [first, last] = chardefs.PrefixRange(filter.prefix);
    for (std::uint32_t id = first; id < last; ++id) {
        std::string_view candidate = chardefs.Code(id);
        if (filter.MayMatch(candidate) && MatchWildcard(query, candidate)) matched.push_back(id);
    }
    // std::string_view compares bytes as unsigned values, and a prefix sorts first: the
    // order that sorted codes already have.
    if (!chardefs.CodesSorted()) {
        std::sort(matched.begin(), matched.end(), [this](std::uint32_t a, std::uint32_t b) {
            return chardefs.Code(a) < chardefs.Code(b);
        });
    }
    std::size_t total = 0;
    for (std::uint32_t id : matched) total += chardefs.ValueCount(id);
    results.reserve(total);
    for (std::uint32_t id : matched) appendValues(id);

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
