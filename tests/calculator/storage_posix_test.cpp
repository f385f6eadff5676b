// The Linux storage on real folders: what stands in the history file's place, and the
// permissions of what it makes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "calculator/calculator.h"
#include "calculator/history.h"
#include "calculator/history_file.h"
#include "calculator/storage.h"
#include "fake_window.h"

namespace {

namespace fs = std::filesystem;

class PosixStorageTest : public testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/vorlane-storage-test.XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    root = name;
    setenv("XDG_STATE_HOME", (root / "state").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    history = root / "state/vorlane/history";
    ResetCalculator();
    ResetFakeWindow();
  }
  void TearDown() override {
    ResetCalculator();
    fs::remove_all(root);
  }

  // What the folder holds besides the lock, by name.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(history.parent_path())) {
      if (item.path().filename() != "lock") names.push_back(item.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  static std::size_t Saved() {
    return ParseHistory(PlatformStorage().Read(SavedFile::kHistory, kSavedFileBound).bytes)
        .entries.size();
  }

  fs::path root;
  fs::path history;
};

TEST_F(PosixStorageTest, WhatStandsInTheFilesPlaceIsSetAsideAndAGoodFileWritten) {
  struct Row {
    const char* name;
    void (*make)(const fs::path& at);
    fs::file_type asideType;
  };
  const Row rows[] = {
      {"a folder", [](const fs::path& at) { fs::create_directory(at); }, fs::file_type::directory},
      {"a dangling link", [](const fs::path& at) { fs::create_symlink("/nonexistent/vorlane", at); },
       fs::file_type::symlink},
      {"a named pipe", [](const fs::path& at) { mkfifo(at.c_str(), 0600); }, fs::file_type::fifo},
      // Sparse: a gigabyte that costs nothing on disk, and is never read whole.
      {"a file of 1 GB", [](const fs::path& at) { std::ofstream{at}; fs::resize_file(at, 1 << 30); },
       fs::file_type::regular},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove_all(root / "state");
    fs::create_directories(history.parent_path());
    row.make(history);
    ResetCalculator();
    StartSavedHistory(FakeHandle(), &PlatformStorage());
    RecordCalculation(FakeHandle(), L"2+3", L"5");
    const std::vector<std::string> names = Names();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_TRUE(names[1].starts_with("history.bad-")) << names[1];
    EXPECT_EQ(fs::symlink_status(history.parent_path() / names[1]).type(), row.asideType);
    EXPECT_EQ(Saved(), 1u);
  }
}

TEST_F(PosixStorageTest, FoldersArePrivateAndNoTemporaryFileIsLeft) {
  StartSavedHistory(FakeHandle(), &PlatformStorage());
  RecordCalculation(FakeHandle(), L"2+3", L"5");
  ToggleKeepHistory(FakeHandle());
  ToggleKeepHistory(FakeHandle());
  // A temporary file a crashed save left behind goes at the next save.
  std::ofstream{history.string() + ".tmp-crash"} << "half";
  RecordCalculation(FakeHandle(), L"7*8", L"56");
  for (const fs::path& path : {history.parent_path(), root / "config/vorlane"}) {
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_all) << path;
  }
  for (const fs::path& path : {history, root / "config/vorlane/settings"}) {
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write) << path;
  }
  EXPECT_EQ(Names(), std::vector<std::string>{"history"});
  EXPECT_EQ(Saved(), 2u);
}

}  // namespace
