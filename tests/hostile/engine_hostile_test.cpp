// Texts far longer, deeper and stranger than anyone types, straight into "=".
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/engine.h"
#include "hostile_util.h"

namespace {

TEST(HostileText, TenMegabyteExpressions) {
  // Every operator, parentheses and blanks: each piece adds (1+2*3-4/2)^1%7 = 5.
  const std::wstring piece = L"(1+2*3-4/2)^1%7 + ";
  const std::size_t pieces = kTenMegabytes / piece.size();
  const std::wstring mixed = Repeat(piece, pieces) + L"0";
  EXPECT_EQ(EvaluateText(mixed), FormatResult(5.0 * static_cast<double>(pieces)));

  // One bad token anywhere fails the whole text.
  const std::wstring chain = Repeat(L"1+", kTenMegabytes / 2);
  EXPECT_EQ(EvaluateText(chain + L"x"), L"错误");
  EXPECT_EQ(EvaluateText(L"x+" + chain + L"1"), L"错误");
  EXPECT_EQ(EvaluateText(chain), L"错误");  // the last "+" lacks an operand
  EXPECT_EQ(EvaluateText(chain + L"1/0"), L"错误");
  EXPECT_EQ(EvaluateText(chain + L"10^400"), L"无穷大");

  // White space only, or around one number.
  const std::wstring blanks = Repeat(L" \t\u3000", kTenMegabytes / 3);
  EXPECT_EQ(EvaluateText(blanks), L"错误");
  EXPECT_EQ(EvaluateText(blanks + L"42" + blanks), L"42");
}

TEST(HostileText, MillionNestedParentheses) {
  EXPECT_EQ(EvaluateText(L"7" + std::wstring(kMillion, L')')), L"错误");
  EXPECT_EQ(EvaluateText(Repeat(L")(", kMillion)), L"错误");
  EXPECT_EQ(EvaluateText(Repeat(L"()", kMillion)), L"错误");
  // (-(-(-...7 closed automatically: an even count of signs.
  EXPECT_EQ(EvaluateText(Repeat(L"(-", kMillion) + L"7"), L"7");
  EXPECT_EQ(EvaluateText(Repeat(L"(-", kMillion + 1) + L"7"), L"-7");
  // (1+(1+(1+...1 adds up through every level.
  EXPECT_EQ(EvaluateText(Repeat(L"(1+", kMillion) + L"1"),
            FormatResult(static_cast<double>(kMillion + 1)));
}

TEST(HostileText, MillionMinusSigns) {
  EXPECT_EQ(EvaluateText(std::wstring(kMillion, L'-')), L"错误");
  // After a number the first "-" subtracts; the other n - 1 are signs of the 3.
  const double signs = (kMillion - 1) % 2 == 0 ? 1.0 : -1.0;
  EXPECT_EQ(EvaluateText(L"2" + std::wstring(kMillion, L'-') + L"3"), FormatResult(2.0 - signs * 3.0));
  EXPECT_EQ(EvaluateText(L"2^" + std::wstring(kMillion + 1, L'-') + L"1"), FormatResult(0.5));
}

TEST(HostileText, MillionFactorials) {
  const std::wstring marks(kMillion, L'!');
  EXPECT_EQ(EvaluateText(L"0" + marks), L"1");
  EXPECT_EQ(EvaluateText(L"3" + marks), L"错误");  // 720! is beyond 170!
  EXPECT_EQ(EvaluateText(marks), L"错误");
  EXPECT_EQ(EvaluateText(L"-1" + marks), L"错误");    // (-1)!: the sign binds first
  EXPECT_EQ(EvaluateText(L"0-1" + marks), L"-1");
}

TEST(HostileText, NumberOfHundredThousandDigits) {
  const std::size_t n = 100000;
  const std::wstring zeros(n, L'0');
  const std::wstring threes(n, L'3');
  EXPECT_EQ(EvaluateText(L"0." + threes), FormatResult(1.0 / 3.0));
  EXPECT_EQ(EvaluateText(zeros + L"7"), L"7");
  EXPECT_EQ(EvaluateText(zeros + L"3!"), L"6");
  EXPECT_EQ(EvaluateText(L"1" + zeros + L"e-99991"), L"1000000000");
  EXPECT_EQ(EvaluateText(L"1e" + zeros + L"5"), L"100000");
  EXPECT_EQ(EvaluateText(L"0e" + std::wstring(n, L'9')), L"0");
  EXPECT_EQ(EvaluateText(L"1.2." + threes), L"1.2");  // the second point ends the number
  // Out of range either way is an error, not infinity or zero.
  EXPECT_EQ(EvaluateText(L"1" + zeros), L"错误");
  EXPECT_EQ(EvaluateText(L"0." + zeros + L"1"), L"错误");
  EXPECT_EQ(EvaluateText(L"1e-" + std::wstring(n, L'9')), L"错误");
  EXPECT_EQ(EvaluateText(L"1e" + std::wstring(n, L'9')), L"错误");
  // Rounded correctly on all the digits: 2^53 + 1 lies halfway between two doubles, and
  // a 1 a hundred thousand digits later decides the way up.
  const std::wstring halfway = L"9007199254740993." + zeros;
  EXPECT_EQ(EvaluateText(halfway + L"1-9007199254740992"), L"2");
  EXPECT_EQ(EvaluateText(halfway + L"-9007199254740992"), L"0");
}

TEST(HostileText, HundredThousandFunctionNames) {
  const std::size_t n = 100000;
  double x = 0.0;
  for (std::size_t i = 0; i < n; ++i) x = std::cos(x);
  EXPECT_EQ(EvaluateText(Repeat(L"cos(", n) + L"0"), FormatResult(x));

  // Without parentheses each name takes all that follows: f1 f2 ... 0.5 is f1(f2(...)).
  // ln always meets exp of something, so every step stays in its domain.
  const std::wstring_view names[] = {L"cos", L"sin", L"atan", L"tanh", L"cbrt", L"ln", L"exp", L"abs"};
  double (*const functions[])(double) = {[](double v) { return std::cos(v); },
                                         [](double v) { return std::sin(v); },
                                         [](double v) { return std::atan(v); },
                                         [](double v) { return std::tanh(v); },
                                         [](double v) { return std::cbrt(v); },
                                         [](double v) { return std::log(v); },
                                         [](double v) { return std::exp(v); },
                                         [](double v) { return std::fabs(v); }};
  std::wstring text;
  for (std::size_t i = 0; i < n; ++i) (text += names[i % 8]) += L' ';
  double y = 0.5;
  for (std::size_t i = n; i-- > 0;) y = functions[i % 8](y);
  EXPECT_EQ(EvaluateText(text + L"0.5"), FormatResult(y));

  EXPECT_EQ(EvaluateText(Repeat(L"ln(", n) + L"1"), L"错误");       // ln(ln(1)) = ln(0)
  EXPECT_EQ(EvaluateText(Repeat(L"exp(", n) + L"1"), L"无穷大");
  EXPECT_EQ(EvaluateText(Repeat(L"sin", n) + L"(1)"), L"错误");     // one long unknown name
  EXPECT_EQ(EvaluateText(Repeat(L"sqrt(", n) + L"-1"), L"错误");
}

}  // namespace
