// The mouse on the display. The static control lets the mouse through (it has no
// SS_NOTIFY), so the main window gets these messages wherever the display stands.
#pragma once

#include "ui/win32/win32.h"

// A press puts the caret at the nearest boundary (with Shift, extends the selection to
// it), a drag selects, a double-click selects the token under the pointer, and the
// pointer is an I-beam over the text. False for a message this leaves to the window.
bool OnDisplayMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
