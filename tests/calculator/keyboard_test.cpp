// Key-downs, typed characters and the clipboard.
#include <algorithm>
#include <string>
#include <vector>

#include "calculator/context_menu.h"
#include "calculator/keyboard_overview.h"
#include "calculator/menu_commands.h"
#include "calculator/shortcuts.h"
#include "calculator_fixture.h"

namespace {

class KeyboardTest : public CalculatorTest {
 protected:
  static void KeyDown(int code, wchar_t typed = 0) { OnKeyDown(FakeHandle(), code, typed); }
  static void TypeDigits(std::wstring_view digits) {
    for (wchar_t digit : digits) KeyDown(kVkDigit0 + (digit - L'0'), digit);
  }
  static void Type(std::wstring_view chars) {
    for (wchar_t ch : chars) OnTypedChar(FakeHandle(), ch);
  }
  static void Paste(std::wstring text) {
    g_fakeWindow.clipboard = std::move(text);
    PasteClipboard(FakeHandle());
  }
};

TEST_F(KeyboardTest, DigitsEnterAndReplaceTheResult) {
  TypeDigits(L"12");
  ExpectText(L"12");
  KeyDown(kVkEnter);
  ExpectText(L"12");
  EXPECT_TRUE(g_resultShown);
  TypeDigits(L"3");
  ExpectText(L"3");
  EXPECT_FALSE(g_resultShown);
  TypeDigits(L"0");
  ExpectText(L"30");
}

TEST_F(KeyboardTest, NumericKeypadDigitsEnterLikeTheMainOnes) {
  for (int digit = 0; digit <= 9; ++digit) {
    SCOPED_TRACE(digit);
    Press(L"AC 1");
    KeyDown(kVkNumpad0 + digit);
    KeyDown(kVkDigit0 + digit, static_cast<wchar_t>(L'0' + digit));
    ExpectText(L"1" + std::wstring(2, static_cast<wchar_t>(L'0' + digit)));
  }
}

TEST_F(KeyboardTest, DigitRuleDiffersFromTheDigitKeysOnInfinity) {
  Press(L"1 0 y^x 4 0 0 = + ⌫");
  ASSERT_EQ(g_expr, kInfinityText);
  TypeDigits(L"7");
  ExpectText(L"无穷大7");

  Press(L"AC 1 ÷ 0 = + ⌫");
  ASSERT_EQ(g_expr, kErrorText);
  TypeDigits(L"7");
  ExpectText(L"7");
}

// The typed character decides: Shift+8 on a US keyboard types "*", which enters the
// operator alone, not "8" followed by "*".
TEST_F(KeyboardTest, DigitKeyThatTypesAnOperatorEntersOnlyTheOperator) {
  Press(L"2");
  KeyDown(kVkDigit0 + 8, L'*');
  Type(L"*");
  ExpectText(L"2*");
  KeyDown(kVkDigit0 + 9, L'(');
  Type(L"(");
  KeyDown(kVkDigit0 + 1, L'!');
  KeyDown(kVkDigit0 + 5, L'%');
  KeyDown(kVkNumpad0 + 3, L'.');
  ExpectText(L"2*(");

  // Unknown, digit or other typed characters: the digit enters, modifiers ignored.
  KeyDown(kVkDigit0 + 8);
  KeyDown(kVkDigit0 + 7, L'7');
  KeyDown(kVkDigit0 + 2, L'\u00E9');  // é on a French keyboard's 2
  KeyDown(kVkNumpad0 + 4, L'4');
  ExpectText(L"2*(8724");
}

// A digit key names the physical key whatever the layout and Shift; the character its
// press types enters instead only when it has an action of its own.
TEST_F(KeyboardTest, DigitKeysFollowTheKeyOrTheActionOfTheTypedCharacter) {
  struct Row {
    int digit;
    wchar_t typed;
    const wchar_t* text;  // after "7", the key-down and the typed character
  };
  const Row kRows[] = {
      {2, L'@', L"72"},        // US Shift+2
      {8, L'*', L"7*"},        // US Shift+8
      {1, L'&', L"71"},        // French 1 key
      {5, L'(', L"7("},        // French 5 key
      {6, L'-', L"7-"},        // French 6 key
      {2, L'"', L"72"},        // German Shift+2
      {7, L'/', L"7/"},        // German Shift+7
      {0, L'=', L"7"},         // German Shift+0 evaluates
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(::testing::Message() << row.digit << " typing " << static_cast<int>(row.typed));
    ResetCalculator();
    TypeDigits(L"7");
    OnKeyDown(FakeHandle(), kVkDigit0 + row.digit, row.typed, kShiftHeld);
    Type({&row.typed, 1});
    ExpectText(row.text);
  }
  EXPECT_TRUE(g_resultShown);  // the last row evaluated
}

TEST_F(KeyboardTest, TypedEqualsEvaluatesAsEnterDoes) {
  for (const wchar_t* text : {L"2+3", L"(1+2", L"1/0", L"2^2^3", L"0", L"sin("}) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring{text}));
    ResetCalculator();
    Paste(text);
    KeyDown(kVkEnter);
    const std::wstring byEnter = g_expr;
    const bool shownByEnter = g_resultShown;

    ResetCalculator();
    Paste(text);
    Type(L"=");
    ExpectText(byEnter);
    EXPECT_EQ(g_resultShown, shownByEnter);
  }
}

// The keypad's decimal key types "." or "," by layout, or another separator; it enters
// one point either way, and the typed character of the same press adds nothing.
TEST_F(KeyboardTest, KeypadDecimalKeyEntersThePointWhateverItTypes) {
  for (const wchar_t typed : {L'.', L',', L'\u066B', L'\0'}) {
    SCOPED_TRACE(static_cast<int>(typed));
    ResetCalculator();
    KeyDown(kVkNumpad0 + 1);
    KeyDown(kVkDecimal, typed);
    if (typed != L'\0') Type({&typed, 1});
    KeyDown(kVkNumpad0 + 5);
    ExpectText(L"1.5");

    Press(L"+ 3 =");
    KeyDown(kVkDecimal, typed);
    if (typed != L'\0') Type({&typed, 1});
    ExpectText(L".");
  }
}

TEST_F(KeyboardTest, EnterEscapeBackspace) {
  Press(L"5 m+");
  TypeDigits(L"2");
  KeyDown(kVkEnter);
  KeyDown(kVkEscape);
  ExpectText(L"0");
  EXPECT_FALSE(g_resultShown);
  EXPECT_EQ(g_memory, 5.0);

  TypeDigits(L"12");
  KeyDown(kVkBackspace);
  ExpectText(L"1");
  KeyDown(kVkBackspace);
  ExpectText(L"0");
  KeyDown(kVkBackspace);
  ExpectText(L"0");

  Press(L"1 ÷ 0 =");
  KeyDown(kVkBackspace);
  ExpectText(L"0");
  EXPECT_FALSE(g_resultShown);

  Press(L"sin");
  KeyDown(kVkBackspace);
  ExpectText(L"sin");
  Press(L"AC ± ⌫ ±");
  KeyDown(kVkBackspace);
  ExpectText(L"0");

  // Unlike ⌫, Backspace treats "错误" as a plain text once it is no longer shown.
  Press(L"1 ÷ 0 = + ⌫");
  KeyDown(kVkBackspace);
  ExpectText(L"错");
}

TEST_F(KeyboardTest, OtherKeysDoNothing) {
  Press(L"1 2");
  g_fakeWindow.calls.clear();
  // Up, Down, Insert, Delete and Help share codes with "(", "*", "+"...; at the end of
  // the text with no history Right, Up, Down and Delete have nothing to do.
  for (int code : {38, 39,  40,  41,  42,  43, 44, 45, 46, 47,  58,
                   65, 95, 106, 107, 109, 111, 0,  -1, 1000}) {
    SCOPED_TRACE(code);
    KeyDown(code);
    KeyDown(code, static_cast<wchar_t>(code));
  }
  ExpectText(L"12");
  EXPECT_TRUE(g_fakeWindow.calls.empty());
}

TEST_F(KeyboardTest, KeyboardNeverTakesTheFocusOrRelabels) {
  Press(L"1 2");
  g_fakeWindow.calls.clear();
  TypeDigits(L"3");
  Type(L"+");
  KeyDown(kVkBackspace);
  KeyDown(kVkEnter);
  KeyDown(kVkEscape);
  Type(L".()");
  for (const std::string& call : g_fakeWindow.calls)
    EXPECT_TRUE(call == "display" || call == "title" || call == "history" || call == "announce")
        << call;
}

TEST_F(KeyboardTest, TypedCharactersEnterAsTheirKeys) {
  struct Row {
    wchar_t typed;
    const wchar_t* onStart;
    const wchar_t* onEditing;
    const wchar_t* onResult;
    bool resultStays;
  };
  const Row kRows[] = {
      {L'+', L"0+", L"12+", L"5+", false},
      {L'-', L"0-", L"12-", L"5-", false},
      {L'*', L"0*", L"12*", L"5*", false},
      {L'\u00D7', L"0*", L"12*", L"5*", false},
      {L'/', L"0/", L"12/", L"5/", false},
      {L'\u00F7', L"0/", L"12/", L"5/", false},
      {L'^', L"0^", L"12^", L"5^", false},
      {L'%', L"0%", L"12%", L"5%", false},
      {L'(', L"(", L"12(", L"(", false},
      {L')', L"0)", L"12)", L"5)", true},
      {L'!', L"0!", L"12!", L"5!", true},
      {L'.', L"0.", L"12.", L".", false},
      {L',', L"0.", L"12.", L".", false},
      // Evaluates; these texts evaluate to themselves.
      {L'=', L"0", L"12", L"5", true},
      // Digits arrive as key-downs; everything else enters nothing.
      {L'7', L"0", L"12", L"5", true},
      {L'e', L"e", L"12e", L"e", false},  // a letter is an operand
      {L' ', L"0", L"12", L"5", true},
      {L'\r', L"0", L"12", L"5", true},
      {L'\u221A', L"0", L"12", L"5", true},
      {L'\0', L"0", L"12", L"5", true},
  };
  // In second-function mode too: "^" is not y^x's second function.
  for (const bool second : {false, true}) {
    for (const Row& row : kRows) {
      SCOPED_TRACE(::testing::Message()
                   << "char " << static_cast<int>(row.typed) << " second " << second);
      const std::wstring mode = second ? L"2nd " : L"";
      ResetCalculator();
      Press(mode);
      Type({&row.typed, 1});
      EXPECT_EQ(g_expr, row.onStart);

      ResetCalculator();
      Press(mode + L"1 2");
      Type({&row.typed, 1});
      ExpectText(row.onEditing);

      ResetCalculator();
      Press(mode + L"2 + 3 =");
      Type({&row.typed, 1});
      ExpectText(row.onResult);
      EXPECT_EQ(g_resultShown, row.resultStays);
    }
  }
}

// Letters enter by the operand rule, lower-cased, unless Ctrl or Alt is held; full-width
// forms count as their ASCII ones, a full-width digit entering once.
TEST_F(KeyboardTest, TypedLettersAndFullWidthForms) {
  const struct {
    const wchar_t* keys;
    const wchar_t* typed;
    unsigned modifiers;
    const wchar_t* text;
  } kRows[] = {
      {L"", L"SIN(", kNoModifier, L"sin("},        {L"1 2 +", L"Sqrt(", kShiftHeld, L"12+sqrt("},
      {L"2 + 3 =", L"pi", kNoModifier, L"pi"},     {L"1 ÷ 0 =", L"ｅ", kNoModifier, L"e"},
      {L"1", L"（Ａｂｓ。５", kNoModifier, L"1(abs.5"}, {L"", L"１２＋３", kNoModifier, L"12+3"},
      {L"1 2", L"cv", kControlHeld, L"12"},        {L"1 2", L"s", kAltHeld, L"12"},
      {L"1 2", L"\u00E9\u3000\u00DF", kNoModifier, L"12"},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring{row.keys} + L" | " + row.typed));
    ResetCalculator();
    Press(row.keys);
    KeyDown(kVkDigit0 + 7, L'７');  // the key-down of a full-width digit leaves it to the character
    for (const wchar_t* ch = row.typed; *ch != L'\0'; ++ch) OnTypedChar(FakeHandle(), *ch, row.modifiers);
    ExpectText(row.text);
  }
}

// Typing what the table shows for a key enters what the key enters, in both modes, and
// every key but the modes, the memory, ± and Rand has a row.
TEST_F(KeyboardTest, KeyboardTableTypesWhatEachKeyEnters) {
  for (const KeyboardText& entry : KeyboardTexts()) {
    for (const std::wstring before : {L"1 2", L"2nd 1 2 +"}) {
      SCOPED_TRACE(::testing::Message() << entry.id << ::testing::PrintToString(before));
      ResetCalculator();
      Press(before);
      OnKeyCommand(FakeHandle(), entry.id);
      const std::wstring pressed = g_expr;
      ResetCalculator();
      Press(before);
      const std::wstring_view text = g_secondMode && !entry.second.empty() ? entry.second : entry.typed;
      for (wchar_t ch : text) {
        if (ch >= L'0' && ch <= L'9') KeyDown(kVkDigit0 + (ch - L'0'), ch);
        OnTypedChar(FakeHandle(), ch);
      }
      if (text.empty()) KeyDown(entry.keyName == L"Esc" ? kVkEscape : kVkBackspace);
      EXPECT_EQ(g_expr, pressed);
    }
  }
  std::vector<int> untyped;
  for (const ButtonDef& key : g_buttons) {
    if (KeyboardShortcut(key.id, false).empty()) untyped.push_back(key.id);
  }
  std::sort(untyped.begin(), untyped.end());
  EXPECT_EQ(untyped, (std::vector<int>{kKeySign, kKeySecond, kKeyAngleMode, kKeyMemoryClear,
                                       kKeyMemoryAdd, kKeyMemorySubtract, kKeyMemoryRecall,
                                       kKeyRandom}));
}

TEST_F(KeyboardTest, TypedPointFollowsTheDecimalPointRule) {
  Press(L"1 . 5");
  Type(L".");
  ExpectText(L"1.5");
  Type(L"+.");
  ExpectText(L"1.5+.");
}

TEST_F(KeyboardTest, TypedExpressionEvaluates) {
  TypeDigits(L"2");
  Type(L"\u00D7(");
  TypeDigits(L"3");
  Type(L"+");
  TypeDigits(L"4");
  KeyDown(kVkEnter);
  ExpectText(L"14");
}

TEST_F(KeyboardTest, CopyPutsTheTextOnTheClipboard) {
  Press(L"1 + sin");
  g_fakeWindow.calls.clear();
  CopyDisplay(FakeHandle());
  EXPECT_EQ(g_fakeWindow.clipboard, L"1+sin(");
  EXPECT_EQ(g_fakeWindow.calls, std::vector<std::string>{"write clipboard"});
  ExpectText(L"1+sin(");

  Press(L"AC 1 ÷ 0 =");
  CopyDisplay(FakeHandle());
  EXPECT_EQ(g_fakeWindow.clipboard, kErrorText);
  EXPECT_TRUE(g_resultShown);
}

// The bindings of Windows programs; with Alt held (AltGr too) none of them acts.
TEST_F(KeyboardTest, CopyAndPasteShortcuts) {
  struct Row {
    int keyCode;
    unsigned modifiers;
    const char* call;  // the first port call; nullptr: the key-down does nothing
  };
  const Row kRows[] = {
      {kVkC, kControlHeld, "write clipboard"},
      {kVkInsert, kControlHeld, "write clipboard"},
      {kVkInsert, kControlHeld | kShiftHeld, "write clipboard"},
      {kVkV, kControlHeld, "read clipboard"},
      {kVkV, kControlHeld | kShiftHeld, "read clipboard"},
      {kVkInsert, kShiftHeld, "read clipboard"},
      {kVkC, kControlHeld | kAltHeld, nullptr},
      {kVkV, kControlHeld | kAltHeld, nullptr},
      {kVkInsert, kShiftHeld | kAltHeld, nullptr},
      {kVkC, kNoModifier, nullptr},
      {kVkV, kShiftHeld, nullptr},
      {kVkInsert, kNoModifier, nullptr},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(::testing::Message() << row.keyCode << " with " << row.modifiers);
    g_fakeWindow.calls.clear();
    OnKeyDown(FakeHandle(), row.keyCode, 0, row.modifiers);
    const std::string first = g_fakeWindow.calls.empty() ? "" : g_fakeWindow.calls.front();
    EXPECT_EQ(first, row.call == nullptr ? "" : row.call);
  }
}

TEST_F(KeyboardTest, PasteEntersOneOperand) {
  struct Row {
    const wchar_t* keys;
    const wchar_t* clipboard;
    const wchar_t* text;
  };
  const Row kRows[] = {
      {L"", L"2+3", L"2+3"},
      {L"1 +", L"2+3", L"1+2+3"},
      {L"2 + 3 =", L"7", L"7"},
      {L"2 + 3 = x²", L"7", L"7"},  // the suffix kept the result replaceable
      {L"1 ÷ 0 = + ⌫", L"7", L"7"},
      {L"1 0 y^x 4 0 0 = + ⌫", L"7", L"无穷大7"},
      {L"", L"1\r\n+\t2\n", L"1+2"},
      {L"", L"\u007F1\u00852\u009F\u2028\u2029", L"12"},
      {L"", L"\x1F 1\x20", L" 1 "},               // blanks stay; the evaluator skips them
      {L"", L"\u00A0x\u00D7\u00F7", L"\u00A0x*/"},  // × and ÷ as typed; the rest stays
      // Full-width forms of Chinese text, and "。" as the point.
      {L"", L"（１＋２）×３", L"(1+2)*3"},
      {L"", L"１２。５\u3000＋ｅ＾", L"12.5 +e^"},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring{row.keys} + L" | " + row.clipboard));
    ResetCalculator();
    Press(row.keys);
    Paste(row.clipboard);
    ExpectText(row.text);
    EXPECT_FALSE(g_resultShown);
  }
}

TEST_F(KeyboardTest, PasteOfNothingChangesNothing) {
  for (const wchar_t* clipboard : {L"", L"\r\n", L"\t\x01\x1B\x7F\u2028"}) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring{clipboard}));
    ResetCalculator();
    Press(L"2 + 3 =");
    g_fakeWindow.calls.clear();
    Paste(clipboard);
    ExpectText(L"5");
    EXPECT_TRUE(g_resultShown);
    EXPECT_EQ(g_fakeWindow.calls, std::vector<std::string>{"read clipboard"});
  }
}

TEST_F(KeyboardTest, PasteEndsWithOneRefreshAndNoFocus) {
  g_fakeWindow.calls.clear();
  Paste(L"42");
  EXPECT_EQ(g_fakeWindow.calls,
            (std::vector<std::string>{"read clipboard", "display", "title", "announce"}));
  EXPECT_EQ(g_fakeWindow.announced, std::vector<std::wstring>{L"42"});
}

TEST_F(KeyboardTest, ALongPasteCountsWithoutItsLineBreaks) {
  // Terms of a column copied from an editor: with its line breaks past the limit, without
  // them at it.
  const std::wstring term = L"12+\r\n";
  const std::size_t terms = (kExpressionLimit - 3) / 3;
  std::wstring clipboard;
  for (std::size_t i = 0; i < terms; ++i) clipboard += term;
  clipboard += L"0";
  ASSERT_GT(clipboard.size(), kExpressionLimit);

  Press(L"1 +");
  Paste(clipboard);
  ASSERT_EQ(g_expr.size(), 2 + terms * 3 + 1);
  EXPECT_EQ(g_expr.substr(0, 8), L"1+12+12+");
  EXPECT_EQ(g_fakeWindow.CountCalls("beep"), 0);

  Press(L"=");
  ExpectText(FormatResult(1.0 + 12.0 * static_cast<double>(terms)));
}

}  // namespace

namespace {

// The overview lists what the tables bind: every key that can be typed, both modes, and
// every shortcut of the window and the pane; F1 and the menu open it.
TEST(KeyboardOverview, ListsEveryKeyAndShortcut) {
  std::vector<std::wstring> listed;
  for (const OverviewGroup& group : KeyboardOverview()) {
    for (const OverviewRow& row : group.rows) {
      EXPECT_FALSE(row.description.empty()) << row.keys;
      listed.push_back(L", " + row.keys + L",");
    }
  }
  const auto has = [&](const std::wstring& keys) {
    return std::any_of(listed.begin(), listed.end(), [&](const std::wstring& row) {
      return row.find(L", " + keys + L",") != std::wstring::npos;
    });
  };
  for (const KeyboardText& text : KeyboardTexts()) {
    if (text.id >= kKey0 && text.id <= kKey9) continue;
    EXPECT_TRUE(has(KeyboardShortcut(text.id, false))) << text.id;
    EXPECT_TRUE(has(KeyboardShortcut(text.id, true))) << text.id;
  }
  EXPECT_TRUE(has(L"0–9"));
  for (const ShortcutKey& row : kShortcutKeys) EXPECT_TRUE(has(std::wstring{row.label}));
  for (const HistoryPaneKeyDef& row : kHistoryPaneKeys) EXPECT_TRUE(has(std::wstring{row.label}));
}

TEST_F(KeyboardTest, F1AndTheMenuOpenTheOverview) {
  KeyDown(kVkF1);
  OnMenuCommand(FakeHandle(), kMenuKeyboardHelp);
  EXPECT_EQ(g_fakeWindow.CountCalls("help"), 2);
  OnKeyDown(FakeHandle(), kVkF1, 0, kControlHeld);
  EXPECT_EQ(g_fakeWindow.CountCalls("help"), 2);
}

}  // namespace
