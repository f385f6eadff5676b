#include <array>
#include <string>
#include <string_view>

#include "calculator/calculator.h"
#include "calculator/editing.h"
#include "calculator/keypad.h"
#include "calculator/refresh.h"

namespace {

constexpr int kMemoryPrecision = 14;

// Where the number being typed starts: after the last operator or parenthesis.
constexpr std::wstring_view kNumberDelimiters = L"+-*/^()%";

void Evaluate(WindowHandle window, std::wstring_view) { Calculate(window); }

void AllClearKey(WindowHandle window, std::wstring_view) { AllClear(window); }

void EraseKey(WindowHandle window, std::wstring_view) { Erase(window, OutcomeText::kClearWhole); }

// Works on the whole text: on "2+3" it gives "-2+3".
void ToggleSign(WindowHandle window, std::wstring_view) {
  if (!g_expr.empty() && g_expr.front() == L'-') {
    g_expr.erase(0, 1);
  } else if (ExpressionFits(window, g_expr.size() + 1)) {
    g_expr.insert(0, 1, L'-');
  }
  UpdateDisplay(window);
}

void ToggleSecondMode(WindowHandle window, std::wstring_view) {
  g_secondMode = !g_secondMode;
  RefreshButtonLabels(window);
}

void ToggleAngleMode(WindowHandle window, std::wstring_view) {
  g_radians = !g_radians;
  RefreshButtonLabels(window);
}

// The number at the start of the text, not the value of the expression: "2+3" gives 2.
// Text that does not start with a number, or a number out of range, counts as 0.
double LeadingNumber() {
  double value = 0.0;
  if (!ReadNumber(g_expr, value)) value = 0.0;
  return value;
}

void MemoryClear(WindowHandle window, std::wstring_view) {
  g_memory = 0.0;
  UpdateDisplay(window);
}

void MemoryAdd(WindowHandle window, std::wstring_view) {
  g_memory = g_memory + LeadingNumber();
  UpdateDisplay(window);
}

void MemorySubtract(WindowHandle window, std::wstring_view) {
  g_memory = g_memory + -LeadingNumber();
  UpdateDisplay(window);
}

// A recalled or drawn number takes the place of the whole text.
void ShowNumber(WindowHandle window, std::wstring text) {
  if (ExpressionFits(window, text.size())) {
    g_expr = std::move(text);
    g_resultShown = false;
  }
  UpdateDisplayAloud(window);
}

void MemoryRecall(WindowHandle window, std::wstring_view) {
  ShowNumber(window, FormatGeneral(g_memory, kMemoryPrecision));
}

void RandomNumber(WindowHandle window, std::wstring_view) {
  ShowNumber(window, RandomText(DrawRandom()));
}

void EnterDigit(WindowHandle window, std::wstring_view piece) {
  EnterOperandText(window, piece, true);
  UpdateDisplay(window);
}

// A shown result becomes the left operand.
void EnterInfix(WindowHandle window, std::wstring_view piece) {
  if (ExpressionFits(window, g_expr.size() + piece.size())) {
    g_expr.append(piece);
    g_resultShown = false;
  }
  UpdateDisplay(window);
}

// A shown result stays shown: the next operand still replaces it.
void EnterSuffix(WindowHandle window, std::wstring_view piece) {
  if (ExpressionFits(window, g_expr.size() + piece.size())) g_expr.append(piece);
  UpdateDisplay(window);
}

void EnterPoint(WindowHandle window, std::wstring_view) {
  if (g_resultShown) {
    g_expr.assign(L".");
    g_resultShown = false;
  } else {
    const std::size_t delimiter = g_expr.find_last_of(kNumberDelimiters);
    const std::size_t numberStart = delimiter == std::wstring::npos ? 0 : delimiter + 1;
    // On the start text "0" this gives "0.".
    if (g_expr.find(L'.', numberStart) == std::wstring::npos &&
        ExpressionFits(window, g_expr.size() + 1)) {
      g_expr.push_back(L'.');
    }
  }
  UpdateDisplay(window);
}

using KeyHandler = void (*)(WindowHandle window, std::wstring_view piece);

struct KeyAction {
  KeyHandler handler;
  std::wstring_view piece;  // what the key enters; empty for the special keys
};

struct KeyCommand {
  KeyAction first;
  KeyAction second;  // in second-function mode
};

constexpr KeyCommand Same(KeyHandler handler, std::wstring_view piece = {}) {
  return {{handler, piece}, {handler, piece}};
}

struct KeyEntry {
  int id;
  KeyCommand command;
};

constexpr KeyEntry kKeyEntries[] = {
    {kKey0, Same(EnterDigit, L"0")},
    {kKey1, Same(EnterDigit, L"1")},
    {kKey2, Same(EnterDigit, L"2")},
    {kKey3, Same(EnterDigit, L"3")},
    {kKey4, Same(EnterDigit, L"4")},
    {kKey5, Same(EnterDigit, L"5")},
    {kKey6, Same(EnterDigit, L"6")},
    {kKey7, Same(EnterDigit, L"7")},
    {kKey8, Same(EnterDigit, L"8")},
    {kKey9, Same(EnterDigit, L"9")},
    {kKeyPoint, Same(EnterPoint)},
    {kKeyPlus, Same(EnterInfix, L"+")},
    {kKeyMinus, Same(EnterInfix, L"-")},
    {kKeyTimes, Same(EnterInfix, L"*")},
    {kKeyDivide, Same(EnterInfix, L"/")},
    {kKeyEquals, Same(Evaluate)},
    {kKeyAllClear, Same(AllClearKey)},
    {kKeyErase, Same(EraseKey)},
    {kKeySign, Same(ToggleSign)},
    {kKeyOpenParen, Same(EnterOperand, L"(")},
    {kKeyCloseParen, Same(EnterSuffix, L")")},
    {kKeySecond, Same(ToggleSecondMode)},
    {kKeyAngleMode, Same(ToggleAngleMode)},
    {kKeyPi, Same(EnterOperand, L"pi")},
    {kKeyExponent, Same(EnterInfix, L"e")},  // 2e3 reads as 2000
    {kKeyRemainder, Same(EnterInfix, L"%")},
    {kKeySin, {{EnterOperand, L"sin("}, {EnterOperand, L"asin("}}},
    {kKeyCos, {{EnterOperand, L"cos("}, {EnterOperand, L"acos("}}},
    {kKeyTan, {{EnterOperand, L"tan("}, {EnterOperand, L"atan("}}},
    {kKeySinh, {{EnterOperand, L"sinh("}, {EnterOperand, L"asinh("}}},
    {kKeyCosh, {{EnterOperand, L"cosh("}, {EnterOperand, L"acosh("}}},
    {kKeyTanh, {{EnterOperand, L"tanh("}, {EnterOperand, L"atanh("}}},
    {kKeyLn, {{EnterOperand, L"ln("}, {EnterOperand, L"exp("}}},
    {kKeyLg, {{EnterOperand, L"lg("}, {EnterOperand, L"10^"}}},
    {kKeySqrt, {{EnterOperand, L"sqrt("}, {EnterSuffix, L"^2"}}},
    {kKeySquare, {{EnterSuffix, L"^2"}, {EnterOperand, L"sqrt("}}},
    {kKeyCube, {{EnterSuffix, L"^3"}, {EnterOperand, L"cbrt("}}},
    {kKeyPower, {{EnterInfix, L"^"}, {EnterInfix, L"^(1/"}}},
    {kKeyTenPower, {{EnterOperand, L"10^"}, {EnterOperand, L"exp("}}},
    {kKeyExp, Same(EnterOperand, L"exp(")},
    {kKeyReciprocal, Same(EnterSuffix, L"^(-1)")},
    {kKeyRoot, Same(EnterInfix, L"^(1/")},  // the root closes itself
    {kKeyFactorial, Same(EnterSuffix, L"!")},
    {kKeyMemoryClear, Same(MemoryClear)},
    {kKeyMemoryAdd, Same(MemoryAdd)},
    {kKeyMemorySubtract, Same(MemorySubtract)},
    {kKeyMemoryRecall, Same(MemoryRecall)},
    {kKeyRandom, Same(RandomNumber)},
};

// Indexed by id - kFirstKeyId, so a command is found without a search.
constexpr std::array<KeyCommand, kKeyCount> kKeyCommands = [] {
  std::array<KeyCommand, kKeyCount> commands{};
  for (const KeyEntry& entry : kKeyEntries) commands[entry.id - kFirstKeyId] = entry.command;
  return commands;
}();

// Every key has exactly one command.
static_assert([] {
  std::array<int, kKeyCount> seen{};
  for (const KeyEntry& entry : kKeyEntries) {
    if (entry.id < kFirstKeyId || entry.id > kLastKeyId) return false;
    ++seen[entry.id - kFirstKeyId];
  }
  for (int count : seen) {
    if (count != 1) return false;
  }
  return true;
}());

void Run(WindowHandle window, const KeyAction& action) {
  UnlessOutOfMemory([&] { action.handler(window, action.piece); });
}

bool IsKeyId(int id) { return id >= kFirstKeyId && id <= kLastKeyId; }

}  // namespace

bool EnterOperandText(WindowHandle window, std::wstring_view piece, bool replacesInfinity) {
  // A discarded result leaves an empty text, which is never a start text.
  const bool replaces = g_resultShown || g_expr == L"0" || g_expr == kErrorText ||
                        (replacesInfinity && g_expr == kInfinityText);
  if (!ExpressionFits(window, replaces ? piece.size() : g_expr.size() + piece.size())) {
    return false;
  }
  if (replaces) {
    g_expr.assign(piece);
  } else {
    g_expr.append(piece);
  }
  g_resultShown = false;
  return true;
}

void EnterOperand(WindowHandle window, std::wstring_view piece) {
  EnterOperandText(window, piece, false);
  UpdateDisplay(window);
}

void AllClear(WindowHandle window) {
  g_expr.assign(L"0");
  g_resultShown = false;
  UpdateDisplayAloud(window);
}

void Erase(WindowHandle window, OutcomeText outcome) {
  const bool clearsOutcome =
      outcome == OutcomeText::kClearWhole && (g_expr == kErrorText || g_expr == kInfinityText);
  if (g_resultShown || clearsOutcome || g_expr.size() <= 1) {
    g_expr.assign(L"0");
    g_resultShown = false;
  } else {
    g_expr.pop_back();
  }
  UpdateDisplay(window);
}

void RunFirstFunction(WindowHandle window, int id) {
  if (IsKeyId(id)) Run(window, kKeyCommands[id - kFirstKeyId].first);
}

void OnKeyCommand(WindowHandle window, int id) {
  if (IsKeyId(id)) {
    const KeyCommand& command = kKeyCommands[id - kFirstKeyId];
    Run(window, g_secondMode ? command.second : command.first);
  }
  UnlessOutOfMemory([&] { FocusMainWindow(window); });
}
