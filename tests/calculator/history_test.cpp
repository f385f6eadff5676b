// The history of "=": what it records, what it keeps, what choosing an entry enters, and
// the pane and on-top toggles of the keyboard and the context menu.
#include <string>

#include "calculator/context_menu.h"
#include "calculator/history.h"
#include "calculator/history_entry.h"
#include "calculator/key_codes.h"
#include "calculator/keyboard.h"
#include "calculator/menu_commands.h"
#include "calculator/state.h"
#include "calculator_fixture.h"

namespace {

using HistoryTest = CalculatorTest;

void ExpectEntry(std::size_t index, std::wstring_view expression, std::wstring_view result) {
  ASSERT_LT(index, g_history.size());
  EXPECT_EQ(g_history[index].expression, expression);
  EXPECT_EQ(g_history[index].result, result);
}

void PasteText(const std::wstring& text) {
  g_fakeWindow.clipboard = text;
  OnKeyDown(FakeHandle(), kVkV, 0, kControlHeld);
}

TEST_F(HistoryTest, EachEvaluatingEqualsAppendsTheTextAndItsOutcome) {
  Press(L"= AC =");  // "0" is left alone
  g_expr.clear();
  Press(L"=");
  EXPECT_TRUE(g_history.empty());
  EXPECT_EQ(g_fakeWindow.CountCalls("history"), 0);

  Press(L"AC 2 + 3 =");
  Press(L"=");  // a shown result is evaluated again
  Press(L"1 ÷ 0 =");
  Press(L"1 0 y^x 4 0 0");
  OnKeyDown(FakeHandle(), kVkEnter);
  ASSERT_EQ(g_history.size(), 4u);
  ExpectEntry(0, L"2+3", L"5");
  ExpectEntry(1, L"5", L"5");
  ExpectEntry(2, L"1/0", L"错误");
  ExpectEntry(3, L"10^400", L"无穷大");
  EXPECT_EQ(g_fakeWindow.CountCalls("history"), 4);
  EXPECT_EQ(g_fakeWindow.history.size(), 4u);
  EXPECT_EQ(HistoryItemName(g_history[0]), L"2+3 = 5");
  EXPECT_EQ(HistoryResultLine(g_history[0]), L"= 5");
}

TEST_F(HistoryTest, KeepsTheNewestHundred) {
  for (int i = 0; i <= 100; ++i) {
    PasteText(std::to_wstring(i) + L"+0");
    Press(L"=");
  }
  ASSERT_EQ(g_history.size(), kHistoryCapacity);
  ExpectEntry(0, L"1+0", L"1");
  ExpectEntry(99, L"100+0", L"100");
  EXPECT_EQ(g_fakeWindow.history.size(), kHistoryCapacity);
}

TEST_F(HistoryTest, ALongExpressionKeepsItsLastCharactersBehindAnEllipsis) {
  const std::wstring exact = L"1" + std::wstring(kHistoryExpressionLength - 1, L'0');
  PasteText(exact);
  Press(L"=");
  ExpectEntry(0, exact, g_expr);

  const std::wstring longer = L"7" + exact;
  PasteText(longer);
  Press(L"=");
  ExpectEntry(1, L"…" + exact, g_expr);
}

TEST_F(HistoryTest, ChoosingAnEntryEntersItsResultAsAPasteWould) {
  Press(L"2 + 3 = 1 ÷ 0 = 1 0 y^x 4 0 0 =");
  struct Case {
    std::wstring text;
    bool resultShown;
    std::size_t entry;
    std::wstring after;
  };
  const Case cases[] = {
      {L"9", true, 0, L"5"},         // a shown result is discarded
      {L"0", false, 0, L"5"},        // the start text is replaced
      {L"错误", false, 0, L"5"},
      {L"无穷大", false, 0, L"无穷大5"},
      {L"2*", false, 0, L"2*5"},     // otherwise appended
      {L"2*", false, 1, L"2*"},      // "错误" and "无穷大" enter nothing
      {L"4", true, 2, L"4"},
      {L"2*", false, 3, L"2*"},      // no such entry
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text) + " entry " + std::to_string(c.entry));
    g_expr = c.text;
    g_caret = g_anchor = g_expr.size();
    g_resultShown = c.resultShown;
    g_fakeWindow.calls.clear();
    g_fakeWindow.announced.clear();
    ChooseHistoryEntry(FakeHandle(), c.entry);
    EXPECT_EQ(g_expr, c.after);
    const bool entered = c.after != c.text;
    EXPECT_EQ(g_resultShown, c.resultShown && !entered);
    EXPECT_EQ(g_fakeWindow.CountCalls("display"), entered ? 1 : 0);
    if (entered) {
      EXPECT_EQ(g_fakeWindow.display, c.after);
      EXPECT_EQ(g_fakeWindow.announced, std::vector{c.after});
    } else {
      EXPECT_TRUE(g_fakeWindow.announced.empty());
    }
    ASSERT_FALSE(g_fakeWindow.calls.empty());
    EXPECT_EQ(g_fakeWindow.calls.back(), entered ? "announce" : "focus");
  }
  EXPECT_EQ(g_history.size(), 3u);  // choosing records nothing
}

TEST_F(HistoryTest, CtrlHAndTheMenuToggleThePaneAndOnTopAndClear) {
  OnKeyDown(FakeHandle(), kVkH, 0, kControlHeld);
  EXPECT_TRUE(g_fakeWindow.historyShown);
  EXPECT_TRUE(MenuItemChecked(kMenuHistory));
  OnKeyDown(FakeHandle(), kVkH, 0, kControlHeld | kAltHeld);  // AltGr+H may type a character
  OnKeyDown(FakeHandle(), kVkH, L'h');
  EXPECT_TRUE(g_fakeWindow.historyShown);
  OnMenuCommand(FakeHandle(), kMenuHistory);
  EXPECT_FALSE(g_fakeWindow.historyShown);
  EXPECT_FALSE(MenuItemChecked(kMenuHistory));
  EXPECT_EQ(g_fakeWindow.CountCalls("pane"), 2);
  // Opening says the pane's name and how many entries it lists; closing says nothing.
  EXPECT_EQ(g_fakeWindow.announced, std::vector<std::wstring>{L"历史记录，0 条"});
  Press(L"2 = 3 =");
  OnKeyDown(FakeHandle(), kVkH, 0, kControlHeld);
  EXPECT_EQ(g_fakeWindow.announced.back(), L"历史记录，2 条");
  OnKeyDown(FakeHandle(), kVkH, 0, kControlHeld);

  OnMenuCommand(FakeHandle(), kMenuAlwaysOnTop);
  EXPECT_TRUE(g_fakeWindow.alwaysOnTop);
  EXPECT_TRUE(MenuItemChecked(kMenuAlwaysOnTop));
  OnMenuCommand(FakeHandle(), kMenuAlwaysOnTop);
  EXPECT_FALSE(g_fakeWindow.alwaysOnTop);
  EXPECT_FALSE(MenuItemChecked(kMenuAlwaysOnTop));

  Press(L"6 × 7 =");
  OnMenuCommand(FakeHandle(), kMenuCopy);
  EXPECT_EQ(g_fakeWindow.clipboard, L"42");
  g_fakeWindow.clipboard = L"+1";
  OnMenuCommand(FakeHandle(), kMenuPaste);
  ExpectText(L"+1");
  OnMenuCommand(FakeHandle(), kMenuClearHistory);
  EXPECT_TRUE(g_history.empty());
  EXPECT_TRUE(g_fakeWindow.history.empty());
  ExpectText(L"+1");
}

}  // namespace
