#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "cin_table.h"
#include "cin_table_files.h"
#include "test_files.h"

using cin_test::Strings;

TEST(WildcardMatch, FollowsTheGreedyMatcherWithOneBackTrackPoint) {
    struct Case {
        const char* pattern;
        const char* text;
        bool match;
    };
    const Case cases[] = {
        {"", "", true},
        {"", "a", false},
        {"a", "", false},
        {"*", "", true},
        {"*", "abc", true},
        {"***", "abc", true},
        {"?", "", false},
        {"?", "a", true},
        {"??", "a", false},
        {"a?c", "abc", true},
        {"a?c", "abcd", false},  // without '*' only texts of the pattern's length
        {"abc", "abc", true},
        {"abc", "ABC", false},  // bytes compare exactly; callers fold first
        {"a*", "a", true},
        {"a*", "abc", true},
        {"a*", "ba", false},
        {"*b", "b", true},
        {"*b", "aab", true},
        {"*b", "aba", false},
        {"a*c*e", "abcde", true},
        {"a*c*e", "abcdf", false},
        {"*a*", "bab", true},
        // A '*' in the pattern meeting a '*' in the text is an ordinary byte.
        {"a*", "a*b", false},
        {"a*", "ab*", true},
        {"*", "*a", false},
        {"*", "*", true},
        {"**", "*a", true},
        {"?", "*", true},
        {"\xE5\x8F\xA3?", "\xE5\x8F\xA3x", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WildcardMatch(c.pattern, c.text), c.match)
            << "pattern '" << c.pattern << "' text '" << c.text << "'";
    }
}

// The same entries in file order that breaks the code order (the table sorts them while
// loading) and in code order (already sorted), with a capital letter in a repeated code.
const char* const UnsortedEntries =
    "ab t-ab1\nb t-b\na t-a\nab t-ab2\nac t-ac\nabc t-abc\ncb t-cb\nba t-ba\n? t-question\n"
    "* t-star\n\xE5\x8F\xA3 t-high\na\xC3\x84 t-a-high\na\xE5 t-a-e5\n";
const char* const SortedEntries =
    "* t-star\n? t-question\na t-a\nab t-ab1\nAB t-ab2\nabc t-abc\nac t-ac\n"
    "a\xC3\x84 t-a-high\na\xE5 t-a-e5\nb t-b\nba t-ba\ncb t-cb\n\xE5\x8F\xA3 t-high\n";

class CinLookup : public testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        auto file = dir.Write("t.cin", std::string("%selkey 123\n%Empty\n"
                                                   "%keyname begin\na Ay\nb Bee\n%keyname end\n"
                                                   "%chardef begin\n") +
                                           GetParam());
        ASSERT_TRUE(table.Load(file));
        auto user = dir.Write("user.txt", "ab u-ab\nbb u-bb\nb u-b\nab t-ab1\n");
        ASSERT_TRUE(table.LoadUserPhrases(user));
    }

    test_support::TempDir dir;
    CinTable table;
};

INSTANTIATE_TEST_SUITE_P(FileOrders, CinLookup, testing::Values(UnsortedEntries, SortedEntries));

TEST_P(CinLookup, ExactAndWildcardQueries) {
    struct Case {
        const char* query;
        std::vector<std::string> results;
    };
    const Case cases[] = {
        {"ab", {"t-ab1", "t-ab2", "u-ab", "t-ab1"}},  // table first, duplicates kept
        {"AB", {"t-ab1", "t-ab2", "u-ab", "t-ab1"}},
        {"b", {"t-b", "u-b"}},
        {"\xE5\x8F\xA3", {"t-high"}},
        {"?", {"t-question"}},  // a lone wildcard is an ordinary code
        {"*", {"t-star"}},
        {"zz", {}},
        {"", {}},
        // a? : every two-byte code starting with a, in unsigned byte order; not a itself.
        {"a?", {"t-ab1", "t-ab2", "t-ac", "t-a-e5", "u-ab", "t-ab1"}},
        // a* : a first, then longer codes; 0xC3 sorts after 'c', 0xE5 after 0xC3.
        {"A*", {"t-a", "t-ab1", "t-ab2", "t-abc", "t-ac", "t-a-high", "t-a-e5", "u-ab", "t-ab1"}},
        {"*b", {"t-ab1", "t-ab2", "t-b", "t-cb", "u-ab", "t-ab1", "u-b", "u-bb"}},
        {"?b*", {"t-ab1", "t-ab2", "t-abc", "t-cb", "u-ab", "t-ab1", "u-bb"}},
        {"q*", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(table.Lookup(c.query), c.results) << "query '" << c.query << "'";
    }
}

TEST_P(CinLookup, DoubleStarReturnsEveryValueInCodeOrderThenEveryPhrase) {
    // The codes "?" and "*" come first in byte order; "*" holds a '*' and is matched as
    // an ordinary byte by the pattern's first '*', then the second '*' takes the rest.
    EXPECT_EQ(table.Lookup("**"),
              Strings({"t-star", "t-question", "t-a", "t-ab1", "t-ab2", "t-abc", "t-ac", "t-a-high",
                       "t-a-e5", "t-b", "t-ba", "t-cb", "t-high", "u-ab", "t-ab1", "u-b", "u-bb"}));
}

TEST_P(CinLookup, KeyNamesAndHeaders) {
    EXPECT_EQ(table.KeyName("a"), "Ay");
    EXPECT_EQ(table.KeyName("B"), "Bee");
    EXPECT_EQ(table.KeyName("c"), "");
    EXPECT_EQ(table.HeaderValue("SELKEY"), "123");
    EXPECT_EQ(table.HeaderValue("empty"), "");
    EXPECT_EQ(table.HeaderValue("endkey"), "");
}

TEST(CinLookupEmpty, EmptyTableFindsNothing) {
    const CinTable table;
    EXPECT_TRUE(table.Lookup("a").empty());
    EXPECT_TRUE(table.Lookup("a*").empty());
    EXPECT_EQ(table.KeyName("a"), "");
    EXPECT_EQ(table.HeaderValue("selkey"), "");
    EXPECT_EQ(table.UserPhraseCount(), 0u);
}

// Codes that do not fit the table's packed seven-byte form: longer ones, some sharing
// their first seven bytes, and codes holding a zero byte; in file order and code order.
using namespace std::string_literals;
const std::string UnsortedLongEntries =
    "abcdefgi v-i\nabcdefgh v-h1\nABCDEFG v-g\na\0b v-nul-b\nabcdefghij v-hij\n"
    "abcdefgh v-h2\na\0 v-nul\na v-a\nabcdefg\xE5 v-e5\n"s;
const std::string SortedLongEntries =
    "a v-a\na\0 v-nul\na\0b v-nul-b\nABCDEFG v-g\nabcdefgh v-h1\nabcdefgh v-h2\n"
    "abcdefghij v-hij\nabcdefgi v-i\nabcdefg\xE5 v-e5\n"s;

class CinLookupLongCodes : public testing::TestWithParam<std::string> {};

INSTANTIATE_TEST_SUITE_P(FileOrders, CinLookupLongCodes,
                         testing::Values(UnsortedLongEntries, SortedLongEntries));

TEST_P(CinLookupLongCodes, ExactAndWildcardQueriesFollowTheFullBytes) {
    test_support::TempDir dir;
    CinTable table;
    ASSERT_TRUE(table.Load(dir.Write("t.cin", "%chardef begin\n" + GetParam())));
    struct Case {
        std::string query;
        std::vector<std::string> results;
    };
    const Case cases[] = {
        {"abcdefgh", {"v-h1", "v-h2"}},
        {"ABCDEFGHIJ", {"v-hij"}},
        {"abcdefghi", {}},
        {"abcdefg", {"v-g"}},
        {"a\0"s, {"v-nul"}},
        {"a\0b"s, {"v-nul-b"}},
        {"a\0\0"s, {}},
        // Codes in unsigned byte order with a prefix first, each code's values in file order.
        {"**", {"v-a", "v-nul", "v-nul-b", "v-g", "v-h1", "v-h2", "v-hij", "v-i", "v-e5"}},
        {"abcdefg*", {"v-g", "v-h1", "v-h2", "v-hij", "v-i", "v-e5"}},
        {"abcdefg?", {"v-h1", "v-h2", "v-i", "v-e5"}},
        {"????????", {"v-h1", "v-h2", "v-i", "v-e5"}},
        {"a?", {"v-nul"}},
        {"a?b", {"v-nul-b"}},
        {"*h", {"v-h1", "v-h2"}},
        {"?*j", {"v-hij"}},
        {"abcdefgh?*", {"v-hij"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(table.Lookup(c.query), c.results) << testing::PrintToString(c.query);
    }
}

// Codes of eight bytes: the key holds them alone when their eighth byte is below 0x80,
// beside longer codes and codes it does not hold, which must still sort in between.
TEST(CinLookupLongCodes, EightByteCodesSortAroundTheCodesTheKeyCannotHold) {
    const std::string unsorted =
        "abcdefg\x80 v-80\nabcdefgZ v-z\nabcdefg\x7Fz v-7fz\nabcdefg v-7\nabcdefg\x7F v-7f\n"
        "abcdefg* v-star\nabcdefgy v-y\nabcdefg\x7F v-7f2\nabcdefg\x7E\x80 v-7e80\n"
        "abcdefg\x7E v-7e\n";
    const std::string sorted =
        "abcdefg v-7\nabcdefg* v-star\nabcdefgy v-y\nabcdefgZ v-z\nabcdefg\x7E v-7e\n"
        "abcdefg\x7E\x80 v-7e80\nabcdefg\x7F v-7f\nabcdefg\x7F v-7f2\nabcdefg\x7Fz v-7fz\n"
        "abcdefg\x80 v-80\n";
    const std::vector<std::string> all = {"v-7",    "v-star", "v-y",   "v-z",   "v-7e",
                                          "v-7e80", "v-7f",   "v-7f2", "v-7fz", "v-80"};
    const std::vector<std::string> eightBytes = {"v-star", "v-y",   "v-z", "v-7e",
                                                 "v-7f",   "v-7f2", "v-80"};
    struct Case {
        std::string query;
        std::vector<std::string> results;
    };
    const Case cases[] = {
        {"ABCDEFGZ", {"v-z"}},
        {"abcdefg\x7F", {"v-7f", "v-7f2"}},
        {"abcdefg\x7E\x80", {"v-7e80"}},
        {"abcdefg\x7E", {"v-7e"}},
        {"abcdefg\x81", {}},
        {"**", all},
        {"abcdefg*", all},
        {"abcdefg?", eightBytes},
        {"????????", eightBytes},
        {"*g?", eightBytes},
        {"?????????", {"v-7e80", "v-7fz"}},
        {"*z", {"v-z", "v-7fz"}},
        {"*\x7F", {"v-7f", "v-7f2"}},
        {"*\x80", {"v-7e80", "v-80"}},
        {"*\x7E*", {"v-7e", "v-7e80"}},
    };
    for (const std::string& entries : {unsorted, sorted}) {
        test_support::TempDir dir;
        CinTable table;
        ASSERT_TRUE(table.Load(dir.Write("t.cin", "%chardef begin\n" + entries)));
        for (const Case& c : cases) {
            EXPECT_EQ(table.Lookup(c.query), c.results) << testing::PrintToString(c.query);
        }
    }
}

// Tables of random entries against a plain reading (a std::map in byte order): codes of
// one to five keys (the usual tables), of one to nine keys (past what a key holds), and
// codes of one to ten arbitrary bytes, whose keys differ in every bit (the sort then moves
// keys and values apart).
TEST(CinLookupRandomTables, EveryCodeAndWildcardMatchAPlainReading) {
    struct Shape {
        const char* name;
        std::string alphabet;
        std::size_t maxLength;
        std::size_t missingLength;  // no code of this length
    };
    std::string everyByte;
    for (int byte = 1; byte < 256; ++byte) {
        if (byte != ' ' && byte != '\t' && byte != '\r' && byte != '\n') {
            everyByte += static_cast<char>(byte);
        }
    }
    const Shape shapes[] = {{"keys", "abcdefghijklmnopqrstuvwxyz,./;ABC", 5, 0},
                            {"keys without three", "abcdefghijklmnopqrstuvwxyz,./;ABC", 5, 3},
                            {"long keys", "abcdefghijklmnopqrstuvwxyz,./;ABC", 9, 0},
                            {"bytes", everyByte, 10, 0}};
    for (const Shape& shape : shapes) {
        std::mt19937 random(11);
        std::map<std::string, std::vector<std::string>> reference;
        std::string file = "%chardef begin\n";
        for (int entry = 0; entry < 3000; ++entry) {
            std::string code;
            const std::size_t length = 1 + random() % shape.maxLength;
            if (length == shape.missingLength) continue;
            for (std::size_t i = 0; i < length; ++i) {
                code += shape.alphabet[random() % shape.alphabet.size()];
            }
            if (code[0] == '%' || code.substr(0, 3) == "\xEF\xBB\xBF") continue;
            const std::string value = "v" + std::to_string(entry);
            file += code + " " + value + "\n";
            reference[ToLowerAscii(code)].push_back(value);
        }
        test_support::TempDir dir;
        CinTable table;
        ASSERT_TRUE(table.Load(dir.Write("t.cin", file))) << shape.name;
        for (const auto& [code, values] : reference) {
            if (code.size() < 2 || code.find_first_of("?*") == std::string::npos) {
                ASSERT_EQ(table.Lookup(code), values) << shape.name << " " << code;
            }
        }
        std::vector<std::string> patterns = {
            "**",    "a*",   "?b*",  "*c",    "??",     "???????", "*a*b",   "*a*",
            "*?",    "?*",   "??b",  "?b?d?", "a?",     "ab??",    "*b*q",   "*?b",
            "a*?c*", "*ab*", "*a?b", "?a*b?", "*a*b*c", "\xC3*",   "??\xC3", "A?c"};
        // Patterns without '*' of every length to beyond the longest code: only '?', a
        // literal at each place, and literals first and last, taken from a code of that
        // length so that some match.
        for (std::size_t length = 2; length <= shape.maxLength + 2; ++length) {
            std::string code(length, 'a');
            for (const auto& entry : reference) {
                if (entry.first.size() == length &&
                    entry.first.find_first_of("?*") == std::string::npos) {
                    code = entry.first;
                    if (random() % 4 == 0) break;
                }
            }
            patterns.push_back(std::string(length, '?'));
            for (std::size_t at = 0; at < length; ++at) {
                std::string pattern(length, '?');
                pattern[at] = code[at];
                patterns.push_back(pattern);
            }
            std::string ends(length, '?');
            ends.front() = code.front();
            ends.back() = code.back();
            patterns.push_back(ends);
        }
        for (const std::string& pattern : patterns) {
            std::vector<std::string> expected;
            for (const auto& [code, values] : reference) {
                if (WildcardMatch(ToLowerAscii(pattern), code)) {
                    expected.insert(expected.end(), values.begin(), values.end());
                }
            }
            EXPECT_EQ(table.Lookup(pattern), expected)
                << shape.name << " " << testing::PrintToString(pattern);
        }
    }
}

// Codes holding a '*' byte meet a pattern's '*' as an ordinary byte; a moved-from table is
// empty; codes of bytes 0x80 and above and codes longer than seven bytes take every path.
TEST(CinLookupWildcards, StarBytesHighBytesAndMovedTables) {
    test_support::TempDir dir;
    CinTable table;
    ASSERT_TRUE(table.Load(dir.Write("t.cin",
                                     "%chardef begin\n"
                                     "a*b v-astb\nab* v-abst\nx*q v-xstq\nbq v-bq\n"
                                     "\xC3\x84q v-high-q\n\xC3\x84\xC3\x84 v-high\n"
                                     "abcdefghq v-long-q\nbbbbbbbbbb v-long-b\n")));
    struct Case {
        const char* query;
        std::vector<std::string> results;
    };
    const Case cases[] = {
        {"a*", {"v-abst", "v-long-q"}},  // a '*' b: the pattern's '*' is spent on the '*' byte
        {"**",
         {"v-astb", "v-abst", "v-long-q", "v-long-b", "v-bq", "v-xstq", "v-high-q", "v-high"}},
        {"*q", {"v-long-q", "v-bq", "v-xstq", "v-high-q"}},
        {"*b*q", {"v-long-q", "v-bq"}},
        {"*b*", {"v-astb", "v-abst", "v-long-q", "v-long-b", "v-bq"}},
        {"?\x84*", {"v-high-q", "v-high"}},
        {"*\x84", {"v-high"}},
        {"??????????", {"v-long-b"}},
        {"?????????", {"v-long-q"}},
        {"???", {"v-astb", "v-abst", "v-xstq", "v-high-q"}},
        {"?\x84?", {"v-high-q"}},
        {"b*b", {"v-long-b"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(table.Lookup(c.query), c.results) << "query '" << c.query << "'";
    }
    CinTable moved(std::move(table));
    EXPECT_EQ(moved.Lookup("*b*q"), Strings({"v-long-q", "v-bq"}));
    EXPECT_EQ(moved.Lookup("?q"), Strings({"v-bq"}));
    EXPECT_TRUE(table.Lookup("**").empty());  // NOLINT(bugprone-use-after-move)
    EXPECT_TRUE(table.Lookup("*b*q").empty());
    EXPECT_TRUE(table.Lookup("?q").empty());
    EXPECT_TRUE(table.Lookup("??????????").empty());
}

// A table of more than half a million codes keeps each code's last byte for the scans of
// patterns ending in a literal, and its records, codes of up to ten keys of six letters,
// are sorted in runs by their first bytes; every shape of pattern still agrees with the
// matcher, `**` among them, whose values span the whole table in code order.
TEST(CinLookupWildcards, LargeTableAgreesWithThePlainReading) {
    std::mt19937 random(7);
    const std::string alphabet = "abcdq*";
    std::map<std::string, std::vector<std::string>> reference;
    std::string file = "%chardef begin\n";
    std::size_t entry = 0;
    while (reference.size() < (std::size_t{1} << 19) + 1000) {
        std::string code;
        const std::size_t length = random() % 50 == 0 ? 8 + random() % 3 : 3 + random() % 6;
        for (std::size_t i = 0; i < length; ++i) code += alphabet[random() % alphabet.size()];
        const std::string value = "v" + std::to_string(entry++);
        file += code + " " + value + "\n";
        reference[code].push_back(value);
    }
    test_support::TempDir dir;
    CinTable table;
    ASSERT_TRUE(table.Load(dir.Write("t.cin", file)));
    for (const char* pattern : {"**", "*b*q", "*q", "*d?q", "a*c*q", "???q", "????????", "???????q",
                                "a??????q", "???????*?", "??????????", "?b?*"}) {
        std::vector<std::string> expected;
        for (const auto& [code, values] : reference) {
            if (WildcardMatch(pattern, code)) {
                expected.insert(expected.end(), values.begin(), values.end());
            }
        }
        EXPECT_EQ(table.Lookup(pattern), expected) << pattern;
    }
}

// Codes are found through a table of their first four bytes, kept narrow while no group
// of its buckets spans 65,536 codes or more. Codes crowded behind one beginning, or
// behind a few neighbouring ones, in a table listed out of code order, take its wide
// form: every code, one missing past each, and a pattern are still found.
TEST(CinLookupLargeTables, CodesCrowdedBehindFewBeginningsAreFound) {
    const std::string letters = "abcdefghijklmnopq";
    struct Shape {
        const char* name;
        std::string head;  // then four letters: 17^4 = 83,521 codes
    };
    for (const Shape& shape : {Shape{"one beginning", "zzzz"}, Shape{"neighbours", "zz"}}) {
        std::vector<std::string> codes = {shape.head};
        for (int key = 0; key < 4; ++key) {
            std::vector<std::string> longer;
            for (const std::string& code : codes) {
                for (char letter : letters) longer.push_back(code + letter);
            }
            codes.swap(longer);
        }
        for (char a : letters) codes.push_back(std::string(1, a) + "x");
        std::shuffle(codes.begin(), codes.end(), std::mt19937(3));
        std::string file = "%chardef begin\n";
        for (std::size_t i = 0; i < codes.size(); ++i) {
            file += codes[i] + " v" + std::to_string(i) + "\n";
        }
        test_support::TempDir dir;
        CinTable table;
        ASSERT_TRUE(table.Load(dir.Write("t.cin", file))) << shape.name;
        for (std::size_t i = 0; i < codes.size(); ++i) {
            ASSERT_EQ(table.Lookup(codes[i]), std::vector<std::string>{"v" + std::to_string(i)})
                << shape.name << " " << codes[i];
            ASSERT_TRUE(table.Lookup(codes[i] + "a").empty()) << shape.name << " " << codes[i];
        }
        EXPECT_TRUE(table.Lookup(shape.head).empty()) << shape.name;
        EXPECT_TRUE(table.Lookup(shape.head + "r").empty()) << shape.name;
        EXPECT_EQ(table.Lookup(shape.head + "qqq?").size(), letters.size()) << shape.name;
    }
}
