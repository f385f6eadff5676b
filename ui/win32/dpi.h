// The DPI that a window's pixel numbers are scaled for.
#pragma once

#include "ui/win32/win32.h"

// The window's own DPI where the system tracks it per monitor, else the screen's.
int WindowDpi(HWND window);
// The DPI of the primary screen, for sizes chosen before a window exists.
int SystemDpi();
