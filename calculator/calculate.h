// The "=" action.
#pragma once

#include "calculator/window_port.h"

// Evaluates g_expr, shows the outcome (spoken) and records it in the history. "0" and ""
// are left alone.
void Calculate(WindowHandle window);
