// Byte-string helpers of the CIN format shared by both loaders.
#include "cin_lines.h"
#include "cin_table.h"

std::string ToLowerAscii(std::string_view text) {
    std::string lowered(text);
    for (char& byte : lowered) {
        if (byte >= 'A' && byte <= 'Z') byte = static_cast<char>(byte + ('a' - 'A'));
    }
    return lowered;
}

KeyValue SplitKeyValue(std::string_view line) { return SplitCinLine(line); }
