#include <algorithm>
#include <cmath>
#include <cstddef>

#include "engine/engine.h"
#include "engine/internal.h"

bool g_radians = true;

namespace engine_internal {
namespace {

constexpr double kPi = 3.141592653589793;

// In this order, product first: (x * pi) / 180, not x * (pi / 180).
double ToRadians(double x) {
  if (g_radians) return x;
  const double product = x * kPi;
  return product / 180.0;
}

double FromRadians(double r) {
  if (g_radians) return r;
  const double product = r * 180.0;
  return product / kPi;
}

enum class Check { kNone, kNegative, kNotPositive };

struct FunctionDef {
  std::wstring_view name;
  Check rejects;
  double (*apply)(double);
};

// In the order names are tested; the lambdas keep each call to the double overload.
constexpr FunctionDef kFunctions[kFunctionCount] = {
    {L"sin", Check::kNone, [](double x) { return std::sin(ToRadians(x)); }},
    {L"cos", Check::kNone, [](double x) { return std::cos(ToRadians(x)); }},
    {L"tan", Check::kNone, [](double x) { return std::tan(ToRadians(x)); }},
    {L"asin", Check::kNone, [](double x) { return FromRadians(std::asin(x)); }},
    {L"acos", Check::kNone, [](double x) { return FromRadians(std::acos(x)); }},
    {L"atan", Check::kNone, [](double x) { return FromRadians(std::atan(x)); }},
    {L"sinh", Check::kNone, [](double x) { return std::sinh(x); }},
    {L"cosh", Check::kNone, [](double x) { return std::cosh(x); }},
    {L"tanh", Check::kNone, [](double x) { return std::tanh(x); }},
    {L"asinh", Check::kNone, [](double x) { return std::asinh(x); }},
    {L"acosh", Check::kNone, [](double x) { return std::acosh(x); }},
    {L"atanh", Check::kNone, [](double x) { return std::atanh(x); }},
    {L"sqrt", Check::kNegative, [](double x) { return std::sqrt(x); }},
    {L"cbrt", Check::kNone, [](double x) { return std::cbrt(x); }},
    {L"lg", Check::kNotPositive, [](double x) { return std::log10(x); }},
    {L"ln", Check::kNotPositive, [](double x) { return std::log(x); }},
    {L"exp", Check::kNone, [](double x) { return std::exp(x); }},
    {L"abs", Check::kNone, [](double x) { return std::fabs(x); }},
};

// Most tokens are rejected by length alone, before any comparison. The tokenizer hands
// over letter runs only, and the conversion never looks up a single letter ("e").
constexpr std::size_t kShortestName = 2;
constexpr std::size_t kLongestName = 5;

constexpr bool NamesFitTheLookup() {
  for (const FunctionDef& f : kFunctions) {
    if (f.name.size() < kShortestName || f.name.size() > kLongestName) return false;
    for (wchar_t c : f.name) {
      if (!IsLetter(c)) return false;
    }
  }
  return true;
}
static_assert(NamesFitTheLookup(), "a function name FunctionIndex would never find");

template <class Char>
int FunctionIndexOf(std::basic_string_view<Char> name) {
  if (name.size() < kShortestName || name.size() > kLongestName) return -1;
  for (int i = 0; i < kFunctionCount; ++i) {
    const std::wstring_view candidate = kFunctions[i].name;
    if (candidate.size() == name.size() && std::equal(candidate.begin(), candidate.end(), name.begin())) {
      return i;
    }
  }
  return -1;
}

}  // namespace

int FunctionIndex(std::wstring_view name) { return FunctionIndexOf(name); }
int FunctionIndex(std::string_view name) { return FunctionIndexOf(name); }

std::wstring_view FunctionName(int index) { return kFunctions[index].name; }

std::optional<double> ApplyFunctionAt(int index, double x) {
  const FunctionDef& f = kFunctions[index];
  // Ordered comparisons: NaN passes both checks, and sqrt(-0) is -0.
  if (f.rejects == Check::kNegative && x < 0.0) return std::nullopt;
  if (f.rejects == Check::kNotPositive && x <= 0.0) return std::nullopt;
  return f.apply(x);
}

}  // namespace engine_internal

std::optional<double> ApplyFunction(std::wstring_view name, double x) {
  const int index = engine_internal::FunctionIndex(name);
  if (index < 0) return std::nullopt;
  return engine_internal::ApplyFunctionAt(index, x);
}
