// The "=" action: what it writes into the text, and when it leaves the text alone.
#include <cmath>
#include <string>

#include "calculator_fixture.h"

namespace {

using CalculateTest = CalculatorTest;

TEST_F(CalculateTest, EvaluatesTheTextAndMarksTheResult) {
  struct Row {
    const wchar_t* keys;
    std::wstring shown;
  };
  const Row kRows[] = {
      {L"2 + 3 =", L"5"},
      {L"1 ÷ 3 =", FormatResult(1.0 / 3.0)},
      {L"2 ÷ 3 =", FormatResult(2.0 / 3.0)},
      {L"π =", FormatResult(std::acos(-1.0))},
      {L"5 - 8 =", L"-3"},
      {L"0 ± =", L"0"},      // "-0" has no sign in the display
      {L"( 1 + 2 =", L"3"},  // open parentheses are closed
      {L"( ( 2 =", L"2"},
      {L"2 × ( 3 + 4 =", L"14"},
      {L"2 EE =", L"2"},
      {L"2 EE 3 =", L"2000"},
      {L"2 ʸ√x 8 =", FormatResult(std::pow(2.0, 1.0 / 8.0))},
      {L"2nd x³ 2 7 =", FormatResult(std::cbrt(27.0))},
      {L"2 2nd y^x 3 =", FormatResult(std::pow(2.0, 1.0 / 3.0))},
      // Failures all show the error text.
      {L"( =", L"错误"},
      {L"1 + 2 ) =", L"错误"},
      {L"1 ÷ 0 =", L"错误"},
      {L"2 % 0 =", L"错误"},
      {L"2 π =", L"错误"},
      {L"sin =", L"错误"},
      {L"+ =", L"错误"},  // "0+" lacks an operand
      {L"1 0 y^x 4 0 0 =", L"无穷大"},
      {L"0 - 1 0 y^x 4 0 0 =", L"无穷大"},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring{row.keys}));
    ResetCalculator();
    ResetFakeWindow();
    Press(row.keys);
    ExpectText(row.shown);
    EXPECT_TRUE(g_resultShown);
  }
}

TEST_F(CalculateTest, PressedAgainEvaluatesTheShownText) {
  const wchar_t* const kRows[][2] = {
      {L"1 ÷ 0 = =", L"错误"},     {L"1 0 y^x 4 0 0 = =", L"错误"},     {L"5 - 8 = =", L"-3"},
      {L"1 EE 2 0 = =", L"1e+20"}, {L"1 ÷ 3 = = =", L"0.333333333333"},
  };
  for (const auto& [keys, shown] : kRows) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring{keys}));
    ResetCalculator();
    Press(keys);
    ExpectText(shown);
    EXPECT_TRUE(g_resultShown);
  }
}

TEST_F(CalculateTest, StartTextAndEmptyTextAreLeftAlone) {
  g_fakeWindow.calls.clear();
  Calculate(FakeHandle());
  EXPECT_EQ(g_expr, L"0");
  EXPECT_FALSE(g_resultShown);
  EXPECT_TRUE(g_fakeWindow.calls.empty());

  Press(L"± ⌫ ±");
  ASSERT_EQ(g_expr, L"");
  g_fakeWindow.calls.clear();
  Calculate(FakeHandle());
  EXPECT_EQ(g_expr, L"");
  EXPECT_FALSE(g_resultShown);
  EXPECT_TRUE(g_fakeWindow.calls.empty());

  // A shown "0" stays shown: the flag is not cleared by the early return.
  Press(L"AC 1 - 1 =");
  ASSERT_EQ(g_expr, L"0");
  Press(L"=");
  EXPECT_TRUE(g_resultShown);

  // Only the exact text "0" is skipped.
  Press(L"AC 0 . =");
  ExpectText(L"0");
  EXPECT_TRUE(g_resultShown);
}

TEST_F(CalculateTest, RefreshesOnceOnEveryPathThatWrites) {
  for (const wchar_t* keys : {L"2 + 3", L"1 ÷ 0", L"1 + 2 )"}) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring{keys}));
    Press(L"AC");
    Press(keys);
    g_fakeWindow.calls.clear();
    g_fakeWindow.announced.clear();
    Calculate(FakeHandle());
    EXPECT_EQ(g_fakeWindow.calls,
              (std::vector<std::string>{"display", "title", "announce", "history"}));
    EXPECT_EQ(g_fakeWindow.announced, std::vector{g_expr});
  }
}

TEST_F(CalculateTest, LongTextsEvaluate) {
  // As many terms of "1+" as the text holds; the text is replaced whole.
  const std::size_t terms = (kExpressionLimit - 1) / 2;
  std::wstring text;
  for (std::size_t i = 0; i < terms; ++i) text += L"1+";
  text += L"1";
  g_fakeWindow.clipboard = text;
  PasteClipboard(FakeHandle());
  Press(L"=");
  ExpectText(std::to_wstring(terms + 1));
}

}  // namespace
