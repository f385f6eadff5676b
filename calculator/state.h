// The calculator's program-wide state: what the display shows and what the keys act on.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include "calculator/history_entry.h"

// The text at start, after AC and Escape, and what ⌫ leaves of a text it empties.
inline constexpr wchar_t kStartText[] = L"0";

extern std::wstring g_expr;   // the expression text; the display shows exactly this
extern double g_memory;       // the memory register of mc, m+, m-, mr
extern bool g_resultShown;    // g_expr is an outcome of "=" that the next key may discard
extern bool g_secondMode;     // keys show and perform their second function

// Where the next piece goes, an index into g_expr on a character boundary, and the other
// end of the selection: equal to g_caret while nothing is selected. A shown result keeps
// the caret at its end.
extern std::size_t g_caret;
extern std::size_t g_anchor;

// The last "=": the text it evaluated, as the history keeps it, and the text it wrote.
// While g_expr is still that result and shown as one, it is what the display computed.
struct LastEquals {
  std::wstring expression;
  std::wstring result;
  friend bool operator==(const LastEquals&, const LastEquals&) = default;
};
extern LastEquals g_lastEquals;

// The display's line above the expression ("显示算式行"): off until the settings are read.
extern bool g_expressionLineOn;

extern std::deque<HistoryEntry> g_history;  // the "=" of this and other windows, oldest first
extern bool g_historyShown;                 // the history pane is shown
extern bool g_alwaysOnTop;

// Back to the start values: "0" with the caret at its end, memory 0, both flags off, an
// empty, hidden history and a window that is not on top. The angle mode is the engine's.
void ResetState();
