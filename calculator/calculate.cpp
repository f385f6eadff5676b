#include "calculator/calculate.h"

#include <new>
#include <string>
#include <utility>

#include "calculator/history.h"
#include "calculator/out_of_memory.h"
#include "calculator/refresh.h"
#include "calculator/state.h"
#include "engine/engine.h"

void Calculate(WindowHandle window) {
  if (EqualsLeavesAlone(g_expr)) return;
  // Taken before the text is replaced; only its end, however long the text.
  std::wstring expression;
  bool remembers = false;
  UnlessOutOfMemory([&] {
    expression = RememberedExpression(g_expr);
    remembers = true;
  });
  try {
    std::wstring result = EvaluateText(g_expr);
    g_expr = std::move(result);
  } catch (const std::bad_alloc&) {
    // The error text fits in any string's own storage, so this cannot throw again.
    g_expr.assign(kErrorText);
  }
  g_resultShown = true;
  g_caret = g_anchor = g_expr.size();
  UnlessOutOfMemory([&] { g_lastEquals = {remembers ? expression : std::wstring{}, g_expr}; });
  UnlessOutOfMemory([&] { UpdateDisplayAloud(window); });
  // Without memory for it the calculation still stands, only unrecorded.
  if (remembers) {
    UnlessOutOfMemory([&] { RecordCalculation(window, std::move(expression), g_expr); });
  }
}
