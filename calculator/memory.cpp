#include "calculator/memory.h"

#include "calculator/editing.h"
#include "calculator/refresh.h"
#include "calculator/state.h"
#include "engine/engine.h"

namespace {

constexpr int kMemoryPrecision = 14;

double LeadingNumber() {
  double value = 0.0;
  if (!ReadNumber(g_expr, value)) value = 0.0;
  return value;
}

}  // namespace

void MemoryClear(WindowHandle window) {
  g_memory = 0.0;
  UpdateDisplay(window);
}

void MemoryAdd(WindowHandle window) {
  g_memory = g_memory + LeadingNumber();
  UpdateDisplay(window);
}

void MemorySubtract(WindowHandle window) {
  g_memory = g_memory + -LeadingNumber();
  UpdateDisplay(window);
}

void MemoryRecall(WindowHandle window) {
  ShowNumber(window, FormatGeneral(g_memory, kMemoryPrecision));
}
