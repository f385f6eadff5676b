#include <array>
#include <optional>

#include "calculator/calculator.h"
#include "calculator/editing.h"
#include "calculator/history.h"
#include "calculator/keypad.h"

namespace {

struct TypedKey {
  wchar_t ch;
  int id;  // the key whose first function the character runs
};

// The operators enter in the ASCII form the evaluator reads, also when typed as × or ÷.
constexpr std::array<TypedKey, 14> kTypedKeys = {{
    {L'+', kKeyPlus},
    {L'-', kKeyMinus},
    {L'*', kKeyTimes},
    {L'\u00D7', kKeyTimes},  // ×
    {L'/', kKeyDivide},
    {L'\u00F7', kKeyDivide},  // ÷
    {L'^', kKeyPower},
    {L'%', kKeyRemainder},
    {L'(', kKeyOpenParen},
    {L')', kKeyCloseParen},
    {L'!', kKeyFactorial},
    {L'.', kKeyPoint},
    {L',', kKeyPoint},
    {L'=', kKeyEquals},
}};

std::optional<int> TypedKeyId(wchar_t ch) {
  for (const TypedKey& key : kTypedKeys) {
    if (key.ch == ch) return key.id;
  }
  return std::nullopt;
}

std::optional<wchar_t> DigitOfKey(int keyCode) {
  if (keyCode >= kVkDigit0 && keyCode <= kVkDigit0 + 9) {
    return static_cast<wchar_t>(L'0' + (keyCode - kVkDigit0));
  }
  if (keyCode >= kVkNumpad0 && keyCode <= kVkNumpad0 + 9) {
    return static_cast<wchar_t>(L'0' + (keyCode - kVkNumpad0));
  }
  return std::nullopt;
}

enum class Shortcut { kNone, kCopy, kPaste, kHistory };

// The bindings of Windows programs. With Alt held they are no shortcuts: AltGr is
// Control and Alt together, and a layout may type a character with it.
Shortcut ShortcutOf(int keyCode, unsigned modifiers) {
  const bool ctrl = (modifiers & kControlHeld) != 0;
  const bool shift = (modifiers & kShiftHeld) != 0;
  if ((modifiers & kAltHeld) != 0) return Shortcut::kNone;
  if (ctrl && (keyCode == kVkC || keyCode == kVkInsert)) return Shortcut::kCopy;
  if ((ctrl && keyCode == kVkV) || (shift && keyCode == kVkInsert)) return Shortcut::kPaste;
  if (ctrl && keyCode == kVkH) return Shortcut::kHistory;
  return Shortcut::kNone;
}

}  // namespace

void OnKeyDown(WindowHandle window, int keyCode, wchar_t typedChar, unsigned modifiers) {
  switch (ShortcutOf(keyCode, modifiers)) {
    case Shortcut::kCopy:
      CopyDisplay(window);
      return;
    case Shortcut::kPaste:
      PasteClipboard(window);
      return;
    case Shortcut::kHistory:
      ToggleHistoryPane(window);
      return;
    case Shortcut::kNone:
      break;
  }
  UnlessOutOfMemory([&] {
    if (keyCode == kVkEnter) {
      Calculate(window);
    } else if (keyCode == kVkEscape) {
      AllClear(window);
    } else if (keyCode == kVkBackspace) {
      Erase(window, OutcomeText::kEraseByCharacter);
    } else if (keyCode == kVkDecimal) {
      // "," on a German keyboard, "." on others: a point character enters as typed.
      if (TypedKeyId(typedChar) != kKeyPoint) RunFirstFunction(window, kKeyPoint);
    } else if (const std::optional<wchar_t> digit = DigitOfKey(keyCode)) {
      // Shift+8 types "*" on a US keyboard, the French 5 key "(": the typed character
      // enters it, not the digit as well. Shift+2 types "@": the digit enters.
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
