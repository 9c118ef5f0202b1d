// A name holding a NUL character names no file. The system would read it only up to the
// NUL, so each case keeps a real file at that shorter name: reaching it would be the fault.
#include <gtest/gtest.h>

#include <filesystem>

#include "cin_table.h"
#include "cin_table_files.h"
#include "guarded_file_read.h"
#include "install_path_rules.h"
#include "test_files.h"

namespace {

namespace fs = std::filesystem;
using cin_test::Strings;

// `file` followed by a NUL and `tail` ("" leaves the NUL last).
fs::path WithNulAfter(const fs::path& file, const char* tail) {
    fs::path::string_type name = file.native();
    name.push_back(fs::path::value_type{});
    name += fs::path(tail).native();
    return fs::path(name);
}

class NulInFileName : public testing::Test {
  protected:
    void SetUp() override {
        mainFile = dir.Write("main.cin",
                             "%keyname begin\na A\nb B\n%keyname end\n%chardef begin\nab main\n");
        userFile = dir.Write("user.txt", "ab mine\n");
        ASSERT_TRUE(table.Load(mainFile));
    }

    test_support::TempDir dir;
    fs::path mainFile;
    fs::path userFile;
    CinTable table;
};

TEST_F(NulInFileName, QueriesTreatTheNameAsInvalid) {
    for (const char* tail : {"", ".old", "x/y"}) {
        SCOPED_TRACE(tail);
        const fs::path name = WithNulAfter(userFile, tail);
        EXPECT_TRUE(HoldsNulCharacter(name));
        EXPECT_EQ(QueryPresence(name), Presence::Absent);
        EXPECT_FALSE(QueryFileStamp(name));
        EXPECT_FALSE(ReadFileGuarded(name, UINT64_MAX));
        EXPECT_FALSE(FileExists(name));
    }
    EXPECT_FALSE(HoldsNulCharacter(userFile));
    EXPECT_EQ(QueryPresence(userFile), Presence::Present);
}

// The main table: failure, the old table kept.
TEST_F(NulInFileName, MainTableLoadFailsAndKeepsTheOldTable) {
    const fs::path other = dir.Write("other.cin", "%chardef begin\nab other\n");
    EXPECT_FALSE(table.Load(WithNulAfter(other, "")));
    EXPECT_FALSE(table.Load(WithNulAfter(other, ".bak")));
    EXPECT_EQ(table.Path(), mainFile);
    EXPECT_EQ(table.Lookup("ab"), Strings({"main"}));
}

// The user-phrase file: a name that names no file is an absent file, which holds no
// phrases; the file before the NUL is never read.
TEST_F(NulInFileName, UserPhraseFileIsAbsent) {
    ASSERT_TRUE(table.LoadUserPhrases(userFile));
    ASSERT_EQ(table.Lookup("ab"), Strings({"main", "mine"}));

    const fs::path name = WithNulAfter(userFile, "");
    EXPECT_TRUE(table.LoadUserPhrases(name));
    EXPECT_EQ(table.UserPhraseCount(), 0u);
    EXPECT_EQ(table.Lookup("ab"), Strings({"main"}));
    EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Unchanged);
}

}  // namespace
