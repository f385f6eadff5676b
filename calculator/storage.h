// Where the history and the settings are kept: the only way from the core to the disk.
// Each window program has one (ui/qt/storage.cpp, ui/win32/storage.cpp); the tests use a
// fake.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

enum class SavedFile { kHistory, kSettings };

struct FileRead {
  enum Status { kMissing, kRead, kUnreadable } status = kMissing;
  std::string bytes;      // kRead: at most the bound asked for
  bool complete = true;   // false: the file holds more than the bound
};

class Storage {
 public:
  virtual ~Storage() = default;
  // Never reads more than bound bytes; a link, a folder or a device is kUnreadable.
  virtual FileRead Read(SavedFile file, std::size_t bound) = 0;
  // Replaces the file at once: afterwards it holds either the old bytes or these.
  virtual bool Replace(SavedFile file, std::string_view bytes) = 0;
  // True also when there was none.
  virtual bool Remove(SavedFile file) = 0;
  // Renames whatever stands in the file's place to a new name beside it.
  virtual bool SetAside(SavedFile file) = 0;
  // One holder at a time across processes; false when the wait timed out or failed.
  virtual bool Lock() = 0;
  virtual void Unlock() = 0;
};

// The platform's storage, for the window programs.
Storage& PlatformStorage();
