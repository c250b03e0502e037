#pragma once
// The default playback device's master volume and mute state (render flow, console role).
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/audio.h"
#include "platform/types.h"

namespace zelv {

inline constexpr char kMMDeviceEnumeratorClsidText[] = "{BCDE0395-E52F-467C-8E3D-C4579291692E}";
inline constexpr char kMMDeviceEnumeratorIidText[] = "{A95664D2-9614-4F35-A746-DE8DB63617E6}";
inline constexpr char kAudioEndpointVolumeIidText[] = "{5CDF2C82-841E-4546-9722-0CF74078229A}";

inline constexpr std::uint32_t kClassContextInprocServer = 1;
// In-process server, in-process handler and local server: what the bar clicks ask for.
inline constexpr std::uint32_t kClassContextSetVolume = 7;

// Scalar 0.0..1.0 to the nearest percent, halves upward. The 1e-12 nudge makes every percent
// that went through single precision come back as itself (45 % is stored as 0.44999998).
[[nodiscard]] std::int32_t LevelToPercent(float level) noexcept;
// Percent to the scalar the endpoint takes; not clamped.
[[nodiscard]] float PercentToScalar(std::int32_t percent) noexcept;

// Holds the endpoint volume interface of the default device from its first successful use.
// Both the UI thread and the poll thread call one instance, so every operation runs under the
// instance's lock: two threads never open it at once, and a re-open never pulls the interface
// from under a query on the other thread.
class EndpointVolume {
 public:
  // Makes no platform call; the endpoint opens on first use.
  explicit EndpointVolume(IAudioBackend& audio) noexcept : audio_(audio) {}
  EndpointVolume(const EndpointVolume&) = delete;
  EndpointVolume& operator=(const EndpointVolume&) = delete;

  // Releases the interface and ends this use of COM on the calling thread.
  void Destroy() noexcept;
  // 0 when an interface is held afterwards, else the failing result. An interface opened
  // before the default device changed is let go and the new default opened.
  [[nodiscard]] HResult EnsureOpen();
  // The level in percent; -1 when the endpoint cannot be opened.
  [[nodiscard]] std::int32_t ReadLevelPercent();
  // Sets the master level (or, with a channel counted from 1, that channel's) to the percent
  // clamped to 0..100. The set call's result; -1 when the endpoint cannot be opened.
  [[nodiscard]] HResult WriteLevelPercent(std::int32_t percent,
                                          std::optional<std::int32_t> channel = std::nullopt);
  [[nodiscard]] HResult WriteMute(bool mute);
  // 1 muted, 0 not muted; 0 also when the endpoint cannot be opened or the query fails.
  [[nodiscard]] std::int32_t ReadMute();

 private:
  HResult EnsureOpenLocked();

  IAudioBackend& audio_;
  std::mutex mutex_;
  std::unique_ptr<IEndpointVolumeControl> volume_;
  std::uint64_t openedGeneration_ = 0;
};

// Sets the current default device's master level, looked up afresh: 0 once the set call was
// made (whatever it returned), -1 when no endpoint volume could be obtained. COM stays
// initialised on the calling thread.
HResult SetMasterVolumePercent(IAudioBackend& audio, std::int32_t percent);

}  // namespace zelv
