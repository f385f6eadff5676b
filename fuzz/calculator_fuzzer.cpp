// Any sequence of user actions on the calculator core with a fake window: the 48 keys in
// both modes, other command ids, key-downs with their typed characters (the caret keys,
// undo, redo, cut and select all among them), typed characters, pastes, copies, clicks
// and double-clicks in the display. While the caret is at the end of the text with nothing
// selected, after every action the core must be where a model of the editing rules says,
// the window must show it, and the action must end in its one refresh; an edit that would
// pass the expression's length limit is not made and beeps instead. Elsewhere the model
// takes the core's text as it finds it and checks what always holds: the caret inside the
// text on a character boundary, at the end of "0", "错误", "无穷大" and of a shown result,
// shown by the window, at most one refresh; and undo then redo changes nothing.
//
// Input bytes, read in order (fuzz/make-corpus writes seeds in this form):
//   0x00..0x8F, 0xC8..0xFF  key command kFirstKeyId + (byte - base) % 48
//   0x90..0x9F  key-down with the modifiers in the low three bits (Shift 1, Control 2,
//               Alt 4): next byte is the key code, the byte after it the typed
//               character (0: none)
//   0xA0..0xAF  typed character: next byte
//   0xB0..0xB7  paste: next byte n, then n bytes of text
//   0xB8..0xBB  copy
//   0xBC, 0xBD  click, Shift+click before the character of the next byte
//   0xBE        double-click on the character of the next byte
//   0xBF        undo, then redo
//   0xC0..0xC7  command with an id outside the keys, from the next byte
// A character byte below 0x80 is that ASCII character; 0x80 and above pick from
// kExtraCharacters.
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <string>
#include <string_view>

#include "calculator/calculator.h"
#include "calculator/caret.h"
#include "calculator/clipboard.h"
#include "calculator/editing.h"
#include "calculator/key_codes.h"
#include "calculator/key_commands.h"
#include "calculator/keyboard.h"
#include "calculator/keypad.h"
#include "calculator/random.h"
#include "calculator/refresh.h"
#include "calculator/state.h"
#include "calculator/undo.h"
#include "fake_window.h"
#include "engine/utf8.h"
#include "engine/engine.h"

namespace {

// Characters a user may paste or type beyond ASCII: the operator signs of the key
// labels, the outcome texts, spaces and separators, controls, look-alike digits,
// a lone surrogate and a character beyond 16 bits.
constexpr wchar_t kExtraCharacters[] = {
    L'\u00D7', L'\u00F7', L'\u9519', L'\u8BEF', L'\u65E0', L'\u7A77', L'\u5927', L'\u00A0',
    L'\u3000', L'\u2028', L'\u2029', L'\u0085', L'\u009F', L'\u03C0', L'\u221A', L'\u00B2',
    L'\u00B3', L'\uFEFF', L'\uFFFD', L'\u00E9', L'\u0660', L'\uFF10', L'\uFF0B', L'\u232B',
    L'\u00B1', L'\u02B8', L'\u221B', L'\u3002', L'\uFF33', L'\uFF49', L'\uFF08',
    static_cast<wchar_t>(0xD800),
    static_cast<wchar_t>(sizeof(wchar_t) == 4 ? 0x1F600 : 0xDE00),
};

wchar_t CharacterOf(std::uint8_t byte) {
  if (byte < 0x80) return static_cast<wchar_t>(byte);
  return kExtraCharacters[(byte - 0x80) % std::size(kExtraCharacters)];
}

// ---- The model: the editing rules, written from the user's side ----

struct State {
  std::wstring expr = L"0";
  double memory = 0.0;
  bool resultShown = false;
  bool secondMode = false;
  bool radians = true;
};

enum class Kind {
  kDigit, kOperand, kInfix, kSuffix, kPoint, kEquals, kAllClear, kErase, kSign,
  kSecond, kAngle, kMemoryClear, kMemoryAdd, kMemorySubtract, kMemoryRecall, kRandom
};

struct Action {
  Kind kind;
  const wchar_t* piece;
};

struct ModelKey {
  int id;
  Action first;
  Action second;
};

constexpr Action Special(Kind kind) { return {kind, L""}; }

constexpr ModelKey kModelKeys[] = {
    {kKey0, {Kind::kDigit, L"0"}, {Kind::kDigit, L"0"}},
    {kKey1, {Kind::kDigit, L"1"}, {Kind::kDigit, L"1"}},
    {kKey2, {Kind::kDigit, L"2"}, {Kind::kDigit, L"2"}},
    {kKey3, {Kind::kDigit, L"3"}, {Kind::kDigit, L"3"}},
    {kKey4, {Kind::kDigit, L"4"}, {Kind::kDigit, L"4"}},
    {kKey5, {Kind::kDigit, L"5"}, {Kind::kDigit, L"5"}},
    {kKey6, {Kind::kDigit, L"6"}, {Kind::kDigit, L"6"}},
    {kKey7, {Kind::kDigit, L"7"}, {Kind::kDigit, L"7"}},
    {kKey8, {Kind::kDigit, L"8"}, {Kind::kDigit, L"8"}},
    {kKey9, {Kind::kDigit, L"9"}, {Kind::kDigit, L"9"}},
    {kKeyPoint, Special(Kind::kPoint), Special(Kind::kPoint)},
    {kKeyPlus, {Kind::kInfix, L"+"}, {Kind::kInfix, L"+"}},
    {kKeyMinus, {Kind::kInfix, L"-"}, {Kind::kInfix, L"-"}},
    {kKeyTimes, {Kind::kInfix, L"*"}, {Kind::kInfix, L"*"}},
    {kKeyDivide, {Kind::kInfix, L"/"}, {Kind::kInfix, L"/"}},
    {kKeyEquals, Special(Kind::kEquals), Special(Kind::kEquals)},
    {kKeyAllClear, Special(Kind::kAllClear), Special(Kind::kAllClear)},
    {kKeyErase, Special(Kind::kErase), Special(Kind::kErase)},
    {kKeySign, Special(Kind::kSign), Special(Kind::kSign)},
    {kKeyOpenParen, {Kind::kOperand, L"("}, {Kind::kOperand, L"("}},
    {kKeyCloseParen, {Kind::kSuffix, L")"}, {Kind::kSuffix, L")"}},
    {kKeySecond, Special(Kind::kSecond), Special(Kind::kSecond)},
    {kKeyAngleMode, Special(Kind::kAngle), Special(Kind::kAngle)},
    {kKeyPi, {Kind::kOperand, L"pi"}, {Kind::kOperand, L"pi"}},
    {kKeyExponent, {Kind::kInfix, L"e"}, {Kind::kInfix, L"e"}},
    {kKeyRemainder, {Kind::kInfix, L"%"}, {Kind::kInfix, L"%"}},
    {kKeySin, {Kind::kOperand, L"sin("}, {Kind::kOperand, L"asin("}},
    {kKeyCos, {Kind::kOperand, L"cos("}, {Kind::kOperand, L"acos("}},
    {kKeyTan, {Kind::kOperand, L"tan("}, {Kind::kOperand, L"atan("}},
    {kKeySinh, {Kind::kOperand, L"sinh("}, {Kind::kOperand, L"asinh("}},
    {kKeyCosh, {Kind::kOperand, L"cosh("}, {Kind::kOperand, L"acosh("}},
    {kKeyTanh, {Kind::kOperand, L"tanh("}, {Kind::kOperand, L"atanh("}},
    {kKeyLn, {Kind::kOperand, L"ln("}, {Kind::kOperand, L"exp("}},
    {kKeyLg, {Kind::kOperand, L"lg("}, {Kind::kOperand, L"10^"}},
    {kKeySqrt, {Kind::kOperand, L"sqrt("}, {Kind::kSuffix, L"^2"}},
    {kKeySquare, {Kind::kSuffix, L"^2"}, {Kind::kOperand, L"sqrt("}},
    {kKeyCube, {Kind::kSuffix, L"^3"}, {Kind::kOperand, L"cbrt("}},
    {kKeyPower, {Kind::kInfix, L"^"}, {Kind::kInfix, L"^(1/"}},
    {kKeyTenPower, {Kind::kOperand, L"10^"}, {Kind::kOperand, L"exp("}},
    {kKeyExp, {Kind::kOperand, L"exp("}, {Kind::kOperand, L"exp("}},
    {kKeyReciprocal, {Kind::kSuffix, L"^(-1)"}, {Kind::kSuffix, L"^(-1)"}},
    {kKeyRoot, {Kind::kInfix, L"^(1/"}, {Kind::kInfix, L"^(1/"}},
    {kKeyFactorial, {Kind::kSuffix, L"!"}, {Kind::kSuffix, L"!"}},
    {kKeyMemoryClear, Special(Kind::kMemoryClear), Special(Kind::kMemoryClear)},
    {kKeyMemoryAdd, Special(Kind::kMemoryAdd), Special(Kind::kMemoryAdd)},
    {kKeyMemorySubtract, Special(Kind::kMemorySubtract), Special(Kind::kMemorySubtract)},
    {kKeyMemoryRecall, Special(Kind::kMemoryRecall), Special(Kind::kMemoryRecall)},
    {kKeyRandom, Special(Kind::kRandom), Special(Kind::kRandom)},
};
static_assert(std::size(kModelKeys) == kLastKeyId - kFirstKeyId + 1);

// Typed and pasted characters are read in ASCII: full-width forms, the ideographic
// space, "。" as the point, × and ÷.
wchar_t Ascii(wchar_t ch) {
  if (ch >= 0xFF01 && ch <= 0xFF5E) return static_cast<wchar_t>(ch - 0xFF01 + 0x21);
  if (ch == 0x3000) return L' ';
  if (ch == 0x3002) return L'.';
  if (ch == 0xD7) return L'*';
  if (ch == 0xF7) return L'/';
  return ch;
}

// The typed characters and the key whose first function each one runs.
constexpr std::pair<wchar_t, int> kTypedKeys[] = {
    {L'+', kKeyPlus}, {L'-', kKeyMinus}, {L'*', kKeyTimes}, {L'/', kKeyDivide},
    {L'^', kKeyPower}, {L'%', kKeyRemainder}, {L'(', kKeyOpenParen}, {L')', kKeyCloseParen},      {L'!', kKeyFactorial}, {L'.', kKeyPoint},
    {L',', kKeyPoint}, {L'=', kKeyEquals},
};

int TypedKey(wchar_t ch) {
  for (const auto& [typed, id] : kTypedKeys) {
    if (typed == Ascii(ch)) return id;
  }
  return 0;
}

// What a typed character enters by the operand rule besides the keys' characters: a
// full-width digit, or an ASCII letter lower-cased when neither Ctrl nor Alt is held.
wchar_t TypedOperand(wchar_t ch, unsigned modifiers) {
  const wchar_t a = Ascii(ch);
  if (a != ch && a >= L'0' && a <= L'9') return a;
  const bool letter = (a >= L'a' && a <= L'z') || (a >= L'A' && a <= L'Z');
  if (letter && (modifiers & (kControlHeld | kAltHeld)) == 0) return static_cast<wchar_t>(std::towlower(a));
  return 0;
}

// The refresh an action must end in.
enum class Refresh { kNone, kDisplay, kLabels };

// The number at the start of the text as the C library's wcstod reads it, 0 for none
// and for a value out of the double's normal range.
double LeadingNumber(const std::wstring& text) {
  errno = 0;
  wchar_t* end = nullptr;
  const double value = std::wcstod(text.c_str(), &end);
  if (end == text.c_str()) return 0.0;
  if (errno == ERANGE && (std::isinf(value) || std::fabs(value) < DBL_MIN)) return 0.0;
  if (value != 0.0 && std::fabs(value) < DBL_MIN) return 0.0;
  return value;
}

// %.<precision>g, as a wide output stream with that precision writes it.
std::wstring CFormat(int precision, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
  std::wstring wide;
  for (const char* p = buffer; *p != '\0'; ++p) wide.push_back(static_cast<wchar_t>(*p));
  return wide;
}

bool g_refused = false;  // the current action would have made the text too long
bool g_wasAtEnd = true;  // the caret was at the end before the current action

void CheckCaret(const struct State& expected);

// Whether the text may grow to this length; an edit past the limit is not made, and the
// window beeps.
bool Fits(std::size_t length) {
  if (length > kExpressionLimit) g_refused = true;
  return !g_refused;
}

void StartOperand(State& s, std::wstring_view piece, bool replacesInfinity) {
  const bool replaces = s.resultShown || s.expr == L"0" || s.expr == kErrorText ||
                        (replacesInfinity && s.expr == kInfinityText);
  if (!Fits(replaces ? piece.size() : s.expr.size() + piece.size())) return;
  s.resultShown = false;
  if (replaces) {
    s.expr = piece;
  } else {
    s.expr += piece;
  }
}

// Applies one key action to the model. A Rand draw cannot be foreseen: the model marks
// it and the check takes the core's text after testing that it is a draw.
Refresh ApplyKey(State& s, const Action& action, bool& drew) {
  switch (action.kind) {
    case Kind::kDigit: StartOperand(s, action.piece, true); return Refresh::kDisplay;
    case Kind::kOperand: StartOperand(s, action.piece, false); return Refresh::kDisplay;
    case Kind::kInfix:
      if (Fits(s.expr.size() + std::wcslen(action.piece))) {
        s.resultShown = false;
        s.expr += action.piece;
      }
      return Refresh::kDisplay;
    case Kind::kSuffix:
      if (Fits(s.expr.size() + std::wcslen(action.piece))) s.expr += action.piece;
      return Refresh::kDisplay;
    case Kind::kPoint: {
      if (s.resultShown) {
        s.expr.clear();
        s.resultShown = false;
      }
      const std::size_t cut = s.expr.find_last_of(L"+-*/^()%");
      const std::wstring_view number =
          std::wstring_view(s.expr).substr(cut == std::wstring::npos ? 0 : cut + 1);
      if (number.find(L'.') == std::wstring_view::npos && Fits(s.expr.size() + 1)) s.expr += L'.';
      return Refresh::kDisplay;
    }
    case Kind::kEquals:
      if (s.expr.empty() || s.expr == L"0") return Refresh::kNone;
      s.expr = EvaluateText(s.expr);
      s.resultShown = true;
      return Refresh::kDisplay;
    case Kind::kAllClear:
      s.expr = L"0";
      s.resultShown = false;
      return Refresh::kDisplay;
    case Kind::kErase:
      if (s.resultShown || s.expr == kErrorText || s.expr == kInfinityText || s.expr.size() <= 1) {
        s.expr = L"0";
        s.resultShown = false;
      } else {
        s.expr.pop_back();
      }
      return Refresh::kDisplay;
    case Kind::kSign:
      if (!s.expr.empty() && s.expr.front() == L'-') {
        s.expr.erase(0, 1);
      } else if (Fits(s.expr.size() + 1)) {
        s.expr.insert(0, 1, L'-');
      }
      return Refresh::kDisplay;
    case Kind::kSecond: s.secondMode = !s.secondMode; return Refresh::kLabels;
    case Kind::kAngle: s.radians = !s.radians; return Refresh::kLabels;
    case Kind::kMemoryClear: s.memory = 0.0; return Refresh::kDisplay;
    case Kind::kMemoryAdd: s.memory = s.memory + LeadingNumber(s.expr); return Refresh::kDisplay;
    case Kind::kMemorySubtract: s.memory = s.memory + -LeadingNumber(s.expr); return Refresh::kDisplay;
    case Kind::kMemoryRecall:
      if (const std::wstring recalled = CFormat(14, s.memory); Fits(recalled.size())) {
        s.expr = recalled;
        s.resultShown = false;
      }
      return Refresh::kDisplay;
    case Kind::kRandom:
      drew = true;
      s.resultShown = false;
      return Refresh::kDisplay;
  }
  return Refresh::kNone;
}

const Action& ActionOfKey(const State& s, int id) {
  const ModelKey& key = kModelKeys[id - kFirstKeyId];
  return s.secondMode ? key.second : key.first;
}

// ---- Running actions on the core and comparing ----

std::string g_log;  // the actions of the current input, for the report

[[noreturn]] void Fail(const char* what, const State& expected) {
  std::string want;
  std::string have;
  AppendUtf8(expected.expr, want);
  AppendUtf8(g_expr, have);
  std::fprintf(stderr,
               "calculator_fuzzer: %s\n  actions: %s\n  expected text [%s] shown=%d memory=%.17g\n"
               "  core text [%s] shown=%d memory=%.17g\n",
               what, g_log.c_str(), want.c_str(), expected.resultShown, expected.memory,
               have.c_str(), g_resultShown, g_memory);
  std::abort();
}

bool SameDouble(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

// The shape of a formatted number: a sign, digits, a point, an exponent.
bool IsNumberText(std::wstring_view text) {
  if (!text.empty() && text.front() == L'-') text.remove_prefix(1);
  if (text.empty() || !(text.front() >= L'0' && text.front() <= L'9')) return false;
  for (wchar_t c : text) {
    if (!((c >= L'0' && c <= L'9') || c == L'.' || c == L'e' || c == L'+' || c == L'-')) return false;
  }
  return true;
}

std::wstring ExpectedKeyText(const ButtonDef& key, const State& s) {
  if (key.id == kKeyAngleMode) return s.radians ? key.label : key.secondLabel;
  return s.secondMode && !key.secondLabel.empty() ? key.secondLabel : key.label;
}

// Compares the core and the window with the model after one action.
void Compare(State& expected, Refresh refresh, bool focuses, bool drew, const char* action) {
  if (drew) {
    // A draw r of 0..32767 shows r / 32767 with 6 significant digits.
    double value = -1.0;
    const bool read = ReadNumber(g_expr, value);
    const long draw = std::lround(value * 32767.0);
    if (!read || value < 0.0 || value > 1.0 || g_expr != CFormat(6, static_cast<double>(draw) / 32767.0)) {
      Fail("Rand shows no draw", expected);
    }
    expected.expr = g_expr;
  }
  if (g_expr != expected.expr) Fail(action, expected);
  if (g_resultShown != expected.resultShown) Fail("result flag", expected);
  if (!SameDouble(g_memory, expected.memory)) Fail("memory", expected);
  if (g_secondMode != expected.secondMode) Fail("second-function mode", expected);
  if (g_radians != expected.radians) Fail("angle mode", expected);

  if (g_fakeWindow.display != g_expr) Fail("display does not show the text", expected);
  std::wstring title{L"Vorlane-计算器"};
  if (std::fabs(g_memory) > 1e-12) title += L"   [M]";
  if (g_fakeWindow.title != title) Fail("title and memory mark", expected);
  for (const ButtonDef& key : g_buttons) {
    if (g_fakeWindow.keyTexts[key.id] != ExpectedKeyText(key, expected)) {
      Fail("key label", expected);
    }
  }
  if (g_fakeWindow.foreignHandleSeen || g_fakeWindow.unknownKeySeen) Fail("port called wrongly", expected);

  const int display = refresh == Refresh::kDisplay ? 1 : 0;
  const int labels = refresh == Refresh::kLabels ? kKeyCount : 0;
  const FakeWindow& w = g_fakeWindow;
  if (w.CountCalls("display") != display || w.CountCalls("title") != display ||
      w.CountCalls("key ") != labels) {
    Fail("not exactly one refresh", expected);
  }
  if (w.CountCalls("focus") != (focuses ? 1 : 0) || (focuses && w.calls.back() != "focus")) {
    Fail("focus", expected);
  }
  if (w.CountCalls("beep") != (g_refused ? 1 : 0)) Fail("beep", expected);
  if (g_expr.size() > kExpressionLimit) Fail("text past the limit", expected);
  // Every action the model foresees keeps the caret at the end.
  if (g_wasAtEnd && (g_caret != g_expr.size() || g_anchor != g_caret)) Fail("caret left the end", expected);
  CheckCaret(expected);
}

bool IsSurrogateUnit(wchar_t c, unsigned low) {
  return sizeof(wchar_t) == 2 && static_cast<unsigned>(c) >= 0xD800 + low &&
         static_cast<unsigned>(c) <= 0xDBFF + low;
}

// Between the halves of a UTF-16 pair.
bool SplitsAPair(std::size_t pos) {
  return pos > 0 && pos < g_expr.size() && IsSurrogateUnit(g_expr[pos - 1], 0) &&
         IsSurrogateUnit(g_expr[pos], 0x400);
}

bool CaretAtEnd() { return g_caret == g_expr.size() && g_anchor == g_caret; }

// What holds after any action, foreseen or not.
void CheckCaret(const State& expected) {
  if (g_caret > g_expr.size() || g_anchor > g_expr.size()) Fail("caret outside the text", expected);
  if (SplitsAPair(g_caret) || SplitsAPair(g_anchor)) Fail("caret inside a pair", expected);
  const bool whole = g_expr == L"0" || g_expr == kErrorText || g_expr == kInfinityText;
  if ((whole || g_resultShown) && !CaretAtEnd()) Fail("caret off the end of a whole text", expected);
  if (g_fakeWindow.caret != g_caret || g_fakeWindow.anchor != g_anchor) Fail("caret not shown", expected);
  if (g_fakeWindow.display != g_expr) Fail("display does not show the text", expected);
  if (g_expr.size() > kExpressionLimit) Fail("text past the limit", expected);
  if (g_fakeWindow.CountCalls("display") > 1 || g_fakeWindow.CountCalls("title") > 1) {
    Fail("more than one refresh", expected);
  }
}

// An action the model does not foresee: it takes the core's text and result flag.
void Adopt(State& expected) {
  CheckCaret(expected);
  expected.expr = g_expr;
  expected.resultShown = g_resultShown;
}

struct Snapshot {
  std::wstring expr;
  std::size_t caret;
  std::size_t anchor;
  bool resultShown;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take() { return {g_expr, g_caret, g_anchor, g_resultShown}; }

void RunKey(State& expected, int id, bool focuses) {
  bool drew = false;
  const Kind kind = ActionOfKey(expected, id).kind;
  const Refresh refresh = ApplyKey(expected, ActionOfKey(expected, id), drew);
  Compare(expected, refresh, focuses, drew, "key");
  if (kind == Kind::kEquals && refresh != Refresh::kNone) {
    if (!(g_expr == kErrorText || g_expr == kInfinityText || IsNumberText(g_expr)) || !g_resultShown) {
      Fail("\"=\" leaves no outcome", expected);
    }
  }
}

// What a paste of this clipboard text must have done.
void ModelPaste(State& expected, const std::wstring& text) {
  std::wstring piece;
  for (wchar_t c : text) {
    const auto code = static_cast<std::uint32_t>(c);
    const bool control = code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x2028 || code == 0x2029;
    if (!control) piece.push_back(Ascii(c));
  }
  if (!piece.empty()) StartOperand(expected, piece, false);
  Compare(expected, piece.empty() ? Refresh::kNone : Refresh::kDisplay, false, false, "paste");
  if (g_fakeWindow.CountCalls("read clipboard") != 1 || g_fakeWindow.clipboard != text) Fail("paste's clipboard", expected);
}

// A copy changes nothing and takes the selection, or the whole text without one.
void ModelCopy(State& expected) {
  CheckCaret(expected);
  if (g_expr != expected.expr || g_resultShown != expected.resultShown ||
      g_fakeWindow.CountCalls("display") != 0) {
    Fail("copy changed something", expected);
  }
  const std::size_t from = std::min(g_caret, g_anchor);
  const std::wstring selected = g_expr.substr(from, std::max(g_caret, g_anchor) - from);
  if (g_fakeWindow.CountCalls("write clipboard") != 1 ||
      g_fakeWindow.clipboard != (selected.empty() ? g_expr : selected)) {
    Fail("copy", expected);
  }
}

void Step(State& expected, const std::uint8_t*& p, const std::uint8_t* end) {
  const std::uint8_t op = *p++;
  auto next = [&]() -> std::uint8_t { return p < end ? *p++ : 0; };
  g_fakeWindow.calls.clear();
  g_refused = false;

  const bool atEnd = CaretAtEnd();
  g_wasAtEnd = atEnd;
  if (op < 0x90 || op >= 0xC8) {
    const int id = kFirstKeyId + (op < 0x90 ? op : op - 0xC8) % kKeyCount;
    g_log += std::to_string(id) + " ";
    OnKeyCommand(FakeHandle(), id);
    if (atEnd) {
      RunKey(expected, id, true);
    } else {
      bool drew = false;
      ApplyKey(expected, ActionOfKey(expected, id), drew);  // the memory and the modes
      Adopt(expected);
    }
  } else if (op < 0xA0) {
    const unsigned modifiers = op & 7u;
    const int code = next();
    const std::uint8_t typedByte = next();
    const wchar_t typed = typedByte == 0 ? L'\0' : CharacterOf(typedByte);
    g_log += "down(" + std::to_string(code) + "," + std::to_string(typed) + "," +
             std::to_string(modifiers) + ") ";
    const bool historyShown = g_historyShown;
    OnKeyDown(FakeHandle(), code, typed, modifiers);
    const bool shift = (modifiers & kShiftHeld) != 0;
    const bool ctrl = (modifiers & kControlHeld) != 0;
    const bool shortcuts = (modifiers & kAltHeld) == 0;
    if (shortcuts && ctrl && (code == kVkC || code == kVkInsert)) {
      ModelCopy(expected);
      return;
    }
    if (shortcuts && ((ctrl && code == kVkV) || (shift && code == kVkInsert))) {
      if (atEnd) {
        ModelPaste(expected, g_fakeWindow.clipboard);
      } else {
        Adopt(expected);
      }
      return;
    }
    const bool undo = ctrl && code == kVkZ && !shift;
    const bool redo = ctrl && (code == kVkY || (code == kVkZ && shift));
    const bool cut = (ctrl && code == kVkX) || (shift && !ctrl && code == kVkDelete);
    const bool selectAll = ctrl && code == kVkA;
    const bool caretKey = code == kVkLeft || code == kVkRight || code == kVkHome ||
                          code == kVkEnd || code == kVkUp || code == kVkDown || code == kVkDelete;
    if (shortcuts && (undo || redo || cut || selectAll || caretKey)) {
      const bool whole = expected.expr == L"0" || expected.expr == kErrorText ||
                         expected.expr == kInfinityText;
      // Towards the end from the end there is nowhere to go.
      const bool still = (atEnd && (code == kVkRight || code == kVkEnd || (code == kVkDelete && !cut))) ||
                         (whole && (code == kVkLeft || code == kVkHome || selectAll));
      if (still && (Take() != Snapshot{expected.expr, expected.expr.size(), expected.expr.size(),
                                        expected.resultShown} ||
                    !g_fakeWindow.calls.empty())) {
        Fail("a key that cannot move the caret changed something", expected);
      }
      Adopt(expected);
      return;
    }
    if (shortcuts && !ctrl && (code == kVkF6 || code == kVkTab)) {
      Compare(expected, Refresh::kNone, false, false, "to the pane");
      if (g_fakeWindow.CountCalls("to pane") != (historyShown ? 1 : 0)) Fail("focus of the pane", expected);
      return;
    }
    if (shortcuts && ctrl && code == kVkH) {
      Compare(expected, Refresh::kNone, false, false, "history shortcut");
      if (g_historyShown == historyShown || g_fakeWindow.CountCalls("pane") != 1) Fail("history pane", expected);
      return;
    }
    const bool digitKey = (code >= kVkDigit0 && code <= kVkDigit0 + 9) || (code >= kVkNumpad0 && code <= kVkNumpad0 + 9);
    Refresh refresh = Refresh::kNone;
    bool drew = false;
    if (code == kVkEnter) {
      refresh = ApplyKey(expected, Special(Kind::kEquals), drew);
    } else if (!atEnd) {
      Adopt(expected);
      return;
    } else if (code == kVkEscape) {
      expected.expr = L"0";
      expected.resultShown = false;
      refresh = Refresh::kDisplay;
    } else if (code == kVkBackspace) {
      if (expected.resultShown || expected.expr.size() <= 1) {
        expected.expr = L"0";
        expected.resultShown = false;
      } else {
        expected.expr.pop_back();
      }
      refresh = Refresh::kDisplay;
    } else if (code == kVkDecimal) {
      // The point enters once: by the typed character when it is one, else by the key.
      if (TypedKey(typed) != kKeyPoint) refresh = ApplyKey(expected, Special(Kind::kPoint), drew);
    } else if (digitKey && TypedKey(typed) == 0 && TypedOperand(typed, modifiers) == 0) {
      const wchar_t digit = static_cast<wchar_t>(L'0' + (code >= kVkNumpad0 ? code - kVkNumpad0 : code - kVkDigit0));
      StartOperand(expected, std::wstring(1, digit), false);
      refresh = Refresh::kDisplay;
    }
    Compare(expected, refresh, false, drew, "key-down");
  } else if (op < 0xB0) {
    const wchar_t ch = CharacterOf(next());
    g_log += "typed(" + std::to_string(ch) + ") ";
    OnTypedChar(FakeHandle(), ch);
    if (!atEnd) {
      if (const int id = TypedKey(ch)) {
        bool drew = false;
        ApplyKey(expected, kModelKeys[id - kFirstKeyId].first, drew);
      }
      Adopt(expected);
    } else if (const int id = TypedKey(ch)) {
      bool drew = false;
      const Refresh refresh = ApplyKey(expected, kModelKeys[id - kFirstKeyId].first, drew);
      Compare(expected, refresh, false, drew, "typed character");
    } else if (const wchar_t operand = TypedOperand(ch, kNoModifier)) {
      StartOperand(expected, std::wstring(1, operand), false);
      Compare(expected, Refresh::kDisplay, false, false, "typed operand");
    } else {
      Compare(expected, Refresh::kNone, false, false, "ignored character");
    }
  } else if (op < 0xB8) {
    const int n = next();
    std::wstring text;
    for (int i = 0; i < n && p < end; ++i) text.push_back(CharacterOf(*p++));
    g_log += "paste(" + std::to_string(text.size()) + ") ";
    g_fakeWindow.clipboard = text;
    PasteClipboard(FakeHandle());
    if (atEnd) {
      ModelPaste(expected, text);
    } else {
      Adopt(expected);
    }
  } else if (op < 0xBC) {
    g_log += "copy ";
    CopyDisplay(FakeHandle());
    ModelCopy(expected);
  } else if (op < 0xBF) {
    const std::size_t at = next();
    g_log += "click(" + std::to_string(op) + "," + std::to_string(at) + ") ";
    const Snapshot before = Take();
    const bool whole = g_expr == L"0" || g_expr == kErrorText || g_expr == kInfinityText;
    if (op == 0xBE) {
      SelectTokenAt(FakeHandle(), at);
    } else {
      PlaceCaret(FakeHandle(), at, op == 0xBD);
    }
    if (whole && (Take() != before || !g_fakeWindow.calls.empty())) Fail("click on a whole text", expected);
    if (g_expr != before.expr) Fail("a click changed the text", expected);
    Adopt(expected);
  } else if (op < 0xC0) {
    g_log += "undo-redo ";
    const Snapshot before = Take();
    const bool undoable = CanUndo();
    OnKeyDown(FakeHandle(), kVkZ, 0, kControlHeld);
    CheckCaret(expected);
    if (!undoable && (Take() != before || !g_fakeWindow.calls.empty())) Fail("undo of nothing", expected);
    g_fakeWindow.calls.clear();
    if (undoable) OnKeyDown(FakeHandle(), kVkY, 0, kControlHeld);
    CheckCaret(expected);
    if (Take() != before) Fail("undo then redo changed the text", expected);
  } else {
    const int b = next();
    const int id = (b & 1) != 0 ? kLastKeyId + 1 + (b >> 1) : kFirstKeyId - 1 - (b >> 1);
    g_log += "command(" + std::to_string(id) + ") ";
    OnKeyCommand(FakeHandle(), id);
    Compare(expected, Refresh::kNone, true, false, "command outside the keys");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ResetCalculator();
  ResetFakeWindow();
  SeedRandom(static_cast<unsigned>(size));
  g_log.clear();
  State expected;
  const std::uint8_t* p = data;
  const std::uint8_t* end = data + size;
  while (p < end) Step(expected, p, end);
  return 0;
}
