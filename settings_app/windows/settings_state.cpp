#include "settings_state.h"

ThemeColors g_theme = ThemePresets[0];
std::int32_t g_fontSize = 16;
COLORREF g_customColors[16] = {};
HFONT g_titleFont = nullptr;
HFONT g_bodyFont = nullptr;
HFONT g_previewFont = nullptr;

namespace {
constexpr wchar_t FontFace[] = L"Microsoft JhengHei UI";

HFONT MakeFont(int height, int weight) {
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, FontFace);
}

void DeleteFont(HFONT& font) {
    if (font) DeleteObject(font);
    font = nullptr;
}
}  // namespace

ColorRef& ThemeSlot(std::size_t slot) { return ThemeSlot(g_theme, slot); }

void CreateWindowFonts() {
    g_titleFont = MakeFont(-25, 600);
    g_bodyFont = MakeFont(-18, 400);
}

void RecreatePreviewFont() {
    DeleteFont(g_previewFont);
    g_previewFont = MakeFont(-g_fontSize, 400);
}

void DeleteWindowFonts() {
    DeleteFont(g_titleFont);
    DeleteFont(g_bodyFont);
    DeleteFont(g_previewFont);
}

BOOL CALLBACK SetChildFont(HWND child, LPARAM) {
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(g_bodyFont), TRUE);
    return TRUE;
}
