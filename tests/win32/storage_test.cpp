// The Windows storage on the real folder in the roaming application data.
#include "ui/win32/win32.h"
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "calculator/storage.h"

namespace {

namespace fs = std::filesystem;

fs::path SavedFolder() {
  PWSTR roaming = nullptr;
  fs::path folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &roaming))) {
    folder = fs::path{roaming} / L"Vorlane Calculator";
  }
  CoTaskMemFree(roaming);
  return folder;
}

bool UnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::string BytesOf(const fs::path& file) {
  std::string bytes(fs::file_size(file), '\0');
  std::ifstream{file, std::ios::binary}.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

std::set<std::wstring> Names(const fs::path& folder) {
  std::set<std::wstring> names;
  for (const auto& item : fs::directory_iterator(folder)) names.insert(item.path().filename().wstring());
  return names;
}

class Win32Storage : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.empty());
    // Under Wine this is the tests' own prefix; on Windows a folder already there is a
    // user's history, which no test may touch.
    if (!UnderWine() && fs::exists(folder_)) GTEST_SKIP() << "the profile has " << folder_;
    fs::remove_all(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  const fs::path folder_ = SavedFolder();
  const fs::path history_ = folder_ / L"history";
  Storage& storage_ = PlatformStorage();
};

TEST_F(Win32Storage, ReplaceThenReadGivesTheBytesWithinTheBound) {
  // No text mode: CR LF, a lone LF and NUL come back as written.
  const std::string bytes{"vorlane\r\nhistory\n\0\x1A\xFF tail", 24};
  ASSERT_EQ(storage_.Replace(SavedFile::kHistory, "a longer first version of the file"), StorageFault::kNone);
  ASSERT_EQ(storage_.Replace(SavedFile::kHistory, bytes), StorageFault::kNone);
  ASSERT_EQ(storage_.Replace(SavedFile::kSettings, "settings"), StorageFault::kNone);
  EXPECT_EQ(Names(folder_), (std::set<std::wstring>{L"history", L"settings"}));
  const struct {
    std::size_t bound;
    bool complete;
  } rows[] = {{1 << 20, true}, {bytes.size(), true}, {bytes.size() - 1, false}, {0, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.bound);
    const FileRead read = storage_.Read(SavedFile::kHistory, row.bound);
    EXPECT_EQ(read.status, FileRead::kRead);
    EXPECT_EQ(read.bytes, bytes.substr(0, row.bound));
    EXPECT_EQ(read.complete, row.complete);
  }
  EXPECT_EQ(storage_.Read(SavedFile::kSettings, 100).bytes, "settings");
}

TEST_F(Win32Storage, ReadAndRemoveOfWhatStandsInTheFilesPlace) {
  const struct {
    const char* name;
    void (*make)(const fs::path& history);
    FileRead::Status status;
  } rows[] = {
      {"no folder", [](const fs::path&) {}, FileRead::kMissing},
      {"no file", [](const fs::path& at) { fs::create_directory(at.parent_path()); }, FileRead::kMissing},
      {"a folder", [](const fs::path& at) { fs::create_directories(at); }, FileRead::kUnreadable},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove_all(folder_);
    row.make(history_);
    EXPECT_EQ(storage_.Read(SavedFile::kHistory, 100).status, row.status);
    EXPECT_EQ(storage_.Remove(SavedFile::kSettings), StorageFault::kNone);
  }
  ASSERT_EQ(storage_.Replace(SavedFile::kSettings, "settings"), StorageFault::kNone);
  EXPECT_EQ(storage_.Remove(SavedFile::kSettings), StorageFault::kNone);
  EXPECT_EQ(storage_.Read(SavedFile::kSettings, 100).status, FileRead::kMissing);
}

TEST_F(Win32Storage, SetAsideKeepsEveryEarlierBadFile) {
  fs::create_directories(history_);
  ASSERT_EQ(storage_.SetAside(SavedFile::kHistory), StorageFault::kNone);
  ASSERT_EQ(storage_.Replace(SavedFile::kHistory, "first"), StorageFault::kNone);
  ASSERT_EQ(storage_.SetAside(SavedFile::kHistory), StorageFault::kNone);
  ASSERT_EQ(storage_.Replace(SavedFile::kHistory, "second"), StorageFault::kNone);
  ASSERT_EQ(storage_.SetAside(SavedFile::kHistory), StorageFault::kNone);
  EXPECT_FALSE(fs::exists(history_));
  std::multiset<std::string> aside;
  for (const std::wstring& name : Names(folder_)) {
    EXPECT_EQ(name.rfind(L"history.bad-", 0), 0u) << fs::path{name};
    aside.insert(fs::is_directory(folder_ / name) ? "folder" : BytesOf(folder_ / name));
  }
  EXPECT_EQ(aside, (std::multiset<std::string>{"folder", "first", "second"}));
}

TEST_F(Win32Storage, LockExcludesASecondHolder) {
  // A temporary file a crashed save left behind goes when the lock is taken.
  fs::create_directories(folder_);
  std::ofstream{folder_ / L"history.tmp-crash"} << "half";
  ASSERT_EQ(storage_.Lock(), StorageFault::kNone);
  EXPECT_FALSE(fs::exists(folder_ / L"history.tmp-crash"));

  // Another window: its own handle on the lock file, and the weakest claim on all of it,
  // which must still clash with the storage's.
  HANDLE other = CreateFileW((folder_ / L"lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  auto lockOther = [other] {
    OVERLAPPED whole{};
    return LockFileEx(other, LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole) != FALSE;
  };
  EXPECT_FALSE(lockOther());
  storage_.Unlock();
  ASSERT_TRUE(lockOther());

  // Held by the other, Lock never waits: refused at once, taken once the other lets go.
  EXPECT_EQ(storage_.Lock(), StorageFault::kLocked);
  OVERLAPPED whole{};
  UnlockFileEx(other, 0, MAXDWORD, MAXDWORD, &whole);
  EXPECT_EQ(storage_.Lock(), StorageFault::kNone);
  storage_.Unlock();
  CloseHandle(other);
}

}  // namespace
