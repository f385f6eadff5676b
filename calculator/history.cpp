#include "calculator/history.h"

#include <utility>

#include "calculator/context_menu.h"
#include "calculator/editing.h"
#include "calculator/history_file.h"
#include "calculator/out_of_memory.h"
#include "calculator/refresh.h"
#include "calculator/saved_history.h"
#include "calculator/state.h"
#include "calculator/undo.h"
#include "engine/engine.h"

namespace {


// A result that would enter as a number: the outcome texts are no operands, and a result
// that "=" could not have shown is none either.
bool IsEnterable(const HistoryEntry& entry) { return IsNumberResult(entry.result); }

}  // namespace

std::wstring RememberedExpression(std::wstring_view expression) {
  if (expression.size() <= kHistoryExpressionLength) return std::wstring{expression};
  std::wstring_view tail = expression.substr(expression.size() - kHistoryExpressionLength);
  // Half a UTF-16 pair is no character, whatever the width of wchar_t.
  if (tail.front() >= 0xDC00 && tail.front() <= 0xDFFF) tail.remove_prefix(1);
  std::wstring kept{kElisionMark};
  kept += tail;
  return kept;
}

bool IsElided(std::wstring_view remembered) {
  // A short pasted text may begin with "…" too; the kept end is never shorter than this.
  return remembered.starts_with(kElisionMark) &&
         remembered.size() >= kElisionMark.size() + kHistoryExpressionLength - 1;
}

void RecordCalculation(WindowHandle window, std::wstring expression, std::wstring result) {
  HistoryEntry entry{std::move(expression), std::move(result)};
  StampNewEntry(entry);
  g_history.push_back(entry);
  KeepNewest(g_history);
  SetHistoryEntries(window, g_history);
  SaveAddedEntry(window, entry);
}

void ChooseHistoryEntry(WindowHandle window, std::size_t index) {
  bool entered = false;
  UnlessOutOfMemory([&] {
    const UndoStep step;
    if (index >= g_history.size() || !IsEnterable(g_history[index])) return;
    // A refused entry beeps, and the text it left alone is not read out again.
    entered = EnterOperandText(window, g_history[index].result, false);
    UpdateDisplay(window);
  });
  UnlessOutOfMemory([&] { FocusMainWindow(window); });
  // After the focus: a screen reader's words for the focused window would cut it short.
  if (entered) UnlessOutOfMemory([&] { Announce(window, g_expr); });
}

void ClearHistory(WindowHandle window) {
  g_history.clear();
  UnlessOutOfMemory([&] { SetHistoryEntries(window, g_history); });
  SaveClearedHistory(window);
}

void DeleteHistoryEntry(WindowHandle window, std::size_t index) {
  if (index >= g_history.size()) return;
  const HistoryEntry entry = std::move(g_history[index]);
  g_history.erase(g_history.begin() + static_cast<std::ptrdiff_t>(index));
  UnlessOutOfMemory([&] { SetHistoryEntries(window, g_history); });
  SaveDeletedEntry(window, entry);
}

void CopyHistoryEntry(WindowHandle window, std::size_t index) {
  if (index >= g_history.size()) return;
  UnlessOutOfMemory([&] { WriteClipboardText(window, HistoryItemName(g_history[index])); });
}

void ToggleHistoryPane(WindowHandle window) {
  g_historyShown = !g_historyShown;
  UnlessOutOfMemory([&] {
    ShowHistoryPane(window, g_historyShown);
    if (g_historyShown) Announce(window, HistoryPaneAnnouncement());
  });
}

void ToggleAlwaysOnTop(WindowHandle window) {
  g_alwaysOnTop = !g_alwaysOnTop;
  UnlessOutOfMemory([&] { SetAlwaysOnTop(window, g_alwaysOnTop); });
}

std::wstring HistoryPaneAnnouncement() {
  std::wstring text{MenuText(kMenuHistory)};
  text += L"，" + std::to_wstring(g_history.size()) + L" 条";
  return text;
}

std::wstring HistoryResultLine(const HistoryEntry& entry) { return L"= " + entry.result; }

std::wstring HistoryItemName(const HistoryEntry& entry) {
  return entry.expression + L" = " + entry.result;
}
