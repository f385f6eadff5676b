// The Windows program: entry point, main window, its controls and message dispatch.
#include <ctime>
#include <string>

#include "calculator/key_codes.h"
#include "calculator/key_commands.h"
#include "calculator/keyboard.h"
#include "calculator/keypad.h"
#include "calculator/random.h"
#include "calculator/refresh.h"
#include "calculator/saved_history.h"
#include "calculator/state.h"
#include "calculator/storage.h"
#include "ui/appearance.h"
#include "ui/layout.h"
#include "ui/win32/accessibility.h"
#include "ui/win32/color_scheme.h"
#include "ui/win32/context_menu.h"
#include "ui/win32/display.h"
#include "ui/win32/display_mouse.h"
#include "ui/win32/dpi.h"
#include "ui/win32/fonts.h"
#include "ui/win32/history_pane.h"
#include "ui/win32/key_painter.h"
#include "ui/win32/keyboard_help.h"
#include "ui/win32/modifiers.h"
#include "ui/win32/resource.h"
#include "ui/win32/win32.h"

#include <imm.h>

namespace {

constexpr wchar_t kWindowClass[] = L"URG";

HINSTANCE g_hInstance = nullptr;
HWND g_displayWnd = nullptr;  // the display control, id kDisplayId

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool RegisterMainClass();
HWND CreateMainWindow();
void OnCreate(HWND window);
void OnSize(HWND window, int width, int height);
void OnDpiChanged(HWND window, int dpi, const RECT& suggested);
void OnKeyDownMessage(HWND window, WPARAM keyCode, LPARAM keyData);
LRESULT OnCtlColorStatic(HDC dc, HWND control);
LRESULT OnEraseBackground(HWND window, HDC dc);
void OnDestroy();

void ApplyFonts(HWND window, int dpi);
HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id);
wchar_t QueuedChar(LPARAM keyData);

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  g_hInstance = instance;
  SeedRandom(static_cast<unsigned>(std::time(nullptr)));
  RegisterMainClass();
  StartAccessibility();
  HWND window = CreateMainWindow();
  if (window == nullptr) {
    StopAccessibility();
    return 1;
  }
  StartSavedHistory(window, &PlatformStorage());
  ShowWindow(window, showCommand);
  UpdateWindow(window);

  MSG message{};
  // GetMessageW gives -1 only for a bad window handle; treat it as the end, not as a message.
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  StopAccessibility();
  return static_cast<int>(message.wParam);
}

namespace {

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // TRUE to WM_SETCURSOR keeps the default cursor off the display's I-beam.
  if (OnDisplayMouse(window, message, wParam, lParam)) return message == WM_SETCURSOR ? TRUE : 0;
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      break;
    case WM_SIZE:
      OnSize(window, LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_COMMAND:
      // The pane's notifications are no commands: it may keep the focus for Enter.
      if (!IsHistoryPane(reinterpret_cast<HWND>(lParam))) OnKeyCommand(window, LOWORD(wParam));
      break;
    case WM_KEYDOWN:
      OnKeyDownMessage(window, wParam, lParam);
      break;
    case WM_CHAR:
      OnTypedChar(window, static_cast<wchar_t>(wParam), HeldModifiers());
      break;
    case WM_SETFOCUS:
      CreateDisplayCaret(g_displayWnd);
      break;
    case WM_KILLFOCUS:
      DestroyDisplayCaret();
      break;
    case WM_DPICHANGED:
      OnDpiChanged(window, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlType == ODT_LISTBOX) {
        PaintHistoryItem(item);
      } else {
        PaintKey(item);
      }
      return TRUE;
    }
    case WM_MEASUREITEM:
      MeasureHistoryItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CONTEXTMENU:
      if (OnContextMenu(window, lParam)) return 0;
      break;
    case WM_CTLCOLORSTATIC:
      return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORLISTBOX:
      if (HBRUSH pane = HistoryPaneBrush()) return reinterpret_cast<LRESULT>(pane);
      break;
    case WM_CTLCOLORBTN:
      // What shows round a key's corners: the window's background, where the set has its own.
      if (HBRUSH own = OwnWindowBrush()) return reinterpret_cast<LRESULT>(own);
      break;
    case WM_ERASEBKGND:
      return OnEraseBackground(window, reinterpret_cast<HDC>(wParam));
    case WM_SETTINGCHANGE:
      if (IsColorSettingChange(wParam, lParam)) {
        ApplySystemColors(window);
        RefreshDisplayCaret(g_displayWnd);
        RefreshKeyboardHelpColors();
      }
      break;
    case WM_SYSCOLORCHANGE:
      ApplySystemColors(window);
      RefreshDisplayCaret(g_displayWnd);
      RefreshKeyboardHelpColors();
      break;
    case WM_TIMER:
      // The core asked for one call; the system's timer would repeat.
      if (wParam == IDT_RETRY_SAVING) {
        KillTimer(window, IDT_RETRY_SAVING);
        RetrySaving(window);
        return 0;
      }
      break;
    case WM_CLOSE:
      // What a failed save left gets one more try; then the window goes as ever.
      SaveBeforeClosing(window);
      break;
    case WM_ENDSESSION:
      // The session ends without a WM_CLOSE: the process ends after this.
      if (wParam) SaveBeforeClosing(window);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterMainClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;  // double-clicks on the display, which lets the mouse through
  windowClass.lpfnWndProc = MainWndProc;
  windowClass.hInstance = g_hInstance;
  windowClass.hIcon = static_cast<HICON>(
      LoadImageW(g_hInstance, MAKEINTRESOURCEW(IDI_APP_ICON), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
  windowClass.hIconSm = static_cast<HICON>(
      LoadImageW(g_hInstance, MAKEINTRESOURCEW(IDI_APP_ICON), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = kWindowClass;
  return RegisterClassExW(&windowClass) != 0;
}

// Sized for the DPI of the screen it starts on, which may not be the system's.
HWND CreateMainWindow() {
  const std::wstring title(kWindowTitle);
  const int systemDpi = SystemDpi();
  HWND window = CreateWindowExW(0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, ScaleForDpi(kWindowWidth, systemDpi),
                                ScaleForDpi(kWindowHeight, systemDpi), nullptr, nullptr,
                                g_hInstance, nullptr);
  if (window == nullptr) return nullptr;
  if (const int dpi = WindowDpi(window); dpi != systemDpi) {
    SetWindowPos(window, nullptr, 0, 0, ScaleForDpi(kWindowWidth, dpi),
                 ScaleForDpi(kWindowHeight, dpi), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return window;
}

void OnCreate(HWND window) {
  ApplySystemColors(window);

  // No prefix: the display shows the expression exactly, "&" included.
  g_displayWnd = CreateChild(window, L"STATIC", g_expr.c_str(),
                             WS_CHILD | WS_VISIBLE | SS_RIGHT | SS_CENTERIMAGE | SS_NOPREFIX,
                             kDisplayId);
  AdoptDisplay(g_displayWnd);
  MakeLiveRegion(g_displayWnd);
  for (const ButtonDef& key : g_buttons) {
    CreateChild(window, L"BUTTON", key.label.c_str(), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, key.id);
  }
  ApplyFonts(window, WindowDpi(window));
  CreateKeyTips(window);
  RefreshButtonLabels(window);
  // No text field here: with no input context an input method composes nothing, and
  // digits, operators, Enter and Escape stay key-downs whatever its mode.
  ImmAssociateContextEx(window, nullptr, 0);
  SetTitleText(window, WindowTitle());
}

void OnSize(HWND window, int fullWidth, int height) {
  const int dpi = WindowDpi(window);
  // The layout rule applies to the client area left of the history pane.
  const int width = fullWidth - HistoryPaneWidth();
  LayOutHistoryPane(fullWidth, height);
  const Rect display = DisplayRect(width, height, dpi);
  MoveWindow(g_displayWnd, display.x, display.y, display.width, display.height, TRUE);
  for (const ButtonDef& key : g_buttons) {
    const Rect cell = KeyRect(key, width, height, dpi);
    MoveWindow(GetDlgItem(window, key.id), cell.x, cell.y, cell.width, cell.height, TRUE);
  }
}

// Moved to a screen of another DPI: the system suggests the window's new rectangle.
void OnDpiChanged(HWND window, int dpi, const RECT& suggested) {
  ApplyFonts(window, dpi);
  SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  // The client size may come out unchanged, and then no WM_SIZE lays the grid out anew.
  RECT client{};
  GetClientRect(window, &client);
  OnSize(window, client.right, client.bottom);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void OnKeyDownMessage(HWND window, WPARAM keyCode, LPARAM keyData) {
  int code = static_cast<int>(keyCode);
  wchar_t typed = 0;
  if (code == VK_PACKET) {
    // Text that input tools send (SendInput with KEYEVENTF_UNICODE), the character in the
    // high word: a digit has no digit key of its own, and the core takes digits from keys.
    typed = static_cast<wchar_t>(HIWORD(keyData));
    if (typed >= L'0' && typed <= L'9') code = kVkDigit0 + (typed - L'0');
  } else {
    typed = QueuedChar(keyData);
  }
  OnKeyDown(window, code, typed, HeldModifiers());
}

LRESULT OnCtlColorStatic(HDC dc, HWND control) {
  SetBkMode(dc, TRANSPARENT);
  if (control == g_displayWnd) {
    SetTextColor(dc, ToColorRef(ActiveColors().displayText));
    return reinterpret_cast<LRESULT>(DisplayBrush());
  }
  return reinterpret_cast<LRESULT>(WindowBackgroundBrush());
}

// As the class brush would, in the window background of the colours shown.
LRESULT OnEraseBackground(HWND window, HDC dc) {
  RECT client{};
  GetClientRect(window, &client);
  FillRect(dc, &client, WindowBackgroundBrush());
  return TRUE;
}

void OnDestroy() {
  DestroyKeyTips();
  ReleaseColorBrushes();
  PostQuitMessage(0);
}

HFONT FontOf(HWND control) {
  return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
}

// The controls hold the fonts, so no variable does: the ones they held before (none at
// creation) are deleted once every control has the new ones.
void ApplyFonts(HWND window, int dpi) {
  HFONT oldKeyFont = FontOf(GetDlgItem(window, kFirstKeyId));
  HFONT oldDisplayFont = FontOf(g_displayWnd);
  HFONT keyFont = CreateFontFrom(kKeyFont, dpi);
  HFONT displayFont = CreateFontFrom(kDisplayFont, dpi);
  SendMessageW(g_displayWnd, WM_SETFONT, reinterpret_cast<WPARAM>(displayFont), TRUE);
  ScaleExpressionLine(g_displayWnd, dpi);
  for (const ButtonDef& key : g_buttons) {
    SendMessageW(GetDlgItem(window, key.id), WM_SETFONT, reinterpret_cast<WPARAM>(keyFont), TRUE);
  }
  if (oldKeyFont != nullptr) DeleteObject(oldKeyFont);
  if (oldDisplayFont != nullptr) DeleteObject(oldDisplayFont);
}

// Created at 0,0 with no size: WM_SIZE places every child.
HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id) {
  return CreateWindowExW(0, className, text, style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_hInstance, nullptr);
}

// TranslateMessage has already queued the character of this key press, if it types one;
// the core needs it to tell Shift+8 ("*" on a US keyboard) from the digit 8. The character
// carries the key-down's scan code: one posted by anybody else is not this key's. It may
// be queued for the history pane, which hands its key-downs on to the main window.
wchar_t QueuedChar(LPARAM keyData) {
  MSG next{};
  if (!PeekMessageW(&next, nullptr, WM_CHAR, WM_CHAR, PM_NOREMOVE | PM_NOYIELD)) return 0;
  const auto scanCode = [](LPARAM data) { return (static_cast<unsigned long>(data) >> 16) & 0x1FFu; };
  return scanCode(next.lParam) == scanCode(keyData) ? static_cast<wchar_t>(next.wParam) : L'\0';
}

}  // namespace
