#include <array>
#include <cmath>

#include "engine/engine.h"
#include "engine/internal.h"

namespace engine_internal {
namespace {

constexpr int kLargestFactorial = 170;  // 171! is beyond the largest double

// n! as 1 * 2 * ... * n in ascending order, each product rounded to double.
constexpr std::array<double, kLargestFactorial + 1> MakeFactorials() {
  std::array<double, kLargestFactorial + 1> table{};
  double product = 1.0;
  table[0] = 1.0;
  for (int n = 1; n <= kLargestFactorial; ++n) {
    if (n > 1) product *= n;
    table[n] = product;
  }
  return table;
}

constexpr auto kFactorials = MakeFactorials();

std::optional<double> Factorial(double x) {
  // -0 passes (it is not below 0); NaN fails the integer test.
  if (x < 0.0 || x != std::floor(x) || x > kLargestFactorial) return std::nullopt;
  return kFactorials[static_cast<std::size_t>(x)];
}

std::optional<double> Binary(Op op, double a, double b) {
  switch (op) {
    case Op::kAdd: return a + b;
    case Op::kSubtract: return a - b;
    case Op::kMultiply: return a * b;
    case Op::kDivide:
      if (b == 0.0) return std::nullopt;  // also -0; a NaN divisor goes through
      return a / b;
    case Op::kRemainder: return std::fmod(a, b);  // b = 0 gives NaN, shown as an error later
    case Op::kPower: return std::pow(a, b);
    default: return std::nullopt;
  }
}

bool Read(std::wstring_view text, double& value) { return ReadNumber(text, value); }
bool Read(std::string_view text, double& value) { return ReadUtf8Number(text, value); }

template <class Char>
bool PushNumber(std::vector<double>& values, std::basic_string_view<Char> text) {
  double value = 0.0;
  // Most tokens are short integers, exact in a double; the rest take the full conversion.
  std::uint64_t integer = 0;
  bool plainInteger = !text.empty() && text.size() <= 15;
  for (std::size_t i = 0; plainInteger && i < text.size(); ++i) {
    if (IsDigit(text[i])) integer = integer * 10 + static_cast<std::uint64_t>(text[i] - '0');
    else plainInteger = false;
  }
  if (plainInteger) {
    values.push_back(static_cast<double>(integer));
    return true;
  }
  if (!Read(text, value)) return false;
  values.push_back(value);
  return true;
}

}  // namespace

bool ValueStack::Number(std::wstring_view text) { return PushNumber(values, text); }

bool ValueStack::Number(std::string_view text) { return PushNumber(values, text); }

bool ValueStack::Operator(PostfixOp item) {
  if (values.empty()) return false;
  double& top = values.back();
  std::optional<double> result;
  switch (item.op) {
    case Op::kNegate: top = -top; return true;
    case Op::kFactorial: result = Factorial(top); break;
    case Op::kFunction: result = ApplyFunctionAt(item.function, top); break;
    case Op::kLeftParen: return false;
    default: {
      // "4 +" fails even if a later token would have supplied the other operand.
      if (values.size() < 2) return false;
      const double b = values.back();
      values.pop_back();
      result = Binary(item.op, values.back(), b);
      if (!result) return false;
      values.back() = *result;
      return true;
    }
  }
  if (!result) return false;
  top = *result;
  return true;
}

std::optional<double> ValueStack::Result() const {
  if (values.size() != 1) return std::nullopt;
  return values.front();
}

}  // namespace engine_internal

using namespace engine_internal;

double EvaluatePostfix(const TokenList& postfix, bool& ok) {
  ok = false;
  ValueStack stack;
  for (const std::wstring& token : postfix) {
    // Classified again from the spelling alone: an operator of kOperators ("u-" included),
    // then a function name, and whatever is left must read as a number.
    bool stepOk = false;
    if (const OperatorInfo* info = FindOperator(token)) {
      stepOk = stack.Operator({info->op, 0});
    } else if (const int f = FunctionIndex(token); f >= 0) {
      stepOk = stack.Operator({Op::kFunction, static_cast<std::uint8_t>(f)});
    } else {
      stepOk = stack.Number(token);
    }
    if (!stepOk) return 0.0;
  }
  const std::optional<double> result = stack.Result();
  if (!result) return 0.0;
  ok = true;
  return *result;
}
