#pragma once
// What the three buttons do: list the user-phrase file, add a checked phrase to it, and
// open it in the user's text editor. Every outcome goes to the status line.

#include <windows.h>

#include <string>

// Loads the user phrases (the loader validates the file) and refills the list; false
// when the loader rejects the file, which leaves the list as it was.
bool ReloadUserPhrases();
void OnAddPhrase();
void OnOpenPlainText();

std::wstring GetControlText(HWND control);
void SetStatusText(const std::wstring& text);
