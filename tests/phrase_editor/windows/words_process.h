#pragma once
// The built phrase editor started as a user would start it: copied into a temp install
// folder beside the sample table, found by its window class, driven by messages.

#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "test_files.h"
#include "unix_path.h"

namespace test_support {

class WordsProcess {
  public:
    WordsProcess() {
        root = dir / "Mo_Input_Ka";
        std::filesystem::create_directories(root);
        std::filesystem::copy_file(SourcePath("data/ZiRevod-Ka.cin"), root / "ZiRevod-Ka.cin");
        std::filesystem::copy_file(WinePathOf(MOIK_WORDS_PROGRAM), Program());
    }
    ~WordsProcess() {
        if (process.hProcess != nullptr) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process.hProcess, 99);
                WaitForSingleObject(process.hProcess, 5000);
            }
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
    }
    WordsProcess(const WordsProcess&) = delete;
    WordsProcess& operator=(const WordsProcess&) = delete;

    std::filesystem::path Program() const { return root / "mo_input_ka_words.exe"; }
    std::filesystem::path UserFile() const { return root / "Mo_Input_Ka_User.txt"; }
    void WriteUserFile(std::string_view bytes) const {
        dir.Write(UserFile().lexically_relative(dir.Path()), bytes);
    }

    // Starts the program and waits for its window; null when it never shows.
    HWND Start() {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring commandLine = L"\"" + Program().native() + L"\"";
        if (!CreateProcessW(Program().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, root.c_str(), &startup, &process)) {
            return nullptr;
        }
        WaitForInputIdle(process.hProcess, 10000);
        for (int attempt = 0; attempt < 200 && window == nullptr; ++attempt) {
            window = FindWindowW(L"Mo_Input_Ka_Words", nullptr);
            if (window == nullptr) Sleep(50);
        }
        return window;
    }

    HWND Control(int id) const { return GetDlgItem(window, id); }
    std::wstring Text(HWND control) const {
        wchar_t buffer[512] = {};
        SendMessageW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer));
        return buffer;
    }
    void SetText(int id, const wchar_t* text) const {
        SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
    void Press(int id) const {
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Control(id)));
    }

    // Closes the window and returns the exit code, or -1 when the program does not end.
    int Close() {
        PostMessageW(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        return static_cast<int>(code);
    }

  private:
    TempDir dir;
    std::filesystem::path root;
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
};

}  // namespace test_support
