// The Windows installer as a user meets it: a silent install per machine, the installed
// calculator at work, a silent uninstall. VORLANE_SETUP names the installer. The suites run
// in the order they appear, in a Wine prefix (or on a machine) of their own.
#include <shlobj.h>

#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/win32/driver.h"
#include "calculator/keypad.h"
#include "calculator/refresh.h"

namespace {

#define VORLANE_WIDEN2(text) L##text
#define VORLANE_WIDEN(text) VORLANE_WIDEN2(text)
const std::wstring kVersion = VORLANE_WIDEN(VORLANE_VERSION);
const std::wstring kProductName(kWindowTitle);
constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vorlane Calculator";
constexpr wchar_t kVendorKey[] = L"Software\\The Vorlane Calculator authors";
constexpr int kUninstallTimeoutMs = 60000;

namespace fs = std::filesystem;

fs::path KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  fs::path result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
  CoTaskMemFree(path);
  return result;
}

fs::path InstallFolder() { return KnownFolder(FOLDERID_ProgramFiles) / L"Vorlane Calculator"; }
fs::path ShortcutFolder() { return KnownFolder(FOLDERID_CommonPrograms) / kProductName; }
fs::path Shortcut() { return ShortcutFolder() / (kProductName + L".lnk"); }

bool KeyExists(const wchar_t* key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | KEY_WOW64_64KEY, &handle) !=
      ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(handle);
  return true;
}

std::optional<std::wstring> RegistryText(const wchar_t* key, const wchar_t* name) {
  std::array<wchar_t, 1024> text{};
  DWORD size = sizeof text;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr,
                   text.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(text.data());
}

// The exit code, or -1 when the program did not start or run to its end.
int RunToEnd(const fs::path& program, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + program.wstring() + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return -1;
  }
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

std::optional<std::wstring> VersionString(const std::vector<char>& info, const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
  if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || length == 0) {
    return std::nullopt;
  }
  return std::wstring(static_cast<const wchar_t*>(value));
}

void ExpectVersionInfo(const fs::path& program) {
  SCOPED_TRACE(program.string());
  const DWORD size = GetFileVersionInfoSizeW(program.c_str(), nullptr);
  ASSERT_GT(size, 0u) << "no version resource";
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  const std::wstring numbers = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                               std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                               std::to_wstring(HIWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(numbers, kVersion);
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
  EXPECT_EQ(VersionString(info, L"FileVersion"), kVersion);
  EXPECT_EQ(VersionString(info, L"ProductVersion"), kVersion);
  EXPECT_EQ(VersionString(info, L"ProductName"), kProductName);
  EXPECT_EQ(VersionString(info, L"OriginalFilename"), program.filename().wstring());
  EXPECT_TRUE(VersionString(info, L"FileDescription").has_value());
  EXPECT_TRUE(VersionString(info, L"LegalCopyright").has_value());
}


TEST(Installer, InstallsSilentlyPerMachineWithShortcutAndUninstallEntry) {
  std::array<wchar_t, MAX_PATH> setup{};
  ASSERT_GT(GetEnvironmentVariableW(L"VORLANE_SETUP", setup.data(), MAX_PATH), 0u)
      << "VORLANE_SETUP names no installer";
  ASSERT_EQ(RunToEnd(setup.data(), L"/S"), 0);

  const fs::path folder = InstallFolder();
  for (const wchar_t* file :
       {L"vorlane-calc.exe", L"vorlane-eval.exe", L"LICENSE.txt", L"README.txt", L"Uninstall.exe"}) {
    EXPECT_TRUE(fs::is_regular_file(folder / file)) << (folder / file).string();
  }
  EXPECT_TRUE(fs::is_regular_file(Shortcut())) << Shortcut().string();

  EXPECT_EQ(RegistryText(kUninstallKey, L"DisplayName"), kProductName);
  EXPECT_EQ(RegistryText(kUninstallKey, L"DisplayVersion"), kVersion);
  EXPECT_EQ(RegistryText(kUninstallKey, L"Publisher"), L"The Vorlane Calculator authors");
  EXPECT_EQ(RegistryText(kUninstallKey, L"DisplayIcon"), (folder / L"vorlane-calc.exe").wstring());
  EXPECT_EQ(RegistryText(kUninstallKey, L"UninstallString"),
            L"\"" + (folder / L"Uninstall.exe").wstring() + L"\"");
}

TEST(Installer, BothInstalledProgramsCarryTheVersion) {
  ExpectVersionInfo(InstallFolder() / L"vorlane-calc.exe");
  ExpectVersionInfo(InstallFolder() / L"vorlane-eval.exe");
}

class InstalledCalculator : public CalculatorProcessTest {
 protected:
  void SetUp() override {
    SetEnvironmentVariableW(L"VORLANE_CALC_EXE", (InstallFolder() / L"vorlane-calc.exe").c_str());
    CalculatorProcessTest::SetUp();
  }
};

TEST_F(InstalledCalculator, Computes) {
  ClickAll({kKey2, kKeyPlus, kKey3, kKeyEquals});
  EXPECT_EQ(WaitForDisplay(L"5"), L"5");
}

TEST(Uninstaller, RemovesWhatWasInstalled) {
  const fs::path folder = InstallFolder();
  // The uninstaller copies itself away and returns; the copy does the work.
  ASSERT_EQ(RunToEnd(folder / L"Uninstall.exe", L"/S"), 0);
  WaitUntil(
      [&] {
        return !fs::exists(folder) && !fs::exists(ShortcutFolder()) && !KeyExists(kVendorKey) &&
               !KeyExists(kUninstallKey);
      },
      kUninstallTimeoutMs);
  EXPECT_FALSE(fs::exists(folder)) << folder.string();
  EXPECT_FALSE(fs::exists(ShortcutFolder())) << ShortcutFolder().string();
  EXPECT_FALSE(KeyExists(kUninstallKey));
  EXPECT_FALSE(KeyExists(kVendorKey));
}

}  // namespace
