#include "calculator/menu_commands.h"

#include "calculator/clipboard.h"
#include "calculator/context_menu.h"
#include "calculator/history.h"
#include "calculator/save_status.h"
#include "calculator/saved_history.h"
#include "calculator/state.h"

void OnMenuCommand(WindowHandle window, int command) {
  switch (command) {
    case kMenuCopy:
      CopyDisplay(window);
      break;
    case kMenuPaste:
      PasteClipboard(window);
      break;
    case kMenuHistory:
      ToggleHistoryPane(window);
      break;
    case kMenuClearHistory:
      ClearHistory(window);
      break;
    case kMenuAlwaysOnTop:
      ToggleAlwaysOnTop(window);
      break;
    case kMenuKeepHistory:
      ToggleKeepHistory(window);
      break;
    default:
      break;
  }
}

bool MenuItemChecked(int command) {
  if (command == kMenuHistory) return g_historyShown;
  if (command == kMenuAlwaysOnTop) return g_alwaysOnTop;
  if (command == kMenuKeepHistory) return g_keepHistory;
  return false;
}

std::wstring MenuItemText(int command) {
  std::wstring text{MenuText(static_cast<MenuCommand>(command))};
  if (command == kMenuKeepHistory && !SaveNoticeReason().empty()) {
    text += L"（";
    text += SaveNoticeReason();
    text += L"）";
  }
  return text;
}

void OnHistoryEntryCommand(WindowHandle window, int command, std::size_t index) {
  if (command == kMenuCopyEntry) CopyHistoryEntry(window, index);
  if (command == kMenuDeleteEntry) DeleteHistoryEntry(window, index);
}
