// The display: the static control kDisplayId, whose window text stays the expression
// (MSAA names it by that text, the live region speaks it), painted by the program itself
// with the caret's selection and scrolled to keep the caret in view, and the expression
// line above it while that is on; and the main window's system caret over it, which
// screen readers and magnifiers follow.
#pragma once

#include <cstddef>
#include <string>

#include "ui/win32/win32.h"

// Takes over the control's painting, with the text it was made with; once, before it
// gets its font.
void AdoptDisplay(HWND display);
// Writes the text into the window text, with the caret and the selection's other end
// (indices into the text, on character boundaries).
void ShowDisplayText(HWND display, const std::wstring& text, std::size_t caret,
                     std::size_t anchor);

// The expression line on or off, and its text (empty: nothing to draw).
void ShowExpressionLine(HWND display, bool shown, const std::wstring& text);
// The line's font for the display's DPI; at the start and on every change of DPI.
void ScaleExpressionLine(HWND display, int dpi);

// The main window gained or lost the keyboard focus: its system caret stands over the
// display while it has it.
void CreateDisplayCaret(HWND display);
void DestroyDisplayCaret();
// The colours changed: the caret takes the new text colour.
void RefreshDisplayCaret(HWND display);

// At an x of the display's client area: the nearest character boundary, and the
// character whose cell holds it (the first or last one beyond the text's ends).
std::size_t DisplayBoundaryAt(HWND display, int x);
std::size_t DisplayCharacterAt(HWND display, int x);
