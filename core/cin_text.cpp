// Byte-string helpers of the CIN format shared by both loaders.
#include "cin_table.h"

std::string ToLowerAscii(std::string_view text) {
    std::string lowered(text);
    for (char& byte : lowered) {
        if (byte >= 'A' && byte <= 'Z') byte = static_cast<char>(byte + ('a' - 'A'));
    }
    return lowered;
}

namespace {

bool IsBlank(char byte) { return byte == ' ' || byte == '\t'; }

}  // namespace

KeyValue SplitKeyValue(std::string_view line) {
    std::size_t a = 0;
    while (a < line.size() && !IsBlank(line[a])) ++a;
    if (a == line.size()) return {line, {}};
    std::size_t b = a;
    while (b < line.size() && IsBlank(line[b])) ++b;
    if (b == line.size()) return {line.substr(0, a), {}};
    std::size_t e = line.size() - 1;
    while (IsBlank(line[e])) --e;
    return {line.substr(0, a), line.substr(b, e - b + 1)};
}
