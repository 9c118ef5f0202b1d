// Lookups of a typed code: exact, or with the wildcards '?' and '*'. Results are copies,
// so a caller keeps them across reloads; main-table values come before user phrases.
#include <algorithm>

#include "cin_table.h"

namespace {

bool HoldsWildcard(std::string_view code) {
    return code.find_first_of("?*") != std::string_view::npos;
}

// The bytes before the first wildcard must start every matching code, and a pattern
// without '*' matches only codes of its own length. Both follow from the matcher (no
// back-track point exists before the first '*'), so this only skips codes that cannot
// match; WildcardMatch still decides.
struct MatchFilter {
    std::string_view prefix;
    bool fixedLength;
    std::size_t length;

    explicit MatchFilter(std::string_view pattern)
        : prefix(pattern.substr(0, pattern.find_first_of("?*"))),
          fixedLength(pattern.find('*') == std::string_view::npos),
          length(pattern.size()) {}

    bool MayMatch(std::string_view code) const {
        if (fixedLength && code.size() != length) return false;
        return code.substr(0, prefix.size()) == prefix;
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
    // std::string_view compares bytes as unsigned values, and a prefix sorts first.
    std::vector<std::uint32_t> matched;
    for (std::size_t id = 0; id < chardefs.CodeCount(); ++id) {
        std::string_view candidate = chardefs.Code(id);
        if (filter.MayMatch(candidate) && WildcardMatch(query, candidate)) {
            matched.push_back(static_cast<std::uint32_t>(id));
        }
    }
    std::sort(matched.begin(), matched.end(), [this](std::uint32_t a, std::uint32_t b) {
        return chardefs.Code(a) < chardefs.Code(b);
    });
    for (std::uint32_t id : matched) appendValues(id);

    using UserEntry = const std::pair<const std::string, std::vector<std::string>>*;
    std::vector<UserEntry> matchedUser;
    for (const auto& entry : userPhrases) {
        if (filter.MayMatch(entry.first) && WildcardMatch(query, entry.first)) {
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
