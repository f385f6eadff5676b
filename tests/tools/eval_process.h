// Runs bin/vorlane-eval as a child process with pipes or a terminal, never waiting unbounded.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

struct ProcessResult {
  bool finished = false;  // false: still running at the time limit, and killed
  int exitCode = -1;      // -1 when it ended by a signal
  int signal = 0;
  std::string out;
  std::string err;
};

struct RunOptions {
  std::chrono::milliseconds timeout{120'000};
  long addressSpaceLimit = 0;     // bytes; 0 for none
  const char* inputFile = nullptr;   // standard input comes from there instead of the input
  const char* outputFile = nullptr;  // standard output goes there instead of to a pipe
};

// The path of the program under test, from the folder in VORLANE_BIN.
std::string EvalPath();

// Runs vorlane-eval with args, feeds it input and collects both output streams.
ProcessResult RunEval(const std::vector<std::string>& args, std::string_view input,
                      const RunOptions& options = {});

// Runs vorlane-eval with standard input and output on a terminal without echo, types input
// and then the end-of-file key.
ProcessResult RunOnTerminal(std::string_view input, const RunOptions& options = {});

// A vorlane-eval that answers one line at a time.
struct Coprocess {
  pid_t pid = -1;
  int toChild = -1;
  int fromChild = -1;
  std::string received;  // read but not yet taken as a line
};

bool StartCoprocess(const std::vector<std::string>& args, Coprocess& child);
bool SendText(Coprocess& child, std::string_view text);
// Waits at most timeout for one complete output line; false when none came.
bool ReceiveLine(Coprocess& child, std::string& line, std::chrono::milliseconds timeout);
// Closes the child's input and waits for its exit status; kills it after timeout (-1).
int FinishCoprocess(Coprocess& child, std::chrono::milliseconds timeout);
