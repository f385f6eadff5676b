#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

#include "engine/engine.h"
#include "test_util.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Computed at run time by the library under test: the compiler folds constant calls
// with correctly rounded arithmetic, which the library need not match in the last digit.
double V(double x) {
  volatile double v = x;
  return v;
}

double Deg2Rad(double x) {
  const double product = x * kPi;
  return product / 180.0;
}
double Rad2Deg(double r) {
  const double product = r * 180.0;
  return product / kPi;
}

void ExpectSame(std::optional<double> actual, double expected, const char* what) {
  ASSERT_TRUE(actual.has_value()) << what;
  if (std::isnan(expected)) {
    EXPECT_TRUE(std::isnan(*actual)) << what;
  } else {
    EXPECT_EQ(*actual, expected) << what;
    EXPECT_EQ(std::signbit(*actual), std::signbit(expected)) << what;
  }
}

struct FunctionCase {
  const wchar_t* name;
  double x;
  double radians;  // expected in radian mode
  double degrees;  // expected in degree mode
};

TEST(ApplyFunction, AllEighteenInBothModes) {
  const FunctionCase cases[] = {
      {L"sin", 30, std::sin(V(30.0)), std::sin(V(Deg2Rad(30)))},
      {L"sin", 180, std::sin(V(180.0)), std::sin(V(kPi))},
      {L"cos", 90, std::cos(V(90.0)), std::cos(V(Deg2Rad(90)))},
      {L"cos", -60, std::cos(V(-60.0)), std::cos(V(Deg2Rad(-60)))},
      {L"tan", 45, std::tan(V(45.0)), std::tan(V(Deg2Rad(45)))},
      {L"tan", 90, std::tan(V(90.0)), std::tan(V(Deg2Rad(90)))},
      {L"asin", 0.5, std::asin(V(0.5)), Rad2Deg(std::asin(V(0.5)))},
      {L"asin", 1, std::asin(V(1.0)), 90.0},
      {L"asin", 2, kNaN, kNaN},
      {L"acos", -1, std::acos(V(-1.0)), 180.0},
      {L"acos", 1, 0.0, 0.0},
      {L"atan", 1, std::atan(V(1.0)), 45.0},
      {L"atan", -kInf, std::atan(V(-kInf)), Rad2Deg(std::atan(V(-kInf)))},
      {L"sinh", 30, std::sinh(V(30.0)), std::sinh(V(30.0))},
      {L"sinh", 1000, kInf, kInf},
      {L"cosh", 2, std::cosh(V(2.0)), std::cosh(V(2.0))},
      {L"tanh", 0.5, std::tanh(V(0.5)), std::tanh(V(0.5))},
      {L"asinh", 3, std::asinh(V(3.0)), std::asinh(V(3.0))},
      {L"acosh", 2, std::acosh(V(2.0)), std::acosh(V(2.0))},
      {L"acosh", 0.5, kNaN, kNaN},
      {L"atanh", 0.5, std::atanh(V(0.5)), std::atanh(V(0.5))},
      {L"atanh", 1, kInf, kInf},
      {L"atanh", -1, -kInf, -kInf},
      {L"atanh", 2, kNaN, kNaN},
      {L"sqrt", 2, std::sqrt(V(2.0)), std::sqrt(V(2.0))},
      {L"sqrt", -0.0, -0.0, -0.0},
      {L"sqrt", kNaN, kNaN, kNaN},
      {L"cbrt", -8, -2.0, -2.0},
      {L"cbrt", 2, std::cbrt(V(2.0)), std::cbrt(V(2.0))},
      {L"lg", 1000, 3.0, 3.0},
      {L"lg", 2, std::log10(V(2.0)), std::log10(V(2.0))},
      {L"ln", 10, std::log(V(10.0)), std::log(V(10.0))},
      {L"ln", kNaN, kNaN, kNaN},
      {L"exp", 1, std::exp(V(1.0)), std::exp(V(1.0))},
      {L"exp", 1000, kInf, kInf},
      {L"abs", -0.0, 0.0, 0.0},
      {L"abs", -2.5, 2.5, 2.5},
  };
  for (const FunctionCase& c : cases) {
    {
      AngleMode mode(true);
      ExpectSame(ApplyFunction(c.name, c.x), c.radians, "radians");
    }
    AngleMode mode(false);
    ExpectSame(ApplyFunction(c.name, c.x), c.degrees, "degrees");
  }
}

TEST(ApplyFunction, DegreeResultsAreNotSnapped) {
  AngleMode mode(false);
  // The library's values, not cleaned toward 0.5, 0, 1 or 30.
  EXPECT_NE(*ApplyFunction(L"sin", 180), 0.0);
  EXPECT_NE(*ApplyFunction(L"cos", 90), 0.0);
  EXPECT_TRUE(std::isfinite(*ApplyFunction(L"tan", 90)));
  EXPECT_GT(std::fabs(*ApplyFunction(L"tan", 90)), 1e15);
}

TEST(ApplyFunction, RejectsOnlyTheThreeDomainErrors) {
  const std::pair<const wchar_t*, double> rejected[] = {
      {L"sqrt", -4}, {L"sqrt", -kInf}, {L"lg", 0}, {L"lg", -0.0}, {L"lg", -1},
      {L"ln", -1},   {L"ln", 0},       {L"ln", -kInf},
  };
  for (const auto& [name, x] : rejected) {
    for (bool radians : {true, false}) {
      AngleMode mode(radians);
      EXPECT_FALSE(ApplyFunction(name, x).has_value()) << name << " " << x;
    }
  }
  EXPECT_FALSE(ApplyFunction(L"log", 2).has_value());
  EXPECT_FALSE(ApplyFunction(L"SIN", 2).has_value());
}

TEST(ApplyFunction, AngleModeIsReadAtEachEvaluation) {
  AngleMode mode(true);
  const std::wstring radians = EvaluateText(L"sin(90)");
  g_radians = false;
  EXPECT_EQ(EvaluateText(L"sin(90)"), L"1");
  EXPECT_NE(radians, L"1");
  EXPECT_EQ(radians, FormatResult(std::sin(V(90.0))));
}

}  // namespace
