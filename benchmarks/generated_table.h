#pragma once
// Tables shaped like real table-input tables: codes of 1 to 5 keys over 30 keys, most of
// them 4 or 5 keys long (and one table with codes of up to 8 keys); most codes with one value and
// the short ones with dozens (up to about 90); single characters and some phrases; a few duplicate
// entries; a %keyname block and %selkey. Real tables list their entries in character order, so that
// is the default; each shape also comes sorted by code. Deterministic, so every run measures the
// same files.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace bench {

inline constexpr char Keys[] = "abcdefghijklmnopqrstuvwxyz,./;";
inline constexpr std::size_t KeyCount = 30;

struct TableShape {
    const char* name;
    std::size_t entries;
    std::size_t codes;
    double phraseShare;  // values of 2 to 4 characters; the rest are single characters
    // Of the codes longer than two keys, the share of each length from three to eight keys.
    std::array<double, 6> lengthShares;
    bool sortedByCode;
};

// About 0.8 MB, 3.8 MB and 20 MB: a table of single characters, one with phrases, and a
// large one with phrases; each in character order and sorted by code. Then a 20 MB table
// whose codes run to eight keys, past what a packed key holds.
inline const TableShape Shapes[] = {
    {"small_0.8MB_chars", 79000, 65000, 0.10, {0.09, 0.48, 0.43}, false},
    {"small_0.8MB_sorted", 79000, 65000, 0.10, {0.09, 0.48, 0.43}, true},
    {"medium_3.8MB_chars", 288000, 207000, 0.58, {0.04, 0.17, 0.79}, false},
    {"medium_3.8MB_sorted", 288000, 207000, 0.58, {0.04, 0.17, 0.79}, true},
    {"large_20MB_chars", 1520000, 1090000, 0.58, {0.02, 0.15, 0.83}, false},
    {"large_20MB_sorted", 1520000, 1090000, 0.58, {0.02, 0.15, 0.83}, true},
    {"long_codes_20MB_chars", 1400000, 1000000, 0.58, {0.02, 0.13, 0.30, 0.20, 0.15, 0.20}, false},
};

// A code length by the shape's shares: each length in turn is taken with its share of what
// is left, and the last length with a share takes the rest without a draw.
template <typename Chance>
std::size_t PickCodeLength(const TableShape& shape, Chance chance) {
    const auto& shares = shape.lengthShares;
    std::size_t last = shares.size() - 1;
    while (last > 0 && shares[last] == 0) --last;
    double rest = 1;
    for (std::size_t i = 0; i < last; ++i) {
        if (shares[i] == 0) continue;
        if (chance(shares[i] / rest)) return 3 + i;
        rest -= shares[i];
    }
    return 3 + last;
}

// One CJK character (three UTF-8 bytes) from the unified ideographs block.
inline void AppendHanzi(std::string& out, std::mt19937& random) {
    auto cp = static_cast<std::uint32_t>(0x4E00 + random() % 0x5000);
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
}

inline std::string GenerateTableText(const TableShape& shape) {
    std::mt19937 random(20261209);
    auto chance = [&random](double share) {
        return static_cast<double>(random() % 1000000) < share * 1e6;
    };

    std::vector<std::string> codes;
    std::unordered_set<std::string> seen;
    auto addCode = [&](std::string code) {
        if (seen.insert(code).second) codes.push_back(std::move(code));
    };
    for (std::size_t i = 0; i < KeyCount; ++i) addCode(std::string(1, Keys[i]));
    const std::size_t twoKeyCodes = std::min<std::size_t>(540, shape.codes / 100);
    while (codes.size() < KeyCount + twoKeyCodes) {
        addCode({Keys[random() % KeyCount], Keys[random() % KeyCount]});
    }
    while (codes.size() < shape.codes) {
        const std::size_t length = PickCodeLength(shape, chance);
        std::string code;
        for (std::size_t i = 0; i < length; ++i) code += Keys[random() % KeyCount];
        addCode(std::move(code));
    }

    // Every code gets one value; the one- and two-key codes get dozens (the busiest 90),
    // and the rest of the entries go to codes picked at random.
    std::vector<std::size_t> valueCounts(codes.size(), 1);
    std::size_t entries = codes.size();
    for (std::size_t id = 0; id < KeyCount + twoKeyCodes && entries < shape.entries; ++id) {
        const std::size_t extra =
            id == 0 ? 89 : (id < KeyCount ? 10 + random() % 50 : random() % 8);
        valueCounts[id] += extra;
        entries += extra;
    }
    while (entries < shape.entries) {
        ++valueCounts[KeyCount + twoKeyCodes + random() % (codes.size() - KeyCount - twoKeyCodes)];
        ++entries;
    }

    struct Entry {
        std::uint32_t code;
        std::string value;
    };
    std::vector<Entry> list;
    list.reserve(entries + 16);
    for (std::size_t id = 0; id < codes.size(); ++id) {
        for (std::size_t v = 0; v < valueCounts[id]; ++v) {
            std::string value;
            const std::size_t chars = chance(shape.phraseShare) ? 2 + random() % 3 : 1;
            for (std::size_t c = 0; c < chars; ++c) AppendHanzi(value, random);
            list.push_back({static_cast<std::uint32_t>(id), std::move(value)});
        }
    }
    for (std::size_t d = 0; d < 12; ++d) list.push_back(list[random() % list.size()]);

    if (shape.sortedByCode) {
        std::stable_sort(list.begin(), list.end(), [&codes](const Entry& a, const Entry& b) {
            return codes[a.code] < codes[b.code];
        });
    } else {
        std::stable_sort(list.begin(), list.end(),
                         [](const Entry& a, const Entry& b) { return a.value < b.value; });
    }

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
    for (const Entry& entry : list) {
        text += codes[entry.code];
        text += ' ';
        text += entry.value;
        text += '\n';
    }
    text += "%chardef end\n";
    return text;
}

inline const TableShape* FindShape(std::string_view name) {
    for (const TableShape& shape : Shapes) {
        if (name == shape.name) return &shape;
    }
    return nullptr;
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
