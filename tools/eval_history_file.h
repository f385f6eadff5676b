// vorlane-eval's saved lines: bytes of the tool's own, read as leniently as the calculator's
// history. Only the tool reads them, so they live beside it rather than in the core.
//
// The lines as typed (UTF-8 on a terminal), one each, every line ending in "\n" (read also
// with "\r\n"), the oldest first:
//   vorlane-eval-history 1
//   <line>
// In a line "\\", "\n" and "\r" stand for a backslash, a line feed and a carriage return.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t kEvalHistoryCapacity = 1000;
// No saved line is longer as written; a longer one is recalled only in the run that typed it.
inline constexpr std::size_t kEvalLineBound = 4096;
// Reading stops here: the header and a full history of the longest lines, with CRLF ends.
inline constexpr std::size_t kEvalHistoryBound = 64 + kEvalHistoryCapacity * (kEvalLineBound + 2);

struct ParsedEvalHistory {
  std::vector<std::string> lines;  // oldest first, the newest kEvalHistoryCapacity
  bool intact = true;              // false: something was skipped or cut off
};

// complete: false when the bytes are only the file's first kEvalHistoryBound bytes. A last
// line without its end may be cut short: it is dropped. Empty lines are passed over.
ParsedEvalHistory ParseEvalHistory(std::string_view bytes, bool complete = true);
std::string SerializeEvalHistory(const std::vector<std::string>& lines);

// The saved lines and those typed since, without the empty and the too long ones: the
// newest kEvalHistoryCapacity, oldest first.
std::vector<std::string> MergeEvalHistory(std::vector<std::string> saved,
                                          const std::vector<std::string>& typed);
