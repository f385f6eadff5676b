// Moving the caret and selecting in the expression, from the keyboard and the mouse. A move
// that changes the caret or the selection makes a shown result ordinary text, which the
// next key edits; a move that changes nothing does nothing at all. While the text is
// "0", "错误" or "无穷大" the caret stays at its end.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "calculator/window_port.h"

enum class CaretMove {
  kCharacterLeft,
  kCharacterRight,
  kTokenLeft,  // Ctrl+Left: to the start of the token before the caret
  kTokenRight,
  kHome,
  kEnd,
};

// extend: Shift held, the selection grows from its anchor; else a selection collapses
// to its left or right end first.
void MoveCaret(WindowHandle window, CaretMove move, bool extend);
void SelectAll(WindowHandle window);
// A click at the character boundary `position`; extend for a drag or Shift+click.
void PlaceCaret(WindowHandle window, std::size_t position, bool extend);
// A double-click on the character at `position`: its token is selected.
void SelectTokenAt(WindowHandle window, std::size_t position);

// Where the tokens of a text start and end, in order: numbers (with their exponent), names
// with the "(" that follows them, and every other character alone; white space is no
// token.
std::vector<std::size_t> TokenBoundaries(std::wstring_view text);
