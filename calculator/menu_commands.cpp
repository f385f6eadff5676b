#include "calculator/menu_commands.h"

#include "calculator/caret.h"
#include "calculator/clipboard.h"
#include "calculator/context_menu.h"
#include "calculator/editing.h"
#include "calculator/history.h"
#include "calculator/out_of_memory.h"
#include "calculator/refresh.h"
#include "calculator/save_status.h"
#include "calculator/saved_history.h"
#include "calculator/state.h"
#include "calculator/undo.h"

void OnMenuCommand(WindowHandle window, int command) {
  switch (command) {
    case kMenuUndo:
      Undo(window);
      break;
    case kMenuRedo:
      Redo(window);
      break;
    case kMenuCut:
      CutSelection(window);
      break;
    case kMenuSelectAll:
      UnlessOutOfMemory([&] { SelectAll(window); });
      break;
    case kMenuKeyboardHelp:
      UnlessOutOfMemory([&] { ShowKeyboardHelp(window); });
      break;
    case kMenuExpressionLine:
      ToggleExpressionLine(window);
      break;
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

bool MenuItemEnabled(WindowHandle window, int command) {
  switch (command) {
    case kMenuUndo:
      return CanUndo();
    case kMenuRedo:
      return CanRedo();
    case kMenuCut:
      return HasSelection();
    case kMenuPaste:
      return ClipboardHasText(window);
    case kMenuSelectAll:
      return !IsWholeText(g_expr) && !g_expr.empty() &&
             SelectionEnd() - SelectionStart() < g_expr.size();
    default:
      return true;
  }
}

bool MenuItemChecked(int command) {
  if (command == kMenuHistory) return g_historyShown;
  if (command == kMenuAlwaysOnTop) return g_alwaysOnTop;
  if (command == kMenuKeepHistory) return g_keepHistory;
  if (command == kMenuExpressionLine) return g_expressionLineOn;
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
