// The expression engine: text -> tokens -> postfix -> double -> display text.
// Pure functions on wide strings, and "=" on UTF-8 bytes too; the only program-wide state
// it reads is the angle mode.
//
// "=" (the calculator's Calculate and vorlane-eval alike) takes one route: EqualsLeavesAlone,
// then EvaluateText (EvaluateUtf8 on bytes), which streams tokens through the conversion
// into the evaluator and never holds a token list. Tokenize, ToPostfix and EvaluatePostfix
// are the same rules with lists between the steps, for tests and for the fuzzer, which
// checks that both routes agree; OperatorPrecedence and IsFunctionName answer questions
// about the syntax.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

using TokenList = std::vector<std::wstring>;

// Angle mode of the trigonometric functions: true for radians, false for degrees.
extern bool g_radians;

inline constexpr std::wstring_view kErrorText = L"错误";
inline constexpr std::wstring_view kInfinityText = L"无穷大";

// Splits an expression text into number, identifier and one-character tokens.
// Never fails: every character ends up in a token or is skipped as white space.
TokenList Tokenize(std::wstring_view text);

// Reorders tokens into evaluation (postfix) order, marking prefix minus as "u-" and
// spelling out the constants. On a token no rule accepts or unbalanced parentheses,
// sets ok to false and returns an empty list.
TokenList ToPostfix(const TokenList& tokens, bool& ok);

// Binding strength of an operator token: 1 to 5, or 0 for anything else.
int OperatorPrecedence(std::wstring_view token);

// True exactly for the 18 function names, compared case-sensitively.
bool IsFunctionName(std::wstring_view token);

// Runs a postfix list on a stack of doubles. On failure (operand count, division by
// zero, domain errors, unreadable numbers) sets ok to false and returns 0.0;
// NaN and infinity are successes.
double EvaluatePostfix(const TokenList& postfix, bool& ok);

// Applies one of the 18 functions, converting angles by g_radians.
// Empty for the operands the calculator rejects: sqrt below 0, lg and ln at or below 0.
std::optional<double> ApplyFunction(std::wstring_view name, double x);

// Reads the longest numeric prefix of text as the C library's wcstod would in the "C"
// locale, whatever the process locale. Fails when no character converts, or when the
// number overflows or is nonzero below the smallest normal double.
bool ReadNumber(std::wstring_view text, double& value);

// The display text of an evaluated value: "错误" for NaN, "无穷大" for either infinity,
// all digits of an integer below 1e15, otherwise %.12g in the "C" locale.
std::wstring FormatResult(double value);

// printf's %.<precision>g in the "C" locale; infinities read "inf" and "-inf".
std::wstring FormatGeneral(double value, int precision);

// True for the texts "=" leaves as they stand, without evaluating or marking a result:
// the start text "0", and the empty text that the sign key can leave.
bool EqualsLeavesAlone(std::wstring_view text);
bool EqualsLeavesAlone(std::string_view utf8);

// What "=" makes of an expression text: closes open parentheses, evaluates, and gives
// the display text (a number, "错误" or "无穷大"). Runs in time and memory linear in the
// text, without recursion; running out of memory gives "错误".
std::wstring EvaluateText(std::wstring_view text);
// The same read straight from UTF-8 bytes, which are never held as wide text: EvaluateText
// of the text they encode, and "错误" for bytes that are no UTF-8.
std::wstring EvaluateUtf8(std::string_view utf8);
