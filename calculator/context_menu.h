// The context menu of the display, shared by both window programs: its commands, texts
// and the shortcuts shown beside them.
#pragma once

#include <string_view>

#include "calculator/shortcuts.h"

// Outside the key ids, so that a menu command never runs a key.
enum MenuCommand : int {
  kMenuCopy = 2001,
  kMenuPaste,
  kMenuHistory,
  kMenuClearHistory,
  kMenuAlwaysOnTop,
  kMenuKeepHistory,
  // The history pane's menu on an entry.
  kMenuCopyEntry,
  kMenuDeleteEntry,
  kMenuUndo,
  kMenuRedo,
  kMenuCut,
  kMenuSelectAll,
  kMenuKeyboardHelp,
  kMenuExpressionLine,
  kMenuSeparator = 2100,  // a line between groups of items, no command
};

struct MenuItemDef {
  MenuCommand command;
  std::wstring_view text;
  std::wstring_view shortcut;  // empty: none
};

inline constexpr MenuItemDef kContextMenu[] = {
    {kMenuUndo, L"撤销", ShortcutLabel(Shortcut::kUndo)},
    {kMenuRedo, L"重做", ShortcutLabel(Shortcut::kRedo)},
    {kMenuSeparator, L"", L""},
    {kMenuCut, L"剪切", ShortcutLabel(Shortcut::kCut)},
    {kMenuCopy, L"复制", ShortcutLabel(Shortcut::kCopy)},
    {kMenuPaste, L"粘贴", ShortcutLabel(Shortcut::kPaste)},
    {kMenuSelectAll, L"全选", ShortcutLabel(Shortcut::kSelectAll)},
    {kMenuSeparator, L"", L""},
    {kMenuHistory, L"历史记录", ShortcutLabel(Shortcut::kHistory)},
    {kMenuClearHistory, L"清除历史记录", L""},
    {kMenuKeepHistory, L"保存历史记录", L""},
    {kMenuKeyboardHelp, L"键盘快捷键", ShortcutLabel(Shortcut::kKeyboardHelp)},
    {kMenuSeparator, L"", L""},
    {kMenuAlwaysOnTop, L"总在最前", L""},
    {kMenuExpressionLine, L"显示算式行", L""},
};

inline constexpr MenuItemDef kHistoryEntryMenu[] = {
    {kMenuCopyEntry, L"复制", L""},
    {kMenuDeleteEntry, L"删除", HistoryPaneKeyLabel(HistoryPaneKey::kDelete)},
};

// Items that show a check mark (MenuItemChecked tells whether it is set). Every item may
// be disabled where it cannot act (MenuItemEnabled).
constexpr bool MenuItemCheckable(MenuCommand command) {
  return command == kMenuHistory || command == kMenuKeepHistory || command == kMenuAlwaysOnTop ||
         command == kMenuExpressionLine;
}

constexpr std::wstring_view MenuText(MenuCommand command) {
  for (const MenuItemDef& item : kContextMenu) {
    if (item.command == command) return item.text;
  }
  for (const MenuItemDef& item : kHistoryEntryMenu) {
    if (item.command == command) return item.text;
  }
  return {};
}
