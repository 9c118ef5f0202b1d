#pragma once
// The settings window: its class, its creation and the message loop that runs it.

#include <windows.h>

#include <string_view>

#include "settings_messages.h"

inline constexpr wchar_t SettingsWindowClass[] = L"Mo_Input_Ka_Settings";
inline constexpr wchar_t SettingsWindowTitle[] = L"悠然輸入法-啟明星 設定";
inline constexpr int SettingsWindowWidth = 700;
inline constexpr int SettingsWindowHeight = 710;

LRESULT CALLBACK SettingsWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

bool RegisterSettingsWindowClass(HINSTANCE instance);
HWND CreateSettingsWindow(HINSTANCE instance);

// Runs until the quit message or a failed fetch; returns the exit code.
int RunMessageLoop();

// The parts of SettingsWndProc, one file each.
void CreateSettingsControls(HWND window);
void SaveSettings(HWND window);
void ChangeInputProfile(HWND window, bool enable);
void StartPhraseEditor(HWND window);
// The same with the program's own path as GetModuleFileNameW left it in a buffer of
// OwnPathBufferUnits, and the length it returned.
void StartPhraseEditorFrom(HWND window, std::wstring_view ownPath, DWORD returnedLength);
void ApplyThemeChoice(HWND window);
void ApplyFontSizeChoice(HWND window);
void PickColor(HWND window, int slot);
void PaintSettingsWindow(HWND window);
void DrawColorButton(const DRAWITEMSTRUCT& item, int slot);
void ShowSettingsMessage(HWND window, SettingsMessage message);
