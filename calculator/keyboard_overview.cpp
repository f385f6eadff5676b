#include "calculator/keyboard_overview.h"

#include "calculator/keypad.h"
#include "calculator/shortcuts.h"

namespace {

// Rows in a row that do the same share one line.
void Add(std::vector<OverviewRow>& rows, std::wstring_view keys, std::wstring_view description) {
  if (!rows.empty() && rows.back().description == description) {
    rows.back().keys += L", ";
    rows.back().keys += keys;
    return;
  }
  rows.push_back({std::wstring{keys}, std::wstring{description}});
}

std::vector<OverviewRow> KeyRows() {
  std::vector<OverviewRow> rows;
  rows.push_back({KeyboardShortcut(kKey0, false) + L"–" + KeyboardShortcut(kKey9, false), L"数字"});
  for (const KeyboardText& text : KeyboardTexts()) {
    if (text.id >= kKey0 && text.id <= kKey9) continue;
    const ButtonDef& key = *FindButton(text.id);
    rows.push_back({KeyboardShortcut(text.id, false), key.description});
    if (!text.second.empty()) {
      const std::wstring& second = key.secondDescription.empty() ? key.description : key.secondDescription;
      rows.push_back({KeyboardShortcut(text.id, true), second + L"（第二功能）"});
    }
  }
  return rows;
}

}  // namespace

std::vector<OverviewGroup> KeyboardOverview() {
  std::vector<OverviewRow> editing;
  std::vector<OverviewRow> shortcuts;
  for (const ShortcutKey& row : kShortcutKeys) {
    Add(IsEditingShortcut(row.shortcut) ? editing : shortcuts, row.label, row.description);
  }
  std::vector<OverviewRow> pane;
  for (const HistoryPaneKeyDef& row : kHistoryPaneKeys) Add(pane, row.label, row.description);
  return {
      {L"按键", KeyRows()},
      {L"编辑", std::move(editing)},
      {L"快捷键", std::move(shortcuts)},
      {L"历史记录窗格", std::move(pane)},
  };
}
