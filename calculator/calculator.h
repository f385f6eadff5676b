// The calculator's state and what keys, keyboard and clipboard do to it. Everything here
// ends in the refresh operations of calculator/refresh.h, through the window port.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "calculator/window_port.h"
#include "engine/engine.h"

extern std::wstring g_expr;   // the expression text; the display shows exactly this
extern double g_memory;       // the memory register of mc, m+, m-, mr
extern bool g_resultShown;    // g_expr is an outcome of "=" that the next key may discard
extern bool g_secondMode;     // keys show and perform their second function

// The longest g_expr any edit may make, in UTF-16 units. Far beyond what anyone types or
// pastes as one expression, and small enough that copying, painting and evaluating it
// stays instant in both windows: without it, copy and paste again doubles the text
// until the window freezes or memory runs out.
inline constexpr std::size_t kExpressionLimit = 4096;

// Key codes of the keyboard: Windows virtual-key values, which name physical keys; the
// Linux window maps its keys to them.
inline constexpr int kVkBackspace = 0x08;
inline constexpr int kVkTab = 0x09;
inline constexpr int kVkEnter = 0x0D;
inline constexpr int kVkEscape = 0x1B;
inline constexpr int kVkPageUp = 0x21;
inline constexpr int kVkPageDown = 0x22;
inline constexpr int kVkEnd = 0x23;
inline constexpr int kVkHome = 0x24;
inline constexpr int kVkUp = 0x26;
inline constexpr int kVkDown = 0x28;
inline constexpr int kVkInsert = 0x2D;
inline constexpr int kVkDelete = 0x2E;
inline constexpr int kVkDigit0 = 0x30;   // to 0x39 for "9"
inline constexpr int kVkC = 0x43;
inline constexpr int kVkH = 0x48;
inline constexpr int kVkV = 0x56;
inline constexpr int kVkApps = 0x5D;  // the Menu key
inline constexpr int kVkNumpad0 = 0x60;  // to 0x69
inline constexpr int kVkDecimal = 0x6E;  // the numeric keypad's decimal key
inline constexpr int kVkF6 = 0x75;
inline constexpr int kVkF10 = 0x79;

// The modifier keys held at a key-down, as a set of bits.
enum KeyModifier : unsigned {
  kNoModifier = 0,
  kShiftHeld = 1,
  kControlHeld = 2,
  kAltHeld = 4,  // AltGr arrives as Control and Alt together
};

// Back to the start values: "0", memory 0, radians, both flags off, no history.
void ResetCalculator();

// The "=" action: evaluates g_expr and shows the outcome. "0" and "" are left alone.
void Calculate(WindowHandle window);

// WM_COMMAND of a key: runs the command of the key ids (others run nothing), then gives
// the keyboard focus back to the main window.
void OnKeyCommand(WindowHandle window, int id);

// A key-down: the copy and paste shortcuts (Ctrl+C, Ctrl+Insert; Ctrl+V, Shift+Insert;
// none while Alt is held), Ctrl+H for the history pane, F6 and Tab (Shift+Tab too) into
// the pane while it shows, Enter, Escape, Backspace, the
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

// What a key does while the history pane has the keyboard focus: the list's own keys
// move its selection or open the entry menu (Menu, Shift+F10), Enter chooses the selected
// entry, Delete removes it, F6, Tab, Shift+Tab and Escape give the focus back to the
// main window, and every other key leaves the pane and reaches the calculator, as do
// typed characters.
enum class HistoryPaneKey { kList, kChoose, kDelete, kLeave, kCalculator };
HistoryPaneKey HistoryPaneKeyOf(int keyCode, unsigned modifiers);

// What to type for a key: the characters it enters, and the name of a key that does
// the same (Enter for "=", Esc for AC); empty texts where there is none.
struct KeyboardText {
  int id;
  std::wstring_view typed;
  std::wstring_view second;  // in second-function mode; empty: typed
  std::wstring_view keyName = {};
};
std::span<const KeyboardText> KeyboardTexts();
// The key's keyboard shortcut as shown and told to screen readers ("sin(", "=, Enter");
// empty for keys that cannot be typed (modes, memory, ±, Rand).
std::wstring KeyboardShortcut(int id, bool second);

void CopyDisplay(WindowHandle window);
void PasteClipboard(WindowHandle window);

// The text Rand shows for a draw r of 0..32767: r / 32767 with 6 significant digits.
std::wstring RandomText(int draw);
// A uniform draw of 0..32767, the same range on every platform.
int DrawRandom();
void SeedRandom(unsigned seed);
