#include <iterator>

#include "engine/engine.h"
#include "engine/internal.h"

namespace engine_internal {

namespace {

std::size_t SpaceLength(std::wstring_view text, std::size_t pos) { return IsSpace(text[pos]) ? 1 : 0; }

// The space separators IsSpace names, as UTF-8: U+00A0, U+1680, U+2000 to U+200A, U+2028,
// U+2029, U+202F, U+205F and U+3000.
std::size_t SpaceLength(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t i) {
    return pos + i < text.size() ? static_cast<unsigned char>(text[pos + i]) : 0u;
  };
  const unsigned lead = byte(0);
  if (lead < 0x80) return IsSpace(static_cast<wchar_t>(lead)) ? 1 : 0;
  if (lead == 0xC2) return byte(1) == 0xA0 ? 2 : 0;
  const unsigned second = byte(1);
  const unsigned third = byte(2);
  if (lead == 0xE2 && second == 0x80) {
    return (third >= 0x80 && third <= 0x8A) || third == 0xA8 || third == 0xA9 || third == 0xAF ? 3 : 0;
  }
  const bool space = (lead == 0xE1 && second == 0x9A && third == 0x80) ||
                     (lead == 0xE2 && second == 0x81 && third == 0x9F) ||
                     (lead == 0xE3 && second == 0x80 && third == 0x80);
  return space ? 3 : 0;
}

template <class Char>
bool NextTokenOf(std::basic_string_view<Char> text, std::size_t& pos,
                 std::basic_string_view<Char>& token) {
  const std::size_t n = text.size();
  // "1 2" is two tokens: white space only separates.
  while (pos < n) {
    const std::size_t space = SpaceLength(text, pos);
    if (space == 0) break;
    pos += space;
  }
  if (pos == n) return false;

  const std::size_t start = pos;
  const Char c = text[pos];
  if (IsDigit(c) || c == '.') {
    // 12.5, 1.2.3 and "." alike: the shape is the evaluator's business.
    while (pos < n && (IsDigit(text[pos]) || text[pos] == '.')) ++pos;
    // 1e5, 2E+3, and also 2e and 2e- with no digits after the marker.
    if (pos < n && (text[pos] == 'e' || text[pos] == 'E')) {
      ++pos;
      if (pos < n && (text[pos] == '+' || text[pos] == '-')) ++pos;
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

template <class Char>
const OperatorInfo* FindOperatorOf(std::basic_string_view<Char> spelling) {
  // On the hot path of every token: decide by length and first character, no string compare.
  if (spelling.size() == 1) {
    for (const OperatorInfo& info : kOperators) {
      if (info.spelling.size() == 1 && info.spelling[0] == spelling[0]) return &info;
    }
    return nullptr;
  }
  if (spelling.size() == 2 && spelling[0] == 'u' && spelling[1] == '-') return &InfoOf(Op::kNegate);
  return nullptr;
}

}  // namespace

bool NextToken(std::wstring_view text, std::size_t& pos, std::wstring_view& token) {
  return NextTokenOf(text, pos, token);
}

bool NextToken(std::string_view text, std::size_t& pos, std::string_view& token) {
  return NextTokenOf(text, pos, token);
}

const OperatorInfo* FindOperator(std::wstring_view spelling) { return FindOperatorOf(spelling); }
const OperatorInfo* FindOperator(std::string_view spelling) { return FindOperatorOf(spelling); }

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
