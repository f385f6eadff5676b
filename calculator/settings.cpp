#include "calculator/settings.h"

#include <optional>
#include <utility>

namespace {

constexpr std::string_view kSettingsHeader = "vorlane-settings 1";
constexpr std::string_view kKeepHistoryKey = "keep-history ";
constexpr std::string_view kExpressionLineKey = "expression-line ";

// "0" or "1" after its key; a second line with the other value leaves a doubt.
bool ReadFlag(std::string_view value, std::optional<bool>& flag) {
  if (value != "0" && value != "1") return false;
  if (flag && *flag != (value == "1")) return false;
  flag = value == "1";
  return true;
}

// The next line without its end, LF or CRLF (an editor may have doubled the CR); the last
// may lack it.
std::string_view NextLine(std::string_view& bytes) {
  const std::size_t end = bytes.find('\n');
  std::string_view line = bytes.substr(0, end);
  bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
  while (line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

}  // namespace

std::string SerializeSettings(const Settings& settings) {
  std::string out{kSettingsHeader};
  out += '\n';
  out += kKeepHistoryKey;
  out += settings.keepHistory ? "1\n" : "0\n";
  out += kExpressionLineKey;
  out += settings.expressionLine ? "1\n" : "0\n";
  for (const std::string& line : settings.otherLines) {
    out += line;
    out += '\n';
  }
  return out;
}

bool ParseSettings(std::string_view bytes, Settings& settings) {
  if (NextLine(bytes) != kSettingsHeader) return false;
  std::optional<bool> keep;
  std::optional<bool> line;
  std::vector<std::string> other;
  while (!bytes.empty()) {
    const std::string_view text = NextLine(bytes);
    if (text.starts_with(kKeepHistoryKey)) {
      if (!ReadFlag(text.substr(kKeepHistoryKey.size()), keep)) return false;
    } else if (text.starts_with(kExpressionLineKey)) {
      if (!ReadFlag(text.substr(kExpressionLineKey.size()), line)) return false;
    } else {
      other.emplace_back(text);
    }
  }
  if (keep) settings.keepHistory = *keep;
  if (line) settings.expressionLine = *line;
  settings.otherLines = std::move(other);
  return true;
}
