// The edits of the expression text that keys, keyboard, clipboard and history make at the
// caret, each ending in its one refresh. With the caret at the end and nothing selected,
// where every key leaves it, each edit does what it did before the text had a caret.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "calculator/window_port.h"

// The longest g_expr any edit may make, in UTF-16 units. Far beyond what anyone types or
// pastes as one expression, and small enough that copying, painting and evaluating it
// stays instant in both windows: without it, copy and paste again doubles the text
// until the window freezes or memory runs out.
inline constexpr std::size_t kExpressionLimit = 4096;

// Whether an edit may make g_expr this long. Every edit that lengthens the text asks
// first and is not made on false; the window then warns the user with its beep.
bool ExpressionFits(WindowHandle window, std::size_t length);

// "0", "错误" and "无穷大": the next operand replaces them whole (the keyboard's digits
// extend "无穷大"), and the caret stays at their end.
bool IsWholeText(std::wstring_view text);

std::size_t SelectionStart();
std::size_t SelectionEnd();
bool HasSelection();
std::wstring SelectedText();

// Starts an operand: a shown result is discarded, "0" and "错误" (and, for the on-screen
// digits, "无穷大") are replaced by the piece; in any other text the piece takes the
// selection's place at the caret. Past the limit nothing changes, and it returns false.
bool EnterOperandText(WindowHandle window, std::wstring_view piece, bool replacesInfinity);
// The same, then the refresh.
void EnterOperand(WindowHandle window, std::wstring_view piece);
void EnterDigit(WindowHandle window, std::wstring_view piece);
// An operator: a shown result becomes its left operand.
void EnterInfix(WindowHandle window, std::wstring_view piece);
// After an operand (")", "^2", "!"): a shown result stays shown, so that the next
// operand still replaces it.
void EnterSuffix(WindowHandle window, std::wstring_view piece);
// The point, unless the number around the caret, on both sides of it, has one.
void EnterPoint(WindowHandle window);

// A recalled or drawn number takes the place of the whole text, and is spoken.
void ShowNumber(WindowHandle window, std::wstring text);

// AC and Escape: back to "0".
void AllClear(WindowHandle window);

// "错误" and "无穷大" that are no longer shown as a result (after a paste, or an operator
// and ⌫ after "="): the ⌫ key clears them whole, Backspace erases them a character at a
// time like any other text.
enum class OutcomeText { kClearWhole, kEraseByCharacter };
// ⌫ and Backspace: a shown result and one-character texts go back to "0"; a selection
// goes; otherwise the character before the caret goes, so "sin(" steps back through
// "sin". Nothing before the caret: nothing happens. An emptied text is "0".
void Erase(WindowHandle window, OutcomeText outcome);
// Delete: the selection, or the character after the caret.
void EraseForward(WindowHandle window);
// Removes the selection; false when there is none.
bool DeleteSelection(WindowHandle window);

// ±, on the whole text: "2+3" gives "-2+3".
void ToggleSign(WindowHandle window);
