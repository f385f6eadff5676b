#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/engine.h"
#include "engine/utf8.h"
#include "test_util.h"

namespace {

TEST(EvaluateText, OutcomesOfEquals) {
  const std::pair<const wchar_t*, std::wstring> cases[] = {
      {L"2+3", L"5"},
      {L"00", L"0"},
      {L"0.0", L"0"},
      {L"0.1+0.2", FormatResult(0.1 + 0.2)},
      {L"1/3", FormatResult(1.0 / 3)},
      {L"5-8", L"-3"},
      {L"-2.5", L"-2.5"},
      {L"-0", L"0"},
      {L"0*-1", L"0"},
      {L"-2^2", L"4"},
      {L"2^3^2", L"512"},
      {L"2*3!", L"12"},
      {L"sin30+1", FormatResult(std::sin(31.0))},
      {L"(1+2", L"3"},
      {L"((2", L"2"},
      {L"2*(3+4", L"14"},
      {L"sqrt(abs(-16", L"4"},
      {L"2^(1/3", FormatResult(std::pow(2.0, 1.0 / 3))},
      {L"(", L"错误"},
      {L"1+2)", L"错误"},
      {L")(", L"错误"},
      {L"1/0", L"错误"},
      {L"2%0", L"错误"},
      {L"10^400", L"无穷大"},
      {L"0-10^400", L"无穷大"},
      {L"2pi", L"错误"},
      {L"2e", L"2"},
      {L"2e3", L"2000"},
      {L"   ", L"错误"},
      {L"错误", L"错误"},
      {L"无穷大", L"错误"},
      {L"错误+", L"错误"},
      {L"1e+20", L"1e+20"},
      {L"-3", L"-3"},
      {L"2×3", L"错误"},
      {L"sqrt(-4)", L"错误"},
      {L"lg0", L"错误"},
      {L"asin(2)", L"错误"},
      {L"171!", L"错误"},
      {L"1e400", L"错误"},
      {L"2\u00a0+\u30003", L"5"},
      {L"\u2009(\u16801\u205f+\u200a2\u202f", L"3"},
      {L"1\u200b+2", L"错误"},  // a zero-width space is no white space
  };
  for (const auto& [text, outcome] : cases) {
    EXPECT_EQ(EvaluateText(text), outcome) << text;
    std::string utf8;
    AppendUtf8(std::wstring_view(text), utf8);
    EXPECT_EQ(EvaluateUtf8(utf8), outcome) << text;
  }
  // Bytes that are no UTF-8 fail wherever they stand, also where a space would be.
  for (const char* bytes : {"1+2\xC2", "1\xC2\xA1+2", "1\xE2\x80+2", "\xE3\x80\x80" "1+\x80", "2\xFF"}) {
    EXPECT_EQ(EvaluateUtf8(bytes), L"错误") << bytes;
  }
}

TEST(EvaluateText, ShownResultsEvaluateToThemselves) {
  const wchar_t* texts[] = {L"1/3", L"2/3", L"pi", L"e*1e20", L"-1/7", L"123456789012.25", L"1e-5"};
  for (const wchar_t* text : texts) {
    const std::wstring shown = EvaluateText(text);
    EXPECT_EQ(EvaluateText(shown), shown) << text;
  }
}

// Inputs far deeper or longer than anyone types: no recursion, no quadratic step.
TEST(EvaluateText, DeepAndLongInputs) {
  const std::size_t n = 1000000;
  EXPECT_EQ(EvaluateText(std::wstring(n, L'(') + L"7" + std::wstring(n, L')')), L"7");
  EXPECT_EQ(EvaluateText(std::wstring(n, L'(') + L"7"), L"7");  // closed automatically
  EXPECT_EQ(EvaluateText(std::wstring(n, L'-') + L"7"), L"7");
  EXPECT_EQ(EvaluateText(std::wstring(n + 1, L'-') + L"7"), L"-7");
  EXPECT_EQ(EvaluateText(L"1" + std::wstring(n, L'!')), L"1");
  EXPECT_EQ(EvaluateText(L"2" + std::wstring(n, L'!')), L"2");

  std::wstring functions;
  for (std::size_t i = 0; i < n; ++i) functions += L"abs(";
  EXPECT_EQ(EvaluateText(functions + L"-3"), L"3");
  std::wstring bare;
  for (std::size_t i = 0; i < 100000; ++i) bare += L"sqrt ";
  EXPECT_EQ(EvaluateText(bare + L"1"), L"1");

  std::wstring chain = L"1";
  while (chain.size() < 10'000'000) chain += L"+1";
  EXPECT_EQ(EvaluateText(chain), FormatResult(static_cast<double>(chain.size() / 2 + 1)));
  EXPECT_EQ(EvaluateText(std::wstring(100000, L'9')), L"错误");
  EXPECT_EQ(EvaluateText(L"(" + std::wstring(100000, L'1') + L")"), L"错误");
}

}  // namespace
