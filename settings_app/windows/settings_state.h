#pragma once
// The settings window's state: one set for the one window of the process, with constant
// initial values, so nothing needs setting up before the window is created.

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "theme_colors.h"

extern ThemeColors g_theme;          // the colours being edited
extern std::int32_t g_fontSize;      // the candidate font size being edited
extern COLORREF g_customColors[16];  // the colour dialog's custom colours, never stored
extern HFONT g_titleFont;
extern HFONT g_bodyFont;
extern HFONT g_previewFont;

// Slot j (0..5) of g_theme.
ColorRef& ThemeSlot(std::size_t slot);

void CreateWindowFonts();
void RecreatePreviewFont();
void DeleteWindowFonts();

// Gives one child window g_bodyFont; the callback of the enumeration of all children.
BOOL CALLBACK SetChildFont(HWND child, LPARAM);
