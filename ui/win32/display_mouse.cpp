#include "ui/win32/display_mouse.h"

#include "calculator/caret.h"
#include "calculator/keypad.h"
#include "ui/win32/display.h"

namespace {

bool g_dragging = false;  // the left button went down on the display, and we hold the capture

// The point of a mouse message to the main window, in the display's client area.
POINT InDisplay(HWND window, HWND display, LPARAM position) {
  POINT at{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  MapWindowPoints(window, display, &at, 1);
  return at;
}

bool Inside(HWND display, POINT at) {
  RECT client{};
  GetClientRect(display, &client);
  return PtInRect(&client, at) != FALSE;
}

bool PointerOnDisplay(HWND display) {
  POINT at{};
  GetCursorPos(&at);
  ScreenToClient(display, &at);
  return Inside(display, at);
}

}  // namespace

bool OnDisplayMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND display = GetDlgItem(window, kDisplayId);
  if (display == nullptr) return false;
  switch (message) {
    case WM_LBUTTONDOWN: {
      const POINT at = InDisplay(window, display, lParam);
      if (!Inside(display, at)) return false;
      // From the history pane too: the keys edit where the caret now stands.
      if (GetFocus() != window) SetFocus(window);
      SetCapture(window);
      g_dragging = true;
      PlaceCaret(window, DisplayBoundaryAt(display, at.x), (wParam & MK_SHIFT) != 0);
      return true;
    }
    case WM_LBUTTONDBLCLK: {
      const POINT at = InDisplay(window, display, lParam);
      if (!Inside(display, at)) return false;
      SelectTokenAt(window, DisplayCharacterAt(display, at.x));
      return true;
    }
    case WM_MOUSEMOVE:
      // Beyond the band's ends too: the view follows the caret there.
      if (!g_dragging) return false;
      PlaceCaret(window, DisplayBoundaryAt(display, InDisplay(window, display, lParam).x), true);
      return true;
    case WM_LBUTTONUP:
      if (!g_dragging) return false;
      ReleaseCapture();
      return true;
    case WM_CAPTURECHANGED:
      g_dragging = false;
      return false;
    case WM_SETCURSOR:
      if (LOWORD(lParam) != HTCLIENT || !PointerOnDisplay(display)) return false;
      SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
      return true;
    default:
      return false;
  }
}
