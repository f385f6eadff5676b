// The keyboard at a glance: what to type for every key and what every shortcut does, from
// the keypad's rows and the shortcut tables, for the window that F1 opens.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct OverviewRow {
  std::wstring keys;         // "sin(", "Ctrl+C, Ctrl+Insert"
  std::wstring description;  // "正弦", "复制…"
};

struct OverviewGroup {
  std::wstring_view title;
  std::vector<OverviewRow> rows;
};

inline constexpr std::wstring_view kKeyboardHelpTitle = L"键盘快捷键";

std::vector<OverviewGroup> KeyboardOverview();
