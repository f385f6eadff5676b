#include "calculator/recall.h"

#include <string>
#include <vector>

#include "calculator/editing.h"
#include "calculator/history.h"
#include "calculator/refresh.h"
#include "calculator/state.h"
#include "calculator/undo.h"

namespace {

struct Walk {
  bool active = false;
  std::vector<std::wstring> expressions;  // oldest first
  std::size_t index = 0;                  // expressions.size(): back at the typing
  EditState typing;                       // what was there before the first Up
  std::wstring shown;                     // the text the walk left in the display
};

Walk g_walk;

// A walk goes on only while the text is the one it left.
bool Walking() { return g_walk.active && g_expr == g_walk.shown; }

void Show(WindowHandle window) {
  if (g_walk.index < g_walk.expressions.size()) {
    g_expr = g_walk.expressions[g_walk.index];
    g_caret = g_anchor = g_expr.size();
    g_resultShown = false;
  } else {
    RestoreEditState(g_walk.typing);
  }
  g_walk.shown = g_expr;
  UpdateDisplayAloud(window);
}

}  // namespace

void RecallEarlier(WindowHandle window) {
  if (!Walking()) {
    Walk walk;
    for (const HistoryEntry& entry : g_history) {
      if (!IsElided(entry.expression)) walk.expressions.push_back(entry.expression);
    }
    if (walk.expressions.empty()) return;
    walk.active = true;
    walk.index = walk.expressions.size();
    walk.typing = CurrentEditState();
    g_walk = std::move(walk);
  }
  if (g_walk.index == 0) return;
  --g_walk.index;
  Show(window);
}

void RecallLater(WindowHandle window) {
  if (!Walking() || g_walk.index == g_walk.expressions.size()) return;
  ++g_walk.index;
  Show(window);
}

void ResetRecall() { g_walk = {}; }
