#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cin_table.h"
#include "cin_table_files.h"
#include "guarded_file_read.h"
#include "test_files.h"

using cin_test::Strings;

TEST(IsValidUtf8, AcceptsOnlyShortestFormsOfScalarValues) {
    struct Case {
        std::string bytes;
        bool valid;
    };
    const Case cases[] = {
        {"", true},
        {std::string("a\0\x01\x7F", 4), true},  // NUL and control bytes are characters
        {"\xC2\x80", true},
        {"\xDF\xBF", true},
        {"\xE0\xA0\x80", true},
        {"\xE5\x8F\xA3\xE8\xAA\x9E", true},
        {"\xED\x9F\xBF", true},  // U+D7FF, just below the surrogates
        {"\xEE\x80\x80", true},  // U+E000, just above them
        {"\xF0\x90\x80\x80", true},
        {"\xF4\x8F\xBF\xBF", true},  // U+10FFFF
        {"\xC0\x80", false},         // overlong forms
        {"\xC1\xBF", false},
        {"\xE0\x80\x80", false},
        {"\xE0\x9F\xBF", false},
        {"\xF0\x8F\xBF\xBF", false},
        {"\xED\xA0\x80", false},  // a surrogate
        {"\xED\xBF\xBF", false},
        {"\xF4\x90\x80\x80", false},  // above U+10FFFF
        {"\xF5\x80\x80\x80", false},
        {"\xFF", false},
        {"\x80", false},  // a stray continuation byte
        {"a\xBF", false},
        {"\xE5\x8F", false},  // cut off at the end
        {"\xE5", false},
        {"\xE5\x8Fx", false},  // a continuation byte missing
        {"\xC3\xA4\xC3", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << testing::PrintToString(c.bytes);
    }
}

TEST(ClassifyPresence, MissingFoldersAndBadNamesMeanAbsence) {
    EXPECT_EQ(ClassifyPresence(true, {}), Presence::Present);
    EXPECT_EQ(ClassifyPresence(false, {}), Presence::Absent);
    EXPECT_EQ(ClassifyPresence(false, std::make_error_code(std::errc::no_such_file_or_directory)),
              Presence::Absent);
    EXPECT_EQ(ClassifyPresence(false, std::make_error_code(std::errc::not_a_directory)),
              Presence::Absent);
    EXPECT_EQ(ClassifyPresence(false, std::make_error_code(std::errc::invalid_argument)),
              Presence::Absent);
    EXPECT_EQ(ClassifyPresence(false, std::make_error_code(std::errc::permission_denied)),
              Presence::Unknown);
    EXPECT_EQ(ClassifyPresence(false, std::make_error_code(std::errc::io_error)),
              Presence::Unknown);
}

class UserPhrases : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(table.Load(dir.Write("main.cin",
                                         "%keyname begin\na A\nb B\nc C\nd D\n; semi\n"
                                         "%keyname end\n%chardef begin\nab table-ab\n")));
    }

    // Loads a fresh previous file, then `bytes`; returns the result of the second load.
    bool LoadOver(std::string_view bytes) {
        previous = dir.Write("previous.txt", "ab previous\n");
        EXPECT_TRUE(table.LoadUserPhrases(previous));
        file = dir.Write("user.txt", bytes);
        return table.LoadUserPhrases(file);
    }

    test_support::TempDir dir;
    CinTable table;
    std::filesystem::path previous;
    std::filesystem::path file;
};

TEST_F(UserPhrases, LineRulesDecideForTheWholeFile) {
    struct Case {
        std::string bytes;
        bool valid;
    };
    const Case cases[] = {
        {"abcdab six\n", true},
        {"abcdabc seven\n", false},  // codes hold at most 6 bytes
        {"ABC upper\n", true},       // folded before the key check
        {"a?* wild\n", true},
        {"e undefined-key\n", false},
        {"\xE5\x8F\xA3 high-code\n", false},
        {"a\x7F del\n", false},
        {"a\x01 control\n", false},
        {"; punct\n", true},
        {"# hash\n", false},  // no comments: '#' is not a key here
        {"codeonly\n", false},
        {"ab   \n", false},        // only trailing blanks: no phrase
        {" ab leading\n", false},  // empty code
        {"ab \xC0\x80\n", false},  // overlong
        {"ab \xE0\x80\x80\n", false},
        {"ab \xED\xA0\x80\n", false},  // surrogate
        {"ab \xF4\x90\x80\x80\n", false},
        {"ab x\xBF\n", false},                   // stray continuation byte
        {"ab \xE5\x8F\n", false},                // cut off at the line end
        {"ab ok\nabcdabc bad\nab ok\n", false},  // one bad line rejects all
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LoadOver(c.bytes), c.valid) << testing::PrintToString(c.bytes);
        if (!c.valid) {
            EXPECT_EQ(table.UserPath(), previous) << testing::PrintToString(c.bytes);
            EXPECT_EQ(table.UserPhraseCount(), 1u);
            EXPECT_EQ(table.Lookup("ab"), Strings({"table-ab", "previous"}));
            EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Unchanged);
        } else {
            EXPECT_EQ(table.UserPath(), file);
        }
    }
}

TEST_F(UserPhrases, StoresFoldedCodesAndPhrasesInFileOrderWithDuplicates) {
    const std::string bom = "\xEF\xBB\xBF";
    ASSERT_TRUE(
        LoadOver(bom + "AB one\r\nab\t\ttwo  words\t \r" + bom + "ab one\n\nB \xE5\x8F\xA3\n"));
    EXPECT_EQ(table.UserPhraseCount(), 4u);
    EXPECT_EQ(table.Lookup("ab"), Strings({"table-ab", "one", "two  words", "one"}));
    EXPECT_EQ(table.Lookup("b"), Strings({"\xE5\x8F\xA3"}));
}

TEST_F(UserPhrases, CodesAreCheckedAgainstTheTableLoadedAtThatMoment) {
    CinTable empty;
    auto user = dir.Write("wild.txt", "?* any\n");
    EXPECT_TRUE(empty.LoadUserPhrases(user));  // only '?' and '*' pass without a table
    EXPECT_FALSE(empty.LoadUserPhrases(dir.Write("keys.txt", "ab x\n")));
    EXPECT_EQ(empty.UserPath(), user);
}

TEST_F(UserPhrases, MissingAndEmptyFilesHoldNoPhrases) {
    ASSERT_TRUE(LoadOver(""));
    EXPECT_EQ(table.UserPhraseCount(), 0u);
    EXPECT_EQ(table.Lookup("ab"), Strings({"table-ab"}));
    EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Unchanged);

    auto missing = dir / "none" / "user.txt";  // a missing folder on the way is absence too
    EXPECT_TRUE(table.LoadUserPhrases(missing));
    EXPECT_EQ(table.UserPath(), missing);
    EXPECT_EQ(table.UserPhraseCount(), 0u);
    EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Unchanged);
}

TEST_F(UserPhrases, ChangeCheckFollowsTheFile) {
    auto user = dir / "user.txt";
    ASSERT_TRUE(table.LoadUserPhrases(user));  // missing
    EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Unchanged);

    dir.Write("user.txt", "ab one\n");  // appeared
    EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Reloaded);
    EXPECT_EQ(table.Lookup("ab"), Strings({"table-ab", "one"}));
    EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Unchanged);

    dir.Write("user.txt", "ab one\nab two\n");  // grew
    EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Reloaded);
    EXPECT_EQ(table.UserPhraseCount(), 2u);

    dir.Write("user.txt", "ab ONE\nab TWO\n");  // same size, new time
    cin_test::TouchForward(user);
    EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Reloaded);
    EXPECT_EQ(table.Lookup("ab"), Strings({"table-ab", "ONE", "TWO"}));

    dir.Write("user.txt", "ab ONE\nzz bad\n");  // invalid: old phrases stay, retried
    EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Failed);
    EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Failed);
    EXPECT_EQ(table.Lookup("ab"), Strings({"table-ab", "ONE", "TWO"}));

    std::filesystem::remove(user);  // vanished: no phrases
    EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Reloaded);
    EXPECT_EQ(table.UserPhraseCount(), 0u);
    EXPECT_EQ(table.Lookup("ab"), Strings({"table-ab"}));
    EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Unchanged);
}

TEST_F(UserPhrases, WithoutASuccessfulLoadThereIsNothingToCheck) {
    EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Failed);
    auto user = dir.Write("user.txt", "zz bad\n");
    EXPECT_FALSE(table.LoadUserPhrases(user));
    dir.Write("user.txt", "ab fixed\n");
    EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Failed);  // no stored path
    EXPECT_EQ(table.Lookup("ab"), Strings({"table-ab"}));
    EXPECT_TRUE(table.LoadUserPhrases(user));
    EXPECT_EQ(table.Lookup("ab"), Strings({"table-ab", "fixed"}));
}

TEST_F(UserPhrases, FolderIsNotAPhraseFile) {
    ASSERT_TRUE(LoadOver("ab mine\n"));
    EXPECT_FALSE(table.LoadUserPhrases(dir.Path()));
    EXPECT_EQ(table.UserPath(), file);
    EXPECT_EQ(table.Lookup("ab"), Strings({"table-ab", "mine"}));
}
