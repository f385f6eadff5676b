// The one definition of the 48 on-screen keys: their ids, places, labels and colours.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The control ids. A key's id is also the command it sends, and the commands are a
// table indexed by id - kFirstKeyId, so the numbers must stay dense.
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

enum ColorClass : std::int32_t {
  kStandardKey = 0,  // digits, point, brackets, functions, modes, editing keys
  kOperatorKey = 1,  // ÷ × - +
  kEqualsKey = 2,    // =
  kMemoryKey = 3,    // mc m+ m- mr
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
