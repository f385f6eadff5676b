// Hostile input with its memory measured in a child process, and random bytes on
// vorlane-eval's standard input.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "calculator/calculator.h"
#include "calculator/clipboard.h"
#include "calculator/key_commands.h"
#include "calculator/keypad.h"
#include "calculator/state.h"
#include "engine/engine.h"
#include "fake_window.h"
#include "hostile_util.h"
#include "tests/support/child_process.h"
#include "engine/utf8.h"

namespace {

constexpr std::chrono::seconds kChildTimeLimit{300};

void ExpectBoundedMemory(const ProcessResult& child, std::size_t characters) {
  long bound = 0;
  ::testing::Test::RecordProperty("peak_kilobytes", std::to_string(child.peakKilobytes));
  EXPECT_TRUE(MemoryBoundHolds(child.peakKilobytes, characters, bound))
      << "peak " << child.peakKilobytes << " kB for " << characters << " characters, bound "
      << bound << " kB";
}

TEST(HostileMemory, TenMegabyteExpression) {
  const std::wstring chain = Repeat(L"2*3-5+", kTenMegabytes / 6) + L"0";
  const std::wstring expected = FormatResult(static_cast<double>(kTenMegabytes / 6));
  const ProcessResult child = RunForked([&] { return EvaluateText(chain) == expected ? 0 : 1; }, kChildTimeLimit);
  ASSERT_TRUE(child.finished);
  EXPECT_EQ(child.exitCode, 0);
  ExpectBoundedMemory(child, chain.size());
}

// Far past the expression's limit: the paste enters nothing, and "=" works on the text
// that stands.
TEST(HostileMemory, TenMegabytePasteAndEquals) {
  const std::wstring text = Repeat(L"2*3-5+", kTenMegabytes / 6) + L"0";
  const ProcessResult child = RunForked([&] {
    ResetCalculator();
    ResetFakeWindow();
    OnKeyCommand(FakeHandle(), kKey7);
    g_fakeWindow.clipboard = text;
    PasteClipboard(FakeHandle());
    OnKeyCommand(FakeHandle(), kKeyEquals);  // =
    return g_expr == L"7" && g_fakeWindow.display == L"7" && g_resultShown ? 0 : 1;
  }, kChildTimeLimit);
  ASSERT_TRUE(child.finished);
  EXPECT_EQ(child.exitCode, 0);
  ExpectBoundedMemory(child, text.size());
}

// What vorlane-eval must answer: one line per LF-ended line (CRLF as well) and for a last
// unended one; "错误" for bytes that are not UTF-8; "" and "0" as they are.
std::string ExpectedAnswers(std::string_view input, bool& sawError) {
  std::string out;
  sawError = false;
  while (!input.empty()) {
    const std::size_t end = input.find('\n');
    std::string_view line = input.substr(0, end);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::wstring text;
    std::wstring result;
    if (!Utf8ToWide(line, text)) {
      result = kErrorText;
    } else if (text.empty() || text == L"0") {
      result = text;
    } else {
      result = EvaluateText(text);
    }
    if (result == kErrorText) sawError = true;
    AppendUtf8(result, out);
    out += '\n';
  }
  return out;
}

void ExpectAnswers(const std::string& input) {
  bool sawError = false;
  const std::string expected = ExpectedAnswers(input, sawError);
  RunOptions options;
  options.timeout = kChildTimeLimit;
  options.measurePeak = true;
  const ProcessResult child = RunProgram(ProgramPath("vorlane-eval"), {}, input, options);
  ASSERT_TRUE(child.finished) << "still running after the time limit";
  EXPECT_EQ(child.exitCode, sawError ? 1 : 0);
  EXPECT_TRUE(child.out == expected) << "output differs; " << child.out.size() << " bytes, "
                                     << expected.size() << " expected";
  ExpectBoundedMemory(child, input.size());
}

TEST(HostileEvalInput, RandomBytes) {
  std::mt19937 random(20261209);
  std::string input;
  for (std::size_t i = 0; i < kMillion; ++i) input.push_back(static_cast<char>(random() & 0xFF));
  ExpectAnswers(input);
}

// Bytes that mostly make expressions, with stray bytes, CR, NUL and UTF-8 among them.
TEST(HostileEvalInput, RandomExpressionBytes) {
  const std::string_view pieces[] = {"0", "1", "2", "7", "9", ".", "e", "E", "+", "-", "*",
                                     "/", "^", "%", "!", "(", ")", " ", "\r", "\n", "\t",
                                     "sin(", "ln", "pi", "sqrt", "\xC3\x97", "\xE3\x80\x80",
                                     std::string_view("\0", 1), "\xFF", "\xE9", "10^400", "171!"};
  std::mt19937 random(32767);
  std::string input;
  while (input.size() < kMillion) input += pieces[random() % std::size(pieces)];
  ExpectAnswers(input);
  ExpectAnswers(input + "1+2");  // a last line without its end
}

TEST(HostileEvalInput, TenMegabytesOfRandomBytesOnOneLine) {
  std::mt19937 random(7);
  std::string input;
  input.reserve(kTenMegabytes);
  while (input.size() < kTenMegabytes) {
    const char byte = static_cast<char>(random() & 0xFF);
    input.push_back(byte == '\n' ? 'x' : byte);
  }
  ExpectAnswers(input);
}

// One long line is held once, as its bytes, and not as wide text besides.
TEST(HostileEvalInput, OneLongLineIsHeldOnce) {
  std::string line;
  while (line.size() < 48 * kMillion) line += "2*3-5+";
  std::string expected;
  AppendUtf8(FormatResult(static_cast<double>(line.size() / 6)), expected);
  RunOptions options;
  options.measurePeak = true;
  const ProcessResult child = RunProgram(ProgramPath("vorlane-eval"), {}, line + "0\n", options);
  EXPECT_EQ(child.out, expected + "\n");
  long bound = 0;
  EXPECT_TRUE(LineBoundHolds(child.peakKilobytes, line.size() + 2, bound))
      << "peak " << child.peakKilobytes << " kB, bound " << bound << " kB";
}

}  // namespace
