#pragma once
// Finds the codes of the main table that a wildcard pattern matches, as runs of their
// values. The codes are sorted in byte order and each code's values follow the previous
// code's, so the matches of a pattern come out as a few ranges of the value array, in the
// order results must have, and copying them needs no list of codes.

#include <cstdint>
#include <string_view>
#include <vector>

#include "chardef_store.h"

// Values [first, last) of ChardefStore::StoredValueAt.
struct ValueRange {
    std::uint32_t first;
    std::uint32_t last;
};

// Appends to `ranges` the values of every code for which MatchWildcard(pattern, code)
// holds, codes in byte order, ranges that touch merged. `pattern` is lower-cased.
void FindWildcardValues(const ChardefStore& store, std::string_view pattern,
                        std::vector<ValueRange>& ranges);
