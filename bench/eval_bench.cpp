// vorlane-eval as a whole process against its engine in this process, on the same input:
// one 10 MB line, and 10,000 typical lines. Prints the best of several runs of each; the
// difference is what reading, splitting, decoding and writing cost.
//   eval-bench [PATH-OF-VORLANE-EVAL] [RUNS]   (defaults: beside this program, 7)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/workloads.h"
#include "engine/engine.h"
#include "tests/support/child_process.h"
#include "engine/utf8.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Figures {
  double engine = 1e300;   // best seconds
  double process = 1e300;
  bool sameOutput = true;
};

Figures Measure(const std::string& eval, const std::vector<std::string>& lines, int runs) {
  Figures figures;
  std::vector<std::wstring> texts;
  std::string input;
  for (const std::string& line : lines) {
    texts.push_back(Wide(line));
    input += line + "\n";
  }
  char file[] = "/tmp/vorlane-eval-bench.XXXXXX";
  const int fd = mkstemp(file);
  if (fd < 0) return figures;
  close(fd);
  std::ofstream(file, std::ios::binary) << input;

  g_radians = true;  // the tool's default
  std::string expected;
  for (const std::wstring& text : texts) AppendUtf8(EvaluateText(text), expected);
  // Turn about, so that both see the same load of a shared machine.
  for (int run = 0; run < runs; ++run) {
    std::string out;
    auto start = Clock::now();
    for (const std::wstring& text : texts) AppendUtf8(EvaluateText(text), out);
    figures.engine = std::min(figures.engine, Seconds(start));

    RunOptions options;
    options.inputFile = file;
    start = Clock::now();
    const ProcessResult result = RunProgram(eval, {}, "", options);
    figures.process = std::min(figures.process, Seconds(start));
    std::string answers = result.out;
    std::erase(answers, '\n');
    if (!result.finished || answers != expected || out != expected) figures.sameOutput = false;
  }
  std::remove(file);
  return figures;
}

void Print(const char* workload, const Figures& figures, double units, const char* unit) {
  std::printf("%-22s engine %8.2f ns/%s   process %8.2f ns/%s   process/engine %.3f%s\n", workload,
              figures.engine * 1e9 / units, unit, figures.process * 1e9 / units, unit,
              figures.process / figures.engine, figures.sameOutput ? "" : "   (OUTPUT DIFFERS)");
}

}  // namespace

int main(int argc, char** argv) {
  std::string eval;
  if (argc > 1) {
    eval = argv[1];
  } else {
    const std::string self = argv[0];
    const std::size_t slash = self.find_last_of('/');
    eval = (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/vorlane-eval";
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;

  double startup = 1e300;
  for (int run = 0; run < runs; ++run) {
    const auto start = Clock::now();
    RunProgram(eval, {}, "");
    startup = std::min(startup, Seconds(start));
  }
  std::printf("%-22s process %8.2f ms\n", "start and end", startup * 1e3);

  const std::string chain = FlatChain(10 << 20);
  const Figures flat = Measure(eval, {chain}, runs);
  Print("one 10 MB line", flat, static_cast<double>(chain.size()), "byte");

  const std::vector<std::string> typical = TypicalExpressions(10000);
  const Figures lines = Measure(eval, typical, runs);
  Print("10,000 typical lines", lines, static_cast<double>(typical.size()), "line");
  return flat.sameOutput && lines.sameOutput ? 0 : 1;
}
