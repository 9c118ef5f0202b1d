// Sessions TSF runs after Deactivate: a key's, a row click's and an on-screen keyboard
// click's, all queued while the service was active. They belong to an activation that is
// gone and must leave the document and the service alone, also once the service has been
// activated again.

#include <gtest/gtest.h>
#include <windows.h>

#include "keys/typing_harness.h"

namespace {

using keys_test::AsyncSession;

class SessionsAfterDeactivation : public keys_test::TypingTest {
  protected:
    void SetUp() override {
        TypingTest::SetUp();
        Start(test_support::SourcePath("data/ZiRevod-Ka.cin"));
        Document().syncGrant = fake_tsf::SyncGrant::Never;
        Document().holdQueue = true;
    }

    // A key, a click on the on-screen keyboard and a click on a candidate row, queued.
    void QueueOneOfEach() {
        EXPECT_TRUE(Press('Z'));
        HRESULT sessionResult = E_FAIL;
        service->RequestKeySession(&Document(), 0, 0, 0, 'h', AsyncSession, &sessionResult);
        service->RequestKeySession(&Document(), VK_RETURN, 0, 0, 0, AsyncSession, &sessionResult);
        EXPECT_EQ(Document().PendingSessions(), 3u);
    }

    void ExpectNothingDoneOrHeld() {
        EXPECT_EQ(Text(), L"");
        EXPECT_TRUE(Document().Compositions().empty());
        EXPECT_TRUE(fake_tsf::NoAttribute(Document()));
        EXPECT_FALSE(service->composition);
        EXPECT_FALSE(service->compositionContext);
        EXPECT_TRUE(service->composer.Reading().empty());
        EXPECT_EQ(service->candidateWindow, nullptr);
    }
};

TEST_F(SessionsAfterDeactivation, DoNothingAndHoldNothing) {
    ITfTextInputProcessorEx* processor = service;
    ITfContext* document = &Document();
    const ULONG documentRefs = fake_tsf::RefCount(document);
    const auto objects = DllObjectCount.load();
    QueueOneOfEach();
    EXPECT_EQ(service->Deactivate(), S_OK);
    EXPECT_EQ(fake_tsf::RefCount(processor), 1u + 3u);  // the test's and the sessions'
    Document().ReleaseQueue();
    EXPECT_EQ(Document().PendingSessions(), 0u);
    ExpectNothingDoneOrHeld();
    EXPECT_EQ(fake_tsf::RefCount(processor), 1u);  // no composition holds its sink
    EXPECT_EQ(fake_tsf::RefCount(document), documentRefs);
    EXPECT_EQ(DllObjectCount.load(), objects);
}

TEST_F(SessionsAfterDeactivation, DoNotEditTheDocumentOfTheNextActivation) {
    QueueOneOfEach();
    EXPECT_EQ(service->Deactivate(), S_OK);
    ASSERT_EQ(service->Activate(host->ThreadMgr(), keys_test::Client), S_OK);
    service->readingAtom = keys_test::ReadingAtom;
    Document().ReleaseQueue();
    ExpectNothingDoneOrHeld();

    // The new activation's own keys are typed.
    Document().syncGrant = fake_tsf::SyncGrant::WhileKeyDelivered;
    EXPECT_TRUE(Press('Z'));
    EXPECT_EQ(Text(), L"車");
    EXPECT_TRUE(AttributeOn(0, 1));
}

TEST_F(SessionsAfterDeactivation, AnInactiveServiceShowsNoCandidateList) {
    EXPECT_EQ(service->Deactivate(), S_OK);
    service->composer.AddKey('x');
    service->composer.Convert();
    ASSERT_EQ(service->composer.Candidates().size(), 12u);
    service->ShowCandidates(0, &Document());
    EXPECT_EQ(service->candidateWindow, nullptr);
    service->composer.Reset();
}

}  // namespace

namespace {

class ReadingInADroppedComposition : public keys_test::TypingTest {};

// Deactivate lets the composition go without ending it; the next reading is written at its
// end and so lies inside its range when the application ends it.
TEST_F(ReadingInADroppedComposition, KeepsItsUnderlineWhenTheApplicationEndsTheOldOne) {
    Start(test_support::SourcePath("data/ZiRevod-Ka.cin"));
    Type("zh");
    EXPECT_EQ(service->Deactivate(), S_OK);
    ASSERT_EQ(service->Activate(host->ThreadMgr(), keys_test::Client), S_OK);
    Type("q");
    ASSERT_EQ(Document().Compositions().size(), 2u);
    EXPECT_EQ(Document().TerminateComposition(Document().Compositions().front().Get()), S_OK);
    EXPECT_EQ(Text(), L"車木日");
    EXPECT_TRUE(CompositionOpen());
    EXPECT_TRUE(AttributeOn(2, 3));
}

}  // namespace
