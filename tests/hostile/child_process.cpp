#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMilliseconds(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits for the child until the deadline, then kills it; fills in how it ended.
void Reap(pid_t pid, Clock::time_point deadline, ChildOutcome& outcome) {
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) return;
    if (Clock::now() >= deadline) {
      kill(pid, SIGKILL);
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      outcome.finished = false;
      return;
    }
    usleep(2000);
  }
  outcome.finished = true;
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A field of /proc/<process>/status: the name, or memory in kilobytes.
std::string StatusField(const std::string& process, const char* field) {
  std::ifstream status("/proc/" + process + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) {
      const std::size_t start = line.find_first_not_of(" \t", std::strlen(field));
      return start == std::string::npos ? std::string() : line.substr(start);
    }
  }
  return {};
}

long StatusKilobytes(const char* field) { return std::atol(StatusField("self", field).c_str()); }

// The peak memory of a started program, read while it runs: the rusage of a child
// that was forked from this process also counts the pages it shared before exec.
void SamplePeak(pid_t pid, const std::string& name, ChildOutcome& outcome) {
  const std::string process = std::to_string(pid);
  if (StatusField(process, "Name:") != name) return;  // not yet past exec
  const long peak = std::atol(StatusField(process, "VmHWM:").c_str());
  if (peak > outcome.peakKilobytes) outcome.peakKilobytes = peak;
}

}  // namespace

ChildOutcome RunProgram(const std::string& path, std::string_view input) {
  ChildOutcome outcome;
  int toChild[2];
  int fromChild[2];
  if (pipe(toChild) != 0) return outcome;
  if (pipe(fromChild) != 0) {
    close(toChild[0]);
    close(toChild[1]);
    return outcome;
  }
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(toChild[0], 0);
    dup2(fromChild[1], 1);
    close(toChild[0]);
    close(toChild[1]);
    close(fromChild[0]);
    close(fromChild[1]);
    execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(toChild[0]);
  close(fromChild[1]);
  if (pid < 0) {
    close(toChild[1]);
    close(fromChild[0]);
    return outcome;
  }
  // Write and read at once: the child answers while it reads, and either pipe can fill.
  fcntl(toChild[1], F_SETFL, O_NONBLOCK);
  signal(SIGPIPE, SIG_IGN);
  const Clock::time_point deadline = Clock::now() + kChildTimeLimit;
  int writeEnd = toChild[1];
  int readEnd = fromChild[0];
  if (input.empty()) {
    close(writeEnd);
    writeEnd = -1;
  }
  const std::string name = path.substr(path.find_last_of('/') + 1).substr(0, 15);
  char buffer[65536];
  while (readEnd >= 0 && RemainingMilliseconds(deadline) > 0) {
    SamplePeak(pid, name, outcome);
    pollfd fds[2] = {{readEnd, POLLIN, 0}, {writeEnd, POLLOUT, 0}};
    if (poll(fds, writeEnd >= 0 ? 2 : 1, std::min(RemainingMilliseconds(deadline), 5)) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[0].revents != 0) {
      const ssize_t n = read(readEnd, buffer, sizeof buffer);
      if (n > 0) {
        outcome.out.append(buffer, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        close(readEnd);
        readEnd = -1;
      }
    }
    if (writeEnd >= 0 && fds[1].revents != 0) {
      const ssize_t n = write(writeEnd, input.data(), input.size());
      if (n > 0) input.remove_prefix(static_cast<std::size_t>(n));
      if (input.empty() || (n < 0 && errno != EAGAIN && errno != EINTR)) {
        close(writeEnd);
        writeEnd = -1;
      }
    }
  }
  if (writeEnd >= 0) close(writeEnd);
  if (readEnd >= 0) close(readEnd);
  Reap(pid, deadline, outcome);
  return outcome;
}

ChildOutcome RunForked(const std::function<int()>& work) {
  ChildOutcome outcome;
  int report[2];
  if (pipe(report) != 0) return outcome;
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    close(report[0]);
    // Forget the parent's peak: from here on it counts this child's work alone.
    { std::ofstream("/proc/self/clear_refs") << "5"; }
    const long before = StatusKilobytes("VmRSS:");
    const int code = work();
    const long growth = StatusKilobytes("VmHWM:") - before;
    [[maybe_unused]] const ssize_t written = write(report[1], &growth, sizeof growth);
    _exit(code);  // no exit handlers, no leak check of the parent's objects
  }
  close(report[1]);
  if (pid < 0) {
    close(report[0]);
    return outcome;
  }
  Reap(pid, Clock::now() + kChildTimeLimit, outcome);
  long growth = 0;
  if (read(report[0], &growth, sizeof growth) == static_cast<ssize_t>(sizeof growth)) {
    outcome.peakKilobytes = growth;
  }
  close(report[0]);
  return outcome;
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VORLANE_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VORLANE_SANITIZED 1
#endif

bool MemoryBoundHolds(long peakKilobytes, std::size_t characters, long& boundKilobytes) {
  // Eight copies of the text as wide characters, and 64 MB for the rest.
  boundKilobytes = static_cast<long>(characters * sizeof(wchar_t) * 8 / 1024) + 64 * 1024;
#ifdef VORLANE_SANITIZED
  static_cast<void>(peakKilobytes);
  return true;
#else
  return peakKilobytes <= boundKilobytes;
#endif
}
