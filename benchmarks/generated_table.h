#pragma once
// A large table shaped like a real table-input table: about 200,000 distinct codes of 1 to
// 5 keys over 30 keys, about 290,000 entries (most codes with one value, short codes with
// dozens), about 4 MB, sorted by code. Deterministic, so every run measures the same file.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace bench {

inline constexpr char Keys[] = "abcdefghijklmnopqrstuvwxyz,./;";
inline constexpr std::size_t KeyCount = 30;

// One CJK character (three UTF-8 bytes) from the unified ideographs block.
inline void AppendHanzi(std::string& out, std::mt19937& random) {
    auto cp = static_cast<std::uint32_t>(0x4E00 + random() % 0x5000);
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
}

inline std::string GenerateTableText() {
    std::mt19937 random(20261209);
    std::set<std::string> codes;
    auto randomCode = [&](std::size_t length) {
        std::string code;
        for (std::size_t i = 0; i < length; ++i) code += Keys[random() % KeyCount];
        return code;
    };
    for (std::size_t i = 0; i < KeyCount; ++i) codes.insert(std::string(1, Keys[i]));
    while (codes.size() < 900) codes.insert(randomCode(2));
    while (codes.size() < 20000) codes.insert(randomCode(3));
    while (codes.size() < 90000) codes.insert(randomCode(4));
    while (codes.size() < 200000) codes.insert(randomCode(5));

    std::string text =
        "# generated benchmark table\n%gen_inp\n%ename Bench\n%cname 測試\n%selkey 1234567890\n"
        "%endkey ;\n%keyname begin\n";
    for (std::size_t i = 0; i < KeyCount; ++i) {
        text += Keys[i];
        text += ' ';
        AppendHanzi(text, random);
        text += '\n';
    }
    text += "%keyname end\n%chardef begin\n";
    for (const std::string& code : codes) {
        std::size_t count = code.size() <= 2 ? 20 + random() % 40 : (random() % 10 < 3 ? 2 : 1);
        for (std::size_t v = 0; v < count; ++v) {
            text += code;
            text += ' ';
            std::size_t chars = random() % 10 < 6 ? 1 : 2 + random() % 4;
            for (std::size_t c = 0; c < chars; ++c) AppendHanzi(text, random);
            text += '\n';
        }
    }
    text += "%chardef end\n";
    return text;
}

// 10,000 user-phrase lines with codes of the table's keys.
inline std::string GenerateUserPhrases() {
    std::mt19937 random(7);
    std::string text;
    for (int line = 0; line < 10000; ++line) {
        std::size_t length = 1 + random() % 5;
        for (std::size_t i = 0; i < length; ++i) text += Keys[random() % 26];
        text += ' ';
        std::size_t chars = 2 + random() % 4;
        for (std::size_t c = 0; c < chars; ++c) AppendHanzi(text, random);
        text += "\r\n";
    }
    return text;
}

inline void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace bench
