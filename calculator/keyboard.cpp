#include <array>
#include <optional>

#include "calculator/calculator.h"
#include "calculator/editing.h"
#include "ui/refresh.h"

namespace {

struct TypedKey {
  wchar_t ch;
  int id;  // the key whose first function the character runs
};

// The operators enter in the ASCII form the evaluator reads, also when typed as × or ÷.
constexpr std::array<TypedKey, 12> kTypedKeys = {{
    {L'+', 1012},
    {L'-', 1013},
    {L'*', 1014},
    {L'\u00D7', 1014},  // ×
    {L'/', 1015},
    {L'\u00F7', 1015},  // ÷
    {L'^', 1038},       // y^x
    {L'%', 1026},
    {L'(', 1020},
    {L')', 1021},
    {L'!', 1043},  // x!
    {L'.', 1011},
}};

std::optional<int> TypedKeyId(wchar_t ch) {
  for (const TypedKey& key : kTypedKeys) {
    if (key.ch == ch) return key.id;
  }
  return std::nullopt;
}

std::optional<wchar_t> DigitOfKey(int keyCode) {
  if (keyCode >= kKeyDigit0 && keyCode <= kKeyDigit0 + 9) {
    return static_cast<wchar_t>(L'0' + (keyCode - kKeyDigit0));
  }
  if (keyCode >= kKeyNumpadDigit0 && keyCode <= kKeyNumpadDigit0 + 9) {
    return static_cast<wchar_t>(L'0' + (keyCode - kKeyNumpadDigit0));
  }
  return std::nullopt;
}

void ResetText(WindowHandle window) {
  g_expr.assign(L"0");
  g_resultShown = false;
  UpdateDisplay(window);
}

// Unlike the ⌫ key, it needs no test for "错误" and "无穷大": the result flag covers them.
void KeyboardErase(WindowHandle window) {
  if (g_resultShown || g_expr.size() <= 1) {
    g_expr.assign(L"0");
    g_resultShown = false;
  } else {
    g_expr.pop_back();
  }
  UpdateDisplay(window);
}

}  // namespace

void OnKeyDown(WindowHandle window, int keyCode, wchar_t typedChar) {
  UnlessOutOfMemory([&] {
    if (keyCode == kKeyEnter) {
      Calculate(window);
    } else if (keyCode == kKeyEscape) {
      ResetText(window);
    } else if (keyCode == kKeyBackspace) {
      KeyboardErase(window);
    } else if (const std::optional<wchar_t> digit = DigitOfKey(keyCode)) {
      // Shift+8 types "*" on a US keyboard: the typed character enters it, not the
      // digit as well.
      if (TypedKeyId(typedChar)) return;
      // A keyboard digit extends "无穷大" that is no longer shown as a result.
      const wchar_t piece[] = {*digit, L'\0'};
      EnterOperand(window, piece);
    }
  });
}

void OnTypedChar(WindowHandle window, wchar_t ch) {
  if (const std::optional<int> id = TypedKeyId(ch)) RunFirstFunction(window, *id);
}
