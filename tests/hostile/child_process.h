// Child processes for the hostile tests (Linux): every wait is bounded, a child that
// overstays is killed by its process id, and its peak memory is reported.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

struct ChildOutcome {
  bool finished = false;  // false: killed at the time limit
  int exitCode = -1;      // -1 when it ended by a signal
  // Peak resident memory: of the started program, or what the forked work added.
  long peakKilobytes = 0;
  std::string out;
};

inline constexpr std::chrono::seconds kChildTimeLimit{300};

// Runs the program with the input on its standard input; collects its standard output.
ChildOutcome RunProgram(const std::string& path, std::string_view input);

// Runs work in a forked child; its result becomes the exit code (0 to 255).
ChildOutcome RunForked(const std::function<int()>& work);

// The peak memory a child may use for a text of this many characters: the text in a few
// copies, never a multiple of its square. Sanitizers keep freed memory in quarantine,
// so their builds are not held to it.
bool MemoryBoundHolds(long peakKilobytes, std::size_t characters, long& boundKilobytes);
