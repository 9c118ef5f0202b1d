// The phrase editor's window in this process, against a temp install folder, driven by
// messages as a user's clicks and typing would drive it.
#include "words_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "message_loop.h"
#include "status_texts.h"
#include "test_files.h"
#include "words_globals.h"

namespace {

using std::filesystem::path;
using Rows = std::vector<std::pair<std::wstring, std::wstring>>;

const wchar_t* const LoadedOne = L"已載入 1 筆自建詞組。輸入法下次組字會讀取最新內容。";

std::string Bytes(const path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::wstring TextOf(HWND control) {
    wchar_t buffer[512] = {};
    GetWindowTextW(control, buffer, 512);
    return buffer;
}

class WordsWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        ASSERT_TRUE(RegisterWordsWindowClass(GetModuleHandleW(nullptr)));
    }

    void TearDown() override {
        if (window != nullptr && IsWindow(window)) DestroyWindow(window);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    // An install root holding the sample table, and optionally a user-phrase file.
    void Install(const path& root = {}) {
        installRoot = root.empty() ? dir.Path() : root;
        std::filesystem::create_directories(installRoot);
        std::filesystem::copy_file(test_support::SourcePath("data/ZiRevod-Ka.cin"),
                                   installRoot / "ZiRevod-Ka.cin");
    }
    path UserFile() const { return installRoot / "Mo_Input_Ka_User.txt"; }
    void WriteUserFile(std::string_view bytes) const {
        std::ofstream(UserFile(), std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    // As wWinMain starts: a fresh table, the user-phrase file of the install root.
    void Start() {
        g_table = CinTable();
        g_userPhrasePath = UserFile();
        window = CreateWordsWindow(GetModuleHandleW(nullptr));
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOWNORMAL);
    }

    HWND Control(int id) const { return GetDlgItem(window, id); }
    std::wstring Status() const { return TextOf(Control(IDC_STATUS)); }
    void Press(int id) const {
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Control(id)));
    }
    void Add(const wchar_t* code, const wchar_t* phrase) const {
        SetWindowTextW(Control(IDC_CODE), code);
        SetWindowTextW(Control(IDC_PHRASE), phrase);
        Press(IDC_ADD);
    }

    Rows ListRows() const {
        Rows rows;
        const HWND list = Control(IDC_LIST);
        const auto count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
        for (int i = 0; i < count; ++i) {
            rows.emplace_back(Cell(list, i, 0), Cell(list, i, 1));
        }
        return rows;
    }
    static std::wstring Cell(HWND list, int row, int column) {
        wchar_t buffer[512] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 512;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return buffer;
    }

    test_support::TempDir dir;
    path installRoot;
    HWND window = nullptr;
};

TEST_F(WordsWindowTest, StartsFixedSizeWithTheControlsListingAndFocus) {
    Install();
    WriteUserFile("ab \xE5\xB2\xA9\r\nAB \xE5\xB2\xB8\r\n");
    Start();

    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    EXPECT_STREQ(className, L"Mo_Input_Ka_Words");
    EXPECT_EQ(TextOf(window), L"悠然輸入法-啟明星 自建詞組");
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), static_cast<DWORD>(WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);
    RECT outer;
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 760);
    EXPECT_EQ(outer.bottom - outer.top, 590);

    const std::pair<int, const wchar_t*> controls[] = {
        {IDC_CODE, L"Edit"},        {IDC_PHRASE, L"Edit"},   {IDC_ADD, L"Button"},
        {IDC_OPEN_TEXT, L"Button"}, {IDC_RELOAD, L"Button"}, {IDC_LIST, L"SysListView32"},
        {IDC_STATUS, L"Static"},
    };
    for (const auto& [id, expectedClass] : controls) {
        SCOPED_TRACE(id);
        ASSERT_NE(Control(id), nullptr);
        GetClassNameW(Control(id), className, 64);
        EXPECT_EQ(_wcsicmp(className, expectedClass), 0);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(Control(id), WM_GETFONT, 0, 0)), g_bodyFont);
    }
    EXPECT_EQ(TextOf(Control(IDC_ADD)), L"加入詞庫");
    EXPECT_EQ(SendMessageW(Control(IDC_CODE), EM_GETLIMITTEXT, 0, 0), 6);
    EXPECT_EQ(SendMessageW(Control(IDC_PHRASE), EM_GETLIMITTEXT, 0, 0), 200);
    EXPECT_EQ(SendMessageW(Control(IDC_LIST), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0),
              LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    EXPECT_EQ(SendMessageW(Control(IDC_LIST), LVM_GETCOLUMNWIDTH, 0, 0), 160);
    EXPECT_EQ(SendMessageW(Control(IDC_LIST), LVM_GETCOLUMNWIDTH, 1, 0), 500);

    // The list shows codes as the file has them; the count is the loader's.
    EXPECT_EQ(ListRows(), (Rows{{L"ab", L"岩"}, {L"AB", L"岸"}}));
    EXPECT_EQ(Status(), L"已載入 2 筆自建詞組。輸入法下次組字會讀取最新內容。");
    EXPECT_EQ(GetFocus(), Control(IDC_CODE));
}

TEST_F(WordsWindowTest, AddingCreatesAMissingFileAndClearsTheBoxes) {
    Install();
    Start();
    EXPECT_EQ(Status(), L"已載入 0 筆自建詞組。輸入法下次組字會讀取最新內容。");
    Add(L"AB", L"  山 石  ");
    EXPECT_EQ(Bytes(UserFile()), "ab \xE5\xB1\xB1 \xE7\x9F\xB3\r\n");
    EXPECT_EQ(ListRows(), (Rows{{L"ab", L"山 石"}}));
    EXPECT_EQ(Status(), LoadedOne);
    EXPECT_EQ(TextOf(Control(IDC_CODE)), L"");
    EXPECT_EQ(TextOf(Control(IDC_PHRASE)), L"");
    EXPECT_EQ(GetFocus(), Control(IDC_CODE));

    // No duplicate check: the same line twice stands twice.
    Add(L"ab", L"山 石");
    EXPECT_EQ(Bytes(UserFile()),
              "ab \xE5\xB1\xB1 \xE7\x9F\xB3\r\nab \xE5\xB1\xB1 \xE7\x9F\xB3\r\n");
    EXPECT_EQ(ListRows().size(), 2u);
}

TEST_F(WordsWindowTest, AnOpenLastLineIsEndedBeforeTheNewOne) {
    Install();
    WriteUserFile("a \xE5\xB1\xB1");
    Start();
    Add(L"a;", L"\u3000x");
    EXPECT_EQ(Bytes(UserFile()), "a \xE5\xB1\xB1\r\na; \xE3\x80\x80x\r\n");
    EXPECT_EQ(ListRows(), (Rows{{L"a", L"山"}, {L"a;", L"\u3000x"}}));
}

TEST_F(WordsWindowTest, ARejectedAdditionShowsWhyAndKeepsFileAndBoxes) {
    Install();
    WriteUserFile("a x\r\n");
    struct Case {
        const wchar_t* code;
        const wchar_t* phrase;
        const wchar_t* status;
    };
    const Case cases[] = {
        {L"a1", L"x", StatusTexts::UndefinedKey},
        {L"\uFF41b", L"x", StatusTexts::NotAsciiKey},
        {L"a b", L"x", StatusTexts::NotAsciiKey},
        {L"a", L"   ", StatusTexts::BadShape},
        {L"a", L"x\ty", StatusTexts::BadShape},
        {L"", L"x", StatusTexts::BadShape},
        {L"a", L"x\xD800", StatusTexts::InvalidUnicode},
    };
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.code)));
        Add(c.code, c.phrase);
        EXPECT_EQ(Status(), c.status);
        EXPECT_EQ(Bytes(UserFile()), "a x\r\n");
        EXPECT_EQ(TextOf(Control(IDC_CODE)), c.code);
        EXPECT_EQ(TextOf(Control(IDC_PHRASE)), c.phrase);
    }
}

TEST_F(WordsWindowTest, AnInvalidFileBlocksAddingAndKeepsTheListedRows) {
    Install();
    WriteUserFile("a x\r\n");
    Start();
    ASSERT_EQ(ListRows(), (Rows{{L"a", L"x"}}));

    const std::string invalid = "a x\r\nabcdefg y\r\n";  // a seven-key code
    WriteUserFile(invalid);
    Add(L"b", L"z");
    EXPECT_EQ(Status(), StatusTexts::UserFileRejected);
    EXPECT_EQ(Bytes(UserFile()), invalid);
    EXPECT_EQ(ListRows(), (Rows{{L"a", L"x"}}));
    EXPECT_EQ(TextOf(Control(IDC_CODE)), L"b");

    Press(IDC_RELOAD);
    EXPECT_EQ(Status(), StatusTexts::UserFileRejected);

    // Mended outside the editor: the reload button lists it again.
    WriteUserFile("a x\r\nb y\r\n");
    Press(IDC_RELOAD);
    EXPECT_EQ(ListRows(), (Rows{{L"a", L"x"}, {L"b", L"y"}}));
    EXPECT_EQ(Status(), L"已載入 2 筆自建詞組。輸入法下次組字會讀取最新內容。");
}

TEST_F(WordsWindowTest, WithoutAMainTableOnlyWildcardCodesCanBeAdded) {
    installRoot = dir / "a" / "b" / "c" / "d";  // nothing beside it, nothing three up
    std::filesystem::create_directories(installRoot);
    Start();
    EXPECT_EQ(Status(), StatusTexts::MainTableMissing);
    EXPECT_TRUE(ListRows().empty());

    Add(L"a", L"x");
    EXPECT_EQ(Status(), StatusTexts::UndefinedKey);
    Add(L"?*", L"x");
    EXPECT_EQ(Bytes(UserFile()), "?* x\r\n");
    EXPECT_EQ(Status(), LoadedOne);
}

TEST_F(WordsWindowTest, TheTableThreeFoldersUpIsLoadedUntested) {
    Install();  // the table in the temp folder; the user file three folders below it
    installRoot = dir / "R" / "versions" / "V";
    std::filesystem::create_directories(installRoot);
    WriteUserFile("ab x\r\n");
    Start();
    EXPECT_EQ(Status(), LoadedOne);
    EXPECT_EQ(ListRows(), (Rows{{L"ab", L"x"}}));
}

TEST_F(WordsWindowTest, AFileThatCannotBeCreatedForTheEditorIsReported) {
    Install();
    Start();
    g_userPhrasePath = dir / "no_such_folder" / "Mo_Input_Ka_User.txt";
    Press(IDC_OPEN_TEXT);
    EXPECT_EQ(Status(), StatusTexts::CreateFailed);
    EXPECT_FALSE(std::filesystem::exists(g_userPhrasePath.parent_path()));
}

// Every message must be readable whole in the status line at the body font.
TEST_F(WordsWindowTest, TheStatusLineHoldsEveryMessageWhole) {
    Install();
    Start();
    const HWND status = Control(IDC_STATUS);
    RECT box;
    GetClientRect(status, &box);
    HDC dc = GetDC(status);
    HGDIOBJ oldFont = SelectObject(dc, g_bodyFont);
    const std::wstring texts[] = {
        StatusTexts::MainTableMissing, StatusTexts::UserFileRejected,
        StatusTexts::BadShape,         StatusTexts::NotAsciiKey,
        StatusTexts::UndefinedKey,     StatusTexts::InvalidUnicode,
        StatusTexts::WriteFailed,      StatusTexts::CreateFailed,
        StatusTexts::EditorFailed,     LoadedStatusText(18446744073709551615u),
    };
    for (const std::wstring& text : texts) {
        SCOPED_TRACE(testing::PrintToString(text));
        RECT needed{0, 0, box.right, 0};
        DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_LEFT);
        EXPECT_LE(needed.bottom, box.bottom);
        EXPECT_LE(needed.right, box.right);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(status, dc);
}

TEST_F(WordsWindowTest, ClosingEndsTheProgramWithCodeZero) {
    Install();
    Start();
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(g_bodyFont, nullptr);
    EXPECT_EQ(RunMessageLoop(), 0);
}

}  // namespace
