// The context menu of the display, shared by both window programs: its commands, texts
// and the shortcuts shown beside them.
#pragma once

#include <string_view>

// Outside the key ids, so that a menu command never runs a key.
enum MenuCommand : int {
  kMenuCopy = 2001,
  kMenuPaste,
  kMenuHistory,
  kMenuClearHistory,
  kMenuAlwaysOnTop,
};

struct MenuItemDef {
  MenuCommand command;
  std::wstring_view text;
  std::wstring_view shortcut;  // empty: none
};

inline constexpr MenuItemDef kContextMenu[] = {
    {kMenuCopy, L"复制", L"Ctrl+C"},
    {kMenuPaste, L"粘贴", L"Ctrl+V"},
    {kMenuHistory, L"历史记录", L"Ctrl+H"},
    {kMenuClearHistory, L"清除历史记录", L""},
    {kMenuAlwaysOnTop, L"总在最前", L""},
};

constexpr std::wstring_view MenuText(MenuCommand command) {
  for (const MenuItemDef& item : kContextMenu) {
    if (item.command == command) return item.text;
  }
  return {};
}
