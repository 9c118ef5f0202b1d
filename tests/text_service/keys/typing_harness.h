#pragma once
// An activated text service in a fake thread with one or two documents, typed into as
// Windows delivers keys: the test call first, then the key when the service wants it.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "com_object.h"
#include "com_ptr.h"
#include "dll_globals.h"
#include "fake_tsf/fake_context.h"
#include "fake_tsf/fake_thread_mgr.h"
#include "fake_tsf/test_environment.h"
#include "keys/test_keyboard.h"
#include "test_files.h"
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

// The lParam of a key message: repeat count 1, a scan code, the extended and
// previous-state bits.
inline LPARAM KeyLParam(bool extended = false, bool repeat = false) {
    LPARAM lParam = 1 | (LPARAM{0x1E} << 16);
    if (extended) lParam |= LPARAM{1} << 24;
    if (repeat) lParam |= LPARAM{1} << 30;
    return lParam;
}

class TypingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake_tsf::ClearSettings();
        LaunchedPrograms().clear();
        objectsBefore = DllObjectCount.load();
        threadMgr->focus = firstDocument;
        firstDocument->top = fake_tsf::Make<fake_tsf::FakeContext>();
        secondDocument->top = fake_tsf::Make<fake_tsf::FakeContext>();
    }

    void TearDown() override {
        if (service != nullptr) {
            service->Deactivate();
            EXPECT_FALSE(threadMgr->Sink());
            ITfTextInputProcessorEx* processor = service;
            service = nullptr;
            // Compositions the service dropped without ending still hold their sink.
            firstDocument->top = nullptr;
            secondDocument->top = nullptr;
            EXPECT_EQ(processor->Release(), 0u);
        }
        EXPECT_EQ(DllObjectCount.load(), objectsBefore);
        fake_tsf::ClearSettings();
    }

    // Activates a service on `table` with the test keyboard and a recording launcher.
    void Start(const std::filesystem::path& table) {
        fake_tsf::UseTable(table);
        service = NewComObject<TextService>();
        ASSERT_NE(service, nullptr);
        service->keyboard = &keyboard;
        service->launchProgram = &RecordLaunch;
        service->createCategoryMgr = &NoCategoryMgr;
        ASSERT_EQ(service->Activate(threadMgr.Get(), Client), S_OK);
        service->readingAtom = ReadingAtom;
    }

    fake_tsf::FakeContext& Document() { return *threadMgr->focus->top.Get(); }
    void Focus(fake_tsf::FakeDocumentMgr* document) { threadMgr->focus = ComPtr(document); }

    // Delivers one key down as Windows does for an application's key message.
    BOOL Down(WPARAM vk, LPARAM lParam = KeyLParam()) {
        BOOL eaten = FALSE;
        EXPECT_EQ(threadMgr->KeyDown(vk, lParam, &eaten), S_OK);
        return eaten;
    }
    BOOL Up(WPARAM vk, LPARAM lParam = KeyLParam()) {
        BOOL eaten = FALSE;
        EXPECT_EQ(threadMgr->KeyUp(vk, lParam | (LPARAM{3} << 30), &eaten), S_OK);
        return eaten;
    }
    BOOL Press(WPARAM vk, LPARAM lParam = KeyLParam()) {
        const BOOL eaten = Down(vk, lParam);
        Up(vk, lParam);
        return eaten;
    }
    void Hold(int vk) {
        keyboard.down.insert(vk);
        Down(static_cast<WPARAM>(vk));
    }
    void Release(int vk) {
        keyboard.down.erase(vk);
        Up(static_cast<WPARAM>(vk));
    }
    // Types lower-case letters, digits and a few marks on the US layout.
    void Type(std::string_view keys) {
        for (const char ch : keys) Press(VirtualKeyFor(ch));
    }
    static WPARAM VirtualKeyFor(char ch) {
        if (ch >= 'a' && ch <= 'z') return static_cast<WPARAM>(ch - 32);
        if (ch >= '0' && ch <= '9') return static_cast<WPARAM>(ch);
        switch (ch) {
            case ';':
                return VK_OEM_1;
            case ',':
                return VK_OEM_COMMA;
            case '.':
                return VK_OEM_PERIOD;
            case '/':
                return VK_OEM_2;
            case ' ':
                return VK_SPACE;
            default:
                ADD_FAILURE() << "no key for " << ch;
                return 0;
        }
    }

    // --- What the application sees ---
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
    // Whether the reading atom covers exactly [start, end) of the text and nothing else.
    bool AttributeCoversOnly(long start, long end) {
        const long length = static_cast<long>(Text().size());
        for (long i = 0; i < length; ++i) {
            const auto value = Document().AttributeProperty().ValueAt(i);
            const bool inside = i >= start && i < end;
            if (inside != (value.has_value() && *value == static_cast<LONG>(ReadingAtom))) {
                return false;
            }
        }
        return true;
    }
    std::vector<DWORD> SessionFlags() {
        std::vector<DWORD> flags;
        for (const auto& request : Document().Requests()) flags.push_back(request.flags);
        return flags;
    }
    std::wstring Reading() {
        return std::wstring(service->composer.Reading().begin(), service->composer.Reading().end());
    }

    fake_tsf::ComApartment apartment;
    test_support::TempDir temp;
    TestKeyboard keyboard;
    ComPtr<fake_tsf::FakeThreadMgr> threadMgr = fake_tsf::Make<fake_tsf::FakeThreadMgr>();
    ComPtr<fake_tsf::FakeDocumentMgr> firstDocument = fake_tsf::Make<fake_tsf::FakeDocumentMgr>();
    ComPtr<fake_tsf::FakeDocumentMgr> secondDocument = fake_tsf::Make<fake_tsf::FakeDocumentMgr>();
    TextService* service = nullptr;
    std::uint32_t objectsBefore = 0;
};

}  // namespace keys_test
