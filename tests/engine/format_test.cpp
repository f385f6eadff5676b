#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "engine/engine.h"

namespace {

// %.<precision>g of the C library, the reference for the display's formatting.
std::wstring CFormat(int precision, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
  return std::wstring(buffer, buffer + std::char_traits<char>::length(buffer));
}

TEST(FormatResult, IntegersNumbersAndSpecialValues) {
  const std::pair<double, const wchar_t*> cases[] = {
      {5, L"5"},
      {-3, L"-3"},
      {-0.0, L"0"},
      {0.1 + 0.2, L"0.3"},
      {1.0 / 3, L"0.333333333333"},
      {2.0 / 3, L"0.666666666667"},
      {3.141592653589793, L"3.14159265359"},
      {2.718281828459045, L"2.71828182846"},
      {1e20, L"1e+20"},
      {1e-20, L"1e-20"},
      {0.0001, L"0.0001"},
      {0.00001, L"1e-05"},
      {1.5e20, L"1.5e+20"},
      {1e100, L"1e+100"},
      {999999999999999, L"999999999999999"},
      {-999999999999999, L"-999999999999999"},
      {1e15, L"1e+15"},
      {123456789012345, L"123456789012345"},
      {123456789012.25, L"123456789012"},
      {-2.5, L"-2.5"},
      {DBL_MAX, L"1.79769313486e+308"},
      {DBL_MIN, L"2.22507385851e-308"},
      {std::numeric_limits<double>::quiet_NaN(), L"错误"},
      {std::numeric_limits<double>::infinity(), L"无穷大"},
      {-std::numeric_limits<double>::infinity(), L"无穷大"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(FormatResult(value), text) << value;
}

TEST(FormatResult, IntegersBelowTheLimitShowAllDigits) {
  for (double v = 1; v < 1e15; v = v * 7 + 3) {
    EXPECT_EQ(FormatResult(std::floor(v)), std::to_wstring(static_cast<long long>(std::floor(v))));
    EXPECT_EQ(FormatResult(-std::floor(v)), std::to_wstring(-static_cast<long long>(std::floor(v))));
  }
}

TEST(FormatResult, OtherValuesMatchTheCLibrary) {
  // Fractions and large integers as %.12g writes them, over a wide spread of magnitudes.
  std::mt19937_64 random(12345);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-300, 300);
  int compared = 0;
  for (int i = 0; i < 20000; ++i) {
    double v = mantissa(random) * std::pow(10.0, exponent(random));
    if (i % 2 == 1) v = -v;
    if (v == std::floor(v) && std::fabs(v) < 1e15) continue;
    ASSERT_EQ(FormatResult(v), CFormat(12, v)) << v;
    ++compared;
  }
  EXPECT_GT(compared, 15000);
  // Halfway and carry cases of the 12th digit.
  const double edges[] = {0.5, 9.9999999999995, 99999999999.95, 1.0000000000005, 0.00012345678901234,
                          5e-324, 123456789012.5, 999999999999.5};
  for (double v : edges) {
    if (v == std::floor(v) && std::fabs(v) < 1e15) continue;
    EXPECT_EQ(FormatResult(v), CFormat(12, v)) << v;
  }
}

TEST(FormatGeneral, MatchesTheCLibraryAtAnyPrecision) {
  const double values[] = {1.0 / 3, 2.0 / 3, 0.500015, 16384 / 32767.0, 1 / 32767.0, 1e-5, 123456.5,
                           1e14, 1e13, -2.5e-7, 0.0, 1e300};
  for (double v : values) {
    for (int precision : {6, 12, 14}) {
      EXPECT_EQ(FormatGeneral(v, precision), CFormat(precision, v)) << v << " " << precision;
    }
  }
  EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::infinity(), 14), L"inf");
  EXPECT_EQ(FormatGeneral(-std::numeric_limits<double>::infinity(), 14), L"-inf");
}

}  // namespace
