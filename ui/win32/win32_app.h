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
extern HBRUSH g_displayBrush; // the display's background, WM_CREATE to WM_DESTROY

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Shift, Ctrl and Alt as they are held at the message being handled (KeyModifier bits).
unsigned HeldModifiers();

// WM_DRAWITEM of a key: rounded rectangle in the key's colours, its current text on top.
void PaintKey(const DRAWITEMSTRUCT& item);

// The history pane (history_pane.cpp): the width it takes from the client area (0 while
// hidden or not yet made), its place, and its owner-drawn items.
int HistoryPaneWidth();
void LayOutHistoryPane(int clientWidth, int clientHeight);
bool IsHistoryPane(HWND control);
void MeasureHistoryItem(MEASUREITEMSTRUCT& item);
void PaintHistoryItem(const DRAWITEMSTRUCT& item);

// The colours the system asks for (color_scheme.cpp): chosen, carried into the brushes and
// the title bar, and shown at once. Again on every change of the system's colours.
void ApplySystemColors(HWND window);
// A WM_SETTINGCHANGE that may change them: dark apps or high contrast.
bool IsColorSettingChange(WPARAM action, LPARAM area);
HBRUSH WindowBackgroundBrush();
// The set's own window background, or nullptr while the system's colour paints it.
HBRUSH OwnWindowBrush();
// The history pane's background, or nullptr while the system's colours paint it.
HBRUSH HistoryPaneBrush();
void ReleaseColorBrushes();

// WM_CONTEXTMENU (context_menu.cpp): false when the click was not on the display.
bool OnContextMenu(HWND window, LPARAM position);
