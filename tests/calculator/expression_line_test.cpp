// The line above the expression: what "=" evaluated while its result stands, else what
// "=" would give for the text being typed.
#include <string>

#include "calculator/refresh.h"
#include "calculator_fixture.h"

namespace {

class ExpressionLineTest : public CalculatorTest {
 protected:
  void SetUp() override {
    CalculatorTest::SetUp();
    g_expressionLineOn = true;
  }
};

TEST_F(ExpressionLineTest, ShowsWhatWasOrWouldBeEvaluated) {
  struct Row {
    const wchar_t* script;
    bool degrees;
    const wchar_t* line;
  };
  const Row rows[] = {
      {L"", false, L""},
      {L"12+4*", false, L""},          // incomplete: no error flashes while typing
      {L"12+4*5", false, L"= 32"},
      {L"12+4*5 Enter", false, L"12+4*5 ="},
      {L"1/0 Enter", false, L"1/0 ="},
      {L"2+3 Enter [x²]", false, L"= 25"},  // the result's text has changed
      {L"2+3 Enter [±]", false, L""},       // "-5" gives itself back
      {L"5", false, L""},
      {L"0.5", false, L""},
      {L"5 Home 0", false, L"= 5"},       // "05"
      {L"(5", false, L"= 5"},
      {L"1e3", false, L"= 1000"},
      {L"10^400", false, L"= 无穷大"},
      {L"sin(30", true, L"= 0.5"},
      {L"sin(30", false, L"= -0.988031624093"},
      {L"12+4*5 Enter Esc", false, L""},
      {L"12+4*5 Enter C-Z", false, L"= 32"},
      {L"12+4*5 Enter C-Z C-Y", false, L"12+4*5 ="},
      {L"1+1 Enter Esc Up", false, L"= 2"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring{row.script}) + (row.degrees ? " deg" : ""));
    ResetCalculator();
    ResetFakeWindow();
    g_expressionLineOn = true;
    if (row.degrees) Press(L"Rad");
    Do(row.script);
    if (std::wstring_view{row.script}.empty()) UpdateDisplay(FakeHandle());
    EXPECT_TRUE(g_fakeWindow.lineShown);
    EXPECT_EQ(g_fakeWindow.line, row.line);
    EXPECT_EQ(ExpressionLine(), row.line);
  }
}

TEST_F(ExpressionLineTest, FollowsTheAngleModeAndChangesNothing) {
  Do(L"sin(30");
  const std::wstring text = g_expr;
  Press(L"Rad");
  EXPECT_EQ(g_fakeWindow.line, L"= 0.5");
  Press(L"Rad");
  EXPECT_EQ(g_fakeWindow.line, L"= -0.988031624093");
  EXPECT_EQ(g_expr, text);
  EXPECT_FALSE(g_resultShown);
  EXPECT_TRUE(g_history.empty());
  EXPECT_EQ(g_fakeWindow.display, text);
}

}  // namespace
