// vorlane-eval: the calculator's "=" on the command line, for scripts and terminals.
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
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
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <sys/mman.h>
#endif

#include "engine/engine.h"
#include "engine/utf8.h"

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
std::size_t InputLeftInFile();  // bytes not yet read when input is a file, else 0
bool OutputIsTerminal();

// Evaluation and the two ways of feeding it.
CommandLine ParseCommandLine(const std::vector<std::string>& args);
std::wstring ResultOf(const std::wstring& text);
std::wstring ResultOfBytes(std::string_view expression);
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

long WriteSome(int fd, std::string_view bytes) {
  return _write(fd, bytes.data(), static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1u << 30)));
}

bool InputIsTerminal() { return _isatty(0) != 0; }
std::size_t InputLeftInFile() { return 0; }
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

std::size_t InputLeftInFile() {
  struct stat file {};
  if (fstat(0, &file) != 0 || !S_ISREG(file.st_mode)) return 0;
  const off_t offset = lseek(0, 0, SEEK_CUR);
  return offset >= 0 && offset < file.st_size ? static_cast<std::size_t>(file.st_size - offset) : 0;
}
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

// What "=" leaves for one expression text.
std::wstring ResultOf(const std::wstring& text) {
  try {
    if (EqualsLeavesAlone(text)) return text;
    return EvaluateText(text);
  } catch (const std::bad_alloc&) {
    return std::wstring(kErrorText);  // a line too long for the memory at hand
  }
}

std::wstring ResultOfBytes(std::string_view expression) {
  std::wstring text;
  try {
    if (!Utf8ToWide(expression, text)) return std::wstring(kErrorText);
  } catch (const std::bad_alloc&) {
    return std::wstring(kErrorText);
  }
  return ResultOf(text);
}

void AppendResultLine(std::wstring_view result, std::string& out, bool& sawError) {
  if (result == kErrorText) sawError = true;
  AppendUtf8(result, out);
  out.push_back('\n');
}

int EvaluateArguments(const std::vector<std::string>& expressions) {
  std::string out;
  bool sawError = false;
  for (const std::string& expression : expressions) {
    AppendResultLine(ResultOfBytes(expression), out, sawError);
  }
  if (!WriteOutput(out)) return kExitTrouble;
  return sawError ? kExitSawError : kExitOk;
}

#ifdef __linux__
// Fresh memory costs a page fault for each page first touched; on a long line those would
// cost more than decoding it. Huge pages make them 512 times fewer, and populating a range
// before it is written takes the rest in one call instead of a trap per page.
void AdviseHugePages(void* data, std::size_t bytes) {
  constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t begin = (start + kHuge - 1) & ~(kHuge - 1);
  const std::uintptr_t end = (start + bytes) & ~(kHuge - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

void Populate(void* data, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t begin = start & ~(page - 1);
  const std::uintptr_t end = (start + bytes + page - 1) & ~(page - 1);
  madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);  // only a hint
#else
  static_cast<void>(data);
  static_cast<void>(bytes);
#endif
}
#else
void AdviseHugePages(void*, std::size_t) {}
void Populate(void*, std::size_t) {}
#endif

// Standard input cut into lines (LF or CRLF), decoded as it arrives: a long line is held
// once, as the wide text the engine reads, never as bytes as well.
class LineReader {
 public:
  enum class Line { kNone, kText, kError };

  LineReader() : buffer_(kMaxCut + kReadSize), scratch_(kMaxCut + kReadSize) {}

  // The next complete line of what has been read: kText (its text in Text()), kError
  // for one that is not UTF-8 or outgrew memory, kNone when the next line is not complete.
  Line Next() {
    if (taken_) StartLine();
    if (unread_.empty()) return Line::kNone;
    const void* newline = std::memchr(unread_.data(), '\n', unread_.size());
    if (newline == nullptr) {
      Take(unread_, false);
      unread_ = {};
      return Line::kNone;
    }
    const auto length = static_cast<std::size_t>(static_cast<const char*>(newline) - unread_.data());
    Take(unread_.substr(0, length), true);
    unread_.remove_prefix(length + 1);
    return Finish();
  }

  // At the end of input: the last line when it has no newline, else kNone.
  Line Last() {
    if (taken_) StartLine();
    if (!started_) return Line::kNone;
    if (carried_ > 0) failed_ = true;  // a character cut off by the end of input
    carried_ = 0;
    return Finish();
  }

  // Waits for more input: the count of bytes read, 0 at its end, below 0 on failure.
  long Read() {
    const long n = ReadInput(buffer_.data() + carried_, buffer_.size() - carried_);
    if (n > 0) {
      unread_ = std::string_view(buffer_.data(), carried_ + static_cast<std::size_t>(n));
      carried_ = 0;
    }
    return n;
  }

  // Part of a line has been read.
  bool MidLine() const { return started_ && !taken_; }

  const std::wstring& Text() const { return text_; }

 private:
  static constexpr std::size_t kMaxCut = 3;  // bytes of a character the end of a read cuts off
  static constexpr std::size_t kReadSize = 64 * 1024;
  // Beyond this a line's text is not kept for the next, short, lines.
  static constexpr std::size_t kKeptUnits = 1 << 20;
  // A line longer than this is given all that its file has left.
  static constexpr std::size_t kFileHintUnits = 256 * 1024;
  // Pieces of text from this size on are prefaulted in one call.
  static constexpr std::size_t kPopulated = 64 * 1024;

  void StartLine() {
    if (text_.capacity() > kKeptUnits) {
      std::wstring().swap(text_);
    } else {
      text_.clear();
    }
    started_ = taken_ = failed_ = false;
  }

  Line Finish() {
    taken_ = true;
    if (failed_) return Line::kError;
    if (!text_.empty() && text_.back() == L'\r') text_.pop_back();
    return Line::kText;
  }

  // Decodes bytes of the current line; a character cut off where they end waits at the
  // start of the buffer for the rest of its bytes, unless the line ends there.
  void Take(std::string_view bytes, bool lineEnds) {
    if (bytes.empty()) return;
    started_ = true;
    if (failed_) return;
    try {
      Reserve(text_.size() + bytes.size());
    } catch (const std::bad_alloc&) {
      std::wstring().swap(text_);
      failed_ = true;
      return;
    }
    const std::size_t old = text_.size();
    if (bytes.size() >= kPopulated) Populate(text_.data() + old, bytes.size() * sizeof(wchar_t));
    // Decoded into a buffer that stays in cache, then appended: resizing the text first
    // would write every unit twice.
    const Utf8Piece piece = Utf8ToWideInto(bytes, scratch_.data());
    text_.append(scratch_.data(), piece.written);
    const std::size_t cut = bytes.size() - piece.read;
    if (!piece.valid || (cut > 0 && lineEnds)) {
      failed_ = true;
    } else if (cut > 0) {
      std::memmove(buffer_.data(), bytes.data() + piece.read, cut);
      carried_ = cut;
    }
  }

  // Grows the text into memory that is advised before it is first touched: at once to
  // what a file has left, which spares a long line a series of copies, else geometrically.
  void Reserve(std::size_t units) {
    if (units <= text_.capacity()) return;
    std::wstring larger;
    const std::size_t left = text_.capacity() >= kFileHintUnits ? InputLeftInFile() : 0;
    try {
      larger.reserve(std::max(units + left, 2 * text_.capacity()));
    } catch (const std::bad_alloc&) {
      if (left == 0) throw;
      larger.reserve(std::max(units, 2 * text_.capacity()));
    }
    AdviseHugePages(larger.data(), larger.capacity() * sizeof(wchar_t));
    if (text_.size() >= kPopulated) Populate(larger.data(), text_.size() * sizeof(wchar_t));
    larger.append(text_);
    text_.swap(larger);
  }

  std::vector<char> buffer_;  // a carried cut character, then the bytes of the last read
  std::size_t carried_ = 0;
  std::string_view unread_;   // in buffer_: read but not yet taken
  std::wstring text_;         // the current line, decoded so far
  std::vector<wchar_t> scratch_;  // room for the decoded text of one read
  bool started_ = false;      // bytes of the current line have been taken
  bool taken_ = false;        // the current line has been handed out
  bool failed_ = false;       // the current line is not UTF-8 or outgrew memory
};

bool Flush(std::string& out) {
  if (out.empty()) return true;
  if (!WriteOutput(out)) return false;
  out.clear();
  return true;
}

void AppendAnswer(LineReader::Line line, const LineReader& input, std::string& out, bool& sawError) {
  if (line == LineReader::Line::kError) {
    AppendResultLine(kErrorText, out, sawError);
  } else {
    AppendResultLine(ResultOf(input.Text()), out, sawError);
  }
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
  return RunFilter(InputIsTerminal() && OutputIsTerminal());
}
