// The Linux storage on real folders: what stands in the history file's or the lock's place
// is set aside, what it makes is the user's alone, another user's files are never touched,
// and a lock held by another process holds nothing up. (A full disk: tests/qt/atspi_test.py.)
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "calculator/calculator.h"
#include "calculator/history.h"
#include "calculator/history_file.h"
#include "calculator/saved_history.h"
#include "calculator/state.h"
#include "calculator/storage.h"
#include "fake_window.h"
#include "tests/support/child_process.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A profile of its own under /tmp, which another user may pass through.
fs::path MakeProfile() {
  char name[] = "/tmp/vorlane-storage-test.XXXXXX";
  if (mkdtemp(name) == nullptr) return {};
  chmod(name, 0755);
  setenv("XDG_STATE_HOME", (fs::path(name) / "state").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (fs::path(name) / "config").c_str(), 1);
  return name;
}

void Start() {
  ResetCalculator();
  ResetFakeWindow();
  StartSavedHistory(FakeHandle(), &PlatformStorage());
}

std::size_t SavedEntries() {
  const FileRead read = PlatformStorage().Read(SavedFile::kHistory, kSavedFileBound);
  return ParseHistory(read.bytes).entries.size();
}

bool TitleSays(std::wstring_view reason) {
  return g_fakeWindow.title == L"Vorlane-计算器 — 历史记录无法保存：" + std::wstring(reason);
}

TEST(PosixStorage, WhatStandsInTheFilesPlaceIsSetAsideAndAPrivateFileWritten) {
  const fs::path root = MakeProfile(), folder = root / "state/vorlane", history = folder / "history";
  ASSERT_FALSE(root.empty());
  const struct {
    const char* file;
    void (*make)(const fs::path& at);
    fs::file_type kept;
  } rows[] = {
      {"history", [](const fs::path& at) { fs::create_directory(at); }, fs::file_type::directory},
      {"history", [](const fs::path& at) { fs::create_symlink("/nonexistent/vorlane", at); }, fs::file_type::symlink},
      {"history", [](const fs::path& at) { mkfifo(at.c_str(), 0600); }, fs::file_type::fifo},
      // Sparse: a gigabyte that costs nothing on disk, and is never read whole.
      {"history", [](const fs::path& at) { std::ofstream{at}; fs::resize_file(at, 1 << 30); }, fs::file_type::regular},
      {"lock", [](const fs::path& at) { fs::create_directory(at); }, fs::file_type::directory},
      {"lock", [](const fs::path& at) { fs::create_symlink("/nonexistent/vorlane", at); }, fs::file_type::symlink},
      {"lock", [](const fs::path& at) { mkfifo(at.c_str(), 0600); }, fs::file_type::fifo},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.file) + " " + std::to_string(static_cast<int>(row.kept)));
    fs::remove_all(root / "state");
    fs::create_directories(folder);
    row.make(folder / row.file);
    // A temporary file a crashed save left behind goes at the next save.
    std::ofstream{history.string() + ".tmp-crash"} << "half";
    Start();
    RecordCalculation(FakeHandle(), L"2+3", L"5");
    std::vector<fs::path> kept;
    for (const auto& item : fs::directory_iterator(folder)) {
      if (item.path() != history && item.path().filename() != "lock") kept.push_back(item.path());
    }
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_TRUE(kept[0].filename().string().starts_with(std::string(row.file) + ".bad-")) << kept[0];
    EXPECT_EQ(fs::symlink_status(kept[0]).type(), row.kept) << kept[0];
    EXPECT_EQ(SavedEntries(), 1u);
  }
  // Made anew: folders 0700, files 0600.
  fs::remove_all(root / "state");
  fs::remove_all(root / "config");
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

// Every path under the folder with its kind, owner, mode and bytes; but the lock, which a
// user may make in a folder of their own.
std::string Snapshot(const fs::path& folder) {
  std::ostringstream out;
  for (const auto& item : fs::recursive_directory_iterator(folder)) {
    if (item.path().filename() == "lock") continue;
    struct stat info {};
    lstat(item.path().c_str(), &info);
    out << item.path() << ' ' << info.st_mode << ' ' << info.st_uid << ' ';
    if (S_ISREG(info.st_mode)) out << std::ifstream(item.path()).rdbuf();
    out << '\n';
  }
  return out.str();
}

void Own(const fs::path& path, uid_t uid, gid_t gid) { ASSERT_EQ(lchown(path.c_str(), uid, gid), 0) << path; }

// Root, as sudo with a kept HOME makes it, and the user, each on the other's files: reads
// what it may, writes nothing, renames nothing, and says "没有写入权限" at "=". Needs root,
// which ignores permissions, and the user vorlane-test (scripts/setup makes it).
TEST(PosixStorage, NothingOfAnotherUserIsWrittenOverOrMoved) {
  const passwd* user = getpwnam("vorlane-test");
  if (geteuid() != 0 || user == nullptr) GTEST_SKIP() << "needs root and the user vorlane-test";
  const uid_t uid = user->pw_uid;
  const gid_t gid = user->pw_gid;
  const std::string saved = SerializeHistory({{L"1+1", L"2", 1, 1}});
  const struct {
    const char* name;
    bool asUser;        // the calculator runs as vorlane-test, else as root
    int folderOwner;    // of state/vorlane (state/ is the user's); -1: no such folder
    uid_t historyOwner;
    mode_t folderMode;
    std::size_t shown;  // entries the window starts with
  } rows[] = {
      {"the user with a read-only folder", true, static_cast<int>(uid), uid, 0500, 1},
      {"root on the user's files", false, static_cast<int>(uid), uid, 0700, 1},
      {"root where the user has no folder yet", false, -1, uid, 0700, 0},
      {"the user on a history root left", true, static_cast<int>(uid), 0, 0700, 0},
      {"the user in a folder root left", true, 0, 0, 0700, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const fs::path root = MakeProfile(), state = root / "state", folder = state / "vorlane";
    ASSERT_FALSE(root.empty());
    fs::create_directories(state);
    Own(state, uid, gid);
    if (row.folderOwner >= 0) {
      fs::create_directory(folder);
      std::ofstream(folder / "history") << saved;
      chmod((folder / "history").c_str(), 0600);
      Own(folder / "history", row.historyOwner, gid);
      Own(folder, static_cast<uid_t>(row.folderOwner), gid);
      chmod(folder.c_str(), row.folderMode);
    }
    const std::string before = Snapshot(root);
    const ProcessResult child = RunForked([&] {
      if (row.asUser && (setgroups(0, nullptr) != 0 || setresgid(gid, gid, gid) != 0 ||
                         setresuid(uid, uid, uid) != 0)) {
        return 2;
      }
      Start();
      const bool shown = g_history.size() == row.shown;
      RecordCalculation(FakeHandle(), L"4+4", L"8");
      return shown && TitleSays(L"没有写入权限") ? 0 : 1;
    }, std::chrono::seconds(30));
    EXPECT_TRUE(child.finished);
    EXPECT_EQ(child.exitCode, 0) << "1: another start or title; 2: cannot become vorlane-test";
    EXPECT_EQ(Snapshot(root), before);
    chmod(folder.c_str(), 0700);
    fs::remove_all(root);
  }
}

// Another process holds the lock: the start and "=" wait for nothing, a moment's contention
// says nothing, the close waits under a second, and the retry saves once the lock is free.
TEST(PosixStorage, ALockHeldByAnotherProcessNeverHoldsTheWindow) {
  const fs::path root = MakeProfile(), lock = root / "state/vorlane/lock";
  ASSERT_FALSE(root.empty());
  fs::create_directories(lock.parent_path());
  const int fd = open(lock.c_str(), O_RDWR | O_CREAT, 0600);
  // flock belongs to the open file, which the child takes along: the child holds it.
  const pid_t holder = fork();
  if (holder == 0) {
    pause();
    _exit(0);
  }
  ASSERT_EQ(flock(fd, LOCK_EX), 0);
  close(fd);
  const auto start = Clock::now();
  Start();
  RecordCalculation(FakeHandle(), L"4+4", L"8");
  SaveBeforeClosing(FakeHandle());
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(g_fakeWindow.title, L"Vorlane-计算器");
  EXPECT_EQ(SavedEntries(), 0u);
  kill(holder, SIGKILL);  // only the process this test started
  waitpid(holder, nullptr, 0);
  FireRetryTimer();
  EXPECT_EQ(SavedEntries(), 1u);
  ResetCalculator();
  fs::remove_all(root);
}

}  // namespace
