#include "calculator/saved_history.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>

#include "calculator/history_file.h"
#include "calculator/out_of_memory.h"
#include "calculator/settings.h"
#include "calculator/state.h"
#include "calculator/storage.h"

bool g_keepHistory = true;

namespace {

Storage* g_storage = nullptr;
HistoryChanges g_unsaved;             // what the file still lacks
bool g_settingsUnsaved = false;
bool g_savedHistoryUnremoved = false;  // keeping was turned off, the file still stands
std::uint64_t g_origin = 0;
std::int64_t g_lastCreated = 0;

bool Saving() { return g_storage != nullptr && g_keepHistory; }

struct SavedRead {
  std::deque<HistoryEntry> entries;
  bool intact = true;
};

// What can be read of the saved history; a file that cannot be read whole is set aside,
// so that the next save writes a good one and the user's bytes stay.
SavedRead ReadSavedHistory(bool setAside) {
  FileRead read = g_storage->Read(SavedFile::kHistory, kSavedFileBound);
  if (read.status == FileRead::kMissing) return {};
  ParsedHistory parsed;
  if (read.status == FileRead::kRead) parsed = LoadHistory(read.bytes, read.complete);
  else parsed.intact = false;
  if (!parsed.intact && setAside) g_storage->SetAside(SavedFile::kHistory);
  return {std::move(parsed.entries), parsed.intact};
}

// Settings written by another window since: the user's last choice holds for all.
void AdoptSavedSettings() {
  if (g_settingsUnsaved) return;
  const FileRead read = g_storage->Read(SavedFile::kSettings, kSavedFileBound);
  Settings settings{g_keepHistory, {}};
  if (read.status != FileRead::kRead || !ParseSettings(read.bytes, settings)) return;
  if (settings.keepHistory == g_keepHistory) return;
  g_keepHistory = settings.keepHistory;
  g_unsaved = {};
  if (g_keepHistory) g_unsaved.added.assign(g_history.begin(), g_history.end());
}

// Under the lock; a failure leaves the changes unsaved for the next try.
void SaveLocked(WindowHandle window) {
  if (g_settingsUnsaved &&
      g_storage->Replace(SavedFile::kSettings, SerializeSettings({g_keepHistory, {}}))) {
    g_settingsUnsaved = false;
  }
  AdoptSavedSettings();
  if (!g_keepHistory) {
    if (g_savedHistoryUnremoved && g_storage->Remove(SavedFile::kHistory)) {
      g_savedHistoryUnremoved = false;
    }
    return;
  }
  std::deque<HistoryEntry> merged = MergeHistory(ReadSavedHistory(true).entries, g_unsaved);
  if (!g_storage->Replace(SavedFile::kHistory, SerializeHistory(merged))) return;
  g_unsaved = {};
  // Entries another window saved meanwhile show here too.
  const bool same = std::equal(merged.begin(), merged.end(), g_history.begin(), g_history.end(),
                               SameEntry);
  if (!same) {
    g_history = std::move(merged);
    SetHistoryEntries(window, g_history);
  }
}

void Save(WindowHandle window) {
  if (g_storage == nullptr) return;
  UnlessOutOfMemory([&] {
    if (!g_storage->Lock()) return;
    SaveLocked(window);
    g_storage->Unlock();
  });
}

}  // namespace

void StampNewEntry(HistoryEntry& entry) {
  if (g_origin == 0) {
    std::random_device device;
    g_origin = (std::uint64_t{device()} << 32 | device()) | 1;
  }
  const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::system_clock::now().time_since_epoch());
  // Two entries of one window never share a time, so the pair tells them apart.
  g_lastCreated = std::max<std::int64_t>(now.count(), g_lastCreated + 1);
  entry.created = g_lastCreated;
  entry.origin = g_origin;
}

void SaveAddedEntry(WindowHandle window, const HistoryEntry& entry) {
  if (!Saving()) return;
  g_unsaved.added.push_back(entry);
  KeepNewest(g_unsaved.added);
  Save(window);
}

void SaveDeletedEntry(WindowHandle window, const HistoryEntry& entry) {
  if (!Saving()) return;
  g_unsaved.deleted.push_back(entry);
  KeepNewest(g_unsaved.deleted);
  Save(window);
}

void SaveClearedHistory(WindowHandle window) {
  if (!Saving()) return;
  g_unsaved = {};
  g_unsaved.cleared = true;
  Save(window);
}

void ToggleKeepHistory(WindowHandle window) {
  g_keepHistory = !g_keepHistory;
  g_settingsUnsaved = true;
  g_unsaved = {};
  g_savedHistoryUnremoved = !g_keepHistory;
  if (g_keepHistory) g_unsaved.added.assign(g_history.begin(), g_history.end());
  Save(window);
}

void StartSavedHistory(WindowHandle window, Storage* storage) {
  g_storage = storage;
  if (storage == nullptr) return;
  bool repair = false;
  UnlessOutOfMemory([&] {
    // Without the lock nothing is set aside: another window may be writing.
    const bool locked = storage->Lock();
    const FileRead read = storage->Read(SavedFile::kSettings, kSavedFileBound);
    Settings settings;
    const bool unreadable = read.status == FileRead::kUnreadable ||
                            (read.status == FileRead::kRead &&
                             !(read.complete && ParseSettings(read.bytes, settings)));
    if (unreadable) {
      if (locked) storage->SetAside(SavedFile::kSettings);
      g_settingsUnsaved = true;
      repair = true;
    }
    g_keepHistory = settings.keepHistory;
    if (g_keepHistory) {
      SavedRead saved = ReadSavedHistory(locked);
      if (!saved.intact) {
        g_unsaved.added.assign(saved.entries.begin(), saved.entries.end());
        repair = true;
      }
      g_history = std::move(saved.entries);
    }
    if (locked) storage->Unlock();
    if (!g_history.empty()) SetHistoryEntries(window, g_history);
  });
  if (repair) Save(window);
}

void ResetSavedHistory() {
  g_storage = nullptr;
  g_keepHistory = true;
  g_unsaved = {};
  g_settingsUnsaved = false;
  g_savedHistoryUnremoved = false;
}
