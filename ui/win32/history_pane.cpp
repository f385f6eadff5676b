#include "ui/win32/history_pane.h"

#include <optional>
#include <string>

#include "calculator/context_menu.h"
#include "calculator/history.h"
#include "calculator/keyboard.h"
#include "calculator/menu_commands.h"
#include "ui/appearance.h"
#include "ui/layout.h"
#include "ui/win32/color_scheme.h"
#include "ui/win32/dpi.h"
#include "ui/win32/fonts.h"
#include "ui/win32/modifiers.h"

#include <imm.h>

namespace {

HWND g_historyPane = nullptr;
HFONT g_historyFont = nullptr;  // for g_historyFontDpi; lives until the process ends
int g_historyFontDpi = 0;
WNDPROC g_listBoxProc = nullptr;
std::deque<HistoryEntry> g_shownEntries;  // what the items draw
// What showing the pane added to the window's width: less than the pane where the
// screen stopped it, and what hiding it takes away again.
int g_paneGrowth = 0;
// Ahead of the pane's visibility: the window is laid out for it before it shows.
bool g_paneShown = false;

int PaneDpi() { return WindowDpi(g_historyPane != nullptr ? GetParent(g_historyPane) : nullptr); }

// The pane's font at the window's DPI; a new DPI gives a new font, and the old one goes
// once the pane no longer uses it.
HFONT HistoryFontHandle(int dpi) {
  if (g_historyFont == nullptr || g_historyFontDpi != dpi) {
    HFONT old = g_historyFont;
    g_historyFont = CreateFontFrom(kHistoryFont, dpi);
    g_historyFontDpi = dpi;
    if (g_historyPane != nullptr) {
      SendMessageW(g_historyPane, WM_SETFONT, reinterpret_cast<WPARAM>(g_historyFont), TRUE);
    }
    if (old != nullptr) DeleteObject(old);
  }
  return g_historyFont;
}

// The items carry "expression = result" as their text, which screen readers read; the
// drawing splits it into two lines.
void FillList() {
  SendMessageW(g_historyPane, WM_SETREDRAW, FALSE, 0);
  SendMessageW(g_historyPane, LB_RESETCONTENT, 0, 0);
  for (const HistoryEntry& entry : g_shownEntries) {
    const std::wstring name = HistoryItemName(entry);
    SendMessageW(g_historyPane, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  if (!g_shownEntries.empty()) {
    SendMessageW(g_historyPane, LB_SETTOPINDEX, g_shownEntries.size() - 1, 0);
  }
  SendMessageW(g_historyPane, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(g_historyPane, nullptr, TRUE);
}

std::optional<std::size_t> SelectedEntry(HWND pane) {
  const LRESULT selected = SendMessageW(pane, LB_GETCURSEL, 0, 0);
  if (selected == LB_ERR) return std::nullopt;
  return static_cast<std::size_t>(selected);
}

// The entry menu on the item under the mouse, or from the keyboard on the selected one.
void OpenEntryMenu(HWND pane, LPARAM position) {
  POINT at{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  LRESULT index = SendMessageW(pane, LB_GETCURSEL, 0, 0);
  if (position == -1) {
    RECT item{};
    if (index == LB_ERR || SendMessageW(pane, LB_GETITEMRECT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(&item)) == LB_ERR) {
      return;
    }
    at = {item.left, item.bottom};
    ClientToScreen(pane, &at);
  } else {
    POINT inPane = at;
    ScreenToClient(pane, &inPane);
    const auto hit = static_cast<DWORD>(
        SendMessageW(pane, LB_ITEMFROMPOINT, 0, MAKELPARAM(inPane.x, inPane.y)));
    if (HIWORD(hit) != 0) return;
    index = LOWORD(hit);
    SendMessageW(pane, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return;
  for (const MenuItemDef& item : kHistoryEntryMenu) {
    std::wstring text(item.text);
    if (!item.shortcut.empty()) text += L"\t" + std::wstring(item.shortcut);
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.command), text.c_str());
  }
  HWND main = GetParent(pane);
  const int command = static_cast<int>(TrackPopupMenu(
      menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, main, nullptr));
  DestroyMenu(menu);
  if (command != 0) OnHistoryEntryCommand(main, command, static_cast<std::size_t>(index));
}

// A click on an item chooses it; the core then gives the focus back to the main window.
// The core says what a key does (calculator/keyboard.h); the list moves its selection
// itself, and every key the core hands on and every typed character goes to the main
// window (the list's type-ahead never sees letters), which takes the focus first.
LRESULT CALLBACK HistoryPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND main = GetParent(pane);
  if (message == WM_CONTEXTMENU) {
    OpenEntryMenu(pane, lParam);
    return 0;
  }
  if (message == WM_KEYDOWN) {
    const HistoryPaneKeyResult result =
        OnHistoryPaneKey(main, static_cast<int>(wParam), HeldModifiers(), SelectedEntry(pane));
    if (result.select) SendMessageW(pane, LB_SETCURSEL, static_cast<WPARAM>(*result.select), 0);
    if (result.key == HistoryPaneKey::kCalculator) return SendMessageW(main, message, wParam, lParam);
    if (result.key != HistoryPaneKey::kList) return 0;
  } else if (message == WM_CHAR) {
    SetFocus(main);
    return SendMessageW(main, message, wParam, lParam);
  }
  const LRESULT result = CallWindowProcW(g_listBoxProc, pane, message, wParam, lParam);
  if (message == WM_LBUTTONUP) {
    const auto hit = static_cast<DWORD>(SendMessageW(pane, LB_ITEMFROMPOINT, 0, lParam));
    if (HIWORD(hit) == 0) ChooseHistoryEntry(main, LOWORD(hit));
  }
  return result;
}

void CreatePane(HWND window) {
  const std::wstring name(MenuText(kMenuHistory));
  g_historyPane = CreateWindowExW(
      0, L"LISTBOX", name.c_str(),
      WS_CHILD | WS_BORDER | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
          LBS_NOINTEGRALHEIGHT,
      0, 0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHistoryPaneId)),
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)), nullptr);
  if (g_historyPane == nullptr) return;
  SendMessageW(g_historyPane, WM_SETFONT,
               reinterpret_cast<WPARAM>(HistoryFontHandle(WindowDpi(window))), FALSE);
  // Characters reach the calculator, not an input method's composition.
  ImmAssociateContextEx(g_historyPane, nullptr, 0);
  g_listBoxProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      g_historyPane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HistoryPaneProc)));
  FillList();
}

}  // namespace

int HistoryPaneWidth() {
  if (g_historyPane == nullptr || !g_paneShown) return 0;
  return ScaleForDpi(kHistoryPaneWidth, PaneDpi());
}

void LayOutHistoryPane(int clientWidth, int clientHeight) {
  if (g_historyPane == nullptr) return;
  const int dpi = PaneDpi();
  HistoryFontHandle(dpi);  // after a change of DPI
  const Rect pane =
      HistoryPaneRect(clientWidth, clientHeight, ScaleForDpi(kHistoryPaneWidth, dpi), dpi);
  MoveWindow(g_historyPane, pane.x, pane.y, pane.width, pane.height, TRUE);
}

bool IsHistoryPane(HWND control) { return control != nullptr && control == g_historyPane; }

void MeasureHistoryItem(MEASUREITEMSTRUCT& item) {
  HDC dc = GetDC(nullptr);
  const int dpi = PaneDpi();
  HGDIOBJ old = SelectObject(dc, HistoryFontHandle(dpi));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  item.itemHeight =
      static_cast<UINT>(2 * metrics.tmHeight + 2 * ScaleForDpi(kHistoryItemPadding, dpi));
}

void PaintHistoryItem(const DRAWITEMSTRUCT& item) {
  PaintListItemBackground(item);
  if (item.itemID == static_cast<UINT>(-1) || item.itemID >= g_shownEntries.size()) return;
  const HistoryEntry& entry = g_shownEntries[item.itemID];
  RECT text = item.rcItem;
  const int padding = ScaleForDpi(kHistoryItemPadding, PaneDpi());
  InflateRect(&text, -padding, -padding);
  RECT top = text;
  top.bottom = (text.top + text.bottom) / 2;
  RECT bottom = text;
  bottom.top = top.bottom;
  // Right-aligned like the display: a long expression shows its end.
  constexpr UINT kLine = DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  DrawTextW(item.hDC, entry.expression.c_str(), -1, &top, kLine);
  const std::wstring result = HistoryResultLine(entry);
  DrawTextW(item.hDC, result.c_str(), -1, &bottom, kLine);
}

void ListHistoryEntries(const std::deque<HistoryEntry>& entries) {
  g_shownEntries = entries;
  if (g_historyPane != nullptr) FillList();
}

void ShowHistory(HWND main, bool shown) {
  if (shown && g_historyPane == nullptr) CreatePane(main);
  if (g_historyPane == nullptr || g_paneShown == shown) return;
  g_paneShown = shown;
  // Hidden before the window loses its room, shown once it has it and the keys are laid out:
  // whoever sees the pane sees the window laid out for it.
  if (!shown) ShowWindow(g_historyPane, SW_HIDE);
  // A maximised window keeps its size; the keypad gives the pane its room instead.
  if (!IsZoomed(main)) {
    RECT outer{};
    GetWindowRect(main, &outer);
    const int width = outer.right - outer.left;
    const int change = shown ? ScaleForDpi(kHistoryPaneWidth, WindowDpi(main)) : -g_paneGrowth;
    SetWindowPos(main, nullptr, 0, 0, width + change, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(main, &outer);
    g_paneGrowth = shown ? outer.right - outer.left - width : 0;
  }
  RECT client{};
  GetClientRect(main, &client);
  SendMessageW(main, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  if (shown) ShowWindow(g_historyPane, SW_SHOWNA);
}

void FocusHistory() {
  if (g_historyPane == nullptr || !IsWindowVisible(g_historyPane)) return;
  const LRESULT count = SendMessageW(g_historyPane, LB_GETCOUNT, 0, 0);
  // The newest entry, which screen readers announce as the list takes the focus.
  if (count > 0) SendMessageW(g_historyPane, LB_SETCURSEL, static_cast<WPARAM>(count - 1), 0);
  SetFocus(g_historyPane);
}
