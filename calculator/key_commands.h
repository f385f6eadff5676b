// The on-screen keys' commands.
#pragma once

#include "calculator/window_port.h"

// WM_COMMAND of a key: runs the command of the key ids (others run nothing) in the
// current function mode, then gives the keyboard focus back to the main window. 2nd and
// the angle-mode key say the mode they leave in force.
void OnKeyCommand(WindowHandle window, int id);

// Runs what a key does outside second-function mode, whatever the mode: typed
// characters mean the same in both. Other ids run nothing.
void RunFirstFunction(WindowHandle window, int id);
