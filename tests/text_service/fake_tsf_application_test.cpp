// The fake TSF as the application around the document: it types the keys no service
// eats, keeps its caret where it likes, ends compositions when it likes, lets a test make
// single calls fail, and holds queued sessions until a test lets them run.

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "com_ptr.h"
#include "fake_tsf/fake_context.h"
#include "fake_tsf/fake_host.h"
#include "fake_tsf/test_sessions.h"

namespace {

using fake_tsf::FakeComposition;
using fake_tsf::FakeContext;
using fake_tsf::Make;
using fake_tsf::RangeOf;

constexpr TfClientId Client = 5;
constexpr DWORD SyncWrite = TF_ES_SYNC | TF_ES_READWRITE;
constexpr DWORD AsyncWrite = TF_ES_ASYNC | TF_ES_READWRITE;

HRESULT InSession(FakeContext* context, std::function<HRESULT(TfEditCookie)> body) {
    return fake_tsf::InSession(context, Client, SyncWrite, std::move(body));
}

// A composition started over [start, start) and given `text`.
ComPtr<ITfComposition> StartComposition(FakeContext* context, long start, const wchar_t* text,
                                        ITfCompositionSink* sink = nullptr) {
    ComPtr<ITfComposition> composition;
    InSession(context, [&](TfEditCookie ec) {
        context->StartComposition(ec, RangeOf(context, start, start).Get(), sink,
                                  composition.Put());
        ComPtr<ITfRange> range;
        composition->GetRange(range.Put());
        return range->SetText(ec, 0, text, -1);
    });
    return composition;
}

TEST(FakeApplication, TypesTheKeysNoServiceEatsAsAnEditControlDoes) {
    struct Case {
        const char* name;
        const wchar_t* text;
        long start;
        long end;
        std::vector<WPARAM> keys;
        WPARAM held;  // a modifier down over the keys, or 0
        const wchar_t* typed;
        long caret;
    };
    const Case cases[] = {
        {"a letter at the caret", L"ab", 1, 1, {'X'}, 0, L"axb", 2},
        {"a letter replaces the selection", L"abc", 1, 3, {'Z'}, 0, L"az", 2},
        {"Shift gives the capital", L"", 0, 0, {'A'}, VK_SHIFT, L"A", 1},
        {"the keypad types its digit", L"", 0, 0, {VK_NUMPAD1, VK_MULTIPLY}, 0, L"1*", 2},
        {"Backspace deletes before the caret", L"abc", 2, 2, {VK_BACK}, 0, L"ac", 1},
        {"Backspace deletes the selection", L"abc", 0, 2, {VK_BACK}, 0, L"c", 0},
        {"Backspace at the start does nothing", L"abc", 0, 0, {VK_BACK}, 0, L"abc", 0},
        {"Enter breaks the line", L"ab", 1, 1, {VK_RETURN}, 0, L"a\rb", 2},
        {"Left and Right step", L"abc", 1, 1, {VK_RIGHT, VK_RIGHT, VK_LEFT}, 0, L"abc", 2},
        {"Left from a selection goes to its start", L"abcd", 1, 3, {VK_LEFT}, 0, L"abcd", 1},
        {"Right from a selection goes to its end", L"abcd", 1, 3, {VK_RIGHT}, 0, L"abcd", 3},
        {"Up keeps the column", L"ab\rcdef", 5, 5, {VK_UP}, 0, L"ab\rcdef", 2},
        {"Down keeps the column in a short line", L"abcd\ref", 3, 3, {VK_DOWN}, 0, L"abcd\ref", 7},
        {"Up and Down stop at the ends", L"ab\rc", 1, 1, {VK_UP, VK_DOWN, VK_DOWN}, 0, L"ab\rc", 4},
        {"Home and End keep to the line", L"ab\rcde\rf", 5, 5, {VK_HOME}, 0, L"ab\rcde\rf", 3},
        {"End goes before the line break", L"ab\rcde\rf", 4, 4, {VK_END}, 0, L"ab\rcde\rf", 6},
        {"Ctrl keys type nothing", L"ab", 2, 2, {'H', VK_BACK, VK_LEFT}, VK_CONTROL, L"ab", 2},
        {"Alt keys type nothing", L"ab", 2, 2, {'H', VK_RETURN}, VK_MENU, L"ab", 2},
        {"Escape and F9 type nothing", L"ab", 2, 2, {VK_ESCAPE, VK_F9}, 0, L"ab", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake_tsf::FakeHost host;  // no service: every key is the application's
        auto document = host.NewDocument(c.text);
        document->MoveSelection(c.start, c.end);
        host.Focus(document.Get());
        if (c.held != 0) host.keyboard.Down(c.held);
        for (const WPARAM vk : c.keys) EXPECT_FALSE(host.keyboard.Type(vk).eaten);
        if (c.held != 0) host.keyboard.Up(c.held);
        host.keyboard.Reset();
        EXPECT_EQ(document->Text(), c.typed);
        EXPECT_EQ(document->Selection().start, c.caret);
        EXPECT_EQ(document->Selection().end, c.caret);
    }
}

TEST(FakeApplication, ItsTextJoinsNoCompositionAndEditingOneEndsItFirst) {
    auto context = Make<FakeContext>();
    context->SetDocument(L"ab", 2);
    auto sink = Make<fake_tsf::CountingCompositionSink>();
    auto composition = StartComposition(context.Get(), 2, L"cd", sink.Get());
    ASSERT_TRUE(composition);
    const FakeComposition& open = *context->Compositions().front().Get();

    context->MoveSelection(4, 4);  // at its end
    context->ApplicationKey('X', L'x');
    context->MoveSelection(2, 2);  // at its start
    context->ApplicationKey('Y', L'y');
    EXPECT_EQ(context->Text(), L"abycdx");
    EXPECT_EQ(open.Position().start, 3);
    EXPECT_EQ(open.Position().end, 5);
    context->ApplicationKey(VK_BACK, 0);  // the character before the composition
    EXPECT_EQ(open.Position().start, 2);
    EXPECT_EQ(sink->terminated, 0);

    context->MoveSelection(3, 3);  // inside it: the application ends it, then types
    context->ApplicationKey('Z', L'z');
    EXPECT_EQ(sink->terminated, 1);
    EXPECT_TRUE(context->Compositions().empty());
    EXPECT_EQ(context->Text(), L"abczdx");

    auto second = StartComposition(context.Get(), 0, L"q");
    context->MoveSelection(1, 1);  // Backspace at its end deletes its own text
    context->ApplicationKey(VK_BACK, 0);
    EXPECT_TRUE(context->Compositions().empty());
    EXPECT_EQ(context->Text(), L"abczdx");
}

TEST(FakeApplication, KeepsTheCaretBeforeInsertedTextWhenSwitchedTo) {
    for (const bool before : {false, true}) {
        auto context = Make<FakeContext>();
        context->SetDocument(L"abc", 3);
        context->caretBeforeInsertedText = before;
        InSession(context.Get(), [&](TfEditCookie ec) {
            return context->InsertTextAtSelection(ec, TF_IAS_NOQUERY, L"de", 2, nullptr);
        });
        EXPECT_EQ(context->Text(), L"abcde");
        EXPECT_EQ(context->Selection().start, before ? 3 : 5);
        EXPECT_EQ(context->Selection().end, before ? 3 : 5);
    }
}

TEST(FakeApplication, EndsAnyLiveCompositionAlsoOneItsServiceDropped) {
    auto context = Make<FakeContext>();
    auto sink = Make<fake_tsf::CountingCompositionSink>();
    auto older = StartComposition(context.Get(), 0, L"a", sink.Get());
    auto newer = StartComposition(context.Get(), 1, L"b", sink.Get());
    auto* olderFake = context->Compositions().front().Get();
    auto* newerFake = context->Compositions().back().Get();
    EXPECT_EQ(context->TerminateComposition(olderFake), S_OK);
    EXPECT_TRUE(olderFake->Ended());
    EXPECT_TRUE(olderFake->EndedByApplication());
    EXPECT_FALSE(newerFake->Ended());
    EXPECT_EQ(context->TerminateComposition(olderFake), S_FALSE);  // dead already
    EXPECT_EQ(sink->terminated, 1);
    EXPECT_EQ(context->TerminateComposition(), S_OK);  // the newest
    EXPECT_TRUE(newerFake->Ended());
    EXPECT_EQ(sink->terminated, 2);
}

TEST(FakeFailureSwitches, EachSwitchedCallFailsWithItsResultAndChangesNothing) {
    struct Case {
        const char* name;
        HRESULT fake_tsf::FailureSwitches::*switched;
        HRESULT result;
        // The call in a write session over "ab" with a composition over "cd" after it.
        std::function<HRESULT(FakeContext&, ITfComposition*, TfEditCookie)> call;
    };
    const auto attribute = [](FakeContext& context, ITfComposition*, TfEditCookie ec) {
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_I4;
        value.lVal = 7;
        return context.AttributeProperty().SetValue(ec, RangeOf(&context, 2, 4).Get(), &value);
    };
    const Case cases[] = {
        {"GetRange", &fake_tsf::FailureSwitches::compositionGetRange, E_FAIL,
         [](FakeContext&, ITfComposition* composition, TfEditCookie) {
             ComPtr<ITfRange> range;
             const HRESULT hr = composition->GetRange(range.Put());
             EXPECT_EQ(static_cast<bool>(range), SUCCEEDED(hr));
             return hr;
         }},
        {"SetText", &fake_tsf::FailureSwitches::rangeSetText, TS_E_READONLY,
         [](FakeContext& context, ITfComposition*, TfEditCookie ec) {
             return RangeOf(&context, 2, 4)->SetText(ec, 0, L"xy", 2);
         }},
        {"SetSelection", &fake_tsf::FailureSwitches::setSelection, E_INVALIDARG,
         [](FakeContext& context, ITfComposition*, TfEditCookie ec) {
             auto at = RangeOf(&context, 1, 1);
             TF_SELECTION selection{};
             selection.range = at.Get();
             return context.SetSelection(ec, 1, &selection);
         }},
        {"EndComposition", &fake_tsf::FailureSwitches::endComposition, E_UNEXPECTED,
         [](FakeContext&, ITfComposition* composition, TfEditCookie ec) {
             return composition->EndComposition(ec);
         }},
        {"GetProperty", &fake_tsf::FailureSwitches::getProperty, E_OUTOFMEMORY,
         [](FakeContext& context, ITfComposition*, TfEditCookie) {
             ComPtr<ITfProperty> property;
             const HRESULT hr = context.GetProperty(GUID_PROP_ATTRIBUTE, property.Put());
             EXPECT_EQ(static_cast<bool>(property), SUCCEEDED(hr));
             return hr;
         }},
        {"SetValue", &fake_tsf::FailureSwitches::propertySetValue, E_INVALIDARG, attribute},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto context = Make<FakeContext>();
        context->SetDocument(L"ab", 2);
        auto composition = StartComposition(context.Get(), 2, L"cd");
        // One more, empty, for the application to end below.
        auto sink = Make<fake_tsf::CountingCompositionSink>();
        StartComposition(context.Get(), 0, L"", sink.Get());
        context->failures.*c.switched = c.result;
        EXPECT_EQ(InSession(context.Get(),
                            [&](TfEditCookie ec) {
                                return c.call(*context.Get(), composition.Get(), ec);
                            }),
                  c.result);
        EXPECT_EQ(context->Text(), L"abcd");
        EXPECT_EQ(context->Selection().end, 2);
        ASSERT_EQ(context->Compositions().size(), 2u);
        EXPECT_TRUE(context->AttributeProperty().Values().empty());
        // The switch fails the service's own sessions only: inside the application's
        // ending of another composition the same call works.
        HRESULT inTermination = E_FAIL;
        sink->whenTerminated = [&](TfEditCookie ec, ITfComposition*) {
            inTermination = c.call(*context.Get(), composition.Get(), ec);
        };
        ASSERT_EQ(context->TerminateComposition(context->Compositions().back().Get()), S_OK);
        EXPECT_EQ(sink->terminated, 1);
        EXPECT_EQ(inTermination, S_OK);
        // Switched back, the same call works in a session too.
        context->failures.*c.switched = S_OK;
        if (context->Compositions().empty()) continue;  // ended inside the termination
        EXPECT_EQ(InSession(context.Get(),
                            [&](TfEditCookie ec) {
                                return c.call(*context.Get(), composition.Get(), ec);
                            }),
                  S_OK);
    }
}

TEST(FakeEditSessions, AHeldQueueRunsNothingUntilTheTestLetsItGo) {
    fake_tsf::FakeHost host;
    auto document = host.NewDocument();
    std::vector<int> order;
    auto queued = fake_tsf::Session([&](TfEditCookie) {
        order.push_back(1);
        return S_OK;
    });
    document->holdQueue = true;
    HRESULT result = E_FAIL;
    ASSERT_EQ(document->RequestEditSession(Client, queued.Get(), AsyncWrite, &result), S_OK);
    EXPECT_EQ(result, TF_S_ASYNC);
    document->RunPendingSessions();
    host.RunPendingSessions();
    EXPECT_TRUE(order.empty());
    // A synchronous session during a key still runs at once.
    EXPECT_EQ(fake_tsf::InSession(document.Get(), Client, SyncWrite,
                                  [&](TfEditCookie) {
                                      order.push_back(2);
                                      return S_OK;
                                  }),
              S_OK);
    EXPECT_EQ(document->PendingSessions(), 1u);
    document->ReleaseQueue();
    EXPECT_EQ(order, (std::vector<int>{2, 1}));
    EXPECT_EQ(document->PendingSessions(), 0u);
    EXPECT_TRUE(document->Sessions()[0].ran);
}

}  // namespace
