// TextService activation, deactivation and lifetime, driven through the fake TSF.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <filesystem>

#include "com_object.h"
#include "com_ptr.h"
#include "dll_globals.h"
#include "fake_tsf/fake_context.h"
#include "fake_tsf/fake_thread_mgr.h"
#include "fake_tsf/test_environment.h"
#include "identifiers.h"
#include "settings_names.h"
#include "test_files.h"
#include "text_service.h"
#include "theme_colors.h"

namespace {

using fake_tsf::FakeThreadMgr;
using fake_tsf::RefCount;

constexpr TfClientId Client = 42;

// Stands in for the service's windows; needs no display.
HWND MessageWindow() {
    return CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                           nullptr);
}

HRESULT RefuseCategoryMgr(ITfCategoryMgr** out) noexcept {
    *out = nullptr;
    return REGDB_E_CLASSNOTREG;
}

class ActivationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake_tsf::ClearSettings();
        fake_tsf::UseTable(test_support::SourcePath("data/ZiRevod-Ka.cin"));
        objectsBefore = DllObjectCount.load();
        service = NewComObject<TextService>();
        ASSERT_NE(service, nullptr);
        threadMgrRefs = RefCount(static_cast<ITfThreadMgr*>(threadMgr.Get()));
    }
    void TearDown() override {
        if (service != nullptr) {
            EXPECT_EQ(ReleaseService(), 0u);
        }
        EXPECT_EQ(DllObjectCount.load(), objectsBefore);
        EXPECT_EQ(RefCount(static_cast<ITfThreadMgr*>(threadMgr.Get())), threadMgrRefs);
        fake_tsf::ClearSettings();
    }

    ULONG ReleaseService() {
        ITfTextInputProcessorEx* processor = service;
        service = nullptr;
        return processor->Release();
    }

    HRESULT Activate() { return service->Activate(threadMgr.Get(), Client); }
    ULONG ThreadMgrRefs() { return RefCount(static_cast<ITfThreadMgr*>(threadMgr.Get())); }

    fake_tsf::ComApartment apartment;
    test_support::TempDir temp;
    ComPtr<FakeThreadMgr> threadMgr = fake_tsf::Make<FakeThreadMgr>();
    TextService* service = nullptr;
    std::uint32_t objectsBefore = 0;
    ULONG threadMgrRefs = 0;
};

TEST_F(ActivationTest, FreshServiceHasItsDefaultsAndNeverActivatedDiesCleanly) {
    EXPECT_EQ(DllObjectCount.load(), objectsBefore + 1);
    EXPECT_FALSE(service->threadMgr);
    EXPECT_EQ(service->readingAtom, 0u);
    EXPECT_EQ(service->toggleKeyIsCapsLock, ToggleKeyChoice::Shift);
    EXPECT_TRUE(service->persistentToolbar);
    EXPECT_EQ(service->toolbarFollowMode, 1);
    EXPECT_EQ(service->toolbarPosition.x, INT32_MIN);
    EXPECT_EQ(service->toolbarPosition.y, INT32_MIN);
    EXPECT_EQ(service->candidateFontSize, 16);
    EXPECT_EQ(service->theme.selection, ThemePresets[0].selection);
    EXPECT_TRUE(service->chineseMode);
    EXPECT_TRUE(service->table.Path().empty());  // nothing is loaded before activation
    service->Shutdown();
    service->Shutdown();
}

TEST_F(ActivationTest, ActivationReadsEverySettingLoadsTheTableAndAdvisesAForegroundSink) {
    using namespace SettingNames;
    fake_tsf::StoreSetting(ToggleKey, std::wstring(L"CapsLock"));
    fake_tsf::StoreSetting(LetterSelection, 1);
    fake_tsf::StoreSetting(PersistentToolbar, 0);
    fake_tsf::StoreSetting(ToolbarFollowMode, 2);
    fake_tsf::StoreSetting(ToolbarOffsetX, static_cast<DWORD>(-5));
    fake_tsf::StoreSetting(ToolbarOffsetY, 7);
    fake_tsf::StoreSetting(ToolbarX, 300);
    fake_tsf::StoreSetting(ToolbarY, 400);
    fake_tsf::StoreSetting(ThemeBackground, 0x00010203);
    fake_tsf::StoreSetting(CandidateFontSize, 20);
    fake_tsf::StoreSetting(SimplifiedOutput, 1);
    fake_tsf::StoreSetting(FullwidthOutput, 1);

    ASSERT_EQ(Activate(), S_OK);
    EXPECT_EQ(service->toggleKeyIsCapsLock, ToggleKeyChoice::CapsLock);
    EXPECT_TRUE(service->letterSelection);
    EXPECT_FALSE(service->persistentToolbar);
    EXPECT_EQ(service->toolbarFollowMode, 2);
    EXPECT_EQ(service->toolbarOffset.x, -5);
    EXPECT_EQ(service->toolbarOffset.y, 7);
    EXPECT_EQ(service->toolbarPosition.x, 300);
    EXPECT_EQ(service->toolbarPosition.y, 400);
    EXPECT_EQ(service->theme.background, 0x00010203u);
    EXPECT_EQ(service->candidateFontSize, 20);
    EXPECT_EQ(service->simplifiedOutput, 1);
    EXPECT_TRUE(service->fullwidthOutput);

    EXPECT_EQ(service->clientId, Client);
    EXPECT_NE(service->readingAtom, 0u);  // registered with the system's category manager
    EXPECT_EQ(service->table.Path(), test_support::SourcePath("data/ZiRevod-Ka.cin"));
    EXPECT_FALSE(service->table.Lookup("a").empty());

    ASSERT_EQ(threadMgr->Advises().size(), 1u);
    EXPECT_EQ(threadMgr->Advises()[0].clientId, Client);
    EXPECT_TRUE(threadMgr->Advises()[0].foreground);
    EXPECT_EQ(static_cast<void*>(threadMgr->Sink()),
              static_cast<void*>(static_cast<ITfKeyEventSink*>(service)));

    EXPECT_EQ(service->Deactivate(), S_OK);
    EXPECT_EQ(threadMgr->Unadvises(), std::vector<TfClientId>{Client});
    EXPECT_EQ(threadMgr->Sink(), nullptr);
    EXPECT_FALSE(service->threadMgr);
    EXPECT_FALSE(service->keystrokeMgr);
}

TEST_F(ActivationTest, TableThatCannotBeLoadedFailsActivationAndAdvisesNothing) {
    fake_tsf::UseTable(temp / "missing.cin");
    EXPECT_EQ(Activate(), E_FAIL);
    EXPECT_TRUE(threadMgr->Advises().empty());
    EXPECT_EQ(ThreadMgrRefs(), threadMgrRefs + 1);  // held until deactivation

    EXPECT_EQ(service->Deactivate(), S_OK);
    EXPECT_TRUE(threadMgr->Unadvises().empty());
    EXPECT_EQ(ThreadMgrRefs(), threadMgrRefs);
}

TEST_F(ActivationTest, StoredTablePathWinsOverTheEnvironment) {
    fake_tsf::StoreSetting(SettingNames::TablePath, (temp / "missing.cin").wstring());
    EXPECT_EQ(Activate(), E_FAIL);
}

TEST_F(ActivationTest, ReactivationKeepsTheModeReadsSettingsAgainAndKeepsAGoodTable) {
    ASSERT_EQ(Activate(), S_OK);
    service->chineseMode = false;
    service->Deactivate();

    fake_tsf::StoreSetting(SettingNames::CandidateFontSize, 24);
    ASSERT_EQ(Activate(), S_OK);
    EXPECT_FALSE(service->chineseMode);
    EXPECT_EQ(service->candidateFontSize, 24);
    EXPECT_EQ(threadMgr->Advises().size(), 2u);
    service->Deactivate();

    // A table gone bad later leaves the loaded one in place.
    fake_tsf::UseTable(temp / "missing.cin");
    EXPECT_EQ(Activate(), E_FAIL);
    EXPECT_EQ(service->table.Path(), test_support::SourcePath("data/ZiRevod-Ka.cin"));
    service->Deactivate();
}

TEST_F(ActivationTest, ActivateExIgnoresItsFlags) {
    ASSERT_EQ(service->ActivateEx(threadMgr.Get(), Client, 0xFFFFFFFF), S_OK);
    EXPECT_EQ(threadMgr->Advises().size(), 1u);
    service->Deactivate();
}

TEST_F(ActivationTest, NullThreadManagerChangesNothing) {
    EXPECT_EQ(service->Activate(nullptr, Client), E_INVALIDARG);
    EXPECT_EQ(service->clientId, 0u);
    EXPECT_EQ(service->readingAtom, 0u);
}

TEST_F(ActivationTest, KeystrokeManagerFailuresAreReturned) {
    struct Case {
        const char* name;
        bool offerKeystrokeMgr;
        HRESULT adviseResult;
        HRESULT expected;
    };
    const Case cases[] = {
        {"no keystroke manager", false, S_OK, E_NOINTERFACE},
        {"advise refused", true, E_INVALIDARG, E_INVALIDARG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        threadMgr->offerKeystrokeMgr = c.offerKeystrokeMgr;
        threadMgr->adviseResult = c.adviseResult;
        EXPECT_EQ(Activate(), c.expected);
        EXPECT_EQ(threadMgr->Sink(), nullptr);
        EXPECT_EQ(service->Deactivate(), S_OK);
        EXPECT_EQ(ThreadMgrRefs(), threadMgrRefs);
    }
}

TEST_F(ActivationTest, MissingCategoryManagerOnlyCostsTheAttribute) {
    service->createCategoryMgr = &RefuseCategoryMgr;
    EXPECT_EQ(Activate(), S_OK);
    EXPECT_EQ(service->readingAtom, 0u);
    service->Deactivate();
}

TEST_F(ActivationTest, DeactivationReleasesTheCompositionWithoutEndingItAndResetsInput) {
    ASSERT_EQ(Activate(), S_OK);
    auto context = fake_tsf::Make<fake_tsf::FakeContext>();
    auto composition = fake_tsf::Make<fake_tsf::FakeComposition>(
        context.Get(), context->Buffer().Track(0, 0), static_cast<ITfCompositionSink*>(service));
    service->composition = ComPtr<ITfComposition>(composition.Get());
    service->compositionContext = ComPtr<ITfContext>(static_cast<ITfContext*>(context.Get()));
    service->commandBuffer = "mose";
    service->togglePending = true;
    service->candidateWindow = MessageWindow();
    service->keyboardWindow = MessageWindow();
    service->candidateFont =
        CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    HWND candidates = service->candidateWindow;
    HWND keyboard = service->keyboardWindow;
    ASSERT_TRUE(IsWindow(candidates) && IsWindow(keyboard));

    EXPECT_EQ(service->Deactivate(), S_OK);
    EXPECT_FALSE(service->composition);
    EXPECT_FALSE(service->compositionContext);
    EXPECT_FALSE(composition->Ended());
    EXPECT_EQ(RefCount(composition.Get()), 1u);
    EXPECT_EQ(RefCount(static_cast<ITfContext*>(context.Get())), 1u);
    EXPECT_TRUE(service->commandBuffer.empty());
    EXPECT_FALSE(service->togglePending);
    EXPECT_EQ(service->candidateWindow, nullptr);
    EXPECT_EQ(service->keyboardWindow, nullptr);
    EXPECT_FALSE(IsWindow(candidates));
    EXPECT_FALSE(IsWindow(keyboard));
    EXPECT_EQ(service->candidateFont, nullptr);
    // Kept for the next activation.
    EXPECT_EQ(service->clientId, Client);
    EXPECT_NE(service->readingAtom, 0u);

    EXPECT_EQ(service->Deactivate(), S_OK);  // a second run finds nothing to do
    EXPECT_EQ(threadMgr->Unadvises().size(), 1u);
}

TEST_F(ActivationTest, DestroyingAnActiveServiceUnadvisesAndReleasesEverything) {
    ASSERT_EQ(Activate(), S_OK);
    EXPECT_EQ(ReleaseService(), 1u);  // the keystroke manager's reference on the sink
    // TSF would deactivate first; here the sink's holder lets go instead.
    threadMgr->UnadviseKeyEventSink(Client);
    EXPECT_EQ(DllObjectCount.load(), objectsBefore);
    EXPECT_EQ(ThreadMgrRefs(), threadMgrRefs);
}

TEST_F(ActivationTest, EveryTsfInterfaceAnswersForTheSameObject) {
    ComPtr<IUnknown> identity;
    ASSERT_EQ(service->QueryInterface(IID_IUnknown, identity.PutVoid()), S_OK);
    const IID same[] = {IID_ITfTextInputProcessor, IID_ITfTextInputProcessorEx, IID_IUnknown};
    for (const IID& iid : same) {
        ComPtr<IUnknown> answer;
        ASSERT_EQ(service->QueryInterface(iid, answer.PutVoid()), S_OK);
        EXPECT_EQ(answer.Get(), identity.Get());
    }
    const IID others[] = {IID_ITfKeyEventSink, IID_ITfCompositionSink,
                          IID_ITfDisplayAttributeProvider};
    for (const IID& iid : others) {
        ComPtr<IUnknown> answer;
        ASSERT_EQ(service->QueryInterface(iid, answer.PutVoid()), S_OK);
        ComPtr<IUnknown> back;
        ASSERT_EQ(answer.As(IID_IUnknown, back), S_OK);
        EXPECT_EQ(back.Get(), identity.Get());
    }
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(service->QueryInterface(IID_ITfThreadMgr, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(service->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(RefCount(identity.Get()), 2u);
}

// Never activated, the service has no thread manager and wants no key.
TEST_F(ActivationTest, AnInactiveServiceTakesNoKeys) {
    ITfKeyEventSink* sink = service;
    auto context = fake_tsf::Make<fake_tsf::FakeContext>();
    ITfContext* document = context.Get();
    using Call = HRESULT (*)(ITfKeyEventSink*, ITfContext*, BOOL*);
    const Call calls[] = {
        [](ITfKeyEventSink* s, ITfContext* c, BOOL* e) { return s->OnTestKeyDown(c, 'A', 0, e); },
        [](ITfKeyEventSink* s, ITfContext* c, BOOL* e) { return s->OnKeyDown(c, 'A', 0, e); },
        [](ITfKeyEventSink* s, ITfContext* c, BOOL* e) { return s->OnTestKeyUp(c, 'A', 0, e); },
        [](ITfKeyEventSink* s, ITfContext* c, BOOL* e) { return s->OnKeyUp(c, 'A', 0, e); },
        [](ITfKeyEventSink* s, ITfContext* c, BOOL* e) {
            return s->OnPreservedKey(c, GUID_ReadingDisplayAttribute, e);
        },
    };
    for (Call call : calls) {
        BOOL eaten = TRUE;
        EXPECT_EQ(call(sink, document, &eaten), S_OK);
        EXPECT_FALSE(eaten);
        EXPECT_EQ(call(sink, document, nullptr), E_POINTER);
    }
    EXPECT_EQ(sink->OnSetFocus(TRUE), S_OK);
    EXPECT_EQ(service->OnCompositionTerminated(1, nullptr), S_OK);
    EXPECT_TRUE(context->Sessions().empty());
}

}  // namespace
