#include "tools/eval_history.h"

#include <chrono>
#include <thread>

#include "tools/eval_history_file.h"

namespace {

// The storage's lock is a try; a console program may wait a moment for a calculator that
// is saving, but a line's answer never waits more than a second for it.
constexpr int kLockTries = 50;
constexpr auto kLockPause = std::chrono::milliseconds(20);

bool Ok(StorageFault fault) { return fault == StorageFault::kNone; }

}  // namespace

StorageFault EvalHistory::Lock() {
  StorageFault fault = storage_.Lock();
  for (int tries = 1; patient_ && fault == StorageFault::kLocked && tries < kLockTries; ++tries) {
    std::this_thread::sleep_for(kLockPause);
    fault = storage_.Lock();
  }
  return fault;
}

std::vector<std::string> EvalHistory::Load() {
  // Without the lock nothing is set aside: another program may be writing.
  const bool locked = Ok(Lock());
  const FileRead read = storage_.Read(SavedFile::kEvalHistory, kEvalHistoryBound);
  ParsedEvalHistory parsed;
  if (read.status == FileRead::kRead) parsed = ParseEvalHistory(read.bytes, read.complete);
  else if (read.status == FileRead::kUnreadable) parsed.intact = false;
  if (!parsed.intact && locked && Ok(storage_.SetAside(SavedFile::kEvalHistory))) {
    unsaved_ = parsed.lines;
  }
  if (locked) storage_.Unlock();
  return parsed.lines;
}

StorageFault EvalHistory::SaveLocked() {
  const FileRead read = storage_.Read(SavedFile::kEvalHistory, kEvalHistoryBound);
  if (read.status == FileRead::kDenied) return StorageFault::kNoPermission;
  ParsedEvalHistory parsed;
  if (read.status == FileRead::kRead) parsed = ParseEvalHistory(read.bytes, read.complete);
  else if (read.status == FileRead::kUnreadable) parsed.intact = false;
  if (!parsed.intact) {
    if (const StorageFault fault = storage_.SetAside(SavedFile::kEvalHistory); !Ok(fault)) return fault;
  }
  const std::vector<std::string> merged = MergeEvalHistory(std::move(parsed.lines), unsaved_);
  const StorageFault fault = storage_.Replace(SavedFile::kEvalHistory, SerializeEvalHistory(merged));
  if (Ok(fault)) unsaved_.clear();
  return fault;
}

StorageFault EvalHistory::Save() {
  StorageFault fault = Lock();
  if (Ok(fault)) {
    fault = SaveLocked();
    storage_.Unlock();
  }
  patient_ = Ok(fault);
  return fault;
}

StorageFault EvalHistory::Add(std::string line) {
  unsaved_.push_back(std::move(line));
  // What cannot be saved for long is not kept without bound either.
  if (unsaved_.size() > kEvalHistoryCapacity) unsaved_.erase(unsaved_.begin());
  return Save();
}

StorageFault EvalHistory::SaveRest() {
  if (unsaved_.empty()) return StorageFault::kNone;
  patient_ = true;
  return Save();
}
