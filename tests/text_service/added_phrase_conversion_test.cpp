// A phrase the phrase editor appends is found by a running text service at its next
// conversion: the editor's own writer adds it, then the user types its code.

#include <gtest/gtest.h>
#include <windows.h>

#include "append_user_phrase_line.h"
#include "keys/typing_harness.h"

namespace {

class AddedPhraseConversion : public keys_test::TypingTest {
  protected:
    void SetUp() override {
        TypingTest::SetUp();
        Start(test_support::SourcePath("data/ZiRevod-Ka.cin"));
    }
};

TEST_F(AddedPhraseConversion, ThePhraseAddedByTheEditorIsOfferedAtTheNextConversion) {
    const auto userFile = temp / "Mo_Input_Ka_User.txt";  // absent until the editor adds
    ASSERT_TRUE(service->table.LoadUserPhrases(userFile));

    Type("gh ");
    EXPECT_EQ(Text(), L"休");  // the table's one match commits at once

    ASSERT_TRUE(AppendUserPhraseLine(userFile, "gh", "\xE4\xBC\x91\xE6\x81\xAF"));  // 休息
    Type("gh ");
    ASSERT_EQ(service->composer.Candidates().size(), 2u);
    EXPECT_EQ(service->composer.Candidates()[1], "\xE4\xBC\x91\xE6\x81\xAF");
    EXPECT_TRUE(Press('2'));
    EXPECT_EQ(Text(), L"休休息");

    // A second addition, to a file that now ends in CR LF, is found the same way.
    ASSERT_TRUE(AppendUserPhraseLine(userFile, "gh", "\xE4\xBC\x91\xE5\x81\x87"));  // 休假
    Type("gh ");
    ASSERT_EQ(service->composer.Candidates().size(), 3u);
    EXPECT_TRUE(Press('3'));
    EXPECT_EQ(Text(), L"休休息休假");
}

}  // namespace
