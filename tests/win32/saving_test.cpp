// A save the disk refuses, on the real program: its "Vorlane Calculator" folder in the
// roaming application data is read-only (run-in-desktop makes it so, as the user
// vorlane-test, since root ignores permissions).
#include <string>

#include "driver.h"
#include "calculator/history_file.h"
#include "calculator/storage.h"
#include "ui/win32/history_pane.h"

namespace {

using SavingTest = CalculatorProcessTest;

// "=" shows its result and its entry as ever, the title says what became of it, and the
// window still closes at once.
TEST_F(SavingTest, AReadOnlyFolderIsToldInTheTitle) {
  TypeText(L"4*4");
  PressKeys({}, VK_RETURN);
  EXPECT_EQ(WaitForDisplay(L"16"), L"16");
  const std::wstring notice = L"Vorlane-计算器 — 历史记录无法保存：没有写入权限";
  EXPECT_TRUE(WaitUntil([&] { return Title() == notice; })) << testing::PrintToString(Title());

  PressKeys({VK_CONTROL}, 'H');
  HWND pane = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    pane = GetDlgItem(main_, kHistoryPaneId);
    return pane != nullptr && SendMessageW(pane, LB_GETCOUNT, 0, 0) == 1;
  }));

  EXPECT_EQ(PlatformStorage().Read(SavedFile::kHistory, kSavedFileBound).status, FileRead::kMissing);
  const ULONGLONG closing = GetTickCount64();
  CloseCalculator();
  EXPECT_LT(GetTickCount64() - closing, 2000u);
}

}  // namespace
