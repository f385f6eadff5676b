// Any bytes as a saved history or settings file: reading never crashes or keeps more than
// the capacity, what it reads is written back and read again unchanged, also with CRLF
// line ends, what a window loads is only what "=" could have made, and merging what it
// read stays within the capacity.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calculator/characters.h"
#include "calculator/history_entry.h"
#include "calculator/history_file.h"
#include "calculator/settings.h"
#include "engine/engine.h"

namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

std::string WithCrlf(std::string_view bytes) {
  std::string crlf;
  for (char ch : bytes) ch == '\n' ? crlf += "\r\n" : crlf += ch;
  return crlf;
}

bool Same(const HistoryEntry& a, const HistoryEntry& b) {
  return SameEntry(a, b) && a.expression == b.expression && a.result == b.result;
}

bool SameEntries(const ParsedHistory& a, const ParsedHistory& b) {
  return std::equal(a.entries.begin(), a.entries.end(), b.entries.begin(), b.entries.end(), Same);
}

bool HoldsControl(std::wstring_view text) {
  return std::any_of(text.begin(), text.end(), IsControlCharacter);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const bool complete : {true, false}) {
    const ParsedHistory parsed = ParseHistory(bytes, complete);
    Check(parsed.entries.size() <= kHistoryCapacity);
    Check(complete || !parsed.intact);
    const std::string written = SerializeHistory(parsed.entries);
    const ParsedHistory again = ParseHistory(written);
    Check(again.intact && SameEntries(again, parsed));
    const ParsedHistory fromCrlf = ParseHistory(WithCrlf(written));
    Check(fromCrlf.intact && SameEntries(fromCrlf, parsed));
    // Loading drops what "=" could not have made, and only that.
    const ParsedHistory loaded = LoadHistory(bytes, complete);
    Check(loaded.entries.size() <= kHistoryCapacity && (parsed.intact || !loaded.intact));
    for (const HistoryEntry& entry : loaded.entries) {
      Check(!HoldsControl(entry.expression) && !HoldsControl(entry.result));
      double value = 0.0;
      Check(entry.result == kErrorText || entry.result == kInfinityText ||
            (ReadNumber(entry.result, value) && FormatResult(value) == entry.result));
    }
    const bool allMade = std::all_of(parsed.entries.begin(), parsed.entries.end(), CouldBeMadeByEquals);
    Check(!allMade || (SameEntries(loaded, parsed) && loaded.intact == parsed.intact));
    HistoryChanges changes;
    changes.added.assign(parsed.entries.rbegin(), parsed.entries.rend());
    Check(MergeHistory(parsed.entries, changes).size() <= kHistoryCapacity);
  }
  Settings settings;
  if (ParseSettings(bytes, settings)) {
    // Written back, the choice and every line this version does not know stay; CRLF too.
    const std::string written = SerializeSettings(settings);
    for (const std::string& form : {written, WithCrlf(written)}) {
      Settings again{!settings.keepHistory, {}};
      Check(ParseSettings(form, again) && again.keepHistory == settings.keepHistory &&
            again.otherLines == settings.otherLines);
    }
  }
  return 0;
}
