// What the keyboard does: key-downs and typed characters in the main window, and keys
// pressed in the history pane.
#pragma once

#include <cstddef>
#include <optional>

#include "calculator/key_codes.h"
#include "calculator/shortcuts.h"
#include "calculator/window_port.h"

// A key-down: the shortcuts (calculator/shortcuts.h), Enter, Escape, Backspace, the
// digit keys of the main keyboard and the numeric keypad, and the keypad's decimal key,
// which enters the point whatever the layout types with it. typedChar is the character
// the same press types, 0 when unknown; a key whose press types a character OnTypedChar
// acts on leaves the entry to it, so Shift+8 on a US keyboard enters "*" alone, Shift+2
// enters "2".
void OnKeyDown(WindowHandle window, int keyCode, wchar_t typedChar = 0,
               unsigned modifiers = kNoModifier);

// A character typed on the keyboard: operators, parentheses, "!", "." and "," (both the
// point: the display never shows a decimal comma), and "=", which evaluates as Enter
// does; an ASCII letter enters lower-cased by the operand rule, unless Ctrl or Alt is
// held. Full-width forms count as their ASCII counterparts, "。" as the point; a
// full-width digit enters its digit. ASCII digits arrive as key-downs and are ignored
// here, as is everything else.
void OnTypedChar(WindowHandle window, wchar_t ch, unsigned modifiers = kNoModifier);

// What is left for the history pane to do with a key once the core has acted on it.
struct HistoryPaneKeyResult {
  // kList: the list moves its selection itself; kCalculator: the main window, which has
  // the focus again, takes the key as its own. Otherwise nothing.
  HistoryPaneKey key;
  std::optional<std::size_t> select;  // the entry to select now
};

// A key-down in the history pane, with `selected` the entry selected there: Enter
// chooses it (with none, it only leaves the list), Delete removes it and the next takes
// its place, the leaving keys give the focus back to the main window.
HistoryPaneKeyResult OnHistoryPaneKey(WindowHandle window, int keyCode, unsigned modifiers,
                                      std::optional<std::size_t> selected);
