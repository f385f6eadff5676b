#include "calculator/memory.h"

#include "calculator/announcements.h"
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

std::wstring MemoryText() { return FormatGeneral(g_memory, kMemoryPrecision); }

// Only the title's mark shows the register: screen readers hear what it holds.
void SayMemory(WindowHandle window) {
  Announce(window, std::wstring{kMemoryAnnouncement} + MemoryText());
}

}  // namespace

void MemoryClear(WindowHandle window) {
  g_memory = 0.0;
  UpdateDisplay(window);
  Announce(window, std::wstring{kMemoryClearedAnnouncement});
}

void MemoryAdd(WindowHandle window) {
  g_memory = g_memory + LeadingNumber();
  UpdateDisplay(window);
  SayMemory(window);
}

void MemorySubtract(WindowHandle window) {
  g_memory = g_memory + -LeadingNumber();
  UpdateDisplay(window);
  SayMemory(window);
}

void MemoryRecall(WindowHandle window) { ShowNumber(window, MemoryText()); }
