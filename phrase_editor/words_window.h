#pragma once
// The phrase editor's one fixed-size window: its class, creation, painting and commands.

#include <windows.h>

#include <filesystem>

LRESULT CALLBACK WordsWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

bool RegisterWordsWindowClass(HINSTANCE instance);
// Creating it loads the main table and lists the user phrases.
HWND CreateWordsWindow(HINSTANCE instance);

// The main table beside the user-phrase file, in its x64 folder, else three folders up.
std::filesystem::path FindMainTablePath();
