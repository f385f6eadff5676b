// The keyboard's shortcuts, in the main window and in the history pane: which key does
// what, and how the menus show it. Matched in table order; with Alt held no key is a
// shortcut, since AltGr is Control and Alt together and a layout may type a character
// with it.
#pragma once

#include <string_view>

#include "calculator/key_codes.h"

enum class Shortcut {
  kNone,
  kUndo,
  kRedo,
  kCut,
  kCopy,
  kPaste,
  kSelectAll,
  kHistory,
  kHistoryPane,
};

struct ShortcutKey {
  Shortcut shortcut;
  int keyCode;
  unsigned required;     // modifiers that must be held
  unsigned refused = 0;  // modifiers that must not be (Alt never may)
  std::wstring_view label;
};

// The bindings of Windows programs. Ctrl+Shift+Insert copies: the copy row comes first.
inline constexpr ShortcutKey kShortcutKeys[] = {
    {Shortcut::kUndo, kVkZ, kControlHeld, kShiftHeld, L"Ctrl+Z"},
    {Shortcut::kRedo, kVkY, kControlHeld, 0, L"Ctrl+Y"},
    {Shortcut::kRedo, kVkZ, kControlHeld | kShiftHeld, 0, L"Ctrl+Shift+Z"},
    {Shortcut::kCut, kVkX, kControlHeld, 0, L"Ctrl+X"},
    {Shortcut::kCut, kVkDelete, kShiftHeld, kControlHeld, L"Shift+Delete"},
    {Shortcut::kSelectAll, kVkA, kControlHeld, 0, L"Ctrl+A"},
    {Shortcut::kCopy, kVkC, kControlHeld, 0, L"Ctrl+C"},
    {Shortcut::kCopy, kVkInsert, kControlHeld, 0, L"Ctrl+Insert"},
    {Shortcut::kPaste, kVkV, kControlHeld, 0, L"Ctrl+V"},
    {Shortcut::kPaste, kVkInsert, kShiftHeld, 0, L"Shift+Insert"},
    {Shortcut::kHistory, kVkH, kControlHeld, 0, L"Ctrl+H"},
    // Shift+Tab too.
    {Shortcut::kHistoryPane, kVkF6, kNoModifier, kControlHeld, L"F6"},
    {Shortcut::kHistoryPane, kVkTab, kNoModifier, kControlHeld, L"Tab"},
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
};

inline constexpr HistoryPaneKeyDef kHistoryPaneKeys[] = {
    {HistoryPaneKey::kList, kVkF10, kShiftHeld},
    {HistoryPaneKey::kList, kVkUp, kNoModifier},
    {HistoryPaneKey::kList, kVkDown, kNoModifier},
    {HistoryPaneKey::kList, kVkHome, kNoModifier},
    {HistoryPaneKey::kList, kVkEnd, kNoModifier},
    {HistoryPaneKey::kList, kVkPageUp, kNoModifier},
    {HistoryPaneKey::kList, kVkPageDown, kNoModifier},
    {HistoryPaneKey::kList, kVkApps, kNoModifier},
    {HistoryPaneKey::kChoose, kVkEnter, kNoModifier, 0, L"Enter"},
    {HistoryPaneKey::kDelete, kVkDelete, kNoModifier, kShiftHeld, L"Delete"},
    {HistoryPaneKey::kLeave, kVkF6, kNoModifier},
    {HistoryPaneKey::kLeave, kVkTab, kNoModifier},
    {HistoryPaneKey::kLeave, kVkEscape, kNoModifier, 0, L"Esc"},
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
    if (row.key == key && !row.label.empty()) return row.label;
  }
  return {};
}
