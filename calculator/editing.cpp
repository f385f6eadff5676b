#include "calculator/editing.h"

#include <algorithm>

#include "calculator/characters.h"
#include "calculator/refresh.h"
#include "calculator/state.h"
#include "engine/engine.h"

namespace {

// Where a number ends: at an operator or parenthesis.
constexpr std::wstring_view kNumberDelimiters = L"+-*/^()%";

void CaretToEnd() { g_caret = g_anchor = g_expr.size(); }

void ReplaceWhole(std::wstring_view text) {
  g_expr.assign(text);
  CaretToEnd();
}

// An erase never leaves the text empty, and texts that are replaced whole keep the caret
// at their end.
void AfterErase() {
  if (g_expr.empty()) g_expr.assign(kStartText);
  if (IsWholeText(g_expr)) CaretToEnd();
}

// The piece in place of the selection, the caret after it.
bool ReplaceSelection(WindowHandle window, std::wstring_view piece) {
  const std::size_t start = SelectionStart();
  const std::size_t length = SelectionEnd() - start;
  if (!ExpressionFits(window, g_expr.size() - length + piece.size())) return false;
  g_expr.replace(start, length, piece);
  g_caret = g_anchor = start + piece.size();
  return true;
}

}  // namespace

bool ExpressionFits(WindowHandle window, std::size_t length) {
  if (length <= kExpressionLimit) return true;
  WarningBeep(window);
  return false;
}

bool IsWholeText(std::wstring_view text) {
  return text == kStartText || text == kErrorText || text == kInfinityText;
}

// Clamped: a text written from outside (a test, a tool) may be shorter than the caret.
std::size_t SelectionStart() { return std::min({g_caret, g_anchor, g_expr.size()}); }

std::size_t SelectionEnd() { return std::min(std::max(g_caret, g_anchor), g_expr.size()); }

bool HasSelection() { return g_caret != g_anchor; }

std::wstring SelectedText() {
  return g_expr.substr(SelectionStart(), SelectionEnd() - SelectionStart());
}

bool EnterOperandText(WindowHandle window, std::wstring_view piece, bool replacesInfinity) {
  // A discarded result leaves an empty text, which is never a start text.
  const bool replaces = g_resultShown || g_expr == kStartText || g_expr == kErrorText ||
                        (replacesInfinity && g_expr == kInfinityText);
  if (replaces) {
    if (!ExpressionFits(window, piece.size())) return false;
    ReplaceWhole(piece);
  } else if (!ReplaceSelection(window, piece)) {
    return false;
  }
  g_resultShown = false;
  return true;
}

void EnterOperand(WindowHandle window, std::wstring_view piece) {
  EnterOperandText(window, piece, false);
  UpdateDisplay(window);
}

void EnterDigit(WindowHandle window, std::wstring_view piece) {
  EnterOperandText(window, piece, true);
  UpdateDisplay(window);
}

void EnterInfix(WindowHandle window, std::wstring_view piece) {
  if (ReplaceSelection(window, piece)) g_resultShown = false;
  UpdateDisplay(window);
}

void EnterSuffix(WindowHandle window, std::wstring_view piece) {
  ReplaceSelection(window, piece);
  UpdateDisplay(window);
}

void EnterPoint(WindowHandle window) {
  if (g_resultShown) {
    ReplaceWhole(L".");
    g_resultShown = false;
  } else {
    // The number around the caret once the selection is gone; on "0" this gives "0.".
    const std::wstring_view before = std::wstring_view{g_expr}.substr(0, SelectionStart());
    const std::wstring_view after = std::wstring_view{g_expr}.substr(SelectionEnd());
    const std::size_t delimiter = before.find_last_of(kNumberDelimiters);
    const std::wstring_view numberStart =
        before.substr(delimiter == std::wstring_view::npos ? 0 : delimiter + 1);
    const std::wstring_view numberEnd = after.substr(0, after.find_first_of(kNumberDelimiters));
    if (numberStart.find(L'.') == std::wstring_view::npos &&
        numberEnd.find(L'.') == std::wstring_view::npos) {
      ReplaceSelection(window, L".");
    }
  }
  UpdateDisplay(window);
}

void ShowNumber(WindowHandle window, std::wstring text) {
  if (ExpressionFits(window, text.size())) {
    g_expr = std::move(text);
    CaretToEnd();
    g_resultShown = false;
  }
  UpdateDisplayAloud(window);
}

void AllClear(WindowHandle window) {
  ReplaceWhole(kStartText);
  g_resultShown = false;
  UpdateDisplayAloud(window);
}

void Erase(WindowHandle window, OutcomeText outcome) {
  const bool clearsOutcome =
      outcome == OutcomeText::kClearWhole && (g_expr == kErrorText || g_expr == kInfinityText);
  if (g_resultShown || clearsOutcome) {
    ReplaceWhole(kStartText);
    g_resultShown = false;
  } else if (HasSelection()) {
    DeleteSelection(window);
    return;
  } else if (g_caret == 0 && !g_expr.empty()) {
    return;
  } else if (g_expr.size() <= 1) {
    ReplaceWhole(kStartText);
  } else {
    const std::size_t from = PreviousCharacter(g_expr, g_caret);
    g_expr.erase(from, g_caret - from);
    g_caret = g_anchor = from;
    AfterErase();
  }
  UpdateDisplay(window);
}

void EraseForward(WindowHandle window) {
  if (HasSelection()) {
    DeleteSelection(window);
    return;
  }
  if (g_caret >= g_expr.size()) return;
  g_expr.erase(g_caret, NextCharacter(g_expr, g_caret) - g_caret);
  g_resultShown = false;
  AfterErase();
  UpdateDisplay(window);
}

bool DeleteSelection(WindowHandle window) {
  if (!HasSelection()) return false;
  const std::size_t start = SelectionStart();
  g_expr.erase(start, SelectionEnd() - start);
  g_caret = g_anchor = start;
  g_resultShown = false;
  AfterErase();
  UpdateDisplay(window);
  return true;
}

void ToggleSign(WindowHandle window) {
  if (!g_expr.empty() && g_expr.front() == L'-') {
    g_expr.erase(0, 1);
  } else if (ExpressionFits(window, g_expr.size() + 1)) {
    g_expr.insert(0, 1, L'-');
  }
  CaretToEnd();
  UpdateDisplay(window);
}
