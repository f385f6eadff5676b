// The calculator's state and what keys, keyboard and clipboard do to it.
#pragma once

#include <string>

#include "engine/engine.h"
#include "ui/window_port.h"

extern std::wstring g_expr;   // the expression text; the display shows exactly this
extern double g_memory;       // the memory register of mc, m+, m-, mr
extern bool g_resultShown;    // g_expr is an outcome of "=" that the next key may discard
extern bool g_secondMode;     // keys show and perform their second function

// Key codes of the keyboard actions (Windows virtual-key values; other platforms map to them).
inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeyDigit0 = 48;         // to 57 for "9"
inline constexpr int kKeyNumpadDigit0 = 96;   // to 105

// Back to the start values: "0", memory 0, radians, both flags off.
void ResetCalculator();

// The "=" action: evaluates g_expr and shows the outcome. "0" and "" are left alone.
void Calculate(WindowHandle window);

// WM_COMMAND of a key: runs the command of ids 1001..1048 (others run nothing), then
// gives the keyboard focus back to the main window.
void OnKeyCommand(WindowHandle window, int id);

// A key-down: Enter, Escape, Backspace and the digit keys of the main keyboard and the
// numeric keypad. typedChar is the character the same press types, 0 when unknown;
// a digit key whose press types an operator leaves the entry to OnTypedChar.
void OnKeyDown(WindowHandle window, int keyCode, wchar_t typedChar = 0);

// A character typed on the keyboard: operators, parentheses, "!" and ".". Digits and
// everything else are ignored here (digits arrive as key-downs).
void OnTypedChar(WindowHandle window, wchar_t ch);

void CopyDisplay(WindowHandle window);
void PasteClipboard(WindowHandle window);

// The text Rand shows for a draw r of 0..32767: r / 32767 with 6 significant digits.
std::wstring RandomText(int draw);
// A uniform draw of 0..32767, the same range on every platform.
int DrawRandom();
void SeedRandom(unsigned seed);
