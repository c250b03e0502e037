// One pass of the poll thread on the host: the level and mute queries on open endpoints,
// DigitsOnly through the built-in regex engine, the post to the UI thread and its apply,
// all against the in-memory fakes.
#include <benchmark/benchmark.h>

#include "audio/endpoint_volume.h"
#include "audio/volume_display.h"
#include "fakes/fake_audio.h"
#include "fakes/fake_forms.h"

namespace {

void BM_PollPass(benchmark::State& state) {
  zelv::fakes::CallLog log;
  zelv::fakes::FakeAudioBackend audio(&log);
  zelv::fakes::FakeForms forms(&log);
  audio.SetLevel(0, 0.37f);
  zelv::EndpointVolume level(audio);
  zelv::EndpointVolume mute(audio);
  (void)level.EnsureOpen();
  (void)mute.EnsureOpen();
  std::size_t n = 0;
  for (auto _ : state) {
    zelv::RefreshVolumeDisplay(level, mute, forms);
    benchmark::DoNotOptimize(forms.RunPosted());
    // The fakes record every call; keep their records from growing through the run.
    if (++n % 1024 == 0) {
      log.Clear();
      audio.ClearCalls();
    }
  }
  level.Destroy();
  mute.Destroy();
}
BENCHMARK(BM_PollPass);

// The same pass's reads alone, to separate the device side from the display side.
void BM_PollRead(benchmark::State& state) {
  zelv::fakes::FakeAudioBackend audio;
  zelv::EndpointVolume level(audio);
  zelv::EndpointVolume mute(audio);
  std::size_t n = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(zelv::ReadVolumeDisplay(level, mute));
    if (++n % 1024 == 0) {
      audio.log().Clear();
      audio.ClearCalls();
    }
  }
}
BENCHMARK(BM_PollRead);

}  // namespace
