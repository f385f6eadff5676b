// The commands of the display's context menu and of the history pane's entry menu
// (calculator/context_menu.h).
#pragma once

#include <cstddef>
#include <string>

#include "calculator/window_port.h"

// A command of the context menu; other ids do nothing.
void OnMenuCommand(WindowHandle window, int command);
bool MenuItemChecked(int command);
// False for an item that cannot act now: undo and redo with nothing to undo or redo, cut
// without a selection, paste with an empty clipboard, select all on "0" or with all
// selected.
bool MenuItemEnabled(WindowHandle window, int command);
// The item's text as the menu shows it now: while the history cannot be saved,
// "保存历史记录" says why ("保存历史记录（磁盘已满）").
std::wstring MenuItemText(int command);
// A command of the pane's menu on the entry at index.
void OnHistoryEntryCommand(WindowHandle window, int command, std::size_t index);
