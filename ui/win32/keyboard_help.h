// The keyboard overview's window (F1, "键盘快捷键"): a modeless window owned by the main
// window and made when first asked, one at a time, whose owner-drawn list box holds the
// groups of KeyboardOverview as heading items and their rows as "keys  description",
// which screen readers read item by item.
#pragma once

#include "ui/win32/win32.h"

// Opens it centred on the main window, or brings the open one to the front; the keyboard
// focus goes to its list. Escape there or closing it gives the focus back to the main
// window.
void OpenKeyboardHelp(HWND main);
// The colours changed (ApplySystemColors): the open window repaints in them.
void RefreshKeyboardHelpColors();
