#pragma once
// Saves what a window shows on the screen into a 24-bit BMP file, for the screenshot
// programs and for tests that probe pixels. The window must be visible and painted.

#include <windows.h>

#include <string>
#include <vector>

namespace test_support {

// Pumps the thread's pending messages so the windows paint before a capture.
void PumpMessages(DWORD forMilliseconds = 100);

// The screen pixels under the window's rectangle, top row first, 0x00RRGGBB each.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
    DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
bool CaptureWindow(HWND window, Capture& out);

bool SaveBmp(const Capture& capture, const std::wstring& path);
// CaptureWindow then SaveBmp.
bool SaveWindowBmp(HWND window, const std::wstring& path);

}  // namespace test_support
