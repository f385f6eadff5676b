#include "calculator/keypad.h"

#include <algorithm>
#include <array>

namespace {

struct KeyCommands {
  KeyCommand first;
  KeyCommand second;  // in second-function mode
};

constexpr KeyCommands Same(KeyAction action, std::wstring_view piece = {}) {
  return {{action, piece}, {action, piece}};
}

constexpr KeyCommands Two(KeyCommand first, KeyCommand second) { return {first, second}; }

// One row per key: its place, labels, colour class and descriptions, then what it does in
// both modes, the characters that run it when typed, and a keyboard key that does the same.
struct KeyDef {
  KeyId id;
  int row;
  int column;
  std::wstring_view label;
  std::wstring_view secondLabel;
  ColorClass colorClass;
  std::wstring_view description;
  std::wstring_view secondDescription;
  KeyCommands commands;
  std::wstring_view typed = {};
  std::wstring_view keyName = {};
};

// Row-major over the 6 x 8 grid.
constexpr KeyDef kKeys[] = {
    {kKeySecond, 0, 0, L"2nd", L"", kStandardKey, L"第二功能", L"",
     Same(kToggleSecond)},
    {kKeyOpenParen, 0, 1, L"(", L"", kStandardKey, L"左括号", L"",
     Same(kEnterOperand, L"("), L"("},
    {kKeyCloseParen, 0, 2, L")", L"", kStandardKey, L"右括号", L"",
     Same(kEnterSuffix, L")"), L")"},
    {kKeyTenPower, 0, 3, L"10^x", L"e^x", kStandardKey, L"10的x次方", L"e的x次方",
     Two({kEnterOperand, L"10^"}, {kEnterOperand, L"exp("})},
    {kKeyMemoryClear, 0, 4, L"mc", L"", kMemoryKey, L"存储清除", L"",
     Same(kMemoryClear)},
    {kKeyMemoryAdd, 0, 5, L"m+", L"", kMemoryKey, L"存储加", L"",
     Same(kMemoryAdd)},
    {kKeyMemorySubtract, 0, 6, L"m-", L"", kMemoryKey, L"存储减", L"",
     Same(kMemorySubtract)},
    {kKeyMemoryRecall, 0, 7, L"mr", L"", kMemoryKey, L"存储读取", L"",
     Same(kMemoryRecall)},

    {kKeyReciprocal, 1, 0, L"1/x", L"", kStandardKey, L"倒数", L"",
     Same(kEnterSuffix, L"^(-1)")},
    {kKeySquare, 1, 1, L"x²", L"√", kStandardKey, L"平方", L"平方根",
     Two({kEnterSuffix, L"^2"}, {kEnterOperand, L"sqrt("})},
    {kKeyCube, 1, 2, L"x³", L"∛", kStandardKey, L"立方", L"立方根",
     Two({kEnterSuffix, L"^3"}, {kEnterOperand, L"cbrt("})},
    {kKeyPower, 1, 3, L"y^x", L"ʸ√x", kStandardKey, L"乘方", L"开y次方根",
     Two({kEnterInfix, L"^"}, {kEnterInfix, L"^(1/"}), L"^"},
    {kKeyAllClear, 1, 4, L"AC", L"", kStandardKey, L"全部清除", L"",
     Same(kClearAll), L"", L"Esc"},
    {kKeyErase, 1, 5, L"⌫", L"", kStandardKey, L"退格", L"",
     Same(kEraseBack), L"", L"Backspace"},
    {kKeySign, 1, 6, L"±", L"", kStandardKey, L"正负号", L"",
     Same(kToggleSign)},
    {kKeyDivide, 1, 7, L"÷", L"", kOperatorKey, L"除", L"",
     Same(kEnterInfix, L"/"), L"/"},

    {kKeyFactorial, 2, 0, L"x!", L"", kStandardKey, L"阶乘", L"",
     Same(kEnterSuffix, L"!"), L"!"},
    {kKeySqrt, 2, 1, L"√", L"x²", kStandardKey, L"平方根", L"平方",
     Two({kEnterOperand, L"sqrt("}, {kEnterSuffix, L"^2"})},
    {kKeyRoot, 2, 2, L"ʸ√x", L"", kStandardKey, L"开y次方根", L"",
     Same(kEnterInfix, L"^(1/")},  // the root closes itself
    {kKeyLg, 2, 3, L"lg", L"10^x", kStandardKey, L"常用对数", L"10的x次方",
     Two({kEnterOperand, L"lg("}, {kEnterOperand, L"10^"})},
    {kKey7, 2, 4, L"7", L"", kStandardKey, L"数字7", L"", Same(kEnterDigit, L"7")},
    {kKey8, 2, 5, L"8", L"", kStandardKey, L"数字8", L"", Same(kEnterDigit, L"8")},
    {kKey9, 2, 6, L"9", L"", kStandardKey, L"数字9", L"", Same(kEnterDigit, L"9")},
    {kKeyTimes, 2, 7, L"×", L"", kOperatorKey, L"乘", L"",
     Same(kEnterInfix, L"*"), L"*"},

    {kKeySin, 3, 0, L"sin", L"asin", kStandardKey, L"正弦", L"反正弦",
     Two({kEnterOperand, L"sin("}, {kEnterOperand, L"asin("})},
    {kKeyCos, 3, 1, L"cos", L"acos", kStandardKey, L"余弦", L"反余弦",
     Two({kEnterOperand, L"cos("}, {kEnterOperand, L"acos("})},
    {kKeyTan, 3, 2, L"tan", L"atan", kStandardKey, L"正切", L"反正切",
     Two({kEnterOperand, L"tan("}, {kEnterOperand, L"atan("})},
    {kKeyLn, 3, 3, L"ln", L"e^x", kStandardKey, L"自然对数", L"e的x次方",
     Two({kEnterOperand, L"ln("}, {kEnterOperand, L"exp("})},
    {kKey4, 3, 4, L"4", L"", kStandardKey, L"数字4", L"", Same(kEnterDigit, L"4")},
    {kKey5, 3, 5, L"5", L"", kStandardKey, L"数字5", L"", Same(kEnterDigit, L"5")},
    {kKey6, 3, 6, L"6", L"", kStandardKey, L"数字6", L"", Same(kEnterDigit, L"6")},
    {kKeyMinus, 3, 7, L"-", L"", kOperatorKey, L"减", L"",
     Same(kEnterInfix, L"-"), L"-"},

    {kKeySinh, 4, 0, L"sinh", L"asinh", kStandardKey, L"双曲正弦", L"反双曲正弦",
     Two({kEnterOperand, L"sinh("}, {kEnterOperand, L"asinh("})},
    {kKeyCosh, 4, 1, L"cosh", L"acosh", kStandardKey, L"双曲余弦", L"反双曲余弦",
     Two({kEnterOperand, L"cosh("}, {kEnterOperand, L"acosh("})},
    {kKeyTanh, 4, 2, L"tanh", L"atanh", kStandardKey, L"双曲正切", L"反双曲正切",
     Two({kEnterOperand, L"tanh("}, {kEnterOperand, L"atanh("})},
    {kKeyExp, 4, 3, L"e^x", L"", kStandardKey, L"e的x次方", L"",
     Same(kEnterOperand, L"exp(")},
    {kKey1, 4, 4, L"1", L"", kStandardKey, L"数字1", L"", Same(kEnterDigit, L"1")},
    {kKey2, 4, 5, L"2", L"", kStandardKey, L"数字2", L"", Same(kEnterDigit, L"2")},
    {kKey3, 4, 6, L"3", L"", kStandardKey, L"数字3", L"", Same(kEnterDigit, L"3")},
    {kKeyPlus, 4, 7, L"+", L"", kOperatorKey, L"加", L"",
     Same(kEnterInfix, L"+"), L"+"},

    // The angle-mode key shows its first label in radian mode, its second in degree mode.
    {kKeyAngleMode, 5, 0, L"Rad", L"Deg", kStandardKey, L"弧度模式", L"角度模式",
     Same(kToggleAngle)},
    {kKeyPi, 5, 1, L"π", L"", kStandardKey, L"圆周率", L"",
     Same(kEnterOperand, L"pi")},
    {kKeyExponent, 5, 2, L"EE", L"", kStandardKey, L"科学记数法", L"",
     Same(kEnterInfix, L"e")},  // 2e3 reads as 2000
    {kKeyRandom, 5, 3, L"Rand", L"", kStandardKey, L"随机数", L"",
     Same(kDrawRandom)},
    {kKeyRemainder, 5, 4, L"%", L"", kStandardKey, L"取余", L"",
     Same(kEnterInfix, L"%"), L"%"},
    {kKey0, 5, 5, L"0", L"", kStandardKey, L"数字0", L"", Same(kEnterDigit, L"0")},
    // "," too: the display never shows a decimal comma.
    {kKeyPoint, 5, 6, L".", L"", kStandardKey, L"小数点", L"",
     Same(kEnterPoint), L".,"},
    {kKeyEquals, 5, 7, L"=", L"", kEqualsKey, L"等于", L"",
     Same(kEvaluate), L"=", L"Enter"},
};

static_assert(std::size(kKeys) == kKeyRows * kKeyColumns);

// Every key has exactly one row, and the rows fill the grid in row-major order.
static_assert([] {
  std::array<int, kKeyCount> seen{};
  for (std::size_t i = 0; i < std::size(kKeys); ++i) {
    const KeyDef& key = kKeys[i];
    if (!IsKeyId(key.id) || seen[key.id - kFirstKeyId]++ != 0) return false;
    if (key.row * kKeyColumns + key.column != static_cast<int>(i)) return false;
  }
  return true;
}());

// A character typed for a key runs that key: none may name two.
static_assert([] {
  for (const KeyDef& a : kKeys) {
    for (const KeyDef& b : kKeys) {
      if (&a == &b) continue;
      for (wchar_t ch : a.typed) {
        if (b.typed.find(ch) != std::wstring_view::npos) return false;
      }
    }
  }
  return true;
}());

// Indexed by id - kFirstKeyId.
constexpr std::array<std::size_t, kKeyCount> kRowOfId = [] {
  std::array<std::size_t, kKeyCount> rows{};
  for (std::size_t i = 0; i < std::size(kKeys); ++i) rows[kKeys[i].id - kFirstKeyId] = i;
  return rows;
}();

constexpr const KeyDef& KeyOf(int id) { return kKeys[kRowOfId[id - kFirstKeyId]]; }

// What to type: an entry key's piece, or the first character that runs a special key.
constexpr std::wstring_view TypedFor(const KeyDef& key, const KeyCommand& command) {
  if (EntersPiece(command.action)) return command.piece;
  return key.typed.substr(0, std::min<std::size_t>(key.typed.size(), 1));
}

constexpr KeyboardText KeyboardTextOf(const KeyDef& key) {
  const std::wstring_view first = TypedFor(key, key.commands.first);
  const std::wstring_view second = TypedFor(key, key.commands.second);
  return {key.id, first, second == first ? std::wstring_view{} : second, key.keyName};
}

constexpr bool Typeable(const KeyDef& key) {
  const KeyboardText text = KeyboardTextOf(key);
  return !text.typed.empty() || !text.keyName.empty();
}

constexpr std::size_t kTypeableCount =
    static_cast<std::size_t>(std::count_if(std::begin(kKeys), std::end(kKeys), Typeable));

// In id order, as a user reads a list of keys.
constexpr std::array<KeyboardText, kTypeableCount> kKeyboardTexts = [] {
  std::array<KeyboardText, kTypeableCount> texts{};
  std::size_t n = 0;
  for (int id = kFirstKeyId; id <= kLastKeyId; ++id) {
    if (Typeable(KeyOf(id))) texts[n++] = KeyboardTextOf(KeyOf(id));
  }
  return texts;
}();

std::vector<ButtonDef> MakeButtons() {
  std::vector<ButtonDef> buttons;
  buttons.reserve(std::size(kKeys));
  for (const KeyDef& key : kKeys) {
    buttons.push_back({key.id, key.row, key.column, std::wstring{key.label},
                       std::wstring{key.secondLabel}, key.colorClass,
                       std::wstring{key.description}, std::wstring{key.secondDescription}});
  }
  return buttons;
}

}  // namespace

const std::vector<ButtonDef> g_buttons = MakeButtons();

const ButtonDef* FindButton(int id) {
  return IsKeyId(id) ? &g_buttons[kRowOfId[id - kFirstKeyId]] : nullptr;
}

const KeyCommand& CommandOf(int id, bool secondMode) {
  const KeyDef& key = KeyOf(id);
  return secondMode ? key.commands.second : key.commands.first;
}

std::optional<int> TypedKeyId(wchar_t ch) {
  for (const KeyDef& key : kKeys) {
    if (key.typed.find(ch) != std::wstring_view::npos) return key.id;
  }
  return std::nullopt;
}

std::span<const KeyboardText> KeyboardTexts() { return kKeyboardTexts; }

std::wstring KeyboardShortcut(int id, bool second) {
  if (!IsKeyId(id)) return {};
  const KeyboardText entry = KeyboardTextOf(KeyOf(id));
  std::wstring text(second && !entry.second.empty() ? entry.second : entry.typed);
  if (!entry.keyName.empty()) text += (text.empty() ? L"" : L", ") + std::wstring(entry.keyName);
  return text;
}
