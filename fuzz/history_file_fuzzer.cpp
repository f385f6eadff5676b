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

bool SameEntries(const ParsedHistory& a, const ParsedHistory& b) {
  return std::equal(a.entries.begin(), a.entries.end(), b.entries.begin(), b.entries.end(),
                    [](const HistoryEntry& x, const HistoryEntry& y) {
                      return SameEntry(x, y) && x.expression == y.expression && x.result == y.result;
                    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const bool complete : {true, false}) {
    const ParsedHistory parsed = ParseHistory(bytes, complete);
    Check(parsed.entries.size() <= kHistoryCapacity);
    Check(complete || !parsed.intact);
    const std::string written = SerializeHistory(parsed.entries);
    for (const std::string& form : {written, WithCrlf(written)}) {
      const ParsedHistory again = ParseHistory(form);
      Check(again.intact && SameEntries(again, parsed));
    }
    // Loading drops what "=" could not have made, and only that.
    const ParsedHistory loaded = LoadHistory(bytes, complete);
    for (const HistoryEntry& entry : loaded.entries) {
      for (const std::wstring& text : {entry.expression, entry.result}) {
        Check(std::none_of(text.begin(), text.end(), IsControlCharacter));
      }
      double value = 0.0;
      Check(entry.result == kErrorText || entry.result == kInfinityText ||
            (ReadNumber(entry.result, value) && FormatResult(value) == entry.result));
    }
    const bool allMade = std::all_of(parsed.entries.begin(), parsed.entries.end(), CouldBeMadeByEquals);
    Check(allMade ? SameEntries(loaded, parsed) : !loaded.intact);
    Check(parsed.intact || !loaded.intact);
    HistoryChanges changes;
    changes.added.assign(parsed.entries.rbegin(), parsed.entries.rend());
    Check(MergeHistory(parsed.entries, changes).size() <= kHistoryCapacity);
  }
  Settings settings;
  if (ParseSettings(bytes, settings)) {
    // Written back, the choice and every line this version does not know stay; CRLF too.
    const std::string written = SerializeSettings(settings);
    for (const std::string& form : {written, WithCrlf(written)}) {
      Settings again{!settings.keepHistory, !settings.expressionLine, {}};
      Check(ParseSettings(form, again) && again.keepHistory == settings.keepHistory &&
            again.expressionLine == settings.expressionLine &&
            again.otherLines == settings.otherLines);
    }
  }
  return 0;
}
