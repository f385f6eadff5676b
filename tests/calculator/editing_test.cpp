// Editing the expression as text: the caret and the selection, edits at the caret, undo
// and redo, and the recall of earlier expressions, each written as what a user types.
#include <string>
#include <string_view>

#include "calculator/history.h"
#include "calculator/undo.h"
#include "calculator_fixture.h"

namespace {

// The text with "|" at the caret and "~" at the other end of a selection, and "=" after it
// while it is a shown result.
std::wstring Shown() {
  std::wstring text = g_fakeWindow.display;
  const std::size_t caret = g_fakeWindow.caret;
  const std::size_t anchor = g_fakeWindow.anchor;
  if (anchor != caret) text.insert(anchor, 1, L'~');
  text.insert(caret + (anchor != caret && anchor < caret ? 1 : 0), 1, L'|');
  if (g_resultShown) text += L" =";
  return text;
}

class EditingTest : public CalculatorTest {
 protected:
  struct Row {
    const wchar_t* script;
    const wchar_t* shown;
  };

  void Check(const Row& row) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring{row.script}));
    ResetCalculator();
    ResetFakeWindow();
    Do(row.script);
    EXPECT_EQ(Shown(), row.shown);
    EXPECT_EQ(g_fakeWindow.display, g_expr);
  }
};

TEST_F(EditingTest, TheCaretMovesAndSelects) {
  const Row rows[] = {
      {L"12+34*5 Left Left Left", L"12+3|4*5"},
      {L"12+34*5 Home", L"|12+34*5"},
      {L"12+34*5 Home Left", L"|12+34*5"},
      {L"12+34*5 Left End Right", L"12+34*5|"},
      {L"12+34*5 S-Left S-Left", L"12+34|*5~"},
      {L"12+34*5 S-Left S-Left Left", L"12+34|*5"},   // a selection collapses first
      {L"12+34*5 S-Home Right", L"12+34*5|"},
      {L"12+34*5 C-Left", L"12+34*|5"},
      {L"12+34*5 C-Left C-Left C-Left", L"12+|34*5"},
      {L"sin(30)+1 Home C-Right", L"sin(|30)+1"},
      {L"2.5e-3*4 Home C-Right", L"2.5e-3|*4"},        // a number with its exponent
      {L"12+34 C-A", L"~12+34|"},
      {L"12+34 @1", L"1|2+34"},
      {L"12+sin(34) @@5", L"12+~sin(|34)"},
      {L"12+sin(34) @@7", L"12+sin(~34|)"},
      // "0", "错误" and "无穷大" keep the caret at their end.
      {L"Left", L"0|"},
      {L"C-A", L"0|"},
      {L"1/0 Enter Home", L"错误| ="},
      {L"1/0 Enter + BS Home", L"错误|"},
      // A real move makes a result ordinary text; one that cannot move changes nothing.
      {L"2+3 Enter Right 7", L"7|"},
      {L"2+3 Enter Left 7", L"7|5"},
      {L"2+3 Enter C-A 7", L"7|"},
      {L"2+3 Enter @1 [x²]", L"5^2| ="},
  };
  for (const Row& row : rows) Check(row);
}

TEST_F(EditingTest, EditsHappenAtTheCaret) {
  const Row rows[] = {
      {L"12+34*5 Left Left Left BS", L"12+|4*5"},
      {L"12+4*5 Home ( End )", L"(12+4*5)|"},
      {L"123 Left [x²]", L"12^2|3"},
      {L"123 Left [sin]", L"12sin(|3"},
      {L"123 Home [π]", L"pi|123"},
      {L"123 Home [+]", L"+|123"},
      {L"12345 S-Left S-Left 9", L"1239|"},
      {L"12+34 Left S-Left S-Left [÷]", L"12/|4"},
      {L"12 Home BS", L"|12"},                         // nothing before the caret
      {L"123 Home Del", L"|23"},
      {L"123 Del", L"123|"},
      {L"5 Home Del", L"0|"},                          // never empty
      {L"12 Left Home S-Right BS", L"|2"},
      {L"12+3 Left Left [±]", L"-12+3|"},              // on the whole text
      {L"1 2 3 Left [mr]", L"0|"},                     // so are the memory and Rand
      {L"1/0 Enter + BS Home [⌫]", L"0|"},
      // The point looks at the number on both sides of the caret.
      {L"12 Left .", L"1.|2"},
      {L"1.2 Left .", L"1.|2"},
      {L"1.2+3 Home .", L"|1.2+3"},
      {L"1+23 Left .", L"1+2.|3"},
      {L"1.5+2 Left Left S-Left .", L"1.|5~+2"},
      {L"1.5+2 Left Left S-Home .", L".|+2"},            // the selection goes first
  };
  for (const Row& row : rows) Check(row);
}

TEST_F(EditingTest, CutCopyAndPasteAtTheCaret) {
  Do(L"12345 Left S-Left S-Left C-C");
  EXPECT_EQ(g_fakeWindow.clipboard, L"34");
  Do(L"C-X");
  EXPECT_EQ(Shown(), L"12|5");
  g_fakeWindow.clipboard = L"sin(9)";
  Do(L"Home C-V");
  EXPECT_EQ(Shown(), L"sin(9)|125");
  g_fakeWindow.calls.clear();
  Do(L"C-X S-Del");  // nothing selected: nothing cut
  EXPECT_EQ(g_fakeWindow.clipboard, L"sin(9)");
  EXPECT_EQ(g_fakeWindow.CountCalls("write clipboard"), 0);
  Do(L"S-Right S-Del");
  EXPECT_EQ(g_fakeWindow.clipboard, L"1");
  EXPECT_EQ(Shown(), L"sin(9)|25");
}

TEST_F(EditingTest, UndoAndRedoRestoreStoredStates) {
  const Row rows[] = {
      {L"12 C-Z", L"1|"},
      {L"12 C-Z C-Z C-Z", L"0|"},
      {L"12 C-Z C-Y", L"12|"},
      {L"12 C-Z CS-Z", L"12|"},
      {L"123 Left Left 9 C-Z", L"1|23"},       // the caret comes back too
      {L"12 Left Right C-Z", L"1|"},           // moves make no step
      {L"2+3 Enter C-Z", L"2+3|"},
      {L"2+3 Enter C-Z C-Y", L"5| ="},
      {L"2+3 Enter 7 C-Z", L"5| ="},
      {L"12 Esc C-Z", L"12|"},
      {L"12 C-Z 5 C-Y", L"15|"},               // a new change drops the redo
      {L"0 Enter C-Z", L"0|"},                 // "=" that leaves "0" alone
      {L"12 Left S-Left C-X C-Z", L"|1~2"},
      {L"12 Left S-Left C-X C-Z C-Y", L"|2"},
  };
  for (const Row& row : rows) Check(row);
}

TEST_F(EditingTest, UndoNeverEvaluatesNorTouchesTheHistoryOrTheMemory) {
  Do(L"2+3 Enter [m+] 4 C-Z C-Z C-Z");
  EXPECT_EQ(Shown(), L"2+|");
  EXPECT_EQ(g_history.size(), 1u);
  EXPECT_EQ(g_memory, 5.0);
  g_fakeWindow.clipboard = L"7";
  Do(L"C-V C-Z");
  EXPECT_EQ(Shown(), L"2+|");
}

TEST_F(EditingTest, UndoKeepsAtMostItsSteps) {
  std::wstring typed;
  for (std::size_t i = 0; i < kUndoSteps + 20; ++i) typed += static_cast<wchar_t>(L'1' + i % 9);
  Do(typed);
  for (std::size_t i = 0; i < kUndoSteps + 20; ++i) Do(L"C-Z");
  EXPECT_EQ(g_expr, typed.substr(0, 20));
  EXPECT_FALSE(CanUndo());
}

TEST_F(EditingTest, UpAndDownRecallWhatWasEvaluated) {
  const Row rows[] = {
      {L"Up", L"0|"},  // no history
      {L"1+1 Enter 2*2 Enter Esc Up", L"2*2|"},
      {L"1+1 Enter 2*2 Enter Esc Up Up", L"1+1|"},
      {L"1+1 Enter 2*2 Enter Esc Up Up Up", L"1+1|"},
      {L"1+1 Enter 2*2 Enter Esc Up Up Down", L"2*2|"},
      {L"1+1 Enter 2*2 Enter 7 Left Up Down Down", L"|7"},  // back to the typing
      {L"1+1 Enter 2*2 Enter Up 5 Up Up", L"1+1|"},          // an edit ends the walk
      {L"1+1 Enter 2*2 Enter Up 5 Up Down", L"2*25|"},
      {L"1+1 Enter Up C-Z", L"2| ="},
      {L"Down", L"0|"},
  };
  for (const Row& row : rows) Check(row);
}

TEST_F(EditingTest, RecallSkipsShortenedExpressionsAndIgnoresLaterChanges) {
  Do(L"1+1 Enter");
  g_fakeWindow.clipboard = std::wstring(kHistoryExpressionLength + 10, L'1');
  Do(L"C-V Enter 3*3 Enter Up");
  EXPECT_EQ(Shown(), L"3*3|");
  ClearHistory(FakeHandle());  // the walk goes on over what it took
  Do(L"Up");
  EXPECT_EQ(Shown(), L"1+1|");
}

// Where wchar_t is UTF-16, a character of two units is one step of the caret and of an
// erase, and the caret never lands between them.
TEST_F(EditingTest, TwoUnitCharactersStayWhole) {
  if (sizeof(wchar_t) != 2) GTEST_SKIP() << "every wchar_t is a character here";
  g_fakeWindow.clipboard = L"1\xD83D\xDE00" L"2";
  Do(L"C-V Left Left");
  EXPECT_EQ(g_caret, 1u);
  Do(L"@2");
  EXPECT_EQ(g_caret, 1u);
  Do(L"Right BS");
  EXPECT_EQ(g_expr, L"12");
  EXPECT_EQ(g_caret, 1u);
}

}  // namespace
