#pragma once
// The rules one user-phrase line must meet, as plain functions of the line and the keys
// the main table defines.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

// Which bytes may appear in a user code: '?', '*' and every one-byte %keyname key.
using UserCodeKeys = std::array<bool, 256>;

UserCodeKeys UserCodeKeysOf(const std::unordered_map<std::string, std::string_view>& keyNames);

struct UserPhraseEntry {
    std::string code;         // lower-cased
    std::string_view phrase;  // a view into the line
};

// Code of 1 to 6 bytes, a non-empty valid UTF-8 phrase, and every code byte (lower-cased)
// in 0x21..0x7E and allowed by `keys`; tested in that order. Empty when any rule fails.
std::optional<UserPhraseEntry> ParseUserPhraseLine(std::string_view line, const UserCodeKeys& keys);
