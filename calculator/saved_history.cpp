#include "calculator/saved_history.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <thread>

#include "calculator/history_file.h"
#include "calculator/out_of_memory.h"
#include "calculator/refresh.h"
#include "calculator/save_status.h"
#include "calculator/settings.h"
#include "calculator/state.h"
#include "calculator/storage.h"

bool g_keepHistory = true;

namespace {

using Clock = std::chrono::steady_clock;

// Another calculator holds the lock for a moment: soon again, and nothing is said until
// it has been out of reach this long.
constexpr auto kLockPatience = std::chrono::seconds(5);
constexpr int kContentionRetryMs = 250;
// A full disk or a folder without permission: again now and then, well within 5 s.
constexpr int kFaultRetryMs = 2000;
// At the close the lock is worth a short wait: 40 x 20 ms, and a close still ends within
// a second.
constexpr int kCloseLockTries = 40;
constexpr auto kCloseLockPause = std::chrono::milliseconds(20);

Storage* g_storage = nullptr;
HistoryChanges g_unsaved;              // what the file still lacks
bool g_historyRewrite = false;         // to be written even without changes
bool g_settingsUnsaved = false;
bool g_settingsCopied = false;         // the settings that could not be read have a copy aside
bool g_savedHistoryUnremoved = false;  // keeping was turned off, the file still stands
bool g_retryPending = false;
std::optional<Clock::time_point> g_lockMissedSince;
Clock::time_point (*g_now)() = &Clock::now;
std::wstring g_shownNotice;            // what the title says of saving now
std::uint64_t g_origin = 0;
std::int64_t g_lastCreated = 0;

bool Saving() { return g_storage != nullptr && g_keepHistory; }

bool Ok(StorageFault fault) { return fault == StorageFault::kNone; }

bool HasChanges(const HistoryChanges& changes) {
  return changes.cleared || !changes.added.empty() || !changes.deleted.empty();
}

bool Unsaved() {
  return g_settingsUnsaved || g_savedHistoryUnremoved ||
         (g_keepHistory && (HasChanges(g_unsaved) || g_historyRewrite));
}

struct SavedRead {
  std::deque<HistoryEntry> entries;
  bool intact = true;
  StorageFault fault = StorageFault::kNone;  // not to be written over
};

// What can be read of the saved history; a file that cannot be read whole is set aside,
// so that the next save writes a good one and the user's bytes stay. One this user may
// not read stays as it is, and is not written over.
SavedRead ReadSavedHistory(bool setAside) {
  FileRead read = g_storage->Read(SavedFile::kHistory, kSavedFileBound);
  if (read.status == FileRead::kMissing) return {};
  if (read.status == FileRead::kDenied) return {{}, true, StorageFault::kNoPermission};
  ParsedHistory parsed;
  if (read.status == FileRead::kRead) parsed = LoadHistory(read.bytes, read.complete);
  else parsed.intact = false;
  SavedRead saved{std::move(parsed.entries), parsed.intact};
  if (!saved.intact && setAside) saved.fault = g_storage->SetAside(SavedFile::kHistory);
  return saved;
}

enum class SettingsFile { kMissing, kUnderstood, kNotUnderstood, kNoFile, kDenied };

SettingsFile ReadSettings(Settings& settings) {
  const FileRead read = g_storage->Read(SavedFile::kSettings, kSavedFileBound);
  switch (read.status) {
    case FileRead::kMissing: return SettingsFile::kMissing;
    case FileRead::kDenied: return SettingsFile::kDenied;
    case FileRead::kUnreadable: return SettingsFile::kNoFile;
    case FileRead::kRead: break;
  }
  return read.complete && ParseSettings(read.bytes, settings) ? SettingsFile::kUnderstood
                                                             : SettingsFile::kNotUnderstood;
}

// The user's choice over what stands on disk, which keeps the lines it does not know. Bytes
// that could not be understood are copied aside first, what is no file set aside; a file
// this user may not read is not written over.
StorageFault WriteSettings() {
  Settings settings;
  switch (ReadSettings(settings)) {
    case SettingsFile::kDenied:
      return StorageFault::kNoPermission;
    case SettingsFile::kNoFile:
      if (const StorageFault fault = g_storage->SetAside(SavedFile::kSettings); !Ok(fault)) return fault;
      break;
    case SettingsFile::kNotUnderstood:
      if (!g_settingsCopied) {
        if (const StorageFault fault = g_storage->CopyAside(SavedFile::kSettings); !Ok(fault)) return fault;
      }
      settings = {};
      break;
    case SettingsFile::kMissing:
    case SettingsFile::kUnderstood:
      break;
  }
  settings.keepHistory = g_keepHistory;
  settings.expressionLine = g_expressionLineOn;
  const StorageFault fault = g_storage->Replace(SavedFile::kSettings, SerializeSettings(settings));
  if (Ok(fault)) g_settingsCopied = false;
  return fault;
}

// Settings written by another window since: the user's last choice holds for all.
void AdoptSavedSettings() {
  if (g_settingsUnsaved) return;
  Settings settings{g_keepHistory, g_expressionLineOn, {}};
  if (ReadSettings(settings) != SettingsFile::kUnderstood) return;
  g_settingsUnreadable = false;
  g_settingsCopied = false;
  if (settings.keepHistory == g_keepHistory) return;
  g_keepHistory = settings.keepHistory;
  g_unsaved = {};
  if (g_keepHistory) g_unsaved.added.assign(g_history.begin(), g_history.end());
}

// Under the lock: the first fault of what failed, which stays unsaved for the next try.
StorageFault SaveLocked(WindowHandle window) {
  StorageFault first = StorageFault::kNone;
  const auto saved = [&](StorageFault fault) {
    if (Ok(first)) first = fault;
    return Ok(fault);
  };
  if (g_settingsUnsaved && saved(WriteSettings())) g_settingsUnsaved = false;
  AdoptSavedSettings();
  if (!g_keepHistory) {
    if (g_savedHistoryUnremoved && saved(g_storage->Remove(SavedFile::kHistory))) {
      g_savedHistoryUnremoved = false;
    }
    return first;
  }
  if (!HasChanges(g_unsaved) && !g_historyRewrite) return first;
  SavedRead read = ReadSavedHistory(true);
  if (!saved(read.fault)) return first;
  std::deque<HistoryEntry> merged = MergeHistory(std::move(read.entries), g_unsaved);
  if (!saved(g_storage->Replace(SavedFile::kHistory, SerializeHistory(merged)))) return first;
  g_unsaved = {};
  g_historyRewrite = false;
  // Entries another window saved meanwhile show here too.
  const bool same = std::equal(merged.begin(), merged.end(), g_history.begin(), g_history.end(),
                               SameEntry);
  if (!same) {
    g_history = std::move(merged);
    SetHistoryEntries(window, g_history);
  }
  return first;
}

// The title and the menu say what now holds; screen readers hear a new notice once.
void RefreshNotice(WindowHandle window) {
  std::wstring notice = SaveNotice();
  if (notice == g_shownNotice) return;
  g_shownNotice = std::move(notice);
  UpdateTitle(window);
  if (!g_shownNotice.empty()) Announce(window, g_shownNotice);
}

void Report(WindowHandle window, StorageFault fault) {
  if (fault != StorageFault::kLocked) {
    g_lockMissedSince.reset();
  } else if (!g_lockMissedSince) {
    g_lockMissedSince = g_now();
  }
  // Ordinary contention: the notice stays as it was.
  const bool patient = fault == StorageFault::kLocked && g_now() - *g_lockMissedSince < kLockPatience;
  if (!patient) g_saveFault = fault;
  RefreshNotice(window);
  if (!Ok(fault)) {
    StartRetryTimer(window, fault == StorageFault::kLocked ? kContentionRetryMs : kFaultRetryMs);
    g_retryPending = true;
  } else if (g_retryPending) {
    StopRetryTimer(window);
    g_retryPending = false;
  }
}

void Save(WindowHandle window) {
  if (g_storage == nullptr) return;
  UnlessOutOfMemory([&] {
    StorageFault fault = StorageFault::kNone;
    if (Unsaved()) {
      fault = g_storage->Lock();
      if (Ok(fault)) {
        fault = SaveLocked(window);
        g_storage->Unlock();
      }
    }
    Report(window, fault);
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
  // The user chose: what the settings said no longer matters.
  g_settingsUnreadable = false;
  g_unsaved = {};
  g_savedHistoryUnremoved = !g_keepHistory;
  if (g_keepHistory) g_unsaved.added.assign(g_history.begin(), g_history.end());
  g_historyRewrite = g_keepHistory;
  Save(window);
}

void ToggleExpressionLine(WindowHandle window) {
  g_expressionLineOn = !g_expressionLineOn;
  UnlessOutOfMemory([&] { RefreshExpressionLine(window); });
  g_settingsUnsaved = true;
  Save(window);
}

void RetrySaving(WindowHandle window) {
  g_retryPending = false;
  Save(window);
}

void SaveBeforeClosing(WindowHandle window) {
  if (g_storage == nullptr) return;
  UnlessOutOfMemory([&] {
    if (!Unsaved()) return;
    StorageFault fault = g_storage->Lock();
    for (int tries = 0; fault == StorageFault::kLocked && tries < kCloseLockTries; ++tries) {
      std::this_thread::sleep_for(kCloseLockPause);
      fault = g_storage->Lock();
    }
    if (!Ok(fault)) return;
    SaveLocked(window);
    g_storage->Unlock();
  });
}

void StartSavedHistory(WindowHandle window, Storage* storage) {
  g_storage = storage;
  if (storage == nullptr) return;
  UnlessOutOfMemory([&] {
    // Without the lock nothing is set aside or copied: another window may be writing.
    const bool locked = Ok(storage->Lock());
    Settings settings;
    const SettingsFile file = ReadSettings(settings);
    g_settingsUnreadable = file != SettingsFile::kMissing && file != SettingsFile::kUnderstood;
    // Unreadable settings may have said no: nothing is written until the user says.
    g_keepHistory = settings.keepHistory && !g_settingsUnreadable;
    g_expressionLineOn = settings.expressionLine;
    if (file == SettingsFile::kNotUnderstood && locked) {
      g_settingsCopied = Ok(storage->CopyAside(SavedFile::kSettings));
    }
    // What stands on disk is shown all the same; only keeping writes.
    if (g_keepHistory || g_settingsUnreadable) {
      SavedRead saved = ReadSavedHistory(locked && g_keepHistory);
      if (g_keepHistory && !saved.intact) {
        g_unsaved.added.assign(saved.entries.begin(), saved.entries.end());
        g_historyRewrite = true;
      }
      g_history = std::move(saved.entries);
    }
    if (locked) storage->Unlock();
    if (!g_history.empty()) SetHistoryEntries(window, g_history);
    RefreshExpressionLine(window);
    RefreshNotice(window);
  });
  if (g_historyRewrite) Save(window);
}

void ResetSavedHistory() {
  g_storage = nullptr;
  g_keepHistory = true;
  g_unsaved = {};
  g_historyRewrite = false;
  g_settingsUnsaved = false;
  g_settingsCopied = false;
  g_savedHistoryUnremoved = false;
  g_retryPending = false;
  g_lockMissedSince.reset();
  g_shownNotice.clear();
  g_saveFault = StorageFault::kNone;
  g_settingsUnreadable = false;
}

void SetSavingClock(std::chrono::steady_clock::time_point (*now)()) {
  g_now = now != nullptr ? now : &Clock::now;
}
