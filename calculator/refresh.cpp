#include "ui/refresh.h"

#include <cmath>

#include "calculator/calculator.h"

namespace {

constexpr int kAngleModeKeyId = 1023;
// Below this the memory counts as empty; NaN fails the comparison and shows no mark.
constexpr double kMemoryMarkThreshold = 1e-12;

}  // namespace

std::wstring WindowTitle() {
  std::wstring title{kWindowTitle};
  if (std::fabs(g_memory) > kMemoryMarkThreshold) title += kMemoryMark;
  return title;
}

std::wstring KeyText(const ButtonDef& key) {
  // The angle-mode key names the mode in force, in either function mode.
  if (key.id == kAngleModeKeyId) return g_radians ? L"Rad" : L"Deg";
  if (g_secondMode && !key.secondLabel.empty()) return key.secondLabel;
  return key.label;
}

void UpdateDisplay(WindowHandle window) {
  SetDisplayText(window, g_expr);
  SetTitleText(window, WindowTitle());
}

void RefreshButtonLabels(WindowHandle window) {
  for (const ButtonDef& key : g_buttons) SetKeyText(window, key.id, KeyText(key));
}
