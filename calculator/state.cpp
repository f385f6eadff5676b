#include "calculator/state.h"

std::wstring g_expr{kStartText};
double g_memory = 0.0;
bool g_resultShown = false;
bool g_secondMode = false;
std::size_t g_caret = g_expr.size();
std::size_t g_anchor = g_caret;
LastEquals g_lastEquals;
bool g_expressionLineOn = false;

std::deque<HistoryEntry> g_history;
bool g_historyShown = false;
bool g_alwaysOnTop = false;

void ResetState() {
  // Swapping also gives back the memory of a long text and a full history.
  std::wstring{kStartText}.swap(g_expr);
  g_caret = g_anchor = g_expr.size();
  g_lastEquals = {};
  g_expressionLineOn = false;
  g_memory = 0.0;
  g_resultShown = false;
  g_secondMode = false;
  std::deque<HistoryEntry>{}.swap(g_history);
  g_historyShown = false;
  g_alwaysOnTop = false;
}
