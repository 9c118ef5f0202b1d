// The fake TSF itself: every key-handling test reads the document through it, so it must
// refuse what Windows refuses and answer as Windows answers.

#include <gtest/gtest.h>
#include <olectl.h>
#include <windows.h>

#include <string>
#include <vector>

#include "com_object.h"
#include "com_ptr.h"
#include "fake_tsf/attribute_check.h"
#include "fake_tsf/fake_context.h"
#include "fake_tsf/fake_host.h"
#include "fake_tsf/fake_thread_mgr.h"
#include "fake_tsf/key_delivery.h"
#include "fake_tsf/test_sessions.h"
#include "fake_tsf/text_buffer.h"

namespace {

using fake_tsf::FakeComposition;
using fake_tsf::FakeContext;
using fake_tsf::Make;
using fake_tsf::RangeOf;
using fake_tsf::Session;
using fake_tsf::SessionRecord;
using fake_tsf::Span;
using fake_tsf::SyncGrant;
using fake_tsf::TextBuffer;

constexpr TfClientId Client = 3;
constexpr DWORD SyncWrite = TF_ES_SYNC | TF_ES_READWRITE;
constexpr DWORD SyncRead = TF_ES_SYNC | TF_ES_READ;
constexpr DWORD AsyncWrite = TF_ES_ASYNC | TF_ES_READWRITE;
constexpr DWORD DontCareWrite = TF_ES_ASYNCDONTCARE | TF_ES_READWRITE;

HRESULT InSession(FakeContext* context, DWORD flags, std::function<HRESULT(TfEditCookie)> body) {
    return fake_tsf::InSession(context, Client, flags, std::move(body));
}

VARIANT I4(LONG value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

TEST(FakeTextBuffer, AnchorsFollowEditsWithStartBackwardAndEndForwardGravity) {
    struct Case {
        const char* name;
        Span edited;
        std::wstring replacement;
        Span watched;
        Span expected;
    };
    // Document "abcdef" throughout.
    const Case cases[] = {
        {"insert at a collapsed range's place grows it", {3, 3}, L"XY", {3, 3}, {3, 5}},
        {"insert at a range's end grows it", {3, 3}, L"XY", {1, 3}, {1, 5}},
        {"insert at a range's start joins it", {1, 1}, L"XY", {1, 3}, {1, 5}},
        {"edit before shifts", {0, 1}, L"XYZ", {2, 4}, {4, 6}},
        {"edit after leaves", {5, 6}, L"", {1, 3}, {1, 3}},
        {"range inside a replaced part covers the new text", {1, 5}, L"Q", {2, 3}, {1, 2}},
        {"replaced part inside the range resizes it", {2, 3}, L"", {1, 5}, {1, 4}},
        {"caret stays before text inserted at it",
         {3, 3},
         L"XY",
         {3, 3, fake_tsf::Gravity::Selection},
         {3, 3}},
        {"caret after an edit shifts",
         {1, 2},
         L"XYZ",
         {4, 4, fake_tsf::Gravity::Selection},
         {6, 6}},
        {"caret inside a replaced part goes to its start",
         {1, 5},
         L"Q",
         {3, 3, fake_tsf::Gravity::Selection},
         {1, 1}},
        {"caret at a replaced part's end follows it",
         {1, 3},
         L"",
         {3, 3, fake_tsf::Gravity::Selection},
         {1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextBuffer buffer;
        auto all = buffer.Track(0, 0);
        buffer.Replace(*all, L"abcdef");
        auto watched = buffer.Track(c.watched.start, c.watched.end, c.watched.gravity);
        auto edited = buffer.Track(c.edited.start, c.edited.end);
        buffer.Replace(*edited, c.replacement);
        EXPECT_EQ(watched->start, c.expected.start);
        EXPECT_EQ(watched->end, c.expected.end);
        EXPECT_EQ(buffer.TextOf(*edited), c.replacement);
    }
}

TEST(FakeEditSessions, RequestResultsFollowTheDocumentedRules) {
    struct Case {
        const char* name;
        DWORD flags;
        bool duringKey;
        SyncGrant grant;
        bool readOnly;
        HRESULT call;
        HRESULT session;  // E_PENDING: left as it was
        bool ranNow;
        bool queued;
    };
    const HRESULT done = S_FALSE;  // what the session itself returns
    const Case cases[] = {
        {"sync while a key is delivered runs now", SyncWrite, true, SyncGrant::WhileKeyDelivered,
         false, S_OK, done, true, false},
        {"sync at other times is refused in the session result", SyncWrite, false,
         SyncGrant::WhileKeyDelivered, false, S_OK, TF_E_SYNCHRONOUS, false, false},
        {"sync at other times granted by the switch", SyncWrite, false, SyncGrant::Always, false,
         S_OK, done, true, false},
        {"a refusing document refuses during keys too", SyncWrite, true, SyncGrant::Never, false,
         S_OK, TF_E_SYNCHRONOUS, false, false},
        {"async is queued", AsyncWrite, true, SyncGrant::WhileKeyDelivered, false, S_OK, TF_S_ASYNC,
         false, true},
        {"don't-care runs now when it can", DontCareWrite, true, SyncGrant::WhileKeyDelivered,
         false, S_OK, done, true, false},
        {"don't-care is queued otherwise", DontCareWrite, false, SyncGrant::WhileKeyDelivered,
         false, S_OK, TF_S_ASYNC, false, true},
        {"no read bit", TF_ES_SYNC, true, SyncGrant::WhileKeyDelivered, false, E_INVALIDARG,
         E_PENDING, false, false},
        {"sync with async", TF_ES_SYNC | TF_ES_ASYNC | TF_ES_READWRITE, true,
         SyncGrant::WhileKeyDelivered, false, E_INVALIDARG, E_PENDING, false, false},
        {"unknown flag", SyncWrite | 0x10, true, SyncGrant::WhileKeyDelivered, false, E_INVALIDARG,
         E_PENDING, false, false},
        {"write on a read-only document", SyncWrite, true, SyncGrant::WhileKeyDelivered, true, S_OK,
         TS_E_READONLY, false, false},
        {"async write on a read-only document", AsyncWrite, true, SyncGrant::WhileKeyDelivered,
         true, S_OK, TS_E_READONLY, false, false},
        {"read on a read-only document", SyncRead, true, SyncGrant::WhileKeyDelivered, true, S_OK,
         done, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto context = Make<FakeContext>();
        context->syncGrant = c.grant;
        context->readOnly = c.readOnly;
        auto session = Session([](TfEditCookie) { return S_FALSE; });
        HRESULT result = E_PENDING;
        HRESULT call = E_FAIL;
        if (c.duringKey) {
            fake_tsf::KeyDeliveryScope key;
            call = context->RequestEditSession(Client, session.Get(), c.flags, &result);
        } else {
            call = context->RequestEditSession(Client, session.Get(), c.flags, &result);
        }
        EXPECT_EQ(call, c.call);
        EXPECT_EQ(result, c.session);
        EXPECT_EQ(session->runs, c.ranNow ? 1 : 0);
        EXPECT_EQ(context->PendingSessions(), c.queued ? 1u : 0u);
        ASSERT_EQ(context->Sessions().size(), 1u);
        const SessionRecord& record = context->Sessions()[0];
        EXPECT_EQ(record.clientId, Client);
        EXPECT_EQ(record.flags, c.flags);
        EXPECT_EQ(record.callResult, c.call);
        EXPECT_EQ(record.sessionResult, c.session);
        EXPECT_EQ(record.duringKey, c.duringKey);
        EXPECT_EQ(record.ran, c.ranNow);
        EXPECT_EQ(record.queued, c.queued);

        context->RunPendingSessions();
        EXPECT_EQ(session->runs, c.ranNow || c.queued ? 1 : 0);
        EXPECT_EQ(context->Sessions()[0].ran, c.ranNow || c.queued);
    }
}

TEST(FakeEditSessions, MissingArgumentsAndADisconnectedDocumentFailTheCall) {
    auto context = Make<FakeContext>();
    auto session = Session([](TfEditCookie) { return S_OK; });
    HRESULT result = E_PENDING;
    fake_tsf::KeyDeliveryScope key;
    EXPECT_EQ(context->RequestEditSession(Client, nullptr, SyncWrite, &result), E_INVALIDARG);
    EXPECT_EQ(context->RequestEditSession(Client, session.Get(), SyncWrite, nullptr), E_INVALIDARG);
    context->DetachFromStack();
    EXPECT_EQ(context->RequestEditSession(Client, session.Get(), SyncWrite, &result),
              TF_E_DISCONNECTED);
    EXPECT_EQ(result, E_PENDING);
    EXPECT_EQ(session->runs, 0);
    EXPECT_EQ(context->Sessions().size(), 3u);
}

TEST(FakeEditSessions, ADocumentTakenOffItsStackDropsItsQueuedSessions) {
    fake_tsf::FakeHost host;
    auto document = host.NewDocument();
    auto session = Session([](TfEditCookie) { return S_OK; });
    HRESULT result = E_PENDING;
    document->RequestEditSession(Client, session.Get(), AsyncWrite, &result);
    EXPECT_EQ(fake_tsf::RefCount(session.Get()), 2u);
    ComPtr<ITfDocumentMgr> manager;
    ASSERT_EQ(document->GetDocumentMgr(manager.Put()), S_OK);
    EXPECT_EQ(manager->Pop(0), S_OK);
    EXPECT_EQ(document->PendingSessions(), 0u);
    EXPECT_EQ(fake_tsf::RefCount(session.Get()), 1u);
    EXPECT_EQ(session->runs, 0);
}

TEST(FakeEditSessions, NestedSessionsAreGrantedExceptAWriteInsideARead) {
    auto context = Make<FakeContext>();
    context->syncGrant = SyncGrant::Never;  // nesting is granted all the same
    std::vector<HRESULT> inner;
    auto write = Session([](TfEditCookie) { return S_OK; });
    auto read = Session([](TfEditCookie) { return S_OK; });
    auto queued = Session([](TfEditCookie) { return S_OK; });
    auto outer = Session([&](TfEditCookie outerCookie) {
        HRESULT r = E_PENDING;
        inner.push_back(context->RequestEditSession(Client, write.Get(), SyncWrite, &r));
        inner.push_back(r);
        inner.push_back(context->RequestEditSession(Client, read.Get(), SyncRead, &r));
        inner.push_back(r);
        EXPECT_NE(read->lastCookie, outerCookie);  // each session has its own cookie
        inner.push_back(context->RequestEditSession(Client, queued.Get(), AsyncWrite, &r));
        inner.push_back(r);
        // Another service cannot ask while this one holds the lock.
        inner.push_back(context->RequestEditSession(Client + 1, read.Get(), SyncRead, &r));
        return S_OK;
    });
    HRESULT result = E_PENDING;
    context->syncGrant = SyncGrant::Always;
    ASSERT_EQ(context->RequestEditSession(Client, outer.Get(), SyncRead, &result), S_OK);
    EXPECT_EQ(result, S_OK);
    const std::vector<HRESULT> expected{S_OK, TF_E_SYNCHRONOUS, S_OK,       S_OK,
                                        S_OK, TF_S_ASYNC,       TF_E_LOCKED};
    EXPECT_EQ(inner, expected);
    EXPECT_EQ(write->runs, 0);
    EXPECT_EQ(read->runs, 1);
    EXPECT_TRUE(context->Sessions()[1].nested);
    EXPECT_EQ(queued->runs, 0);
    context->RunPendingSessions();
    EXPECT_EQ(queued->runs, 1);
}

TEST(FakeEditSessions, QueuedSessionsRunInOrderAndASynchronousOneGoesFirst) {
    auto context = Make<FakeContext>();
    std::string order;
    auto first = Session([&](TfEditCookie) {
        order += 'a';
        return S_OK;
    });
    auto second = Session([&](TfEditCookie) {
        order += 'b';
        return S_OK;
    });
    auto now = Session([&](TfEditCookie) {
        order += 's';
        return S_OK;
    });
    HRESULT result = E_PENDING;
    context->RequestEditSession(Client, first.Get(), AsyncWrite, &result);
    context->RequestEditSession(Client, second.Get(), AsyncWrite, &result);
    {
        fake_tsf::KeyDeliveryScope key;
        context->RequestEditSession(Client, now.Get(), SyncWrite, &result);
    }
    EXPECT_EQ(order, "s");
    context->RunPendingSessions();
    EXPECT_EQ(order, "sab");
    EXPECT_EQ(context->Sessions()[0].doResult, S_OK);
}

// Every call that takes an edit cookie, with the access it needs.
struct CookieCall {
    const char* name;
    bool needsWrite;
    std::function<HRESULT(FakeContext*, TfEditCookie)> call;
};

std::vector<CookieCall> CookieCalls() {
    return {
        {"GetText", false,
         [](FakeContext* c, TfEditCookie ec) {
             WCHAR text[8];
             ULONG length = 0;
             return RangeOf(c, 0, 2)->GetText(ec, 0, text, 8, &length);
         }},
        {"IsEmpty", false,
         [](FakeContext* c, TfEditCookie ec) {
             WINBOOL empty;
             return RangeOf(c, 0, 2)->IsEmpty(ec, &empty);
         }},
        {"Collapse", false,
         [](FakeContext* c, TfEditCookie ec) {
             return RangeOf(c, 0, 2)->Collapse(ec, TF_ANCHOR_END);
         }},
        {"ShiftStart", false,
         [](FakeContext* c, TfEditCookie ec) {
             LONG moved;
             return RangeOf(c, 0, 2)->ShiftStart(ec, 1, &moved, nullptr);
         }},
        {"GetSelection", false,
         [](FakeContext* c, TfEditCookie ec) {
             TF_SELECTION selection{};
             ULONG fetched = 0;
             const HRESULT hr = c->GetSelection(ec, TF_DEFAULT_SELECTION, 1, &selection, &fetched);
             if (selection.range != nullptr) selection.range->Release();
             return hr;
         }},
        {"InsertTextAtSelection query", false,
         [](FakeContext* c, TfEditCookie ec) {
             ComPtr<ITfRange> range;
             return c->InsertTextAtSelection(ec, TF_IAS_QUERYONLY, nullptr, 0, range.Put());
         }},
        {"GetTextExt", false,
         [](FakeContext* c, TfEditCookie ec) {
             RECT rect;
             WINBOOL clipped;
             return c->View().GetTextExt(ec, RangeOf(c, 0, 1).Get(), &rect, &clipped);
         }},
        {"SetText", true,
         [](FakeContext* c, TfEditCookie ec) { return RangeOf(c, 0, 1)->SetText(ec, 0, L"x", 1); }},
        {"SetSelection", true,
         [](FakeContext* c, TfEditCookie ec) {
             TF_SELECTION selection{};
             auto range = RangeOf(c, 1, 1);
             selection.range = range.Get();
             return c->SetSelection(ec, 1, &selection);
         }},
        {"InsertTextAtSelection", true,
         [](FakeContext* c, TfEditCookie ec) {
             return c->InsertTextAtSelection(ec, TF_IAS_NOQUERY, L"x", 1, nullptr);
         }},
        {"StartComposition", true,
         [](FakeContext* c, TfEditCookie ec) {
             ComPtr<ITfComposition> composition;
             return c->StartComposition(ec, RangeOf(c, 0, 0).Get(), nullptr, composition.Put());
         }},
        {"SetValue", true,
         [](FakeContext* c, TfEditCookie ec) {
             VARIANT v = I4(5);
             return c->AttributeProperty().SetValue(ec, RangeOf(c, 0, 1).Get(), &v);
         }},
        {"Clear", true,
         [](FakeContext* c, TfEditCookie ec) {
             return c->AttributeProperty().Clear(ec, RangeOf(c, 0, 1).Get());
         }},
    };
}

TEST(FakeEditSessions, CookiesWorkOnlyInsideTheirSessionAndReadCookiesCannotWrite) {
    for (const CookieCall& c : CookieCalls()) {
        SCOPED_TRACE(c.name);
        auto context = Make<FakeContext>();
        context->SetDocument(L"abc", 3);
        TfEditCookie kept = 0;
        HRESULT inWrite = E_PENDING;
        HRESULT inRead = E_PENDING;
        InSession(context.Get(), SyncWrite, [&](TfEditCookie ec) {
            kept = ec;
            inWrite = c.call(context.Get(), ec);
            return S_OK;
        });
        InSession(context.Get(), SyncRead, [&](TfEditCookie ec) {
            inRead = c.call(context.Get(), ec);
            return S_OK;
        });
        EXPECT_EQ(inWrite, S_OK);
        EXPECT_EQ(inRead, c.needsWrite ? TF_E_NOLOCK : S_OK);
        EXPECT_EQ(c.call(context.Get(), kept), TF_E_NOLOCK);
        EXPECT_EQ(c.call(context.Get(), 0), TF_E_NOLOCK);
        // A cookie of another context's running session opens nothing here.
        auto other = Make<FakeContext>();
        HRESULT foreign = E_PENDING;
        InSession(other.Get(), SyncWrite, [&](TfEditCookie ec) {
            foreign = c.call(context.Get(), ec);
            return S_OK;
        });
        EXPECT_EQ(foreign, TF_E_NOLOCK);
    }
}

TEST(FakeProperty, WritingTextDropsTheValueOverItAndClearingPartKeepsTheRest) {
    struct Case {
        const char* name;
        Span edited;   // replaced by "XY"; an empty span: no edit
        Span cleared;  // cleared afterwards; an empty span: nothing cleared
        std::vector<fake_tsf::PropertyValue> expected;
    };
    // "abcdefgh" with the value 7 over [2, 6).
    const Case cases[] = {
        {"no edit keeps it", {0, 0}, {0, 0}, {{2, 6, VT_I4, 7}}},
        {"replacing all of it drops it", {2, 6}, {0, 0}, {}},
        {"replacing part of it keeps the sides",
         {3, 4},
         {0, 0},
         {{2, 3, VT_I4, 7}, {5, 7, VT_I4, 7}}},
        {"inserting inside splits it", {4, 4}, {0, 0}, {{2, 4, VT_I4, 7}, {6, 8, VT_I4, 7}}},
        {"inserting at its end leaves the new text out", {6, 6}, {0, 0}, {{2, 6, VT_I4, 7}}},
        {"inserting at its start leaves the new text out", {2, 2}, {0, 0}, {{4, 8, VT_I4, 7}}},
        {"an edit before shifts it", {0, 1}, {0, 0}, {{3, 7, VT_I4, 7}}},
        {"clearing the middle keeps both ends",
         {0, 0},
         {3, 5},
         {{2, 3, VT_I4, 7}, {5, 6, VT_I4, 7}}},
        {"clearing a side keeps the rest", {0, 0}, {0, 4}, {{4, 6, VT_I4, 7}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto context = Make<FakeContext>();
        context->SetDocument(L"abcdefgh", 0);
        InSession(context.Get(), SyncWrite, [&](TfEditCookie ec) {
            VARIANT v = I4(7);
            EXPECT_EQ(
                context->AttributeProperty().SetValue(ec, RangeOf(context.Get(), 2, 6).Get(), &v),
                S_OK);
            if (c.edited.start != 0 || c.edited.end != 0) {
                EXPECT_EQ(
                    RangeOf(context.Get(), c.edited.start, c.edited.end)->SetText(ec, 0, L"XY", 2),
                    S_OK);
            }
            if (c.cleared.start != c.cleared.end) {
                EXPECT_EQ(context->AttributeProperty().Clear(
                              ec, RangeOf(context.Get(), c.cleared.start, c.cleared.end).Get()),
                          S_OK);
            }
            return S_OK;
        });
        const auto& values = context->AttributeProperty().Values();
        ASSERT_EQ(values.size(), c.expected.size());
        for (std::size_t i = 0; i < values.size(); ++i) {
            EXPECT_EQ(values[i].start, c.expected[i].start);
            EXPECT_EQ(values[i].end, c.expected[i].end);
            EXPECT_EQ(values[i].value, 7);
        }
    }
}

TEST(FakeProperty, OnlyAnAtomIsStoredAndTheCheckSeesExactlyWhereItIs) {
    auto context = Make<FakeContext>();
    context->SetDocument(L"abcdef", 0);
    InSession(context.Get(), SyncWrite, [&](TfEditCookie ec) {
        VARIANT text;
        VariantInit(&text);
        text.vt = VT_BSTR;
        text.bstrVal = nullptr;
        auto range = RangeOf(context.Get(), 1, 3);
        EXPECT_EQ(context->AttributeProperty().SetValue(ec, range.Get(), &text), E_INVALIDARG);
        EXPECT_EQ(context->AttributeProperty().SetValue(ec, range.Get(), nullptr), E_INVALIDARG);
        VARIANT atom = I4(42);
        EXPECT_EQ(context->AttributeProperty().SetValue(ec, range.Get(), &atom), S_OK);
        VARIANT read;
        EXPECT_EQ(context->AttributeProperty().GetValue(ec, range.Get(), &read), S_OK);
        EXPECT_EQ(read.vt, VT_I4);
        EXPECT_EQ(read.lVal, 42);
        return S_OK;
    });
    EXPECT_TRUE(fake_tsf::AttributeCoversExactly(*context.Get(), 1, 3, 42));
    EXPECT_FALSE(fake_tsf::AttributeCoversExactly(*context.Get(), 1, 3, 43));
    EXPECT_FALSE(fake_tsf::AttributeCoversExactly(*context.Get(), 1, 4, 42));
    EXPECT_FALSE(fake_tsf::AttributeCoversExactly(*context.Get(), 2, 3, 42));
    EXPECT_FALSE(fake_tsf::NoAttribute(*context.Get()));
    InSession(context.Get(), SyncWrite, [&](TfEditCookie ec) {
        return context->AttributeProperty().Clear(ec, nullptr);  // the whole document
    });
    EXPECT_TRUE(fake_tsf::NoAttribute(*context.Get()));
}

TEST(FakeComposition, TheApplicationEndsACompositionWithAWriteCookieAndItIsDeadAfterwards) {
    auto context = Make<FakeContext>();
    context->SetDocument(L"ab", 2);
    auto sink = Make<fake_tsf::CountingCompositionSink>();
    const ULONG sinkRefs = fake_tsf::RefCount(sink.Get());
    ComPtr<ITfComposition> composition;
    InSession(context.Get(), SyncWrite, [&](TfEditCookie ec) {
        auto at = RangeOf(context.Get(), 2, 2);
        EXPECT_EQ(context->StartComposition(ec, at.Get(), sink.Get(), composition.Put()), S_OK);
        ComPtr<ITfRange> range;
        composition->GetRange(range.Put());
        return range->SetText(ec, 0, L"cd", 2);
    });
    ASSERT_TRUE(composition);
    EXPECT_EQ(fake_tsf::RefCount(sink.Get()), sinkRefs + 1);

    // The sink may still read and write through the cookie it is given.
    HRESULT writeInCallback = E_PENDING;
    sink->whenTerminated = [&](TfEditCookie ec, ITfComposition* ending) {
        EXPECT_EQ(ending, composition.Get());
        ComPtr<ITfRange> range;
        EXPECT_EQ(ending->GetRange(range.Put()), S_OK);
        writeInCallback = range->SetText(ec, 0, L"CD", 2);
        EXPECT_EQ(ending->EndComposition(ec), E_UNEXPECTED);
    };
    EXPECT_EQ(context->TerminateComposition(), S_OK);
    EXPECT_EQ(sink->terminated, 1);
    EXPECT_EQ(writeInCallback, S_OK);
    EXPECT_EQ(context->Text(), L"abCD");  // the text stays
    EXPECT_TRUE(context->Compositions().empty());
    sink->whenTerminated = nullptr;
    EXPECT_EQ(fake_tsf::RefCount(sink.Get()), sinkRefs);  // released

    ComPtr<ITfRange> range;
    EXPECT_EQ(composition->GetRange(range.Put()), E_UNEXPECTED);
    InSession(context.Get(), SyncWrite, [&](TfEditCookie ec) {
        EXPECT_EQ(composition->EndComposition(ec), E_UNEXPECTED);
        EXPECT_EQ(composition->ShiftEnd(ec, RangeOf(context.Get(), 0, 4).Get()), E_UNEXPECTED);
        return S_OK;
    });
    EXPECT_EQ(context->TerminateComposition(), S_FALSE);  // none left
    EXPECT_EQ(sink->cookie != 0, true);
    // The cookie died with the callback.
    EXPECT_FALSE(context->CanRead(sink->cookie));
}

TEST(FakeComposition, CannotBeEndedByTheApplicationWhileASessionRuns) {
    auto context = Make<FakeContext>();
    ComPtr<ITfComposition> composition;
    HRESULT during = E_PENDING;
    InSession(context.Get(), SyncWrite, [&](TfEditCookie ec) {
        context->StartComposition(ec, RangeOf(context.Get(), 0, 0).Get(), nullptr,
                                  composition.Put());
        during = context->TerminateComposition();
        return S_OK;
    });
    EXPECT_EQ(during, TF_E_LOCKED);
    EXPECT_EQ(context->Compositions().size(), 1u);
}

TEST(FakeComposition, StartAndEndFollowTheDocumentedResults) {
    auto context = Make<FakeContext>();
    auto other = Make<FakeContext>();
    auto sink = Make<fake_tsf::CountingCompositionSink>();
    const ULONG sinkRefs = fake_tsf::RefCount(sink.Get());
    InSession(context.Get(), SyncWrite, [&](TfEditCookie ec) {
        auto here = RangeOf(context.Get(), 0, 0);
        ComPtr<ITfComposition> composition;
        EXPECT_EQ(context->StartComposition(ec, here.Get(), sink.Get(), nullptr), E_INVALIDARG);
        EXPECT_EQ(context->StartComposition(ec, nullptr, sink.Get(), composition.Put()),
                  E_INVALIDARG);
        EXPECT_EQ(context->StartComposition(ec, RangeOf(other.Get(), 0, 0).Get(), sink.Get(),
                                            composition.Put()),
                  E_INVALIDARG);
        context->refuseComposition = true;
        EXPECT_EQ(context->StartComposition(ec, here.Get(), sink.Get(), composition.Put()), S_OK);
        EXPECT_FALSE(composition);
        context->refuseComposition = false;
        EXPECT_EQ(context->StartComposition(ec, here.Get(), sink.Get(), composition.Put()), S_OK);
        EXPECT_EQ(composition->EndComposition(ec), S_OK);  // the service's own end
        EXPECT_EQ(sink->terminated, 0);
        EXPECT_EQ(composition->EndComposition(ec), E_UNEXPECTED);
        context->DetachFromStack();
        EXPECT_EQ(context->StartComposition(ec, here.Get(), sink.Get(), composition.Put()),
                  TF_E_DISCONNECTED);
        return S_OK;
    });
    EXPECT_EQ(fake_tsf::RefCount(sink.Get()), sinkRefs);
}

TEST(FakeRange, RangesOfAnotherContextAreRefusedAndPositionsClamped) {
    auto context = Make<FakeContext>();
    auto other = Make<FakeContext>();
    context->SetDocument(L"abcd", 0);
    InSession(context.Get(), SyncWrite, [&](TfEditCookie ec) {
        auto foreign = RangeOf(other.Get(), 0, 0);
        auto own = RangeOf(context.Get(), 1, 2);
        TF_SELECTION selection{};
        selection.range = foreign.Get();
        EXPECT_EQ(context->SetSelection(ec, 1, &selection), E_INVALIDARG);
        VARIANT v = I4(1);
        EXPECT_EQ(context->AttributeProperty().SetValue(ec, foreign.Get(), &v), E_INVALIDARG);
        EXPECT_EQ(context->AttributeProperty().Clear(ec, foreign.Get()), E_INVALIDARG);
        RECT rect;
        WINBOOL clipped;
        EXPECT_EQ(context->View().GetTextExt(ec, foreign.Get(), &rect, &clipped), E_INVALIDARG);
        LONG order;
        EXPECT_EQ(own->CompareStart(ec, foreign.Get(), TF_ANCHOR_START, &order), E_INVALIDARG);
        EXPECT_EQ(own->ShiftEndToRange(ec, foreign.Get(), TF_ANCHOR_END), E_INVALIDARG);

        LONG moved = 0;
        EXPECT_EQ(own->ShiftEnd(ec, 10, &moved, nullptr), S_OK);
        EXPECT_EQ(moved, 2);
        EXPECT_EQ(own->ShiftStart(ec, -10, &moved, nullptr), S_OK);
        EXPECT_EQ(moved, -1);
        auto beyond = RangeOf(context.Get(), -3, 99);
        WCHAR text[8];
        ULONG length = 0;
        EXPECT_EQ(beyond->GetText(ec, 0, text, 8, &length), S_OK);
        EXPECT_EQ(std::wstring(text, length), L"abcd");
        return S_OK;
    });
}

TEST(FakeSelection, OnlySetSelectionAndInsertionAtTheSelectionMoveTheCaret) {
    auto context = Make<FakeContext>();
    context->SetDocument(L"abc", 3);
    InSession(context.Get(), SyncWrite, [&](TfEditCookie ec) {
        // Text written at the caret through a range leaves the caret where it was.
        EXPECT_EQ(RangeOf(context.Get(), 3, 3)->SetText(ec, 0, L"de", 2), S_OK);
        EXPECT_EQ(context->Selection().start, 3);
        EXPECT_EQ(context->Selection().end, 3);
        auto after = RangeOf(context.Get(), 5, 5);
        TF_SELECTION selection{};
        selection.range = after.Get();
        selection.style.ase = TF_AE_NONE;
        EXPECT_EQ(context->SetSelection(ec, 1, &selection), S_OK);
        EXPECT_EQ(context->SetSelection(ec, 0, &selection), E_INVALIDARG);
        // The application puts its caret after text inserted at the selection.
        EXPECT_EQ(context->InsertTextAtSelection(ec, TF_IAS_NOQUERY, L"f", 1, nullptr), S_OK);
        return S_OK;
    });
    EXPECT_EQ(context->Text(), L"abcdef");
    EXPECT_EQ(context->Selection().start, 6);
    ASSERT_EQ(context->SelectionCalls().size(), 2u);
    EXPECT_EQ(context->SelectionCalls()[0].range.start, 5);
    EXPECT_EQ(context->SelectionCalls()[0].activeEnd, TF_AE_NONE);
    EXPECT_EQ(context->SelectionCalls()[0].result, S_OK);
    EXPECT_EQ(context->SelectionCalls()[1].result, E_INVALIDARG);
}

TEST(FakeInsertAtSelection, QueryOnlyChangesNothingAndWritingNeedsAWriteCookie) {
    auto context = Make<FakeContext>();
    context->SetDocument(L"abcd", 0);
    InSession(context.Get(), SyncWrite, [&](TfEditCookie ec) {
        auto selected = RangeOf(context.Get(), 1, 3);
        TF_SELECTION selection{};
        selection.range = selected.Get();
        context->SetSelection(ec, 1, &selection);
        VARIANT v = I4(9);
        context->AttributeProperty().SetValue(ec, RangeOf(context.Get(), 0, 4).Get(), &v);
        return S_OK;
    });
    InSession(context.Get(), SyncRead, [&](TfEditCookie ec) {
        ComPtr<ITfRange> range;
        EXPECT_EQ(context->InsertTextAtSelection(ec, TF_IAS_QUERYONLY, L"xyz", 3, range.Put()),
                  S_OK);
        auto* fake = context->OwnRange(range.Get());
        EXPECT_EQ(fake->Position().start, 1);
        EXPECT_EQ(fake->Position().end, 3);
        EXPECT_EQ(context->InsertTextAtSelection(ec, TF_IAS_QUERYONLY, nullptr, 0, nullptr),
                  E_INVALIDARG);
        EXPECT_EQ(context->InsertTextAtSelection(ec, TF_IAS_NOQUERY, L"x", 1, nullptr),
                  TF_E_NOLOCK);
        EXPECT_EQ(context->InsertTextAtSelection(ec, 0, L"x", 1, range.Put()), TF_E_NOLOCK);
        return S_OK;
    });
    EXPECT_EQ(context->Text(), L"abcd");
    InSession(context.Get(), SyncWrite, [&](TfEditCookie ec) {
        ComPtr<ITfRange> range;
        EXPECT_EQ(context->InsertTextAtSelection(ec, TF_IAS_QUERYONLY | TF_IAS_NOQUERY, L"x", 1,
                                                 range.Put()),
                  E_INVALIDARG);
        EXPECT_EQ(context->InsertTextAtSelection(ec, TF_IAS_NOQUERY, L"X", 1, range.Put()), S_OK);
        EXPECT_FALSE(range);  // NOQUERY gives no range even when asked
        EXPECT_EQ(context->InsertTextAtSelection(ec, 0, L"YZ", 2, nullptr), E_INVALIDARG);
        EXPECT_EQ(context->InsertTextAtSelection(ec, 0, L"YZ", 2, range.Put()), S_OK);
        EXPECT_EQ(context->OwnRange(range.Get())->Position().start, 2);
        EXPECT_EQ(context->OwnRange(range.Get())->Position().end, 4);
        context->hasSelection = false;
        EXPECT_EQ(context->InsertTextAtSelection(ec, TF_IAS_NOQUERY, L"x", 1, nullptr),
                  TS_E_NOSELECTION);
        return S_OK;
    });
    EXPECT_EQ(context->Text(), L"aXYZd");
    // The inserted text replaced the selection and carries no attribute.
    EXPECT_EQ(context->AttributeProperty().Values().size(), 2u);
    EXPECT_FALSE(context->AttributeProperty().ValueAt(1));
    EXPECT_TRUE(context->AttributeProperty().ValueAt(4));
}

TEST(FakeContextView, TextExtentIsTheCharactersOwnCells) {
    struct Case {
        const char* name;
        long firstVisible;
        long visibleCount;
        Span range;
        RECT expected;
        BOOL clipped;
    };
    // Cells 10 x 20 from (100, 200); document "abcdefghij".
    const Case cases[] = {
        {"two characters", 0, -1, {2, 4}, {120, 200, 140, 220}, FALSE},
        {"a caret is a zero-width rectangle", 0, -1, {3, 3}, {130, 200, 130, 220}, FALSE},
        {"scrolled out of view", 5, -1, {1, 3}, {0, 0, 0, 0}, TRUE},
        {"partly scrolled out", 5, -1, {3, 7}, {100, 200, 120, 220}, TRUE},
        {"past the visible cells", 0, 4, {6, 8}, {0, 0, 0, 0}, TRUE},
        {"scrolled range's own cells", 5, 3, {6, 7}, {110, 200, 120, 220}, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto context = Make<FakeContext>();
        context->SetDocument(L"abcdefghij", 0);
        context->View().layout.firstVisible = c.firstVisible;
        context->View().layout.visibleCount = c.visibleCount;
        InSession(context.Get(), SyncRead, [&](TfEditCookie ec) {
            RECT rect{1, 1, 1, 1};
            WINBOOL clipped = 2;
            EXPECT_EQ(
                context->View().GetTextExt(
                    ec, RangeOf(context.Get(), c.range.start, c.range.end).Get(), &rect, &clipped),
                S_OK);
            EXPECT_EQ(rect.left, c.expected.left);
            EXPECT_EQ(rect.top, c.expected.top);
            EXPECT_EQ(rect.right, c.expected.right);
            EXPECT_EQ(rect.bottom, c.expected.bottom);
            EXPECT_EQ(clipped, c.clipped);
            return S_OK;
        });
    }
    auto context = Make<FakeContext>();
    context->View().layout.laidOut = false;
    InSession(context.Get(), SyncRead, [&](TfEditCookie ec) {
        RECT rect;
        WINBOOL clipped;
        EXPECT_EQ(
            context->View().GetTextExt(ec, RangeOf(context.Get(), 0, 0).Get(), &rect, &clipped),
            TS_E_NOLAYOUT);
        return S_OK;
    });
}

// A key sink that records what it is called with and, when told, wants keys and asks
// for a synchronous session in OnKeyDown and OnSetFocus.
class RecordingKeySink final
    : public ComObject<RecordingKeySink, ModuleCount::NotCounted, ITfKeyEventSink> {
  public:
    RecordingKeySink() = default;

    HRESULT STDMETHODCALLTYPE OnSetFocus(BOOL foreground) override {
        calls.push_back(foreground ? "focus+" : "focus-");
        focusSessionResult = RequestSession(lastContext.Get());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnTestKeyDown(ITfContext* context, WPARAM vk, LPARAM,
                                            BOOL* eaten) override {
        calls.push_back("testdown " + std::to_string(vk));
        *eaten = wanted;
        lastContext = ComPtr<ITfContext>(context);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnTestKeyUp(ITfContext*, WPARAM vk, LPARAM, BOOL* eaten) override {
        calls.push_back("testup " + std::to_string(vk));
        *eaten = wanted;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnKeyDown(ITfContext* context, WPARAM vk, LPARAM lParam,
                                        BOOL* eaten) override {
        calls.push_back("down " + std::to_string(vk));
        lastLParam = lParam;
        shiftDown = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        capsOn = (GetKeyState(VK_CAPITAL) & 1) != 0;
        keySessionResult = RequestSession(context);
        *eaten = TRUE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnKeyUp(ITfContext*, WPARAM vk, LPARAM, BOOL* eaten) override {
        calls.push_back("up " + std::to_string(vk));
        *eaten = TRUE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnPreservedKey(ITfContext*, REFGUID, BOOL* eaten) override {
        *eaten = FALSE;
        return S_OK;
    }
    void* FindInterface(REFIID iid) noexcept {
        return OwnInterface(iid, IID_ITfKeyEventSink, static_cast<ITfKeyEventSink*>(this));
    }

    bool wanted = true;
    std::vector<std::string> calls;
    HRESULT keySessionResult = E_PENDING;
    HRESULT focusSessionResult = E_PENDING;
    LPARAM lastLParam = 0;
    bool shiftDown = false;
    bool capsOn = false;
    ComPtr<ITfContext> lastContext;

  private:
    ~RecordingKeySink() override = default;

    static HRESULT RequestSession(ITfContext* context) {
        if (context == nullptr) return E_PENDING;
        auto session = Session([](TfEditCookie) { return S_OK; });
        HRESULT result = E_PENDING;
        const HRESULT call = context->RequestEditSession(Client, session.Get(), SyncWrite, &result);
        return FAILED(call) ? call : result;
    }
};

TEST(FakeKeystrokeMgr, EachCallReachesOnlyItsOwnSinkMethodAndNoSinkMeansSFalse) {
    auto threadMgr = Make<fake_tsf::FakeThreadMgr>();
    ITfKeystrokeMgr* keys = threadMgr.Get();
    BOOL eaten = TRUE;
    EXPECT_EQ(keys->KeyDown('A', 0, &eaten), S_FALSE);
    EXPECT_FALSE(eaten);
    EXPECT_EQ(keys->TestKeyDown('A', 0, nullptr), E_INVALIDARG);

    auto sink = Make<RecordingKeySink>();
    ASSERT_EQ(keys->AdviseKeyEventSink(Client, sink.Get(), TRUE), S_OK);
    auto second = Make<RecordingKeySink>();
    EXPECT_EQ(keys->AdviseKeyEventSink(Client + 1, second.Get(), TRUE), CONNECT_E_ADVISELIMIT);
    EXPECT_EQ(keys->KeyDown('A', 0, &eaten), S_OK);
    EXPECT_EQ(keys->KeyUp('A', 0, &eaten), S_OK);
    EXPECT_EQ(sink->calls, (std::vector<std::string>{"down 65", "up 65"}));
    EXPECT_EQ(keys->UnadviseKeyEventSink(Client + 1), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(keys->UnadviseKeyEventSink(Client), S_OK);
}

TEST(FakeKeystrokeMgr, AnApplicationsKeyIsTestedThenDeliveredOnlyWhenWanted) {
    fake_tsf::FakeHost host;
    auto document = host.NewDocument(L"x");
    auto sink = Make<RecordingKeySink>();
    ASSERT_EQ(host.threadMgr->AdviseKeyEventSink(Client, sink.Get(), TRUE), S_OK);
    host.Focus(document.Get());
    EXPECT_TRUE(sink->calls.empty());  // a document switch is no focus change of the service

    fake_tsf::KeyOutcome outcome = host.keyboard.Down('A');
    EXPECT_TRUE(outcome.keyCalled);
    EXPECT_TRUE(outcome.eaten);
    EXPECT_EQ(sink->keySessionResult, S_OK);  // granted while the key is delivered
    host.keyboard.Up('A');
    sink->wanted = false;
    outcome = host.keyboard.Type('B');
    EXPECT_FALSE(outcome.keyCalled);
    EXPECT_FALSE(outcome.eaten);
    EXPECT_EQ(sink->calls, (std::vector<std::string>{"testdown 65", "down 65", "testup 65", "up 65",
                                                     "testdown 66", "testup 66"}));
    EXPECT_EQ(document->Text(), L"xb");  // the key the sink left: the application typed it
    ASSERT_EQ(document->Sessions().size(), 1u);
    EXPECT_TRUE(document->Sessions()[0].duringKey);
    EXPECT_EQ(host.threadMgr->KeyCalls().size(), 6u);
    EXPECT_TRUE(host.threadMgr->KeyCalls()[1].hadContext);
    host.threadMgr->UnadviseKeyEventSink(Client);
}

TEST(FakeKeystrokeMgr, OnlyTheServicesOwnFocusChangeCallsOnSetFocusWhereSessionsWait) {
    fake_tsf::FakeHost host;
    auto first = host.NewDocument();
    auto second = host.NewDocument();
    auto sink = Make<RecordingKeySink>();
    host.threadMgr->AdviseKeyEventSink(Client, sink.Get(), TRUE);
    host.Focus(first.Get());
    host.keyboard.Type('A');  // the sink learns the context
    sink->calls.clear();
    host.Focus(second.Get());
    EXPECT_TRUE(sink->calls.empty());
    EXPECT_EQ(host.Focused(), second.Get());
    host.ServiceFocus(false);
    host.ServiceFocus(true);
    EXPECT_EQ(sink->calls, (std::vector<std::string>{"focus-", "focus+"}));
    EXPECT_EQ(sink->focusSessionResult, TF_E_SYNCHRONOUS);  // outside a key
    EXPECT_EQ(host.threadMgr->FocusCalls(), (std::vector<BOOL>{FALSE, TRUE}));
    host.Focus(nullptr);
    EXPECT_EQ(host.Focused(), nullptr);
    // A key with no focused document reaches the sink with no context.
    host.keyboard.Type('A');
    EXPECT_FALSE(host.threadMgr->KeyCalls().back().hadContext);
    sink->lastContext = nullptr;
    host.threadMgr->UnadviseKeyEventSink(Client);
}

TEST(FakeKeyboard, KeepsTheKeyStateAndMarksAutoRepeatAsWindowsDoes) {
    fake_tsf::FakeHost host;
    auto document = host.NewDocument();
    auto sink = Make<RecordingKeySink>();
    host.threadMgr->AdviseKeyEventSink(Client, sink.Get(), TRUE);
    host.Focus(document.Get());

    host.keyboard.Down(VK_SHIFT);
    host.keyboard.Down('B');
    EXPECT_TRUE(sink->shiftDown);
    EXPECT_EQ(sink->lastLParam & (LPARAM{1} << 30), 0);
    host.keyboard.Down('B');  // held: auto-repeat
    EXPECT_NE(sink->lastLParam & (LPARAM{1} << 30), 0);
    EXPECT_EQ((sink->lastLParam >> 16) & 0xFF,
              static_cast<LPARAM>(MapVirtualKeyW('B', MAPVK_VK_TO_VSC)));
    host.keyboard.Up('B');
    host.keyboard.Up(VK_SHIFT);
    host.keyboard.Type('C');
    EXPECT_FALSE(sink->shiftDown);

    EXPECT_FALSE(sink->capsOn);
    host.keyboard.Type(VK_CAPITAL);
    host.keyboard.Type('D');
    EXPECT_TRUE(sink->capsOn);
    host.keyboard.Type(VK_CAPITAL);
    host.keyboard.Type('E');
    EXPECT_FALSE(sink->capsOn);
    EXPECT_EQ(fake_tsf::KeyUpLParam('E') >> 30 & 3, 3);
    EXPECT_NE(fake_tsf::KeyDownLParam(VK_HOME, true) & (LPARAM{1} << 24), 0);
    sink->lastContext = nullptr;
    host.threadMgr->UnadviseKeyEventSink(Client);
}

}  // namespace
