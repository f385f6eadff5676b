// One entry of the history of "=", and how many of them are kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The text "=" evaluated and the text it left. When and in which window it was made
// tells it from an equal entry of another window or another time.
struct HistoryEntry {
  std::wstring expression;
  std::wstring result;
  std::int64_t created = 0;  // milliseconds since 1970
  std::uint64_t origin = 0;  // the window's random id
};

inline constexpr std::size_t kHistoryCapacity = 100;

// Drops the oldest beyond the capacity, wherever a list of entries (or changes to them)
// could outgrow it: the pane, the saved file, and what a disk that never takes a save
// leaves unsaved.
template <typename List>
void KeepNewest(List& list, std::size_t capacity = kHistoryCapacity) {
  if (list.size() > capacity) {
    list.erase(list.begin(), list.end() - static_cast<std::ptrdiff_t>(capacity));
  }
}
