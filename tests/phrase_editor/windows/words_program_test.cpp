// The built program itself, started from a temp install folder: it finds its table and
// user-phrase file beside itself, adds a phrase and ends with code 0 when closed.
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h needs windows.h before it.
#include <commctrl.h>

#include <fstream>
#include <iterator>

#include "words_globals.h"
#include "words_process.h"

namespace {

std::string Bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(WordsProgram, StartsBesideItsFilesAddsAPhraseAndClosesWithCodeZero) {
    test_support::WordsProcess program;
    program.WriteUserFile("a \xE5\xB1\xB1\r\nab \xE5\xB2\xA9");
    const HWND window = program.Start();
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(program.Text(window), L"悠然輸入法-啟明星 自建詞組");
    EXPECT_EQ(program.Text(program.Control(IDC_STATUS)),
              L"已載入 2 筆自建詞組。輸入法下次組字會讀取最新內容。");
    EXPECT_EQ(SendMessageW(program.Control(IDC_LIST), LVM_GETITEMCOUNT, 0, 0), 2);

    program.SetText(IDC_CODE, L"GH");
    program.SetText(IDC_PHRASE, L"休息");
    program.Press(IDC_ADD);
    EXPECT_EQ(Bytes(program.UserFile()),
              "a \xE5\xB1\xB1\r\nab \xE5\xB2\xA9\r\ngh \xE4\xBC\x91\xE6\x81\xAF\r\n");
    EXPECT_EQ(SendMessageW(program.Control(IDC_LIST), LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(program.Text(program.Control(IDC_STATUS)),
              L"已載入 3 筆自建詞組。輸入法下次組字會讀取最新內容。");

    EXPECT_EQ(program.Close(), 0);
}

}  // namespace
