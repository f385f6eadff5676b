#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "engine/engine.h"
#include "test_util.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

double Factorial(int n) {
  double product = 1.0;
  for (int i = 2; i <= n; ++i) product *= i;
  return product;
}

struct EvalCase {
  std::wstring postfix;
  bool ok;
  double value;  // checked only when ok; NaN matches NaN
};

void ExpectOutcome(const EvalCase& c) {
  bool ok = !c.ok;
  const double value = EvaluatePostfix(Split(c.postfix), ok);
  EXPECT_EQ(ok, c.ok) << c.postfix;
  if (!c.ok) {
    EXPECT_EQ(value, 0.0) << c.postfix;
  } else if (std::isnan(c.value)) {
    EXPECT_TRUE(std::isnan(value)) << c.postfix << " gave " << value;
  } else {
    EXPECT_EQ(value, c.value) << c.postfix;
    EXPECT_EQ(std::signbit(value), std::signbit(c.value)) << c.postfix;
  }
}

TEST(EvaluatePostfix, OperatorsAndOperandCounts) {
  const EvalCase cases[] = {
      {L"", false, 0},
      {L"2 3", false, 0},
      {L"u-", false, 0},
      {L"!", false, 0},
      {L"sin", false, 0},
      {L"4 +", false, 0},
      {L"4 + 5", false, 0},
      {L"5 u-", true, -5.0},
      {L"0 u-", true, -0.0},
      {L"0 u- u-", true, 0.0},
      {L"7 2 -", true, 5.0},
      {L"7 2 /", true, 3.5},
      {L"0.1 0.2 +", true, 0.1 + 0.2},
      {L"1 0 /", false, 0},
      {L"1 0 u- /", false, 0},
      {L"0 0 /", false, 0},
      {L"1 nan /", true, kNaN},
      {L"7 3 %", true, 1.0},
      {L"7 u- 3 %", true, -1.0},
      {L"7 3 u- %", true, 1.0},
      {L"5.5 2 %", true, 1.5},
      {L"1 0 %", true, kNaN},
      {L"2 10 ^", true, 1024.0},
      {L"2 0.5 ^", true, std::pow(2.0, 0.5)},
      {L"8 u- 1 3 / ^", true, kNaN},
      {L"0 1 u- ^", true, kInf},
      {L"10 400 ^", true, kInf},
      {L"( 1 +", false, 0},
      {L"1 )", false, 0},
  };
  for (const EvalCase& c : cases) ExpectOutcome(c);
}

TEST(EvaluatePostfix, Factorial) {
  const EvalCase cases[] = {
      {L"0 !", true, 1.0},
      {L"1 !", true, 1.0},
      {L"5 !", true, 120.0},
      {L"20 !", true, Factorial(20)},
      {L"170 !", true, Factorial(170)},
      {L"170 !", true, 7.257415615307994e306},
      {L"171 !", false, 0},
      {L"3.5 !", false, 0},
      {L"1 u- !", false, 0},
      {L"0 u- !", true, 1.0},
      {L"nan !", false, 0},
      {L"inf !", false, 0},
      {L"3 ! !", true, 720.0},
  };
  for (const EvalCase& c : cases) ExpectOutcome(c);
}

TEST(EvaluatePostfix, NumberTokens) {
  const std::wstring nines310(310, L'9');
  const EvalCase cases[] = {
      {nines310, false, 0},
      {L"1e400", false, 0},
      {L"1e-310", false, 0},
      {L"1e-400", false, 0},
      {L"1e308", true, 1e308},
      {L"2.2250738585072014e-308", true, DBL_MIN},
      {L"1.7976931348623157e308", true, DBL_MAX},
      {L"1.2.3", true, 1.2},
      {L"12abc", true, 12.0},
      {L"2e", true, 2.0},
      {L"2E+", true, 2.0},
      {L"2e3", true, 2000.0},
      {L".5", true, 0.5},
      {L"5.", true, 5.0},
      {L".", false, 0},
      {L"(", false, 0},
      {L")", false, 0},
      {L"SIN", false, 0},
      {L"pi", false, 0},
      {L"3.14159265358979323846", true, 3.141592653589793},
      {L"2.71828182845904523536", true, 2.718281828459045},
      {L"0.1", true, 0.1},
      {L"123456789012345678901234567890", true, 1.2345678901234568e29},
  };
  for (const EvalCase& c : cases) ExpectOutcome(c);
}

TEST(EvaluatePostfix, StopsAtTheFirstFailure) {
  // The stack is discarded: a failure in the middle is not undone by later tokens.
  bool ok = true;
  EXPECT_EQ(EvaluatePostfix({L"1", L"0", L"/", L"5", L"+"}, ok), 0.0);
  EXPECT_FALSE(ok);
}

struct ReadCase {
  const wchar_t* text;
  bool ok;
  double value;
};

TEST(ReadNumber, ConvertsTheLongestPrefixLikeWcstod) {
  const ReadCase cases[] = {
      {L"2+3", true, 2.0},
      {L"  \t-12abc", true, -12.0},
      {L"+7", true, 7.0},
      {L"1e-5", true, 1e-5},
      {L"1e", true, 1.0},
      {L"1e+", true, 1.0},
      {L"-0", true, -0.0},
      {L"0x1p4", true, 16.0},
      {L"0x", true, 0.0},
      {L"0xg", true, 0.0},
      {L"inf", true, kInf},
      {L"-Infinity", true, -kInf},
      {L"nan", true, kNaN},
      {L"", false, 0},
      {L"  ", false, 0},
      {L"-", false, 0},
      {L".", false, 0},
      {L"e5", false, 0},
      {L"sin(30)", false, 0},
      {L"(2)", false, 0},
      {L"错误", false, 0},
      {L"无穷大", false, 0},
      {L"1e-310", false, 0},
      {L"-1e-310", false, 0},
      {L"1e400", false, 0},
      {L"-1e400", false, 0},
      {L"0e-400", true, 0.0},
      {L"0.000e99999", true, 0.0},
      {L"\u00a05", false, 0},  // the C locale's white space only
  };
  for (const ReadCase& c : cases) {
    double value = 12345.0;
    EXPECT_EQ(ReadNumber(c.text, value), c.ok) << c.text;
    if (!c.ok) continue;
    if (std::isnan(c.value)) {
      EXPECT_TRUE(std::isnan(value)) << c.text;
    } else {
      EXPECT_EQ(value, c.value) << c.text;
      EXPECT_EQ(std::signbit(value), std::signbit(c.value)) << c.text;
    }
  }
}

TEST(ReadNumber, MatchesTheCLibraryOnDecimalTexts) {
  // Correct rounding, checked against strtod in the "C" locale.
  const char* texts[] = {"0.1", "0.3", "1.5", "123.456", "9007199254740993", "2.5e-300",
                         "4.9406564584124654e+10", "1.00000000000000011102230246251565",
                         "3.14159265358979323846", "7.257415615307994e306", "0.000001",
                         "123456789012345678", "1234567890123456789012.5"};
  for (const char* text : texts) {
    const std::wstring wide(text, text + std::char_traits<char>::length(text));
    double value = 0.0;
    ASSERT_TRUE(ReadNumber(wide, value)) << text;
    EXPECT_EQ(value, std::strtod(text, nullptr)) << text;
  }
}

TEST(ReadNumber, LongDigitRuns) {
  // 10^5 digits: still one correctly rounded value, too large for a double.
  double value = 0.0;
  EXPECT_FALSE(ReadNumber(std::wstring(100000, L'7'), value));
  EXPECT_TRUE(ReadNumber(L"0." + std::wstring(100000, L'3'), value));
  EXPECT_EQ(value, 1.0 / 3.0);
}

// Restores the process locale that a test changed.
struct ScopedLocale {
  explicit ScopedLocale(const char* name) {
    saved = std::setlocale(LC_ALL, nullptr);
    active = std::setlocale(LC_ALL, name) != nullptr;
  }
  ~ScopedLocale() { std::setlocale(LC_ALL, saved.c_str()); }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;
  std::string saved;
  bool active = false;
};

TEST(ReadNumber, IgnoresACommaDecimalLocale) {
  ScopedLocale german("de_DE.UTF-8");
  if (!german.active) GTEST_SKIP() << "de_DE.UTF-8 is not installed (scripts/setup test makes it)";
  ASSERT_EQ(std::localeconv()->decimal_point[0], ',');
  double value = 0.0;
  EXPECT_TRUE(ReadNumber(L"1.5", value));
  EXPECT_EQ(value, 1.5);
  EXPECT_TRUE(ReadNumber(L"1,5", value));
  EXPECT_EQ(value, 1.0);
  EXPECT_EQ(EvaluateText(L"1.5+1"), L"2.5");
  EXPECT_EQ(FormatResult(0.25), L"0.25");
  EXPECT_EQ(FormatGeneral(1.0 / 3.0, 14), L"0.33333333333333");
}

}  // namespace
