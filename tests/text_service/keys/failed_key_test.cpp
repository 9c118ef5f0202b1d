// A key whose document step fails: the application types what the service does not eat,
// so the composer and the command buffer must keep nothing the document does not show,
// and a key whose text did reach the document must not be typed a second time.

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "keys/typing_harness.h"

namespace {

class FailedKeyTyping : public keys_test::TypingTest {
  protected:
    void SetUp() override {
        TypingTest::SetUp();
        Start(test_support::SourcePath("data/ZiRevod-Ka.cin"));
    }
};

TEST_F(FailedKeyTyping, AKeyTheDocumentRefusedIsTheApplicationsAlone) {
    Document().refuseComposition = true;
    EXPECT_FALSE(Press('Z'));
    EXPECT_EQ(Text(), L"z");  // the application typed it
    EXPECT_TRUE(Reading().empty());

    Document().refuseComposition = false;
    EXPECT_FALSE(Press(VK_SPACE));  // nothing pending: the application's space
    EXPECT_EQ(Text(), L"z ");
    EXPECT_TRUE(Press('H'));
    EXPECT_EQ(Text(), L"z 木");
    EXPECT_EQ(Reading(), "h");
    EXPECT_TRUE(AttributeOn(2, 3));
}

TEST_F(FailedKeyTyping, ADocumentThatRefusesEveryCompositionGetsTheLettersTyped) {
    Document().offerContextComposition = false;
    Type("zh");
    EXPECT_FALSE(Press(VK_SPACE));
    EXPECT_EQ(Text(), L"zh ");
    EXPECT_TRUE(Reading().empty());
    EXPECT_FALSE(service->composition);
}

// Each failing call in turn, with a reading (or a typed command) shown before the key.
TEST_F(FailedKeyTyping, EachFailingCallLeavesTheServiceHoldingWhatTheDocumentShows) {
    using Switches = fake_tsf::FailureSwitches;
    struct Case {
        const char* name;
        const char* before;  // typed first
        HRESULT Switches::*failing;
        WPARAM key;
        bool eaten;
        const wchar_t* text;
        const char* reading;
        const char* command;
        bool compositionHeld;
    };
    const Case cases[] = {
        // The reading cannot be extended: the application types the letter after it.
        {"GetRange, new key", "zh", &Switches::compositionGetRange, 'Q', false, L"車木q", "zh", "",
         true},
        {"SetText, new key", "zh", &Switches::rangeSetText, 'Q', false, L"車木q", "zh", "", true},
        {"SetText, typed command", "mos", &Switches::rangeSetText, 'E', false, L"mose", "", "mos",
         true},
        {"SetText, Escape", "zh", &Switches::rangeSetText, VK_ESCAPE, false, L"車木", "zh", "",
         true},
        // The conversion cannot be written: the reading stays, the space is typed.
        {"SetText, commit", "zh", &Switches::rangeSetText, VK_SPACE, false, L"車木 ", "zh", "",
         true},
        {"GetRange, commit", "zh", &Switches::compositionGetRange, VK_SPACE, false, L"車木 ", "zh",
         "", true},
        // The conversion is written and only what follows it fails: the key is done.
        {"SetSelection, commit", "zh", &Switches::setSelection, VK_SPACE, true, L"中文", "", "",
         false},
        {"EndComposition, commit", "zh", &Switches::endComposition, VK_SPACE, true, L"中文", "", "",
         false},
        // The attribute's failures are no failure of the key.
        {"GetProperty, new key", "zh", &Switches::getProperty, 'Q', true, L"車木日", "zhq", "",
         true},
        {"SetValue, new key", "zh", &Switches::propertySetValue, 'Q', true, L"車木日", "zhq", "",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Document().SetDocument(L"", 0);
        Type(c.before);
        Document().failures.*c.failing = E_FAIL;
        EXPECT_EQ(Press(c.key), c.eaten ? TRUE : FALSE);
        Document().failures = fake_tsf::FailureSwitches{};
        EXPECT_EQ(Text(), c.text);
        EXPECT_EQ(Reading(), c.reading);
        EXPECT_EQ(service->commandBuffer, c.command);
        EXPECT_EQ(static_cast<bool>(service->composition), c.compositionHeld);
        // What the service holds is what the next key works on.
        Press(VK_ESCAPE);
        while (!Document().Compositions().empty()) Document().TerminateComposition();
        service->commandBuffer.clear();
    }
}

TEST_F(FailedKeyTyping, AChoiceWhoseNextReadingIsRefusedLeavesTheLetterToTheApplication) {
    Type("h ");
    ASSERT_EQ(service->composer.Candidates().size(), 3u);
    Document().refuseComposition = true;
    EXPECT_FALSE(Press('Z'));  // chooses the highlighted row, then cannot show "z"
    EXPECT_EQ(Text(), L"木z");
    EXPECT_TRUE(Reading().empty());
    EXPECT_TRUE(service->composer.Candidates().empty());
}

TEST_F(FailedKeyTyping, AFailedListKeyKeepsTheList) {
    Type("x ");
    ASSERT_EQ(service->composer.Candidates().size(), 12u);
    Press(VK_DOWN, true);
    Document().failures.rangeSetText = E_FAIL;
    EXPECT_FALSE(Press(VK_ESCAPE));
    Document().failures.rangeSetText = S_OK;
    EXPECT_EQ(service->composer.Candidates().size(), 12u);
    EXPECT_EQ(service->candidateRow, 1u);
    EXPECT_TRUE(Press(VK_RETURN));
    EXPECT_EQ(Text(), L"系");
}

// Reported eaten when it was queued, a key whose session fails later is lost: nobody can
// type it any more, but the composer does not keep it either.
TEST_F(FailedKeyTyping, AQueuedKeyThatFailsLaterIsLostWholly) {
    Document().syncGrant = fake_tsf::SyncGrant::Never;
    Type("zh");
    Document().RunPendingSessions();
    Document().failures.rangeSetText = E_FAIL;
    EXPECT_TRUE(Press('Q'));
    Document().RunPendingSessions();
    Document().failures.rangeSetText = S_OK;
    EXPECT_EQ(Text(), L"車木");
    EXPECT_EQ(Reading(), "zh");

    EXPECT_TRUE(Press(VK_SPACE));
    Document().RunPendingSessions();
    EXPECT_EQ(Text(), L"中文");

    Document().refuseComposition = true;
    EXPECT_TRUE(Press('Z'));
    Document().RunPendingSessions();
    EXPECT_EQ(Text(), L"中文");
    EXPECT_TRUE(Reading().empty());
}

}  // namespace
