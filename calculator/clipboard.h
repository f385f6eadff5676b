// Copy and paste of the expression.
#pragma once

#include "calculator/window_port.h"

// The whole display text.
void CopyDisplay(WindowHandle window);
// The clipboard's text enters by the operand rule, controls dropped and full-width forms
// read as ASCII; a paste the length limit refuses beeps and changes nothing.
void PasteClipboard(WindowHandle window);
