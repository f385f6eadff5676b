// The one definition of the 48 on-screen keys.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
};

inline constexpr int kDisplayId = 1000;
inline constexpr int kFirstKeyId = 1001;
inline constexpr int kLastKeyId = 1048;
inline constexpr int kKeyRows = 6;
inline constexpr int kKeyColumns = 8;

// Row-major: the order in which keys are created, laid out and looked up.
extern const std::vector<ButtonDef> g_buttons;

// First entry with this id, or nullptr (the display's 1000 included).
const ButtonDef* FindButton(int id);
