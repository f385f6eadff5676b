// The 48 key commands, pressed from the start text, while editing and on a shown result.
#include <cmath>
#include <string>

#include "calculator_fixture.h"
#include "calculator/refresh.h"

namespace {

struct KeyRow {
  const wchar_t* key;
  const wchar_t* onStart;    // the key pressed on the start text "0"
  const wchar_t* onEditing;  // on the typed text "12"
  const wchar_t* onResult;   // on the result "5" of "2 + 3 ="
  bool resultStays;          // the result flag after the key on "5"
};

// Every key but Rand, whose text is random. Keys with a second function are listed in
// second-function mode below; all others do the same in both modes.
const KeyRow kFirstFunctions[] = {
    {L"0", L"0", L"120", L"0", false},
    {L"1", L"1", L"121", L"1", false},
    {L"2", L"2", L"122", L"2", false},
    {L"3", L"3", L"123", L"3", false},
    {L"4", L"4", L"124", L"4", false},
    {L"5", L"5", L"125", L"5", false},
    {L"6", L"6", L"126", L"6", false},
    {L"7", L"7", L"127", L"7", false},
    {L"8", L"8", L"128", L"8", false},
    {L"9", L"9", L"129", L"9", false},
    {L".", L"0.", L"12.", L".", false},
    {L"+", L"0+", L"12+", L"5+", false},
    {L"-", L"0-", L"12-", L"5-", false},
    {L"×", L"0*", L"12*", L"5*", false},
    {L"÷", L"0/", L"12/", L"5/", false},
    {L"=", L"0", L"12", L"5", true},
    {L"AC", L"0", L"0", L"0", false},
    {L"⌫", L"0", L"1", L"0", false},
    {L"±", L"-0", L"-12", L"-5", true},
    {L"(", L"(", L"12(", L"(", false},
    {L")", L"0)", L"12)", L"5)", true},
    {L"2nd", L"0", L"12", L"5", true},
    {L"Rad", L"0", L"12", L"5", true},
    {L"π", L"pi", L"12pi", L"pi", false},
    {L"EE", L"0e", L"12e", L"5e", false},
    {L"%", L"0%", L"12%", L"5%", false},
    {L"sin", L"sin(", L"12sin(", L"sin(", false},
    {L"cos", L"cos(", L"12cos(", L"cos(", false},
    {L"tan", L"tan(", L"12tan(", L"tan(", false},
    {L"sinh", L"sinh(", L"12sinh(", L"sinh(", false},
    {L"cosh", L"cosh(", L"12cosh(", L"cosh(", false},
    {L"tanh", L"tanh(", L"12tanh(", L"tanh(", false},
    {L"ln", L"ln(", L"12ln(", L"ln(", false},
    {L"lg", L"lg(", L"12lg(", L"lg(", false},
    {L"√", L"sqrt(", L"12sqrt(", L"sqrt(", false},
    {L"x²", L"0^2", L"12^2", L"5^2", true},
    {L"x³", L"0^3", L"12^3", L"5^3", true},
    {L"y^x", L"0^", L"12^", L"5^", false},
    {L"10^x", L"10^", L"1210^", L"10^", false},
    {L"e^x", L"exp(", L"12exp(", L"exp(", false},
    {L"1/x", L"0^(-1)", L"12^(-1)", L"5^(-1)", true},
    {L"ʸ√x", L"0^(1/", L"12^(1/", L"5^(1/", false},
    {L"x!", L"0!", L"12!", L"5!", true},
    {L"mc", L"0", L"12", L"5", true},
    {L"m+", L"0", L"12", L"5", true},
    {L"m-", L"0", L"12", L"5", true},
    {L"mr", L"0", L"0", L"0", false},  // the memory is empty
};

const KeyRow kSecondFunctions[] = {
    {L"sin", L"asin(", L"12asin(", L"asin(", false},
    {L"cos", L"acos(", L"12acos(", L"acos(", false},
    {L"tan", L"atan(", L"12atan(", L"atan(", false},
    {L"sinh", L"asinh(", L"12asinh(", L"asinh(", false},
    {L"cosh", L"acosh(", L"12acosh(", L"acosh(", false},
    {L"tanh", L"atanh(", L"12atanh(", L"atanh(", false},
    {L"ln", L"exp(", L"12exp(", L"exp(", false},
    {L"lg", L"10^", L"1210^", L"10^", false},
    {L"√", L"0^2", L"12^2", L"5^2", true},  // swapped with x²
    {L"x²", L"sqrt(", L"12sqrt(", L"sqrt(", false},
    {L"x³", L"cbrt(", L"12cbrt(", L"cbrt(", false},  // ∛ as an operand
    {L"y^x", L"0^(1/", L"12^(1/", L"5^(1/", false},  // ʸ√x as kKeyRoot
    {L"10^x", L"exp(", L"12exp(", L"exp(", false},
};

const KeyRow& SecondFunctionOf(const KeyRow& row) {
  for (const KeyRow& second : kSecondFunctions) {
    if (std::wstring_view{second.key} == row.key) return second;
  }
  return row;
}

class KeyCommandTest : public CalculatorTest {
 protected:
  // Runs the three situations for one key; `mode` is "" or "2nd " pressed first.
  void CheckKey(const KeyRow& row, const std::wstring& mode) {
    SCOPED_TRACE(::testing::PrintToString(mode + row.key));
    const std::wstring key = row.key;

    Restart();
    Press(mode + key);
    ExpectText(row.onStart);
    EXPECT_FALSE(g_resultShown);

    Restart();
    Press(mode + L"1 2 " + key);
    ExpectText(row.onEditing);
    EXPECT_EQ(g_resultShown, key == L"=");

    Restart();
    Press(mode + L"2 + 3 = " + key);
    ExpectText(row.onResult);
    EXPECT_EQ(g_resultShown, row.resultStays);
  }

  static void Restart() {
    ResetCalculator();
    ResetFakeWindow();
  }
};

TEST_F(KeyCommandTest, EveryKeyInFirstFunctionMode) {
  for (const KeyRow& row : kFirstFunctions) CheckKey(row, L"");
}

TEST_F(KeyCommandTest, EveryKeyInSecondFunctionMode) {
  for (const KeyRow& row : kFirstFunctions) CheckKey(SecondFunctionOf(row), L"2nd ");
}

TEST_F(KeyCommandTest, SecondFunctionModeStaysOnUntil2ndAgain) {
  Press(L"2nd sin 3 0 ) + ln");
  ExpectText(L"asin(30)+exp(");
  Press(L"2nd cos");
  ExpectText(L"asin(30)+exp(cos(");
}

TEST_F(KeyCommandTest, ErrorTextIsReplacedLikeTheStartText) {
  Press(L"1 ÷ 0 =");
  ExpectText(kErrorText);
  EXPECT_TRUE(g_resultShown);
  Press(L"7");
  ExpectText(L"7");

  Press(L"1 ÷ 0 = +");  // the error becomes the left operand, and "=" fails again
  ExpectText(L"错误+");
  EXPECT_FALSE(g_resultShown);
  Press(L"=");
  ExpectText(kErrorText);

  // "错误" that is no longer a shown result: digits and operands still replace it.
  const wchar_t* const kOnError[][2] = {
      {L"7", L"7"},     {L"(", L"("},     {L"sin", L"sin("}, {L"π", L"pi"},
      {L"+", L"错误+"}, {L")", L"错误)"}, {L".", L"错误."},  {L"⌫", L"0"},
  };
  for (const auto& [key, text] : kOnError) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring{key}));
    Press(L"AC 1 ÷ 0 = + ⌫");
    ASSERT_EQ(g_expr, kErrorText);
    ASSERT_FALSE(g_resultShown);
    Press(key);
    ExpectText(text);
  }
}

TEST_F(KeyCommandTest, InfinityTextIsReplacedByDigitsOnly) {
  const wchar_t* const kOnInfinity[][2] = {
      {L"7", L"7"}, {L"(", L"无穷大("}, {L"π", L"无穷大pi"}, {L"+", L"无穷大+"}, {L"⌫", L"0"},
  };
  for (const auto& [key, text] : kOnInfinity) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring{key}));
    Press(L"AC 1 0 y^x 4 0 0 = + ⌫");
    ASSERT_EQ(g_expr, kInfinityText);
    ASSERT_FALSE(g_resultShown);
    Press(key);
    ExpectText(text);
  }
}

TEST_F(KeyCommandTest, SuffixKeyKeepsTheResultReplaceable) {
  Press(L"2 + 3 = x² 3");
  ExpectText(L"3");
  Press(L"AC 2 + 3 = y^x 2");
  ExpectText(L"5^2");
  Press(L"AC 2 + 3 = ± 4");
  ExpectText(L"4");
}

TEST_F(KeyCommandTest, DecimalPointLooksAtTheNumberBeingTyped) {
  const wchar_t* const kRows[][2] = {
      {L"0 . .", L"0."},        {L"1 . 5 .", L"1.5"},     {L"1 . 5 + 2 .", L"1.5+2."},
      {L"2 y^x .", L"2^."},     {L"1 . 5 + .", L"1.5+."}, {L"( 1 . 5 ) .", L"(1.5)."},
      {L"1 . 5 EE .", L"1.5e"},  // "e" does not end a number
      {L"± ⌫ ± .", L"."},        // the empty text takes the point alone
  };
  for (const auto& [keys, text] : kRows) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring{keys}));
    Press(L"AC");
    Press(keys);
    ExpectText(text);
  }
}

TEST_F(KeyCommandTest, EraseGoesBackOneUnitAtATime) {
  Press(L"sin ⌫");
  ExpectText(L"sin");
  Press(L"⌫ ⌫ ⌫");
  ExpectText(L"0");
  Press(L"7 ⌫");
  ExpectText(L"0");
  Press(L"1 + 2 = ⌫");
  ExpectText(L"0");
  EXPECT_FALSE(g_resultShown);
}

TEST_F(KeyCommandTest, SignToggleWorksOnTheWholeText) {
  Press(L"2 + 3 ±");
  ExpectText(L"-2+3");
  Press(L"=");
  ExpectText(L"1");

  Press(L"AC 1 2 ± ±");
  ExpectText(L"12");

  // ± on "-" leaves the empty text: "=" ignores it, ⌫ restarts, a digit is appended.
  Press(L"AC ± ⌫");
  ExpectText(L"-");
  Press(L"±");
  ExpectText(L"");
  g_fakeWindow.calls.clear();
  Press(L"=");
  ExpectText(L"");
  EXPECT_FALSE(g_resultShown);
  EXPECT_EQ(g_fakeWindow.calls, std::vector<std::string>{"focus"});
  Press(L"±");
  ExpectText(L"-");
  Press(L"± 7");
  ExpectText(L"7");
  Press(L"± ⌫ ± ⌫");
  ExpectText(L"0");

  // Unary minus binds tighter than "^".
  Press(L"AC 2 x² ± =");
  ExpectText(L"4");
}

TEST_F(KeyCommandTest, AllClearKeepsMemoryAndModes) {
  Press(L"5 m+ 2nd Rad 1 2 AC");
  ExpectText(L"0");
  EXPECT_EQ(g_memory, 5.0);
  EXPECT_TRUE(g_secondMode);
  EXPECT_FALSE(g_radians);
}

TEST_F(KeyCommandTest, MemoryKeysReadTheLeadingNumber) {
  struct Row {
    const wchar_t* keys;
    double memory;
  };
  const Row kRows[] = {
      {L"2 + 3 m+", 2.0},
      {L"2 + 3 = m+", 5.0},
      {L"2 + 3 = m+ m+", 10.0},
      {L"1 . 5 m+ 4 m-", 1.5 - 1.54},
      {L"sin 3 0 ) m+", 0.0},
      {L"( 2 m+", 0.0},
      {L"π m+", 0.0},
      {L"1 ÷ 0 = m+", 0.0},
      {L"1 0 y^x 4 0 0 = m+", 0.0},
      {L"± m+", 0.0},             // "-0"
      {L"1 EE - 3 1 0 m-", 0.0},  // below the normal range
      {L"1 EE 4 0 0 m+", 0.0},    // above the range
      {L"2 EE 3 m-", -2000.0},
      {L"± ⌫ ± m+", 0.0},  // the empty text
      {L"7 m+ mc", 0.0},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring{row.keys}));
    ResetCalculator();
    Press(row.keys);
    EXPECT_EQ(g_memory, row.memory);
  }
}

TEST_F(KeyCommandTest, MemoryKeysLeaveTheTextAndTheResultFlag) {
  Press(L"2 + 3 = m+ m- mc");
  ExpectText(L"5");
  EXPECT_TRUE(g_resultShown);
}

TEST_F(KeyCommandTest, MemoryRecallReplacesTheTextWith14Digits) {
  Press(L". 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 m+ AC 1 2 + mr");
  ExpectText(L"0.33333333333333");
  EXPECT_FALSE(g_resultShown);

  Press(L"2 + 3 = mr");
  ExpectText(L"0.33333333333333");
  EXPECT_FALSE(g_resultShown);

  Press(L"AC mc 2 EE - 2 0 m+ mr");
  ExpectText(L"2e-20");
  Press(L"AC mc 1 2 3 4 5 6 7 8 9 0 1 2 3 4 6 m+ mr");
  ExpectText(L"1.2345678901235e+14");

  // Past the largest double the memory holds infinity, and infinity less itself is NaN,
  // which the title does not mark.
  Press(L"AC mc 1 EE 3 0 8 m+ m+ mr");
  ExpectText(L"inf");
  EXPECT_NE(g_fakeWindow.title, kWindowTitle);
  Press(L"m-");
  EXPECT_TRUE(std::isnan(g_memory));
  EXPECT_EQ(g_fakeWindow.title, kWindowTitle);
}

TEST_F(KeyCommandTest, MemoryMarkInTheTitle) {
  const std::wstring marked = std::wstring{kWindowTitle} + L"   [M]";
  struct Row {
    const wchar_t* keys;
    bool marked;
  };
  const Row kRows[] = {
      {L"2 EE - 1 2 m+", true}, {L"1 EE - 1 2 m+", false}, {L"1 EE - 1 2 m-", false},
      {L"5 m-", true},          {L"5 m+ mc", false},       {L"5 m+ m-", false},
      {L"5 m+ AC", true},       {L"5 m+ 2nd", true},       {L"5 m+ 1 ÷ 0 =", true},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring{row.keys}));
    ResetCalculator();
    ResetFakeWindow();
    Press(row.keys);
    EXPECT_EQ(g_fakeWindow.title, row.marked ? marked : std::wstring{kWindowTitle});
  }
}

TEST_F(KeyCommandTest, RandShowsTheNextDraw) {
  SeedRandom(20261209);
  const int first = DrawRandom();
  const int second = DrawRandom();
  SeedRandom(20261209);
  Press(L"1 + Rand");
  ExpectText(RandomText(first));
  EXPECT_FALSE(g_resultShown);
  Press(L"2 + 3 = Rand");
  ExpectText(RandomText(second));
  EXPECT_FALSE(g_resultShown);
}

TEST_F(KeyCommandTest, AngleModeChangesTheEvaluation) {
  Press(L"sin 9 0 =");
  ExpectText(FormatResult(std::sin(90.0)));
  Press(L"Rad sin 9 0 =");
  ExpectText(L"1");
  Press(L"Rad");  // a shown result is not evaluated again in the new mode
  ExpectText(L"1");
  EXPECT_TRUE(g_resultShown);
}

// Each key ends with exactly one refresh, and the window takes the focus back after it;
// what no text on the screen says is spoken.
TEST_F(KeyCommandTest, OneRefreshThenTheFocus) {
  using Calls = std::vector<std::string>;
  const Calls update{"display", "title", "focus"};
  for (const ExpectedKey& key : kExpectedKeys) {
    SCOPED_TRACE(key.id);
    ResetCalculator();
    Press(L"1 2");
    g_fakeWindow.calls.clear();
    g_fakeWindow.announced.clear();
    OnKeyCommand(FakeHandle(), key.id);
    if (key.id == kKeySecond || key.id == kKeyAngleMode) {
      Calls relabel;
      for (const ButtonDef& button : g_buttons)
        relabel.push_back("key " + std::to_string(button.id));
      relabel.push_back("announce");
      relabel.push_back("focus");
      EXPECT_EQ(g_fakeWindow.calls, relabel);
    } else if (key.id == kKeyEquals) {
      // "=" speaks its result and shows its new history entry.
      EXPECT_EQ(g_fakeWindow.calls, (Calls{"display", "title", "announce", "history", "focus"}));
      EXPECT_EQ(g_fakeWindow.announced, std::vector{g_fakeWindow.display});
    } else if (key.id == kKeyMemoryClear || key.id == kKeyMemoryAdd ||
               key.id == kKeyMemorySubtract) {
      EXPECT_EQ(g_fakeWindow.calls, (Calls{"display", "title", "announce", "focus"}));
    } else if (key.id == kKeyAllClear || key.id == kKeyMemoryRecall || key.id == kKeyRandom) {
      // A new text that the key's own echo does not say is spoken.
      EXPECT_EQ(g_fakeWindow.calls, (Calls{"display", "title", "announce", "focus"}));
      EXPECT_EQ(g_fakeWindow.announced, std::vector{g_fakeWindow.display});
    } else {
      EXPECT_EQ(g_fakeWindow.calls, update);
    }
  }
  g_fakeWindow.calls.clear();
  Press(L"AC =");  // "=" on "0" changes nothing and shows nothing
  EXPECT_EQ(g_fakeWindow.calls, (Calls{"display", "title", "announce", "focus", "focus"}));
}

TEST_F(KeyCommandTest, ModesAndMemorySayWhatTheyLeave) {
  struct Row {
    const wchar_t* keys;
    const wchar_t* said;  // the last announcement
  };
  const Row rows[] = {
      {L"Rad", L"角度"},
      {L"Rad Rad", L"弧度"},
      {L"2nd", L"第二功能 开"},
      {L"2nd 2nd", L"第二功能 关"},
      {L"1 2 m+", L"存储 12"},
      {L"1 2 m+ m+ m+ m-", L"存储 24"},
      {L"1 ÷ 3 = m-", L"存储 -0.333333333333"},  // the display's twelve digits
      {L"1 2 m+ mc", L"存储已清除"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring{row.keys}));
    ResetCalculator();
    g_fakeWindow.announced.clear();
    Press(row.keys);
    ASSERT_FALSE(g_fakeWindow.announced.empty());
    EXPECT_EQ(g_fakeWindow.announced.back(), row.said);
  }
}

TEST_F(KeyCommandTest, IdsOutsideTheKeypadOnlyTakeTheFocus) {
  for (int id : std::initializer_list<int>{0, -1, 999, kDisplayId, 1049, 1100, 65535}) {
    SCOPED_TRACE(id);
    Press(L"1 2 +");
    g_fakeWindow.calls.clear();
    OnKeyCommand(FakeHandle(), id);
    ExpectText(L"12+");
    EXPECT_EQ(g_fakeWindow.calls, std::vector<std::string>{"focus"});
    Press(L"AC");
  }
}

}  // namespace
