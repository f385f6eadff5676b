#include "ui/win32/key_painter.h"

#include <array>

#include "ui/appearance.h"
#include "ui/layout.h"
#include "ui/win32/color_scheme.h"
#include "ui/win32/dpi.h"

namespace {

void FillKeyShape(HDC dc, const RECT& cell, int dpi, COLORREF fill, COLORREF border) {
  HBRUSH brush = CreateSolidBrush(fill);
  HPEN pen = CreatePen(PS_SOLID, ScaleForDpi(kKeyBorderWidth, dpi), border);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  const int inset = ScaleForDpi(kKeyInset, dpi);
  const int corner = ScaleForDpi(kKeyCornerDiameter, dpi);
  RoundRect(dc, cell.left + inset, cell.top + inset, cell.right - inset, cell.bottom - inset,
            corner, corner);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

void DrawKeyText(HDC dc, HWND button, RECT textRect, COLORREF color) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, color);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
  HGDIOBJ oldFont = SelectObject(dc, font);
  std::array<wchar_t, 256> text{};
  GetWindowTextW(button, text.data(), static_cast<int>(text.size()));
  DrawTextW(dc, text.data(), -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, oldFont);
}

}  // namespace

void PaintKey(const DRAWITEMSTRUCT& item) {
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const KeyColors colors = KeyColorsFor(static_cast<int>(item.CtlID));
  const int dpi = WindowDpi(item.hwndItem);
  FillKeyShape(item.hDC, item.rcItem, dpi, ToColorRef(pressed ? colors.pressedFill : colors.fill),
               ToColorRef(colors.border));
  RECT textRect = item.rcItem;
  if (pressed) {
    textRect.left += ScaleForDpi(kPressedTextOffset, dpi);
    textRect.top += ScaleForDpi(kPressedTextOffset, dpi);
  }
  DrawKeyText(item.hDC, item.hwndItem, textRect,
              ToColorRef(pressed ? colors.pressedText : colors.text));
}
