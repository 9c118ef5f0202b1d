#include "words_globals.h"

std::filesystem::path g_userPhrasePath;
CinTable g_table;
HWND g_codeEdit = nullptr;
HWND g_phraseEdit = nullptr;
HWND g_listView = nullptr;
HWND g_statusLabel = nullptr;
HFONT g_bodyFont = nullptr;
HFONT g_titleFont = nullptr;
