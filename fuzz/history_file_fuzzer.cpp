// Any bytes as a saved history or settings file: reading never crashes or keeps more than
// the capacity, what it reads is written back and read again unchanged, and merging what
// it read stays within the capacity.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "calculator/history_entry.h"
#include "calculator/history_file.h"
#include "calculator/settings.h"

namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const bool complete : {true, false}) {
    const ParsedHistory parsed = ParseHistory(bytes, complete);
    Check(parsed.entries.size() <= kHistoryCapacity);
    Check(complete || !parsed.intact);
    const ParsedHistory again = ParseHistory(SerializeHistory(parsed.entries));
    Check(again.intact);
    Check(std::equal(again.entries.begin(), again.entries.end(), parsed.entries.begin(),
                     parsed.entries.end(), [](const HistoryEntry& a, const HistoryEntry& b) {
                       return SameEntry(a, b) && a.expression == b.expression &&
                              a.result == b.result;
                     }));
    HistoryChanges changes;
    changes.added.assign(parsed.entries.rbegin(), parsed.entries.rend());
    Check(MergeHistory(parsed.entries, changes).size() <= kHistoryCapacity);
  }
  Settings settings;
  if (ParseSettings(bytes, settings)) {
    Settings again{!settings.keepHistory};
    Check(ParseSettings(SerializeSettings(settings), again) &&
          again.keepHistory == settings.keepHistory);
  }
  return 0;
}
