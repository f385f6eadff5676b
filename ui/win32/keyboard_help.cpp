#include "ui/win32/keyboard_help.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "calculator/keyboard_overview.h"
#include "ui/appearance.h"
#include "ui/layout.h"
#include "ui/win32/color_scheme.h"
#include "ui/win32/dpi.h"
#include "ui/win32/fonts.h"

namespace {

constexpr wchar_t kHelpClass[] = L"VorlaneKeyboardHelp";

// A group's title, or one of its rows; name is the list item's text, what screen readers read.
struct HelpItem {
  bool heading = false;
  std::wstring keys;  // a heading's title
  std::wstring description;
  std::wstring name;
};

struct KeyboardHelp {
  HWND window = nullptr;
  HWND list = nullptr;
  WNDPROC listProc = nullptr;
  std::wstring title;
  std::vector<HelpItem> items;
  // For dpi: the rows in the history pane's face, the headings in the keys' larger one.
  int dpi = 0;
  HFONT rowFont = nullptr;
  HFONT headingFont = nullptr;
  int itemHeight = 0;
  int keysWidth = 0;  // the widest keys text
};
KeyboardHelp g_help;

std::vector<HelpItem> OverviewItems() {
  std::vector<HelpItem> items;
  for (const OverviewGroup& group : KeyboardOverview()) {
    items.push_back({true, std::wstring(group.title), L"", std::wstring(group.title)});
    for (const OverviewRow& row : group.rows) {
      items.push_back({false, row.keys, row.description, row.keys + L"  " + row.description});
    }
  }
  return items;
}

int Padding() { return ScaleForDpi(kHistoryItemPadding, g_help.dpi); }

// Fonts and sizes for the DPI; what the old fonts measured goes with them. Nothing is
// allocated: it runs inside the window procedure.
void ScaleFor(int dpi) {
  HFONT rowFont = CreateFontFrom(kHistoryFont, dpi);
  HFONT headingFont = CreateFontFrom(kKeyFont, dpi);
  if (rowFont == nullptr || headingFont == nullptr) {
    if (rowFont != nullptr) DeleteObject(rowFont);
    if (headingFont != nullptr) DeleteObject(headingFont);
    return;
  }
  std::swap(g_help.rowFont, rowFont);
  std::swap(g_help.headingFont, headingFont);
  if (rowFont != nullptr) DeleteObject(rowFont);
  if (headingFont != nullptr) DeleteObject(headingFont);
  g_help.dpi = dpi;
  HDC dc = GetDC(nullptr);
  TEXTMETRICW metrics{};
  HGDIOBJ old = SelectObject(dc, g_help.headingFont);
  GetTextMetricsW(dc, &metrics);
  int height = metrics.tmHeight;
  SelectObject(dc, g_help.rowFont);
  GetTextMetricsW(dc, &metrics);
  height = std::max<int>(height, metrics.tmHeight);
  g_help.keysWidth = 0;
  for (const HelpItem& item : g_help.items) {
    SIZE size{};
    if (!item.heading && GetTextExtentPoint32W(dc, item.keys.c_str(),
                                               static_cast<int>(item.keys.size()), &size)) {
      g_help.keysWidth = std::max<int>(g_help.keysWidth, size.cx);
    }
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  g_help.itemHeight = height + 2 * Padding();
  if (g_help.list != nullptr) {
    SendMessageW(g_help.list, WM_SETFONT, reinterpret_cast<WPARAM>(g_help.rowFont), FALSE);
    SendMessageW(g_help.list, LB_SETITEMHEIGHT, 0, g_help.itemHeight);
    InvalidateRect(g_help.list, nullptr, TRUE);
  }
}

// A heading across the item; a row as two columns, the keys as wide as the widest but no
// more than half, indented under their heading.
void PaintItem(const DRAWITEMSTRUCT& item) {
  PaintListItemBackground(item);
  if (item.itemID >= g_help.items.size()) return;
  const HelpItem& shown = g_help.items[item.itemID];
  const int padding = Padding();
  constexpr UINT kCell = DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
  RECT text = item.rcItem;
  InflateRect(&text, -padding, 0);
  HGDIOBJ old = SelectObject(item.hDC, shown.heading ? g_help.headingFont : g_help.rowFont);
  if (shown.heading) {
    DrawTextW(item.hDC, shown.keys.c_str(), -1, &text, kCell);
  } else {
    text.left += padding;
    RECT keys = text;
    keys.right = keys.left + std::min<LONG>(g_help.keysWidth, (text.right - text.left) / 2);
    RECT description = text;
    description.left = keys.right + 2 * padding;
    DrawTextW(item.hDC, shown.keys.c_str(), -1, &keys, kCell);
    DrawTextW(item.hDC, shown.description.c_str(), -1, &description, kCell);
  }
  SelectObject(item.hDC, old);
}

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
    // As closing it does; the system hands the activation, and the focus, to the owner.
    DestroyWindow(GetParent(list));
    return 0;
  }
  return CallWindowProcW(g_help.listProc, list, message, wParam, lParam);
}

void CreateList(HWND window) {
  g_help.list = CreateWindowExW(
      0, L"LISTBOX", g_help.title.c_str(),
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
          LBS_NOINTEGRALHEIGHT,
      0, 0, 0, 0, window, nullptr,
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)), nullptr);
  if (g_help.list == nullptr) return;
  SendMessageW(g_help.list, WM_SETFONT, reinterpret_cast<WPARAM>(g_help.rowFont), FALSE);
  for (const HelpItem& item : g_help.items) {
    SendMessageW(g_help.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.name.c_str()));
  }
  SendMessageW(g_help.list, LB_SETCURSEL, 0, 0);
  g_help.listProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(g_help.list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
}

// Follows its own screen's DPI; the colours follow the main window's
// (RefreshKeyboardHelpColors).
LRESULT CALLBACK HelpProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateList(window);
      ApplyTitleBarColors(window);
      return g_help.list != nullptr ? 0 : -1;
    case WM_SIZE:
      MoveWindow(g_help.list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) SetFocus(g_help.list);
      return 0;
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight =
          static_cast<UINT>(g_help.itemHeight);
      return TRUE;
    case WM_DRAWITEM:
      PaintItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CTLCOLORLISTBOX:
      if (HBRUSH pane = HistoryPaneBrush()) return reinterpret_cast<LRESULT>(pane);
      break;
    case WM_ERASEBKGND:
      return TRUE;  // the list covers the client area
    case WM_DPICHANGED: {
      ScaleFor(LOWORD(wParam));
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window, nullptr, suggested.left, suggested.top,
                   suggested.right - suggested.left, suggested.bottom - suggested.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_DESTROY:
      DeleteObject(g_help.rowFont);
      DeleteObject(g_help.headingFont);
      g_help = {};
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterHelpClass(HWND main) {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = HelpProc;
  windowClass.hInstance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(main, GWLP_HINSTANCE));
  // The calculator's icons.
  windowClass.hIcon = reinterpret_cast<HICON>(GetClassLongPtrW(main, GCLP_HICON));
  windowClass.hIconSm = reinterpret_cast<HICON>(GetClassLongPtrW(main, GCLP_HICONSM));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kHelpClass;
  registered = RegisterClassExW(&windowClass) != 0;
  return registered;
}

}  // namespace

void OpenKeyboardHelp(HWND main) {
  if (g_help.window != nullptr) {
    SetForegroundWindow(g_help.window);
    return;
  }
  if (!RegisterHelpClass(main)) return;
  // Made here, where running out of memory reaches the core, not inside the window procedure.
  std::vector<HelpItem> items = OverviewItems();
  std::wstring title(kKeyboardHelpTitle);
  g_help.items = std::move(items);
  g_help.title = std::move(title);
  // On the main window's screen, at its DPI, centred on it.
  const int dpi = WindowDpi(main);
  ScaleFor(dpi);
  RECT owner{};
  GetWindowRect(main, &owner);
  const int width = ScaleForDpi(kKeyboardHelpWidth, dpi);
  const int height = ScaleForDpi(kKeyboardHelpHeight, dpi);
  g_help.window = CreateWindowExW(
      0, kHelpClass, g_help.title.c_str(),
      (WS_OVERLAPPEDWINDOW & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) | WS_CLIPCHILDREN,
      (owner.left + owner.right - width) / 2, (owner.top + owner.bottom - height) / 2, width,
      height, main, nullptr, reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(main, GWLP_HINSTANCE)),
      nullptr);
  if (g_help.window == nullptr) {
    DeleteObject(g_help.rowFont);
    DeleteObject(g_help.headingFont);
    g_help = {};
    return;
  }
  ShowWindow(g_help.window, SW_SHOW);
}

void RefreshKeyboardHelpColors() {
  if (g_help.window == nullptr) return;
  ApplyTitleBarColors(g_help.window);
  InvalidateRect(g_help.list, nullptr, TRUE);
}
