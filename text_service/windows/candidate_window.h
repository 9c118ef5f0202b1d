#pragma once
// The toolbar and candidate popup's platform pieces shared by its files.

#include <windows.h>

#include <string>

#include "windows/candidate_geometry.h"

inline constexpr wchar_t CandidateWindowClass[] = L"Mo_Input_Ka_Candidates";
inline constexpr UINT_PTR IDT_CANDIDATE_FOLLOW = 1;
inline constexpr UINT CandidateFollowInterval = 80;  // milliseconds

LRESULT CALLBACK CandidatesWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The window's dpi, 96 when the platform gives none.
int CandidateWindowDpi(HWND window);

// The client rectangle as plain values (left and top 0).
LayoutRect CandidateClientRect(HWND window);

// Widens a running width to hold one row text measured in the device context's font.
// Holds references to the caller's values: the width grows in place.
class CandidateWidthMeasurer {
  public:
    CandidateWidthMeasurer(HDC& deviceContext, int& runningWidth, const int& textMargin,
                           const int& windowDpi)
        : dc(deviceContext), width(runningWidth), margin(textMargin), dpi(windowDpi) {}

    // The new width, or 0 when the text could not be measured (the width is kept).
    int operator()(const std::wstring& rowText) const;

  private:
    HDC& dc;
    int& width;
    const int& margin;
    const int& dpi;
};
