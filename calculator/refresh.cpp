#include "calculator/refresh.h"

#include <cmath>

#include "calculator/save_status.h"
#include "calculator/state.h"
#include "engine/engine.h"

namespace {

// Below this the memory counts as empty; NaN fails the comparison and shows no mark.
constexpr double kMemoryMarkThreshold = 1e-12;

// The angle-mode key names the mode in force ("Rad", its second label "Deg"), in either
// function mode; the other keys follow the second-function mode where they have a
// second label.
bool ShowsSecond(const ButtonDef& key) {
  if (key.id == kKeyAngleMode) return !g_radians;
  return g_secondMode && !key.secondLabel.empty();
}

}  // namespace

std::wstring WindowTitle() {
  std::wstring title{kWindowTitle};
  if (std::fabs(g_memory) > kMemoryMarkThreshold) title += kMemoryMark;
  if (const std::wstring notice = SaveNotice(); !notice.empty()) {
    title += kNoticeSeparator;
    title += notice;
  }
  return title;
}

const std::wstring& KeyText(const ButtonDef& key) {
  return ShowsSecond(key) ? key.secondLabel : key.label;
}

const std::wstring& KeyDescription(const ButtonDef& key) {
  return ShowsSecond(key) ? key.secondDescription : key.description;
}

std::wstring KeyShortcut(const ButtonDef& key) {
  return KeyboardShortcut(key.id, ShowsSecond(key));
}

std::wstring KeyToolTip(std::wstring_view description, std::wstring_view shortcut) {
  std::wstring tip(description);
  if (!shortcut.empty()) {
    tip += L" — 键盘: ";
    tip += shortcut;
  }
  return tip;
}

std::wstring ExpressionLine() {
  if (g_resultShown && g_expr == g_lastEquals.result) return g_lastEquals.expression + L" =";
  // Once per change of the text or the mode, however often the display is refreshed.
  static std::wstring text;
  static bool radians = true;
  static std::wstring line;
  if (text != g_expr || radians != g_radians) {
    text = g_expr;
    radians = g_radians;
    line.clear();
    if (!EqualsLeavesAlone(text)) {
      std::wstring value = EvaluateText(text);
      if (value != kErrorText && value != text) line = L"= " + value;
    }
  }
  return line;
}

void RefreshExpressionLine(WindowHandle window) {
  SetExpressionLine(window, g_expressionLineOn, g_expressionLineOn ? ExpressionLine() : L"");
}

void UpdateDisplay(WindowHandle window) {
  SetDisplayText(window, g_expr, g_caret, g_anchor);
  if (g_expressionLineOn) RefreshExpressionLine(window);
  SetTitleText(window, WindowTitle());
}

void UpdateDisplayAloud(WindowHandle window) {
  UpdateDisplay(window);
  Announce(window, g_expr);
}

void UpdateTitle(WindowHandle window) { SetTitleText(window, WindowTitle()); }

void RefreshButtonLabels(WindowHandle window) {
  for (const ButtonDef& key : g_buttons) {
    SetKeyText(window, key.id, KeyText(key), KeyDescription(key), KeyShortcut(key));
  }
  if (g_expressionLineOn) RefreshExpressionLine(window);
}
