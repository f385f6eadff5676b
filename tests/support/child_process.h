// Child processes for tests and benchmarks (POSIX): programs fed through pipes, a file or a
// terminal, coprocesses, and work in a forked child. Every wait is bounded; a child that
// overstays is killed by its process id.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct ProcessResult {
  bool finished = false;  // false: still running at the time limit, and killed
  int exitCode = -1;      // -1 when it ended by a signal
  int signal = 0;
  // Peak resident memory, when asked for: of the started program, or what forked work added.
  long peakKilobytes = 0;
  std::string out;
  std::string err;
};

struct RunOptions {
  std::chrono::milliseconds timeout{120'000};
  long addressSpaceLimit = 0;        // bytes; 0 for none
  const char* inputFile = nullptr;   // standard input comes from there instead of the input
  const char* outputFile = nullptr;  // standard output goes there instead of to a pipe
  bool measurePeak = false;          // samples the child's peak memory while it runs
};

// A program of the build, from the folder in VORLANE_BIN.
std::string ProgramPath(std::string_view name);

// Runs the program with args, feeds it input and collects both output streams.
ProcessResult RunProgram(const std::string& path, const std::vector<std::string>& args,
                         std::string_view input, const RunOptions& options = {});

// Runs the program with standard input and output on a terminal without echo, types input
// and then the end-of-file key.
ProcessResult RunOnTerminal(const std::string& path, std::string_view input,
                            const RunOptions& options = {});

// Runs work in a forked child; its result becomes the exit code (0 to 255), and the memory
// it added to the child's peak is measured.
ProcessResult RunForked(const std::function<int()>& work, std::chrono::milliseconds timeout);

// A program that answers one line at a time.
struct Coprocess {
  pid_t pid = -1;
  int toChild = -1;
  int fromChild = -1;
  std::string received;  // read but not yet taken as a line
};

bool StartCoprocess(const std::string& path, const std::vector<std::string>& args, Coprocess& child);
bool SendText(Coprocess& child, std::string_view text);
// Waits at most timeout for one complete output line; false when none came.
bool ReceiveLine(Coprocess& child, std::string& line, std::chrono::milliseconds timeout);
// Closes the child's input and waits for its exit status; kills it after timeout (-1).
int FinishCoprocess(Coprocess& child, std::chrono::milliseconds timeout);

// The peak memory a child may use for a text of this many characters: the text in a few
// copies, never a multiple of its square. Sanitizers keep freed memory in quarantine,
// so their builds are not held to it.
bool MemoryBoundHolds(long peakKilobytes, std::size_t characters, long& boundKilobytes);
// What vorlane-eval may use for one line of this many bytes: the line twice, and 16 MiB.
bool LineBoundHolds(long peakKilobytes, std::size_t bytes, long& boundKilobytes);
