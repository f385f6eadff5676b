// vorlane-eval run as a process: arguments, the standard-input filter, exit codes, bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>
#include <numbers>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "tests/support/child_process.h"
#include "engine/utf8.h"

namespace {

using namespace std::chrono_literals;

constexpr double kPi = std::numbers::pi;

std::string Utf8(std::wstring_view text) {
  std::string out;
  AppendUtf8(text, out);
  return out;
}

const std::string kError = Utf8(kErrorText);
const std::string kInfinity = Utf8(kInfinityText);

std::string Shown(double value) { return Utf8(FormatResult(value)); }

const std::string kEval = ProgramPath("vorlane-eval");

ProcessResult RunEval(const std::vector<std::string>& args, std::string_view input,
                      const RunOptions& options = {}) {
  return RunProgram(kEval, args, input, options);
}

// What "=" leaves for a line of bytes, worked out in this process: the reference for the
// framing checks (line splitting, line ends, decoding), not for the arithmetic.
std::string Expected(std::string_view bytes) {
  std::wstring text;
  if (!Utf8ToWide(bytes, text)) return kError;
  if (text.empty() || text == L"0") return std::string(bytes);
  return Utf8(EvaluateText(text));
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t newline = text.find('\n');
    lines.emplace_back(text.substr(0, newline));
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
  }
  return lines;
}

// Reports the first line that differs rather than two screens of text.
testing::AssertionResult SameLines(const std::string& actual, const std::vector<std::string>& expected) {
  if (actual == JoinLines(expected)) return testing::AssertionSuccess();
  const std::vector<std::string> lines = SplitLines(actual);
  for (std::size_t i = 0; i < std::min(lines.size(), expected.size()); ++i) {
    if (lines[i] != expected[i]) {
      return testing::AssertionFailure() << "line " << i + 1 << ": " << testing::PrintToString(lines[i])
                                         << ", expected " << testing::PrintToString(expected[i]);
    }
  }
  return testing::AssertionFailure() << lines.size() << " lines, expected " << expected.size()
                                     << (actual.empty() || actual.back() == '\n' ? "" : " (no final newline)");
}

class VorlaneEval : public testing::Test {
 protected:
  // The references in this process evaluate in the tool's default mode.
  void SetUp() override { g_radians = true; }
};

// --- Arguments --------------------------------------------------------------------------

TEST_F(VorlaneEval, OneLinePerArgumentInOrder) {
  const ProcessResult run = RunEval({"1+2", "2*(3+4", "0.1+0.2", "10^400", "", "0", "2/3", "-2.5"}, "");
  ASSERT_TRUE(run.finished);
  EXPECT_TRUE(SameLines(run.out, {Shown(1.0 + 2.0), Shown(2.0 * (3.0 + 4.0)), Shown(0.1 + 0.2), kInfinity, "",
                                  "0", Shown(2.0 / 3.0), Shown(-2.5)}));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
}

TEST_F(VorlaneEval, ExitStatusTellsWhetherAnyResultWasAnError) {
  struct Row {
    std::vector<std::string> args;
    int exitCode;
  };
  const Row rows[] = {
      {{"1/0"}, 1},
      {{"1+2", "1/0", "3"}, 1},
      {{"2pi"}, 1},
      {{"1+2)"}, 1},
      {{"1+\xFF"}, 1},  // not UTF-8
      {{"10^400", "0-10^400"}, 0},
      {{"", "0", "00"}, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.args));
    const ProcessResult run = RunEval(row.args, "");
    ASSERT_TRUE(run.finished);
    std::vector<std::string> expected;
    for (const std::string& arg : row.args) expected.push_back(Expected(arg));
    EXPECT_TRUE(SameLines(run.out, expected));
    EXPECT_EQ(run.exitCode, row.exitCode);
  }
}

TEST_F(VorlaneEval, AngleModeIsRadiansUnlessDegIsGiven) {
  const ProcessResult radians = RunEval({"sin(90)", "acos(-1)"}, "");
  EXPECT_TRUE(SameLines(radians.out, {Shown(std::sin(90.0)), Shown(std::acos(-1.0))}));
  const std::vector<std::string> degrees = {Shown(std::sin(90.0 * kPi / 180.0)),
                                            Shown(std::acos(-1.0) * 180.0 / kPi)};
  // The option applies to every expression, wherever it stands.
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--deg", "sin(90)", "acos(-1)"},
                                               std::vector<std::string>{"sin(90)", "--deg", "acos(-1)"},
                                               std::vector<std::string>{"sin(90)", "acos(-1)", "--deg"}}) {
    SCOPED_TRACE(testing::PrintToString(args));
    const ProcessResult run = RunEval(args, "");
    EXPECT_TRUE(SameLines(run.out, degrees));
    EXPECT_EQ(run.exitCode, 0);
  }
  const ProcessResult filter = RunEval({"--deg"}, "sin(90)\ncos(60)\n");
  EXPECT_TRUE(SameLines(filter.out, {Shown(std::sin(90.0 * kPi / 180.0)), Shown(std::cos(60.0 * kPi / 180.0))}));
}

TEST_F(VorlaneEval, DashesStartExpressionsUnlessTheyFormAnOption) {
  struct Row {
    std::vector<std::string> args;
    std::vector<std::string> expressions;
  };
  const Row rows[] = {
      {{"-3"}, {"-3"}},
      {{"-2+3", "-sin(0)"}, {"-2+3", "-sin(0)"}},
      {{"-"}, {"-"}},
      {{"--", "-2+3"}, {"-2+3"}},
      {{"--", "--deg", "--help"}, {"--deg", "--help"}},
      {{"--", "--"}, {"--"}},
      {{"--", "--3"}, {"--3"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.args));
    const ProcessResult run = RunEval(row.args, "");
    ASSERT_TRUE(run.finished);
    std::vector<std::string> expected;
    for (const std::string& text : row.expressions) expected.push_back(Expected(text));
    EXPECT_TRUE(SameLines(run.out, expected));
    EXPECT_EQ(run.err, "");
  }
  EXPECT_EQ(Expected("-2+3"), Shown(-2.0 + 3.0));
}

TEST_F(VorlaneEval, UnknownOptionIsAUsageErrorNamingIt) {
  struct Row {
    std::vector<std::string> args;
    std::string named;
  };
  const Row rows[] = {
      {{"--bogus"}, "--bogus"},
      {{"--deg", "--radians", "1+2"}, "--radians"},
      {{"1+2", "--Deg"}, "--Deg"},
      {{"--deg=1"}, "--deg=1"},
      {{"--help", "--what"}, "--what"},
      {{"--first", "--second"}, "--first"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.args));
    const ProcessResult run = RunEval(row.args, "");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("'" + row.named + "'"), std::string::npos) << run.err;
  }
}

TEST_F(VorlaneEval, HelpAndVersion) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--help"}, std::vector<std::string>{"1+2", "--help", "--version"}}) {
    const ProcessResult help = RunEval(args, "");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: vorlane-eval [--deg]")) << help.out;
    EXPECT_NE(help.out.find("--version"), std::string::npos);
    EXPECT_EQ(help.err, "");
  }
  const ProcessResult version = RunEval({"--version"}, "1+2\n");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "vorlane-eval " VORLANE_VERSION "\n");
}

TEST_F(VorlaneEval, ArgumentsLeaveStandardInputUnread) {
  const ProcessResult run = RunEval({"6*7"}, "1/0\n");
  EXPECT_TRUE(SameLines(run.out, {Shown(6.0 * 7.0)}));
  EXPECT_EQ(run.exitCode, 0);
}

TEST_F(VorlaneEval, OutputThatCannotBeWrittenIsAFailure) {
  RunOptions full;
  full.outputFile = "/dev/full";  // every write fails with "no space left"
  for (const std::vector<std::string>& args : {std::vector<std::string>{"1+2"}, std::vector<std::string>{},
                                               std::vector<std::string>{"--help"}}) {
    SCOPED_TRACE(testing::PrintToString(args));
    const ProcessResult run = RunEval(args, "1+2\n", full);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("cannot write"), std::string::npos) << run.err;
  }
}

TEST_F(VorlaneEval, InputThatCannotBeReadIsAFailure) {
  RunOptions directory;
  directory.inputFile = "/";  // opens, but every read fails
  const ProcessResult run = RunEval({}, "", directory);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("cannot read"), std::string::npos) << run.err;
}

// --- Standard input ---------------------------------------------------------------------

TEST_F(VorlaneEval, FiltersManyLinesWithEitherLineEnd) {
  std::string input;
  std::vector<std::string> expected;
  const int count = 20000;
  for (int i = 0; i < count; ++i) {
    input += std::to_string(i) + "*3+0.5";
    if (i + 1 < count) input += i % 2 == 0 ? "\r\n" : "\n";  // the last line has no end
    expected.push_back(Shown(i * 3.0 + 0.5));
  }
  const ProcessResult run = RunEval({}, input);
  ASSERT_TRUE(run.finished);
  EXPECT_TRUE(SameLines(run.out, expected));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
}

TEST_F(VorlaneEval, LinesOfEveryKind) {
  struct Row {
    std::string input;
    std::vector<std::string> expected;
    int exitCode;
  };
  const Row rows[] = {
      {"", {}, 0},
      {"\n", {""}, 0},
      {"\r\n\n0\n", {"", "", "0"}, 0},
      {"1/0\n2+2", {kError, Shown(2.0 + 2.0)}, 1},
      {"2+2\r", {Shown(2.0 + 2.0)}, 0},  // a cut-off CRLF at the very end
      {"(1+2\n((2\n1+2)\n", {Shown(1.0 + 2.0), "2", kError}, 1},
      {"10^400\n0-10^400\n", {kInfinity, kInfinity}, 0},
      {"   \n", {kError}, 1},
      {"1\r\r\n", {Expected("1\r")}, Expected("1\r") == kError ? 1 : 0},
      {std::string("1+\0" "2\n3\n", 7), {Expected(std::string("1+\0" "2", 4)), "3"},
       Expected(std::string("1+\0" "2", 4)) == kError ? 1 : 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.input));
    const ProcessResult run = RunEval({}, row.input);
    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(SameLines(run.out, row.expected));
    EXPECT_EQ(run.exitCode, row.exitCode);
  }
}

TEST_F(VorlaneEval, LineThatIsNotUtf8GivesErrorForThatLineOnly) {
  const std::string_view bad[] = {
      "\xC0\xAF",          // overlong "/"
      "1+\xE0\x80\xB1",    // overlong "1"
      "\xED\xA0\x80",      // an encoded surrogate
      "\xF4\x90\x80\x80",  // above U+10FFFF
      "1+\xE2\x82",        // cut short
      "2\xFF",             // never a UTF-8 byte
      "\x80" "1",          // continuation without a lead
  };
  std::string input;
  std::vector<std::string> expected;
  for (std::string_view line : bad) {
    input += std::string(line) + "\n1+1\r\n";
    expected.push_back(kError);
    expected.push_back(Shown(1.0 + 1.0));
  }
  input += "\xF0\x9F\x98";  // last line, cut short and without a newline
  expected.push_back(kError);
  const ProcessResult run = RunEval({}, input);
  ASSERT_TRUE(run.finished);
  EXPECT_TRUE(SameLines(run.out, expected));
  EXPECT_EQ(run.exitCode, 1);
}

TEST_F(VorlaneEval, ValidMultibyteTextIsDecodedNotRejected) {
  // Non-ASCII text reaches the engine as characters; what it makes of them is its affair.
  const std::string lines[] = {"2\u00D73", "\u03C0", "1+\U0001F600", "错误", "无穷大"};
  std::string input;
  std::vector<std::string> expected;
  for (const std::string& line : lines) {
    input += line + "\n";
    std::wstring text;
    ASSERT_TRUE(Utf8ToWide(line, text));
    expected.push_back(Utf8(EvaluateText(text)));
  }
  EXPECT_TRUE(SameLines(RunEval({}, input).out, expected));
}

TEST_F(VorlaneEval, TenMegabyteLines) {
  const std::size_t ones = 5'000'000;
  std::string chain;
  chain.reserve(2 * ones);
  for (std::size_t i = 1; i < ones; ++i) chain += "1+";
  chain += "1";
  const std::string nested = std::string(10'000'000, '(') + "7";  // left open: "=" closes them

  const auto start = std::chrono::steady_clock::now();
  const ProcessResult run = RunEval({}, chain + "\r\n" + nested + "\n" + chain + "\xFF\n2*3");
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  std::cout << "[ info ] four lines, 30 MB: " << elapsed.count() << " s\n";
  ASSERT_TRUE(run.finished);
  EXPECT_TRUE(SameLines(run.out, {Shown(static_cast<double>(ones)), "7", kError, Shown(2.0 * 3.0)}));
  EXPECT_EQ(run.exitCode, 1);

  // Linux caps one argument at 128 KiB; the tool takes what the system passes.
  const std::size_t argumentOnes = 50'000;
  const ProcessResult argument = RunEval({chain.substr(chain.size() - (2 * argumentOnes - 1))}, "");
  EXPECT_TRUE(SameLines(argument.out, {Shown(static_cast<double>(argumentOnes))}));
}

#if !defined(__SANITIZE_ADDRESS__)
TEST_F(VorlaneEval, LineLargerThanMemoryGivesErrorAndTheNextLinesGoOn) {
  // The sanitizers reserve vast address space, so the limit only works without them.
  RunOptions limited;
  limited.addressSpaceLimit = 128L * 1024 * 1024;
  const std::string huge(150'000'000, '1');
  const ProcessResult run = RunEval({}, "1+1\n" + huge + "\n2*3\n" + huge, limited);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.signal, 0);
  EXPECT_TRUE(SameLines(run.out, {Shown(1.0 + 1.0), kError, Shown(2.0 * 3.0), kError}));
  EXPECT_EQ(run.exitCode, 1);
}
#endif

TEST_F(VorlaneEval, RandomBytesNeverBreakTheOneLineOutPerLineInRule) {
  // Mostly calculator text, with stray bytes and line ends of both kinds mixed in.
  const std::string_view alphabet = "0123456789+-*/%^().e pisncotaqrlgxh!\r\xCF\x80\xE2\xFF\xC0";
  for (unsigned seed = 1; seed <= 6; ++seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> kind(0, 99);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string input;
    for (int i = 0; i < 100'000; ++i) {
      const int k = kind(random);
      if (k < 6) {
        input += '\n';
      } else if (k < 10) {
        input += static_cast<char>(byte(random));
      } else {
        input += alphabet[pick(random)];
      }
    }
    std::vector<std::string> expected;
    for (const std::string& line : SplitLines(input)) {
      expected.push_back(Expected(!line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1) : line));
    }
    SCOPED_TRACE(seed);
    const ProcessResult run = RunEval({}, input);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.signal, 0);
    EXPECT_TRUE(SameLines(run.out, expected));
    const bool anyError = std::find(expected.begin(), expected.end(), kError) != expected.end();
    EXPECT_EQ(run.exitCode, anyError ? 1 : 0);
    EXPECT_EQ(run.err, "");
  }
}

// --- Interactive use --------------------------------------------------------------------

TEST_F(VorlaneEval, AnswersEachLineBeforeTheNextIsWritten) {
  Coprocess child;
  ASSERT_TRUE(StartCoprocess(kEval, {}, child));
  struct Exchange {
    std::string sent;
    std::string answer;
  };
  const Exchange exchanges[] = {
      {"1+2\n", Shown(1.0 + 2.0)},
      {"2^10\r\n", Shown(std::pow(2.0, 10.0))},
      {"\n", ""},
      {"1/0\n", kError},
      {"sqrt(2\n", Shown(std::sqrt(2.0))},
  };
  for (const Exchange& exchange : exchanges) {
    SCOPED_TRACE(testing::PrintToString(exchange.sent));
    ASSERT_TRUE(SendText(child, exchange.sent));
    std::string line;
    ASSERT_TRUE(ReceiveLine(child, line, 20s)) << "no answer: the line was left unwritten";
    EXPECT_EQ(line, exchange.answer);
  }
  // A line that arrives in pieces is answered once it is whole.
  ASSERT_TRUE(SendText(child, "4*"));
  std::string line;
  EXPECT_FALSE(ReceiveLine(child, line, 200ms));
  ASSERT_TRUE(SendText(child, "5\n"));
  ASSERT_TRUE(ReceiveLine(child, line, 20s));
  EXPECT_EQ(line, Shown(4.0 * 5.0));
  // So does a character cut between two pieces (here an ideographic space).
  ASSERT_TRUE(SendText(child, "1+\xE3\x80"));
  EXPECT_FALSE(ReceiveLine(child, line, 200ms));
  ASSERT_TRUE(SendText(child, "\x80" "2\n"));
  ASSERT_TRUE(ReceiveLine(child, line, 20s));
  EXPECT_EQ(line, Shown(1.0 + 2.0));
  // The last line needs no newline: the end of input finishes it.
  ASSERT_TRUE(SendText(child, "7-2"));
  EXPECT_EQ(FinishCoprocess(child, 20s), 1);
  EXPECT_EQ(child.received, Shown(7.0 - 2.0) + "\n");
}

// With line editing libedit reads the terminal: line_editing_test.py types at it there.
#ifndef VORLANE_LINE_EDITING
TEST_F(VorlaneEval, PromptsOnATerminal) {
  const ProcessResult run = RunOnTerminal(kEval, "2*3\n1/0\n");
  ASSERT_TRUE(run.finished);
  // After the end-of-file key the cursor goes to a fresh line.
  EXPECT_EQ(run.out, "> " + Shown(2.0 * 3.0) + "\n> " + kError + "\n> \n");
  EXPECT_EQ(run.exitCode, 1);
}
#endif

}  // namespace
