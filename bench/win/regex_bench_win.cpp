// Timing of the text stripping and the digit filter with both regex engines, for Windows and
// Wine, where Google Benchmark is not available. Prints one line per figure and the ratios.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "audio/digits_only.h"
#include "bench_pages.h"
#include "net/html_to_text.h"
#include "platform/regex_engine.h"
#include "platform/win32/regex_vbscript.h"
#include "text/regex_builtin.h"

namespace {

// <chrono> cannot be included where narrow literals are code page 936 (it holds a "µs"
// literal), so the performance counter is read directly.
double NowMs() {
  LARGE_INTEGER count;
  LARGE_INTEGER frequency;
  ::QueryPerformanceCounter(&count);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Median of `runs` timings in milliseconds; the work runs on a fresh std::thread each time,
// as the poll and update threads do, so the default worker stack is what is exercised.
double MedianMs(int runs, const std::function<void()>& work) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    std::thread worker([&] {
      const double start = NowMs();
      work();
      ms.push_back(NowMs() - start);
    });
    worker.join();
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

struct Figures {
  double ordinary = 0;
  double script = 0;
  double digitsUs = 0;
};

Figures Measure(const char* name, zelv::IRegexEngine& engine) {
  zelv::SetDefaultRegexEngine(&engine);
  const std::string ordinary = zelv::bench::OrdinaryPage(1 << 20);
  const std::string script = zelv::bench::ScriptBlockPage(5 << 20);
  Figures f;
  std::size_t kept = 0;
  f.ordinary = MedianMs(3, [&] { kept = zelv::HtmlToText(ordinary).size(); });
  std::printf("%-9s HtmlToText 1 MB page          %9.1f ms  (%zu bytes kept)\n", name, f.ordinary, kept);
  f.script = MedianMs(3, [&] { kept = zelv::HtmlToText(script).size(); });
  std::printf("%-9s HtmlToText 5 MB script block  %9.1f ms  (%zu bytes kept)\n", name, f.script, kept);
  constexpr int kCalls = 200;
  f.digitsUs = MedianMs(3,
                        [&] {
                          for (int i = 0; i < kCalls; ++i) kept = zelv::DigitsOnly("57%").size();
                        }) *
               1000.0 / kCalls;
  std::printf("%-9s DigitsOnly per call           %9.1f us\n", name, f.digitsUs);
  zelv::SetDefaultRegexEngine(nullptr);
  return f;
}

}  // namespace

int main() {
  auto builtin = zelv::MakeBuiltinRegexEngine();
  const Figures b = Measure("builtin", *builtin);
  if (!zelv::win32::VbscriptRegexAvailable()) {
    std::printf("vbscript  not available on this system\n");
    return 0;
  }
  auto vbscript = zelv::win32::MakeVbscriptRegexEngine();
  const Figures v = Measure("vbscript", *vbscript);
  std::printf("ratio vbscript/builtin: 1 MB page %.2f, 5 MB script %.2f, DigitsOnly %.2f\n",
              v.ordinary / b.ordinary, v.script / b.script, v.digitsUs / b.digitsUs);
  return 0;
}
