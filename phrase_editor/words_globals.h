#pragma once
// The phrase editor's program-wide state: one window, one table, one user-phrase file.

#include <windows.h>

#include <filesystem>

#include "cin_table.h"

// Child ids of the controls that the program talks to.
enum WordsControlId : int {
    IDC_CODE = 201,
    IDC_PHRASE = 202,
    IDC_ADD = 203,
    IDC_OPEN_TEXT = 204,
    IDC_RELOAD = 205,
    IDC_LIST = 206,
    IDC_STATUS = 207,
};

inline constexpr wchar_t WordsWindowClass[] = L"Mo_Input_Ka_Words";

extern std::filesystem::path g_userPhrasePath;
extern CinTable g_table;
extern HWND g_codeEdit;
extern HWND g_phraseEdit;
extern HWND g_listView;
extern HWND g_statusLabel;
extern HFONT g_bodyFont;
extern HFONT g_titleFont;
