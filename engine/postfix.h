// The infix-to-postfix conversion (shunting-yard), written once for both routes of the
// engine: EvaluateText streams tokens through it into the evaluator, ToPostfix collects
// its output in a list.
#pragma once

#include <string_view>
#include <vector>

#include "engine/internal.h"

namespace engine_internal {

inline constexpr std::wstring_view kPiSpelling = L"3.14159265358979323846";
inline constexpr std::wstring_view kESpelling = L"2.71828182845904523536";

// The spellings as the tokens of a text of Char are spelled.
template <class Char>
constexpr std::basic_string_view<Char> PiSpelling() {
  if constexpr (sizeof(Char) == 1) return "3.14159265358979323846";
  else return kPiSpelling;
}
template <class Char>
constexpr std::basic_string_view<Char> ESpelling() {
  if constexpr (sizeof(Char) == 1) return "2.71828182845904523536";
  else return kESpelling;
}

// Shunting-yard over a stream of tokens of wide text (Char wchar_t) or UTF-8 bytes (char).
// next(token) gives the next token, false at the end; sink.Number(text) and
// sink.Operator(op) receive the postfix sequence and return false to stop. Iterative:
// nesting depth costs stack entries, never call depth.
template <class Char = wchar_t, class Next, class Sink>
bool ConvertToPostfix(Next&& next, Sink& sink) {
  std::vector<PostfixOp> stack;
  bool minusIsUnary = true;  // at the first token, and after "(" or an infix operator
  std::basic_string_view<Char> t;
  while (next(t)) {
    const bool wasUnaryPosition = minusIsUnary;
    minusIsUnary = false;
    const Char first = t.empty() ? Char{} : t.front();
    const bool single = t.size() == 1;
    if (IsDigit(first) || first == '.') {  // 12.5, .5, 1.2.3, 2e-
      if (!sink.Number(t)) return false;
    } else if (t.size() == 2 && first == 'p' && t[1] == 'i') {
      if (!sink.Number(PiSpelling<Char>())) return false;
    } else if (single && first == 'e') {
      if (!sink.Number(ESpelling<Char>())) return false;
    } else if (const int f = single ? -1 : FunctionIndex(t); f >= 0) {  // sin: waits for its ")"
      stack.push_back({Op::kFunction, static_cast<std::uint8_t>(f)});
    } else if (single && first == '-' && wasUnaryPosition) {  // -3, 2^-2, (-3
      stack.push_back({Op::kNegate, 0});
      minusIsUnary = true;
    } else if (const OperatorInfo* in = FindOperator(t); in != nullptr && in->op != Op::kNegate) {
      while (!stack.empty() && stack.back().op != Op::kLeftParen) {
        const PostfixOp top = stack.back();
        const int p = top.op == Op::kFunction ? 0 : InfoOf(top.op).precedence;
        if (p > in->precedence || (p == in->precedence && !in->rightAssociative)) {
          stack.pop_back();
          if (!sink.Operator(top)) return false;
        } else {
          break;
        }
      }
      stack.push_back({in->op, 0});
      minusIsUnary = in->op != Op::kFactorial;
    } else if (single && first == '(') {
      stack.push_back({Op::kLeftParen, 0});
      minusIsUnary = true;
    } else if (single && first == ')') {  // 1+2) fails: no "(" to close
      while (!stack.empty() && stack.back().op != Op::kLeftParen) {
        const PostfixOp top = stack.back();
        stack.pop_back();
        if (!sink.Operator(top)) return false;
      }
      if (stack.empty()) return false;
      stack.pop_back();
      if (!stack.empty() && stack.back().op == Op::kFunction) {
        const PostfixOp top = stack.back();
        stack.pop_back();
        if (!sink.Operator(top)) return false;
      }
    } else {  // x, PI, π, ×: nothing reads them
      return false;
    }
  }
  while (!stack.empty()) {
    const PostfixOp top = stack.back();
    stack.pop_back();
    if (top.op == Op::kLeftParen) return false;
    if (!sink.Operator(top)) return false;
  }
  return true;
}

}  // namespace engine_internal
