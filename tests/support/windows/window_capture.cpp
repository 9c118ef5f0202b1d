#include "window_capture.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

namespace test_support {

void PumpMessages(DWORD forMilliseconds) {
    const DWORD start = GetTickCount();
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    } while (GetTickCount() - start < forMilliseconds);
}

bool CaptureWindow(HWND window, Capture& out) {
    RECT r;
    if (!GetWindowRect(window, &r)) return false;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return false;

    // The screen, not the window's own DC: it shows exactly what a user would see.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = bitmap != nullptr;
    if (ok) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY) != FALSE;
        GdiFlush();
        if (ok) {
            const auto* p = static_cast<const DWORD*>(bits);
            out.width = width;
            out.height = height;
            out.pixels.assign(p, p + static_cast<size_t>(width) * height);
            for (DWORD& px : out.pixels) px &= 0x00FFFFFF;
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

namespace {

void Put16(std::ofstream& f, std::uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); }
void Put32(std::ofstream& f, std::uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); }

}  // namespace

bool SaveBmp(const Capture& c, const std::wstring& path) {
    std::ofstream f(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    if (!f) return false;
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(c.width) * 3 + 3) & ~3u;
    const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(c.height);
    Put16(f, 0x4D42);
    Put32(f, 54 + imageBytes);
    Put32(f, 0);
    Put32(f, 54);
    Put32(f, 40);
    Put32(f, static_cast<std::uint32_t>(c.width));
    Put32(f, static_cast<std::uint32_t>(c.height));  // bottom-up rows
    Put16(f, 1);
    Put16(f, 24);
    Put32(f, 0);
    Put32(f, imageBytes);
    Put32(f, 2835);
    Put32(f, 2835);
    Put32(f, 0);
    Put32(f, 0);
    std::vector<char> row(rowBytes, 0);
    for (int y = c.height - 1; y >= 0; --y) {
        for (int x = 0; x < c.width; ++x) {
            const DWORD px = c.At(x, y);
            row[static_cast<size_t>(x) * 3 + 0] = static_cast<char>(px & 0xFF);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<char>((px >> 8) & 0xFF);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<char>((px >> 16) & 0xFF);
        }
        f.write(row.data(), static_cast<std::streamsize>(row.size()));
    }
    return static_cast<bool>(f);
}

bool SaveWindowBmp(HWND window, const std::wstring& path) {
    Capture c;
    return CaptureWindow(window, c) && SaveBmp(c, path);
}

}  // namespace test_support
