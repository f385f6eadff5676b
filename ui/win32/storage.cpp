// The saved files on Windows: "history" and "settings" in "Vorlane Calculator" in the
// user's roaming application data, which keeps the profile's own permissions.
#include "ui/win32/win32.h"
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "calculator/storage.h"

namespace {

constexpr std::wstring_view kTempMark = L".tmp-";

StorageFault FaultOf(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS: return StorageFault::kNone;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return StorageFault::kNoSpace;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_PRIVILEGE_NOT_HELD: return StorageFault::kNoPermission;
    // Another program has the file open, or locked.
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return StorageFault::kLocked;
    default: return StorageFault::kOther;
  }
}

StorageFault LastFault() { return FaultOf(GetLastError()); }

// What stands at the path is no file: a folder or a link.
bool NoFileAt(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0;
}

std::wstring Folder() {
  PWSTR roaming = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &roaming))) {
    folder = std::wstring{roaming} + L"\\Vorlane Calculator";
  }
  CoTaskMemFree(roaming);
  return folder;
}

std::wstring PathOf(const std::wstring& folder, SavedFile file) {
  switch (file) {
    case SavedFile::kHistory: return folder + L"\\history";
    case SavedFile::kSettings: return folder + L"\\settings";
    // Unused here: the console edits lines itself. A name of its own all the same.
    case SavedFile::kEvalHistory: return folder + L"\\eval_history";
  }
  return {};
}

StorageFault MakeFolder(const std::wstring& folder) {
  if (folder.empty()) return StorageFault::kOther;
  if (CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
    return StorageFault::kNone;
  }
  return LastFault();
}

StorageFault WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return LastFault();
    if (written == 0) return StorageFault::kOther;
    bytes.remove_prefix(written);
  }
  return StorageFault::kNone;
}

// A new name beside the path: path.bad-<date>-<time>[-n]; tried by make until one is free.
template <typename Make>
StorageFault ToAsideName(const std::wstring& path, Make make) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  wchar_t stamp[32];
  // WORDs promote to int: %d on every compiler.
  swprintf(stamp, 32, L"%04d%02d%02d-%02d%02d%02d", now.wYear, now.wMonth, now.wDay, now.wHour,
           now.wMinute, now.wSecond);
  for (int n = 0; n < 100; ++n) {
    std::wstring aside = path + L".bad-" + stamp;
    if (n > 0) aside += L"-" + std::to_wstring(n);
    if (make(aside)) return StorageFault::kNone;
    if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS) return LastFault();
  }
  return StorageFault::kOther;
}

// No MOVEFILE_REPLACE_EXISTING: an earlier bad file keeps its name.
StorageFault SetAsidePath(const std::wstring& path) {
  return ToAsideName(path, [&](const std::wstring& aside) {
    return MoveFileExW(path.c_str(), aside.c_str(), 0) != FALSE;
  });
}

// Temporary files a crashed save left behind; only called under the lock.
void RemoveStaleTemporaries(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"\\*" + std::wstring{kTempMark} + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    DeleteFileW((folder + L"\\" + found.cFileName).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// The lock file, made if need be; a link is not followed, and what is no file fails.
HANDLE OpenLock(const std::wstring& path) {
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                              nullptr);
  if (handle == INVALID_HANDLE_VALUE) return handle;
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info) &&
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0) {
    return handle;
  }
  CloseHandle(handle);
  SetLastError(ERROR_ACCESS_DENIED);
  return INVALID_HANDLE_VALUE;
}

class Win32Storage final : public Storage {
 public:
  FileRead Read(SavedFile file, std::size_t bound) override {
    FileRead result;
    const std::wstring folder = Folder();
    if (folder.empty()) return result;
    // A folder there fails to open as a file; a link is not followed.
    HANDLE handle = CreateFileW(PathOf(folder, file).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      // A folder is denied too; a file that another program holds is left alone.
      if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
        result.status = NoFileAt(PathOf(folder, file)) ? FileRead::kUnreadable : FileRead::kDenied;
      } else if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
        result.status = FileRead::kUnreadable;
      }
      return result;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
      CloseHandle(handle);
      result.status = FileRead::kUnreadable;
      return result;
    }
    result.status = FileRead::kRead;
    result.bytes.resize(bound + 1);
    std::size_t got = 0;
    while (got < result.bytes.size()) {
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(result.bytes.size() - got, 1 << 20));
      DWORD n = 0;
      if (!ReadFile(handle, result.bytes.data() + got, want, &n, nullptr)) {
        result.status = FileRead::kUnreadable;
        break;
      }
      if (n == 0) break;
      got += n;
    }
    CloseHandle(handle);
    result.complete = got <= bound;
    result.bytes.resize(std::min(got, bound));
    return result;
  }

  StorageFault Replace(SavedFile file, std::string_view bytes) override {
    const std::wstring folder = Folder();
    if (const StorageFault fault = MakeFolder(folder); fault != StorageFault::kNone) return fault;
    const std::wstring path = PathOf(folder, file);
    // CREATE_NEW on a fresh name: a file left by a crash never blocks this save.
    std::wstring temp;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (unsigned n = 0; n < 100 && handle == INVALID_HANDLE_VALUE; ++n) {
      temp = path + std::wstring{kTempMark} + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(n);
      handle = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return LastFault();
    }
    if (handle == INVALID_HANDLE_VALUE) return StorageFault::kOther;
    StorageFault fault = WriteAll(handle, bytes);
    if (fault == StorageFault::kNone && !FlushFileBuffers(handle)) fault = LastFault();
    if (!CloseHandle(handle) && fault == StorageFault::kNone) fault = LastFault();
    if (fault == StorageFault::kNone &&
        !MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      fault = LastFault();
    }
    if (fault != StorageFault::kNone) DeleteFileW(temp.c_str());
    return fault;
  }

  StorageFault Remove(SavedFile file) override {
    const std::wstring folder = Folder();
    if (folder.empty()) return StorageFault::kOther;
    if (DeleteFileW(PathOf(folder, file).c_str())) return StorageFault::kNone;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return StorageFault::kNone;
    return FaultOf(error);
  }

  StorageFault SetAside(SavedFile file) override {
    const std::wstring folder = Folder();
    if (folder.empty()) return StorageFault::kOther;
    return SetAsidePath(PathOf(folder, file));
  }

  StorageFault CopyAside(SavedFile file) override {
    const std::wstring folder = Folder();
    if (folder.empty()) return StorageFault::kOther;
    const std::wstring path = PathOf(folder, file);
    return ToAsideName(path, [&](const std::wstring& aside) {
      return CopyFileW(path.c_str(), aside.c_str(), TRUE) != FALSE;
    });
  }

  StorageFault Lock() override {
    const std::wstring folder = Folder();
    if (const StorageFault fault = MakeFolder(folder); fault != StorageFault::kNone) return fault;
    const std::wstring path = folder + L"\\lock";
    HANDLE handle = OpenLock(path);
    DWORD error = GetLastError();
    // A folder or a link in its place is set aside, and a lock made anew.
    if (handle == INVALID_HANDLE_VALUE && NoFileAt(path)) {
      if (const StorageFault fault = SetAsidePath(path); fault != StorageFault::kNone) return fault;
      handle = OpenLock(path);
      error = GetLastError();
    }
    if (handle == INVALID_HANDLE_VALUE) return FaultOf(error);
    // A try only: the window's thread never waits on another process.
    OVERLAPPED whole{};
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
      error = GetLastError();
      CloseHandle(handle);
      return error == ERROR_IO_PENDING ? StorageFault::kLocked : FaultOf(error);
    }
    lock_ = handle;
    RemoveStaleTemporaries(folder);
    return StorageFault::kNone;
  }

  void Unlock() override {
    if (lock_ == INVALID_HANDLE_VALUE) return;
    OVERLAPPED whole{};
    UnlockFileEx(lock_, 0, 1, 0, &whole);
    CloseHandle(lock_);
    lock_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE lock_ = INVALID_HANDLE_VALUE;
};

}  // namespace

Storage& PlatformStorage() {
  static Win32Storage storage;
  return storage;
}
