// Copy, cut and paste of the expression.
#pragma once

#include "calculator/window_port.h"

// The selection, or the whole display text when nothing is selected.
void CopyDisplay(WindowHandle window);
// The selection to the clipboard and out of the text; nothing without one.
void CutSelection(WindowHandle window);
// The clipboard's text enters by the operand rule at the caret, controls dropped and
// full-width forms read as ASCII; a paste the length limit refuses beeps and changes
// nothing.
void PasteClipboard(WindowHandle window);
