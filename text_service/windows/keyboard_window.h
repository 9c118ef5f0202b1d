#pragma once
// The on-screen keyboard's window class and procedure.

#include <windows.h>

inline constexpr wchar_t KeyboardWindowClass[] = L"Mo_Input_Ka_Keyboard";
inline constexpr wchar_t KeyboardWindowTitle[] = L"悠然Ka 小鍵盤";
inline constexpr UINT_PTR IDT_KEYBOARD_VISIBILITY = 1;
inline constexpr UINT KeyboardVisibilityInterval = 80;  // ms

LRESULT CALLBACK KeyboardWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
