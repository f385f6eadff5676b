// The saved files on Linux, with POSIX calls only: the history and vorlane-eval's lines
// (eval_history) in $XDG_STATE_HOME/vorlane, the settings in $XDG_CONFIG_HOME/vorlane
// (defaults ~/.local/state and ~/.config). Private to the user: folders 0700, files 0600,
// new files made exclusively and never through a link.
// Only this user's: nothing is written into a folder or over a file of another user (root
// run with a user's XDG_STATE_HOME, as sudo with a kept HOME does, leaves that user's
// files as they were), and no folder is made inside one.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>

#include "calculator/storage.h"

namespace {

constexpr std::string_view kTempMark = ".tmp-";

StorageFault FaultOf(int error) {
  switch (error) {
    case 0: return StorageFault::kNone;
    case ENOSPC:
    case EDQUOT: return StorageFault::kNoSpace;
    case EACCES:
    case EPERM:
    case EROFS: return StorageFault::kNoPermission;
    case EWOULDBLOCK: return StorageFault::kLocked;
    default: return StorageFault::kOther;
  }
}

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
  const std::string base = file == SavedFile::kSettings
                               ? BaseFolder("XDG_CONFIG_HOME", "/.config")
                               : BaseFolder("XDG_STATE_HOME", "/.local/state");
  return base.empty() ? base : base + "/vorlane";
}

std::string FileName(SavedFile file) {
  switch (file) {
    case SavedFile::kHistory: return "history";
    case SavedFile::kSettings: return "settings";
    case SavedFile::kEvalHistory: return "eval_history";
  }
  return {};
}

std::string PathOf(SavedFile file) {
  const std::string folder = Folder(file);
  return folder.empty() ? folder : folder + "/" + FileName(file);
}

bool OwnedByAnother(const struct stat& info) { return info.st_uid != geteuid(); }

// Every missing folder of the path, each 0700 as the XDG base directories ask, and each
// only inside a folder of this user.
StorageFault MakeFolders(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) return S_ISDIR(info.st_mode) ? StorageFault::kNone : StorageFault::kOther;
  if (errno != ENOENT) return FaultOf(errno);
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return StorageFault::kOther;
  const std::string parent = slash == 0 ? "/" : path.substr(0, slash);
  if (const StorageFault fault = MakeFolders(parent); fault != StorageFault::kNone) return fault;
  if (stat(parent.c_str(), &info) != 0) return FaultOf(errno);
  if (OwnedByAnother(info)) return StorageFault::kNoPermission;
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return FaultOf(errno);
  return StorageFault::kNone;
}

// The folder of the saved file, made if need be, and this user's.
StorageFault OwnFolder(const std::string& folder) {
  if (folder.empty()) return StorageFault::kOther;
  if (const StorageFault fault = MakeFolders(folder); fault != StorageFault::kNone) return fault;
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0) return FaultOf(errno);
  return OwnedByAnother(info) ? StorageFault::kNoPermission : StorageFault::kNone;
}

// A path of this folder that may be written over: missing, or this user's.
StorageFault OwnOrMissing(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return errno == ENOENT ? StorageFault::kNone : FaultOf(errno);
  return OwnedByAnother(info) ? StorageFault::kNoPermission : StorageFault::kNone;
}

StorageFault WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return FaultOf(errno);
    if (written == 0) return StorageFault::kOther;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return StorageFault::kNone;
}

void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// A new name beside the path that nothing stands at: path.bad-<date>-<time>[-n].
std::string AsideName(const std::string& path) {
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
    if (lstat(aside.c_str(), &info) != 0) return aside;
  }
  return {};
}

StorageFault SetAsidePath(const std::string& path) {
  if (const StorageFault fault = OwnOrMissing(path); fault != StorageFault::kNone) return fault;
  const std::string aside = AsideName(path);
  if (aside.empty()) return StorageFault::kOther;
  return rename(path.c_str(), aside.c_str()) == 0 ? StorageFault::kNone : FaultOf(errno);
}

// Temporary files a crashed save left behind; only called under the lock.
void RemoveStaleTemporaries(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* item = readdir(dir)) {
    const std::string_view name = item->d_name;
    if (name.find(kTempMark) != std::string_view::npos &&
        (name.starts_with("history") || name.starts_with("settings") ||
         name.starts_with("eval_history"))) {
      unlinkat(dirfd(dir), item->d_name, 0);
    }
  }
  closedir(dir);
}

// Opens the lock file, making it if need be; whatever stands there that is no file (a
// folder, a link, a FIFO) is set aside first.
int OpenLock(const std::string& path, StorageFault& fault) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    // Non-blocking: a FIFO there must not hang the window.
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    // ELOOP: a link, EISDIR: a folder, ENXIO: a socket.
    if (fd < 0 && errno != ELOOP && errno != EISDIR && errno != ENXIO) {
      fault = FaultOf(errno);
      return -1;
    }
    if (fd >= 0) {
      struct stat info {};
      const int error = fstat(fd, &info) == 0 ? 0 : errno;
      if (error == 0 && S_ISREG(info.st_mode) && !OwnedByAnother(info)) return fd;
      close(fd);
      if (error != 0 || S_ISREG(info.st_mode)) {
        fault = error != 0 ? FaultOf(error) : StorageFault::kNoPermission;
        return -1;
      }
    }
    fault = SetAsidePath(path);
    if (fault != StorageFault::kNone) return -1;
  }
  fault = StorageFault::kOther;
  return -1;
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
      if (errno == EACCES || errno == EPERM) result.status = FileRead::kDenied;
      else if (errno != ENOENT) result.status = FileRead::kUnreadable;
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

  StorageFault Replace(SavedFile file, std::string_view bytes) override {
    const std::string folder = Folder(file);
    if (const StorageFault fault = OwnFolder(folder); fault != StorageFault::kNone) return fault;
    const std::string path = PathOf(file);
    if (const StorageFault fault = OwnOrMissing(path); fault != StorageFault::kNone) return fault;
    // mkstemp: O_CREAT | O_EXCL, 0600, a name nobody holds.
    std::string temp = path + std::string{kTempMark} + "XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return FaultOf(errno);
    StorageFault fault = WriteAll(fd, bytes);
    if (fault == StorageFault::kNone && fsync(fd) != 0) fault = FaultOf(errno);
    if (close(fd) != 0 && fault == StorageFault::kNone) fault = FaultOf(errno);
    if (fault == StorageFault::kNone && rename(temp.c_str(), path.c_str()) != 0) fault = FaultOf(errno);
    if (fault != StorageFault::kNone) {
      unlink(temp.c_str());
      return fault;
    }
    SyncFolder(folder);
    return StorageFault::kNone;
  }

  StorageFault Remove(SavedFile file) override {
    const std::string path = PathOf(file);
    if (path.empty()) return StorageFault::kOther;
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) return errno == ENOENT ? StorageFault::kNone : FaultOf(errno);
    if (const StorageFault fault = OwnFolder(Folder(file)); fault != StorageFault::kNone) return fault;
    if (OwnedByAnother(info)) return StorageFault::kNoPermission;
    return unlink(path.c_str()) == 0 || errno == ENOENT ? StorageFault::kNone : FaultOf(errno);
  }

  StorageFault SetAside(SavedFile file) override {
    const std::string folder = Folder(file);
    if (const StorageFault fault = OwnFolder(folder); fault != StorageFault::kNone) return fault;
    return SetAsidePath(PathOf(file));
  }

  StorageFault CopyAside(SavedFile file) override {
    const std::string folder = Folder(file);
    if (const StorageFault fault = OwnFolder(folder); fault != StorageFault::kNone) return fault;
    const std::string path = PathOf(file);
    const int from = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (from < 0) return FaultOf(errno);
    const std::string aside = AsideName(path);
    const int to = aside.empty() ? -1 : open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    StorageFault fault = to < 0 ? (aside.empty() ? StorageFault::kOther : FaultOf(errno)) : StorageFault::kNone;
    char chunk[16384];
    while (fault == StorageFault::kNone) {
      const ssize_t n = read(from, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) fault = FaultOf(errno);
      if (n <= 0) break;
      fault = WriteAll(to, std::string_view(chunk, static_cast<std::size_t>(n)));
    }
    if (fault == StorageFault::kNone && fsync(to) != 0) fault = FaultOf(errno);
    close(from);
    if (to >= 0 && close(to) != 0 && fault == StorageFault::kNone) fault = FaultOf(errno);
    if (fault != StorageFault::kNone && to >= 0) unlink(aside.c_str());
    return fault;
  }

  StorageFault Lock() override {
    const std::string folder = Folder(SavedFile::kHistory);
    if (const StorageFault fault = OwnFolder(folder); fault != StorageFault::kNone) return fault;
    StorageFault fault = StorageFault::kNone;
    const int fd = OpenLock(folder + "/lock", fault);
    if (fd < 0) return fault;
    // A try only: the window's thread never waits on another process.
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      if (errno == EINTR) continue;
      fault = FaultOf(errno);
      close(fd);
      return fault;
    }
    lockFd_ = fd;
    RemoveStaleTemporaries(folder);
    const std::string settings = Folder(SavedFile::kSettings);
    struct stat info {};
    if (settings != folder && stat(settings.c_str(), &info) == 0 && !OwnedByAnother(info)) {
      RemoveStaleTemporaries(settings);
    }
    return StorageFault::kNone;
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
