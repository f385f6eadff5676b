// The engine from expression text to display text, per expression, per byte and per level.
#include <benchmark/benchmark.h>

#include "bench/workloads.h"
#include "engine/engine.h"

namespace {

void BM_TypicalExpressions(benchmark::State& state) {
  std::vector<std::wstring> texts;
  for (const std::string& e : TypicalExpressions(10000)) texts.push_back(Wide(e));
  for (auto _ : state) {
    for (const std::wstring& text : texts) benchmark::DoNotOptimize(EvaluateText(text));
  }
  // An inverted rate of items per 1e9 reads as nanoseconds per item.
  state.counters["ns_per_expr"] = benchmark::Counter(
      static_cast<double>(texts.size()) * static_cast<double>(state.iterations()) / 1e9,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TypicalExpressions)->Unit(benchmark::kMillisecond);

void BM_FlatChain(benchmark::State& state) {
  const std::wstring text = Wide(FlatChain(static_cast<std::size_t>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(EvaluateText(text));
  state.counters["ns_per_byte"] = benchmark::Counter(
      static_cast<double>(text.size()) * static_cast<double>(state.iterations()) / 1e9,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FlatChain)->Arg(1 << 10)->Arg(100 << 10)->Arg(10 << 20)->Unit(benchmark::kMicrosecond);

void BM_Nesting(benchmark::State& state) {
  const std::wstring text = Wide(Nested(static_cast<std::size_t>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(EvaluateText(text));
  state.counters["ns_per_level"] = benchmark::Counter(
      static_cast<double>(state.range(0)) * static_cast<double>(state.iterations()) / 1e9,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Nesting)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
