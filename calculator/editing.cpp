#include "calculator/editing.h"

#include "calculator/refresh.h"
#include "calculator/state.h"
#include "engine/engine.h"

namespace {

// Where the number being typed starts: after the last operator or parenthesis.
constexpr std::wstring_view kNumberDelimiters = L"+-*/^()%";

}  // namespace

bool ExpressionFits(WindowHandle window, std::size_t length) {
  if (length <= kExpressionLimit) return true;
  WarningBeep(window);
  return false;
}

bool EnterOperandText(WindowHandle window, std::wstring_view piece, bool replacesInfinity) {
  // A discarded result leaves an empty text, which is never a start text.
  const bool replaces = g_resultShown || g_expr == kStartText || g_expr == kErrorText ||
                        (replacesInfinity && g_expr == kInfinityText);
  if (!ExpressionFits(window, replaces ? piece.size() : g_expr.size() + piece.size())) {
    return false;
  }
  if (replaces) {
    g_expr.assign(piece);
  } else {
    g_expr.append(piece);
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
  if (ExpressionFits(window, g_expr.size() + piece.size())) {
    g_expr.append(piece);
    g_resultShown = false;
  }
  UpdateDisplay(window);
}

void EnterSuffix(WindowHandle window, std::wstring_view piece) {
  if (ExpressionFits(window, g_expr.size() + piece.size())) g_expr.append(piece);
  UpdateDisplay(window);
}

void EnterPoint(WindowHandle window) {
  if (g_resultShown) {
    g_expr.assign(L".");
    g_resultShown = false;
  } else {
    const std::size_t delimiter = g_expr.find_last_of(kNumberDelimiters);
    const std::size_t numberStart = delimiter == std::wstring::npos ? 0 : delimiter + 1;
    // On the start text "0" this gives "0.".
    if (g_expr.find(L'.', numberStart) == std::wstring::npos &&
        ExpressionFits(window, g_expr.size() + 1)) {
      g_expr.push_back(L'.');
    }
  }
  UpdateDisplay(window);
}

void ShowNumber(WindowHandle window, std::wstring text) {
  if (ExpressionFits(window, text.size())) {
    g_expr = std::move(text);
    g_resultShown = false;
  }
  UpdateDisplayAloud(window);
}

void AllClear(WindowHandle window) {
  g_expr.assign(kStartText);
  g_resultShown = false;
  UpdateDisplayAloud(window);
}

void Erase(WindowHandle window, OutcomeText outcome) {
  const bool clearsOutcome =
      outcome == OutcomeText::kClearWhole && (g_expr == kErrorText || g_expr == kInfinityText);
  if (g_resultShown || clearsOutcome || g_expr.size() <= 1) {
    g_expr.assign(kStartText);
    g_resultShown = false;
  } else {
    g_expr.pop_back();
  }
  UpdateDisplay(window);
}

void ToggleSign(WindowHandle window) {
  if (!g_expr.empty() && g_expr.front() == L'-') {
    g_expr.erase(0, 1);
  } else if (ExpressionFits(window, g_expr.size() + 1)) {
    g_expr.insert(0, 1, L'-');
  }
  UpdateDisplay(window);
}
