#include "user_phrase_rules.h"

#include "cin_lines.h"
#include "cin_table.h"

namespace {

constexpr std::size_t MaxUserCodeBytes = 6;

}  // namespace

UserCodeKeys UserCodeKeysOf(const std::unordered_map<std::string, std::string_view>& keyNames) {
    UserCodeKeys keys{};
    keys[static_cast<unsigned char>('?')] = true;
    keys[static_cast<unsigned char>('*')] = true;
    for (const auto& entry : keyNames) {
        if (entry.first.size() == 1) keys[static_cast<unsigned char>(entry.first[0])] = true;
    }
    return keys;
}

std::optional<UserPhraseEntry> ParseUserPhraseLine(std::string_view line,
                                                   const UserCodeKeys& keys) {
    KeyValue entry = SplitCinLine(line);
    if (entry.key.empty() || entry.key.size() > MaxUserCodeBytes) return std::nullopt;
    if (entry.value.empty() || !IsValidUtf8(entry.value)) return std::nullopt;
    std::string code = ToLowerAscii(entry.key);
    for (char byte : code) {
        auto value = static_cast<unsigned char>(byte);
        if (value < 0x21 || value > 0x7E || !keys[value]) return std::nullopt;
    }
    return UserPhraseEntry{std::move(code), entry.value};
}
