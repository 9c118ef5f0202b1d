// The built settings program as a separate process: its switches through the system's
// input.dll (missing in Wine, then a stand-in), the tails that open its window, its exit
// codes, and the phrase editor started from the program's own folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "input_dll_stand_in.h"
#include "settings_window_driver.h"
#include "test_files.h"

namespace {

using settings_test::WinePathOf;
using std::filesystem::path;

struct Started {
    PROCESS_INFORMATION process{};
    bool ok = false;
    ~Started() {
        if (!ok) return;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
};

void Start(Started& started, const path& program, const std::wstring& tail) {
    std::wstring commandLine = L"\"" + program.wstring() + L"\"";
    if (!tail.empty()) commandLine += L" " + tail;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    started.ok = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                nullptr, nullptr, &startup, &started.process) != FALSE;
}

// The exit code, or nothing when the program did not end in time.
std::optional<DWORD> AwaitExit(const Started& started, DWORD milliseconds = 60000) {
    if (WaitForSingleObject(started.process.hProcess, milliseconds) != WAIT_OBJECT_0) {
        TerminateProcess(started.process.hProcess, 99);
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(started.process.hProcess, &code);
    return code;
}

std::optional<DWORD> RunToEnd(const path& program, const std::wstring& tail) {
    Started started;
    Start(started, program, tail);
    if (!started.ok) return std::nullopt;
    return AwaitExit(started);
}

// The program's settings window, once it shows.
HWND AwaitSettingsWindow(DWORD processId) {
    for (int attempt = 0; attempt < 600; ++attempt) {
        for (HWND w = FindWindowExW(nullptr, nullptr, L"Mo_Input_Ka_Settings", nullptr); w;
             w = FindWindowExW(nullptr, w, L"Mo_Input_Ka_Settings", nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == processId && IsWindowVisible(w)) return w;
        }
        Sleep(50);
    }
    return nullptr;
}

path BuiltProgram() { return WinePathOf(MOIK_SETTINGS_PROGRAM); }

TEST(SettingsProgram, SwitchesChangeTheProfileThroughTheSystemsInputDll) {
    const path program = BuiltProgram();
    // Wine ships no input.dll: the real load fails, a true failure.
    ASSERT_TRUE(settings_test::InstallInputDll(nullptr));
    EXPECT_EQ(RunToEnd(program, L"--enable-profile"), 3u);
    EXPECT_EQ(RunToEnd(program, L"--disable-profile"), 3u);

    // An input.dll without the function: a failure too.
    settings_test::InputDllRecord record;
    ASSERT_TRUE(settings_test::InstallInputDll(MOIK_INPUT_DLL_WITHOUT_FUNCTION));
    EXPECT_EQ(RunToEnd(program, L"--enable-profile"), 3u);

    ASSERT_TRUE(settings_test::InstallInputDll(MOIK_INPUT_DLL_STAND_IN));
    EXPECT_EQ(RunToEnd(program, L"--enable-profile"), 0u);
    EXPECT_EQ(RunToEnd(program, L"--disable-profile"), 0u);
    record.Answer(false);
    EXPECT_EQ(RunToEnd(program, L"--enable-profile"), 3u);
    EXPECT_EQ(RunToEnd(program, L"--disable-profile"), 3u);

    const std::wstring profile = settings_test::ExpectedProfileString();
    ASSERT_EQ(profile.size(), 83u);
    EXPECT_EQ(record.Calls(), (std::vector<std::wstring>{profile + L" 0", profile + L" 1",
                                                         profile + L" 0", profile + L" 1"}));
    // A switch touches no setting.
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, SettingNames::KeyPath, 0, KEY_READ, &key),
              ERROR_SUCCESS);
    if (key) RegCloseKey(key);
    settings_test::InstallInputDll(nullptr);
}

TEST(SettingsProgram, AnyOtherTailOpensTheWindowAndClosingItExitsWithZero) {
    settings_test::InputDllRecord record;
    ASSERT_TRUE(settings_test::InstallInputDll(MOIK_INPUT_DLL_STAND_IN));
    for (const wchar_t* tail : {L"", L"--enable-profile ", L"--Enable-Profile",
                                L"--enable-profile --disable-profile", L"--disable-profile x"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(tail)));
        Started started;
        Start(started, BuiltProgram(), tail);
        ASSERT_TRUE(started.ok);
        HWND window = AwaitSettingsWindow(started.process.dwProcessId);
        ASSERT_NE(window, nullptr);
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(AwaitExit(started), 0u);
    }
    EXPECT_TRUE(record.Calls().empty());
    settings_test::InstallInputDll(nullptr);
}

// How the stand-in companion was started: "<its path>\n<its command line>".
std::optional<std::wstring> AwaitStartRecord(const path& program) {
    for (int attempt = 0; attempt < 600; ++attempt) {
        std::ifstream in(path(program.wstring() + L".ran"), std::ios::binary);
        if (in) {
            const std::string bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()),
                                bytes.size() / sizeof(wchar_t));
        }
        Sleep(50);
    }
    return std::nullopt;
}

// The program copied into a folder of its own, with or without a phrase editor beside it.
path InstallProgram(const path& folder, bool withEditor) {
    std::filesystem::create_directories(folder);
    const path program = folder / L"mo_input_ka_settings.exe";
    std::filesystem::copy_file(BuiltProgram(), program);
    if (withEditor) {
        std::filesystem::copy_file(WinePathOf(MOIK_COMPANION_STAND_IN),
                                   folder / L"mo_input_ka_words.exe");
    }
    return program;
}

TEST(SettingsProgram, ThePhraseEditorButtonStartsTheEditorBesideTheProgram) {
    test_support::TempDir dir;
    const path folder = (dir / "Mo Input Ka").make_preferred();
    const path program = InstallProgram(folder, true);
    Started started;
    Start(started, program, L"");
    ASSERT_TRUE(started.ok);
    HWND window = AwaitSettingsWindow(started.process.dwProcessId);
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_MANAGE_PHRASES, BN_CLICKED), 0);
    const path editor = folder / L"mo_input_ka_words.exe";
    const auto record = AwaitStartRecord(editor);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(*record, editor.wstring() + L"\n\"" + editor.wstring() + L"\"");
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(AwaitExit(started), 0u);
}

// Opens the program from `folder`, presses the phrase-editor button and returns the text of
// the message box it shows.
std::wstring PhraseEditorFailureText(const path& program) {
    Started started;
    Start(started, program, L"");
    if (!started.ok) return L"<not started>";
    HWND window = AwaitSettingsWindow(started.process.dwProcessId);
    if (!window) return L"<no window>";
    std::wstring text = L"<no message>";
    {
        settings_test::DialogAnswerer box(L"悠然輸入法-啟明星");
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_MANAGE_PHRASES, BN_CLICKED), 0);
        if (box.Wait()) text = box.Text();
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    AwaitExit(started);
    return text;
}

TEST(SettingsProgram, WithoutAnEditorBesideItThePhraseEditorButtonReportsTheFailure) {
    test_support::TempDir dir;
    // An editor one folder up does not count: only the program's own folder is tried.
    std::filesystem::copy_file(WinePathOf(MOIK_COMPANION_STAND_IN), dir / "mo_input_ka_words.exe");
    const path program = InstallProgram((dir / "x64").make_preferred(), false);
    EXPECT_EQ(PhraseEditorFailureText(program), L"無法開啟自建詞組管理程式。");
    EXPECT_FALSE(AwaitStartRecord(dir / "mo_input_ka_words.exe").has_value());
}

}  // namespace
