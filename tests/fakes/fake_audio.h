#pragma once
// An in-memory Core Audio: playback devices with a master level, channel levels and a mute
// flag, a switchable default device, scripted failures per step, and a record of every call
// (Releases included) with the thread it came from. Safe to use from several threads.
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fakes/call_log.h"
#include "platform/audio.h"

namespace zelv::fakes {

inline constexpr HResult kHrClassNotRegistered = static_cast<HResult>(0x80040154u);
inline constexpr HResult kHrNoInterface = static_cast<HResult>(0x80004002u);
inline constexpr HResult kHrComNotInitialised = static_cast<HResult>(0x800401F0u);
inline constexpr HResult kHrDeviceInvalidated = static_cast<HResult>(0x88890004u);
inline constexpr HResult kHrSFalse = 1;

inline constexpr char kEnumeratorClsidText[] = "{BCDE0395-E52F-467C-8E3D-C4579291692E}";
inline constexpr char kEnumeratorIidText[] = "{A95664D2-9614-4F35-A746-DE8DB63617E6}";
inline constexpr char kEndpointVolumeIidText[] = "{5CDF2C82-841E-4546-9722-0CF74078229A}";

struct FakeEndpointState {
  float level = 1.0f;
  std::int32_t muted = 0;
  std::vector<float> channels{1.0f, 1.0f};
  bool removed = false;  // unplugged: every call on its objects fails
};

struct AudioCall {
  std::string name;  // as in the log, e.g. "Activate({5CDF...},1)"
  std::thread::id thread;
};

class FakeAudioBackend final : public IAudioBackend {
 public:
  // Starts with one device (index 0), the default, at 100 % and not muted.
  explicit FakeAudioBackend(CallLog* log = nullptr);
  ~FakeAudioBackend() override;

  // --- IAudioBackend
  HResult ComInitialize() override;
  void ComUninitialize() override;
  HResult CreateEnumerator(const Text& clsidText, const Text& iidText, std::uint32_t classContext,
                           std::unique_ptr<IDeviceEnumerator>& enumerator) override;
  std::uint64_t DefaultDeviceGeneration() override;

  // --- devices
  // Adds a device (not the default) and returns its index.
  int AddDevice(float level = 1.0f, std::int32_t muted = 0);
  // Makes the device the default; -1 leaves no playback device. Bumps the generation.
  void SetDefaultDevice(int index);
  void RemoveDevice(int index);
  [[nodiscard]] FakeEndpointState State(int index) const;
  void SetLevel(int index, float level);
  void SetMuted(int index, std::int32_t muted);

  // --- scripted failures (0 = the step works)
  void FailCreateEnumerator(HResult hr);
  // Non-zero: GetDefaultAudioEndpoint gives no device and this result.
  void FailGetDefault(HResult hr);
  void FailActivate(HResult hr);
  // Query calls (GetMasterVolumeLevelScalar, GetMute) fail and leave their output untouched.
  void FailQueries(HResult hr);

  // Runs outside the fake's lock before each call acts, with the call's log name; lets a
  // test hold a query in flight.
  void SetOnCall(std::function<void(const std::string&)> hook);

  // --- what happened
  [[nodiscard]] CallLog& log() { return *log_; }
  [[nodiscard]] std::vector<AudioCall> Calls() const;
  // Calls whose name starts with the prefix.
  [[nodiscard]] int Count(const std::string& prefix) const;
  [[nodiscard]] int LiveEnumerators() const;
  [[nodiscard]] int LiveDevices() const;
  [[nodiscard]] int LiveVolumes() const;
  // ComInitialize minus ComUninitialize on the thread.
  [[nodiscard]] int ComDepth(std::thread::id thread) const;
  void ClearCalls();

 private:
  friend class FakeEnumerator;
  friend class FakeDeviceObject;
  friend class FakeVolumeObject;

  void Hook(const std::string& name);
  // Under the lock.
  void RecordLocked(std::string name);

  CallLog ownLog_;
  CallLog* log_;
  mutable std::mutex mutex_;
  std::function<void(const std::string&)> hook_;
  std::vector<FakeEndpointState> devices_;
  int defaultDevice_ = 0;
  std::uint64_t generation_ = 1;
  HResult failCreateEnumerator_ = 0;
  HResult failGetDefault_ = 0;
  HResult failActivate_ = 0;
  HResult failQueries_ = 0;
  std::vector<AudioCall> calls_;
  std::map<std::thread::id, int> comDepth_;
  int liveEnumerators_ = 0;
  int liveDevices_ = 0;
  int liveVolumes_ = 0;
};

}  // namespace zelv::fakes
