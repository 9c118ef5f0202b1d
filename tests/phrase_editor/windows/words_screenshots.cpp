// Renders the phrase editor for people to look at: scripts/screenshots.sh runs this with
// an output folder and converts the BMP files it saves there.
#include <windows.h>

#include <cstdio>
#include <string>

#include "window_capture.h"
#include "words_process.h"

namespace {

constexpr int IdCode = 201;
constexpr int IdPhrase = 202;
constexpr int IdAdd = 203;

bool Save(HWND window, const std::wstring& folder, const wchar_t* name) {
    Sleep(300);  // the other process paints on its own thread
    const std::wstring file = folder + L"\\" + name;
    const bool saved = test_support::SaveWindowBmp(window, file);
    std::fwprintf(stderr, L"words_screenshots: %ls %ls\n", saved ? L"saved" : L"FAILED",
                  file.c_str());
    return saved;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fwprintf(stderr, L"usage: words_screenshots <output folder>\n");
        return 2;
    }
    const std::wstring folder = argv[1];

    test_support::WordsProcess program;
    program.WriteUserFile(
        "a \xE5\xB1\xB1\r\n"
        "ab \xE5\xB2\xA9\xE7\x9F\xB3\r\n"
        "gh \xE4\xBC\x91\xE6\x81\xAF\r\n"
        "gbd \xE8\xBA\xAB\xE9\xAB\x94\xE5\x81\xA5\xE5\xBA\xB7\r\n");
    const HWND window = program.Start();
    if (window == nullptr) {
        std::fwprintf(stderr, L"words_screenshots: the program showed no window\n");
        return 1;
    }
    SetForegroundWindow(window);
    bool ok = Save(window, folder, L"words_start.bmp");

    // A code with a key the table does not define is refused; the boxes keep the text.
    program.SetText(IdCode, L"ab1");
    program.SetText(IdPhrase, L"測試");
    program.Press(IdAdd);
    ok = Save(window, folder, L"words_rejected_key.bmp") && ok;

    // A file the loader rejects blocks every addition with the longest message.
    program.WriteUserFile("a \xE5\xB1\xB1\r\nabcdefg x\r\n");
    program.Press(IdAdd);
    ok = Save(window, folder, L"words_rejected_file.bmp") && ok;

    return program.Close() == 0 && ok ? 0 : 1;
}
