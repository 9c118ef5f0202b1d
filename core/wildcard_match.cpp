#include "wildcard_match.h"

#include "cin_table.h"

bool WildcardMatch(std::string_view pattern, std::string_view text) {
    return MatchWildcard(pattern, text);
}
