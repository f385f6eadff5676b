#include <array>
#include <optional>
#include <string>

#include "calculator/calculator.h"
#include "calculator/editing.h"
#include "calculator/history.h"
#include "calculator/keypad.h"

namespace {

struct TypedKey {
  wchar_t ch;
  int id;  // the key whose first function the character runs
};

// The operators enter in the ASCII form the evaluator reads (× and ÷ come here as * and /).
constexpr std::array<TypedKey, 12> kTypedKeys = {{
    {L'+', kKeyPlus},
    {L'-', kKeyMinus},
    {L'*', kKeyTimes},
    {L'/', kKeyDivide},
    {L'^', kKeyPower},
    {L'%', kKeyRemainder},
    {L'(', kKeyOpenParen},
    {L')', kKeyCloseParen},
    {L'!', kKeyFactorial},
    {L'.', kKeyPoint},
    {L',', kKeyPoint},
    {L'=', kKeyEquals},
}};

// What to type for each key that can be typed, in both function modes (second empty:
// the same as first); key names for the keys that are no characters.
constexpr KeyboardText kKeyboardTexts[] = {
    {kKey0, L"0", L""},
    {kKey1, L"1", L""},
    {kKey2, L"2", L""},
    {kKey3, L"3", L""},
    {kKey4, L"4", L""},
    {kKey5, L"5", L""},
    {kKey6, L"6", L""},
    {kKey7, L"7", L""},
    {kKey8, L"8", L""},
    {kKey9, L"9", L""},
    {kKeyPoint, L".", L""},
    {kKeyPlus, L"+", L""},
    {kKeyMinus, L"-", L""},
    {kKeyTimes, L"*", L""},
    {kKeyDivide, L"/", L""},
    {kKeyEquals, L"=", L"", L"Enter"},
    {kKeyAllClear, L"", L"", L"Esc"},
    {kKeyErase, L"", L"", L"Backspace"},
    {kKeyOpenParen, L"(", L""},
    {kKeyCloseParen, L")", L""},
    {kKeyPi, L"pi", L""},
    {kKeyExponent, L"e", L""},
    {kKeyRemainder, L"%", L""},
    {kKeySin, L"sin(", L"asin("},
    {kKeyCos, L"cos(", L"acos("},
    {kKeyTan, L"tan(", L"atan("},
    {kKeySinh, L"sinh(", L"asinh("},
    {kKeyCosh, L"cosh(", L"acosh("},
    {kKeyTanh, L"tanh(", L"atanh("},
    {kKeyLn, L"ln(", L"exp("},
    {kKeyLg, L"lg(", L"10^"},
    {kKeySqrt, L"sqrt(", L"^2"},
    {kKeySquare, L"^2", L"sqrt("},
    {kKeyCube, L"^3", L"cbrt("},
    {kKeyPower, L"^", L"^(1/"},
    {kKeyTenPower, L"10^", L"exp("},
    {kKeyExp, L"exp(", L""},
    {kKeyReciprocal, L"^(-1)", L""},
    {kKeyRoot, L"^(1/", L""},
    {kKeyFactorial, L"!", L""},
};

std::optional<int> TypedKeyId(wchar_t ch) {
  for (const TypedKey& key : kTypedKeys) {
    if (key.ch == ch) return key.id;
  }
  return std::nullopt;
}

bool IsAsciiDigit(wchar_t ch) { return ch >= L'0' && ch <= L'9'; }
bool IsAsciiLetter(wchar_t ch) { return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z'); }

// What a typed character does: run a key, or enter a piece by the operand rule.
struct TypedAction {
  std::optional<int> id;
  wchar_t piece = 0;
};

TypedAction TypedActionOf(wchar_t typed, unsigned modifiers) {
  const wchar_t ch = AsciiForm(typed);
  if (const std::optional<int> id = TypedKeyId(ch)) return {id};
  // ASCII digits arrive as key-downs; an input method types full-width ones without.
  if (IsAsciiDigit(ch) && ch != typed) return {std::nullopt, ch};
  // With Ctrl or Alt a letter is a shortcut, whatever it types.
  if (IsAsciiLetter(ch) && (modifiers & (kControlHeld | kAltHeld)) == 0) {
    return {std::nullopt, static_cast<wchar_t>(ch | 0x20)};  // lower case
  }
  return {};
}

bool Acts(const TypedAction& action) { return action.id || action.piece != 0; }

std::optional<wchar_t> DigitOfKey(int keyCode) {
  if (keyCode >= kVkDigit0 && keyCode <= kVkDigit0 + 9) {
    return static_cast<wchar_t>(L'0' + (keyCode - kVkDigit0));
  }
  if (keyCode >= kVkNumpad0 && keyCode <= kVkNumpad0 + 9) {
    return static_cast<wchar_t>(L'0' + (keyCode - kVkNumpad0));
  }
  return std::nullopt;
}

enum class Shortcut { kNone, kCopy, kPaste, kHistory, kHistoryPane };

// The bindings of Windows programs. With Alt held they are no shortcuts: AltGr is
// Control and Alt together, and a layout may type a character with it.
Shortcut ShortcutOf(int keyCode, unsigned modifiers) {
  const bool ctrl = (modifiers & kControlHeld) != 0;
  const bool shift = (modifiers & kShiftHeld) != 0;
  if ((modifiers & kAltHeld) != 0) return Shortcut::kNone;
  if (ctrl && (keyCode == kVkC || keyCode == kVkInsert)) return Shortcut::kCopy;
  if ((ctrl && keyCode == kVkV) || (shift && keyCode == kVkInsert)) return Shortcut::kPaste;
  if (ctrl && keyCode == kVkH) return Shortcut::kHistory;
  if (!ctrl && (keyCode == kVkF6 || keyCode == kVkTab)) return Shortcut::kHistoryPane;
  return Shortcut::kNone;
}

}  // namespace

wchar_t AsciiForm(wchar_t ch) {
  // Full-width forms, as Chinese input methods type them and Chinese text carries them.
  if (ch >= 0xFF01 && ch <= 0xFF5E) return static_cast<wchar_t>(ch - 0xFEE0);
  switch (ch) {
    case L'\u3000':  // ideographic space
      return L' ';
    case L'\u3002':  // 。, the full stop a Chinese input method types for "."
      return L'.';
    case L'\u00D7':  // ×
      return L'*';
    case L'\u00F7':  // ÷
      return L'/';
    default:
      return ch;
  }
}

std::span<const KeyboardText> KeyboardTexts() { return kKeyboardTexts; }

std::wstring KeyboardShortcut(int id, bool second) {
  for (const KeyboardText& entry : kKeyboardTexts) {
    if (entry.id != id) continue;
    std::wstring text(second && !entry.second.empty() ? entry.second : entry.typed);
    if (!entry.keyName.empty()) text += (text.empty() ? L"" : L", ") + std::wstring(entry.keyName);
    return text;
  }
  return {};
}

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
    case Shortcut::kHistoryPane:
      if (g_historyShown) UnlessOutOfMemory([&] { FocusHistoryPane(window); });
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
      if (TypedKeyId(AsciiForm(typedChar)) != kKeyPoint) RunFirstFunction(window, kKeyPoint);
    } else if (const std::optional<wchar_t> digit = DigitOfKey(keyCode)) {
      // Shift+8 types "*" on a US keyboard, the French 5 key "(": the typed character
      // enters it, not the digit as well. Shift+2 types "@": the digit enters.
      if (Acts(TypedActionOf(typedChar, modifiers))) return;
      // A keyboard digit extends "无穷大" that is no longer shown as a result.
      const wchar_t piece[] = {*digit, L'\0'};
      EnterOperand(window, piece);
    }
  });
}

void OnTypedChar(WindowHandle window, wchar_t ch, unsigned modifiers) {
  const TypedAction action = TypedActionOf(ch, modifiers);
  if (action.id) {
    RunFirstFunction(window, *action.id);
  } else if (action.piece != 0) {
    const wchar_t piece[] = {action.piece, L'\0'};
    UnlessOutOfMemory([&] { EnterOperand(window, piece); });
  }
}

HistoryPaneKey HistoryPaneKeyOf(int keyCode, unsigned modifiers) {
  if ((modifiers & (kControlHeld | kAltHeld)) != 0) return HistoryPaneKey::kCalculator;
  if (keyCode == kVkF10 && modifiers == kShiftHeld) return HistoryPaneKey::kList;
  switch (keyCode) {
    case kVkUp:
    case kVkDown:
    case kVkHome:
    case kVkEnd:
    case kVkPageUp:
    case kVkPageDown:
    case kVkApps:
      return HistoryPaneKey::kList;
    case kVkEnter:
      return HistoryPaneKey::kChoose;
    case kVkDelete:
      return modifiers == kNoModifier ? HistoryPaneKey::kDelete : HistoryPaneKey::kCalculator;
    case kVkF6:
    case kVkTab:
    case kVkEscape:
      return HistoryPaneKey::kLeave;
    default:
      return HistoryPaneKey::kCalculator;
  }
}
