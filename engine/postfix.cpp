#include "engine/postfix.h"

#include "engine/engine.h"

using namespace engine_internal;

namespace {

struct TokenListSink {
  TokenList& out;
  bool Number(std::wstring_view text) {
    out.emplace_back(text);
    return true;
  }
  bool Operator(PostfixOp op) {
    out.emplace_back(op.op == Op::kFunction ? FunctionName(op.function) : InfoOf(op.op).spelling);
    return true;
  }
};

}  // namespace

TokenList ToPostfix(const TokenList& tokens, bool& ok) {
  TokenList postfix;
  TokenListSink sink{postfix};
  std::size_t k = 0;
  auto next = [&](std::wstring_view& t) {
    if (k == tokens.size()) return false;
    t = tokens[k++];
    return true;
  };
  ok = ConvertToPostfix(next, sink);
  if (!ok) postfix.clear();
  return postfix;
}

int OperatorPrecedence(std::wstring_view token) {
  const OperatorInfo* info = FindOperator(token);
  return info != nullptr ? info->precedence : 0;
}

bool IsFunctionName(std::wstring_view token) { return FunctionIndex(token) >= 0; }
