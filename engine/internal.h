// Pieces shared by the tokenizer, the conversion and the evaluator. Not part of the
// engine's public surface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace engine_internal {

// Character classes by fixed rules rather than the C library's, whose answers change
// with the process locale and the platform (Windows counts "²" as a digit).
constexpr bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
constexpr bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
// ASCII white space and the Unicode space separators, so a pasted no-break space separates too.
constexpr bool IsSpace(wchar_t c) {
  if (c <= L' ') return c == L' ' || (c >= L'\t' && c <= L'\r');
  if (c < 0x00A0) return false;  // the common case leaves after two comparisons
  return c == 0x00A0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
         c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

// Reads the token that starts at or after pos and moves pos past it; false at the end.
// On UTF-8 bytes the Unicode space separators, two or three bytes long, separate too, and
// any other byte outside ASCII is a token of its own: as any character outside ASCII,
// nothing reads it, so bytes that are no UTF-8 fail as their text would.
bool NextToken(std::wstring_view text, std::size_t& pos, std::wstring_view& token);
bool NextToken(std::string_view text, std::size_t& pos, std::string_view& token);

enum class Op : std::uint8_t {
  kAdd, kSubtract, kMultiply, kDivide, kRemainder, kPower, kFactorial, kNegate,
  kLeftParen, kFunction
};

struct OperatorInfo {
  std::wstring_view spelling;
  Op op;
  int precedence;
  // An incoming right-associative operator leaves a stacked one of equal precedence.
  bool rightAssociative;
};

// The one table of operator spelling, precedence and associativity.
inline constexpr OperatorInfo kOperators[] = {
    {L"+", Op::kAdd, 1, false},
    {L"-", Op::kSubtract, 1, false},
    {L"*", Op::kMultiply, 2, false},
    {L"/", Op::kDivide, 2, false},
    {L"%", Op::kRemainder, 2, false},
    // Binds tighter than * and /, and 2^3^2 is 2^(3^2).
    {L"^", Op::kPower, 3, true},
    // A postfix operator binds tighter than ^, so 2^3! is 2^(3!).
    {L"!", Op::kFactorial, 4, true},
    // Unary minus binds tighter than ^, so -2^2 is 4.
    {L"u-", Op::kNegate, 5, true},
};

const OperatorInfo* FindOperator(std::wstring_view spelling);
const OperatorInfo* FindOperator(std::string_view spelling);
const OperatorInfo& InfoOf(Op op);

inline constexpr int kFunctionCount = 18;
// Index of a function name, or -1.
int FunctionIndex(std::wstring_view name);
int FunctionIndex(std::string_view name);
std::wstring_view FunctionName(int index);
std::optional<double> ApplyFunctionAt(int index, double x);

// One entry of the conversion's operator stack, or one operator of the postfix output.
struct PostfixOp {
  Op op;
  std::uint8_t function;  // index of the function when op is kFunction
};

// The stack machine of the evaluator, fed one postfix item at a time.
struct ValueStack {
  std::vector<double> values;

  bool Number(std::wstring_view text);
  bool Number(std::string_view text);  // UTF-8
  bool Operator(PostfixOp op);
  // The single value left, or nothing when the sequence was empty or unbalanced.
  std::optional<double> Result() const;
};

// ReadNumber on UTF-8 bytes.
bool ReadUtf8Number(std::string_view text, double& value);

}  // namespace engine_internal
