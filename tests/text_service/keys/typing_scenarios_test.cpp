// Typing realistic key sequences into a document through the key event sink, and
// checking what the application sees: text, caret, composition, reading attribute,
// and what the service holds and stored.

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "keys/typing_harness.h"
#include "settings_store.h"
#include "text_conversion.h"

namespace {

using keys_test::AsyncSession;
using keys_test::LaunchedPrograms;
using keys_test::SyncSession;

class SampleTableTyping : public keys_test::TypingTest {
  protected:
    void SetUp() override {
        TypingTest::SetUp();
        Start(test_support::SourcePath("data/ZiRevod-Ka.cin"));
    }
};

TEST_F(SampleTableTyping, ACodeWithOneMatchIsShownThenCommittedAtTheCaret) {
    Document().SetDocument(L"[]", 1);
    EXPECT_TRUE(Press('Z'));
    EXPECT_EQ(Text(), L"[車]");
    EXPECT_TRUE(CompositionOpen());
    EXPECT_TRUE(AttributeOn(1, 2));
    EXPECT_EQ(Caret(), 2);

    EXPECT_TRUE(Press('H'));
    EXPECT_EQ(Text(), L"[車木]");
    EXPECT_EQ(CompositionText(), L"車木");
    EXPECT_TRUE(AttributeOn(1, 3));
    EXPECT_EQ(Caret(), 3);
    EXPECT_EQ(Reading(), "zh");

    EXPECT_TRUE(Press(VK_SPACE));
    EXPECT_EQ(Text(), L"[中文]");
    EXPECT_FALSE(CompositionOpen());
    EXPECT_TRUE(Document().Compositions().empty());
    EXPECT_TRUE(fake_tsf::NoAttribute(Document()));
    EXPECT_EQ(Caret(), 3);
    EXPECT_TRUE(service->composer.Reading().empty());
    EXPECT_EQ(SessionFlags(), (std::vector<DWORD>{SyncSession, SyncSession, SyncSession}));
}

TEST_F(SampleTableTyping, KeysThatAreNotWantedReachTheApplication) {
    EXPECT_FALSE(Press('1'));       // no key name, nothing pending
    EXPECT_FALSE(Press(VK_SPACE));  // nothing to convert
    EXPECT_FALSE(Press(VK_BACK));
    EXPECT_EQ(Text(), L"1");  // the application typed them
    Type("z");
    EXPECT_FALSE(Press(VK_NUMPAD1));  // the keypad always goes to the application
    EXPECT_FALSE(Press(VK_RETURN, true));
    EXPECT_FALSE(Press(VK_HOME, true));
    EXPECT_FALSE(PressWith(VK_CONTROL, 'H'));
    // The application's text stays out of the reading, which is still the service's.
    EXPECT_EQ(Text(), L"1車1\r");
    EXPECT_EQ(CompositionText(), L"車");
    EXPECT_TRUE(AttributeOn(1, 2));
    EXPECT_EQ(Reading(), "z");
    EXPECT_EQ(Document().Sessions().size(), 1u);
}

TEST_F(SampleTableTyping, ALongListPagesWithSpaceAndArrowsAndASelectionKeyChooses) {
    Type("x");
    EXPECT_TRUE(Press(VK_SPACE));
    ASSERT_EQ(service->composer.Candidates().size(), 12u);
    EXPECT_EQ(CompositionText(), L"糸");
    EXPECT_EQ(service->candidatePage, 0u);

    EXPECT_TRUE(Press(VK_UP, true));  // row 0 wraps to the last row of a full page
    EXPECT_EQ(service->candidateRow, 9u);
    EXPECT_TRUE(Press(VK_DOWN, true));
    EXPECT_EQ(service->candidateRow, 0u);

    EXPECT_TRUE(Press(VK_SPACE));  // more than 10: Space pages
    EXPECT_EQ(service->candidatePage, 1u);
    EXPECT_TRUE(Press(VK_UP, true));  // the short last page has two rows
    EXPECT_EQ(service->candidateRow, 1u);
    EXPECT_TRUE(Press(VK_SPACE));  // from the last page back to the first
    EXPECT_EQ(service->candidatePage, 0u);
    EXPECT_EQ(service->candidateRow, 0u);
    EXPECT_TRUE(Press(VK_LEFT, true));
    EXPECT_EQ(service->candidatePage, 1u);
    EXPECT_TRUE(Press(VK_RIGHT, true));
    EXPECT_EQ(service->candidatePage, 0u);
    EXPECT_TRUE(Press(VK_NEXT, true));
    EXPECT_EQ(service->candidatePage, 1u);

    EXPECT_TRUE(Press('3'));  // beyond the short page: consumed, nothing changes
    EXPECT_EQ(service->composer.Candidates().size(), 12u);
    EXPECT_EQ(Text(), L"糸");

    EXPECT_TRUE(Press('2'));
    EXPECT_EQ(Text(), L"索");
    EXPECT_FALSE(CompositionOpen());
    EXPECT_TRUE(service->composer.Candidates().empty());
    EXPECT_EQ(service->candidatePage, 0u);
}

TEST_F(SampleTableTyping, ShortListsChooseTheHighlightedRowWithSpaceOrEnter) {
    Type("h ");
    ASSERT_EQ(service->composer.Candidates().size(), 3u);
    Press(VK_DOWN, true);
    Press(VK_DOWN, true);
    EXPECT_TRUE(Press(VK_SPACE));
    EXPECT_EQ(Text(), L"森");

    Type("h ");
    Press(VK_DOWN, true);
    EXPECT_TRUE(Press(VK_RETURN));
    EXPECT_EQ(Text(), L"森林");
}

TEST_F(SampleTableTyping, AKeyNameThatIsNoSelectionKeyChoosesAndStartsTheNextReading) {
    Type("h ");
    EXPECT_TRUE(Press('Z'));
    EXPECT_EQ(Text(), L"木車");
    EXPECT_TRUE(CompositionOpen());
    EXPECT_EQ(CompositionText(), L"車");
    EXPECT_TRUE(AttributeOn(1, 2));
    EXPECT_EQ(Reading(), "z");
    EXPECT_TRUE(service->composer.Candidates().empty());
}

TEST_F(SampleTableTyping, EscapeAndBackspaceThroughAList) {
    Type("x ");
    EXPECT_TRUE(Press(VK_ESCAPE));
    EXPECT_EQ(Text(), L"");
    EXPECT_FALSE(CompositionOpen());
    EXPECT_TRUE(service->composer.Reading().empty());
    EXPECT_TRUE(service->composer.Candidates().empty());

    Type("gbd ");
    ASSERT_EQ(service->composer.Candidates().size(), 2u);
    EXPECT_TRUE(Press(VK_BACK));  // the list goes, the reading loses its last key
    EXPECT_EQ(Text(), L"人石");
    EXPECT_TRUE(CompositionOpen());
    EXPECT_TRUE(service->composer.Candidates().empty());
    Press(VK_BACK);
    EXPECT_TRUE(Press(VK_BACK));
    EXPECT_EQ(Text(), L"");
    EXPECT_FALSE(CompositionOpen());
    EXPECT_FALSE(Press(VK_BACK));  // nothing left: the application's Backspace
}

TEST_F(SampleTableTyping, AnEndKeyConvertsAtOnce) {
    Type("q;");
    EXPECT_EQ(Text(), L"日");
    EXPECT_FALSE(CompositionOpen());
    // An end key alone converts nothing: no text, but the key is the service's.
    EXPECT_TRUE(Press(VK_OEM_1));
    EXPECT_EQ(Text(), L"日");
    EXPECT_FALSE(CompositionOpen());
}

TEST_F(SampleTableTyping, TheSeventhKeyThrowsTheReadingAway) {
    Type("abcdef");
    EXPECT_EQ(Text(), L"山石川田禾口");
    EXPECT_TRUE(Press('G'));
    EXPECT_EQ(Text(), L"");
    EXPECT_FALSE(CompositionOpen());
    EXPECT_TRUE(service->composer.Reading().empty());
}

TEST_F(SampleTableTyping, ShiftLetterReplacesTheReadingAndLeavesTheModeAlone) {
    Type("zh");
    Hold(VK_SHIFT);
    EXPECT_TRUE(Press('A'));
    Release(VK_SHIFT);
    EXPECT_EQ(Text(), L"A");
    EXPECT_FALSE(CompositionOpen());
    EXPECT_TRUE(service->composer.Reading().empty());
    EXPECT_TRUE(service->chineseMode);

    host->keyboard.SetCapsLock(true);
    Hold(VK_SHIFT);
    Press('B');
    Release(VK_SHIFT);
    EXPECT_EQ(Text(), L"Ab");
    EXPECT_TRUE(service->chineseMode);
}

TEST_F(SampleTableTyping, TheToggleKeyFlipsTheModeOnlyWhenPressedAlone) {
    Hold(VK_SHIFT);
    Release(VK_SHIFT);
    EXPECT_FALSE(service->chineseMode);
    EXPECT_TRUE(Document().Sessions().empty());  // nothing pending, no session
    EXPECT_FALSE(Press('A'));                    // English: the application types it

    // Held with auto-repeat: every repeat eaten, one flip on release.
    Hold(VK_SHIFT);
    EXPECT_TRUE(Hold(VK_SHIFT));  // already down: auto-repeat
    EXPECT_TRUE(Hold(VK_SHIFT));
    Release(VK_SHIFT);
    EXPECT_TRUE(service->chineseMode);

    // Ctrl+Shift is no toggle, nor Shift with a key between.
    Hold(VK_CONTROL);
    Hold(VK_SHIFT);
    Release(VK_SHIFT);
    Release(VK_CONTROL);
    EXPECT_TRUE(service->chineseMode);
    Hold(VK_SHIFT);
    Press(VK_NUMPAD1);  // even a pass-through key cancels
    Release(VK_SHIFT);
    EXPECT_TRUE(service->chineseMode);
}

TEST_F(SampleTableTyping, FlippingTheModeDiscardsPendingInputFirst) {
    Type("zh");
    Hold(VK_SHIFT);
    Release(VK_SHIFT);
    EXPECT_FALSE(service->chineseMode);
    EXPECT_EQ(Text(), L"");
    EXPECT_FALSE(CompositionOpen());
    EXPECT_TRUE(service->composer.Reading().empty());
    EXPECT_EQ(SessionFlags().back(), SyncSession);
}

TEST_F(SampleTableTyping, SimplifiedOutputIsToggledOncePerPressAndStored) {
    Hold(VK_CONTROL);
    Hold(VK_MENU);
    EXPECT_TRUE(Hold('S'));
    EXPECT_TRUE(Hold('S'));  // held: the repeat is eaten and flips nothing
    Release('S');
    Release(VK_MENU);
    Release(VK_CONTROL);
    EXPECT_EQ(service->simplifiedOutput, 1);
    EXPECT_EQ(ReadSimplifiedOutput(), 1);

    Type("zh ");
    // Wine's LCMapStringEx leaves the text as it is; the candidate goes through the same
    // conversion the service uses, whatever the platform answers.
    EXPECT_EQ(Text(), ToSimplified(L"中文", 1));
    // Direct text is never converted.
    Hold(VK_SHIFT);
    Press('A');
    Release(VK_SHIFT);
    EXPECT_EQ(Text().back(), L'A');
}

TEST_F(SampleTableTyping, FullwidthOutputAppliesToDirectTextOnly) {
    Hold(VK_SHIFT);
    EXPECT_TRUE(Press(VK_SPACE));
    EXPECT_TRUE(service->fullwidthOutput);
    EXPECT_TRUE(ReadFullwidthOutput());
    EXPECT_TRUE(Press('A'));
    Release(VK_SHIFT);
    EXPECT_TRUE(service->chineseMode);
    EXPECT_EQ(Text(), L"\xFF21");

    Type("zh ");
    EXPECT_EQ(Text(), L"\xFF21中文");
    EXPECT_TRUE(Press('1'));  // no key name: typed full-width in Chinese mode too
    EXPECT_EQ(Text(), L"\xFF21中文\xFF11");

    Hold(VK_SHIFT);
    Release(VK_SHIFT);
    ASSERT_FALSE(service->chineseMode);
    EXPECT_TRUE(Press(VK_SPACE));
    EXPECT_TRUE(Press('B'));
    EXPECT_EQ(Text(), L"\xFF21中文\xFF11\x3000\xFF42");
    EXPECT_FALSE(CompositionOpen());
}

TEST_F(SampleTableTyping, TheLaunchHotKeysStartTheirPrograms) {
    Hold(VK_CONTROL);
    Hold(VK_SHIFT);
    EXPECT_TRUE(Press(VK_F10));
    EXPECT_TRUE(Hold(VK_F9));
    EXPECT_TRUE(Hold(VK_F9));  // each repeat starts it again
    Release(VK_F9);
    Release(VK_SHIFT);
    Release(VK_CONTROL);
    EXPECT_EQ(LaunchedPrograms(),
              (std::vector<std::wstring>{L"mo_input_ka_settings.exe", L"mo_input_ka_words.exe",
                                         L"mo_input_ka_words.exe"}));
    EXPECT_TRUE(service->chineseMode);
}

TEST_F(SampleTableTyping, EveryTypedCommand) {
    Type("mos");
    EXPECT_EQ(CompositionText(), L"mos");  // the letters as typed, not the key names
    EXPECT_EQ(service->commandBuffer, "mos");
    EXPECT_TRUE(service->composer.Reading().empty());
    Type("et");
    EXPECT_EQ(CompositionText(), L"moset");
    EXPECT_TRUE(Press(VK_SPACE));
    EXPECT_EQ(Text(), L"");
    EXPECT_FALSE(CompositionOpen());

    Type("moadd");
    EXPECT_TRUE(Press(VK_RETURN));
    EXPECT_EQ(LaunchedPrograms(),
              (std::vector<std::wstring>{L"mo_input_ka_settings.exe", L"mo_input_ka_words.exe"}));

    Type("mokey ");
    EXPECT_EQ(Text(), L"");
    EXPECT_FALSE(CompositionOpen());

    Type("mochs ");
    EXPECT_EQ(service->simplifiedOutput, 1);
    EXPECT_EQ(ReadSimplifiedOutput(), 1);
    Type("mocht");
    Press(VK_RETURN);
    EXPECT_EQ(service->simplifiedOutput, 0);
    EXPECT_EQ(ReadSimplifiedOutput(), 0);
    EXPECT_EQ(Text(), L"");
    EXPECT_TRUE(service->commandBuffer.empty());
}

TEST_F(SampleTableTyping, TextThatIsNoCommandGoesBackToTheComposer) {
    Type("mosx");  // breaks the prefix: the letters become the reading
    EXPECT_TRUE(service->commandBuffer.empty());
    EXPECT_EQ(Reading(), "mosx");
    EXPECT_EQ(CompositionText(), L"月目水糸");
    EXPECT_TRUE(AttributeOn(0, 4));
    Press(VK_ESCAPE);

    Type("mos");
    EXPECT_TRUE(Press('1'));  // no key name: consumed, the prefix becomes the reading
    EXPECT_EQ(Reading(), "mos");
    EXPECT_EQ(CompositionText(), L"月目水");
    Press(VK_ESCAPE);
    EXPECT_EQ(Text(), L"");

    Type("mo");
    Press('S');
    EXPECT_TRUE(Press(VK_SPACE));  // confirmed as no word: converted as a reading
    EXPECT_EQ(Text(), L"");        // the sample table has no code "mos"
    EXPECT_FALSE(CompositionOpen());
    EXPECT_TRUE(service->composer.Reading().empty());
}

TEST_F(SampleTableTyping, BackspaceAndEscapeInATypedCommand) {
    Type("mos");
    Press(VK_BACK);
    EXPECT_EQ(CompositionText(), L"mo");
    EXPECT_EQ(service->commandBuffer, "mo");
    Press(VK_BACK);
    EXPECT_EQ(CompositionText(), L"m");
    Press(VK_BACK);
    EXPECT_EQ(Text(), L"");
    EXPECT_FALSE(CompositionOpen());
    EXPECT_TRUE(service->commandBuffer.empty());

    Type("mose");
    EXPECT_TRUE(Press(VK_ESCAPE));
    EXPECT_EQ(Text(), L"");
    EXPECT_FALSE(CompositionOpen());
    EXPECT_TRUE(service->commandBuffer.empty());
}

TEST_F(SampleTableTyping, ADocumentThatRefusesSynchronousSessionsStillGetsTheKeys) {
    Document().syncGrant = fake_tsf::SyncGrant::Never;
    EXPECT_TRUE(Press('Z'));
    EXPECT_EQ(SessionFlags(), (std::vector<DWORD>{SyncSession, AsyncSession}));
    // Windows answers the refusal in the session result, not in the call's.
    EXPECT_EQ(Document().Sessions()[0].callResult, S_OK);
    EXPECT_EQ(Document().Sessions()[0].sessionResult, TF_E_SYNCHRONOUS);
    EXPECT_EQ(Document().Sessions()[1].sessionResult, TF_S_ASYNC);
    EXPECT_EQ(Text(), L"");
    Document().RunPendingSessions();
    EXPECT_EQ(Text(), L"車");
    EXPECT_TRUE(Press('H'));
    EXPECT_TRUE(Press(VK_SPACE));
    Document().RunPendingSessions();
    EXPECT_EQ(Text(), L"中文");
    EXPECT_FALSE(CompositionOpen());
}

// Outside a key the document refuses the synchronous Escape session of a focus loss; the
// same session is asked for again to run later, and then takes the reading, the typed
// command or the list away with its underline.
TEST_F(SampleTableTyping, FocusLossEndsWhatIsPendingWhenTheQueueRuns) {
    for (const char* pending : {"zh", "mos", "x "}) {
        SCOPED_TRACE(pending);
        Document().SetDocument(L"中文", 2);
        Type(pending);
        host->ServiceFocus(false);
        ASSERT_GE(Document().Sessions().size(), 2u);
        const auto& sessions = Document().Sessions();
        EXPECT_EQ(sessions[sessions.size() - 2].flags, SyncSession);
        EXPECT_EQ(sessions[sessions.size() - 2].sessionResult, TF_E_SYNCHRONOUS);
        EXPECT_EQ(sessions.back().flags, AsyncSession);
        EXPECT_EQ(Document().PendingSessions(), 1u);
        EXPECT_TRUE(service->composer.Reading().empty());
        EXPECT_TRUE(service->commandBuffer.empty());

        Document().RunPendingSessions();
        EXPECT_EQ(Text(), L"中文");
        EXPECT_FALSE(service->composition);
        EXPECT_TRUE(Document().Compositions().empty());
        EXPECT_TRUE(fake_tsf::NoAttribute(Document()));
        host->ServiceFocus(true);
    }
}

TEST_F(SampleTableTyping, AKeyTypedBeforeTheFocusLossEscapeRunsWins) {
    Type("zh");
    host->ServiceFocus(false);
    host->ServiceFocus(true);
    EXPECT_TRUE(Press('Q'));  // the held composition shows the new reading
    EXPECT_EQ(Text(), L"日");
    Document().RunPendingSessions();
    EXPECT_EQ(Text(), L"日");
    EXPECT_TRUE(CompositionOpen());
    EXPECT_TRUE(AttributeOn(0, 1));
    EXPECT_EQ(Reading(), "q");

    // Nor does it end another composition the service holds by then.
    Press(VK_ESCAPE);
    Type("zh");
    host->ServiceFocus(false);
    host->ServiceFocus(true);
    ASSERT_EQ(Document().TerminateComposition(), S_OK);  // the application ends that one
    Document().failures.rangeSetText = E_FAIL;
    EXPECT_FALSE(Press('Z'));  // a new composition started, its text refused: held empty
    Document().failures.rangeSetText = S_OK;
    ASSERT_TRUE(CompositionOpen());
    EXPECT_TRUE(service->composer.Reading().empty());
    Document().RunPendingSessions();
    EXPECT_TRUE(CompositionOpen());
    EXPECT_EQ(Text(), L"車木z");
}

TEST_F(SampleTableTyping, RegainingTheFocusRereadsTheSettings) {
    using namespace SettingNames;
    fake_tsf::StoreSetting(SimplifiedOutput, 1);
    fake_tsf::StoreSetting(FullwidthOutput, 1);
    fake_tsf::StoreSetting(PersistentToolbar, 0);
    fake_tsf::StoreSetting(ToolbarFollowMode, 2);
    fake_tsf::StoreSetting(LetterSelection, 1);  // not re-read on focus
    host->ServiceFocus(false);
    host->ServiceFocus(true);
    EXPECT_EQ(service->simplifiedOutput, 1);
    EXPECT_TRUE(service->fullwidthOutput);
    EXPECT_FALSE(service->persistentToolbar);
    EXPECT_EQ(service->toolbarFollowMode, 2);
    EXPECT_FALSE(service->letterSelection);
}

TEST_F(SampleTableTyping, TheApplicationEndingOurCompositionLeavesItsTextPlain) {
    Type("zh");
    EXPECT_EQ(Document().TerminateComposition(), S_OK);
    EXPECT_FALSE(service->composition);
    EXPECT_TRUE(service->composer.Reading().empty());
    EXPECT_EQ(Text(), L"車木");
    EXPECT_TRUE(fake_tsf::NoAttribute(Document()));

    EXPECT_TRUE(Press('Q'));
    EXPECT_EQ(Text(), L"車木日");
    EXPECT_EQ(CompositionText(), L"日");
    EXPECT_TRUE(AttributeOn(2, 3));
}

TEST_F(SampleTableTyping, AKeyInASecondDocumentDropsTheFirstComposition) {
    Type("zh");
    host->Focus(second.Get());
    EXPECT_TRUE(Press('Q'));
    EXPECT_TRUE(CompositionOpen());
    EXPECT_EQ(CompositionText(), ShownReading());
    EXPECT_TRUE(AttributeOn(0, static_cast<long>(Text().size())));
    // The first document's composition was not ended by the service: it lives on there.
    ASSERT_EQ(first->Compositions().size(), 1u);
    EXPECT_FALSE(first->Compositions().front()->Ended());
    EXPECT_EQ(first->Text(), L"車木");

    // When that application ends it later, its text keeps no underline, and the
    // composition the service holds in the second document is left alone.
    EXPECT_EQ(first->TerminateComposition(), S_OK);
    EXPECT_TRUE(fake_tsf::NoAttribute(*first.Get()));
    EXPECT_TRUE(CompositionOpen());
    EXPECT_TRUE(AttributeOn(0, static_cast<long>(Text().size())));
}

TEST_F(SampleTableTyping, APhraseAppendedToTheUserFileIsFoundAtTheNextConversion) {
    const auto userFile = temp.Write("Mo_Input_Ka_User.txt", "");
    ASSERT_TRUE(service->table.LoadUserPhrases(userFile));
    Type("zh ");
    EXPECT_EQ(Text(), L"中文");
    {
        std::ofstream out(userFile, std::ios::binary | std::ios::app);
        out << "zh \xE4\xB8\xAD\xE9\x96\x93\n";  // 中間
    }
    Type("zh ");
    ASSERT_EQ(service->composer.Candidates().size(), 2u);
    EXPECT_NE(std::find(service->composer.Candidates().begin(),
                        service->composer.Candidates().end(), "\xE4\xB8\xAD\xE9\x96\x93"),
              service->composer.Candidates().end());
}

TEST_F(SampleTableTyping, AKeySessionKeepsTheServiceAliveAndIsNotCounted) {
    ITfTextInputProcessorEx* processor = service;
    const ULONG refs = fake_tsf::RefCount(processor);
    const auto objects = DllObjectCount.load();
    HRESULT sessionResult = S_OK;
    EXPECT_EQ(service->RequestKeySession(&Document(), 0, 0, 0, 'z', AsyncSession, &sessionResult),
              S_OK);
    EXPECT_EQ(sessionResult, TF_S_ASYNC);
    EXPECT_EQ(fake_tsf::RefCount(processor), refs + 1);
    EXPECT_EQ(DllObjectCount.load(), objects);
    Document().RunPendingSessions();
    EXPECT_EQ(Text(), L"車");  // a click on the on-screen keyboard types like the key
    Press(VK_ESCAPE);          // the composition, which holds its sink, ends
    EXPECT_EQ(fake_tsf::RefCount(processor), refs);

    EXPECT_EQ(service->RequestKeySession(nullptr, VK_RETURN, 0, 0, 0, AsyncSession, &sessionResult),
              E_INVALIDARG);
    EXPECT_EQ(sessionResult, E_FAIL);
}

TEST_F(SampleTableTyping, EveryKeyMethodRefusesANullEatenPointer) {
    ITfKeyEventSink* sink = service;
    EXPECT_EQ(sink->OnTestKeyDown(&Document(), 'A', 0, nullptr), E_POINTER);
    EXPECT_EQ(sink->OnKeyDown(&Document(), 'A', 0, nullptr), E_POINTER);
    EXPECT_EQ(sink->OnTestKeyUp(&Document(), 'A', 0, nullptr), E_POINTER);
    EXPECT_EQ(sink->OnKeyUp(&Document(), 'A', 0, nullptr), E_POINTER);
    EXPECT_EQ(sink->OnPreservedKey(&Document(), GUID_NULL, nullptr), E_POINTER);
    BOOL eaten = TRUE;
    EXPECT_EQ(sink->OnKeyDown(nullptr, 'A', fake_tsf::KeyDownLParam('A'), &eaten),
              S_OK);  // no context
    EXPECT_FALSE(eaten);
    EXPECT_TRUE(service->composer.Reading().empty());
}

}  // namespace

namespace {

TEST_F(SampleTableTyping, OnlyOurOwnCompositionEndingIsHeardOf) {
    Type("zh");
    auto foreign = fake_tsf::Make<fake_tsf::FakeComposition>(
        &Document(), std::make_shared<fake_tsf::Span>(), nullptr);
    EXPECT_EQ(service->OnCompositionTerminated(1, foreign.Get()), S_OK);
    EXPECT_EQ(service->OnCompositionTerminated(1, nullptr), S_OK);
    EXPECT_TRUE(CompositionOpen());
    EXPECT_EQ(Reading(), "zh");
    foreign->MarkEnded(false);
}

TEST_F(SampleTableTyping, DeactivationReleasesAnOpenCompositionWithoutEndingIt) {
    Type("mos");
    fake_tsf::FakeContext& document = Document();
    EXPECT_EQ(service->Deactivate(), S_OK);
    EXPECT_FALSE(service->composition);
    EXPECT_TRUE(service->commandBuffer.empty());
    EXPECT_FALSE(service->togglePending);
    ASSERT_EQ(document.Compositions().size(), 1u);
    EXPECT_FALSE(document.Compositions().front()->Ended());
    EXPECT_EQ(document.Text(), L"mos");
}

TEST_F(SampleTableTyping, AReadOnlyDocumentGetsTheKeyBack) {
    Document().readOnly = true;
    EXPECT_FALSE(Press('Z'));
    EXPECT_EQ(Document().Sessions().back().sessionResult, TS_E_READONLY);
    // No session ran; the application handles the key as its own.
    EXPECT_EQ(Text(), L"z");
}

TEST_F(SampleTableTyping, OnScreenKeyboardClicksTypeInBothModes) {
    HRESULT sessionResult = E_PENDING;
    service->RequestKeySession(&Document(), 0, 0, 0, 'h', AsyncSession, &sessionResult);
    service->RequestKeySession(&Document(), VK_SPACE, 0, 0, 0, AsyncSession, &sessionResult);
    host->RunPendingSessions();
    ASSERT_EQ(service->composer.Candidates().size(), 3u);
    // A click on a row arrives as Enter after the row was highlighted.
    service->candidateRow = 2;
    service->RequestKeySession(&Document(), VK_RETURN, 0, 0, 0, AsyncSession, &sessionResult);
    host->RunPendingSessions();
    EXPECT_EQ(Text(), L"森");

    service->chineseMode = false;
    service->RequestKeySession(&Document(), 0, 0, 0, 'q', AsyncSession, &sessionResult);
    service->RequestKeySession(&Document(), VK_SPACE, 0, 0, 0, AsyncSession, &sessionResult);
    host->RunPendingSessions();
    EXPECT_EQ(Text(), L"森q ");
    EXPECT_FALSE(CompositionOpen());
}

class CapsLockToggleTyping : public keys_test::TypingTest {
  protected:
    void SetUp() override {
        TypingTest::SetUp();
        fake_tsf::StoreSetting(SettingNames::ToggleKey, std::wstring(L"CapsLock"));
        Start(test_support::SourcePath("data/ZiRevod-Ka.cin"));
    }
};

TEST_F(CapsLockToggleTyping, CapsLockFlipsTheModeAndShiftDoesNot) {
    Hold(VK_SHIFT);
    Release(VK_SHIFT);
    EXPECT_TRUE(service->chineseMode);
    EXPECT_TRUE(Hold(VK_CAPITAL));
    EXPECT_TRUE(Release(VK_CAPITAL));
    EXPECT_FALSE(service->chineseMode);
    EXPECT_FALSE(Press('Z'));  // English: the application types it, Caps Lock on
    Press(VK_CAPITAL);
    EXPECT_TRUE(service->chineseMode);
    EXPECT_TRUE(Press('Z'));
    EXPECT_EQ(Text(), L"Z車");
}

}  // namespace

namespace {

class ChangingTableTyping : public keys_test::TypingTest {};

TEST_F(ChangingTableTyping, ATableChangedWhileAwayIsReloadedWhenTheFocusReturns) {
    std::ifstream sample(test_support::SourcePath("data/ZiRevod-Ka.cin"), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(sample)), std::istreambuf_iterator<char>());
    const auto table = temp.Write("table.cin", text);
    Start(table);
    Type("zz ");
    EXPECT_EQ(Text(), L"");  // no such code yet

    host->ServiceFocus(false);
    const std::string end = "%chardef end";
    text.insert(text.rfind(end), "zz \xE8\xBD\x9F\n");  // 轟
    temp.Write("table.cin", text);
    host->ServiceFocus(true);
    Type("zz ");
    EXPECT_EQ(Text(), L"轟");
}

}  // namespace
