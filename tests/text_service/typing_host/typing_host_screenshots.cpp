// typing_host_screenshots.exe OUTDIR: the typing host with a reading in its composition,
// then with the candidate list of that code beside the caret, saved as BMP files.

#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "fake_tsf/key_delivery.h"
#include "fake_tsf/test_environment.h"
#include "typing_host_window.h"
#include "window_capture.h"

namespace {

// The screen under the host window and, when one is shown, the candidate window.
bool SaveHostAndPopup(HWND host, const std::wstring& path) {
    RECT area;
    GetWindowRect(host, &area);
    if (HWND popup = FindWindowW(L"Mo_Input_Ka_Candidates", nullptr);
        popup != nullptr && IsWindowVisible(popup)) {
        RECT popupRect;
        GetWindowRect(popup, &popupRect);
        UnionRect(&area, &area, &popupRect);
    }
    InflateRect(&area, 8, 8);
    test_support::Capture screen;
    if (!test_support::CaptureWindow(GetDesktopWindow(), screen)) return false;
    area.left = std::max(0L, area.left);
    area.top = std::max(0L, area.top);
    area.right = std::min<LONG>(screen.width, area.right);
    area.bottom = std::min<LONG>(screen.height, area.bottom);
    test_support::Capture crop;
    crop.width = area.right - area.left;
    crop.height = area.bottom - area.top;
    for (int y = 0; y < crop.height; ++y) {
        for (int x = 0; x < crop.width; ++x) {
            crop.pixels.push_back(screen.At(area.left + x, area.top + y));
        }
    }
    return test_support::SaveBmp(crop, path);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::wstring out = count > 1 ? arguments[1] : L".";
    LocalFree(arguments);

    fake_tsf::ComApartment apartment;
    fake_tsf::UseTable(L"Z:" MOIK_SOURCE_DIR_W L"/data/ZiRevod-Ka.cin");
    typing_host::TypingHostWindow host;
    if (!host.Create(instance, 60, 60)) return 2;
    host.Document().SetDocument(L"輸入：", 3);
    fake_tsf::Keyboard keyboard(host.Keystrokes());
    const auto settle = [&] {
        host.Document().RunPendingSessions();
        InvalidateRect(host.Window(), nullptr, TRUE);
        test_support::PumpMessages(400);
    };

    keyboard.Type('X');
    settle();
    int failures = SaveHostAndPopup(host.Window(), out + L"\\typing_host_reading.bmp") ? 0 : 1;
    keyboard.Type(VK_SPACE);
    settle();
    failures += SaveHostAndPopup(host.Window(), out + L"\\typing_host_candidates.bmp") ? 0 : 1;
    keyboard.Type(VK_SPACE);
    settle();
    failures +=
        SaveHostAndPopup(host.Window(), out + L"\\typing_host_candidates_page2.bmp") ? 0 : 1;
    keyboard.Type('2');
    settle();
    failures += SaveHostAndPopup(host.Window(), out + L"\\typing_host_committed.bmp") ? 0 : 1;
    host.Stop();
    return failures;
}
