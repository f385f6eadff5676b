// The calculator core at its limit: a key pressed with the caret in the middle of the
// longest text, the undo of it, and the expression line worked out for a changed text, as a
// window runs them (on the fake window).
#include <benchmark/benchmark.h>

#include <string>

#include "calculator/calculator.h"
#include "calculator/editing.h"
#include "calculator/key_codes.h"
#include "calculator/key_commands.h"
#include "calculator/keyboard.h"
#include "calculator/keypad.h"
#include "calculator/refresh.h"
#include "calculator/state.h"
#include "calculator/undo.h"
#include "fake_window.h"

namespace {

// "1+1+…" one short of the limit, the caret in its middle.
void StartLongText() {
  ResetCalculator();
  ResetFakeWindow();
  std::wstring text;
  while (text.size() + 2 < kExpressionLimit) text += L"1+";
  text += L"1";
  g_expr = text;
  g_caret = g_anchor = text.size() / 2;
}

void BM_KeyAtTheCaret(benchmark::State& state) {
  StartLongText();
  for (auto _ : state) {
    OnKeyCommand(FakeHandle(), kKey5);
    state.PauseTiming();
    Undo(FakeHandle());
    g_fakeWindow.calls.clear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_KeyAtTheCaret)->Unit(benchmark::kMicrosecond);

void BM_Undo(benchmark::State& state) {
  StartLongText();
  for (auto _ : state) {
    state.PauseTiming();
    OnKeyCommand(FakeHandle(), kKey5);
    g_fakeWindow.calls.clear();
    state.ResumeTiming();
    OnKeyDown(FakeHandle(), kVkZ, 0, kControlHeld);
  }
}
BENCHMARK(BM_Undo)->Unit(benchmark::kMicrosecond);

// The line is worked out again only for a new text: each round changes the last digit.
void BM_ExpressionLine(benchmark::State& state) {
  StartLongText();
  bool odd = false;
  for (auto _ : state) {
    g_expr.back() = odd ? L'1' : L'2';
    odd = !odd;
    benchmark::DoNotOptimize(ExpressionLine());
  }
}
BENCHMARK(BM_ExpressionLine)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
