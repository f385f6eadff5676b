// Painting of the owner-drawn keys.
#include <array>

#include "ui/appearance.h"
#include "ui/win32/win32_app.h"

namespace {

COLORREF ColorRefOf(Rgb color) { return static_cast<COLORREF>(ToColorRef(color)); }

void FillKeyShape(HDC dc, const RECT& cell, COLORREF fill, COLORREF border) {
  HBRUSH brush = CreateSolidBrush(fill);
  HPEN pen = CreatePen(PS_SOLID, kKeyBorderWidth, border);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  RoundRect(dc, cell.left + kKeyInset, cell.top + kKeyInset, cell.right - kKeyInset,
            cell.bottom - kKeyInset, kKeyCornerDiameter, kKeyCornerDiameter);
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
  FillKeyShape(item.hDC, item.rcItem, ColorRefOf(pressed ? colors.pressedFill : colors.fill),
               ColorRefOf(colors.border));
  RECT textRect = item.rcItem;
  if (pressed) {
    textRect.left += kPressedTextOffset;
    textRect.top += kPressedTextOffset;
  }
  DrawKeyText(item.hDC, item.hwndItem, textRect, ColorRefOf(colors.text));
}
