// The display's context menu: from a right click on the display, the Menu key and
// Shift+F10, which DefWindowProcW turns into WM_CONTEXTMENU.
#pragma once

#include "ui/win32/win32.h"

// False when the click was not on the display.
bool OnContextMenu(HWND window, LPARAM position);
