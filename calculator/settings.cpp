#include "calculator/settings.h"

namespace {

constexpr std::string_view kSettingsHeader = "vorlane-settings 1";
constexpr std::string_view kKeepHistoryKey = "keep-history ";

}  // namespace

std::string SerializeSettings(const Settings& settings) {
  std::string out{kSettingsHeader};
  out += '\n';
  out += kKeepHistoryKey;
  out += settings.keepHistory ? "1\n" : "0\n";
  return out;
}

bool ParseSettings(std::string_view bytes, Settings& settings) {
  const std::string header = std::string{kSettingsHeader} + '\n';
  if (bytes.substr(0, header.size()) != header) return false;
  bytes.remove_prefix(header.size());
  Settings read = settings;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    if (end == std::string_view::npos) return false;
    const std::string_view line = bytes.substr(0, end);
    // Lines of later versions are left to them.
    if (line.substr(0, kKeepHistoryKey.size()) == kKeepHistoryKey) {
      const std::string_view value = line.substr(kKeepHistoryKey.size());
      if (value != "0" && value != "1") return false;
      read.keepHistory = value == "1";
    }
    bytes.remove_prefix(end + 1);
  }
  settings = read;
  return true;
}
