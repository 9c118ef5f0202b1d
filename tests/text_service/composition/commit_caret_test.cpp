// Where the caret stands after a commit, in an application that keeps its caret before
// the text inserted at it: the service places it after its text itself, so commits read
// in the order they were typed.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "keys/typing_harness.h"

namespace {

// Two end keys that are codes of their own: each converts at once, with no composition.
const char* const EndKeyTable =
    "%ename EndKeys\n"
    "%selkey 1234567890\n"
    "%endkey kj\n"
    "%keyname begin\n"
    "h 木\nj 十\nk 火\nz 車\n"
    "%keyname end\n"
    "%chardef begin\n"
    "k 火\n"
    "j 十\n"
    "zh 中文\n"
    "%chardef end\n";

class CaretBeforeInsertedText : public keys_test::TypingTest {
  protected:
    void SetUp() override {
        TypingTest::SetUp();
        Start(temp.Write("end_keys.cin", EndKeyTable));
        Document().SetDocument(L"[]", 1);
        Document().caretBeforeInsertedText = true;
    }
};

TEST_F(CaretBeforeInsertedText, CommitsWithoutACompositionReadInTheOrderTyped) {
    EXPECT_TRUE(Press('K'));
    EXPECT_TRUE(Press('J'));
    EXPECT_FALSE(CompositionOpen());
    EXPECT_EQ(Text(), L"[火十]");
    EXPECT_EQ(Caret(), 3);
    EXPECT_EQ(Document().Selection().start, 3);

    Type("zh ");  // a commit out of a composition goes after them too
    EXPECT_TRUE(Press('K'));
    EXPECT_EQ(Text(), L"[火十中文火]");
    EXPECT_EQ(Caret(), 6);
}

TEST_F(CaretBeforeInsertedText, ACaretThatCannotBePlacedDoesNotTakeTheCommitBack) {
    Document().failures.setSelection = E_FAIL;
    EXPECT_TRUE(Press('K'));  // the text is in: the application must not type the key too
    EXPECT_EQ(Text(), L"[火]");
    EXPECT_EQ(Caret(), 1);
}

}  // namespace
