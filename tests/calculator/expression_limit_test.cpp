// The expression's length limit: every edit that lengthens the text stops at it, beeps,
// refreshes, and leaves the calculator as it was.
#include <string>

#include "calculator_fixture.h"
#include "calculator/calculator.h"
#include "calculator/clipboard.h"
#include "calculator/editing.h"
#include "calculator/history.h"
#include "calculator/key_codes.h"
#include "calculator/keyboard.h"
#include "calculator/state.h"

namespace {

void Paste(std::wstring text) {
  g_fakeWindow.clipboard = std::move(text);
  PasteClipboard(FakeHandle());
}

struct Edit {
  const char* name;
  void (*run)();
};

const Edit kLengtheningEdits[] = {
    {"digit key", [] { Press(L"7"); }},
    {"operand key", [] { Press(L"sin"); }},
    {"infix key", [] { Press(L"+"); }},
    {"suffix key", [] { Press(L"x!"); }},
    {"point", [] { Press(L"."); }},
    {"sign", [] { Press(L"±"); }},
    {"keyboard digit", [] { OnKeyDown(FakeHandle(), kVkNumpad0 + 4); }},
    {"typed operator", [] { OnTypedChar(FakeHandle(), L'*'); }},
    {"paste", [] { Paste(L"12"); }},
    {"history choice", [] { ChooseHistoryEntry(FakeHandle(), 0); }},
};

// A history entry to choose, then a text of this length that no later key replaces.
void StartWithText(std::size_t length) {
  Press(L"2 + 3 =");
  Paste(std::wstring(length, L'1'));
  g_fakeWindow.calls.clear();
}

using ExpressionLimitTest = CalculatorTest;

// The same edits with room left are the key and keyboard tests.
TEST_F(ExpressionLimitTest, LengtheningEditsStopAtTheLimit) {
  for (const Edit& edit : kLengtheningEdits) {
    SCOPED_TRACE(edit.name);
    ResetCalculator();
    StartWithText(kExpressionLimit);
    edit.run();
    ExpectText(std::wstring(kExpressionLimit, L'1'));
    EXPECT_FALSE(g_resultShown);
    EXPECT_EQ(g_fakeWindow.CountCalls("beep"), 1);
    EXPECT_EQ(g_fakeWindow.CountCalls("display"), 1);
    EXPECT_EQ(g_fakeWindow.CountCalls("announce"), 0);  // the text left alone is not read out
  }
}

TEST_F(ExpressionLimitTest, CopyAndPasteAgainStopsAtTheLimitAndAResultSurvives) {
  StartWithText(kExpressionLimit / 2);
  for (int round = 0; round < 3; ++round) {
    OnKeyDown(FakeHandle(), kVkC, 0, kControlHeld);
    OnKeyDown(FakeHandle(), kVkV, 0, kControlHeld);
  }
  ExpectText(std::wstring(kExpressionLimit, L'1'));  // the limit itself is allowed
  EXPECT_EQ(g_fakeWindow.CountCalls("beep"), 2);

  Press(L"AC 2 + 3 =");
  Paste(std::wstring(kExpressionLimit + 1, L'4'));
  ExpectText(L"5");
  EXPECT_TRUE(g_resultShown);  // the next operand still replaces it
}

}  // namespace
