// The saved history: its bytes, the same on every platform, and the merge of what one
// window holds with what the file on disk holds.
//
// History, UTF-8, one line each, every line ending in "\n" (read also with "\r\n"):
//   vorlane-history 1
//   <created>\t<origin>\t<expression>\t<result>
// created: milliseconds since 1970 (decimal), origin: the writing window's 16 hex digits.
// In the texts "\\", "\t", "\n" and "\r" stand for a backslash, a tab, a line feed and a
// carriage return.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/history_entry.h"

// Reading stops here: a full history is about 100 lines of at most 2 KB.
inline constexpr std::size_t kSavedFileBound = 1 << 20;
// No entry line is longer, however long its expression was.
inline constexpr std::size_t kSavedLineBound = 4096;

struct ParsedHistory {
  std::deque<HistoryEntry> entries;  // every good line, in file order
  bool intact = true;                // false: something was skipped or cut off
};

// The next line of a saved file without its end, LF or CRLF; false for a last one without
// its end, which may have been cut short. The saved lines of vorlane-eval read so too.
bool NextSavedLine(std::string_view& bytes, std::string_view& line);
// A field of a saved line with its escapes (\\, \t, \n, \r) undone; false for any other
// escape. vorlane-eval reads its lines so.
bool UnescapeField(std::string_view field, std::string& utf8);

std::string SerializeHistory(const std::deque<HistoryEntry>& entries);
// complete: false when the bytes are only the file's first kSavedFileBound bytes. A last
// line without its end may be cut short: it is no entry.
ParsedHistory ParseHistory(std::string_view bytes, bool complete = true);
// What a window loads: ParseHistory, without the entries that "=" could not have made,
// which count as skipped lines.
ParsedHistory LoadHistory(std::string_view bytes, bool complete = true);

// A number text "=" could have shown: FormatResult of what it reads is the same text.
bool IsNumberResult(std::wstring_view result);
// No control character in either text, and a result that is "错误", "无穷大" or a number
// text "=" could have shown.
bool CouldBeMadeByEquals(const HistoryEntry& entry);

bool SameEntry(const HistoryEntry& a, const HistoryEntry& b);

// What a window changed since its last save.
struct HistoryChanges {
  bool cleared = false;  // everything saved before is gone
  std::vector<HistoryEntry> added;
  std::vector<HistoryEntry> deleted;
};

// The saved entries with the changes applied: the newest kHistoryCapacity in the order
// they were made (by creation time, then origin).
std::deque<HistoryEntry> MergeHistory(std::deque<HistoryEntry> saved,
                                      const HistoryChanges& changes);
