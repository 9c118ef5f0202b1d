#include "user_phrase_line.h"

std::string BuildUserPhraseLine(std::string_view code, std::string_view phrase,
                                std::optional<char> lastByte) {
    std::string line;
    line.reserve(code.size() + phrase.size() + 5);
    if (lastByte && *lastByte != '\n' && *lastByte != '\r') line += "\r\n";
    line += code;
    line += ' ';
    line += phrase;
    line += "\r\n";
    return line;
}
