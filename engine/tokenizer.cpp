#include <iterator>

#include "engine/engine.h"
#include "engine/internal.h"

namespace engine_internal {

bool NextToken(std::wstring_view text, std::size_t& pos, std::wstring_view& token) {
  const std::size_t n = text.size();
  // "1 2" is two tokens: white space only separates.
  while (pos < n && IsSpace(text[pos])) ++pos;
  if (pos == n) return false;

  const std::size_t start = pos;
  const wchar_t c = text[pos];
  if (IsDigit(c) || c == L'.') {
    // 12.5, 1.2.3 and "." alike: the shape is the evaluator's business.
    while (pos < n && (IsDigit(text[pos]) || text[pos] == L'.')) ++pos;
    // 1e5, 2E+3, and also 2e and 2e- with no digits after the marker.
    if (pos < n && (text[pos] == L'e' || text[pos] == L'E')) {
      ++pos;
      if (pos < n && (text[pos] == L'+' || text[pos] == L'-')) ++pos;
      while (pos < n && IsDigit(text[pos])) ++pos;
    }
  } else if (IsLetter(c)) {
    // sin, pi, xp: digits and symbols end a name, so sin30 is sin and 30.
    while (pos < n && IsLetter(text[pos])) ++pos;
  } else {
    // + ( ) ! and anything else, one character each.
    ++pos;
  }
  token = text.substr(start, pos - start);
  return true;
}

const OperatorInfo* FindOperator(std::wstring_view spelling) {
  // On the hot path of every token: decide by length and first character, no string compare.
  if (spelling.size() == 1) {
    for (const OperatorInfo& info : kOperators) {
      if (info.spelling.size() == 1 && info.spelling[0] == spelling[0]) return &info;
    }
    return nullptr;
  }
  if (spelling.size() == 2 && spelling[0] == L'u' && spelling[1] == L'-') return &InfoOf(Op::kNegate);
  return nullptr;
}

// The table lists the operators in the order of Op.
static_assert([] {
  for (std::size_t i = 0; i < std::size(kOperators); ++i) {
    if (static_cast<std::size_t>(kOperators[i].op) != i) return false;
  }
  return true;
}());

const OperatorInfo& InfoOf(Op op) { return kOperators[static_cast<std::size_t>(op)]; }

}  // namespace engine_internal

using namespace engine_internal;

TokenList Tokenize(std::wstring_view text) {
  TokenList tokens;
  std::size_t pos = 0;
  std::wstring_view token;
  while (NextToken(text, pos, token)) tokens.emplace_back(token);
  return tokens;
}
