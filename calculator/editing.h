// The editing rules shared by the key commands, the keyboard and the clipboard.
#pragma once

#include <cstddef>
#include <new>
#include <string_view>

#include "calculator/window_port.h"

// Every edit is one string operation, which leaves the text as it was when memory runs
// out; the flags change only after it. So an edit that cannot get its memory is simply
// not made, and the program keeps running: no entry point of the core lets bad_alloc
// out, not even one thrown by the window's side of a refresh.
template <typename Edit>
void UnlessOutOfMemory(Edit edit) {
  try {
    edit();
  } catch (const std::bad_alloc&) {
  }
}

// Whether an edit may make g_expr this long. Every edit that lengthens the text asks
// first and is not made on false; the window then warns the user with its beep.
bool ExpressionFits(WindowHandle window, std::size_t length);

// Starts an operand: a shown result is discarded, "0" and "错误" (and, for the on-screen
// digits, "无穷大") are replaced by the piece; any other text is extended. Past the
// limit nothing changes, and it returns false.
bool EnterOperandText(WindowHandle window, std::wstring_view piece, bool replacesInfinity);
// The same, then the refresh.
void EnterOperand(WindowHandle window, std::wstring_view piece);

// AC and Escape: back to "0".
void AllClear(WindowHandle window);

// "错误" and "无穷大" that are no longer shown as a result (after a paste, or an operator
// and ⌫ after "="): the ⌫ key clears them whole, Backspace erases them a character at a
// time like any other text.
enum class OutcomeText { kClearWhole, kEraseByCharacter };
// ⌫ and Backspace: a shown result and one-character texts go back to "0"; otherwise the
// last UTF-16 unit goes, so "sin(" steps back through "sin".
void Erase(WindowHandle window, OutcomeText outcome);

// A character in the form the calculator reads: full-width forms (U+FF01 to U+FF5E) as
// their ASCII counterparts, the ideographic space as a space, "。" as ".", × and ÷ as
// * and /. Typed and pasted text both go through it.
wchar_t AsciiForm(wchar_t ch);

// Runs what a key does outside second-function mode, whatever the mode: typed
// characters mean the same in both.
void RunFirstFunction(WindowHandle window, int id);
