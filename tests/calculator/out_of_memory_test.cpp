// Running out of memory in the middle of a key: every allocation from the n-th on fails,
// for n = 0, 1, 2, ... until the key gets all it needs. The state must then be either
// the one before the key or the one after it, and the program must keep working.
#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>

#include "calculator/caret.h"
#include "calculator_fixture.h"
#include "calculator/caret.h"

namespace {

int g_allocationsLeft = -1;  // -1: no limit
bool g_allocationFailed = false;

}  // namespace

// These operators are the pair that new and delete resolve to; GCC, seeing free() inlined
// where a new-expression's memory is deleted, would take them for a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
  if (g_allocationsLeft == 0) {
    g_allocationFailed = true;
    throw std::bad_alloc();
  }
  if (g_allocationsLeft > 0) --g_allocationsLeft;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace {

struct State {
  std::wstring expr;
  bool resultShown;
  friend bool operator==(const State&, const State&) = default;
};

State Now() { return {g_expr, g_resultShown}; }

class OutOfMemoryTest : public CalculatorTest {
 protected:
  // Runs `action` after `setup` with 0, 1, 2, ... allocations allowed, until it gets
  // all it needs; a run that ran out must end in one of `allowed` or in the full effect.
  template <typename Setup, typename Action>
  void Check(Setup setup, Action action, std::vector<State> allowed) {
    Restart(setup);
    action();
    const State after = Now();
    allowed.push_back(after);  // the refresh ran out after the edit
    for (int budget = 0; budget < 100000; ++budget) {
      Restart(setup);
      g_allocationFailed = false;
      g_allocationsLeft = budget;
      action();
      g_allocationsLeft = -1;
      const State state = Now();
      if (!g_allocationFailed) {
        EXPECT_EQ(state, after);
        ExpectText(after.expr);
        Press(L"AC 2 + 3 =");  // and the calculator goes on
        ExpectText(L"5");
        return;
      }
      EXPECT_NE(std::find(allowed.begin(), allowed.end(), state), allowed.end())
          << "with " << budget << " allocations: " << ::testing::PrintToString(state.expr) << " "
          << state.resultShown;
    }
    ADD_FAILURE() << "never got enough memory";
  }

  // An edit is made whole or not at all.
  template <typename Setup, typename Action>
  void CheckAllOrNothing(Setup setup, Action action) {
    Restart(setup);
    Check(setup, action, {Now()});
  }

  template <typename Setup>
  static void Restart(Setup setup) {
    ResetCalculator();
    ResetFakeWindow();
    SeedRandom(7);
    setup();
  }
};

void PasteText(const std::wstring& text) {
  g_fakeWindow.clipboard = text;
  PasteClipboard(FakeHandle());
}

TEST_F(OutOfMemoryTest, EvaluationShowsTheErrorText) {
  Check([] { Press(L"1 ÷ 3"); }, [] { Press(L"="); }, {{L"错误", true}});

  std::wstring nested;
  for (int i = 0; i < 200; ++i) nested += L"(1+";
  nested += L"1";
  Check([&] { PasteText(nested); }, [] { Press(L"="); }, {{L"错误", true}});
  Check([&] { PasteText(nested); }, [] { OnKeyDown(FakeHandle(), kVkEnter); }, {{L"错误", true}});
}

TEST_F(OutOfMemoryTest, KeysOnALongTextAreAllOrNothing) {
  const std::wstring text(1000, L'7');
  const auto setup = [&] { PasteText(text); };
  for (const wchar_t* keys : {L"7", L"sin", L"+", L"x²", L".", L"±", L"± ±", L"mr", L"Rand", L"AC",
                              L"⌫", L"m+", L"2nd", L"2 + 3 =", L"2nd x² 9"}) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring{keys}));
    CheckAllOrNothing(setup, [&] { Press(keys); });
  }
  CheckAllOrNothing(setup, [] { PasteClipboard(FakeHandle()); });
  CheckAllOrNothing(setup, [] { OnKeyDown(FakeHandle(), kVkDigit0 + 4, L'4'); });
  CheckAllOrNothing(setup, [] { OnTypedChar(FakeHandle(), L'('); });
  CheckAllOrNothing(setup, [] { CopyDisplay(FakeHandle()); });
  // The pointer's calls, which the windows make straight from their events.
  CheckAllOrNothing(setup, [] { PlaceCaret(FakeHandle(), 3, false); });
  CheckAllOrNothing(setup, [] { SelectTokenAt(FakeHandle(), 3); });
}

TEST_F(OutOfMemoryTest, KeysOnAShownResultAreAllOrNothing) {
  const auto setup = [] { Press(L"1 ÷ 7 ="); };
  for (const wchar_t* keys : {L"7", L"sin", L"+", L"x²", L".", L"mr", L"Rand", L"⌫"}) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring{keys}));
    CheckAllOrNothing(setup, [&] { Press(keys); });
  }
  // Longer than the result, so that the text must grow.
  CheckAllOrNothing(
      [&] {
        setup();
        g_fakeWindow.clipboard = std::wstring(100, L'9');
      },
      [] { PasteClipboard(FakeHandle()); });
}

}  // namespace
