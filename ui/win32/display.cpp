#include "ui/win32/display.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>
#include <vector>

#include "calculator/characters.h"
#include "ui/appearance.h"
#include "ui/layout.h"
#include "ui/win32/color_scheme.h"
#include "ui/win32/dpi.h"
#include "ui/win32/fonts.h"

namespace {

// One display in the program, so one of each.
struct DisplayState {
  WNDPROC staticProc = nullptr;
  std::wstring text;
  std::size_t caret = 0;
  std::size_t anchor = 0;
  // x of each boundary from the text's start, edges[i] before text[i]: GetTextExtentExPointW's
  // partial extents, which ExtTextOutW draws by.
  std::vector<int> edges{0};
  int lineHeight = 0;
  int offset = 0;  // x of the text's start in the expression's line; negative once scrolled
};
DisplayState g_display;

// The expression line above it, while on: its text, measured as the expression is, in its
// own font.
struct LineState {
  bool shown = false;
  std::wstring text;
  std::vector<int> edges{0};
  int height = 0;
  int ellipsisWidth = 0;
  HFONT font = nullptr;
};
LineState g_line;

constexpr wchar_t kEllipsis[] = L"\u2026";

struct SystemCaret {
  bool hidden = false;  // VORLANE_HIDE_CARET=1: made and moved, never shown
  bool owned = false;   // the main window has the focus, and with it the caret
  HBITMAP shape = nullptr;
  int width = 0;
  int height = 0;
  COLORREF color = 0;
};
SystemCaret g_caret;

HFONT FontOf(HWND display) {
  return reinterpret_cast<HFONT>(SendMessageW(display, WM_GETFONT, 0, 0));
}

// One of the band's cells (ui/layout.h) in the display's client area.
RECT InBand(HWND display, Rect (*cell)(int, int)) {
  RECT band{};
  GetClientRect(display, &band);
  const Rect at = cell(band.right, WindowDpi(display));
  return {at.x, at.y, at.x + at.width, at.y + at.height};
}

// Alone, the expression has the whole band; with the line on, its own cell below it.
// Everything that places the expression, the caret or the mouse follows this box.
RECT ExpressionBox(HWND display) {
  if (g_line.shown) return InBand(display, ExpressionCellRect);
  RECT box{};
  GetClientRect(display, &box);
  return box;
}

// Alone, where DrawTextW's DT_VCENTER puts a line, as the static control drew it; under
// the line, on the cell's bottom, so that it stays put when the line empties.
int LineTop(const RECT& box) {
  if (g_line.shown) return box.bottom - g_display.lineHeight;
  return box.top + (box.bottom - box.top) / 2 - g_display.lineHeight / 2;
}

// The user's caret width (the accessibility settings widen it), in pixels at 96 DPI.
int CaretWidth(HWND display) {
  DWORD width = 1;
  SystemParametersInfoW(SPI_GETCARETWIDTH, 0, &width, 0);
  return ScaleForDpi(static_cast<int>(std::max<DWORD>(width, 1)), WindowDpi(display));
}

// The partial extents of text in a font, into edges, which holds text.size() + 1: no
// allocation, so that a new font can be measured inside the window procedure.
void Measure(HWND display, HFONT font, std::wstring_view text, int* edges, int& lineHeight) {
  HDC dc = GetDC(display);
  if (dc == nullptr) return;
  HGDIOBJ oldFont = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  lineHeight = metrics.tmHeight;
  edges[0] = 0;
  SIZE size{};
  if (!text.empty()) {
    GetTextExtentExPointW(dc, text.data(), static_cast<int>(text.size()), 0, nullptr, edges + 1,
                          &size);
  }
  SelectObject(dc, oldFont);
  ReleaseDC(display, dc);
}

// Where the text fits it stands right-aligned; where it is wider the view moves only as
// far as the caret needs, so that moving the caret inside the view leaves the text still.
void KeepCaretInView(HWND display) {
  const RECT box = ExpressionBox(display);
  const int width = box.right - box.left;
  const int textWidth = g_display.edges.back();
  if (textWidth <= width) {
    g_display.offset = width - textWidth;
    return;
  }
  const int leftmost = width - textWidth;
  int offset = std::clamp(g_display.offset, leftmost, 0);
  const int caretX = offset + g_display.edges[g_display.caret];
  const int room = width - CaretWidth(display);
  if (caretX < 0) {
    offset -= caretX;
  } else if (caretX > room) {
    offset -= caretX - room;
  }
  // The caret at the end shows the end where the short text stands, not a caret's width
  // further left.
  g_display.offset = std::clamp(offset, leftmost, 0);
}

// In the display's client area; at the end of a text that fills the band, on its last
// pixels.
RECT CaretBox(HWND display) {
  const RECT box = ExpressionBox(display);
  const int width = CaretWidth(display);
  const int x = std::clamp(box.left + g_display.offset + g_display.edges[g_display.caret],
                           box.left, std::max(box.left, box.right - width));
  const int top = LineTop(box);
  return {x, top, x + width, top + g_display.lineHeight};
}

// The system draws the caret by inverting with its bitmap: over the background, this
// colour shows the text colour.
COLORREF CaretColor() {
  const ColorSet& colors = ActiveColors();
  return ToColorRef(colors.displayText) ^ ToColorRef(colors.displayBackground);
}

HBITMAP CaretShape(int width, int height, COLORREF color) {
  HDC screen = GetDC(nullptr);
  HBITMAP shape = CreateCompatibleBitmap(screen, width, height);
  HDC memory = CreateCompatibleDC(screen);
  if (shape != nullptr && memory != nullptr) {
    HGDIOBJ old = SelectObject(memory, shape);
    SetBkColor(memory, color);
    const RECT all{0, 0, width, height};
    ExtTextOutW(memory, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    SelectObject(memory, old);
  }
  if (memory != nullptr) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return shape;
}

// Made anew when its size or colour changes (font, DPI, colour set), else only moved.
void PlaceSystemCaret(HWND display) {
  if (!g_caret.owned) return;
  HWND main = GetParent(display);
  const RECT at = CaretBox(display);
  const int width = at.right - at.left;
  const int height = at.bottom - at.top;
  const COLORREF color = CaretColor();
  if (width != g_caret.width || height != g_caret.height || color != g_caret.color) {
    if (width <= 0 || height <= 0) return;
    HBITMAP shape = CaretShape(width, height, color);
    if (shape == nullptr || !CreateCaret(main, shape, 0, 0)) {
      if (shape != nullptr) DeleteObject(shape);
      return;
    }
    if (g_caret.shape != nullptr) DeleteObject(g_caret.shape);
    g_caret.shape = shape;
    g_caret.width = width;
    g_caret.height = height;
    g_caret.color = color;
    if (!g_caret.hidden) ShowCaret(main);
  }
  POINT corner{at.left, at.top};
  MapWindowPoints(display, main, &corner, 1);
  SetCaretPos(corner.x, corner.y);
}

void Relayout(HWND display) {
  KeepCaretInView(display);
  InvalidateRect(display, nullptr, FALSE);
  PlaceSystemCaret(display);
}

void DrawExpression(HDC dc, const RECT& box) {
  const std::wstring& text = g_display.text;
  const int x = box.left + g_display.offset;
  const int top = LineTop(box);
  const auto length = static_cast<UINT>(text.size());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ToColorRef(ActiveColors().displayText));
  ExtTextOutW(dc, x, top, ETO_CLIPPED, &box, text.c_str(), length, nullptr);
  if (g_display.caret == g_display.anchor) return;
  // The selected part again over its fill, clipped to it: the glyphs stay where they are.
  const auto [start, end] = std::minmax(g_display.caret, g_display.anchor);
  RECT marked{x + g_display.edges[start], top, x + g_display.edges[end],
              top + g_display.lineHeight};
  if (!IntersectRect(&marked, &marked, &box)) return;
  SetBkColor(dc, ToColorRef(ActiveColors().displaySelection));
  SetTextColor(dc, ToColorRef(ActiveColors().displaySelectionText));
  ExtTextOutW(dc, x, top, ETO_CLIPPED | ETO_OPAQUE, &marked, text.c_str(), length, nullptr);
}

// Right-aligned; too long for its cell, it gives up its start to an ellipsis, so that the
// end, "=" and what it gives, stays in view.
void DrawLine(HDC dc, const RECT& box) {
  const std::vector<int>& edges = g_line.edges;
  std::size_t start = 0;
  int ellipsis = 0;
  if (edges.back() > box.right - box.left) {
    ellipsis = g_line.ellipsisWidth;
    const int cut = edges.back() + ellipsis - (box.right - box.left);
    // A band narrower than the ellipsis keeps nothing of the text.
    start = std::min(static_cast<std::size_t>(
                         std::lower_bound(edges.begin(), edges.end(), cut) - edges.begin()),
                     g_line.text.size());
    // Never half a pair: the next whole character, a little narrower still.
    if (const std::size_t whole = CharacterBoundary(g_line.text, start); whole != start) {
      start = NextCharacter(g_line.text, whole);
    }
  }
  const int x = box.right - (edges.back() - edges[start]);
  const int top = box.top + (box.bottom - box.top - g_line.height) / 2;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ToColorRef(ActiveColors().displaySecondaryText));
  if (ellipsis > 0) ExtTextOutW(dc, x - ellipsis, top, ETO_CLIPPED, &box, kEllipsis, 1, nullptr);
  ExtTextOutW(dc, x, top, ETO_CLIPPED, &box, g_line.text.c_str() + start,
              static_cast<UINT>(g_line.text.size() - start), nullptr);
}

void Draw(HWND display, HDC dc, const RECT& client) {
  FillRect(dc, &client, DisplayBrush());
  HGDIOBJ oldFont = SelectObject(dc, FontOf(display));
  DrawExpression(dc, ExpressionBox(display));
  if (g_line.shown && !g_line.text.empty() && g_line.font != nullptr) {
    SelectObject(dc, g_line.font);
    DrawLine(dc, InBand(display, ExpressionLineRect));
  }
  SelectObject(dc, oldFont);
}

// Drawn aside and copied in one piece, so that a key press never shows the band empty.
void Paint(HWND display, HDC target) {
  RECT client{};
  GetClientRect(display, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  HDC dc = CreateCompatibleDC(target);
  HBITMAP image = dc != nullptr ? CreateCompatibleBitmap(target, client.right, client.bottom)
                                : nullptr;
  if (image == nullptr) {
    if (dc != nullptr) DeleteDC(dc);
    Draw(display, target, client);
    return;
  }
  HGDIOBJ oldImage = SelectObject(dc, image);
  Draw(display, dc, client);
  BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldImage);
  DeleteObject(image);
  DeleteDC(dc);
}

// The static control keeps its window text, its font and its transparency to the mouse;
// the painting is the program's. Nothing here allocates: no exception crosses the system.
LRESULT CALLBACK DisplayProc(HWND display, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      // The caret is drawn over the display by inverting: it must be off while the
      // pixels under it change.
      HWND main = GetParent(display);
      HideCaret(main);
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(display, &paint);
      if (dc != nullptr) Paint(display, dc);
      EndPaint(display, &paint);
      ShowCaret(main);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(display, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_ERASEBKGND:
      return TRUE;  // the painting covers the band
    case WM_SETTEXT: {
      // The static control would paint its new text at once, its own way.
      const LRESULT result = DefWindowProcW(display, message, wParam, lParam);
      InvalidateRect(display, nullptr, FALSE);
      return result;
    }
    case WM_SETFONT: {
      const LRESULT result =
          CallWindowProcW(g_display.staticProc, display, message, wParam, lParam);
      Measure(display, FontOf(display), g_display.text, g_display.edges.data(),
              g_display.lineHeight);
      Relayout(display);
      return result;
    }
    case WM_SIZE:
      Relayout(display);
      break;
    case WM_MOVE:
      PlaceSystemCaret(display);
      break;
    default:
      break;
  }
  return CallWindowProcW(g_display.staticProc, display, message, wParam, lParam);
}

std::size_t NearestBoundary(std::size_t i) { return CharacterBoundary(g_display.text, i); }

// x from the start of the text.
int TextX(HWND display, int x) { return x - ExpressionBox(display).left - g_display.offset; }

}  // namespace

void AdoptDisplay(HWND display) {
  std::array<wchar_t, 2> value{};
  g_caret.hidden = GetEnvironmentVariableW(L"VORLANE_HIDE_CARET", value.data(),
                                           static_cast<DWORD>(value.size())) == 1 &&
                   value[0] == L'1';
  // The text it was made with, measured once it has its font.
  g_display.text.resize(static_cast<std::size_t>(GetWindowTextLengthW(display)) + 1);
  g_display.text.resize(static_cast<std::size_t>(GetWindowTextW(
      display, g_display.text.data(), static_cast<int>(g_display.text.size()))));
  g_display.caret = g_display.anchor = g_display.text.size();
  g_display.edges.assign(g_display.text.size() + 1, 0);
  g_display.staticProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(display, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DisplayProc)));
}

void ShowDisplayText(HWND display, const std::wstring& text, std::size_t caret,
                     std::size_t anchor) {
  if (text != g_display.text) {
    // Measured aside: out of memory, the display keeps what it showed.
    std::wstring shown = text;
    std::vector<int> edges(shown.size() + 1);
    int lineHeight = g_display.lineHeight;
    Measure(display, FontOf(display), shown, edges.data(), lineHeight);
    g_display.text.swap(shown);
    g_display.edges.swap(edges);
    g_display.lineHeight = lineHeight;
    g_display.caret = std::min(caret, text.size());
    g_display.anchor = std::min(anchor, text.size());
    SetWindowTextW(display, text.c_str());
  } else {
    g_display.caret = std::min(caret, text.size());
    g_display.anchor = std::min(anchor, text.size());
  }
  Relayout(display);
}

void ShowExpressionLine(HWND display, bool shown, const std::wstring& text) {
  if (shown == g_line.shown && text == g_line.text) return;
  if (text != g_line.text) {
    // Measured aside, as the expression is.
    std::wstring line = text;
    std::vector<int> edges(line.size() + 1);
    int height = g_line.height;
    if (g_line.font != nullptr) Measure(display, g_line.font, line, edges.data(), height);
    g_line.text.swap(line);
    g_line.edges.swap(edges);
    g_line.height = height;
  }
  // On or off, the expression moves between the whole band and its cell.
  g_line.shown = shown;
  Relayout(display);
}

void ScaleExpressionLine(HWND display, int dpi) {
  HFONT font = CreateFontFrom(kExpressionLineFont, dpi);
  if (font == nullptr) return;
  if (g_line.font != nullptr) DeleteObject(g_line.font);
  g_line.font = font;
  // Into the edges the text already has: nothing is allocated on a change of DPI.
  std::array<int, 2> ellipsis{};
  Measure(display, font, kEllipsis, ellipsis.data(), g_line.height);
  g_line.ellipsisWidth = ellipsis[1];
  Measure(display, font, g_line.text, g_line.edges.data(), g_line.height);
  Relayout(display);
}

void CreateDisplayCaret(HWND display) {
  g_caret.owned = true;
  g_caret.width = 0;  // made anew
  PlaceSystemCaret(display);
}

void DestroyDisplayCaret() {
  if (!g_caret.owned) return;
  DestroyCaret();
  if (g_caret.shape != nullptr) DeleteObject(g_caret.shape);
  g_caret = {.hidden = g_caret.hidden};
}

void RefreshDisplayCaret(HWND display) { PlaceSystemCaret(display); }

std::size_t DisplayBoundaryAt(HWND display, int x) {
  const int at = TextX(display, x);
  const std::vector<int>& edges = g_display.edges;
  const auto after = std::lower_bound(edges.begin(), edges.end(), at);
  auto i = static_cast<std::size_t>(after - edges.begin());
  if (i == edges.size() || (i > 0 && at - edges[i - 1] < edges[i] - at)) --i;
  return NearestBoundary(i);
}

std::size_t DisplayCharacterAt(HWND display, int x) {
  if (g_display.text.empty()) return 0;
  const int at = TextX(display, x);
  const std::vector<int>& edges = g_display.edges;
  const auto beyond = std::upper_bound(edges.begin(), edges.end(), at);
  const auto i = beyond == edges.begin() ? 0 : static_cast<std::size_t>(beyond - edges.begin()) - 1;
  return NearestBoundary(std::min(i, g_display.text.size() - 1));
}
