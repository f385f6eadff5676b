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

// Shunting-yard over a stream of tokens. next(token) gives the next token, false at the
// end; sink.Number(text) and sink.Operator(op) receive the postfix sequence and return
// false to stop. Iterative: nesting depth costs stack entries, never call depth.
template <class Next, class Sink>
bool ConvertToPostfix(Next&& next, Sink& sink) {
  std::vector<PostfixOp> stack;
  bool minusIsUnary = true;  // at the first token, and after "(" or an infix operator
  std::wstring_view t;
  while (next(t)) {
    const bool wasUnaryPosition = minusIsUnary;
    minusIsUnary = false;
    const wchar_t first = t.empty() ? L'\0' : t.front();
    const bool single = t.size() == 1;
    if (IsDigit(first) || first == L'.') {  // 12.5, .5, 1.2.3, 2e-
      if (!sink.Number(t)) return false;
    } else if (t.size() == 2 && first == L'p' && t[1] == L'i') {
      if (!sink.Number(kPiSpelling)) return false;
    } else if (single && first == L'e') {
      if (!sink.Number(kESpelling)) return false;
    } else if (const int f = single ? -1 : FunctionIndex(t); f >= 0) {  // sin: waits for its ")"
      stack.push_back({Op::kFunction, static_cast<std::uint8_t>(f)});
    } else if (single && first == L'-' && wasUnaryPosition) {  // -3, 2^-2, (-3
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
    } else if (single && first == L'(') {
      stack.push_back({Op::kLeftParen, 0});
      minusIsUnary = true;
    } else if (single && first == L')') {  // 1+2) fails: no "(" to close
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
