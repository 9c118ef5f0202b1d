// Draws the toolbar and a two-page candidate list of a service activated on the fake TSF,
// in the default colours and in the high-contrast preset, at 96 and at 144 dpi, and saves
// them as BMP files:  candidate_screenshots.exe <output folder>
// A process sees the system dpi and its fonts as they were when it started (measured
// under Wine 8: a LogPixels written later changes nothing in the writer), so this program
// sets them up and starts itself again with "--dpi-child <dpi>" to draw.

#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "com_ptr.h"
#include "dll_globals.h"
#include "fake_tsf/edit_sessions.h"
#include "fake_tsf/fake_context.h"
#include "fake_tsf/fake_thread_mgr.h"
#include "fake_tsf/test_environment.h"
#include "fake_tsf/test_sessions.h"
#include "settings_names.h"
#include "test_files.h"
#include "text_service.h"
#include "theme_colors.h"
#include "window_capture.h"

namespace {

constexpr TfClientId Client = 7;
constexpr wchar_t DesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t LogPixels[] = L"LogPixels";
constexpr wchar_t ChildSwitch[] = L"--dpi-child";

struct Theme {
    const wchar_t* fileName;
    std::size_t preset;
};
// Preset 9 is the one the settings program offers as "極致對比".
constexpr Theme Themes[] = {{L"default", 0}, {L"max-contrast", 9}};

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateHost() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = L"CandidateScreenshotHost";
    RegisterClassW(&windowClass);
    HWND host = CreateWindowExW(0, L"CandidateScreenshotHost", L"host", WS_POPUP | WS_VISIBLE, 40,
                                40, 900, 700, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(host);
    SetFocus(host);
    CreateCaret(host, nullptr, 2, 20);
    SetCaretPos(60, 40);
    ShowCaret(host);
    return host;
}

void StoreTheme(const ThemeColors& colors) {
    for (std::size_t slot = 0; slot < ThemeSlotCount; ++slot) {
        fake_tsf::StoreSetting(ThemeValueNames[slot], ThemeSlot(colors, slot));
    }
}

bool Save(HWND window, const std::wstring& folder, const std::wstring& name) {
    UpdateWindow(window);
    test_support::PumpMessages(300);
    const std::wstring path = folder + L"\\" + name + L".bmp";
    const bool saved = test_support::SaveWindowBmp(window, path);
    RECT rect{};
    GetWindowRect(window, &rect);
    std::wprintf(L"%ls %ldx%ld dpi %u%ls\n", name.c_str(), rect.right - rect.left,
                 rect.bottom - rect.top, GetDpiForWindow(window), saved ? L"" : L" NOT SAVED");
    return saved;
}

// The toolbar, then both pages of the twelve candidates of "x" in the sample table.
bool DrawTheme(const Theme& theme, HWND host, const std::wstring& folder, int dpi) {
    fake_tsf::ClearSettings();
    StoreTheme(ThemePresets[theme.preset]);
    auto threadMgr = fake_tsf::Make<fake_tsf::FakeThreadMgr>();
    auto context = fake_tsf::Make<fake_tsf::FakeContext>();
    context->View().window = host;
    TextService* service = NewComObject<TextService>();
    if (service == nullptr || FAILED(service->Activate(threadMgr.Get(), Client))) {
        std::fwprintf(stderr, L"activation failed\n");
        return false;
    }
    const std::wstring suffix =
        std::wstring(L"-") + theme.fileName + L"-" + std::to_wstring(dpi) + L"dpi";
    bool ok = true;
    service->ShowToolbar(true);
    ok = service->candidateWindow != nullptr &&
         Save(service->candidateWindow, folder, L"candidates-toolbar" + suffix) && ok;
    if (ok && static_cast<int>(GetDpiForWindow(service->candidateWindow)) != dpi) {
        std::fwprintf(stderr, L"the window has dpi %u, not %d\n",
                      GetDpiForWindow(service->candidateWindow), dpi);
        ok = false;
    }

    service->composer.AddKey('x');
    service->composer.Convert();
    const struct { std::size_t page, row; } pages[] = {{0, 0}, {1, 1}};
    for (const auto& shown : pages) {
        service->candidatePage = shown.page;
        service->candidateRow = shown.row;
        auto session = fake_tsf::Session([&](TfEditCookie cookie) {
            service->ShowCandidates(cookie, context.Get());
            return S_OK;
        });
        fake_tsf::KeyDeliveryScope key;  // as a page key asks for it
        HRESULT sessionResult = E_FAIL;
        context->RequestEditSession(Client, session.Get(), TF_ES_SYNC | TF_ES_READWRITE,
                                    &sessionResult);
        ok = service->candidateWindow != nullptr &&
             Save(service->candidateWindow, folder,
                  L"candidates-list" + suffix + L"-page" + std::to_wstring(shown.page + 1)) &&
             ok;
    }
    service->Deactivate();
    static_cast<ITfTextInputProcessorEx*>(service)->Release();
    return ok;
}

// Draws everything at the dpi the process was started with, which must be `expectedDpi`.
bool DrawAll(const std::wstring& folder, int expectedDpi) {
    fake_tsf::ComApartment apartment;
    DllModule = GetModuleHandleW(nullptr);
    fake_tsf::UseTable(test_support::SourcePath("data/ZiRevod-Ka.cin"));
    HWND host = CreateHost();
    const int dpi = static_cast<int>(GetDpiForWindow(host));
    bool ok = dpi == expectedDpi;
    if (!ok) std::fwprintf(stderr, L"started at %d dpi instead of %d\n", dpi, expectedDpi);
    for (const Theme& theme : Themes) ok = DrawTheme(theme, host, folder, dpi) && ok;
    DestroyWindow(host);
    fake_tsf::ClearSettings();
    return ok;
}

bool ReadLogPixels(DWORD& value) {
    DWORD size = sizeof(value);
    return RegGetValueW(HKEY_CURRENT_USER, DesktopKey, LogPixels, RRF_RT_REG_DWORD, nullptr, &value,
                        &size) == ERROR_SUCCESS;
}

void WriteLogPixels(DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, DesktopKey, LogPixels, REG_DWORD, &value, sizeof(value));
}

// Windows links its CJK UI font to a symbol font for the signs it lacks (the gear and the
// keyboard of two buttons). Wine keys links by the real family behind the font
// replacement, so that family is linked to a free font that has the signs.
void LinkSymbolFont() {
    constexpr wchar_t linkKey[] =
        L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink";
    constexpr wchar_t linked[] = L"DejaVuSans.ttf,DejaVu Sans\0";
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, linkKey, L"Noto Sans CJK TC", REG_MULTI_SZ, linked,
                    sizeof(linked));
}

bool RunChild(const std::wstring& folder, DWORD dpi) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" \"" + folder + L"\" " +
                               ChildSwitch + L" " + std::to_wstring(dpi);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode == 0;
}

// Draws in a child that starts with the system dpi at `dpi`; the old value is put back.
bool DrawInChildAt(const std::wstring& folder, DWORD dpi) {
    DWORD saved = 0;
    const bool hadValue = ReadLogPixels(saved);
    WriteLogPixels(dpi);
    const bool ok = RunChild(folder, dpi);
    if (hadValue) {
        WriteLogPixels(saved);
    } else {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, DesktopKey, LogPixels);
    }
    return ok;
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (args == nullptr || count < 2) {
        std::fwprintf(stderr, L"usage: candidate_screenshots <output folder>\n");
        return 2;
    }
    const std::wstring folder = args[1];
    const bool child = count >= 4 && std::wstring(args[2]) == ChildSwitch;
    const int childDpi = child ? _wtoi(args[3]) : 0;
    LocalFree(args);

    if (!child) {
        LinkSymbolFont();
        const bool at96 = DrawInChildAt(folder, 96);
        const bool at144 = DrawInChildAt(folder, 144);
        return at96 && at144 ? 0 : 1;
    }
    // Without awareness the system scales the window instead of giving it the real dpi.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    return DrawAll(folder, childDpi) ? 0 : 1;
}
