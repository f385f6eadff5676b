#include "driver.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <ostream>
#include <string_view>
#include <utility>

namespace {

constexpr wchar_t kCalculatorClass[] = L"URG";
constexpr int kStartTimeoutMs = 30000;
constexpr int kCloseTimeoutMs = 10000;
constexpr wchar_t kPersonalizeKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
// The settings as the program writes them, with the expression line off: every test but
// the line's own sees the display as it was before there was a line.
constexpr std::string_view kSettings = "vorlane-settings 1\nkeep-history 1\nexpression-line 0\n";

// VORLANE_CALC_EXE points the driver at another copy of the program, an installed one.
std::wstring CalculatorPath() {
  std::array<wchar_t, MAX_PATH> path{};
  const DWORD length =
      GetEnvironmentVariableW(L"VORLANE_CALC_EXE", path.data(), static_cast<DWORD>(path.size()));
  if (length > 0 && length < path.size()) return std::wstring(path.data(), length);
  return ProgramFolder() + L"vorlane-calc.exe";
}

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchCalculatorWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && ClassOf(window) == kCalculatorClass && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

INPUT KeyInput(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  // The keys of the cluster between the main keys and the keypad, as a keyboard sends them.
  switch (key) {
    case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
      input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
      break;
    default:
      break;
  }
  return input;
}

// The driver reads the calculator's rectangles and pixels as they are: a DPI-unaware
// process would be shown coordinates scaled to 96 DPI.
void MakeDpiAware() {
  using SetContextFunction = BOOL(WINAPI*)(HANDLE);
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  const auto setContext = reinterpret_cast<SetContextFunction>(
      reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
  if (setContext == nullptr || !setContext(reinterpret_cast<HANDLE>(-4))) SetProcessDPIAware();
}

}  // namespace

std::wstring ProgramFolder() {
  std::array<wchar_t, MAX_PATH> path{};
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  std::wstring folder(path.data(), length);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

int ExpectedDpi() {
  const wchar_t* value = _wgetenv(L"VORLANE_TEST_DPI");
  return value != nullptr && *value != L'\0' ? _wtoi(value) : kBaseDpi;
}

RECT InkBounds(const Screenshot& shot, const RECT& area, Rgb background) {
  RECT bounds{area.right, area.bottom, area.left, area.top};
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      const Rgb seen = shot.At(x, y);
      // Faint anti-aliasing fringes are not ink.
      if (std::abs(seen.r - background.r) + std::abs(seen.g - background.g) +
              std::abs(seen.b - background.b) < 24) {
        continue;
      }
      bounds.left = std::min<LONG>(bounds.left, x);
      bounds.top = std::min<LONG>(bounds.top, y);
      bounds.right = std::max<LONG>(bounds.right, x + 1);
      bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
    }
  }
  return bounds;
}

Screenshot RenderText(const std::wstring& text, const FontSpec& font, int fontHeight, int width,
                      int height, UINT format) {
  Screenshot shot;
  shot.width = width;
  shot.height = height;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC memory = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  HFONT handle = CreateFontW(fontHeight, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, font.face);
  HGDIOBJ oldFont = SelectObject(memory, handle);
  RECT box{0, 0, width, height};
  FillRect(memory, &box, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(memory, TRANSPARENT);
  SetTextColor(memory, RGB(0, 0, 0));
  DrawTextW(memory, text.c_str(), -1, &box, format);
  GdiFlush();
  const auto* source = static_cast<const std::uint32_t*>(bits);
  shot.pixels.assign(source, source + static_cast<std::size_t>(width) * height);
  for (std::uint32_t& pixel : shot.pixels) pixel &= 0xFFFFFFu;
  SelectObject(memory, oldFont);
  SelectObject(memory, oldBitmap);
  DeleteObject(handle);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return shot;
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
}

std::wstring TextOf(HWND window) {
  std::array<wchar_t, 512> text{};
  SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

std::wstring ItemText(HWND list, int index) {
  std::array<wchar_t, 600> text{};
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

std::wstring ClassOf(HWND window) {
  std::array<wchar_t, 64> name{};
  GetClassNameW(window, name.data(), static_cast<int>(name.size()));
  return name.data();
}

Rect RectInParent(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Rect ClientRect(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Rgb Screenshot::At(int x, int y) const {
  const std::uint32_t p = pixels[static_cast<std::size_t>(y - top) * width + (x - left)];
  return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
          static_cast<std::uint8_t>(p)};
}

bool Screenshot::Contains(int x, int y) const {
  return x >= left && y >= top && x < left + width && y < top + height;
}

Screenshot CaptureScreen(const RECT& area) {
  Screenshot shot;
  shot.left = area.left;
  shot.top = area.top;
  shot.width = area.right - area.left;
  shot.height = area.bottom - area.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, shot.width, shot.height, screen, shot.left, shot.top, SRCCOPY);
  GdiFlush();
  const auto* source = static_cast<const std::uint32_t*>(bits);
  shot.pixels.resize(static_cast<std::size_t>(shot.width) * shot.height);
  for (std::size_t i = 0; i < shot.pixels.size(); ++i) shot.pixels[i] = source[i] & 0xFFFFFFu;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return shot;
}

void SaveBitmap(const Screenshot& shot, const std::wstring& path) {
  FILE* file = nullptr;
  if (_wfopen_s(&file, path.c_str(), L"wb") != 0 || file == nullptr) return;
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = shot.width;
  header.biHeight = -shot.height;
  header.biPlanes = 1;
  header.biBitCount = 32;
  BITMAPFILEHEADER fileHeader{};
  fileHeader.bfType = 0x4D42;  // "BM"
  fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
  fileHeader.bfSize = static_cast<DWORD>(fileHeader.bfOffBits + shot.pixels.size() * 4);
  std::fwrite(&fileHeader, sizeof fileHeader, 1, file);
  std::fwrite(&header, sizeof header, 1, file);
  std::fwrite(shot.pixels.data(), 4, shot.pixels.size(), file);
  std::fclose(file);
}

void PrintTo(const Rgb& color, std::ostream* out) {
  *out << "R " << int{color.r} << ", G " << int{color.g} << ", B " << int{color.b};
}

int Distance(Rgb a, Rgb b) {
  return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

Rgb StrongestInk(const Screenshot& shot, const RECT& area, Rgb background) {
  Rgb strongest = background;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      const Rgb seen = shot.At(x, y);
      if (Distance(seen, background) > Distance(strongest, background)) strongest = seen;
    }
  }
  return strongest;
}

namespace {

// On Windows itself the profile may be a user's, whose history and settings no test may
// touch. Under Wine each test has a prefix of its own.
bool ProfileHeldFilesAtStart() {
  static const bool held = [] {
    if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr) return false;
    Storage& storage = PlatformStorage();
    return storage.Read(SavedFile::kHistory, 0).status != FileRead::kMissing ||
           storage.Read(SavedFile::kSettings, 0).status != FileRead::kMissing;
  }();
  return held;
}

}  // namespace

void CalculatorProcessTest::SetUp() {
  if (ProfileHeldFilesAtStart()) {
    GTEST_SKIP() << "the application data folder holds a history or settings of the user's";
  }
  MakeDpiAware();
  // A fresh profile: no test sees the history or the settings another saved.
  PlatformStorage().Remove(SavedFile::kHistory);
  // A folder a test made read-only keeps what stands there.
  const StorageFault written = PlatformStorage().Replace(SavedFile::kSettings, kSettings);
  ASSERT_TRUE(written == StorageFault::kNone || written == StorageFault::kNoPermission);
  StartCalculator();
  if (HasFatalFailure()) return;
  // EmptyClipboard needs an owner window for SetClipboardData to succeed.
  clipboardOwner_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
  SetForegroundWindow(main_);
  // The pointer rests off the window: a key under it would show its tooltip over the keys.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

void CalculatorProcessTest::StartCalculator() {
  // The program reads it once at its start, from the environment it inherits.
  SetEnvironmentVariableW(L"VORLANE_HIDE_CARET", hideCaret_ ? L"1" : nullptr);
  std::wstring commandLine = L"\"" + CalculatorPath() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process_))
      << "cannot start " << testing::PrintToString(commandLine);
  WindowSearch search{process_.dwProcessId, nullptr};
  ASSERT_TRUE(WaitUntil(
      [&] {
        EnumWindows(MatchCalculatorWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      kStartTimeoutMs))
      << "no visible window of class URG";
  main_ = search.found;
  // The window turns visible before its first WM_SIZE: wait for the message loop to idle.
  WaitForInputIdle(process_.hProcess, kStartTimeoutMs);
  ASSERT_TRUE(WaitUntil([&] { return RectInParent(Display()).width > 0; }, kStartTimeoutMs))
      << "the controls were never laid out";
}

void CalculatorProcessTest::TearDown() {
  CloseCalculator();
  if (clipboardOwner_ != nullptr) DestroyWindow(clipboardOwner_);
  if (userAppsUseLightTheme_) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kPersonalizeKey, L"AppsUseLightTheme", REG_DWORD,
                    &*userAppsUseLightTheme_, sizeof(DWORD));
    SetColorPreference({});
  }
}

void CalculatorProcessTest::UseDarkApps(bool dark) {
  if (!userAppsUseLightTheme_) {
    DWORD light = 1;  // a missing value means light too
    DWORD size = sizeof light;
    RegGetValueW(HKEY_CURRENT_USER, kPersonalizeKey, L"AppsUseLightTheme", RRF_RT_REG_DWORD,
                 nullptr, &light, &size);
    userAppsUseLightTheme_ = light;
  }
  const DWORD light = dark ? 0 : 1;
  RegSetKeyValueW(HKEY_CURRENT_USER, kPersonalizeKey, L"AppsUseLightTheme", REG_DWORD, &light,
                  sizeof light);
  SetColorPreference({.dark = dark, .highContrast = std::nullopt});
  SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                      reinterpret_cast<LPARAM>(L"ImmersiveColorSet"), SMTO_ABORTIFHUNG, 5000,
                      nullptr);
}

void CalculatorProcessTest::Restart() {
  CloseCalculator();
  StartCalculator();
  SetForegroundWindow(main_);
}

void CalculatorProcessTest::CloseCalculator() {
  if (process_.hProcess != nullptr) {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT && IsWindow(main_)) {
      PostMessageW(main_, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process_.hProcess, kCloseTimeoutMs) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 99);  // only the process this test started
      ADD_FAILURE() << "vorlane-calc.exe did not end after WM_CLOSE";
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    process_ = {};
  }
}

HWND CalculatorProcessTest::Key(int id) const { return GetDlgItem(main_, id); }

HWND CalculatorProcessTest::Display() const { return GetDlgItem(main_, kDisplayId); }

void CalculatorProcessTest::Click(int id) const {
  HWND key = Key(id);
  ASSERT_NE(key, nullptr) << "no key " << id;
  SendMessageW(key, BM_CLICK, 0, 0);
}

void CalculatorProcessTest::ClickAll(std::initializer_list<int> ids) const {
  for (int id : ids) Click(id);
}

std::wstring CalculatorProcessTest::DisplayText() const { return TextOf(Display()); }

std::wstring CalculatorProcessTest::Title() const { return TextOf(main_); }

std::wstring CalculatorProcessTest::WaitForDisplay(const std::wstring& expected) const {
  std::wstring text;
  WaitUntil([&] { return (text = DisplayText()) == expected; }, 5000);
  return text;
}

HWND CalculatorProcessTest::FocusWindow() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(process_.dwThreadId, &info);
  return info.hwndFocus;
}

void CalculatorProcessTest::PressKeys(std::initializer_list<WORD> modifiers, WORD key) const {
  std::vector<INPUT> inputs;
  for (WORD modifier : modifiers) inputs.push_back(KeyInput(modifier, false));
  inputs.push_back(KeyInput(key, false));
  inputs.push_back(KeyInput(key, true));
  for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) {
    inputs.push_back(KeyInput(*it, true));
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void CalculatorProcessTest::TypeText(const std::wstring& text) const {
  std::vector<INPUT> inputs(2 * text.size());
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wScan = text[i / 2];
    inputs[i].ki.dwFlags = KEYEVENTF_UNICODE | (i % 2 == 1 ? KEYEVENTF_KEYUP : 0);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

int MenuDownPresses(MenuCommand command) {
  int presses = 0;
  for (const MenuItemDef& item : kContextMenu) {
    // Down passes over the separators, not over greyed items, which it highlights too.
    if (item.command != kMenuSeparator) ++presses;
    if (item.command == command) return presses;
  }
  ADD_FAILURE() << "no menu item " << command;
  return 0;
}

void CalculatorProcessTest::ChooseMenuItem(MenuCommand command) const {
  const auto menuShown = [] {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu != nullptr && IsWindowVisible(menu);
  };
  PressKeys({VK_SHIFT}, VK_F10);
  ASSERT_TRUE(WaitUntil(menuShown)) << "no context menu";
  for (int i = MenuDownPresses(command); i > 0; --i) PressKeys({}, VK_DOWN);
  PressKeys({}, VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return !menuShown(); })) << "the menu stayed open";
}

void CalculatorProcessTest::PostKeyDown(WPARAM keyCode) const {
  const auto scan = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(keyCode), MAPVK_VK_TO_VSC));
  PostMessageW(main_, WM_KEYDOWN, keyCode, 1 | (scan << 16));
}

void CalculatorProcessTest::PostChar(wchar_t ch) const { PostMessageW(main_, WM_CHAR, ch, 1); }

void CalculatorProcessTest::SetClipboard(const std::wstring& text) const {
  ASSERT_TRUE(WaitUntil([&] { return OpenClipboard(clipboardOwner_) != FALSE; }, 2000));
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  std::memcpy(GlobalLock(block), text.c_str(), bytes);
  GlobalUnlock(block);
  EXPECT_NE(SetClipboardData(CF_UNICODETEXT, block), nullptr);
  CloseClipboard();
}

std::wstring CalculatorProcessTest::Clipboard() const {
  std::wstring text;
  if (!WaitUntil([&] { return OpenClipboard(clipboardOwner_) != FALSE; }, 2000)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

POINT CalculatorProcessTest::ToScreen(int x, int y) const {
  POINT point{x, y};
  ClientToScreen(main_, &point);
  return point;
}

Screenshot CalculatorProcessTest::CaptureWindow() const {
  RECT area{};
  GetWindowRect(main_, &area);
  Screenshot shot;
  // Painting runs in the other process: shoot until the display and every key show their
  // background somewhere and two shots agree, so that a half-painted window, or one whose
  // last repaint is still on its way, is never judged.
  Screenshot previous;
  WaitUntil([&] {
    previous = std::move(shot);
    shot = CaptureScreen(area);
    if (shot.pixels != previous.pixels) {
      Sleep(50);
      return false;
    }
    const Rect display = RectInParent(Display());
    const POINT d = ToScreen(display.x + 2, display.y + 2);
    if (shot.At(d.x, d.y) != ActiveColors().displayBackground) return false;
    for (const ButtonDef& key : g_buttons) {
      const Rect cell = RectInParent(Key(key.id));
      const POINT p = ToScreen(cell.x + 4, cell.y + cell.height / 2);
      const KeyColors colors = KeyColorsFor(key.id);
      const Rgb seen = shot.At(p.x, p.y);
      if (seen != colors.fill && seen != colors.pressedFill) return false;
    }
    return true;
  });
  return shot;
}
