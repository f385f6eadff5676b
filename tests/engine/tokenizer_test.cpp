#include <gtest/gtest.h>

#include "engine/engine.h"
#include "test_util.h"

namespace {

struct TokenizeCase {
  const wchar_t* text;
  const wchar_t* tokens;  // joined by blanks
};

TEST(Tokenize, SplitsNumbersNamesAndSymbols) {
  const TokenizeCase cases[] = {
      {L"", L""},
      {L"   \t ", L""},
      {L"12.5+3", L"12.5 + 3"},
      {L"1 2", L"1 2"},
      {L"1.2.3", L"1.2.3"},
      {L".", L"."},
      {L"2e", L"2e"},
      {L"2E+", L"2E+"},
      {L"2e-", L"2e-"},
      {L"1e-5", L"1e-5"},
      {L"1e5.5", L"1e5 .5"},
      {L"2exp(1)", L"2e xp ( 1 )"},
      {L"2ex", L"2e x"},
      {L"sin 30", L"sin 30"},
      {L"sin30+1", L"sin 30 + 1"},
      {L"2pi", L"2 pi"},
      {L"-3", L"- 3"},
      {L"3!-2", L"3 ! - 2"},
      {L"a1b", L"a 1 b"},
      {L"2×3÷4", L"2 × 3 ÷ 4"},
      {L"√π,", L"√ π ,"},
      {L"2\u00a0+\u30003", L"2 + 3"},  // pasted no-break and ideographic spaces separate
      {L"١٢", L"١ ٢"},                 // only ASCII digits make numbers, on every platform
      {L"2²", L"2 ²"},
  };
  for (const TokenizeCase& c : cases) {
    EXPECT_EQ(Join(Tokenize(c.text)), c.tokens) << c.text;
  }
}

TEST(Tokenize, TokensAreNeverEmptyNorHoldWhiteSpace) {
  for (const std::wstring& t : Tokenize(L" 1e+ \t( sin\n) 2.5e3x !% ")) {
    EXPECT_FALSE(t.empty());
    EXPECT_EQ(t.find_first_of(L" \t\n"), std::wstring::npos) << t;
  }
}

struct PostfixCase {
  const wchar_t* text;
  const wchar_t* postfix;  // nullptr: the conversion fails
};

TEST(ToPostfix, OrdersByPrecedenceAndAssociativity) {
  const PostfixCase cases[] = {
      {L"1+2*3", L"1 2 3 * +"},
      {L"8/4/2", L"8 4 / 2 /"},
      {L"8-4+2", L"8 4 - 2 +"},
      {L"7%3*2", L"7 3 % 2 *"},
      {L"2^3^2", L"2 3 2 ^ ^"},
      {L"-2^2", L"2 u- 2 ^"},
      {L"2^-2", L"2 2 u- ^"},
      {L"3--2", L"3 2 u- -"},
      {L"--3", L"3 u- u-"},
      {L"2*3!", L"2 3 ! *"},
      {L"3!-2", L"3 ! 2 -"},
      {L"3!!", L"3 ! !"},
      {L"2^3!", L"2 3 ! ^"},
      {L"sin(30)+1", L"30 sin 1 +"},
      {L"sin30+1", L"30 1 + sin"},
      {L"sin 30", L"30 sin"},
      {L"sin-1", L"1 - sin"},
      {L"2*pi", L"2 3.14159265358979323846 *"},
      {L"e", L"2.71828182845904523536"},
      {L"2pi", L"2 3.14159265358979323846"},
      {L"(1+2)*3", L"1 2 + 3 *"},
      {L"-3", L"3 u-"},
      {L" -3", L"3 u-"},
      {L"(-3)", L"3 u-"},
      {L"()", L""},
      {L"sin()", L"sin"},
      {L"", L""},
      {L"+3", L"3 +"},
      {L"sqrt(abs(-4))", L"4 u- abs sqrt"},
      {L"1.2.3", L"1.2.3"},
      // Failures: unknown names and symbols, unbalanced parentheses.
      {L"x", nullptr},
      {L"PI", nullptr},
      {L"E", nullptr},
      {L"Sin(1)", nullptr},
      {L"2exp(1)", nullptr},
      {L"π", nullptr},
      {L"2×3", nullptr},
      {L"2÷3", nullptr},
      {L"√4", nullptr},
      {L"1,5", nullptr},
      {L"1+2)", nullptr},
      {L")(", nullptr},
      {L"(1+2", nullptr},
      {L"((2)", nullptr},
  };
  for (const PostfixCase& c : cases) {
    bool ok = false;
    const TokenList postfix = ToPostfix(Tokenize(c.text), ok);
    if (c.postfix == nullptr) {
      EXPECT_FALSE(ok) << c.text;
      EXPECT_TRUE(postfix.empty()) << c.text;
    } else {
      EXPECT_TRUE(ok) << c.text;
      EXPECT_EQ(Join(postfix), c.postfix) << c.text;
    }
  }
}

TEST(ToPostfix, RejectsTokensThatOnlyItsOwnOutputUses) {
  // "u-" and the expanded constants are output spellings; as input "u-" is no operator.
  bool ok = true;
  ToPostfix({L"u-", L"3"}, ok);
  EXPECT_FALSE(ok);
  ToPostfix({L""}, ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(Join(ToPostfix({L"3.14159265358979323846"}, ok)), L"3.14159265358979323846");
  EXPECT_TRUE(ok);
}

TEST(ToPostfix, UnaryMinusDependsOnThePreviousToken) {
  // After a number, a constant, ")", "!" or a function name "-" is binary.
  const std::pair<TokenList, const wchar_t*> binaryAfter[] = {
      {{L"2", L"-", L"1"}, L"2 1 -"},
      {{L"pi", L"-", L"1"}, L"3.14159265358979323846 1 -"},
      {{L"e", L"-", L"1"}, L"2.71828182845904523536 1 -"},
      {{L"(", L"2", L")", L"-", L"1"}, L"2 1 -"},
      {{L"2", L"!", L"-", L"1"}, L"2 ! 1 -"},
      {{L"sin", L"-", L"1"}, L"1 - sin"},
  };
  for (const auto& [tokens, expected] : binaryAfter) {
    bool ok = false;
    const TokenList postfix = ToPostfix(tokens, ok);
    EXPECT_TRUE(ok) << expected;
    EXPECT_EQ(Join(postfix), expected);
  }
  const wchar_t* unaryAfter[] = {L"(", L"+", L"-", L"*", L"/", L"^", L"%"};
  for (const wchar_t* previous : unaryAfter) {
    bool ok = false;
    TokenList tokens{L"2", previous, L"-", L"1"};
    if (tokens[1] == L"(") tokens.push_back(L")");
    const TokenList postfix = ToPostfix(tokens, ok);
    EXPECT_TRUE(ok) << previous;
    EXPECT_NE(Join(postfix).find(L"u-"), std::wstring::npos) << previous;
  }
}

TEST(OperatorPrecedence, GivesTheBindingStrength) {
  const std::pair<const wchar_t*, int> cases[] = {
      {L"+", 1}, {L"-", 1}, {L"*", 2}, {L"/", 2}, {L"%", 2}, {L"^", 3}, {L"!", 4}, {L"u-", 5},
      {L"(", 0}, {L")", 0}, {L"sin", 0}, {L"2", 0}, {L"", 0}, {L"++", 0}, {L"u", 0}, {L"×", 0},
  };
  for (const auto& [token, precedence] : cases) {
    EXPECT_EQ(OperatorPrecedence(token), precedence) << token;
  }
}

TEST(IsFunctionName, KnowsExactlyTheEighteenNames) {
  const wchar_t* names[] = {L"sin", L"cos", L"tan", L"asin", L"acos", L"atan",
                            L"sinh", L"cosh", L"tanh", L"asinh", L"acosh", L"atanh",
                            L"sqrt", L"cbrt", L"lg", L"ln", L"exp", L"abs"};
  for (const wchar_t* name : names) EXPECT_TRUE(IsFunctionName(name)) << name;
  const wchar_t* others[] = {L"Sin", L"SIN", L"sinus", L"si", L"log", L"pi", L"e", L"",
                             L"sin(", L"asinhh", L"l", L"u-"};
  for (const wchar_t* other : others) EXPECT_FALSE(IsFunctionName(other)) << other;
}

}  // namespace
