// The Linux storage on real folders: what stands in the history file's place is set aside,
// and what it makes is the user's alone.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "calculator/calculator.h"
#include "calculator/history.h"
#include "calculator/history_file.h"
#include "calculator/saved_history.h"
#include "calculator/storage.h"
#include "fake_window.h"

namespace {

namespace fs = std::filesystem;

TEST(PosixStorage, WhatStandsInTheFilesPlaceIsSetAsideAndAPrivateFileWritten) {
  char name[] = "/tmp/vorlane-storage-test.XXXXXX";
  ASSERT_NE(mkdtemp(name), nullptr);
  const fs::path root = name, folder = root / "state/vorlane", history = folder / "history";
  setenv("XDG_STATE_HOME", (root / "state").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
  const struct {
    void (*make)(const fs::path& at);
    fs::file_type kept;
  } rows[] = {
      {[](const fs::path& at) { fs::create_directory(at); }, fs::file_type::directory},
      {[](const fs::path& at) { fs::create_symlink("/nonexistent/vorlane", at); }, fs::file_type::symlink},
      {[](const fs::path& at) { mkfifo(at.c_str(), 0600); }, fs::file_type::fifo},
      // Sparse: a gigabyte that costs nothing on disk, and is never read whole.
      {[](const fs::path& at) { std::ofstream{at}; fs::resize_file(at, 1 << 30); }, fs::file_type::regular},
  };
  for (const auto& row : rows) {
    fs::remove_all(root);
    fs::create_directories(folder);
    row.make(history);
    // A temporary file a crashed save left behind goes at the next save.
    std::ofstream{history.string() + ".tmp-crash"} << "half";
    ResetCalculator();
    StartSavedHistory(FakeHandle(), &PlatformStorage());
    RecordCalculation(FakeHandle(), L"2+3", L"5");
    std::vector<fs::path> kept;
    for (const auto& item : fs::directory_iterator(folder)) {
      if (item.path() != history && item.path().filename() != "lock") kept.push_back(item.path());
    }
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_TRUE(kept[0].filename().string().starts_with("history.bad-")) << kept[0];
    EXPECT_EQ(fs::symlink_status(kept[0]).type(), row.kept) << kept[0];
    const FileRead read = PlatformStorage().Read(SavedFile::kHistory, kSavedFileBound);
    EXPECT_EQ(ParseHistory(read.bytes).entries.size(), 1u);
  }
  // Made anew: folders 0700, files 0600.
  fs::remove_all(root);
  ResetCalculator();
  StartSavedHistory(FakeHandle(), &PlatformStorage());
  ToggleKeepHistory(FakeHandle());
  ToggleKeepHistory(FakeHandle());
  for (const fs::path& made : {root / "state", folder, root / "config/vorlane"}) {
    EXPECT_EQ(fs::status(made).permissions() & fs::perms::all, fs::perms::owner_all) << made;
  }
  for (const fs::path& made : {history, root / "config/vorlane/settings"}) {
    EXPECT_EQ(fs::status(made).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write) << made;
  }
  ResetCalculator();
  fs::remove_all(root);
}

}  // namespace
