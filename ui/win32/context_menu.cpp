#include "ui/win32/context_menu.h"

#include <string>

#include "calculator/context_menu.h"
#include "calculator/keypad.h"
#include "calculator/menu_commands.h"

bool OnContextMenu(HWND window, LPARAM position) {
  POINT at{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  RECT display{};
  GetWindowRect(GetDlgItem(window, kDisplayId), &display);
  if (position == -1) {
    // From the keyboard: below the display's left end.
    at = {display.left, display.bottom};
  } else if (!PtInRect(&display, at)) {
    return false;
  }
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return true;
  for (const MenuItemDef& item : kContextMenu) {
    if (item.command == kMenuSeparator) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::wstring text = MenuItemText(item.command);
    if (!item.shortcut.empty()) text += L"\t" + std::wstring(item.shortcut);
    const UINT checked = MenuItemChecked(item.command) ? MF_CHECKED : MF_UNCHECKED;
    const UINT enabled = MenuItemEnabled(window, item.command) ? MF_ENABLED : MF_GRAYED;
    AppendMenuW(menu, MF_STRING | checked | enabled, static_cast<UINT_PTR>(item.command),
                text.c_str());
  }
  const int command = static_cast<int>(TrackPopupMenu(
      menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window, nullptr));
  DestroyMenu(menu);
  if (command != 0) OnMenuCommand(window, command);
  return true;
}
