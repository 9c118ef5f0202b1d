// A table whose end key is k and whose selection keys run past one page: typed-command
// text re-fed through an end key never loses a commit, and the list corners hold.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "keys/typing_harness.h"

namespace {

// Twelve entries for one code: more than a page.
std::string TwelveEntries(const std::string& code) {
    static const char* const values[] = {"一", "二", "三", "四", "五", "六",
                                         "七", "八", "九", "十", "百", "千"};
    std::string lines;
    for (const char* value : values) lines += code + " " + value + "\n";
    return lines;
}

std::string CornerTable(const std::string& mokEntries) {
    return "%ename Corners\n"
           "%selkey 1234567890ab\n"
           "%endkey k\n"
           "%keyname begin\n"
           "a 甲\nb 乙\nc 丙\nd 丁\ne 戊\nk 火\nm 月\no 目\ns 水\nt 手\nx 糸\ny 竹\n"
           "%keyname end\n"
           "%chardef begin\n" +
           mokEntries + TwelveEntries("xk") +
           "mo 悠然\n"
           "y 竹\n"
           "%chardef end\n";
}

class EndKeyCorners : public keys_test::TypingTest {
  protected:
    void StartWith(const std::string& mokEntries) {
        Start(temp.Write("corners.cin", CornerTable(mokEntries)));
    }
    bool ComposerIdle() {
        return service->composer.Reading().empty() && service->composer.Candidates().empty() &&
               service->commandBuffer.empty();
    }
};

TEST_F(EndKeyCorners, ConfirmedCommandTextCommitsItsSingleMatch) {
    StartWith("mok 悠然輸入法\n");
    Type("mok");
    EXPECT_EQ(CompositionText(), L"mok");  // captured, not converted by the end key
    EXPECT_EQ(service->commandBuffer, "mok");
    EXPECT_TRUE(Press(VK_SPACE));
    EXPECT_EQ(Text(), L"悠然輸入法");
    EXPECT_FALSE(CompositionOpen());
    EXPECT_TRUE(Document().Compositions().empty());
    EXPECT_TRUE(fake_tsf::NoAttribute(Document()));
    EXPECT_EQ(Caret(), 5);
    EXPECT_TRUE(ComposerIdle());
}

TEST_F(EndKeyCorners, ABreakingKeyAfterTheEndKeyKeepsTheCommitAndStartsAReading) {
    StartWith("mok 悠然輸入法\n");
    Type("mokx");
    EXPECT_EQ(Text(), L"悠然輸入法糸");
    EXPECT_TRUE(CompositionOpen());
    EXPECT_EQ(CompositionText(), L"糸");
    EXPECT_TRUE(AttributeOn(5, 6));
    EXPECT_EQ(Reading(), "x");

    Press(VK_ESCAPE);
    Type("mokex");  // the end key before two more letters
    EXPECT_EQ(Text(), L"悠然輸入法悠然輸入法戊糸");
    EXPECT_EQ(CompositionText(), L"戊糸");
    EXPECT_EQ(Reading(), "ex");
}

TEST_F(EndKeyCorners, ConfirmedCommandTextShowsItsListUnderItsReading) {
    StartWith(TwelveEntries("mok"));
    Type("mok");
    EXPECT_TRUE(Press(VK_RETURN));
    ASSERT_EQ(service->composer.Candidates().size(), 12u);
    EXPECT_EQ(service->candidatePage, 0u);
    EXPECT_EQ(service->candidateRow, 0u);
    EXPECT_EQ(CompositionText(), L"月目火");  // what the composer holds, through key names
    EXPECT_TRUE(AttributeOn(0, 3));
    EXPECT_TRUE(Press(VK_DOWN, true));
    EXPECT_EQ(service->candidateRow, 1u);
    EXPECT_TRUE(Press(VK_RETURN));
    EXPECT_EQ(Text(), L"二");
    EXPECT_TRUE(ComposerIdle());
}

TEST_F(EndKeyCorners, ABreakingKeyAfterAListChoosesAndContinuesAsTyped) {
    StartWith(TwelveEntries("mok"));
    Type("mokx");
    EXPECT_EQ(Text(), L"一糸");
    EXPECT_EQ(CompositionText(), L"糸");
    EXPECT_TRUE(service->composer.Candidates().empty());
    EXPECT_EQ(Reading(), "x");
}

TEST_F(EndKeyCorners, SelectionKeysPastTheFirstPageAndKeyNamesAmongThem) {
    StartWith("mok 悠然輸入法\n");
    Type("xk");
    ASSERT_EQ(service->composer.Candidates().size(), 12u);
    EXPECT_TRUE(Press('A'));  // a key name, but a selection key first: it only chooses
    EXPECT_EQ(Text(), L"百");
    EXPECT_FALSE(CompositionOpen());
    EXPECT_TRUE(ComposerIdle());

    Type("xk");
    EXPECT_TRUE(Press('B'));
    EXPECT_EQ(Text(), L"百千");

    Type("xk");
    Press(VK_SPACE);  // the second page: the eleventh selection key points past the list
    EXPECT_TRUE(Press('A'));
    EXPECT_EQ(service->composer.Candidates().size(), 12u);
    EXPECT_TRUE(Press('Y'));  // no selection key: choose the highlighted row, start "y"
    EXPECT_EQ(Text(), L"百千百竹");
    EXPECT_EQ(CompositionText(), L"竹");
}

TEST_F(EndKeyCorners, AnEndKeyAloneWithNoEntryInsertsNothing) {
    StartWith("mok 悠然輸入法\n");
    EXPECT_TRUE(Press('K'));
    EXPECT_EQ(Text(), L"");
    EXPECT_FALSE(CompositionOpen());
    EXPECT_TRUE(ComposerIdle());
}

// A page past the list has no rows: Up and Down go back to the first page.
TEST_F(EndKeyCorners, UpAndDownOnAPageWithoutRowsReturnToTheFirstPage) {
    StartWith("mok 悠然輸入法\n");
    Type("xk");
    service->candidatePage = 7;
    service->candidateRow = 3;
    EXPECT_TRUE(Press(VK_DOWN, true));
    EXPECT_EQ(service->candidatePage, 0u);
    EXPECT_EQ(service->candidateRow, 0u);
    service->candidatePage = 2;
    EXPECT_TRUE(Press(VK_UP, true));
    EXPECT_EQ(service->candidatePage, 0u);
    EXPECT_EQ(service->composer.Candidates().size(), 12u);
    EXPECT_TRUE(Press(VK_UP, true));
    EXPECT_EQ(service->candidateRow, 9u);
}

}  // namespace
