#include "ui/win32/fonts.h"

#include "ui/layout.h"

HFONT CreateFontFrom(const FontSpec& font, int dpi) {
  return CreateFontW(ScaleForDpi(font.height, dpi), 0, 0, 0, font.weight, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, font.face);
}
