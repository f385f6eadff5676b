// vorlane-eval: the calculator's "=" on the command line, for scripts and terminals.
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
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
#ifdef __linux__
#include <sys/mman.h>
#endif

#include "engine/engine.h"
#include "engine/utf8.h"
#ifdef VORLANE_LINE_EDITING
#include "tools/line_editor.h"
#endif

namespace {

constexpr int kExitOk = 0;
constexpr int kExitSawError = 1;
// Usage errors, and input or output that failed: the tool could not do its work.
constexpr int kExitTrouble = 2;

// Output waits for at most this much before it is written even while more input is ready.
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
#ifdef VORLANE_LINE_EDITING
    "There a line can be edited, Up and Down recall earlier lines, kept in\n"
    "$XDG_STATE_HOME/vorlane/eval_history, Ctrl+R searches them, Ctrl+C drops the\n"
    "line and Ctrl+D on an empty line ends.\n"
#endif
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
long WriteSome(int fd, std::string_view bytes);  // one write call; may write less
bool WriteOutput(std::string_view bytes);
bool WriteError(std::string_view bytes);
bool InputIsTerminal();
bool OutputIsTerminal();

// Evaluation and the two ways of feeding it.
CommandLine ParseCommandLine(const std::vector<std::string>& args);
void AppendResultLine(std::string_view expression, std::string& out, bool& sawError);
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

long WriteSome(int fd, std::string_view bytes) {
  return _write(fd, bytes.data(), static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1u << 30)));
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

long WriteSome(int fd, std::string_view bytes) {
  return static_cast<long>(write(fd, bytes.data(), bytes.size()));
}

bool InputIsTerminal() { return isatty(0) != 0; }
bool OutputIsTerminal() { return isatty(1) != 0; }

#endif

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const long n = WriteSome(fd, bytes);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

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

// What "=" leaves for one expression, read from its UTF-8 bytes, as a line of output.
void AppendResultLine(std::string_view expression, std::string& out, bool& sawError) {
  if (EqualsLeavesAlone(expression)) {
    out.append(expression);
    out.push_back('\n');
    return;
  }
  std::wstring result;
  try {
    result = EvaluateUtf8(expression);
  } catch (const std::bad_alloc&) {
    result = kErrorText;  // a line too long for the memory at hand
  }
  if (result == kErrorText) sawError = true;
  AppendUtf8(result, out);
  out.push_back('\n');
}

int EvaluateArguments(const std::vector<std::string>& expressions) {
  std::string out;
  bool sawError = false;
  for (const std::string& expression : expressions) AppendResultLine(expression, out, sawError);
  if (!WriteOutput(out)) return kExitTrouble;
  return sawError ? kExitSawError : kExitOk;
}

// Room for the bytes of the current line and of what was read after it. On Linux it grows
// with mremap, which moves the pages rather than copying them, so that a long line is in
// memory once also while its room grows; elsewhere realloc does what it can.
class ByteBuffer {
 public:
  ByteBuffer() = default;
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;
  ~ByteBuffer() { Release(); }

  char* Data() const { return data_; }
  std::size_t Capacity() const { return capacity_; }

  // Keeps the first min(old, new) bytes; false, and unchanged, when memory is short.
  bool Resize(std::size_t capacity) {
#ifdef __linux__
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    capacity = (capacity + page - 1) / page * page;
    void* moved = data_ == nullptr ? mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                                   : mremap(data_, capacity_, capacity, MREMAP_MAYMOVE);
    if (moved == MAP_FAILED) return false;
    // A page fault for every 4 KiB of a long line would cost more than reading it.
    if (capacity >= kHugeFrom) madvise(moved, capacity, MADV_HUGEPAGE);
#else
    void* moved = std::realloc(data_, capacity);
    if (moved == nullptr) return false;
#endif
    data_ = static_cast<char*>(moved);
    capacity_ = capacity;
    return true;
  }

 private:
  static constexpr std::size_t kHugeFrom = std::size_t{4} << 20;

  void Release() {
    if (data_ == nullptr) return;
#ifdef __linux__
    munmap(data_, capacity_);
#else
    std::free(data_);
#endif
  }

  char* data_ = nullptr;
  std::size_t capacity_ = 0;
};

// Standard input cut into lines (LF or CRLF). A line is held once, as the bytes it came in,
// and evaluated from them: the engine reads UTF-8 itself, so a line of a gigabyte costs a
// gigabyte, and not four more as wide text.
class LineReader {
 public:
  enum class Line { kNone, kText, kError };

  // The next complete line of what has been read: kText (its bytes in Bytes()), kError for
  // one that outgrew memory, kNone when the next line is not complete.
  Line Next() {
    if (scan_ == end_) return Line::kNone;
    const void* newline = std::memchr(buffer_.Data() + scan_, '\n', end_ - scan_);
    if (newline == nullptr) {
      // A long line is searched once, not from its start again after every read.
      scan_ = end_;
      return Line::kNone;
    }
    return Finish(static_cast<std::size_t>(static_cast<const char*>(newline) - buffer_.Data()), 1);
  }

  // At the end of input: the last line when it has no newline, else kNone.
  Line Last() { return MidLine() ? Finish(end_, 0) : Line::kNone; }

  // Waits for more input: the count of bytes read, 0 at its end, below 0 on failure.
  long Read() {
    MakeRoom();
    const std::size_t room = std::min(buffer_.Capacity() - end_, kMaxRead);
    const long n = ReadInput(buffer_.Data() + end_, room);
    if (n > 0) end_ += static_cast<std::size_t>(n);
    return n;
  }

  // Part of a line has been read.
  bool MidLine() const { return end_ > start_ || failed_; }

  // The line Next or Last gave, without its line end; valid until the next Read.
  std::string_view Bytes() const { return line_; }

 private:
  static constexpr std::size_t kReadSize = 64 * 1024;  // room at least for each read
  static constexpr std::size_t kMaxRead = 8 << 20;     // read ahead of a long line at most
  static constexpr std::size_t kKeptBytes = 1 << 20;   // room kept after a long line

  Line Finish(std::size_t lineEnd, std::size_t endLength) {
    line_ = std::string_view(buffer_.Data() + start_, lineEnd - start_);
    if (!line_.empty() && line_.back() == '\r') line_.remove_suffix(1);
    start_ = scan_ = lineEnd + endLength;
    const bool failed = failed_;
    failed_ = false;
    return failed ? Line::kError : Line::kText;
  }

  // What is left of the lines read moves to the front, so that a long line moves once at
  // most, and gets room for the next read.
  void MakeRoom() {
    if (start_ > 0) {
      std::memmove(buffer_.Data(), buffer_.Data() + start_, end_ - start_);
      end_ -= start_;
      scan_ -= start_;
      start_ = 0;
    }
    if (buffer_.Capacity() > kKeptBytes && end_ < kKeptBytes / 2) buffer_.Resize(kKeptBytes);
    if (buffer_.Capacity() - end_ >= kReadSize) return;
    if (buffer_.Resize(std::max(2 * buffer_.Capacity(), end_ + kReadSize))) return;
    // No memory for more of this line: it is dropped, and what follows up to its end too.
    failed_ = true;
    end_ = scan_ = start_;
  }

  ByteBuffer buffer_;
  std::size_t start_ = 0;  // in buffer_: where the current line starts
  std::size_t scan_ = 0;   // searched for its end up to here
  std::size_t end_ = 0;    // read up to here
  std::string_view line_;  // the line given out last
  bool failed_ = false;    // the current line outgrew memory
};

bool Flush(std::string& out) {
  if (out.empty()) return true;
  if (!WriteOutput(out)) return false;
  out.clear();
  return true;
}

void AppendAnswer(LineReader::Line line, const LineReader& input, std::string& out, bool& sawError) {
  if (line != LineReader::Line::kError) {
    AppendResultLine(input.Bytes(), out, sawError);
    return;
  }
  sawError = true;
  AppendUtf8(kErrorText, out);
  out.push_back('\n');
}

// Answers each line as soon as it is complete. Output is written whenever the next read
// might wait, so a coprocess always gets its answer, and not after every line otherwise,
// so a filter over buffered input writes in large pieces.
int RunFilter(bool interactive) {
  LineReader input;
  std::string out;
  bool sawError = false;
  for (;;) {
    for (LineReader::Line line; (line = input.Next()) != LineReader::Line::kNone;) {
      AppendAnswer(line, input, out, sawError);
      if (out.size() >= kChunkSize && !Flush(out)) return kExitTrouble;
    }
    if (interactive && !input.MidLine()) out += kPrompt;
    if (!Flush(out)) return kExitTrouble;
    const long n = input.Read();
    if (n < 0) {
      WriteError("vorlane-eval: cannot read standard input: " + std::string(std::strerror(errno)) + "\n");
      return kExitTrouble;
    }
    if (n == 0) break;
  }
  // The terminal's cursor stands after the prompt or the unfinished line.
  if (interactive) out.push_back('\n');
  const LineReader::Line last = input.Last();
  if (last != LineReader::Line::kNone) AppendAnswer(last, input, out, sawError);
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
  const bool interactive = InputIsTerminal() && OutputIsTerminal();
#ifdef VORLANE_LINE_EDITING
  if (interactive) {
    bool sawError = false;
    const bool written = EditLines([&](std::string_view typed) {
      std::string out;
      AppendResultLine(typed, out, sawError);
      return WriteOutput(out);
    });
    if (!written) return kExitTrouble;
    return sawError ? kExitSawError : kExitOk;
  }
#endif
  return RunFilter(interactive);
}
