#include "calculator/history_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "calculator/characters.h"
#include "engine/engine.h"
#include "engine/utf8.h"

namespace {

constexpr std::string_view kHistoryHeader = "vorlane-history 1";

void AppendEscaped(std::wstring_view text, std::string& out) {
  std::string utf8;
  AppendUtf8(text, utf8);
  for (char ch : utf8) {
    switch (ch) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += ch; break;
    }
  }
}

bool Unescape(std::string_view field, std::wstring& text) {
  std::string utf8;
  return UnescapeField(field, utf8) && Utf8ToWide(utf8, text);
}

template <typename Number>
bool ParseNumber(std::string_view field, int base, Number& value) {
  if (field.empty()) return false;
  const char* end = field.data() + field.size();
  const auto [stop, error] = std::from_chars(field.data(), end, value, base);
  return error == std::errc{} && stop == end;
}

// "<created>\t<origin>\t<expression>\t<result>"; false for anything else.
bool ParseEntry(std::string_view line, HistoryEntry& entry) {
  std::string_view fields[4];
  for (std::size_t i = 0; i < 3; ++i) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return false;
    fields[i] = line.substr(0, tab);
    line.remove_prefix(tab + 1);
  }
  fields[3] = line;
  return line.find('\t') == std::string_view::npos && fields[1].size() == 16 &&
         ParseNumber(fields[0], 10, entry.created) && entry.created >= 0 &&
         ParseNumber(fields[1], 16, entry.origin) &&
         Unescape(fields[2], entry.expression) && Unescape(fields[3], entry.result);
}


ParsedHistory Parse(std::string_view bytes, bool complete, bool onlyMadeByEquals) {
  ParsedHistory parsed;
  parsed.intact = complete;
  std::string_view line;
  // A newer version may mean anything: none of it is read. An empty file is a good one.
  if (bytes.empty()) return parsed;
  if (!NextSavedLine(bytes, line) || line != kHistoryHeader) {
    parsed.intact = false;
    return parsed;
  }
  while (!bytes.empty()) {
    if (!NextSavedLine(bytes, line)) {
      parsed.intact = false;
      break;
    }
    HistoryEntry entry;
    if (line.size() <= kSavedLineBound && ParseEntry(line, entry) &&
        (!onlyMadeByEquals || CouldBeMadeByEquals(entry))) {
      parsed.entries.push_back(std::move(entry));
    } else {
      parsed.intact = false;
    }
  }
  KeepNewest(parsed.entries);
  return parsed;
}

bool HoldsControlCharacter(std::wstring_view text) {
  return std::any_of(text.begin(), text.end(), IsControlCharacter);
}

bool MadeBefore(const HistoryEntry& a, const HistoryEntry& b) {
  return a.created != b.created ? a.created < b.created : a.origin < b.origin;
}

}  // namespace

bool UnescapeField(std::string_view field, std::string& utf8) {
  utf8.clear();
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      utf8 += field[i];
      continue;
    }
    if (++i == field.size()) return false;
    switch (field[i]) {
      case '\\': utf8 += '\\'; break;
      case 't': utf8 += '\t'; break;
      case 'n': utf8 += '\n'; break;
      case 'r': utf8 += '\r'; break;
      default: return false;
    }
  }
  return true;
}

bool NextSavedLine(std::string_view& bytes, std::string_view& line) {
  const std::size_t end = bytes.find('\n');
  if (end == std::string_view::npos) return false;
  line = bytes.substr(0, end);
  bytes.remove_prefix(end + 1);
  if (line.ends_with('\r')) line.remove_suffix(1);
  return true;
}

std::string SerializeHistory(const std::deque<HistoryEntry>& entries) {
  std::string out{kHistoryHeader};
  out += '\n';
  for (const HistoryEntry& entry : entries) {
    char origin[17];
    const auto written = std::to_chars(origin, origin + 16, entry.origin, 16).ptr;
    out += std::to_string(entry.created);
    out += '\t';
    out.append(16 - static_cast<std::size_t>(written - origin), '0');
    out.append(origin, written);
    out += '\t';
    AppendEscaped(entry.expression, out);
    out += '\t';
    AppendEscaped(entry.result, out);
    out += '\n';
  }
  return out;
}

ParsedHistory ParseHistory(std::string_view bytes, bool complete) {
  return Parse(bytes, complete, false);
}

ParsedHistory LoadHistory(std::string_view bytes, bool complete) {
  return Parse(bytes, complete, true);
}

bool IsNumberResult(std::wstring_view result) {
  double value = 0.0;
  return ReadNumber(result, value) && FormatResult(value) == result;
}

bool CouldBeMadeByEquals(const HistoryEntry& entry) {
  return !HoldsControlCharacter(entry.expression) && !HoldsControlCharacter(entry.result) &&
         (entry.result == kErrorText || entry.result == kInfinityText || IsNumberResult(entry.result));
}

bool SameEntry(const HistoryEntry& a, const HistoryEntry& b) {
  return a.created == b.created && a.origin == b.origin;
}

std::deque<HistoryEntry> MergeHistory(std::deque<HistoryEntry> saved,
                                      const HistoryChanges& changes) {
  if (changes.cleared) saved.clear();
  const auto contains = [](const auto& list, const HistoryEntry& entry) {
    return std::any_of(list.begin(), list.end(),
                       [&](const HistoryEntry& other) { return SameEntry(entry, other); });
  };
  for (const HistoryEntry& entry : changes.added) {
    if (!contains(saved, entry)) saved.push_back(entry);
  }
  std::erase_if(saved, [&](const HistoryEntry& entry) { return contains(changes.deleted, entry); });
  std::stable_sort(saved.begin(), saved.end(), MadeBefore);
  KeepNewest(saved);
  return saved;
}
