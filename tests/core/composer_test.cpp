#include "composer.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "cin_table.h"
#include "test_files.h"

namespace {

using Strings = std::vector<std::string>;

// Names a, b, c (c with a several-byte name) and ';'; neither wildcard nor any digit.
constexpr std::string_view BaseTable =
    "%keyname begin\n"
    "a \xE5\xB1\xB1\n"              // 山
    "b \xE7\x9F\xB3\n"              // 石
    "c \xE5\xB7\x9D\xE5\xB7\x9D\n"  // 川川
    "; ;\n"
    "%keyname end\n"
    "%chardef begin\n"
    "a \xE5\xB1\xB1\n"
    "ab \xE5\xB2\xA9\n"   // 岩: one of two
    "ab \xE5\xB7\x96\n"   // 巖
    "abc \xE5\xB4\x87\n"  // 崇: the only one
    "ba \xE7\x9F\xB3\n"
    "* \xE2\x98\x85\n"  // ★: the one-key code '*'
    "? \xEF\xBC\x9F\n"  // ？
    "%chardef end\n";

class ComposerTest : public ::testing::Test {
  protected:
    void SetUp() override { Use(BaseTable); }

    // Loads `content` as the table, with `headers` lines in front of it.
    void Use(std::string_view content, std::string_view headers = "") {
        ASSERT_TRUE(
            table.Load(temp.Write("table.cin", std::string(headers) + std::string(content))));
    }
    // Types each byte of `keys` and returns the last result.
    ComposeResult Type(std::string_view keys) {
        ComposeResult last{ComposeAction::PassThrough, {}};
        for (char key : keys) last = composer.AddKey(key);
        return last;
    }

    test_support::TempDir temp;
    CinTable table;
    Composer composer{&table};
};

void ExpectResult(const ComposeResult& result, ComposeAction action, std::string_view text = "") {
    EXPECT_EQ(result.action, action);
    EXPECT_EQ(result.text, text);
}

TEST_F(ComposerTest, AddKeyFoldsCapitalsAndShowsTheReadingThroughKeyNames) {
    ExpectResult(composer.AddKey('A'), ComposeAction::UpdateReading, "\xE5\xB1\xB1");
    EXPECT_EQ(composer.Reading(), "a");
    // A several-byte name is shown whole; no separator between keys.
    ExpectResult(composer.AddKey('C'), ComposeAction::UpdateReading,
                 "\xE5\xB1\xB1\xE5\xB7\x9D\xE5\xB7\x9D");
    EXPECT_EQ(composer.Reading(), "ac");
}

TEST_F(ComposerTest, UnnamedKeysPassThroughButWildcardsAreAlwaysAccepted) {
    Type("a");
    for (char key : {'1', 'z', ' ', '\x80', '\xE5'}) {
        ExpectResult(composer.AddKey(key), ComposeAction::PassThrough);
        EXPECT_EQ(composer.Reading(), "a") << int(key);
    }
    ExpectResult(composer.AddKey('?'), ComposeAction::UpdateReading, "\xE5\xB1\xB1?");
    ExpectResult(composer.AddKey('*'), ComposeAction::UpdateReading, "\xE5\xB1\xB1?*");
    EXPECT_EQ(composer.Reading(), "a?*");
}

TEST_F(ComposerTest, KeyWithoutANameIsShownAsItsOwnByte) {
    // '?' has no key name here; a table that names it shows the name instead.
    Type("b?");
    EXPECT_EQ(composer.ReadingText(), "\xE7\x9F\xB3?");
    Use(BaseTable, "%keyname begin\n? Q\n%keyname end\n");
    EXPECT_EQ(composer.ReadingText(), "\xE7\x9F\xB3Q");
}

// The limit is tested before the end-key rule and after the key-name test.
TEST_F(ComposerTest, SeventhKeyEmptiesTheReadingUnlessTheTableDoesNotNameIt) {
    Use(BaseTable, "%endkey ;\n");
    struct Case {
        char seventh;
        ComposeAction action;
        std::string_view readingAfter;
    } cases[] = {
        {'a', ComposeAction::Reject, ""},
        {';', ComposeAction::Reject, ""},  // an end key does not convert the full reading
        {'*', ComposeAction::Reject, ""},
        {'7', ComposeAction::PassThrough, "abcabc"},
    };
    for (const Case& c : cases) {
        composer.Reset();
        EXPECT_EQ(Type("abcabc").action, ComposeAction::UpdateReading);
        ExpectResult(composer.AddKey(c.seventh), c.action);
        EXPECT_EQ(composer.Reading(), c.readingAfter) << c.seventh;
        EXPECT_TRUE(composer.Candidates().empty());
    }
}

TEST_F(ComposerTest, KeysAreRefusedWhileCandidatesAreShown) {
    Type("ab");
    ExpectResult(composer.Convert(), ComposeAction::ShowCandidates);
    const Strings shown = composer.Candidates();
    for (char key : {'a', '1', '?'}) {
        ExpectResult(composer.AddKey(key), ComposeAction::Reject);
        EXPECT_EQ(composer.Reading(), "ab");
        EXPECT_EQ(composer.Candidates(), shown);
    }
}

// Each case types its keys into the base table under an `endkey` header.
TEST_F(ComposerTest, EndKeysConvertTheReadingThatIncludesThem) {
    struct Case {
        const char* name;
        std::string_view header;
        std::string_view keys;
        ComposeAction action;
        std::string_view reading;  // after the last key
        std::string_view text;     // committed text, or "" for other actions
    } cases[] = {
        {"no header: nothing converts", "", "abc", ComposeAction::UpdateReading, "abc", ""},
        {"letter end key", "%endkey c\n", "abc", ComposeAction::Commit, "", "\xE5\xB4\x87"},
        {"folded letter", "%endkey c\n", "abC", ComposeAction::Commit, "", "\xE5\xB4\x87"},
        {"capital in header", "%endkey C\n", "abc", ComposeAction::UpdateReading, "abc", ""},
        {"end key with matches", "%endkey b\n", "ab", ComposeAction::ShowCandidates, "ab", ""},
        {"end key without match", "%endkey b\n", "b", ComposeAction::Reject, "", ""},
        {"star starts", "%endkey *\n", "*", ComposeAction::Commit, "", "\xE2\x98\x85"},
        {"star inside", "%endkey *\n", "a*", ComposeAction::UpdateReading, "a*", ""},
        {"question starts", "%endkey ?;\n", "?", ComposeAction::Commit, "", "\xEF\xBC\x9F"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Use(BaseTable, c.header);
        composer.Reset();
        ComposeResult result = Type(c.keys);
        EXPECT_EQ(result.action, c.action);
        if (c.action == ComposeAction::Commit) {
            EXPECT_EQ(result.text, c.text);
        }
        EXPECT_EQ(composer.Reading(), c.reading);
    }
}

TEST_F(ComposerTest, ConvertCommitsOneMatchAndOffersTwoOrMore) {
    ExpectResult(composer.Convert(), ComposeAction::PassThrough);

    Type("abc");
    ExpectResult(composer.Convert(), ComposeAction::Commit, "\xE5\xB4\x87");
    EXPECT_EQ(composer.Reading(), "");
    EXPECT_TRUE(composer.Candidates().empty());

    Type("ab");
    ExpectResult(composer.Convert(), ComposeAction::ShowCandidates);
    EXPECT_EQ(composer.Reading(), "ab");
    EXPECT_EQ(composer.Candidates(), (Strings{"\xE5\xB2\xA9", "\xE5\xB7\x96"}));
    // Converting again looks the reading up again and replaces the list.
    ExpectResult(composer.Convert(), ComposeAction::ShowCandidates);
    EXPECT_EQ(composer.Candidates().size(), 2u);

    composer.Reset();
    Type("cc");
    ExpectResult(composer.Convert(), ComposeAction::Reject);
    EXPECT_EQ(composer.Reading(), "");
    EXPECT_TRUE(composer.Candidates().empty());
}

TEST_F(ComposerTest, ConvertLooksUpWildcardReadings) {
    Type("a*");
    ExpectResult(composer.Convert(), ComposeAction::ShowCandidates);
    // Codes in byte order: a, ab, abc.
    EXPECT_EQ(composer.Candidates(),
              (Strings{"\xE5\xB1\xB1", "\xE5\xB2\xA9", "\xE5\xB7\x96", "\xE5\xB4\x87"}));
    composer.Reset();
    Type("?a");
    ExpectResult(composer.Convert(), ComposeAction::Commit, "\xE7\x9F\xB3");
}

TEST_F(ComposerTest, SelectCommitsInRangeAndIgnoresTheRest) {
    Type("ab");
    composer.Convert();
    ExpectResult(composer.Select(2), ComposeAction::PassThrough);
    EXPECT_EQ(composer.Candidates().size(), 2u);
    EXPECT_EQ(composer.Reading(), "ab");
    ExpectResult(composer.Select(1), ComposeAction::Commit, "\xE5\xB7\x96");
    EXPECT_EQ(composer.Reading(), "");
    EXPECT_TRUE(composer.Candidates().empty());
    ExpectResult(composer.Select(0), ComposeAction::PassThrough);
}

TEST_F(ComposerTest, BackspaceDropsTheListAndTheLastKey) {
    ExpectResult(composer.Backspace(), ComposeAction::PassThrough);

    Type("ab");
    composer.Convert();
    ExpectResult(composer.Backspace(), ComposeAction::UpdateReading, "\xE5\xB1\xB1");
    EXPECT_TRUE(composer.Candidates().empty());
    EXPECT_EQ(composer.Reading(), "a");
    ExpectResult(composer.Backspace(), ComposeAction::EndComposition, "");
    EXPECT_EQ(composer.Reading(), "");
}

TEST_F(ComposerTest, ResetEndsTheCompositionInEveryState) {
    ExpectResult(composer.Reset(), ComposeAction::EndComposition);
    Type("a");
    ExpectResult(composer.Reset(), ComposeAction::EndComposition);
    Type("ab");
    composer.Convert();
    ExpectResult(composer.Reset(), ComposeAction::EndComposition);
    EXPECT_EQ(composer.Reading(), "");
    EXPECT_TRUE(composer.Candidates().empty());
}

// A session over the shipped table: its end key ';' is named, so it joins the reading it
// converts.
TEST(ComposerScenario, TypingConvertingAndChoosingOverTheSampleTable) {
    CinTable table;
    ASSERT_TRUE(table.Load(test_support::SourcePath("data/ZiRevod-Ka.cin")));
    Composer composer(&table);

    ExpectResult(composer.AddKey('G'), ComposeAction::UpdateReading, "\xE4\xBA\xBA");  // 人
    ExpectResult(composer.AddKey('h'), ComposeAction::UpdateReading,
                 "\xE4\xBA\xBA\xE6\x9C\xA8");                                 // 人木
    ExpectResult(composer.Convert(), ComposeAction::Commit, "\xE4\xBC\x91");  // 休

    composer.AddKey('g');
    composer.AddKey('b');
    composer.AddKey('d');
    ExpectResult(composer.Convert(), ComposeAction::ShowCandidates);
    EXPECT_EQ(composer.Candidates(), (Strings{"\xE9\xAB\x94", "\xE4\xBD\x93"}));  // 體 体
    ExpectResult(composer.AddKey('q'), ComposeAction::Reject);
    ExpectResult(composer.Select(1), ComposeAction::Commit, "\xE4\xBD\x93");

    // Backspace through a list back to an empty reading.
    composer.AddKey('x');
    ExpectResult(composer.Convert(), ComposeAction::ShowCandidates);
    EXPECT_EQ(composer.Candidates().size(), 12u);
    ExpectResult(composer.Backspace(), ComposeAction::EndComposition, "");
    ExpectResult(composer.Backspace(), ComposeAction::PassThrough);

    // The end key joins the reading and converts it at once: "q;" has one match.
    composer.AddKey('q');
    ExpectResult(composer.AddKey(';'), ComposeAction::Commit, "\xE6\x97\xA5");  // 日
    EXPECT_EQ(composer.Reading(), "");

    // An end key after a reading that no code ends with throws the reading away.
    composer.AddKey('z');
    ExpectResult(composer.AddKey(';'), ComposeAction::Reject);
    EXPECT_EQ(composer.Reading(), "");

    // Digits are the selection keys, not roots: they pass through.
    ExpectResult(composer.AddKey('1'), ComposeAction::PassThrough);

    // Six roots, then a seventh: the whole reading goes.
    for (char key : std::string_view("mokmok")) composer.AddKey(key);
    EXPECT_EQ(composer.Reading(), "mokmok");
    ExpectResult(composer.AddKey('m'), ComposeAction::Reject);
    EXPECT_EQ(composer.Reading(), "");

    composer.AddKey('m');
    composer.AddKey('o');
    composer.AddKey('k');
    ExpectResult(composer.Convert(), ComposeAction::Commit,
                 "\xE6\x82\xA0\xE7\x84\xB6\xE8\xBC\xB8\xE5\x85\xA5\xE6\xB3\x95");  // 悠然輸入法
}

}  // namespace
