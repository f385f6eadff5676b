#include <array>
#include <string>
#include <string_view>

#include "calculator/calculator.h"
#include "calculator/editing.h"
#include "ui/keypad.h"
#include "ui/refresh.h"

namespace {

constexpr int kMemoryPrecision = 14;

// Where the number being typed starts: after the last operator or parenthesis.
constexpr std::wstring_view kNumberDelimiters = L"+-*/^()%";

void Evaluate(WindowHandle window, std::wstring_view) { Calculate(window); }

void AllClear(WindowHandle window, std::wstring_view) {
  g_expr.assign(L"0");
  g_resultShown = false;
  UpdateDisplay(window);
}

void Erase(WindowHandle window, std::wstring_view) {
  if (g_resultShown || g_expr == kErrorText || g_expr == kInfinityText || g_expr.size() <= 1) {
    g_expr.assign(L"0");
    g_resultShown = false;
  } else {
    g_expr.pop_back();  // one UTF-16 unit: "sin(" goes back through "sin"
  }
  UpdateDisplay(window);
}

// Works on the whole text: on "2+3" it gives "-2+3".
void ToggleSign(WindowHandle window, std::wstring_view) {
  if (!g_expr.empty() && g_expr.front() == L'-') {
    g_expr.erase(0, 1);
  } else {
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
  g_expr = std::move(text);
  g_resultShown = false;
  UpdateDisplay(window);
}

void MemoryRecall(WindowHandle window, std::wstring_view) {
  ShowNumber(window, FormatGeneral(g_memory, kMemoryPrecision));
}

void RandomNumber(WindowHandle window, std::wstring_view) {
  ShowNumber(window, RandomText(DrawRandom()));
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

// Indexed by id - 1001.
constexpr std::array<KeyCommand, kLastKeyId - kFirstKeyId + 1> kKeyCommands = {{
    Same(EnterDigit, L"0"),                                 // 1001
    Same(EnterDigit, L"1"),                                 // 1002
    Same(EnterDigit, L"2"),                                 // 1003
    Same(EnterDigit, L"3"),                                 // 1004
    Same(EnterDigit, L"4"),                                 // 1005
    Same(EnterDigit, L"5"),                                 // 1006
    Same(EnterDigit, L"6"),                                 // 1007
    Same(EnterDigit, L"7"),                                 // 1008
    Same(EnterDigit, L"8"),                                 // 1009
    Same(EnterDigit, L"9"),                                 // 1010
    Same(EnterPoint),                                       // 1011 .
    Same(EnterInfix, L"+"),                                 // 1012 +
    Same(EnterInfix, L"-"),                                 // 1013 -
    Same(EnterInfix, L"*"),                                 // 1014 ×
    Same(EnterInfix, L"/"),                                 // 1015 ÷
    Same(Evaluate),                                         // 1016 =
    Same(AllClear),                                         // 1017 AC
    Same(Erase),                                            // 1018 ⌫
    Same(ToggleSign),                                       // 1019 ±
    Same(EnterOperand, L"("),                               // 1020 (
    Same(EnterSuffix, L")"),                                // 1021 )
    Same(ToggleSecondMode),                                 // 1022 2nd
    Same(ToggleAngleMode),                                  // 1023 Rad/Deg
    Same(EnterOperand, L"pi"),                              // 1024 π
    Same(EnterInfix, L"e"),                                 // 1025 EE: 2e3 reads as 2000
    Same(EnterInfix, L"%"),                                 // 1026 %
    {{EnterOperand, L"sin("}, {EnterOperand, L"asin("}},    // 1027
    {{EnterOperand, L"cos("}, {EnterOperand, L"acos("}},    // 1028
    {{EnterOperand, L"tan("}, {EnterOperand, L"atan("}},    // 1029
    {{EnterOperand, L"sinh("}, {EnterOperand, L"asinh("}},  // 1030
    {{EnterOperand, L"cosh("}, {EnterOperand, L"acosh("}},  // 1031
    {{EnterOperand, L"tanh("}, {EnterOperand, L"atanh("}},  // 1032
    {{EnterOperand, L"ln("}, {EnterOperand, L"exp("}},      // 1033 ln, e^x
    {{EnterOperand, L"lg("}, {EnterOperand, L"10^"}},       // 1034 lg, 10^x
    {{EnterOperand, L"sqrt("}, {EnterSuffix, L"^2"}},       // 1035 √, x²
    {{EnterSuffix, L"^2"}, {EnterOperand, L"sqrt("}},       // 1036 x², √
    {{EnterSuffix, L"^3"}, {EnterOperand, L"cbrt("}},       // 1037 x³, ∛
    {{EnterInfix, L"^"}, {EnterInfix, L"^(1/"}},            // 1038 y^x, ʸ√x
    {{EnterOperand, L"10^"}, {EnterOperand, L"exp("}},      // 1039 10^x, e^x
    Same(EnterOperand, L"exp("),                            // 1040 e^x
    Same(EnterSuffix, L"^(-1)"),                            // 1041 1/x
    Same(EnterInfix, L"^(1/"),                              // 1042 ʸ√x: the root closes itself
    Same(EnterSuffix, L"!"),                                // 1043 x!
    Same(MemoryClear),                                      // 1044 mc
    Same(MemoryAdd),                                        // 1045 m+
    Same(MemorySubtract),                                   // 1046 m-
    Same(MemoryRecall),                                     // 1047 mr
    Same(RandomNumber),                                     // 1048 Rand
}};

void Run(WindowHandle window, const KeyAction& action) {
  UnlessOutOfMemory([&] { action.handler(window, action.piece); });
}

bool IsKeyId(int id) { return id >= kFirstKeyId && id <= kLastKeyId; }

}  // namespace

void EnterOperandText(std::wstring_view piece, bool replacesInfinity) {
  // A discarded result leaves an empty text, which is never a start text.
  const bool replaces = g_resultShown || g_expr == L"0" || g_expr == kErrorText ||
                        (replacesInfinity && g_expr == kInfinityText);
  if (replaces) {
    g_expr.assign(piece);
  } else {
    g_expr.append(piece);
  }
  g_resultShown = false;
}

void EnterDigit(WindowHandle window, std::wstring_view piece) {
  EnterOperandText(piece, true);
  UpdateDisplay(window);
}

void EnterOperand(WindowHandle window, std::wstring_view piece) {
  EnterOperandText(piece, false);
  UpdateDisplay(window);
}

// A shown result becomes the left operand.
void EnterInfix(WindowHandle window, std::wstring_view piece) {
  g_expr.append(piece);
  g_resultShown = false;
  UpdateDisplay(window);
}

// A shown result stays shown: the next operand still replaces it.
void EnterSuffix(WindowHandle window, std::wstring_view piece) {
  g_expr.append(piece);
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
    if (g_expr.find(L'.', numberStart) == std::wstring::npos) g_expr.push_back(L'.');
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
