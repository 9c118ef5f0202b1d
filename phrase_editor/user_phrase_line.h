#pragma once
// The bytes one addition appends to the user-phrase file.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// `lastByte` is the file's last byte, absent for an empty file. A file whose last line has
// no line end gets CR LF first, so the new phrase starts a line of its own.
std::string BuildUserPhraseLine(std::string_view code, std::string_view phrase,
                                std::optional<char> lastByte);
