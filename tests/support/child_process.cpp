#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, 60'000));
}

// A child that has ended may leave us writing into its closed input: that must be an
// error code here, not a signal that ends the test program.
void IgnoreBrokenPipes() { signal(SIGPIPE, SIG_IGN); }

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

bool MakePipe(int fds[2]) { return pipe2(fds, O_CLOEXEC) == 0; }

// Starts the program with the given descriptors as its standard streams. Everything the
// child needs is prepared before fork, so that it calls only async-signal-safe functions.
pid_t Spawn(const std::string& path, const std::vector<std::string>& args, int in, int out, int err,
            long addressSpaceLimit) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  if (addressSpaceLimit == 0) {
    // posix_spawn does not copy this process's page tables as fork does, which would cost
    // a benchmark milliseconds when this process holds its large inputs.
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in, 0);
    posix_spawn_file_actions_adddup2(&actions, out, 1);
    posix_spawn_file_actions_adddup2(&actions, err, 2);
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    if (posix_spawn(&pid, path.c_str(), &actions, &attributes, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return pid;
  }
  const rlimit limit{static_cast<rlim_t>(addressSpaceLimit), static_cast<rlim_t>(addressSpaceLimit)};

  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    signal(SIGPIPE, SIG_DFL);
    if (addressSpaceLimit > 0) setrlimit(RLIMIT_AS, &limit);
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

// Waits for the child until the deadline, then kills it. False when it had to be killed.
// The first looks come soon, so that a benchmark's timing is not rounded up by a sleep.
bool WaitForExit(pid_t pid, Clock::time_point deadline, ProcessResult& result) {
  int status = 0;
  auto pause = std::chrono::microseconds(50);
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) return false;
    if (Clock::now() >= deadline) {
      kill(pid, SIGKILL);
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      return false;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min<std::chrono::microseconds>(pause * 2, std::chrono::milliseconds(2));
  }
  result.finished = true;
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return true;
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
void SamplePeak(pid_t pid, const std::string& name, ProcessResult& result) {
  const std::string process = std::to_string(pid);
  if (StatusField(process, "Name:") != name) return;  // not yet past exec
  const long peak = std::atol(StatusField(process, "VmHWM:").c_str());
  if (peak > result.peakKilobytes) result.peakKilobytes = peak;
}

// Reads what is ready on fd into text; closes fd at its end (or a terminal's EIO).
void ReadReady(int& fd, std::string& text) {
  char buffer[65536];
  const ssize_t n = read(fd, buffer, sizeof buffer);
  if (n > 0) {
    text.append(buffer, static_cast<std::size_t>(n));
  } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
    CloseFd(fd);
  }
}

// Feeds input to toChild (if open) and collects outFd and errFd until both end. Samples
// the peak memory of the program at path when asked to.
void Exchange(pid_t pid, const std::string* sampled, int& toChild, std::string_view input, int& outFd,
              int& errFd, Clock::time_point deadline, ProcessResult& result) {
  std::string name;
  if (sampled != nullptr) name = sampled->substr(sampled->find_last_of('/') + 1).substr(0, 15);
  std::size_t written = 0;
  while ((outFd >= 0 || errFd >= 0) && Clock::now() < deadline) {
    if (sampled != nullptr) SamplePeak(pid, name, result);
    pollfd fds[3];
    nfds_t count = 0;
    int* owners[3];
    for (int* fd : {&outFd, &errFd, &toChild}) {
      if (*fd < 0) continue;
      fds[count] = {*fd, static_cast<short>(fd == &toChild ? POLLOUT : POLLIN), 0};
      owners[count++] = fd;
    }
    const int wait = MillisecondsLeft(deadline);
    if (poll(fds, count, sampled != nullptr ? std::min(wait, 5) : wait) <= 0) continue;
    for (nfds_t i = 0; i < count; ++i) {
      if (fds[i].revents == 0) continue;
      if (owners[i] == &outFd) {
        ReadReady(outFd, result.out);
      } else if (owners[i] == &errFd) {
        ReadReady(errFd, result.err);
      } else {
        const std::size_t piece = std::min<std::size_t>(input.size() - written, 65536);
        const ssize_t n = write(toChild, input.data() + written, piece);
        if (n > 0) written += static_cast<std::size_t>(n);
        if ((n < 0 && errno != EAGAIN && errno != EINTR) || written == input.size()) {
          CloseFd(toChild);
        }
      }
    }
  }
}

}  // namespace

std::string ProgramPath(std::string_view name) {
  const char* bin = std::getenv("VORLANE_BIN");
  return std::string(bin != nullptr ? bin : ".") + "/" + std::string(name);
}

ProcessResult RunProgram(const std::string& path, const std::vector<std::string>& args,
                         std::string_view input, const RunOptions& options) {
  IgnoreBrokenPipes();
  ProcessResult result;
  const auto deadline = Clock::now() + options.timeout;
  int in[2], out[2], err[2];
  if (!MakePipe(in) || !MakePipe(out) || !MakePipe(err)) return result;
  if (options.inputFile != nullptr) {
    close(in[0]);
    in[0] = open(options.inputFile, O_RDONLY | O_CLOEXEC);
  }
  if (options.outputFile != nullptr) {
    close(out[1]);
    out[1] = open(options.outputFile, O_WRONLY | O_CLOEXEC);
  }
  const pid_t pid = Spawn(path, args, in[0], out[1], err[1], options.addressSpaceLimit);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  int toChild = in[1];
  if (input.empty()) CloseFd(toChild);
  if (toChild >= 0) fcntl(toChild, F_SETFL, fcntl(toChild, F_GETFL) | O_NONBLOCK);
  int outFd = out[0];
  int errFd = err[0];
  if (pid > 0) {
    Exchange(pid, options.measurePeak ? &path : nullptr, toChild, input, outFd, errFd, deadline, result);
  }
  CloseFd(toChild);
  CloseFd(outFd);
  CloseFd(errFd);
  if (pid > 0) WaitForExit(pid, deadline, result);
  return result;
}

ProcessResult RunOnTerminal(const std::string& path, std::string_view input, const RunOptions& options) {
  ProcessResult result;
  const auto deadline = Clock::now() + options.timeout;
  int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    CloseFd(master);
    return result;
  }
  int terminal = open(ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
  int err[2];
  if (terminal < 0 || !MakePipe(err)) {
    CloseFd(master);
    CloseFd(terminal);
    return result;
  }
  // No echo and no output processing: what we read is exactly what the program wrote.
  termios mode{};
  tcgetattr(terminal, &mode);
  mode.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL);
  mode.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  tcsetattr(terminal, TCSANOW, &mode);

  const pid_t pid = Spawn(path, {}, terminal, terminal, err[1], 0);
  CloseFd(terminal);
  close(err[1]);
  std::string typed(input);
  typed.push_back(static_cast<char>(mode.c_cc[VEOF]));
  int toChild = dup(master);
  fcntl(toChild, F_SETFL, fcntl(toChild, F_GETFL) | O_NONBLOCK);
  int errFd = err[0];
  if (pid > 0) Exchange(pid, nullptr, toChild, typed, master, errFd, deadline, result);
  CloseFd(toChild);
  CloseFd(master);
  CloseFd(errFd);
  if (pid > 0) WaitForExit(pid, deadline, result);
  return result;
}

ProcessResult RunForked(const std::function<int()>& work, std::chrono::milliseconds timeout) {
  ProcessResult result;
  int report[2];
  if (!MakePipe(report)) return result;
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
    return result;
  }
  WaitForExit(pid, Clock::now() + timeout, result);
  long growth = 0;
  if (read(report[0], &growth, sizeof growth) == static_cast<ssize_t>(sizeof growth)) {
    result.peakKilobytes = growth;
  }
  close(report[0]);
  return result;
}

bool StartCoprocess(const std::string& path, const std::vector<std::string>& args, Coprocess& child) {
  IgnoreBrokenPipes();
  int in[2], out[2];
  if (!MakePipe(in)) return false;
  if (!MakePipe(out)) {
    close(in[0]);
    close(in[1]);
    return false;
  }
  child.pid = Spawn(path, args, in[0], out[1], 2, 0);
  close(in[0]);
  close(out[1]);
  child.toChild = in[1];
  child.fromChild = out[0];
  return child.pid > 0;
}

bool SendText(Coprocess& child, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = write(child.toChild, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool ReceiveLine(Coprocess& child, std::string& line, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    const std::size_t newline = child.received.find('\n');
    if (newline != std::string::npos) {
      line = child.received.substr(0, newline);
      child.received.erase(0, newline + 1);
      return true;
    }
    if (child.fromChild < 0 || Clock::now() >= deadline) return false;
    pollfd ready{child.fromChild, POLLIN, 0};
    if (poll(&ready, 1, MillisecondsLeft(deadline)) > 0) ReadReady(child.fromChild, child.received);
  }
}

int FinishCoprocess(Coprocess& child, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  CloseFd(child.toChild);
  while (child.fromChild >= 0 && Clock::now() < deadline) {
    pollfd ready{child.fromChild, POLLIN, 0};
    if (poll(&ready, 1, MillisecondsLeft(deadline)) > 0) ReadReady(child.fromChild, child.received);
  }
  CloseFd(child.fromChild);
  ProcessResult result;
  if (child.pid <= 0 || !WaitForExit(child.pid, deadline, result)) return -1;
  child.pid = -1;
  return result.exitCode;
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VORLANE_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VORLANE_SANITIZED 1
#endif

namespace {

bool Holds(long peakKilobytes, long boundKilobytes) {
#ifdef VORLANE_SANITIZED
  static_cast<void>(peakKilobytes);
  static_cast<void>(boundKilobytes);
  return true;
#else
  return peakKilobytes <= boundKilobytes;
#endif
}

}  // namespace

bool MemoryBoundHolds(long peakKilobytes, std::size_t characters, long& boundKilobytes) {
  // Eight copies of the text as wide characters, and 64 MB for the rest.
  boundKilobytes = static_cast<long>(characters * sizeof(wchar_t) * 8 / 1024) + 64 * 1024;
  return Holds(peakKilobytes, boundKilobytes);
}

bool LineBoundHolds(long peakKilobytes, std::size_t bytes, long& boundKilobytes) {
  boundKilobytes = static_cast<long>(2 * bytes / 1024) + 16 * 1024;
  return Holds(peakKilobytes, boundKilobytes);
}
