// The grid that places the display and the keys in the client area.
#pragma once

#include "calculator/keypad.h"

struct Rect {
  int x;
  int y;
  int width;
  int height;
};

// Outer size of the main window at start, and the client area that leaves on Windows,
// at the base DPI.
inline constexpr int kWindowWidth = 820;
inline constexpr int kWindowHeight = 580;
inline constexpr int kStartClientWidth = 804;
inline constexpr int kStartClientHeight = 541;

// Every pixel number of the window is given at this DPI.
inline constexpr int kBaseDpi = 96;

// pixels × dpi / 96, rounded half away from zero as Windows' MulDiv rounds.
int ScaleForDpi(int pixels, int dpi);

// No lower bound: tiny client areas give zero or negative sizes, passed on unchanged.
// At another DPI the margins, gaps and bands scale first and the cells follow from them.
Rect DisplayRect(int clientWidth, int clientHeight, int dpi = kBaseDpi);
Rect KeyRect(const ButtonDef& key, int clientWidth, int clientHeight, int dpi = kBaseDpi);

// The display band's two cells while the expression line is on, in the band's own
// coordinates and as wide as it: the line at the top in kExpressionLineFont, and below it
// the expression's cell, where the expression stays whether the line has text or not. The
// text of each is right-aligned on one line; the line's is elided at its left end. With
// the line off the expression has the whole band, as before there was a line.
Rect ExpressionLineRect(int bandWidth, int dpi = kBaseDpi);
Rect ExpressionCellRect(int bandWidth, int dpi = kBaseDpi);

// The keyboard overview's window at its start, at 96 DPI.
inline constexpr int kKeyboardHelpWidth = 480;
inline constexpr int kKeyboardHelpHeight = 520;

// The history pane right of the keypad, at 96 DPI: the window grows by this width when
// the pane shows, and the client area left of it is laid out as without the pane.
inline constexpr int kHistoryPaneWidth = 200;
// The pane's place in a client area that includes it; paneWidth is kHistoryPaneWidth as
// scaled for the screen.
Rect HistoryPaneRect(int clientWidth, int clientHeight, int paneWidth, int dpi = kBaseDpi);
