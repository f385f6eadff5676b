// Where the history and the settings are kept: the only way from the core to the disk.
// Each window program has one (ui/posix/storage.cpp, ui/win32/storage.cpp); the tests use a
// fake. vorlane-eval keeps the lines typed on a terminal through the POSIX one, so that they
// are saved by the same rules as the calculator's history.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// kEvalHistory: the lines typed into vorlane-eval on a terminal, beside the history and
// under the same lock.
enum class SavedFile { kHistory, kSettings, kEvalHistory };

// Why the storage could not do what it was asked: the window tells the user.
enum class StorageFault {
  kNone,
  kNoSpace,       // ENOSPC, EDQUOT; ERROR_DISK_FULL
  kNoPermission,  // EACCES, EPERM, EROFS; ERROR_ACCESS_DENIED; a folder or file of another user
  kLocked,        // another program holds the lock, or the file
  kOther,         // any other failure of the disk or the system
};

struct FileRead {
  // kUnreadable: no file (a link, a folder, a device), or one that failed to read; it may
  // be set aside. kDenied: a file this user may not read, which stays as it is.
  enum Status { kMissing, kRead, kUnreadable, kDenied } status = kMissing;
  std::string bytes;      // kRead: at most the bound asked for
  bool complete = true;   // false: the file holds more than the bound
};

// Every write fails with its fault, and writes nothing into a folder, nor over a file,
// of another user than the one the program runs as.
class Storage {
 public:
  virtual ~Storage() = default;
  // Never reads more than bound bytes.
  virtual FileRead Read(SavedFile file, std::size_t bound) = 0;
  // Replaces the file at once: afterwards it holds either the old bytes or these.
  virtual StorageFault Replace(SavedFile file, std::string_view bytes) = 0;
  // kNone also when there was none.
  virtual StorageFault Remove(SavedFile file) = 0;
  // Renames whatever stands in the file's place to a new name beside it.
  virtual StorageFault SetAside(SavedFile file) = 0;
  // Copies the file to such a name, and leaves it where it is.
  virtual StorageFault CopyAside(SavedFile file) = 0;
  // One holder at a time across processes. Never waits: kLocked while another holds it.
  // Whatever stands in the lock's place that is no file is set aside, and a lock made.
  virtual StorageFault Lock() = 0;
  virtual void Unlock() = 0;
};

// The platform's storage, for the window programs.
Storage& PlatformStorage();
