// vorlane-eval: the calculator's "=" on the command line, for scripts and terminals.
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>
#else
#include <unistd.h>
#endif

#include "engine/engine.h"
#include "tools/utf8.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitSawError = 1;
// Usage errors, and input or output that failed: the tool could not do its work.
constexpr int kExitTrouble = 2;

// Input is read in pieces of this size; output waits for at most this much before it is
// written even while more input is ready.
constexpr std::size_t kChunkSize = 64 * 1024;

constexpr std::string_view kPrompt = "> ";

constexpr std::string_view kUsage =
    "Usage: vorlane-eval [--deg] [--] [EXPRESSION ...]\n"
    "Evaluates each EXPRESSION as the calculator's \"=\" key does and prints one line\n"
    "for each: a number, 错误 (error) or 无穷大 (infinity). Parentheses left open are\n"
    "closed; an empty expression, or exactly 0, is printed unchanged.\n"
    "Without EXPRESSION it reads standard input, one expression a line, and answers\n"
    "each line as soon as it has been read.\n"
    "\n"
    "  --deg      trigonometric functions take and give degrees (default: radians)\n"
    "  --         every later argument is an expression, even one starting with --\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "Options may stand anywhere before \"--\" and apply to every expression. An\n"
    "argument that starts with a single \"-\", such as -2+3, is an expression.\n"
    "On a terminal the prompt \"> \" asks for the next line.\n"
    "Input and output are UTF-8; a line that is not UTF-8 gives 错误.\n"
    "Exit status: 0 when no result was 错误, 1 when one was, 2 for a usage error or\n"
    "failed input or output.\n";

struct CommandLine {
  bool degrees = false;
  bool help = false;
  bool version = false;
  std::string badOption;  // the first unknown option; empty when there was none
  std::vector<std::string> expressions;
};

// Platform edge: arguments, raw reads and writes, terminal tests.
std::vector<std::string> ReadArguments(int argc, char** argv);
void PrepareStreams();
long ReadInput(char* buffer, std::size_t size);
bool WriteOutput(std::string_view bytes);
bool WriteError(std::string_view bytes);
bool InputIsTerminal();
bool OutputIsTerminal();

// Evaluation and the two ways of feeding it.
CommandLine ParseCommandLine(const std::vector<std::string>& args);
std::wstring ResultOf(std::string_view expression);
void AppendResultLine(std::wstring_view result, std::string& out, bool& sawError);
int EvaluateArguments(const std::vector<std::string>& expressions);
int RunFilter(bool interactive);

#ifdef _WIN32

std::vector<std::string> ReadArguments(int, char**) {
  // The narrow argv of Windows is in the ANSI code page; the wide command line is exact.
  std::vector<std::string> args;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return args;
  for (int i = 1; i < count; ++i) {
    std::string arg;
    AppendUtf8(std::wstring_view(wide[i]), arg);
    args.push_back(std::move(arg));
  }
  LocalFree(wide);
  return args;
}

void PrepareStreams() {
  // Bytes pass untouched: no CRLF translation, and a console shows UTF-8.
  _setmode(0, _O_BINARY);
  _setmode(1, _O_BINARY);
  _setmode(2, _O_BINARY);
  if (_isatty(1)) SetConsoleOutputCP(CP_UTF8);
  if (_isatty(0)) SetConsoleCP(CP_UTF8);
}

long ReadInput(char* buffer, std::size_t size) {
  for (;;) {
    const int n = _read(0, buffer, static_cast<unsigned>(size));
    if (n >= 0 || errno != EINTR) return n;
  }
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const unsigned piece = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1u << 30));
    const int n = _write(fd, bytes.data(), piece);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool InputIsTerminal() { return _isatty(0) != 0; }
bool OutputIsTerminal() { return _isatty(1) != 0; }

#else

std::vector<std::string> ReadArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

void PrepareStreams() {}

long ReadInput(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t n = read(0, buffer, size);
    if (n >= 0 || errno != EINTR) return static_cast<long>(n);
  }
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool InputIsTerminal() { return isatty(0) != 0; }
bool OutputIsTerminal() { return isatty(1) != 0; }

#endif

bool WriteError(std::string_view bytes) { return WriteAll(2, bytes); }

// A result that cannot be written must not end in a status that says all went well.
bool WriteOutput(std::string_view bytes) {
  if (WriteAll(1, bytes)) return true;
  WriteError("vorlane-eval: cannot write standard output: " + std::string(std::strerror(errno)) + "\n");
  return false;
}

// Only the exact option words and "--" are options, so "-3" or "-sin(1)" stay expressions.
// Options may stand anywhere before "--" and apply to every expression.
CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  bool optionsEnded = false;
  for (const std::string& arg : args) {
    if (!optionsEnded && arg.starts_with("--")) {
      if (arg == "--") {
        optionsEnded = true;
      } else if (arg == "--deg") {
        line.degrees = true;
      } else if (arg == "--help") {
        line.help = true;
      } else if (arg == "--version") {
        line.version = true;
      } else if (line.badOption.empty()) {
        line.badOption = arg;
      }
      continue;
    }
    line.expressions.push_back(arg);
  }
  return line;
}

// What "=" leaves for one expression given as bytes.
std::wstring ResultOf(std::string_view expression) {
  try {
    std::wstring text;
    if (!Utf8ToWide(expression, text)) return std::wstring(kErrorText);
    if (EqualsLeavesAlone(text)) return text;
    return EvaluateText(text);
  } catch (const std::bad_alloc&) {
    return std::wstring(kErrorText);  // a line too long for the memory at hand
  }
}

void AppendResultLine(std::wstring_view result, std::string& out, bool& sawError) {
  if (result == kErrorText) sawError = true;
  AppendUtf8(result, out);
  out.push_back('\n');
}

int EvaluateArguments(const std::vector<std::string>& expressions) {
  std::string out;
  bool sawError = false;
  for (const std::string& expression : expressions) AppendResultLine(ResultOf(expression), out, sawError);
  if (!WriteOutput(out)) return kExitTrouble;
  return sawError ? kExitSawError : kExitOk;
}

// The bytes of one input line without its terminator (LF or CRLF).
std::string_view LineBody(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// Answers each line as soon as it is complete. Output is written whenever the next read
// might wait, so a coprocess always gets its answer, and not after every line otherwise,
// so a filter over buffered input writes in large pieces.
int RunFilter(bool interactive) {
  std::vector<char> chunk(kChunkSize);
  std::string pending;  // the start of the line not yet complete
  std::string out;
  bool sawError = false;
  bool overlong = false;  // the current line outgrew memory: its bytes are dropped

  for (;;) {
    if (interactive && pending.empty() && !overlong) out += kPrompt;
    if (!out.empty()) {
      if (!WriteOutput(out)) return kExitTrouble;
      out.clear();
    }
    const long n = ReadInput(chunk.data(), chunk.size());
    if (n < 0) {
      WriteError("vorlane-eval: cannot read standard input: " + std::string(std::strerror(errno)) + "\n");
      return kExitTrouble;
    }
    if (n == 0) break;

    std::string_view fresh(chunk.data(), static_cast<std::size_t>(n));
    while (!fresh.empty()) {
      const std::size_t newline = fresh.find('\n');
      if (overlong) {
        if (newline == std::string_view::npos) break;
        AppendResultLine(kErrorText, out, sawError);
        overlong = false;
        fresh.remove_prefix(newline + 1);
        continue;
      }
      if (newline == std::string_view::npos) {
        try {
          pending.append(fresh);
        } catch (const std::bad_alloc&) {
          std::string().swap(pending);
          overlong = true;
        }
        break;
      }
      const std::string_view rest = fresh.substr(0, newline);
      if (pending.empty()) {
        AppendResultLine(ResultOf(LineBody(rest)), out, sawError);
      } else {
        std::wstring result;
        try {
          pending.append(rest);
          result = ResultOf(LineBody(pending));
        } catch (const std::bad_alloc&) {
          result = kErrorText;
        }
        std::string().swap(pending);  // a long line's buffer is not kept for short ones
        AppendResultLine(result, out, sawError);
      }
      fresh.remove_prefix(newline + 1);
      if (out.size() >= kChunkSize) {
        if (!WriteOutput(out)) return kExitTrouble;
        out.clear();
      }
    }
  }

  // The terminal's cursor stands after the prompt or the unfinished line.
  if (interactive) out.push_back('\n');
  if (overlong) {
    AppendResultLine(kErrorText, out, sawError);
  } else if (!pending.empty()) {
    AppendResultLine(ResultOf(LineBody(pending)), out, sawError);  // a last line without a newline
  }
  if (!WriteOutput(out)) return kExitTrouble;
  return sawError ? kExitSawError : kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  PrepareStreams();
  const CommandLine line = ParseCommandLine(ReadArguments(argc, argv));
  if (!line.badOption.empty()) {
    WriteError("vorlane-eval: unknown option '" + line.badOption +
               "'\nTry 'vorlane-eval --help' for more information.\n");
    return kExitTrouble;
  }
  if (line.help) return WriteOutput(kUsage) ? kExitOk : kExitTrouble;
  if (line.version) {
    return WriteOutput("vorlane-eval " VORLANE_VERSION "\n") ? kExitOk : kExitTrouble;
  }
  g_radians = !line.degrees;
  if (!line.expressions.empty()) return EvaluateArguments(line.expressions);
  return RunFilter(InputIsTerminal() && OutputIsTerminal());
}
