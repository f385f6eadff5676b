#include "tools/eval_history_file.h"

#include "calculator/history_entry.h"
#include "calculator/history_file.h"

namespace {

constexpr std::string_view kHeader = "vorlane-eval-history 1";

// A line is the whole of its field, so a tab in it stays as typed.
std::string Escaped(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (char ch : line) {
    switch (ch) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += ch; break;
    }
  }
  return out;
}

}  // namespace

ParsedEvalHistory ParseEvalHistory(std::string_view bytes, bool complete) {
  ParsedEvalHistory parsed;
  parsed.intact = complete;
  // An empty file is a good one; a newer version may mean anything, so none of it is read.
  if (bytes.empty()) return parsed;
  std::string_view field;
  if (!NextSavedLine(bytes, field) || field != kHeader) {
    parsed.intact = false;
    return parsed;
  }
  while (!bytes.empty()) {
    if (!NextSavedLine(bytes, field)) {
      parsed.intact = false;
      break;
    }
    if (field.empty()) continue;
    std::string line;
    if (field.size() <= kEvalLineBound && UnescapeField(field, line)) {
      parsed.lines.push_back(std::move(line));
    } else {
      parsed.intact = false;
    }
  }
  KeepNewest(parsed.lines, kEvalHistoryCapacity);
  return parsed;
}

std::string SerializeEvalHistory(const std::vector<std::string>& lines) {
  std::string out{kHeader};
  out += '\n';
  for (const std::string& line : lines) {
    out += Escaped(line);
    out += '\n';
  }
  return out;
}

std::vector<std::string> MergeEvalHistory(std::vector<std::string> saved,
                                          const std::vector<std::string>& typed) {
  for (const std::string& line : typed) {
    if (!line.empty() && Escaped(line).size() <= kEvalLineBound) saved.push_back(line);
  }
  KeepNewest(saved, kEvalHistoryCapacity);
  return saved;
}
