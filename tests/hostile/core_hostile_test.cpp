// Hostile input through the calculator core, on the fake window of the core's tests.
#include <cmath>
#include <string>

#include "calculator_fixture.h"
#include "hostile_util.h"
#include "calculator/refresh.h"

namespace {

class HostileCoreTest : public CalculatorTest {
 protected:
  static void Paste(std::wstring text) {
    g_fakeWindow.clipboard = std::move(text);
    PasteClipboard(FakeHandle());
  }
  static void ExpectTitle(bool memoryMark) {
    EXPECT_EQ(g_fakeWindow.title, std::wstring(kWindowTitle) + (memoryMark ? L"   [M]" : L""));
  }
};

TEST_F(HostileCoreTest, TenMegabytePasteEntersNothing) {
  // Lines of "1+1+...+" as an editor copies them, far more than the text may hold.
  const std::wstring line = Repeat(L"1+", 40) + L"\r\n";
  Press(L"1 +");
  g_fakeWindow.calls.clear();
  Paste(Repeat(line, kTenMegabytes / line.size()));
  ExpectText(L"1+");
  ExpectTitle(false);
  EXPECT_EQ(g_fakeWindow.calls, (std::vector<std::string>{"read clipboard", "beep", "display", "title"}));

  Press(L"1 =");
  ExpectText(L"2");
}

TEST_F(HostileCoreTest, PasteOfTheLongestTextFollowsTheOperandRule) {
  const std::wstring digits(kExpressionLimit - 2, L'7');
  Press(L"2 + 3 =");
  Paste(digits);
  ExpectText(digits);  // the result gave way
  EXPECT_FALSE(g_resultShown);

  Press(L"1 ÷ 0 =");
  Press(L"+ ⌫");  // "错误" itself, no longer a result
  ASSERT_EQ(g_expr, kErrorText);
  Paste(digits);
  ExpectText(digits);

  Press(L"AC 1 2");
  Paste(digits);
  ExpectText(L"12" + digits);

  // Nothing but control characters enters nothing, silently, and leaves the display alone.
  Press(L"AC 4");
  g_fakeWindow.calls.clear();
  Paste(Repeat(L"\r\n\t\u0085\u2028", kTenMegabytes / 5));
  ExpectText(L"4");
  EXPECT_EQ(g_fakeWindow.calls, std::vector<std::string>{"read clipboard"});
}

TEST_F(HostileCoreTest, TheLongestTextUnderTheEditingKeys) {
  const std::wstring digits(kExpressionLimit - 1, L'1');
  Paste(digits);
  Press(L".");  // one long number without a point yet
  ExpectText(digits + L".");
  Press(L". ⌫");
  ExpectText(digits);
  Press(L"±");
  ExpectText(L"-" + digits);
  Press(L"± m+");  // out of the double's range: adds nothing
  ExpectTitle(false);
  EXPECT_EQ(g_memory, 0.0);

  CopyDisplay(FakeHandle());
  EXPECT_EQ(g_fakeWindow.clipboard, digits);
  Press(L"=");
  ExpectText(L"错误");
  Press(L"⌫");
  ExpectText(L"0");
}

TEST_F(HostileCoreTest, DeepTextsThroughEquals) {
  // As deep as the text allows; the engine's own tests go a million deep.
  const std::size_t depth = kExpressionLimit - 2;  // even, and room for one more
  Paste(std::wstring(depth, L'(') + L"7");
  Press(L"=");
  ExpectText(L"7");

  Press(L"AC");
  Paste(std::wstring(depth, L'-') + L"7");
  Press(L"=");
  ExpectText(L"7");
  Press(L"AC");
  Paste(std::wstring(depth, L'-') + L"7");
  Press(L"± =");  // one sign fewer
  ExpectText(L"-7");

  Press(L"AC");
  Paste(L"3" + std::wstring(depth, L'!'));
  Press(L"=");
  ExpectText(L"错误");
  Press(L"AC 0");
  Paste(std::wstring(depth, L'!'));  // replaces the start text "0": no operand is left
  Press(L"=");
  ExpectText(L"错误");
}

TEST_F(HostileCoreTest, LongNumbersInTheMemory) {
  const std::wstring threes(kExpressionLimit - 2, L'3');
  Paste(L"0." + threes);
  Press(L"m+");
  EXPECT_EQ(g_memory, 1.0 / 3.0);
  ExpectTitle(true);
  Press(L"AC mr");
  ExpectText(L"0.33333333333333");

  Press(L"mc AC");
  Paste(L"0." + std::wstring(kExpressionLimit - 3, L'0') + L"5");  // below the normal range: adds 0
  Press(L"m+");
  EXPECT_EQ(g_memory, 0.0);
  ExpectTitle(false);
}

// Ten thousand key presses, each ending in a refresh of the whole text; those past the
// limit beep.
TEST_F(HostileCoreTest, TenThousandFunctionKeys) {
  Press(L"1 +");
  const std::size_t made = (kExpressionLimit - 2) / 4;  // and room left for the "0"
  for (int i = 0; i < 10000; ++i) Press(L"cos");
  EXPECT_EQ(g_expr, L"1+" + Repeat(L"cos(", made));
  EXPECT_EQ(g_fakeWindow.CountCalls("beep"), static_cast<int>(10000 - made));
  Press(L"0 =");
  double x = 0.0;
  for (std::size_t i = 0; i < made; ++i) x = std::cos(x);
  ExpectText(FormatResult(1.0 + x));

  for (int i = 0; i < 10000; ++i) Press(L"2nd");  // an even count: back to the first labels
  EXPECT_FALSE(g_secondMode);
  EXPECT_EQ(g_fakeWindow.keyTexts[kKeySin], L"sin");
}

}  // namespace
