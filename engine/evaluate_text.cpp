#include <cstddef>
#include <new>

#include "engine/engine.h"
#include "engine/postfix.h"

using namespace engine_internal;

namespace {

template <class Char>
constexpr Char kClosing = ')';

// The one route of "=", on wide text or on UTF-8 bytes: both read the same characters.
template <class Char>
std::wstring Evaluate(std::basic_string_view<Char> text) {
  try {
    // The user may leave parentheses open; a surplus ")" stays for the conversion to reject.
    std::ptrdiff_t balance = 0;
    for (Char c : text) balance += (c == '(') - (c == ')');
    std::ptrdiff_t missing = balance > 0 ? balance : 0;

    // Tokens stream from the text (then the missing ")") through the conversion straight
    // into the evaluator: no token or postfix list is ever held in memory.
    std::size_t pos = 0;
    auto next = [&](std::basic_string_view<Char>& token) {
      if (NextToken(text, pos, token)) return true;
      if (missing == 0) return false;
      --missing;
      token = std::basic_string_view<Char>(&kClosing<Char>, 1);
      return true;
    };
    ValueStack stack;
    if (!ConvertToPostfix<Char>(next, stack)) return std::wstring(kErrorText);
    const std::optional<double> value = stack.Result();
    if (!value) return std::wstring(kErrorText);
    return FormatResult(*value);
  } catch (const std::bad_alloc&) {
    return std::wstring(kErrorText);
  }
}

}  // namespace

bool EqualsLeavesAlone(std::wstring_view text) { return text.empty() || text == L"0"; }
bool EqualsLeavesAlone(std::string_view bytes) { return bytes.empty() || bytes == "0"; }

std::wstring EvaluateText(std::wstring_view text) { return Evaluate(text); }
std::wstring EvaluateUtf8(std::string_view bytes) { return Evaluate(bytes); }
