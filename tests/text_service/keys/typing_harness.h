#pragma once
// An activated text service in a fake application with two documents, typed into as
// Windows delivers keys: the thread's key state set first, then the test call, then the
// key when the service wants it. The service reads the real key state.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "com_object.h"
#include "com_ptr.h"
#include "dll_globals.h"
#include "fake_tsf/attribute_check.h"
#include "fake_tsf/fake_host.h"
#include "fake_tsf/test_environment.h"
#include "test_files.h"
#include "text_conversion.h"
#include "text_service.h"

namespace keys_test {

constexpr TfClientId Client = 42;
constexpr TfGuidAtom ReadingAtom = 0x77;
constexpr DWORD SyncSession = TF_ES_SYNC | TF_ES_READWRITE;
constexpr DWORD AsyncSession = TF_ES_ASYNC | TF_ES_READWRITE;

// The programs the service asked to start, in order.
inline std::vector<std::wstring>& LaunchedPrograms() {
    static std::vector<std::wstring> launched;
    return launched;
}

inline bool RecordLaunch(std::wstring_view fileName) noexcept {
    LaunchedPrograms().emplace_back(fileName);
    return true;
}

inline HRESULT NoCategoryMgr(ITfCategoryMgr** out) noexcept {
    *out = nullptr;
    return REGDB_E_CLASSNOTREG;
}

class TypingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake_tsf::ClearSettings();
        LaunchedPrograms().clear();
        objectsBefore = DllObjectCount.load();
        first = host->NewDocument();
        second = host->NewDocument();
        host->Focus(first.Get());
    }

    void TearDown() override {
        host->keyboard.Reset();
        if (service != nullptr) {
            service->Deactivate();
            EXPECT_FALSE(host->threadMgr->Sink());
            ITfTextInputProcessorEx* processor = service;
            service = nullptr;
            // A composition the service dropped without ending still holds its sink
            // until its document goes.
            first = nullptr;
            second = nullptr;
            host.reset();
            EXPECT_EQ(processor->Release(), 0u);
        }
        EXPECT_EQ(DllObjectCount.load(), objectsBefore);
        fake_tsf::ClearSettings();
    }

    // Activates a service on `table` with a recording launcher.
    void Start(const std::filesystem::path& table) {
        fake_tsf::UseTable(table);
        service = NewComObject<TextService>();
        ASSERT_NE(service, nullptr);
        service->launchProgram = &RecordLaunch;
        service->createCategoryMgr = &NoCategoryMgr;
        ASSERT_EQ(service->Activate(host->ThreadMgr(), Client), S_OK);
        service->readingAtom = ReadingAtom;
    }

    fake_tsf::FakeContext& Document() { return *host->Focused(); }

    // --- Keys, as the keyboard sends them ---
    BOOL Press(WPARAM vk, bool extended = false) { return host->keyboard.Type(vk, extended).eaten; }
    BOOL Hold(WPARAM vk) { return host->keyboard.Down(vk).eaten; }
    BOOL Release(WPARAM vk) { return host->keyboard.Up(vk).eaten; }
    BOOL PressWith(WPARAM modifier, WPARAM vk) {
        return host->keyboard.TypeWith(modifier, vk).eaten;
    }
    // Types lower-case letters, digits, Space and a few marks on the US layout.
    void Type(std::string_view keys) {
        for (const char ch : keys) Press(VirtualKeyFor(ch));
    }
    static WPARAM VirtualKeyFor(char ch) {
        const WPARAM vk = fake_tsf::VirtualKeyForChar(ch);
        if (vk == 0) ADD_FAILURE() << "no key for " << ch;
        return vk;
    }

    // --- What the application sees and the service holds ---
    std::wstring Text() { return Document().Text(); }
    long Caret() { return Document().Selection().end; }
    bool CompositionOpen() {
        return !Document().Compositions().empty() && service->composition &&
               service->compositionContext.Get() == static_cast<ITfContext*>(&Document());
    }
    std::wstring CompositionText() {
        auto& open = Document().Compositions();
        if (open.empty()) return L"<none>";
        return Document().Buffer().TextOf(open.back()->Position());
    }
    ::testing::AssertionResult AttributeOn(long start, long end) {
        return fake_tsf::AttributeCoversExactly(Document(), start, end, ReadingAtom);
    }
    std::vector<DWORD> SessionFlags() {
        std::vector<DWORD> flags;
        for (const auto& session : Document().Sessions()) flags.push_back(session.flags);
        return flags;
    }
    std::string Reading() { return service->composer.Reading(); }
    std::wstring ShownReading() { return Utf8ToWide(service->composer.ReadingText()); }

    fake_tsf::ComApartment apartment;
    test_support::TempDir temp;
    std::unique_ptr<fake_tsf::FakeHost> host = std::make_unique<fake_tsf::FakeHost>();
    ComPtr<fake_tsf::FakeContext> first;
    ComPtr<fake_tsf::FakeContext> second;
    TextService* service = nullptr;
    std::uint32_t objectsBefore = 0;
};

}  // namespace keys_test
