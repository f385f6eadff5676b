// What the Win32 window program's files share.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

inline constexpr wchar_t kWindowClass[] = L"URG";

extern HINSTANCE g_hInstance;
extern HWND g_displayWnd;     // the display control, id kDisplayId
extern HBRUSH g_displayBrush; // the display's white background, WM_CREATE to WM_DESTROY

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// WM_DRAWITEM of a key: rounded rectangle in the key's colours, its current text on top.
void PaintKey(const DRAWITEMSTRUCT& item);
