// The saved files on Windows: "history" and "settings" in "Vorlane Calculator" in the
// user's roaming application data, which keeps the profile's own permissions.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "calculator/storage.h"

namespace {

constexpr DWORD kLockTimeoutMs = 2000;
constexpr std::wstring_view kTempMark = L".tmp-";

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
  return folder + (file == SavedFile::kHistory ? L"\\history" : L"\\settings");
}

bool MakeFolder(const std::wstring& folder) {
  return !folder.empty() &&
         (CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
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
      if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
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

  bool Replace(SavedFile file, std::string_view bytes) override {
    const std::wstring folder = Folder();
    if (!MakeFolder(folder)) return false;
    const std::wstring path = PathOf(folder, file);
    // CREATE_NEW on a fresh name: a file left by a crash never blocks this save.
    std::wstring temp;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (unsigned n = 0; n < 100 && handle == INVALID_HANDLE_VALUE; ++n) {
      temp = path + std::wstring{kTempMark} + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(n);
      handle = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    if (handle == INVALID_HANDLE_VALUE) return false;
    bool ok = WriteAll(handle, bytes) && FlushFileBuffers(handle);
    ok = CloseHandle(handle) && ok;
    ok = ok && MoveFileExW(temp.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
  }

  bool Remove(SavedFile file) override {
    const std::wstring folder = Folder();
    if (folder.empty()) return false;
    if (DeleteFileW(PathOf(folder, file).c_str())) return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }

  bool SetAside(SavedFile file) override {
    const std::wstring folder = Folder();
    if (folder.empty()) return false;
    const std::wstring path = PathOf(folder, file);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t stamp[32];
    // WORDs promote to int: %d on every compiler.
    swprintf(stamp, 32, L"%04d%02d%02d-%02d%02d%02d", now.wYear, now.wMonth, now.wDay, now.wHour,
             now.wMinute, now.wSecond);
    for (int n = 0; n < 100; ++n) {
      std::wstring aside = path + L".bad-" + stamp;
      if (n > 0) aside += L"-" + std::to_wstring(n);
      // No MOVEFILE_REPLACE_EXISTING: an earlier bad file keeps its name.
      if (MoveFileExW(path.c_str(), aside.c_str(), 0)) return true;
      if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
  }

  bool Lock() override {
    const std::wstring folder = Folder();
    if (!MakeFolder(folder)) return false;
    lock_ = CreateFileW((folder + L"\\lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (lock_ == INVALID_HANDLE_VALUE) return false;
    const ULONGLONG end = GetTickCount64() + kLockTimeoutMs;
    OVERLAPPED whole{};
    while (!LockFileEx(lock_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
      if (GetTickCount64() > end) {
        CloseHandle(lock_);
        lock_ = INVALID_HANDLE_VALUE;
        return false;
      }
      Sleep(10);
      whole = {};
    }
    RemoveStaleTemporaries(folder);
    return true;
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
