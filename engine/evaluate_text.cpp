#include <cstddef>
#include <new>

#include "engine/engine.h"
#include "engine/postfix.h"

using namespace engine_internal;

bool EqualsLeavesAlone(std::wstring_view text) { return text.empty() || text == L"0"; }

std::wstring EvaluateText(std::wstring_view text) {
  try {
    // The user may leave parentheses open; a surplus ")" stays for the conversion to reject.
    std::ptrdiff_t balance = 0;
    for (wchar_t c : text) balance += (c == L'(') - (c == L')');
    std::ptrdiff_t missing = balance > 0 ? balance : 0;

    // Tokens stream from the text (then the missing ")") through the conversion straight
    // into the evaluator: no token or postfix list is ever held in memory.
    std::size_t pos = 0;
    auto next = [&](std::wstring_view& token) {
      if (NextToken(text, pos, token)) return true;
      if (missing == 0) return false;
      --missing;
      token = L")";
      return true;
    };
    ValueStack stack;
    if (!ConvertToPostfix(next, stack)) return std::wstring(kErrorText);
    const std::optional<double> value = stack.Result();
    if (!value) return std::wstring(kErrorText);
    return FormatResult(*value);
  } catch (const std::bad_alloc&) {
    return std::wstring(kErrorText);
  }
}
