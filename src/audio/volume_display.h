#pragma once
// The volume bar, the level text and the mute label, the clicks on them, and the poll
// thread that keeps them current.
// <chrono> itself cannot be included: its µs literal has no code page 936 form.
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "platform/audio.h"
#include "platform/forms.h"
#include "platform/types.h"

namespace zelv {

class App;
class EndpointVolume;

inline constexpr int kFirstPollWaitMs = 100;
inline constexpr int kPollPeriodMs = 500;
// The level label when no playback device can be opened; a number there would read as a
// volume.
inline constexpr char kNoDeviceLevelText[] = "--";
// WM_APPCOMMAND's lParam: APPCOMMAND_VOLUME_MUTE in the high word, from a key, no key state.
inline constexpr std::int32_t kMuteToggleLParam = 0x80000;
// How long exit waits for a poll pass in flight.
inline constexpr std::chrono::milliseconds kPollStopBound{1000};

// What one poll pass read, applied on the UI thread.
struct VolumeReading {
  Text levelCaption;
  int fillWidth = 0;
  std::int32_t muted = 0;
};

// 1: "OFF" in red; 0: "ON" in green; any other value leaves the label alone.
void ShowMuteState(IForms& forms, std::int32_t muted);
// The level, then the mute state, as the display shows them.
[[nodiscard]] VolumeReading ReadVolumeDisplay(EndpointVolume& level, EndpointVolume& mute);
// UI thread: caption, fill width, mute label, in that order.
void ApplyVolumeDisplay(IForms& forms, const VolumeReading& reading);
// One poll pass: reads on the calling thread and posts the result to the UI thread.
void RefreshVolumeDisplay(EndpointVolume& level, EndpointVolume& mute, IForms& forms);

// The system's own mute toggle, sent to the main window.
void MuteToggleCommand(IForms& forms);
// Left presses on the track, the fill and the mute label.
void OnTrackLeftPress(App& app);
void OnFillLeftPress(App& app);
void OnMuteLabelLeftPress(App& app);

// Start-up steps of the creation sequence (UI thread).
// The fill's width from the current level; 0 when there is no device.
void ApplyInitialBarLength(App& app);
// The mute label from the current mute state.
void ApplyInitialMuteState(App& app);
// Starts the poll thread with the first wait and records its identifier in pollThreadId.
void StartVolumePoller(App& app, int firstWaitMs = kFirstPollWaitMs);

// The poll thread's sleeps. Wait returns false once Interrupt has been called, at once if it
// already was.
class PollWaiter {
 public:
  virtual ~PollWaiter() = default;
  virtual bool Wait(int milliseconds) = 0;
  virtual void Interrupt() = 0;
};
[[nodiscard]] std::shared_ptr<PollWaiter> MakeConditionWaiter();

// A 32-bit identifier of a thread, never 0.
[[nodiscard]] std::uint32_t ThreadIdentifier(std::thread::id id) noexcept;

// Runs the pass after the first wait, then after every poll period, until stopped. COM is
// initialised once for the thread and uninitialised when it ends.
class VolumePoller {
 public:
  VolumePoller(IAudioBackend& audio, std::function<void()> pass,
               std::shared_ptr<PollWaiter> waiter = MakeConditionWaiter());
  ~VolumePoller();
  VolumePoller(const VolumePoller&) = delete;
  VolumePoller& operator=(const VolumePoller&) = delete;

  // Starts the thread once; writes its identifier when a place is given.
  void Start(int firstWaitMs, std::uint32_t* threadId = nullptr);
  // Ends the thread: a pass in flight finishes, no new one starts. True when the thread has
  // ended within the bound; false when it is still inside a pass and has been let go, so
  // whatever the pass uses must then stay alive.
  [[nodiscard]] bool Stop(std::chrono::milliseconds bound = kPollStopBound);

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  std::thread thread_;
};

}  // namespace zelv
