// The memory register's keys.
#pragma once

#include "calculator/window_port.h"

// Each is spoken: "存储已清除", or "存储 " and what the register holds.
void MemoryClear(WindowHandle window);
// m+ and m- take the number at the start of the text, not the value of the expression:
// "2+3" gives 2. Text that does not start with a number, or a number out of range,
// counts as 0.
void MemoryAdd(WindowHandle window);
void MemorySubtract(WindowHandle window);
// The register's value in place of the whole text, with 14 significant digits.
void MemoryRecall(WindowHandle window);
