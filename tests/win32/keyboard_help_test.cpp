// The keyboard overview's window of the real program, opened with F1.
#include <string>
#include <vector>

#include "driver.h"
#include "calculator/keyboard_overview.h"

namespace {

struct Search {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK MatchHelpWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window) &&
      TextOf(window) == kKeyboardHelpTitle) {
    search->found.push_back(window);
  }
  return TRUE;
}

using KeyboardHelpTest = CalculatorProcessTest;

// One window, owned by the calculator, its list holding every group's title and each row
// as its keys and what they do; F1 again brings that one to the front, Escape closes it
// and the calculator has the focus again.
TEST_F(KeyboardHelpTest, F1OpensOneOverviewListingEveryRowAndEscapeClosesIt) {
  Search search{process_.dwProcessId, {}};
  const auto helpWindows = [&] {
    search.found.clear();
    EnumWindows(MatchHelpWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
  };
  PressKeys({}, VK_F1);
  ASSERT_TRUE(WaitUntil([&] { return helpWindows().size() == 1; }));
  HWND help = search.found.front();
  EXPECT_EQ(GetWindow(help, GW_OWNER), main_);
  HWND list = FindWindowExW(help, nullptr, L"ListBox", nullptr);
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return FocusWindow() == list; }));

  int index = 0;
  for (const OverviewGroup& group : KeyboardOverview()) {
    EXPECT_EQ(ItemText(list, index++), std::wstring(group.title));
    for (const OverviewRow& row : group.rows) {
      const std::wstring text = ItemText(list, index++);
      SCOPED_TRACE(testing::PrintToString(text));
      EXPECT_EQ(text.find(row.keys), 0u);
      EXPECT_EQ(text.rfind(row.description), text.size() - row.description.size());
    }
  }
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), index);

  SetForegroundWindow(main_);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main_; }));
  PressKeys({}, VK_F1);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == help; }));
  EXPECT_EQ(helpWindows(), std::vector<HWND>{help});

  PressKeys({}, VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return helpWindows().empty(); }));
  EXPECT_TRUE(WaitUntil([&] { return FocusWindow() == main_; }));
}

}  // namespace
