// The fake TSF itself: later key-handling tests read the document through it, so its
// anchors, sessions and compositions must behave as TSF's do.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com_object.h"
#include "com_ptr.h"
#include "fake_tsf/fake_context.h"
#include "fake_tsf/text_buffer.h"

namespace {

using fake_tsf::FakeContext;
using fake_tsf::Make;
using fake_tsf::Span;
using fake_tsf::TextBuffer;

constexpr DWORD SyncWrite = TF_ES_SYNC | TF_ES_READWRITE;
constexpr DWORD AsyncWrite = TF_ES_ASYNC | TF_ES_READWRITE;

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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextBuffer buffer;
        auto all = buffer.Track(0, 0);
        buffer.Replace(*all, L"abcdef");
        auto watched = buffer.Track(c.watched.start, c.watched.end);
        auto edited = buffer.Track(c.edited.start, c.edited.end);
        buffer.Replace(*edited, c.replacement);
        EXPECT_EQ(watched->start, c.expected.start);
        EXPECT_EQ(watched->end, c.expected.end);
        EXPECT_EQ(buffer.TextOf(*edited), c.replacement);
    }
}

// Writes `text` at the selection and starts a composition over it, as a text service
// would inside its session; remembers the cookie so a test can try it afterwards.
class TypingSession final
    : public ComObject<TypingSession, ModuleCount::NotCounted, ITfEditSession,
                       ITfCompositionSink> {
public:
    TypingSession(FakeContext* target, std::wstring typed)
        : context(target), text(std::move(typed)) {}

    HRESULT STDMETHODCALLTYPE DoEditSession(TfEditCookie ec) override {
        cookie = ec;
        ComPtr<ITfContext> document(static_cast<ITfContext*>(context));
        ComPtr<ITfInsertAtSelection> insert;
        ComPtr<ITfContextComposition> compositions;
        HRESULT hr = document.As(IID_ITfInsertAtSelection, insert);
        if (FAILED(hr)) return hr;
        hr = document.As(IID_ITfContextComposition, compositions);
        if (FAILED(hr)) return hr;
        ComPtr<ITfRange> range;
        hr = insert->InsertTextAtSelection(ec, TF_IAS_QUERYONLY, nullptr, 0, range.Put());
        if (FAILED(hr)) return hr;
        hr = compositions->StartComposition(ec, range.Get(), this, composition.Put());
        if (FAILED(hr)) return hr;
        ComPtr<ITfRange> reading;
        composition->GetRange(reading.Put());
        hr = reading->SetText(ec, 0, text.c_str(), static_cast<LONG>(text.size()));
        if (FAILED(hr)) return hr;
        ComPtr<ITfProperty> attribute;
        context->GetProperty(GUID_PROP_ATTRIBUTE, attribute.Put());
        VARIANT value;
        value.vt = VT_I4;
        value.lVal = 7;
        return attribute->SetValue(ec, reading.Get(), &value);
    }
    HRESULT STDMETHODCALLTYPE OnCompositionTerminated(TfEditCookie, ITfComposition*) override {
        ++terminated;
        return S_OK;
    }
    void* FindInterface(REFIID iid) noexcept {
        if (SameIid(iid, IID_IUnknown) || SameIid(iid, IID_ITfEditSession)) {
            return static_cast<ITfEditSession*>(this);
        }
        if (SameIid(iid, IID_ITfCompositionSink)) return static_cast<ITfCompositionSink*>(this);
        return nullptr;
    }

    FakeContext* context;
    std::wstring text;
    TfEditCookie cookie = 0;
    ComPtr<ITfComposition> composition;
    int terminated = 0;

private:
    ~TypingSession() override = default;
};

TEST(FakeContext, SynchronousSessionWritesTheDocumentAndItsCookieDiesWithIt) {
    auto context = Make<FakeContext>();
    context->SetDocument(L"hello", 5);
    auto session = Make<TypingSession>(context.Get(), L"ab");
    HRESULT sessionResult = E_FAIL;
    ASSERT_EQ(context->RequestEditSession(3, session.Get(), SyncWrite, &sessionResult), S_OK);
    EXPECT_EQ(sessionResult, S_OK);
    EXPECT_EQ(context->Text(), L"helloab");
    EXPECT_EQ(context->Selection().start, 7);  // the caret stays after the composition
    ASSERT_EQ(context->Compositions().size(), 1u);
    EXPECT_EQ(context->Compositions()[0]->Position().start, 5);
    EXPECT_EQ(context->Compositions()[0]->Position().end, 7);
    EXPECT_EQ(context->AttributeProperty().ValueAt(5), 7);
    EXPECT_EQ(context->AttributeProperty().ValueAt(4), std::nullopt);

    // Outside the session the document refuses every edit.
    EXPECT_EQ(session->composition->EndComposition(session->cookie), TF_E_NOLOCK);
    context->TerminateComposition();
    EXPECT_EQ(session->terminated, 1);
    EXPECT_TRUE(context->Compositions().empty());
    session->composition = nullptr;
    EXPECT_EQ(fake_tsf::RefCount(static_cast<ITfEditSession*>(session.Get())), 1u);
}

TEST(FakeContext, RefusedOrAsynchronousSessionsRunWhenPumped) {
    auto context = Make<FakeContext>();
    context->refuseSynchronous = true;
    auto session = Make<TypingSession>(context.Get(), L"x");
    HRESULT sessionResult = E_FAIL;
    EXPECT_EQ(context->RequestEditSession(3, session.Get(), SyncWrite, &sessionResult),
              TF_E_SYNCHRONOUS);
    EXPECT_EQ(sessionResult, E_FAIL);
    EXPECT_EQ(context->RequestEditSession(3, session.Get(), AsyncWrite, &sessionResult), S_OK);
    EXPECT_EQ(sessionResult, TF_S_ASYNC);
    EXPECT_EQ(context->Text(), L"");
    ASSERT_EQ(context->PendingSessions(), 1u);

    context->RunPendingSessions();
    EXPECT_EQ(context->Text(), L"x");
    EXPECT_EQ(context->PendingSessions(), 0u);
    const std::vector<DWORD> flags{context->Requests()[0].flags, context->Requests()[1].flags};
    EXPECT_EQ(flags, (std::vector<DWORD>{SyncWrite, AsyncWrite}));
}

}  // namespace
