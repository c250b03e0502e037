#include "audio/endpoint_volume.h"

#include <cmath>
#include <limits>

namespace zelv {

std::int32_t LevelToPercent(float level) noexcept {
  const double product = static_cast<double>(level) * 100.0;
  if (product == 0.0) return 0;
  // A broken driver must not turn into undefined behaviour on the conversion below.
  if (std::isnan(product)) return 0;
  double whole = 0.0;
  const double fraction = std::modf(std::fabs(product) + 1e-12, &whole);
  if (fraction >= 0.5) whole += 1.0;
  if (product < 0.0) whole = -whole;
  if (whole >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  if (whole <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(whole);
}

float PercentToScalar(std::int32_t percent) noexcept { return static_cast<float>(percent / 100.0); }

void EndpointVolume::Destroy() noexcept {
  std::lock_guard lock(mutex_);
  volume_.reset();
  audio_.ComUninitialize();
}

HResult EndpointVolume::EnsureOpen() {
  std::lock_guard lock(mutex_);
  return EnsureOpenLocked();
}

HResult EndpointVolume::EnsureOpenLocked() {
  const std::uint64_t generation = audio_.DefaultDeviceGeneration();
  if (volume_) {
    if (generation == openedGeneration_) return kHrOk;
    // The default device changed since this opened: follow it, so the display shows the
    // device the bar clicks act on.
    volume_.reset();
  }
  (void)audio_.ComInitialize();
  std::unique_ptr<IDeviceEnumerator> enumerator;
  HResult hr = audio_.CreateEnumerator(kMMDeviceEnumeratorClsidText, kMMDeviceEnumeratorIidText,
                                       kClassContextInprocServer, enumerator);
  if (hr != kHrOk) return hr;
  if (!enumerator) return kHrFail;
  std::unique_ptr<IAudioDevice> device;
  hr = enumerator->GetDefaultRenderConsoleEndpoint(device);
  enumerator.reset();
  if (!device) return hr != kHrOk ? hr : kHrFail;
  hr = device->Activate(kAudioEndpointVolumeIidText, kClassContextInprocServer, volume_);
  device.reset();
  if (!volume_) return hr != kHrOk ? hr : kHrFail;
  openedGeneration_ = generation;
  return kHrOk;
}

std::int32_t EndpointVolume::ReadLevelPercent() {
  std::lock_guard lock(mutex_);
  if (EnsureOpenLocked() != kHrOk) return -1;
  float level = 0.0f;
  (void)volume_->GetMasterVolumeLevelScalar(level);
  return LevelToPercent(level);
}

HResult EndpointVolume::WriteLevelPercent(std::int32_t percent, std::optional<std::int32_t> channel) {
  std::lock_guard lock(mutex_);
  if (EnsureOpenLocked() != kHrOk) return -1;
  if (percent < 0) percent = 0;
  if (percent > 100) percent = 100;
  const float scalar = PercentToScalar(percent);
  if (!channel) return volume_->SetMasterVolumeLevelScalar(scalar);
  // Channels count from 1 here and from 0 at the endpoint; 0 and below give an index the
  // endpoint refuses, as the unsigned wrap of the difference.
  const auto index = static_cast<std::int64_t>(static_cast<double>(*channel) - 1.0);
  return volume_->SetChannelVolumeLevelScalar(static_cast<std::uint32_t>(index), scalar);
}

HResult EndpointVolume::WriteMute(bool mute) {
  std::lock_guard lock(mutex_);
  if (EnsureOpenLocked() != kHrOk) return -1;
  return volume_->SetMute(mute ? 1 : 0);
}

std::int32_t EndpointVolume::ReadMute() {
  std::lock_guard lock(mutex_);
  if (EnsureOpenLocked() != kHrOk) return 0;
  std::int32_t muted = 0;
  (void)volume_->GetMute(muted);
  return muted;
}

HResult SetMasterVolumePercent(IAudioBackend& audio, std::int32_t percent) {
  (void)audio.ComInitialize();
  std::unique_ptr<IDeviceEnumerator> enumerator;
  std::unique_ptr<IAudioDevice> device;
  std::unique_ptr<IEndpointVolumeControl> volume;
  const bool acquired =
      audio.CreateEnumerator(kMMDeviceEnumeratorClsidText, kMMDeviceEnumeratorIidText, kClassContextSetVolume,
                             enumerator) == kHrOk &&
      enumerator && enumerator->GetDefaultRenderConsoleEndpoint(device) == kHrOk && device &&
      device->Activate(kAudioEndpointVolumeIidText, kClassContextSetVolume, volume) == kHrOk && volume;
  if (!acquired) {
    volume.reset();
    device.reset();
    enumerator.reset();
    audio.ComUninitialize();
    return -1;
  }
  // Not clamped: the endpoint itself refuses a level outside 0..1 and keeps the old one.
  (void)volume->SetMasterVolumeLevelScalar(PercentToScalar(percent));
  volume.reset();
  device.reset();
  enumerator.reset();
  return kHrOk;
}

}  // namespace zelv
