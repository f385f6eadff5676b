// The history pane of the real program: Ctrl+H, entries, a click, and the window's size.
#include <array>
#include <string>
#include <vector>

#include "driver.h"
#include "calculator/context_menu.h"
#include "calculator/history_file.h"
#include "calculator/keypad.h"
#include "calculator/storage.h"
#include "engine/engine.h"
#include "ui/win32/history_pane.h"

namespace {

class HistoryPaneTest : public CalculatorProcessTest {
 protected:
  // Digits as key-downs, the rest as typed characters, then Enter.
  void Calculate(const wchar_t* typed) const {
    for (const wchar_t* ch = typed; *ch != L'\0'; ++ch) {
      if (*ch >= L'0' && *ch <= L'9') {
        PostKeyDown(*ch);
      } else {
        PostChar(*ch);
      }
    }
    PostKeyDown(VK_RETURN);
  }
};

std::vector<Rect> Places(HWND main) {
  std::vector<Rect> places{RectInParent(GetDlgItem(main, kDisplayId))};
  for (const ButtonDef& key : g_buttons) places.push_back(RectInParent(GetDlgItem(main, key.id)));
  return places;
}

bool Same(const Rect& a, const Rect& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

bool Same(const std::vector<Rect>& a, const std::vector<Rect>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!Same(a[i], b[i])) return false;
  }
  return true;
}

Rect OuterRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}


// build/<preset>/screenshots, beside the folder of the programs.
std::wstring ScreenshotFolder() {
  std::array<wchar_t, MAX_PATH> path{};
  GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  std::wstring folder(path.data());
  folder = folder.substr(0, folder.find_last_of(L"\\/") + 1) + L"..\\screenshots";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

// A click on the item, as the mouse gives it.
void ClickItem(HWND pane, int index, UINT down, UINT up) {
  RECT item{};
  SendMessageW(pane, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
  const LPARAM at = MAKELPARAM(item.left + 10, (item.top + item.bottom) / 2);
  PostMessageW(pane, down, 0, at);
  PostMessageW(pane, up, 0, at);
}

std::vector<std::wstring> SavedEntries() {
  std::vector<std::wstring> names;
  const FileRead read = PlatformStorage().Read(SavedFile::kHistory, kSavedFileBound);
  for (const HistoryEntry& entry : ParseHistory(read.bytes).entries) {
    names.push_back(entry.expression + L" = " + entry.result);
  }
  return names;
}

TEST_F(HistoryPaneTest, CtrlHShowsThePaneBesideTheKeypadAndAClickEntersAResult) {
  const Rect start = OuterRect(main_);
  const std::vector<Rect> keypad = Places(main_);
  EXPECT_EQ(GetDlgItem(main_, kHistoryPaneId), nullptr);

  PressKeys({VK_CONTROL}, 'H');
  HWND pane = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    pane = GetDlgItem(main_, kHistoryPaneId);
    return pane != nullptr && IsWindowVisible(pane);
  }));
  EXPECT_EQ(ClassOf(pane), L"ListBox");
  Rect grown = OuterRect(main_);
  EXPECT_EQ(grown.width, start.width + kHistoryPaneWidth);
  EXPECT_EQ(grown.height, start.height);
  EXPECT_TRUE(Same(Places(main_), keypad));
  const Rect client = ClientRect(main_);
  EXPECT_TRUE(Same(RectInParent(pane), HistoryPaneRect(client.width, client.height, kHistoryPaneWidth)));

  for (const wchar_t* typed : {L"2+3", L"6*7"}) Calculate(typed);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageW(pane, LB_GETCOUNT, 0, 0) == 2; }));
  // What screen readers read for each item.
  EXPECT_EQ(ItemText(pane, 0), L"2+3 = 5");
  EXPECT_EQ(ItemText(pane, 1), L"6*7 = 42");

  Screenshot shot = CaptureWindow();
  SaveBitmap(shot, ScreenshotFolder() + L"\\history-pane-win32.bmp");

  PostKeyDown('1');
  PostChar(L'+');
  EXPECT_EQ(WaitForDisplay(L"1+"), L"1+");
  const auto height = static_cast<int>(SendMessageW(pane, LB_GETITEMHEIGHT, 0, 0));
  PostMessageW(pane, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, height / 2));
  PostMessageW(pane, WM_LBUTTONUP, 0, MAKELPARAM(10, height / 2));
  EXPECT_EQ(WaitForDisplay(L"1+5"), L"1+5");
  EXPECT_EQ(FocusWindow(), main_);

  PressKeys({VK_CONTROL}, 'H');
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(pane); }));
  // The window shrinks after the pane hides, and its keys are laid out after that.
  EXPECT_TRUE(WaitUntil([&] { return Same(OuterRect(main_), start) && Same(Places(main_), keypad); }));
}

// The pane without a mouse: F6 in with the newest entry selected, Enter, Up, Escape out;
// typed text in the pane still reaches the calculator.
TEST_F(HistoryPaneTest, TheKeyboardChoosesAnEntryAndLeavesThePane) {
  TypeText(L"2+3=7*8=1+");
  PressKeys({VK_CONTROL}, 'H');
  HWND pane = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (pane = GetDlgItem(main_, kHistoryPaneId)) != nullptr; }));
  const auto toPane = [&](WORD key) {
    PressKeys({}, key);
    return WaitUntil([&] { return FocusWindow() == pane; });
  };
  const std::wstring newest = EvaluateText(L"7*8");
  const std::wstring chosen = L"1+" + newest + EvaluateText(L"2+3");
  ASSERT_TRUE(toPane(VK_F6));
  PressKeys({}, VK_RETURN);
  EXPECT_EQ(WaitForDisplay(L"1+" + newest), L"1+" + newest);
  ASSERT_TRUE(toPane(VK_F6));
  PressKeys({}, VK_UP);
  PressKeys({}, VK_RETURN);
  EXPECT_EQ(WaitForDisplay(chosen), chosen);
  ASSERT_TRUE(toPane(VK_F6));
  PressKeys({}, VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return FocusWindow() == main_; }));
  EXPECT_EQ(DisplayText(), chosen);
  ASSERT_TRUE(toPane(VK_TAB));
  TypeText(L"+e");
  EXPECT_EQ(WaitForDisplay(chosen + L"+e"), chosen + L"+e");
}

// Names and full-width text typed as input tools type them, a full-width paste, and each
// command of the display's context menu, chosen from the keyboard.
TEST_F(HistoryPaneTest, TypedNamesFullWidthTextAndTheContextMenu) {
  Click(kKeyAngleMode);
  g_radians = false;  // for the engine of this process, which gives the expected results
  for (const wchar_t* typed : {L"sin(30", L"sqrt(16)+pi", L"cbrt(27)"}) {
    TypeText(typed);
    PressKeys({}, VK_RETURN);
    EXPECT_EQ(WaitForDisplay(EvaluateText(typed)), EvaluateText(typed));
  }
  ChooseMenuItem(kMenuCopy);
  EXPECT_TRUE(WaitUntil([&] { return Clipboard() == EvaluateText(L"cbrt(27)"); }));
  SetClipboard(L"（１＋２）×３");
  ChooseMenuItem(kMenuPaste);
  TypeText(L"＝");
  EXPECT_EQ(WaitForDisplay(EvaluateText(L"(1+2)*3")), EvaluateText(L"(1+2)*3"));
  TypeText(L"１２＋３＝");
  EXPECT_EQ(WaitForDisplay(EvaluateText(L"12+3")), EvaluateText(L"12+3"));
  ChooseMenuItem(kMenuHistory);
  HWND pane = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (pane = GetDlgItem(main_, kHistoryPaneId)) != nullptr; }));
  EXPECT_EQ(SendMessageW(pane, LB_GETCOUNT, 0, 0), 5);
  ChooseMenuItem(kMenuClearHistory);
  EXPECT_TRUE(WaitUntil([&] { return SendMessageW(pane, LB_GETCOUNT, 0, 0) == 0; }));
  const auto onTop = [&] { return (GetWindowLongPtrW(main_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
  ChooseMenuItem(kMenuAlwaysOnTop);
  EXPECT_TRUE(WaitUntil(onTop));
  ChooseMenuItem(kMenuAlwaysOnTop);
  EXPECT_TRUE(WaitUntil([&] { return !onTop(); }));
}

// Two starts on one profile: the entries come back, and "删除" and "保存历史记录" reach the
// saved file.
TEST_F(HistoryPaneTest, TheEntriesAreBackAfterARestartAndTheMenusReachTheSavedFile) {
  Calculate(L"2+3");
  Calculate(L"7*8");
  ASSERT_EQ(WaitForDisplay(L"56"), L"56");
  Restart();
  PressKeys({VK_CONTROL}, 'H');
  HWND pane = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    pane = GetDlgItem(main_, kHistoryPaneId);
    return pane != nullptr && SendMessageW(pane, LB_GETCOUNT, 0, 0) == 2;
  }));
  EXPECT_EQ(ItemText(pane, 0), L"2+3 = 5");
  EXPECT_EQ(ItemText(pane, 1), L"7*8 = 56");
  ClickItem(pane, 0, WM_LBUTTONDOWN, WM_LBUTTONUP);
  EXPECT_EQ(WaitForDisplay(L"5"), L"5");

  // The entry menu's second item.
  ClickItem(pane, 0, WM_RBUTTONDOWN, WM_RBUTTONUP);
  ASSERT_TRUE(WaitUntil([] { return FindWindowW(L"#32768", nullptr) != nullptr; }));
  PressKeys({}, VK_DOWN);
  PressKeys({}, VK_DOWN);
  PressKeys({}, VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return SendMessageW(pane, LB_GETCOUNT, 0, 0) == 1; }));
  EXPECT_EQ(SavedEntries(), std::vector<std::wstring>{L"7*8 = 56"});

  // "保存历史记录" from the display's menu, opened from the keyboard.
  PressKeys({VK_SHIFT}, VK_F10);
  ASSERT_TRUE(WaitUntil([] { return FindWindowW(L"#32768", nullptr) != nullptr; }));
  for (int i = MenuDownPresses(kMenuKeepHistory); i > 0; --i) PressKeys({}, VK_DOWN);
  PressKeys({}, VK_RETURN);
  EXPECT_TRUE(WaitUntil([] {
    return PlatformStorage().Read(SavedFile::kHistory, kSavedFileBound).status == FileRead::kMissing;
  }));
}

}  // namespace
