#include <benchmark/benchmark.h>

#include "audio/digits_only.h"
#include "bench_pages.h"
#include "net/html_to_text.h"

namespace {

void BM_HtmlToText_OrdinaryPage1MB(benchmark::State& state) {
  const std::string page = zelv::bench::OrdinaryPage(1 << 20);
  for (auto _ : state) benchmark::DoNotOptimize(zelv::HtmlToText(page));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_HtmlToText_OrdinaryPage1MB)->Unit(benchmark::kMillisecond);

void BM_HtmlToText_ScriptBlock5MB(benchmark::State& state) {
  const std::string page = zelv::bench::ScriptBlockPage(5 << 20);
  for (auto _ : state) benchmark::DoNotOptimize(zelv::HtmlToText(page));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_HtmlToText_ScriptBlock5MB)->Unit(benchmark::kMillisecond);

// The poll thread strips the level text this way twice a second.
void BM_DigitsOnly_LevelText(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(zelv::DigitsOnly("57%"));
}
BENCHMARK(BM_DigitsOnly_LevelText)->Unit(benchmark::kMicrosecond);

}  // namespace
