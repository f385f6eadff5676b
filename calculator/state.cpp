#include "calculator/calculator.h"
#include "calculator/editing.h"
#include "calculator/history.h"

std::wstring g_expr = L"0";
double g_memory = 0.0;
bool g_resultShown = false;
bool g_secondMode = false;

bool ExpressionFits(WindowHandle window, std::size_t length) {
  if (length <= kExpressionLimit) return true;
  WarningBeep(window);
  return false;
}

void ResetCalculator() {
  // Swapping also gives back the memory of a long text.
  std::wstring{L"0"}.swap(g_expr);
  g_memory = 0.0;
  g_resultShown = false;
  g_secondMode = false;
  g_radians = true;
  ResetHistory();
}
