#include "calculator/caret.h"

#include <algorithm>

#include "calculator/characters.h"
#include "calculator/editing.h"
#include "calculator/out_of_memory.h"
#include "calculator/refresh.h"
#include "calculator/state.h"

namespace {

bool IsNumberCharacter(wchar_t ch) { return IsAsciiDigit(ch) || ch == L'.'; }

bool IsSpace(wchar_t ch) { return ch == L' ' || ch == L'\t'; }

// One token from start: as the engine's tokenizer reads "12.5e-3", "sin(" and "+".
std::size_t TokenEnd(std::wstring_view text, std::size_t start) {
  std::size_t i = start;
  if (IsNumberCharacter(text[i])) {
    while (i < text.size() && IsNumberCharacter(text[i])) ++i;
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
      ++i;
      if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
      while (i < text.size() && IsAsciiDigit(text[i])) ++i;
    }
    return i;
  }
  if (IsAsciiLetter(text[i])) {
    while (i < text.size() && IsAsciiLetter(text[i])) ++i;
    if (i < text.size() && text[i] == L'(') ++i;
    return i;
  }
  return NextCharacter(text, i);
}

// The caret and the anchor as they would be; nothing happens if they are as they are.
void Select(WindowHandle window, std::size_t anchor, std::size_t caret) {
  if (IsWholeText(g_expr)) return;
  caret = CharacterBoundary(g_expr, caret);
  anchor = CharacterBoundary(g_expr, anchor);
  if (caret == g_caret && anchor == g_anchor) return;
  g_caret = caret;
  g_anchor = anchor;
  g_resultShown = false;
  UpdateDisplay(window);
}

std::size_t TokenLeftOf(std::size_t pos) {
  const std::vector<std::size_t> bounds = TokenBoundaries(g_expr);
  const auto before = std::lower_bound(bounds.begin(), bounds.end(), pos);
  return before == bounds.begin() ? 0 : *(before - 1);
}

std::size_t TokenRightOf(std::size_t pos) {
  const std::vector<std::size_t> bounds = TokenBoundaries(g_expr);
  const auto after = std::upper_bound(bounds.begin(), bounds.end(), pos);
  return after == bounds.end() ? g_expr.size() : *after;
}

}  // namespace

std::vector<std::size_t> TokenBoundaries(std::wstring_view text) {
  std::vector<std::size_t> bounds;
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsSpace(text[i])) {
      ++i;
      continue;
    }
    const std::size_t end = TokenEnd(text, i);
    if (bounds.empty() || bounds.back() != i) bounds.push_back(i);
    bounds.push_back(end);
    i = end;
  }
  return bounds;
}

void MoveCaret(WindowHandle window, CaretMove move, bool extend) {
  std::size_t from = g_caret;
  if (!extend && HasSelection()) {
    // The first press of Left or Right only lands on the selection's end.
    if (move == CaretMove::kCharacterLeft) return Select(window, SelectionStart(), SelectionStart());
    if (move == CaretMove::kCharacterRight) return Select(window, SelectionEnd(), SelectionEnd());
  }
  std::size_t to = from;
  switch (move) {
    case CaretMove::kCharacterLeft: to = PreviousCharacter(g_expr, from); break;
    case CaretMove::kCharacterRight: to = NextCharacter(g_expr, from); break;
    case CaretMove::kTokenLeft: to = TokenLeftOf(from); break;
    case CaretMove::kTokenRight: to = TokenRightOf(from); break;
    case CaretMove::kHome: to = 0; break;
    case CaretMove::kEnd: to = g_expr.size(); break;
  }
  Select(window, extend ? g_anchor : to, to);
}

void SelectAll(WindowHandle window) { Select(window, 0, g_expr.size()); }

// The window calls these two straight from its mouse messages.
void PlaceCaret(WindowHandle window, std::size_t position, bool extend) {
  UnlessOutOfMemory([&] {
    position = std::min(position, g_expr.size());
    Select(window, extend ? g_anchor : position, position);
  });
}

void SelectTokenAt(WindowHandle window, std::size_t position) {
  if (g_expr.empty()) return;
  position = CharacterBoundary(g_expr, std::min(position, g_expr.size() - 1));
  UnlessOutOfMemory([&] {
    const std::vector<std::size_t> bounds = TokenBoundaries(g_expr);
    // The token whose span holds the character; white space selects itself.
    for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
      if (bounds[i] <= position && position < bounds[i + 1]) {
        return Select(window, bounds[i], bounds[i + 1]);
      }
    }
    Select(window, position, NextCharacter(g_expr, position));
  });
}
