// Painting of the owner-drawn keys.
#pragma once

#include "ui/win32/win32.h"

// WM_DRAWITEM of a key: rounded rectangle in the key's colours, its current text on top.
void PaintKey(const DRAWITEMSTRUCT& item);
