// Feeds arbitrary bytes to CinTable::LoadUserPhrases through a real file and checks the
// outcome against plain reference rules, including an independent UTF-8 check, then every
// code and wildcard queries of each shape against a plain lookup. A rejected file must
// leave the previous phrases in force.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "cin_table.h"
#include "fuzz_files.h"
#include "reference_rules.h"
#include "wildcard_patterns.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// The well-formed byte sequences of the Unicode standard, range by range.
bool ReferenceUtf8(std::string_view text) {
    auto in = [](unsigned b, unsigned lo, unsigned hi) { return b >= lo && b <= hi; };
    for (std::size_t i = 0; i < text.size();) {
        auto b = [&](std::size_t k) -> unsigned {
            return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0u;
        };
        auto has = [&](std::size_t n) { return i + n <= text.size(); };
        unsigned c = b(0);
        if (c < 0x80) {
            i += 1;
            continue;
        }
        if (in(c, 0xC2, 0xDF) && has(2) && in(b(1), 0x80, 0xBF)) {
            i += 2;
            continue;
        }
        if (has(3) && in(b(2), 0x80, 0xBF) &&
            ((c == 0xE0 && in(b(1), 0xA0, 0xBF)) || (in(c, 0xE1, 0xEC) && in(b(1), 0x80, 0xBF)) ||
             (c == 0xED && in(b(1), 0x80, 0x9F)) || (in(c, 0xEE, 0xEF) && in(b(1), 0x80, 0xBF)))) {
            i += 3;
            continue;
        }
        if (has(4) && in(b(2), 0x80, 0xBF) && in(b(3), 0x80, 0xBF) &&
            ((c == 0xF0 && in(b(1), 0x90, 0xBF)) || (in(c, 0xF1, 0xF3) && in(b(1), 0x80, 0xBF)) ||
             (c == 0xF4 && in(b(1), 0x80, 0x8F)))) {
            i += 4;
            continue;
        }
        return false;
    }
    return true;
}

// Keys a..m and ';' are defined by the fuzzer's main table.
bool ReferenceCodeByte(unsigned char byte) {
    if (byte >= 'A' && byte <= 'Z') byte = static_cast<unsigned char>(byte + 32);
    return byte == '?' || byte == '*' || byte == ';' || (byte >= 'a' && byte <= 'm');
}

struct Reference {
    bool valid = true;
    ReferenceCodes phrases;
    std::uint64_t count = 0;
};

Reference ReadReference(std::string_view content) {
    Reference ref;
    for (const std::string& line : ReferenceLines(content)) {
        const auto [key, value] = ReferenceSplit(line);
        bool ok = !key.empty() && key.size() <= 6 && !value.empty() && ReferenceUtf8(value);
        for (char byte : key) ok = ok && ReferenceCodeByte(static_cast<unsigned char>(byte));
        if (!ok) {
            ref.valid = false;
            return ref;
        }
        ref.phrases[ReferenceLower(key)].push_back(value);
        ++ref.count;
    }
    return ref;
}

const char* const MainTable =
    "%keyname begin\na 1\nb 2\nc 3\nd 4\ne 5\nf 6\ng 7\nh 8\ni 9\nj 10\nk 11\nl 12\nm 13\n; 14\n"
    "%keyname end\n%chardef begin\nab TABLE\n";
const char* const PreviousPhrases = "ab previous\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto mainFile = FuzzFixedFile("main.cin", MainTable);
    static const auto previousFile = FuzzFixedFile("previous.txt", PreviousPhrases);
    std::string_view content(reinterpret_cast<const char*>(data), size);
    // The validator on its own, against the standard's ranges.
    Check(IsValidUtf8(content) == ReferenceUtf8(content));

    const auto file = FuzzScratchFile("input.txt");
    WriteFuzzFile(file, data, size);
    Reference ref = ReadReference(content);

    CinTable table;
    Check(table.Load(mainFile));
    Check(table.LoadUserPhrases(previousFile));
    bool loaded = table.LoadUserPhrases(file);
    Check(loaded == ref.valid);
    if (!loaded) {
        Check(table.UserPhraseCount() == 1);
        Check(table.UserPath() == previousFile);
        Check(table.Lookup("AB") == (std::vector<std::string>{"TABLE", "previous"}));
        return 0;
    }
    Check(table.UserPhraseCount() == ref.count);
    Check(table.ReloadUserPhrasesIfChanged() == ReloadResult::Unchanged);
    const ReferenceCodes mainCodes{{"ab", {"TABLE"}}};
    std::vector<std::string_view> codes;
    for (const auto& [code, phrases] : ref.phrases) {
        codes.push_back(code);
        Check(table.Lookup(code) == ReferenceLookup(mainCodes, ref.phrases, code));
    }
    // The table's values first, then the matching phrases in code order.
    for (const std::string& pattern : WildcardPatterns(codes, content)) {
        Check(table.Lookup(pattern) == ReferenceLookup(mainCodes, ref.phrases, pattern));
    }
    return 0;
}
