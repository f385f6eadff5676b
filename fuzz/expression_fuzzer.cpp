// Any bytes as an expression text, read as UTF-8, as 16-bit and as 32-bit code units,
// through "=" to the display text. Checks what holds for every text:
// - the streaming evaluation agrees with Tokenize, ToPostfix and EvaluatePostfix, and
//   read from the UTF-8 bytes with the decoded text;
// - number tokens read as the C library reads them;
// - the tokens hold every character of the text but white space, once, and blanks
//   around the text change nothing;
// - the shown text is "错误", "无穷大", or the number as the C library writes it;
// - a shown number reads back near its value, and "=" pressed again settles on it.
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <string_view>

#include "engine/engine.h"
#include "engine/internal.h"
#include "engine/utf8.h"

namespace {

std::wstring_view g_text;  // the text under test, for the report

[[noreturn]] void Fail(const char* what, std::wstring_view detail = {}) {
  std::string text;
  std::string more;
  AppendUtf8(g_text, text);
  AppendUtf8(detail, more);
  std::fprintf(stderr, "expression_fuzzer: %s\n  text: [%s]\n  detail: [%s]\n", what, text.c_str(),
               more.c_str());
  std::abort();
}

void Check(bool condition, const char* what, std::wstring_view detail = {}) {
  if (!condition) Fail(what, detail);
}

std::wstring Widen(const char* text) {
  std::wstring wide;
  for (; *text != '\0'; ++text) wide.push_back(static_cast<wchar_t>(*text));
  return wide;
}

// The text the C library gives for a finite value: all digits of an integer below
// 1e15, else %.12g. The fuzzer never sets a locale, so this is the "C" locale.
std::wstring CLibraryText(double value) {
  char buffer[64];
  if (value == std::floor(value) && std::fabs(value) < 1e15) {
    std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(value));
  } else {
    std::snprintf(buffer, sizeof buffer, "%.12g", value);
  }
  return Widen(buffer);
}

// A number token read as the C library's wcstod reads it, with the range rule on top:
// fails when nothing converts, on overflow, and on a nonzero value below the normal range.
bool CLibraryNumber(const std::wstring& token, double& value) {
  errno = 0;
  wchar_t* end = nullptr;
  value = std::wcstod(token.c_str(), &end);
  if (end == token.c_str() || std::isinf(value)) return false;
  if (errno == ERANGE && value == 0.0) return false;  // underflowed to zero
  return value == 0.0 || std::fabs(value) >= DBL_MIN;
}

struct ListOutcome {
  bool ok = false;
  double value = 0.0;
  std::wstring shown;
};

// "=" through the public list functions, each step checked on its own.
ListOutcome EvaluateByLists(std::wstring_view text) {
  std::ptrdiff_t balance = 0;
  for (wchar_t c : text) balance += (c == L'(') - (c == L')');
  std::wstring working(text);
  if (balance > 0) working.append(static_cast<std::size_t>(balance), L')');

  const TokenList tokens = Tokenize(working);
  std::wstring joined;
  for (const std::wstring& token : tokens) {
    Check(!token.empty(), "empty token");
    for (wchar_t c : token) Check(!engine_internal::IsSpace(c), "white space inside a token", token);
    joined += token;
    if (engine_internal::IsDigit(token.front()) || token.front() == L'.') {
      double ours = 0.0;
      double theirs = 0.0;
      const bool read = ReadNumber(token, ours);
      Check(read == CLibraryNumber(token, theirs) && (!read || ours == theirs),
            "a number token reads otherwise than with wcstod", token);
    }
  }
  std::wstring unspaced;
  for (wchar_t c : working) {
    if (!engine_internal::IsSpace(c)) unspaced.push_back(c);
  }
  Check(joined == unspaced, "tokens lose or add characters", joined);

  ListOutcome outcome;
  bool ok = false;
  const TokenList postfix = ToPostfix(tokens, ok);
  if (!ok) {
    Check(postfix.empty(), "a failed conversion leaves output");
    outcome.shown = kErrorText;
    return outcome;
  }
  for (const std::wstring& token : postfix) {
    const bool number = engine_internal::IsDigit(token.front()) || token.front() == L'.';
    Check(number || IsFunctionName(token) || OperatorPrecedence(token) > 0,
          "postfix holds a token the evaluator cannot class", token);
  }
  ok = true;
  const double value = EvaluatePostfix(postfix, ok);
  if (!ok) {
    Check(value == 0.0 && !std::signbit(value), "a failed evaluation gives a value");
    outcome.shown = kErrorText;
    return outcome;
  }
  outcome.ok = true;
  outcome.value = value;
  outcome.shown = FormatResult(value);
  return outcome;
}

void CheckText(std::wstring_view text) {
  g_text = text;
  const std::wstring shown = EvaluateText(text);
  const ListOutcome lists = EvaluateByLists(text);
  Check(shown == lists.shown, "streaming and list evaluation differ", lists.shown);
  // Blanks around the text separate nothing new.
  Check(EvaluateText(L" " + std::wstring(text) + L"\t") == shown, "blanks around change the outcome");

  if (shown == kErrorText) {
    Check(!lists.ok || std::isnan(lists.value), "a value is shown as an error");
    return;
  }
  Check(lists.ok, "an error is shown as a result", shown);
  if (shown == kInfinityText) {
    Check(std::isinf(lists.value), "a finite value is shown as infinity", shown);
    return;
  }
  const double v = lists.value;
  Check(std::isfinite(v), "a number shown for a value that is none", shown);
  Check(shown == CLibraryText(v), "the number text is not the C library's", CLibraryText(v));

  double read = 0.0;
  if (!ReadNumber(shown, read)) {
    // Only a value below the normal range, or one that rounds below it, reads as a
    // range error.
    Check(std::fabs(v) < DBL_MIN * (1 + 1e-11), "a shown number does not read back", shown);
    Check(EvaluateText(shown) == kErrorText, "\"=\" accepts an unreadable number", shown);
    return;
  }
  if (v == std::floor(v) && std::fabs(v) < 1e15) {
    Check(read == v, "an integer does not read back exactly", shown);
  } else {
    Check(std::fabs(read - v) <= std::fabs(v) * 1e-11, "a number reads back far off", shown);
  }
  // "=" again: the text is its own value, and at the latest the press after settles.
  const std::wstring again = EvaluateText(shown);
  Check(again == FormatResult(read), "\"=\" on a shown number gives another value", again);
  Check(EvaluateText(again) == again, "\"=\" does not settle on a number", again);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The length's parity picks the angle mode, so mutations reach both.
  g_radians = size % 2 == 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  std::wstring text;
  const bool utf8 = Utf8ToWide(bytes, text);  // invalid bytes leave the valid start: still a text
  CheckText(text);
  // Read from the bytes themselves, "=" sees the text they encode, or none.
  Check(EvaluateUtf8(bytes) == (utf8 ? EvaluateText(text) : std::wstring(kErrorText)),
        "the UTF-8 route differs");

  text.clear();
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));
  }
  CheckText(text);

  if constexpr (sizeof(wchar_t) == 4) {
    text.clear();
    for (std::size_t i = 0; i + 3 < size; i += 4) {
      const std::uint32_t unit = data[i] | data[i + 1] << 8 | data[i + 2] << 16 |
                                 static_cast<std::uint32_t>(data[i + 3]) << 24;
      text.push_back(static_cast<wchar_t>(unit));
    }
    CheckText(text);
  }
  return 0;
}
