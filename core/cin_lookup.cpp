// Lookups of a typed code: exact, or with the wildcards '?' and '*'. Results are copies,
// so a caller keeps them across reloads; main-table values come before user phrases.
#include <algorithm>
#include <bit>
#include <cstdint>

#include "cin_table.h"
#include "line_end_search.h"
#include "prefetch.h"
#include "wildcard_match.h"
#include "wildcard_scan.h"

namespace {

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

// The value at `begin` up to its line end, trailing blanks cut, as the parser cut it, eight
// bytes at a time.
std::string_view LineValue(const char* begin, const char* end) {
    const char* at = begin;
    auto lineEnds = [](const char* bytes) {
        const std::uint64_t word = LoadLittleEndianWord(bytes);
        return line_ends::BytesEqual(word, '\n') | line_ends::BytesEqual(word, '\r');
    };
    bool found = false;
    // Most values end within sixteen bytes: both words are tested and the end picked
    // without a branch, for whether it lies in the first or the second is random.
    if (end - at >= 16) {
        const std::uint64_t first = lineEnds(at);
        const std::uint64_t second = lineEnds(at + 8);
        if ((first | second) != 0) {
            const std::size_t inFirst = static_cast<std::size_t>(std::countr_zero(first)) / 8;
            const std::size_t inSecond = 8 + static_cast<std::size_t>(std::countr_zero(second)) / 8;
            at += first != 0 ? inFirst : inSecond;
            found = true;
        }
    }
    while (!found && end - at >= 8) {
        const std::uint64_t marks = lineEnds(at);
        found = marks != 0;
        at += found ? static_cast<std::size_t>(std::countr_zero(marks)) / 8 : 8;
    }
    if (!found) {
        while (at != end && *at != '\n' && *at != '\r') ++at;
    }
    while (at[-1] == ' ' || at[-1] == '\t') --at;  // a value starts with a non-blank byte
    return std::string_view(begin, static_cast<std::size_t>(at - begin));
}

// Where a stored value's bytes lie: in place, or in the text with the length kept or,
// when no length is kept, up to the line end.
struct FoundValue {
    const char* place;
    std::size_t length;  // 0: up to the line end
    // Whether the value is made by a fixed copy (see FixedCopyBytes), which reads past it.
    bool copiedFixed;
};

// A string of up to FixedCopyBytes bytes, the libraries' small-string room, is made from a
// copy of that fixed length, a few moves, and then cut to its own length: the copy of a
// length known only at run time is a call. The copy is written out in each loop, not in a
// function of its own, so that compilers inline it.
constexpr std::size_t FixedCopyBytes = 15;

class ValueReader {
  public:
    ValueReader(const ValueForm& valueForm, const char* textBegin, std::size_t textSize)
        : form(valueForm), text(textBegin), textEnd(textBegin + textSize) {}

    // `storedEnd` ends the array `stored` lies in: a fixed copy is taken only where that
    // array, or the text, holds enough bytes from the value's start.
    FoundValue Find(const std::uint32_t& stored, const std::uint32_t* storedEnd) const {
        const bool isShort = form.IsShort(stored);
        // Picked by masks, not a branch: in a table of characters and phrases which a value
        // is follows no pattern, and compilers turn a conditional here into a branch.
        const std::uintptr_t placeMask = std::uintptr_t{0} - std::uintptr_t{isShort};
        const std::size_t lengthMask = std::size_t{0} - std::size_t{isShort};
        const auto* place = reinterpret_cast<const char*>(
            (reinterpret_cast<std::uintptr_t>(&stored) & placeMask) |
            (reinterpret_cast<std::uintptr_t>(text + form.Offset(stored)) & ~placeMask));
        const std::size_t length =
            (ValueForm::ShortLength(stored) & lengthMask) | (form.Length(stored) & ~lengthMask);
        const auto* regionEnd = reinterpret_cast<const char*>(
            (reinterpret_cast<std::uintptr_t>(storedEnd) & placeMask) |
            (reinterpret_cast<std::uintptr_t>(textEnd) & ~placeMask));
        const bool fixed = length - 1 < FixedCopyBytes &&
                           static_cast<std::size_t>(regionEnd - place) >= FixedCopyBytes;
        return {place, length, fixed};
    }
    // A value not copied fixed.
    std::string_view Whole(const FoundValue& found) const {
        return found.length != 0 ? std::string_view(found.place, found.length)
                                 : LineValue(found.place, textEnd);
    }
    // Where a value not stored in place lies, to be asked for ahead of its copy.
    const char* Place(std::uint32_t stored) const {
        return text + (form.IsShort(stored) ? 0 : form.Offset(stored));
    }

  private:
    const ValueForm form;
    const char* const text;
    const char* const textEnd;
};

// Appends the values of `ranges` to `results`, asking for them ahead when `AskAhead`.
template <bool AskAhead>
void CopyRanges(const ChardefStore& chardefs, const std::vector<ValueRange>& ranges,
                const ValueReader& reader, std::vector<std::string>& results) {
    // A copy whose address the copies cannot reach, so the compiler keeps it in registers.
    const ValueReader value = reader;
    const std::uint32_t* const storedEnd = chardefs.StoredValuesEnd();
    constexpr std::uint32_t ReadAhead = 16;
    // Matches far apart make many short ranges: their values, and then the text of their
    // first values, are asked for some ranges ahead.
    constexpr std::size_t RangesAhead = 8;
    for (std::size_t r = 0; r < ranges.size(); ++r) {
        const ValueRange& range = ranges[r];
        if (AskAhead && r + RangesAhead < ranges.size()) {
            Prefetch(&chardefs.StoredValueAt(ranges[r + RangesAhead].first));
        }
        if (AskAhead && r + RangesAhead / 2 < ranges.size()) {
            Prefetch(value.Place(chardefs.StoredValueAt(ranges[r + RangesAhead / 2].first)));
        }
        const std::uint32_t* const stored = &chardefs.StoredValueAt(range.first);
        const std::uint32_t count = range.last - range.first;
        for (std::uint32_t v = 0; v < count; ++v) {
            if (AskAhead && v + ReadAhead < count) Prefetch(value.Place(stored[v + ReadAhead]));
            const FoundValue found = value.Find(stored[v], storedEnd);
            if (found.copiedFixed) {
                results.emplace_back(found.place, FixedCopyBytes).resize(found.length);
            } else {
                results.emplace_back(value.Whole(found));
            }
        }
    }
}

}  // namespace

std::vector<std::string> CinTable::Lookup(std::string_view code) const {
    // A typed code is short: it is lowered on the stack, and only a longer one into a
    // string of its own.
    char shortQuery[16];
    std::string longQuery;
    std::string_view query;
    bool holdsWildcard = false;
    if (code.size() <= sizeof shortQuery) {
        for (std::size_t i = 0; i < code.size(); ++i) {
            const char byte = code[i];
            holdsWildcard |= (byte == '?') | (byte == '*');
            const bool capital = static_cast<unsigned char>(byte - 'A') < 26;
            shortQuery[i] = static_cast<char>(byte + (capital ? 'a' - 'A' : 0));
        }
        query = std::string_view(shortQuery, code.size());
    } else {
        longQuery = ToLowerAscii(code);
        query = longQuery;
        holdsWildcard = HoldsWildcard(query);
    }
    std::vector<std::string> results;
    const ValueReader value(chardefs.Form(), text.get(), textSize);
    auto appendValues = [&](std::uint32_t id) {
        const auto [first, last] = chardefs.Values(id);
        // The first value is read where the table keeps it by code (FirstStoredValue).
        const std::uint32_t* stored = &chardefs.FirstStoredValue(id);
        const std::uint32_t* storedEnd = chardefs.FirstStoredValuesEnd();
        for (std::uint32_t v = first; v < last; ++v) {
            const FoundValue found = value.Find(*stored, storedEnd);
            if (found.copiedFixed) {
                results.emplace_back(found.place, FixedCopyBytes).resize(found.length);
            } else {
                results.emplace_back(value.Whole(found));
            }
            // The later values are read from the value array.
            stored = chardefs.StoredValuesBegin() + v + 1;
            storedEnd = chardefs.StoredValuesEnd();
        }
    };

    if (query.size() < 2 || !holdsWildcard) {
        std::uint32_t id = chardefs.Find(query);
        if (id != ChardefStore::NoCode) {
            const auto [first, last] = chardefs.Values(id);
            results.reserve(last - first);
            appendValues(id);
        }
        if (!userPhrases.empty()) {
            auto user = userPhrases.find(std::string(query));
            if (user != userPhrases.end()) {
                results.insert(results.end(), user->second.begin(), user->second.end());
            }
        }
        return results;
    }

    const MatchFilter filter(query);
    using UserEntry = const std::pair<const std::string, std::vector<std::string>>*;
    std::vector<UserEntry> matchedUser;
    for (const auto& entry : userPhrases) {
        if (filter.MayMatch(entry.first) && MatchWildcard(query, entry.first)) {
            matchedUser.push_back(&entry);
        }
    }
    std::sort(matchedUser.begin(), matchedUser.end(),
              [](UserEntry a, UserEntry b) { return a->first < b->first; });
    std::size_t userCount = 0;
    for (UserEntry entry : matchedUser) userCount += entry->second.size();

    // The matching codes' values as ranges of the stored values, in code order.
    std::vector<ValueRange> ranges;
    FindWildcardValues(chardefs, query, ranges);
    std::size_t count = userCount;
    for (const ValueRange& range : ranges) count += range.last - range.first;
    results.reserve(count);
    // The values not stored in place lie scattered over the text. Where it outgrows the
    // caches, the copy asks for a value a little ahead of the one it copies, so that the
    // cache misses overlap; over a smaller text the requests only cost time.
    constexpr std::size_t AskAheadFrom = std::size_t{8} << 20;
    if (textSize >= AskAheadFrom) {
        CopyRanges<true>(chardefs, ranges, value, results);
    } else {
        CopyRanges<false>(chardefs, ranges, value, results);
    }
    for (UserEntry entry : matchedUser) {
        results.insert(results.end(), entry->second.begin(), entry->second.end());
    }
    return results;
}
