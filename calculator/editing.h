// The editing rules shared by the key commands, the keyboard and the clipboard.
#pragma once

#include <new>
#include <string_view>

#include "ui/window_port.h"

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

// Starts an operand: a shown result is discarded, "0" and "错误" (and, for the on-screen
// digits, "无穷大") are replaced by the piece; any other text is extended.
void EnterOperandText(std::wstring_view piece, bool replacesInfinity);

// The kinds of key, each ending with one refresh. Special keys share the signature and
// ignore the piece.
void EnterDigit(WindowHandle window, std::wstring_view piece);
void EnterOperand(WindowHandle window, std::wstring_view piece);
void EnterInfix(WindowHandle window, std::wstring_view piece);
void EnterSuffix(WindowHandle window, std::wstring_view piece);
void EnterPoint(WindowHandle window, std::wstring_view piece);

// Runs what a key does outside second-function mode, whatever the mode: typed
// characters mean the same in both.
void RunFirstFunction(WindowHandle window, int id);
