// The one definition of the 48 on-screen keys: for each, its id, place, labels, colours
// and descriptions, what it does in both function modes, and what to type for it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The control ids. A key's id is also the command it sends, and the commands are found
// by id - kFirstKeyId, so the numbers must stay dense.
enum KeyId : int {
  kDisplayId = 1000,
  kKey0 = 1001,  // the digits run in order: kKey0 + d is the key of digit d
  kKey1,
  kKey2,
  kKey3,
  kKey4,
  kKey5,
  kKey6,
  kKey7,
  kKey8,
  kKey9,
  kKeyPoint = 1011,
  kKeyPlus,
  kKeyMinus,
  kKeyTimes,
  kKeyDivide,
  kKeyEquals = 1016,
  kKeyAllClear,
  kKeyErase,
  kKeySign,
  kKeyOpenParen = 1020,
  kKeyCloseParen,
  kKeySecond,
  kKeyAngleMode,
  kKeyPi,
  kKeyExponent,  // EE
  kKeyRemainder,
  kKeySin = 1027,
  kKeyCos,
  kKeyTan,
  kKeySinh,
  kKeyCosh,
  kKeyTanh,
  kKeyLn = 1033,
  kKeyLg,
  kKeySqrt,
  kKeySquare,
  kKeyCube,
  kKeyPower,
  kKeyTenPower = 1039,
  kKeyExp,
  kKeyReciprocal,
  kKeyRoot,
  kKeyFactorial,
  kKeyMemoryClear = 1044,
  kKeyMemoryAdd,
  kKeyMemorySubtract,
  kKeyMemoryRecall,
  kKeyRandom = 1048,
  kFirstKeyId = kKey0,
  kLastKeyId = kKeyRandom,
};

inline constexpr int kKeyCount = kLastKeyId - kFirstKeyId + 1;
inline constexpr int kKeyRows = 6;
inline constexpr int kKeyColumns = 8;

constexpr bool IsKeyId(int id) { return id >= kFirstKeyId && id <= kLastKeyId; }

enum ColorClass : std::int32_t {
  kStandardKey = 0,  // digits, point, brackets, functions, modes, editing keys
  kOperatorKey = 1,  // ÷ × - +
  kEqualsKey = 2,    // =
  kMemoryKey = 3,    // mc m+ m- mr
};

// What a key does. The four kinds of entry differ in what they make of the start text and
// of a shown result; the others are keys of their own.
enum KeyAction {
  kEnterDigit,    // like kEnterOperand, and it also replaces "无穷大"
  kEnterOperand,  // replaces a shown result, "0" and "错误"; else appends
  kEnterInfix,    // appends; a shown result becomes the left operand
  kEnterSuffix,   // appends; a shown result stays shown
  kEnterPoint,    // one point per number
  kEvaluate,
  kClearAll,
  kEraseBack,
  kToggleSign,
  kToggleSecond,
  kToggleAngle,
  kMemoryClear,
  kMemoryAdd,
  kMemorySubtract,
  kMemoryRecall,
  kDrawRandom,
};

constexpr bool EntersPiece(KeyAction action) { return action <= kEnterSuffix; }

struct KeyCommand {
  KeyAction action;
  std::wstring_view piece = {};  // what an entry key enters
};

struct ButtonDef {
  std::int32_t id;
  std::int32_t row;
  std::int32_t column;
  std::wstring label;
  std::wstring secondLabel;  // empty: the key keeps label in second-function mode
  std::int32_t colorClass;
  // What the key does, for screen readers, which would spell out a symbol label.
  std::wstring description;
  std::wstring secondDescription;  // goes with secondLabel
};

// Row-major: the order in which keys are created, laid out and looked up.
extern const std::vector<ButtonDef> g_buttons;

// The entry of a key id, or nullptr (the display's id included).
const ButtonDef* FindButton(int id);

// What the key does in the given function mode; the key id must be one of the keys.
const KeyCommand& CommandOf(int id, bool secondMode);

// The key a typed character (in its ASCII form) runs, if any: the operators, parentheses,
// "!", "." and "," (both the point) and "=". Digits and letters are no such characters.
std::optional<int> TypedKeyId(wchar_t ch);

// What to type for a key: the characters it enters, and the name of a key that does
// the same (Enter for "=", Esc for AC); empty texts where there is none.
struct KeyboardText {
  int id;
  std::wstring_view typed;
  std::wstring_view second;  // in second-function mode; empty: typed
  std::wstring_view keyName = {};
};
std::span<const KeyboardText> KeyboardTexts();
// The key's keyboard shortcut as shown and told to screen readers ("sin(", "=, Enter");
// empty for keys that cannot be typed (modes, memory, ±, Rand).
std::wstring KeyboardShortcut(int id, bool second);
