// The saved files on Linux, with POSIX calls only: the history in $XDG_STATE_HOME/vorlane,
// the settings in $XDG_CONFIG_HOME/vorlane (defaults ~/.local/state and ~/.config). Private
// to the user: folders 0700, files 0600, new files made exclusively and never through a link.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

#include "calculator/storage.h"

namespace {

constexpr auto kLockTimeout = std::chrono::seconds(2);
constexpr std::string_view kTempMark = ".tmp-";

// An XDG base folder: the variable when it holds an absolute path, else the default
// under $HOME; empty without either.
std::string BaseFolder(const char* variable, const char* underHome) {
  const char* set = std::getenv(variable);
  if (set != nullptr && set[0] == '/') return set;
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') return {};
  return std::string{home} + underHome;
}

std::string Folder(SavedFile file) {
  const std::string base = file == SavedFile::kHistory
                               ? BaseFolder("XDG_STATE_HOME", "/.local/state")
                               : BaseFolder("XDG_CONFIG_HOME", "/.config");
  return base.empty() ? base : base + "/vorlane";
}

std::string FileName(SavedFile file) { return file == SavedFile::kHistory ? "history" : "settings"; }

std::string PathOf(SavedFile file) {
  const std::string folder = Folder(file);
  return folder.empty() ? folder : folder + "/" + FileName(file);
}

// Every missing folder of the path, each 0700 as the XDG base directories ask.
bool MakeFolders(const std::string& path) {
  for (std::size_t slash = 1; slash != std::string::npos;) {
    slash = path.find('/', slash + 1);
    const std::string part = path.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  close(fd);
  return synced;
}

// Temporary files a crashed save left behind; only called under the lock.
void RemoveStaleTemporaries(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* item = readdir(dir)) {
    const std::string_view name = item->d_name;
    if (name.find(kTempMark) != std::string_view::npos &&
        (name.starts_with("history") || name.starts_with("settings"))) {
      unlinkat(dirfd(dir), item->d_name, 0);
    }
  }
  closedir(dir);
}

class PosixStorage final : public Storage {
 public:
  FileRead Read(SavedFile file, std::size_t bound) override {
    FileRead result;
    const std::string path = PathOf(file);
    if (path.empty()) return result;
    // Non-blocking: a FIFO planted there must not hang the start.
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      if (errno != ENOENT) result.status = FileRead::kUnreadable;
      return result;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
      close(fd);
      result.status = FileRead::kUnreadable;
      return result;
    }
    result.status = FileRead::kRead;
    // One byte more than the bound tells whether the file goes on.
    result.bytes.resize(bound + 1);
    std::size_t got = 0;
    while (got < result.bytes.size()) {
      const ssize_t n = read(fd, result.bytes.data() + got, result.bytes.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) result.status = FileRead::kUnreadable;
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    close(fd);
    result.complete = got <= bound;
    result.bytes.resize(std::min(got, bound));
    return result;
  }

  bool Replace(SavedFile file, std::string_view bytes) override {
    const std::string folder = Folder(file);
    if (folder.empty() || !MakeFolders(folder)) return false;
    const std::string path = PathOf(file);
    // mkstemp: O_CREAT | O_EXCL, 0600, a name nobody holds.
    std::string temp = path + std::string{kTempMark} + "XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
      unlink(temp.c_str());
      return false;
    }
    SyncFolder(folder);
    return true;
  }

  bool Remove(SavedFile file) override {
    const std::string path = PathOf(file);
    return !path.empty() && (unlink(path.c_str()) == 0 || errno == ENOENT);
  }

  bool SetAside(SavedFile file) override {
    const std::string path = PathOf(file);
    if (path.empty()) return false;
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    for (int n = 0; n < 100; ++n) {
      std::string aside = path;
      aside.append(".bad-").append(stamp);
      if (n > 0) aside.append("-").append(std::to_string(n));
      struct stat info {};
      if (lstat(aside.c_str(), &info) == 0) continue;
      return rename(path.c_str(), aside.c_str()) == 0;
    }
    return false;
  }

  bool Lock() override {
    const std::string folder = Folder(SavedFile::kHistory);
    if (folder.empty() || !MakeFolders(folder)) return false;
    const std::string path = folder + "/lock";
    lockFd_ = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lockFd_ < 0) return false;
    const auto end = std::chrono::steady_clock::now() + kLockTimeout;
    while (flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
      if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() > end) {
        close(lockFd_);
        lockFd_ = -1;
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    RemoveStaleTemporaries(folder);
    const std::string settings = Folder(SavedFile::kSettings);
    if (settings != folder) RemoveStaleTemporaries(settings);
    return true;
  }

  void Unlock() override {
    if (lockFd_ < 0) return;
    close(lockFd_);  // releases the flock
    lockFd_ = -1;
  }

 private:
  int lockFd_ = -1;
};

}  // namespace

Storage& PlatformStorage() {
  static PosixStorage storage;
  return storage;
}
