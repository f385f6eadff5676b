// vorlane-eval's lines on disk, saved by the calculator's rules through its storage: under
// the lock, replaced at once, an unreadable file set aside, nothing written over a file this
// user may not read (nor, by the storage, over another user's).
#pragma once

#include <string>
#include <vector>

#include "calculator/storage.h"

class EvalHistory {
 public:
  explicit EvalHistory(Storage& storage) : storage_(storage) {}

  // What the file holds, oldest first. A file that cannot be read whole is set aside, and
  // what could be read of it is written again with the next save.
  std::vector<std::string> Load();
  // Saves the line with those the file still lacks; they stay for the next try when it
  // fails.
  StorageFault Add(std::string line);
  // The last try, at the end of input; kNone when nothing was left.
  StorageFault SaveRest();

 private:
  StorageFault Lock();
  StorageFault Save();
  StorageFault SaveLocked();

  Storage& storage_;
  std::vector<std::string> unsaved_;
  bool patient_ = true;  // false while the last save failed: then the lock is only tried
};
