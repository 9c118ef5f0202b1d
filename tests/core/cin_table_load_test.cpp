#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "cin_table.h"
#include "cin_table_files.h"
#include "test_files.h"

using cin_test::Strings;
using cin_test::WriteAndLoad;

namespace {

// What a table answers for some codes, keys and headers, as one comparable text.
std::string Answers(const CinTable& table, std::initializer_list<const char*> codes,
                    std::initializer_list<const char*> keys = {},
                    std::initializer_list<const char*> headers = {}) {
    std::string out;
    for (const char* code : codes) {
        out += std::string("[") + code + "]";
        for (const std::string& value : table.Lookup(code)) out += " <" + value + ">";
        out += "\n";
    }
    for (const char* key : keys) out += std::string("key ") + key + "=" + table.KeyName(key) + "\n";
    for (const char* name : headers) {
        out += std::string("header ") + name + "=" + table.HeaderValue(name) + "\n";
    }
    return out;
}

// Loads bytes from a file in a fresh temp folder into `table`.
class CinTableLoadFile : public testing::Test {
  protected:
    bool LoadText(std::string_view bytes) { return table.Load(dir.Write("t.cin", bytes)); }

    // Loads the (code, value) lines, in code order when `sorted` (stably, as a table in
    // code order lists them), and checks every `step`th code and "**" against them.
    void ExpectLinesReadBack(std::vector<std::pair<std::string, std::string>> lines, bool sorted,
                             std::size_t step, const std::string& note) {
        std::map<std::string, std::vector<std::string>> reference;
        for (const auto& [code, value] : lines) reference[code].push_back(value);
        if (sorted) {
            std::stable_sort(lines.begin(), lines.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
        }
        std::string file = "%chardef begin\n";
        for (const auto& [code, value] : lines) file += code + " " + value + "\n";
        ASSERT_TRUE(LoadText(file)) << note;
        std::vector<std::string> all;
        std::size_t asked = 0;
        for (const auto& [code, values] : reference) {
            if (++asked % step == 0) {
                ASSERT_EQ(table.Lookup(code), values) << code << " " << note;
            }
            all.insert(all.end(), values.begin(), values.end());
        }
        EXPECT_EQ(table.Lookup("**"), all) << note << " " << sorted;
    }

    test_support::TempDir dir;
    CinTable table;
};

const char* const SmallTable =
    "%selkey 123\n%keyname begin\na A-root\nb B-root\n%keyname end\n"
    "%chardef begin\na one\nab two\n%chardef end\n";

}  // namespace

TEST(CinTableLoad, LineEndsAndBlankLinesAllReadTheSame) {
    const std::string lines[] = {"%selkey 123",    "%keyname begin", "a A-root", "%keyname end",
                                 "%chardef begin", "a one",          "ab two",   "ab three"};
    const char* const ends[] = {"\r\n", "\n", "\r", "\n\n\r\n", "\r\r"};
    std::string expected;
    for (const char* end : ends) {
        std::string file;
        for (const std::string& line : lines) file += line + end;
        file.pop_back();  // the last line may end without a line end
        test_support::TempDir dir;
        CinTable table;
        bool loaded = false;
        WriteAndLoad(dir, table, "t.cin", file, &loaded);
        ASSERT_TRUE(loaded) << testing::PrintToString(end);
        std::string answers = Answers(table, {"a", "ab", "A-root"}, {"a"}, {"selkey"});
        if (expected.empty()) expected = answers;
        EXPECT_EQ(answers, expected) << testing::PrintToString(end);
    }
    EXPECT_EQ(expected,
              "[a] <one>\n[ab] <two> <three>\n[A-root]\nkey a=A-root\nheader selkey=123\n");
}

TEST(CinTableLoad, ByteOrderMarkIsDroppedFromAnyLineOnce) {
    const std::string bom = "\xEF\xBB\xBF";
    struct Case {
        std::string name, file;
        const char* code;
        std::vector<std::string> values;
    };
    const Case cases[] = {
        {"at file start", bom + "%chardef begin\na x\n", "a", {"x"}},
        {"at a later line", "%chardef begin\n" + bom + "a x\n", "a", {"x"}},
        {"line of only a mark", "%chardef begin\n" + bom + "\na x\n", "a", {"x"}},
        {"two marks keep the second",
         "%chardef begin\n" + bom + bom + "a x\n",
         "\xEF\xBB\xBF"
         "a",
         {"x"}},
        {"a mark before a comment", bom + "# note\n%chardef begin\na x\n", "a", {"x"}},
    };
    for (const Case& c : cases) {
        test_support::TempDir dir;
        CinTable table;
        bool loaded = false;
        WriteAndLoad(dir, table, "t.cin", c.file, &loaded);
        ASSERT_TRUE(loaded) << c.name;
        EXPECT_EQ(table.Lookup(c.code), c.values) << c.name;
    }
}

TEST_F(CinTableLoadFile, BlockKeywordsAreExactAndBlocksDoNotNest) {
    ASSERT_TRUE(
        LoadText("# comment outside: %chardef begin\n"
                 "%KEYNAME begin\n"  // capital keyword: a header, opens nothing
                 "k ignored-outside\n"
                 "%keyname end\n"  // outside a block: the header keyname = end
                 "%keyname begin\n"
                 "%chardef begin\n"  // inside keyname: an entry for key %chardef
                 "# hash-root\n"     // inside a block '#' is a key
                 "#\n"               // no value: ignored
                 "%keyname end\n"
                 "%chardef begin\n"
                 "%keyname end\n"  // inside chardef: an entry for code %keyname
                 "# hash-value\n"
                 "%chardef end\n"
                 "%chardef begin\n"  // a block may open again and add to it
                 "# second\n"));     // and run to the end of the file
    EXPECT_EQ(Answers(table, {"k", "%keyname", "#"}, {"%chardef", "#", "k"}, {"keyname"}),
              "[k]\n[%keyname] <end>\n[#] <hash-value> <second>\n"
              "key %chardef=begin\nkey #=hash-root\nkey k=\nheader keyname=end\n");
}

TEST_F(CinTableLoadFile, CodesFoldValuesKeepFileOrderAndDuplicates) {
    ASSERT_TRUE(
        LoadText("%chardef begin\n"
                 "a first\nA second\na first\n"
                 "b   x  y  \n"
                 "novalue\n"
                 "  leading-blank\n"
                 "abcdefghij long\n"  // no length limit in the table
                 "?* wild\n"
                 "\xE5\x8F\xA3 high\n"));  // bytes of 0x80 and above are stored as is
    EXPECT_EQ(table.Lookup("a"), Strings({"first", "second", "first"}));
    EXPECT_EQ(table.Lookup("B"), Strings({"x  y"}));
    EXPECT_TRUE(table.Lookup("novalue").empty());
    EXPECT_TRUE(table.Lookup("leading-blank").empty());
    EXPECT_EQ(table.Lookup("ABCDEFGHIJ"), Strings({"long"}));
    EXPECT_EQ(table.Lookup("\xE5\x8F\xA3"), Strings({"high"}));
    // "?*" is a wildcard query; the stored code is reached through one.
    EXPECT_EQ(table.Lookup("??"), Strings({"wild"}));
}

// Short values are stored in place of their offset (up to three bytes, or four ending in a
// byte above 0x83): every length, last byte, line end, trailing blank and zero byte must
// read the same either way, first value or later ones.
TEST_F(CinTableLoadFile, ShortAndLongValuesReadTheSame) {
    using namespace std::string_literals;
    struct Case {
        std::string lines;
        std::vector<std::string> values;
    };
    // In code order, so that "**" returns the values as listed.
    const Case cases[] = {
        {"a1 x\n", {"x"}},
        {"a2 xy\r\n", {"xy"}},
        {"a3 xyz\r", {"xyz"}},
        {"a4 wxyz\n", {"wxyz"}},
        {"a5 x \n", {"x"}},
        {"a6 xyz \t\n", {"xyz"}},
        {"a7 \xE5\x8F\xA3\n", {"\xE5\x8F\xA3"}},
        {"a8 \xF0\xA0\x80\x80\n", {"\xF0\xA0\x80\x80"}},
        {"a8x \xF0\xA0\x80\x81\n", {"\xF0\xA0\x80\x81"}},
        {"a8y \xF0\xA0\x80\x83\n", {"\xF0\xA0\x80\x83"}},
        {"a8z \xF0\xA0\x80\x84\n", {"\xF0\xA0\x80\x84"}},
        {"a9 x\0y\n"s, {"x\0y"s}},
        {"b1 first\nb1 s\nb1 \0\n"s, {"first", "s", "\0"s}},
        {"b2 s\nb2 second\n", {"s", "second"}},
        {"c1 ab\x80\n", {"ab\x80"}},
        {"c2 \x80\n", {"\x80"}},
        {"c3 \xFF\xFF\xFF\xFF\n", {"\xFF\xFF\xFF\xFF"}},
        {"c4 a\x81\n", {"a\x81"}},
        {"d1\x01z v1\n", {"v1"}},
        {"d2 \t  v2\n", {"v2"}},
        {"d3abcde v3\n", {"v3"}},
        {"d4abcdef v4\n", {"v4"}},
        {"d5\tv5 \tx\n", {"v5 \tx"}},
        {"d6abcdeZ v6\n", {"v6"}},  // an eighth byte folded like the others
        {"d7abcdefg v7\n", {"v7"}},
        {"d8abcde\x7F v8\n", {"v8"}},
        {"d9abcde\x80 v9\n", {"v9"}},
        {"z q", {"q"}},  // the text's last byte
    };
    // Lines near the text's end are read by other code than the rest: each case is read
    // once among the last lines and once with many lines after it.
    for (const std::size_t paddingLines : {0, 40}) {
        std::string file = "%chardef begin\n";
        std::vector<std::string> all;
        for (const Case& c : cases) {
            if (c.lines == "z q") {
                for (std::size_t i = 0; i < paddingLines; ++i) file += "y pad\n";
                if (paddingLines > 0) all.insert(all.end(), paddingLines, "pad");
            }
            file += c.lines;
            all.insert(all.end(), c.values.begin(), c.values.end());
        }
        ASSERT_TRUE(LoadText(file));
        for (const Case& c : cases) {
            const std::string code = c.lines.substr(0, c.lines.find_first_of(" \t"));
            EXPECT_EQ(table.Lookup(code), c.values) << testing::PrintToString(code) << paddingLines;
        }
        EXPECT_EQ(table.Lookup("**"), all) << paddingLines;
    }
}

// Tables of every size sort their records with the values' places, or their values, beside
// the keys: a small table's values ride in the sort's words with their lengths in the few
// bits left, a larger one's are gathered after. Values of every length, in tables on both
// sides of that line and in file order and code order, read back whole.
TEST_F(CinTableLoadFile, ValuesOfEveryLengthReadBackAfterTheSort) {
    for (const std::size_t entries : {std::size_t{50000}, std::size_t{120000}}) {
        for (const bool sorted : {false, true}) {
            std::mt19937 random(3);
            std::vector<std::pair<std::string, std::string>> lines;
            for (std::size_t entry = 0; entry < entries; ++entry) {
                std::string code;
                for (std::size_t i = 0; i < 5; ++i)
                    code += "abcdefghijklmnopqrstuvwxyz,./;"[random() % 30];
                // Mostly one character, and every length up to 70 bytes.
                const std::size_t length = entry % 4 == 0 ? 1 + entry / 4 % 70 : 3;
                std::string value(length, 'v');
                value[0] = static_cast<char>('A' + entry % 26);
                value.back() = static_cast<char>('a' + entry % 26);
                lines.emplace_back(code, value);
            }
            ExpectLinesReadBack(std::move(lines), sorted, 5, std::to_string(entries));
        }
    }
}

// Codes whose keys differ in so many bits that keys and values are sorted side by side,
// in an odd number of passes (codes of six arbitrary bytes, more than 65,536 of them) and
// in an even one (eight bytes), in file order and in code order.
TEST_F(CinTableLoadFile, CodesOfManyDifferingBitsSortWithTheirValues) {
    for (const std::size_t codeBytes : {std::size_t{6}, std::size_t{8}}) {
        for (const bool sorted : {false, true}) {
            std::mt19937 random(5);
            std::vector<std::pair<std::string, std::string>> lines;
            for (std::size_t entry = 0; entry < 70000; ++entry) {
                std::string code;
                for (std::size_t i = 0; i < codeBytes; ++i) {
                    // Every byte value but blanks, line ends, upper-case letters (folded)
                    // and the wildcards (a '*' byte is a literal to a '*' in the pattern).
                    char byte;
                    do {
                        byte = static_cast<char>(1 + random() % 255);
                    } while (byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r' ||
                             (byte >= 'A' && byte <= 'Z') || byte == '*' || byte == '?' ||
                             (i == 0 && byte == '%') || (i == 0 && byte == '\xEF'));
                    code += byte;
                }
                lines.emplace_back(code, "v" + std::to_string(entry % 1000));
            }
            ExpectLinesReadBack(std::move(lines), sorted, 7, std::to_string(codeBytes));
        }
    }
}

TEST_F(CinTableLoadFile, HeadersAndKeyNamesFoldTheirNamesAndLaterLinesReplace) {
    ASSERT_TRUE(
        LoadText("%SelKey 123\n%selkey 456\n%empty\n%ename  Some Name \n"
                 "%keyname begin\nA first\na second\nB Bee\n%keyname end\n"
                 "%chardef begin\na x\n"));
    EXPECT_EQ(Answers(table, {}, {"a", "A", "b"}, {"SELKEY", "ename", "empty", "absent"}),
              "key a=second\nkey A=second\nkey b=Bee\n"
              "header SELKEY=456\nheader ename=Some Name\nheader empty=\nheader absent=\n");
}

TEST(CinTableLoad, FailedLoadLeavesEverythingAsItWas) {
    const std::string bom = "\xEF\xBB\xBF";
    struct Case {
        const char* name;
        const char* file;  // nullptr: the file does not exist
        std::string bytes;
    };
    const Case cases[] = {
        {"missing file", nullptr, ""},
        {"empty file", "empty.cin", ""},
        {"only marks and line ends", "bom.cin", bom + "\r\n" + bom + "\n\n"},
        {"no chardef block", "nochardef.cin", "%keyname begin\na x\n%keyname end\na b\n"},
        {"only malformed chardef lines", "malformed.cin", "%chardef begin\nnovalue\n  x\n"},
        {"only comments", "comments.cin", "# %chardef begin\n# a x\n"},
    };
    for (const Case& c : cases) {
        test_support::TempDir dir;
        CinTable table;
        bool loaded = false;
        auto good = WriteAndLoad(dir, table, "good.cin", SmallTable, &loaded);
        ASSERT_TRUE(loaded);
        auto user = dir.Write("user.txt", "ab mine\n");
        ASSERT_TRUE(table.LoadUserPhrases(user));
        const std::string before = Answers(table, {"a", "ab", "a?"}, {"a"}, {"selkey"});

        auto bad = c.file != nullptr ? dir.Write(c.file, c.bytes) : dir / "missing.cin";
        EXPECT_FALSE(table.Load(bad)) << c.name;
        EXPECT_EQ(Answers(table, {"a", "ab", "a?"}, {"a"}, {"selkey"}), before) << c.name;
        EXPECT_EQ(table.Path(), good) << c.name;
        EXPECT_EQ(table.UserPath(), user) << c.name;
        EXPECT_EQ(table.UserPhraseCount(), 1u) << c.name;
        EXPECT_EQ(table.ReloadIfChanged(), ReloadResult::Unchanged) << c.name;
    }
}

TEST(CinTableLoad, FolderIsNotATable) {
    test_support::TempDir dir;
    CinTable table;
    EXPECT_FALSE(table.Load(dir.Path()));
    EXPECT_TRUE(table.Path().empty());
    EXPECT_TRUE(table.Lookup("a").empty());
}

TEST(CinTableLoad, NewTableKeepsTheUserPhrasesEvenWhenItLacksTheirKeys) {
    test_support::TempDir dir;
    CinTable table;
    bool loaded = false;
    WriteAndLoad(dir, table, "old.cin", SmallTable, &loaded);
    ASSERT_TRUE(loaded);
    auto user = dir.Write("user.txt", "ab mine\nb bee\n");
    ASSERT_TRUE(table.LoadUserPhrases(user));

    auto other =
        WriteAndLoad(dir, table, "new.cin",
                     "%keyname begin\nz zed\n%keyname end\n%chardef begin\nz zz\n", &loaded);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(table.Path(), other);
    EXPECT_EQ(table.Lookup("ab"), Strings({"mine"}));
    EXPECT_EQ(table.Lookup("b"), Strings({"bee"}));
    EXPECT_EQ(table.KeyName("a"), "");
    EXPECT_EQ(table.UserPhraseCount(), 2u);
    EXPECT_EQ(table.UserPath(), user);
    EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Unchanged);
}

TEST(CinTableLoad, MovingTheTableKeepsItsValuesValid) {
    test_support::TempDir dir;
    // Codes out of order, so the table sorts them while loading.
    auto file = dir.Write("t.cin",
                          "%selkey 123\n%keyname begin\na A-root\nb B-root\n%keyname end\n"
                          "%chardef begin\nab two\na one\n");
    CinTable source;
    ASSERT_TRUE(source.Load(file));
    CinTable moved(std::move(source));
    EXPECT_TRUE(source.Lookup("a").empty());  // NOLINT(bugprone-use-after-move): stays usable
    EXPECT_EQ(Answers(moved, {"a", "ab"}, {"b"}, {"selkey"}),
              "[a] <one>\n[ab] <two>\nkey b=B-root\nheader selkey=123\n");

    CinTable target;
    ASSERT_TRUE(target.Load(dir.Write("other.cin", "%chardef begin\nz zz\n")));
    target = std::move(moved);
    EXPECT_EQ(Answers(target, {"a", "ab", "z"}, {"b"}, {"selkey"}),
              "[a] <one>\n[ab] <two>\n[z]\nkey b=B-root\nheader selkey=123\n");
    EXPECT_EQ(target.Path(), file);
}

TEST(CinTableLoad, SampleTableLoads) {
    CinTable table;
    ASSERT_TRUE(table.Load(test_support::SourcePath("data/ZiRevod-Ka.cin")));
    EXPECT_FALSE(table.HeaderValue("selkey").empty());
    EXPECT_FALSE(table.KeyName("a").empty());
    EXPECT_FALSE(table.Lookup("a").empty());
}

TEST(CinTableReload, FollowsTheFileAndKeepsTheOldTableOnFailure) {
    test_support::TempDir dir;
    CinTable table;
    EXPECT_EQ(table.ReloadIfChanged(), ReloadResult::Failed);  // nothing loaded yet

    bool loaded = false;
    auto file = WriteAndLoad(dir, table, "t.cin", "%chardef begin\na one\n", &loaded);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(table.ReloadIfChanged(), ReloadResult::Unchanged);

    dir.Write("t.cin", "%chardef begin\na changed\n");  // a different size
    EXPECT_EQ(table.ReloadIfChanged(), ReloadResult::Reloaded);
    EXPECT_EQ(table.Lookup("a"), Strings({"changed"}));
    EXPECT_EQ(table.ReloadIfChanged(), ReloadResult::Unchanged);

    dir.Write("t.cin", "%chardef begin\na CHANGED\n");  // same size, new time
    cin_test::TouchForward(file);
    EXPECT_EQ(table.ReloadIfChanged(), ReloadResult::Reloaded);
    EXPECT_EQ(table.Lookup("a"), Strings({"CHANGED"}));

    cin_test::TouchForward(file);  // only touched: read again all the same
    EXPECT_EQ(table.ReloadIfChanged(), ReloadResult::Reloaded);

    dir.Write("t.cin", "%chardef begin\nbroken\n");
    EXPECT_EQ(table.ReloadIfChanged(), ReloadResult::Failed);
    EXPECT_EQ(table.ReloadIfChanged(), ReloadResult::Failed);  // retried every time
    EXPECT_EQ(table.Lookup("a"), Strings({"CHANGED"}));

    std::filesystem::remove(file);
    EXPECT_EQ(table.ReloadIfChanged(), ReloadResult::Failed);
    EXPECT_EQ(table.Lookup("a"), Strings({"CHANGED"}));
    EXPECT_EQ(table.Path(), file);

    dir.Write("t.cin", "%chardef begin\na back\n");
    EXPECT_EQ(table.ReloadIfChanged(), ReloadResult::Reloaded);
    EXPECT_EQ(table.Lookup("a"), Strings({"back"}));
}
