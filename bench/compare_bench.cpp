// This engine and muparser side by side on the same workloads, in one run. Each muparser
// measurement runs in a child process, so a crash or a hang is reported, not inherited.
#include <muParser.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bench/workloads.h"
#include "engine/engine.h"

namespace {

using Clock = std::chrono::steady_clock;

// Seconds per run of work, the best of a few batches long enough to time.
double TimeRun(const std::function<void()>& work) {
  double best = 1e300;
  for (int batch = 0; batch < 3; ++batch) {
    int runs = 0;
    const Clock::time_point start = Clock::now();
    double elapsed = 0;
    do {
      work();
      ++runs;
      elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (elapsed < 0.05);
    best = std::min(best, elapsed / runs);
    if (elapsed > 2.0) break;  // one slow run is measurement enough
  }
  return best;
}

enum class Outcome { kOk, kRefused, kCrashed, kTimedOut };

struct Measurement {
  Outcome outcome = Outcome::kOk;
  double seconds = 0;
};

// Runs the timing in a child with a time limit; the child reports seconds through a pipe,
// or a negative number when the peer refused the input.
Measurement InChild(const std::function<std::optional<double>()>& measure, unsigned limitSeconds) {
  int fds[2];
  if (pipe(fds) != 0) return {Outcome::kCrashed, 0};
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    alarm(limitSeconds);
    const std::optional<double> seconds = measure();
    const double report = seconds ? *seconds : -1.0;
    if (write(fds[1], &report, sizeof report) != sizeof report) _exit(3);
    _exit(0);
  }
  close(fds[1]);
  double report = 0;
  const ssize_t got = read(fds[0], &report, sizeof report);
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) return {Outcome::kTimedOut, 0};
  if (got != sizeof report || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {Outcome::kCrashed, 0};
  if (report < 0) return {Outcome::kRefused, 0};
  return {Outcome::kOk, report};
}

Measurement Vorlane(const std::vector<std::wstring>& texts) {
  return {Outcome::kOk, TimeRun([&] {
            for (const std::wstring& t : texts) {
              const std::wstring shown = EvaluateText(t);
              if (shown.empty()) std::abort();
            }
          })};
}

Measurement MuParser(const std::vector<std::string>& texts, unsigned limitSeconds) {
  return InChild(
      [&]() -> std::optional<double> {
        mu::Parser parser;
        try {
          for (const std::string& t : texts) {  // refused once, refused for the table
            parser.SetExpr(t);
            parser.Eval();
          }
          return TimeRun([&] {
            for (const std::string& t : texts) {
              parser.SetExpr(t);
              volatile double v = parser.Eval();
              (void)v;
            }
          });
        } catch (const mu::Parser::exception_type&) {
          return std::nullopt;
        }
      },
      limitSeconds);
}

struct Row {
  std::string workload;
  std::string size;
  double units;  // bytes, levels or expressions per run
  const char* unit;
  Measurement ours;
  Measurement peer;
};

std::string Cell(const Measurement& m, double units, const char* unit) {
  switch (m.outcome) {
    case Outcome::kRefused: return "refused";
    case Outcome::kCrashed: return "crashed";
    case Outcome::kTimedOut: return "timed out";
    case Outcome::kOk: break;
  }
  char text[64];
  std::snprintf(text, sizeof text, "%.2f ns/%s", m.seconds * 1e9 / units, unit);
  return text;
}

void Print(const Row& r) {
  std::string ratio = "-";
  if (r.ours.outcome == Outcome::kOk && r.peer.outcome == Outcome::kOk) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1fx", r.peer.seconds / r.ours.seconds);
    ratio = text;
  }
  std::printf("%-16s %10s  %18s  %18s  %8s\n", r.workload.c_str(), r.size.c_str(),
              Cell(r.ours, r.units, r.unit).c_str(), Cell(r.peer, r.units, r.unit).c_str(),
              ratio.c_str());
}

// Least-squares slope of log(time) over log(size): 1 means linear.
double FittedExponent(const std::vector<Row>& rows) {
  double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (const Row& r : rows) {
    if (r.ours.outcome != Outcome::kOk) continue;
    const double x = std::log(r.units), y = std::log(r.ours.seconds);
    n += 1, sx += x, sy += y, sxx += x * x, sxy += x * y;
  }
  return (n * sxy - sx * sy) / (n * sxx - sx * sx);
}

std::string SizeText(std::size_t n, bool bytes) {
  char text[32];
  if (bytes && n >= (1u << 20)) std::snprintf(text, sizeof text, "%zu MB", n >> 20);
  else if (bytes && n >= 1024) std::snprintf(text, sizeof text, "%zu KB", n >> 10);
  else std::snprintf(text, sizeof text, "%zu", n);
  return text;
}

std::vector<Row> Family(const char* name, const std::vector<std::size_t>& sizes,
                        std::string (*make)(std::size_t), bool bytes, const char* unit) {
  std::vector<Row> rows;
  for (std::size_t size : sizes) {
    const std::string text = make(size);
    const double units = bytes ? static_cast<double>(text.size()) : static_cast<double>(size);
    Row r{name, SizeText(size, bytes), units, unit, Vorlane({Wide(text)}), MuParser({text}, 120)};
    Print(r);
    rows.push_back(r);
  }
  std::printf("%-16s fitted exponent of time over size: %.3f\n", name, FittedExponent(rows));
  return rows;
}

// Peak resident memory of a child that evaluates the text, in MB.
double PeakMemoryMB(const std::string& text) {
  const pid_t pid = fork();
  if (pid == 0) {
    const std::wstring wide = Wide(text);
    _exit(EvaluateText(wide).empty() ? 1 : 0);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace

int main() {
  std::printf("%-16s %10s  %18s  %18s  %8s\n", "workload", "size", "vorlane", "muparser",
              "ratio");
  {
    const std::vector<std::string> typical = TypicalExpressions(10000);
    std::vector<std::wstring> wide;
    for (const std::string& t : typical) wide.push_back(Wide(t));
    Print({"typical", "10000 expr", 10000.0, "expr", Vorlane(wide), MuParser(typical, 120)});
  }
  const std::vector<std::size_t> chainSizes = {1u << 10, 10u << 10, 100u << 10, 1u << 20, 10u << 20};
  const std::vector<std::size_t> depths = {100, 1000, 10000, 100000, 1000000};
  Family("flat chain", chainSizes, FlatChain, true, "byte");
  Family("nesting", depths, Nested, false, "level");
  Family("function chain", depths, FunctionChain, false, "level");
  Family("unary minus", depths, MinusChain, false, "level");

  const std::string chain = FlatChain(10u << 20);
  std::printf("peak memory evaluating the 10 MB chain: %.1f MB (its text as a wide string: %.1f MB)\n",
              PeakMemoryMB(chain), static_cast<double>(chain.size() * sizeof(wchar_t)) / (1 << 20));
  return 0;
}
