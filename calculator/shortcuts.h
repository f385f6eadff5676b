// The keyboard's shortcuts, in the main window and in the history pane: which key does
// what, and how the menus show it. Matched in table order; with Alt held no key is a
// shortcut, since AltGr is Control and Alt together and a layout may type a character
// with it.
#pragma once

#include <string_view>

#include "calculator/key_codes.h"

enum class Shortcut {
  kNone,
  // Editing: the caret moves (with Shift held each extends the selection), Up and Down
  // recall earlier expressions, Delete erases after the caret.
  kCharacterLeft,
  kCharacterRight,
  kTokenLeft,
  kTokenRight,
  kHome,
  kEnd,
  kRecallEarlier,
  kRecallLater,
  kDeleteForward,
  // The commands of the menus.
  kUndo,
  kRedo,
  kCut,
  kCopy,
  kPaste,
  kSelectAll,
  kHistory,
  kHistoryPane,
  kKeyboardHelp,
  kContextMenu,  // the window opens it itself
};

constexpr bool IsEditingShortcut(Shortcut shortcut) {
  return shortcut >= Shortcut::kCharacterLeft && shortcut <= Shortcut::kDeleteForward;
}

struct ShortcutKey {
  Shortcut shortcut;
  int keyCode;
  unsigned required;     // modifiers that must be held
  unsigned refused = 0;  // modifiers that must not be (Alt never may)
  std::wstring_view label;
  std::wstring_view description;  // for the keyboard overview
};

// The bindings of Windows programs. Ctrl+Shift+Insert copies: the copy row comes first.
inline constexpr ShortcutKey kShortcutKeys[] = {
    {Shortcut::kCharacterLeft, kVkLeft, kShiftHeld, kControlHeld, L"Shift+Left", L"向左扩展选择"},
    {Shortcut::kCharacterLeft, kVkLeft, kNoModifier, kControlHeld, L"Left", L"光标左移一个字符"},
    {Shortcut::kCharacterRight, kVkRight, kShiftHeld, kControlHeld, L"Shift+Right", L"向右扩展选择"},
    {Shortcut::kCharacterRight, kVkRight, kNoModifier, kControlHeld, L"Right", L"光标右移一个字符"},
    {Shortcut::kTokenLeft, kVkLeft, kControlHeld, 0, L"Ctrl+Left", L"光标左移到上一个数、函数或运算符"},
    {Shortcut::kTokenRight, kVkRight, kControlHeld, 0, L"Ctrl+Right", L"光标右移到下一个数、函数或运算符"},
    {Shortcut::kHome, kVkHome, kShiftHeld, 0, L"Shift+Home", L"选择到开头"},
    {Shortcut::kHome, kVkHome, kNoModifier, 0, L"Home", L"光标移到开头"},
    {Shortcut::kEnd, kVkEnd, kShiftHeld, 0, L"Shift+End", L"选择到末尾"},
    {Shortcut::kEnd, kVkEnd, kNoModifier, 0, L"End", L"光标移到末尾"},
    {Shortcut::kRecallEarlier, kVkUp, kNoModifier, kControlHeld, L"Up", L"调出上一个计算过的算式"},
    {Shortcut::kRecallLater, kVkDown, kNoModifier, kControlHeld, L"Down", L"调出下一个算式，最后回到正在输入的"},
    {Shortcut::kDeleteForward, kVkDelete, kNoModifier, kShiftHeld | kControlHeld, L"Delete",
     L"删除所选内容或光标后的字符"},
    {Shortcut::kUndo, kVkZ, kControlHeld, kShiftHeld, L"Ctrl+Z", L"撤销"},
    {Shortcut::kRedo, kVkY, kControlHeld, 0, L"Ctrl+Y", L"重做"},
    {Shortcut::kRedo, kVkZ, kControlHeld | kShiftHeld, 0, L"Ctrl+Shift+Z", L"重做"},
    {Shortcut::kCut, kVkX, kControlHeld, 0, L"Ctrl+X", L"剪切所选内容"},
    {Shortcut::kCut, kVkDelete, kShiftHeld, kControlHeld, L"Shift+Delete", L"剪切所选内容"},
    {Shortcut::kSelectAll, kVkA, kControlHeld, 0, L"Ctrl+A", L"全选"},
    {Shortcut::kCopy, kVkC, kControlHeld, 0, L"Ctrl+C", L"复制所选内容，未选时复制整个显示"},
    {Shortcut::kCopy, kVkInsert, kControlHeld, 0, L"Ctrl+Insert", L"复制所选内容，未选时复制整个显示"},
    {Shortcut::kPaste, kVkV, kControlHeld, 0, L"Ctrl+V", L"粘贴到光标处"},
    {Shortcut::kPaste, kVkInsert, kShiftHeld, 0, L"Shift+Insert", L"粘贴到光标处"},
    {Shortcut::kHistory, kVkH, kControlHeld, 0, L"Ctrl+H", L"显示或隐藏历史记录"},
    // Shift+Tab too.
    {Shortcut::kHistoryPane, kVkF6, kNoModifier, kControlHeld, L"F6", L"进入历史记录窗格"},
    {Shortcut::kHistoryPane, kVkTab, kNoModifier, kControlHeld, L"Tab", L"进入历史记录窗格"},
    {Shortcut::kKeyboardHelp, kVkF1, kNoModifier, kControlHeld, L"F1", L"显示键盘快捷键"},
    {Shortcut::kContextMenu, kVkApps, kNoModifier, 0, L"Menu", L"打开显示区的菜单"},
    {Shortcut::kContextMenu, kVkF10, kShiftHeld, kControlHeld, L"Shift+F10", L"打开显示区的菜单"},
};

// What a key does while the history pane has the keyboard focus: the list's own keys
// move its selection or open the entry menu (Menu, Shift+F10), Enter chooses the selected
// entry, Delete removes it, F6, Tab, Shift+Tab and Escape give the focus back to the
// main window, and every other key leaves the pane and reaches the calculator, as do
// typed characters. With Ctrl or Alt held every key reaches the calculator.
enum class HistoryPaneKey { kList, kChoose, kDelete, kLeave, kCalculator };

struct HistoryPaneKeyDef {
  HistoryPaneKey key;
  int keyCode;
  unsigned required;
  unsigned refused = 0;
  std::wstring_view label = {};
  std::wstring_view description = {};
};

inline constexpr HistoryPaneKeyDef kHistoryPaneKeys[] = {
    {HistoryPaneKey::kList, kVkF10, kShiftHeld, 0, L"Shift+F10", L"条目的菜单：复制、删除"},
    {HistoryPaneKey::kList, kVkUp, kNoModifier, 0, L"Up", L"选择上一个条目"},
    {HistoryPaneKey::kList, kVkDown, kNoModifier, 0, L"Down", L"选择下一个条目"},
    {HistoryPaneKey::kList, kVkHome, kNoModifier, 0, L"Home", L"选择最早的条目"},
    {HistoryPaneKey::kList, kVkEnd, kNoModifier, 0, L"End", L"选择最新的条目"},
    {HistoryPaneKey::kList, kVkPageUp, kNoModifier, 0, L"Page Up", L"向上翻页"},
    {HistoryPaneKey::kList, kVkPageDown, kNoModifier, 0, L"Page Down", L"向下翻页"},
    {HistoryPaneKey::kList, kVkApps, kNoModifier, 0, L"Menu", L"条目的菜单：复制、删除"},
    {HistoryPaneKey::kChoose, kVkEnter, kNoModifier, 0, L"Enter", L"输入所选条目的结果，回到按键"},
    {HistoryPaneKey::kDelete, kVkDelete, kNoModifier, kShiftHeld, L"Delete", L"删除所选条目"},
    {HistoryPaneKey::kLeave, kVkF6, kNoModifier, 0, L"F6", L"回到按键，不输入"},
    {HistoryPaneKey::kLeave, kVkTab, kNoModifier, 0, L"Tab", L"回到按键，不输入"},
    {HistoryPaneKey::kLeave, kVkEscape, kNoModifier, 0, L"Esc", L"回到按键，不输入"},
};

template <typename Row>
constexpr bool Matches(const Row& row, int keyCode, unsigned modifiers) {
  return row.keyCode == keyCode && (modifiers & row.required) == row.required &&
         (modifiers & (row.refused | kAltHeld)) == 0;
}

constexpr Shortcut ShortcutOf(int keyCode, unsigned modifiers) {
  for (const ShortcutKey& row : kShortcutKeys) {
    if (Matches(row, keyCode, modifiers)) return row.shortcut;
  }
  return Shortcut::kNone;
}

constexpr HistoryPaneKey HistoryPaneKeyOf(int keyCode, unsigned modifiers) {
  if ((modifiers & kControlHeld) != 0) return HistoryPaneKey::kCalculator;
  for (const HistoryPaneKeyDef& row : kHistoryPaneKeys) {
    if (Matches(row, keyCode, modifiers)) return row.key;
  }
  return HistoryPaneKey::kCalculator;
}

// How a menu shows the shortcut: its first binding's label.
constexpr std::wstring_view ShortcutLabel(Shortcut shortcut) {
  for (const ShortcutKey& row : kShortcutKeys) {
    if (row.shortcut == shortcut) return row.label;
  }
  return {};
}

constexpr std::wstring_view HistoryPaneKeyLabel(HistoryPaneKey key) {
  for (const HistoryPaneKeyDef& row : kHistoryPaneKeys) {
    if (row.key == key) return row.label;
  }
  return {};
}

// Every row says what it does.
static_assert([] {
  for (const ShortcutKey& row : kShortcutKeys) {
    if (row.label.empty() || row.description.empty()) return false;
  }
  for (const HistoryPaneKeyDef& row : kHistoryPaneKeys) {
    if (row.label.empty() || row.description.empty()) return false;
  }
  return true;
}());
