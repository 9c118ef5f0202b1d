// What clicks on the on-screen keyboard type: characters and pending edits through an
// asynchronous key session on the focused document, a bare Space or Backspace as a real
// key press through the system's input.

#include <string>
#include <vector>

#include "keyboard_window_fixture.h"
#include "windows/keyboard_layout.h"

namespace {

using namespace keyboard_test;

// The key messages that reached this thread's windows, taken off the queue.
std::vector<WPARAM> TakeKeyDowns() {
    std::vector<WPARAM> keys;
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < 200) {
        while (PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
            if (msg.message == WM_KEYDOWN) keys.push_back(msg.wParam);
        }
        Sleep(10);
    }
    return keys;
}

class KeyboardInputTest : public KeyboardWindowTest {
  protected:
    void SetUp() override {
        KeyboardWindowTest::SetUp();
        keyboard = Open();
        const RECT client = ClientRect(keyboard);
        layout = KeyboardLayoutFor(client.right, client.bottom);
        TakeKeyDowns();  // nothing left over from the set-up
    }

    static POINT Centre(const RECT& r) {
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    void ClickKey(char key) {
        for (int row = 0; row < KeyboardRowCount; ++row) {
            const auto column = KeyboardRows[row].find(key);
            if (column == std::string_view::npos) continue;
            const POINT p = Centre(KeyboardKeyRect(layout, row, static_cast<int>(column)));
            Click(keyboard, p.x, p.y);
            return;
        }
        ADD_FAILURE() << "no key " << key;
    }
    void ClickSpace() {
        const POINT p = Centre(KeyboardSpaceBar(layout));
        Click(keyboard, p.x, p.y);
    }
    void ClickBackspace() {
        const POINT p = Centre(KeyboardBackspaceBar(layout));
        Click(keyboard, p.x, p.y);
    }

    const std::vector<fake_tsf::SessionRecord>& Sessions() { return context->Sessions(); }

    HWND keyboard = nullptr;
    KeyboardLayout layout;
};

TEST_F(KeyboardInputTest, KeysTypeIntoTheFocusedDocumentThroughAsynchronousSessions) {
    ClickKey('h');
    ASSERT_EQ(Sessions().size(), 1u);
    EXPECT_EQ(Sessions()[0].clientId, Client);
    EXPECT_EQ(Sessions()[0].flags, static_cast<DWORD>(TF_ES_ASYNC | TF_ES_READWRITE));
    EXPECT_EQ(Sessions()[0].sessionResult, TF_S_ASYNC);
    EXPECT_TRUE(Sessions()[0].queued);
    EXPECT_TRUE(context->Text().empty());  // nothing happens before the document grants it

    host.RunPendingSessions();
    EXPECT_EQ(context->Text(), L"木");  // the reading, shown through the key's root
    EXPECT_EQ(service->composer.Reading(), "h");

    // With a reading pending, Space goes to the reading, not to the application: h has
    // three candidates, so the list opens; a selection key clicked on the keyboard picks.
    ClickSpace();
    host.RunPendingSessions();
    EXPECT_EQ(service->composer.Candidates().size(), 3u);
    ClickKey('2');
    host.RunPendingSessions();
    EXPECT_EQ(context->Text(), L"林");
    EXPECT_TRUE(context->Compositions().empty());
    EXPECT_EQ(Sessions().size(), 3u);
    EXPECT_TRUE(TakeKeyDowns().empty());
}

TEST_F(KeyboardInputTest, LetterKeysSendTheLowerCaseCharacter) {
    ClickKey('q');
    host.RunPendingSessions();
    EXPECT_EQ(service->composer.Reading(), "q");
    EXPECT_EQ(context->Text(), L"日");
}

TEST_F(KeyboardInputTest, InEnglishModeAClickCommitsTheCharacterItself) {
    service->chineseMode = false;
    ClickKey('a');
    ClickKey('/');
    host.RunPendingSessions();
    EXPECT_EQ(context->Text(), L"a/");
}

TEST_F(KeyboardInputTest, BackspaceWithAReadingPendingTakesBackTheLastKey) {
    // The document grants each session before the next click, as an application's message
    // loop does; only then does the reading count as pending.
    ClickKey('g');
    host.RunPendingSessions();
    ClickKey('b');
    host.RunPendingSessions();
    EXPECT_EQ(context->Text(), L"人石");
    ClickBackspace();
    host.RunPendingSessions();
    EXPECT_EQ(service->composer.Reading(), "g");
    EXPECT_EQ(context->Text(), L"人");
    EXPECT_TRUE(TakeKeyDowns().empty());
}

TEST_F(KeyboardInputTest, TypingMokeyOnTheKeyboardClosesIt) {
    for (char key : std::string("mokey")) {
        ClickKey(key);
        host.RunPendingSessions();
    }
    EXPECT_EQ(service->commandBuffer, "mokey");
    ClickSpace();
    host.RunPendingSessions();
    EXPECT_FALSE(IsWindow(keyboard));
    EXPECT_EQ(service->keyboardWindow, nullptr);
    EXPECT_TRUE(context->Text().empty());
    EXPECT_TRUE(TakeKeyDowns().empty());
}

TEST_F(KeyboardInputTest, ATypedCommandPendingCountsAsInputForSpaceAndBackspace) {
    service->commandBuffer = "mok";
    ClickBackspace();
    EXPECT_EQ(Sessions().size(), 1u);
    EXPECT_TRUE(TakeKeyDowns().empty());
}

TEST_F(KeyboardInputTest, SpaceAndBackspaceWithNothingPendingArriveAsRealKeyPresses) {
    ClickSpace();
    ClickBackspace();
    EXPECT_TRUE(Sessions().empty());
    // The system's input goes to the window with the focus: the application's.
    EXPECT_EQ(TakeKeyDowns(), (std::vector<WPARAM>{VK_SPACE, VK_BACK}));
}

TEST_F(KeyboardInputTest, NothingIsTypedWithoutAFocusedDocumentOrAnActiveService) {
    host.Focus(nullptr);
    ClickKey('a');
    EXPECT_TRUE(Sessions().empty());
    host.Focus(context.Get());

    service->Deactivate();
    EXPECT_FALSE(IsWindow(keyboard));
    service->OnKeyboardKey(0, 'a');
    service->OnKeyboardKey(VK_SPACE, 0);
    EXPECT_TRUE(Sessions().empty());
    EXPECT_TRUE(TakeKeyDowns().empty());
}

}  // namespace
