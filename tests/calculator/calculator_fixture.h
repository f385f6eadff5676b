// The fixture of the calculator tests: fresh state, a fresh fake window, and key
// sequences written as the keys' labels.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

// The core's public face, as the tests drive it.
#include "calculator/calculate.h"
#include "calculator/calculator.h"
#include "calculator/clipboard.h"
#include "calculator/editing.h"
#include "calculator/key_codes.h"
#include "calculator/key_commands.h"
#include "calculator/keyboard.h"
#include "calculator/keypad.h"
#include "calculator/random.h"
#include "calculator/state.h"
#include "engine/engine.h"
#include "fake_window.h"

// The keypad as the calculator's user sees it, written independently of the table
// under test (non-ASCII labels as code points).
struct ExpectedKey {
  int id;
  int row;
  int column;
  const wchar_t* label;
  const wchar_t* secondLabel;
  ColorClass colorClass;
};

inline constexpr ExpectedKey kExpectedKeys[] = {
    {1022, 0, 0, L"2nd", L"", kStandardKey},
    {1020, 0, 1, L"(", L"", kStandardKey},
    {1021, 0, 2, L")", L"", kStandardKey},
    {1039, 0, 3, L"10^x", L"e^x", kStandardKey},
    {1044, 0, 4, L"mc", L"", kMemoryKey},
    {1045, 0, 5, L"m+", L"", kMemoryKey},
    {1046, 0, 6, L"m-", L"", kMemoryKey},
    {1047, 0, 7, L"mr", L"", kMemoryKey},
    {1041, 1, 0, L"1/x", L"", kStandardKey},
    {1036, 1, 1, L"x\u00B2", L"\u221A", kStandardKey},
    {1037, 1, 2, L"x\u00B3", L"\u221B", kStandardKey},
    {1038, 1, 3, L"y^x", L"\u02B8\u221Ax", kStandardKey},
    {1017, 1, 4, L"AC", L"", kStandardKey},
    {1018, 1, 5, L"\u232B", L"", kStandardKey},
    {1019, 1, 6, L"\u00B1", L"", kStandardKey},
    {1015, 1, 7, L"\u00F7", L"", kOperatorKey},
    {1043, 2, 0, L"x!", L"", kStandardKey},
    {1035, 2, 1, L"\u221A", L"x\u00B2", kStandardKey},
    {1042, 2, 2, L"\u02B8\u221Ax", L"", kStandardKey},
    {1034, 2, 3, L"lg", L"10^x", kStandardKey},
    {1008, 2, 4, L"7", L"", kStandardKey},
    {1009, 2, 5, L"8", L"", kStandardKey},
    {1010, 2, 6, L"9", L"", kStandardKey},
    {1014, 2, 7, L"\u00D7", L"", kOperatorKey},
    {1027, 3, 0, L"sin", L"asin", kStandardKey},
    {1028, 3, 1, L"cos", L"acos", kStandardKey},
    {1029, 3, 2, L"tan", L"atan", kStandardKey},
    {1033, 3, 3, L"ln", L"e^x", kStandardKey},
    {1005, 3, 4, L"4", L"", kStandardKey},
    {1006, 3, 5, L"5", L"", kStandardKey},
    {1007, 3, 6, L"6", L"", kStandardKey},
    {1013, 3, 7, L"-", L"", kOperatorKey},
    {1030, 4, 0, L"sinh", L"asinh", kStandardKey},
    {1031, 4, 1, L"cosh", L"acosh", kStandardKey},
    {1032, 4, 2, L"tanh", L"atanh", kStandardKey},
    {1040, 4, 3, L"e^x", L"", kStandardKey},
    {1002, 4, 4, L"1", L"", kStandardKey},
    {1003, 4, 5, L"2", L"", kStandardKey},
    {1004, 4, 6, L"3", L"", kStandardKey},
    {1012, 4, 7, L"+", L"", kOperatorKey},
    {1023, 5, 0, L"Rad", L"Deg", kStandardKey},
    {1024, 5, 1, L"\u03C0", L"", kStandardKey},
    {1025, 5, 2, L"EE", L"", kStandardKey},
    {1048, 5, 3, L"Rand", L"", kStandardKey},
    {1026, 5, 4, L"%", L"", kStandardKey},
    {1001, 5, 5, L"0", L"", kStandardKey},
    {1011, 5, 6, L".", L"", kStandardKey},
    {1016, 5, 7, L"=", L"", kEqualsKey},
};

// The id of the key labelled so (its first label), or 0 for an unknown label.
int KeyId(std::wstring_view label);

// "2 + 3 =": presses the keys with these labels, separated by blanks.
void Press(std::wstring_view keys);

// What a user does, in words separated by blanks: a key of the keyboard ("Left", "S-Left"
// with Shift, "C-Z" with Ctrl, "CS-Z", "Home", "Up", "Del", "BS", "Enter", "Esc"...),
// "[label]" for an on-screen key, "@n" for a click before character n, "@@n" for a
// double-click on it, or text typed as it stands.
void Do(std::wstring_view script);

class CalculatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetCalculator();
    ResetFakeWindow();
  }
  void TearDown() override { EXPECT_FALSE(g_fakeWindow.foreignHandleSeen); }

  // What the user sees: the text, and the display showing exactly it.
  static void ExpectText(std::wstring_view text) {
    EXPECT_EQ(g_expr, text);
    EXPECT_EQ(g_fakeWindow.display, g_expr);
  }
};
