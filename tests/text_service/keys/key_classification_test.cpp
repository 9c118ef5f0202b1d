// Key classification as tables of key states, then once through the real keyboard calls.

#include "keys/key_classification.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <string>

#include "cin_table.h"
#include "keys/test_keyboard.h"
#include "test_files.h"

namespace {

using keys_test::TestKeyboard;

constexpr LPARAM Extended = LPARAM{1} << 24;
constexpr LPARAM Repeat = LPARAM{1} << 30;

TestKeyboard With(std::initializer_list<int> down, bool caps = false) {
    TestKeyboard keys;
    keys.down = down;
    keys.capsLock = caps;
    return keys;
}

TEST(KeyClassification, PassThroughKeysAreTheWholeKeypad) {
    struct Case {
        WPARAM vk;
        LPARAM lParam;
        bool passes;
    };
    const Case cases[] = {
        {VK_NUMPAD0, 0, true},        {VK_NUMPAD9, Extended, true}, {VK_MULTIPLY, 0, true},
        {VK_DIVIDE, Extended, true},  {VK_RETURN, Extended, true},  {VK_RETURN, 0, false},
        {VK_HOME, 0, true},           {VK_HOME, Extended, false},   {VK_LEFT, 0, true},
        {VK_DOWN, Extended, false},   {VK_CLEAR, 0, true},          {VK_INSERT, 0, true},
        {VK_DELETE, Extended, false}, {VK_PRIOR, 0, true},          {'A', 0, false},
        {VK_SPACE, 0, false},         {VK_ESCAPE, 0, false},        {VK_F10, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsPassThroughKey(c.vk, c.lParam), c.passes) << "vk " << c.vk;
    }
}

TEST(KeyClassification, ToggleKeyFollowsTheSetting) {
    for (WPARAM vk : {WPARAM{VK_SHIFT}, WPARAM{VK_LSHIFT}, WPARAM{VK_RSHIFT}}) {
        EXPECT_TRUE(IsToggleKeyFor(ToggleKeyChoice::Shift, vk));
        EXPECT_FALSE(IsToggleKeyFor(ToggleKeyChoice::CapsLock, vk));
    }
    EXPECT_TRUE(IsToggleKeyFor(ToggleKeyChoice::CapsLock, VK_CAPITAL));
    EXPECT_FALSE(IsToggleKeyFor(ToggleKeyChoice::Shift, VK_CAPITAL));
    EXPECT_FALSE(IsToggleKeyFor(ToggleKeyChoice::Shift, VK_CONTROL));
}

TEST(KeyClassification, HotKeysHaveTheirExactModifiers) {
    struct Case {
        WPARAM vk;
        std::initializer_list<int> down;
        bool launch, simplified, fullwidth;
    };
    const Case cases[] = {
        {VK_F10, {VK_CONTROL, VK_SHIFT}, true, false, false},
        {VK_F9, {VK_CONTROL, VK_SHIFT}, true, false, false},
        {VK_F10, {VK_CONTROL, VK_SHIFT, VK_LWIN}, true, false, false},  // Windows keys not tested
        {VK_F10, {VK_CONTROL, VK_SHIFT, VK_MENU}, false, false, false},
        {VK_F10, {VK_CONTROL}, false, false, false},
        {VK_F8, {VK_CONTROL, VK_SHIFT}, false, false, false},
        {'S', {VK_CONTROL, VK_MENU}, false, true, false},
        {'S', {VK_CONTROL, VK_MENU, VK_SHIFT}, false, false, false},
        {'S', {VK_CONTROL, VK_MENU, VK_RWIN}, false, false, false},
        {'S', {VK_CONTROL}, false, false, false},
        {VK_SPACE, {VK_SHIFT}, false, false, true},
        {VK_SPACE, {VK_SHIFT, VK_CONTROL}, false, false, false},
        {VK_SPACE, {VK_SHIFT, VK_LWIN}, false, false, false},
        {VK_SPACE, {}, false, false, false},
    };
    for (const Case& c : cases) {
        const TestKeyboard keys = With(c.down);
        EXPECT_EQ(IsLaunchHotKeyFor(c.vk, keys), c.launch) << "vk " << c.vk;
        EXPECT_EQ(IsSimplifiedHotKeyFor(c.vk, keys), c.simplified) << "vk " << c.vk;
        EXPECT_EQ(IsFullwidthHotKeyFor(c.vk, keys), c.fullwidth) << "vk " << c.vk;
    }
}

TEST(KeyClassification, CharactersFoldToLowerCaseAndNeedNoModifier) {
    struct Case {
        WPARAM vk;
        std::initializer_list<int> down;
        bool caps;
        char ascii;      // KeyToAsciiChar
        char printable;  // case kept
    };
    const Case cases[] = {
        {'A', {}, false, 'a', 'a'},       {'A', {VK_SHIFT}, false, 'a', 'A'},
        {'A', {}, true, 'a', 'A'},        {'1', {VK_SHIFT}, false, '!', '!'},
        {VK_OEM_1, {}, false, ';', ';'},  {VK_OEM_2, {VK_SHIFT}, false, '?', '?'},
        {VK_SPACE, {}, false, 0, 0},      {VK_RETURN, {}, false, 0, 0},
        {VK_ESCAPE, {}, false, 0, 0},     {VK_BACK, {}, false, 0, 0},
        {'A', {VK_CONTROL}, false, 0, 0}, {'A', {VK_LWIN}, false, 0, 'a'},
        {VK_F5, {}, false, 0, 0},
    };
    for (const Case& c : cases) {
        const TestKeyboard keys = With(c.down, c.caps);
        EXPECT_EQ(KeyToAsciiCharFor(c.vk, 0, keys), c.ascii) << "vk " << c.vk;
        EXPECT_EQ(PrintableCharFor(c.vk, 0, keys), c.printable) << "vk " << c.vk;
    }
    TestKeyboard deadKey;
    deadKey.refuseTranslation = true;
    deadKey.failTranslation = -1;
    EXPECT_EQ(KeyToAsciiCharFor('A', 0, deadKey), 0);
}

TEST(KeyClassification, ShiftLetterTakesCapsLockIntoAccount) {
    EXPECT_EQ(ApplyLetterCase('a', true, false), 'A');
    EXPECT_EQ(ApplyLetterCase('a', true, true), 'a');
    EXPECT_EQ(ApplyLetterCase('a', false, false), 'a');
    EXPECT_EQ(ApplyLetterCase('a', false, true), 'A');

    EXPECT_EQ(ShiftLetterFor('A', With({VK_SHIFT})), 'A');
    EXPECT_EQ(ShiftLetterFor('A', With({VK_SHIFT}, true)), 'a');
    EXPECT_EQ(ShiftLetterFor('Z', With({VK_SHIFT})), 'Z');
    EXPECT_EQ(ShiftLetterFor('A', With({})), 0);
    EXPECT_EQ(ShiftLetterFor('A', With({VK_SHIFT, VK_CONTROL})), 0);
    EXPECT_EQ(ShiftLetterFor('1', With({VK_SHIFT})), 0);
}

class CompositionKeyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(table.Load(test_support::SourcePath("data/ZiRevod-Ka.cin")));
    }
    CompositionState State(bool reading, bool candidates, bool command = false) const {
        return CompositionState{true, command, reading, candidates, "1234567890", &table};
    }
    CinTable table;
};

TEST_F(CompositionKeyTest, KeysForTheCompositionInFirstMatchOrder) {
    struct Case {
        const char* what;
        bool reading, candidates, command;
        WPARAM vk;
        std::initializer_list<int> down;
        bool taken;
    };
    const Case cases[] = {
        {"named key", false, false, false, 'A', {}, true},
        {"digit has no key name", false, false, false, '1', {}, false},
        {"wildcard ?", false, false, false, VK_OEM_2, {VK_SHIFT}, true},
        {"wildcard *", false, false, false, '8', {VK_SHIFT}, true},
        {"named end key", false, false, false, VK_OEM_1, {}, true},
        {"Space with nothing pending", false, false, false, VK_SPACE, {}, false},
        {"Escape with nothing pending", false, false, false, VK_ESCAPE, {}, false},
        {"Space with a reading", true, false, false, VK_SPACE, {}, true},
        {"Backspace with a reading", true, false, false, VK_BACK, {}, true},
        {"Enter with a reading", true, false, false, VK_RETURN, {}, true},
        {"arrow with a reading", true, false, false, VK_DOWN, {}, false},
        {"Ctrl+letter", true, false, false, 'A', {VK_CONTROL}, false},
        {"selection digit with a list", true, true, false, '3', {}, true},
        {"named key with a list", true, true, false, 'Q', {}, true},
        {"Page Down with a list", true, true, false, VK_NEXT, {}, true},
        {"Left with a list", true, true, false, VK_LEFT, {}, true},
        {"Home with a list", true, true, false, VK_HOME, {}, false},
        {"End with a list", true, true, false, VK_END, {}, false},
        {"unnamed ? with a list", true, true, false, VK_OEM_2, {VK_SHIFT}, false},
        {"any character in a command", false, false, true, '1', {}, true},
        {"Space in a command", false, false, true, VK_SPACE, {}, true},
        {"arrow in a command", false, false, true, VK_UP, {}, false},
        {"Alt+letter in a command", false, false, true, 'A', {VK_MENU}, false},
    };
    for (const Case& c : cases) {
        const TestKeyboard keys = With(c.down);
        EXPECT_EQ(IsKeyForCompositionIn(State(c.reading, c.candidates, c.command), c.vk, 0, keys),
                  c.taken)
            << c.what;
    }
    CompositionState inactive = State(false, false);
    inactive.active = false;
    EXPECT_FALSE(IsKeyForCompositionIn(inactive, 'A', 0, TestKeyboard{}));
}

TEST_F(CompositionKeyTest, FullwidthCharactersOnlyWhenNothingIsComposed) {
    struct Case {
        const char* what;
        bool on, chinese, reading;
        WPARAM vk;
        std::initializer_list<int> down;
        char expected;
    };
    const Case cases[] = {
        {"off", false, false, false, '1', {}, 0},
        {"English digit", true, false, false, '1', {}, '1'},
        {"English Shift+a keeps case", true, false, false, 'A', {VK_SHIFT}, 'A'},
        {"English Space", true, false, false, VK_SPACE, {}, ' '},
        {"English with Ctrl", true, false, false, '1', {VK_CONTROL}, 0},
        {"Chinese digit", true, true, false, '1', {}, '1'},
        {"Chinese named key goes to the composer", true, true, false, 'A', {}, 0},
        {"Chinese with a reading", true, true, true, '1', {}, 0},
        {"Chinese Space with nothing pending", true, true, false, VK_SPACE, {}, ' '},
        {"Chinese Space with a reading", true, true, true, VK_SPACE, {}, 0},
        {"Escape has no character", true, false, false, VK_ESCAPE, {}, 0},
    };
    for (const Case& c : cases) {
        const TestKeyboard keys = With(c.down);
        EXPECT_EQ(FullwidthCharFor(c.on, c.chinese, State(c.reading, false), c.vk, 0, keys),
                  c.expected)
            << c.what;
    }
}

TEST_F(CompositionKeyTest, SelectionKeysComeFromTheSettingOrTheTable) {
    EXPECT_EQ(SelectionKeysFor(true, table), "asdfghjkl:");
    EXPECT_EQ(SelectionKeysFor(false, table), "1234567890");
    CinTable bare;
    test_support::TempDir temp;
    ASSERT_TRUE(bare.Load(temp.Write("bare.cin",
                                     "%keyname begin\na 山\n%keyname end\n"
                                     "%chardef begin\na 山\n%chardef end\n")));
    EXPECT_EQ(SelectionKeysFor(false, bare), "");
}

// The same decisions through GetKeyState and ToUnicodeEx, with the state set for real.
class SystemKeyboardTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(GetKeyboardState(saved)); }
    void TearDown() override { SetKeyboardState(saved); }
    void SetDown(std::initializer_list<int> down, bool caps = false) {
        BYTE state[256] = {};
        for (int vk : down) state[vk] = 0x80;
        if (caps) state[VK_CAPITAL] = 0x01;
        ASSERT_TRUE(SetKeyboardState(state));
    }
    static LPARAM ScanFor(UINT vk) {
        return static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
    }
    BYTE saved[256] = {};
};

TEST_F(SystemKeyboardTest, RealKeyStateDrivesTheDecisions) {
    const KeyboardState& keys = SystemKeyboardState();
    SetDown({});
    EXPECT_EQ(KeyToAsciiCharFor('A', ScanFor('A'), keys), 'a');
    EXPECT_EQ(KeyToAsciiCharFor(VK_SPACE, ScanFor(VK_SPACE), keys), 0);
    EXPECT_EQ(ShiftLetterFor('A', keys), 0);

    SetDown({VK_SHIFT, VK_LSHIFT});
    EXPECT_EQ(KeyToAsciiCharFor('A', ScanFor('A'), keys), 'a');
    EXPECT_EQ(PrintableCharFor('A', ScanFor('A'), keys), 'A');
    EXPECT_EQ(PrintableCharFor('1', ScanFor('1'), keys), '!');
    EXPECT_EQ(ShiftLetterFor('A', keys), 'A');
    EXPECT_TRUE(IsFullwidthHotKeyFor(VK_SPACE, keys));

    SetDown({VK_SHIFT, VK_LSHIFT}, true);
    EXPECT_EQ(ShiftLetterFor('A', keys), 'a');

    SetDown({VK_CONTROL, VK_LCONTROL, VK_MENU, VK_LMENU});
    EXPECT_TRUE(IsSimplifiedHotKeyFor('S', keys));
    EXPECT_EQ(KeyToAsciiCharFor('A', ScanFor('A'), keys), 0);

    SetDown({VK_CONTROL, VK_LCONTROL, VK_SHIFT, VK_LSHIFT});
    EXPECT_TRUE(IsLaunchHotKeyFor(VK_F10, keys));
}

}  // namespace
