// The window's fonts as GDI makes them.
#pragma once

#include "ui/appearance.h"
#include "ui/win32/win32.h"

// The face at its height scaled for the DPI; the caller deletes it.
HFONT CreateFontFrom(const FontSpec& font, int dpi);
