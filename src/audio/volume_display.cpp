#include "audio/volume_display.h"

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <limits>
#include <mutex>
#include <string>
#include <utility>

#include "app/app.h"
#include "audio/digits_only.h"
#include "audio/endpoint_volume.h"
#include "settings/colour_scheme.h"

namespace zelv {

namespace {

constexpr char kMutedCaption[] = "OFF";
constexpr char kMutedColour[] = "#FF3300";
constexpr char kSoundOnCaption[] = "ON";
constexpr char kSoundOnColour[] = "#00BC12";

// The bar's zero point, 8 pixels right of the main window's left edge, in the form's own
// terms (two offsets that nearly cancel).
double BarZeroPoint(int mainLeft) { return (static_cast<double>(mainLeft) + 304.0) - 296.0; }

int TruncateToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (value <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

// A control given a negative width misbehaves; the bar shows nothing below 0 anyway.
void SetFillWidth(IForms& forms, int width) { forms.SetWidth(Widget::Fill, width < 0 ? 0 : width); }

int DecimalValue(const Text& digits) {
  long long value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  }
  return static_cast<int>(value);
}

class ConditionWaiter final : public PollWaiter {
 public:
  bool Wait(int milliseconds) override {
    std::unique_lock lock(mutex_);
    cv_.wait_for(lock, std::chrono::milliseconds(milliseconds < 0 ? 0 : milliseconds),
                 [this] { return interrupted_; });
    return !interrupted_;
  }
  void Interrupt() override {
    {
      std::lock_guard lock(mutex_);
      interrupted_ = true;
    }
    cv_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool interrupted_ = false;
};

}  // namespace

void ShowMuteState(IForms& forms, std::int32_t muted) {
  if (muted == 1) {
    forms.SetCaption(Widget::MuteLabel, kMutedCaption);
    forms.SetTextColour(Widget::MuteLabel, ParseHexColour(kMutedColour));
  } else if (muted == 0) {
    forms.SetCaption(Widget::MuteLabel, kSoundOnCaption);
    forms.SetTextColour(Widget::MuteLabel, ParseHexColour(kSoundOnColour));
  }
}

VolumeReading ReadVolumeDisplay(EndpointVolume& level, EndpointVolume& mute) {
  VolumeReading reading;
  const std::int32_t percent = level.ReadLevelPercent();
  if (percent < 0) {
    reading.levelCaption = kNoDeviceLevelText;
    reading.fillWidth = 0;
  } else {
    reading.levelCaption = DigitsOnly(std::to_string(percent) + "%");
    reading.fillWidth = DecimalValue(reading.levelCaption);
  }
  reading.muted = mute.ReadMute();
  return reading;
}

void ApplyVolumeDisplay(IForms& forms, const VolumeReading& reading) {
  forms.SetCaption(Widget::LevelLabel, reading.levelCaption);
  SetFillWidth(forms, reading.fillWidth);
  ShowMuteState(forms, reading.muted);
}

void RefreshVolumeDisplay(EndpointVolume& level, EndpointVolume& mute, IForms& forms) {
  VolumeReading reading = ReadVolumeDisplay(level, mute);
  IForms* target = &forms;
  forms.PostToUi([target, reading = std::move(reading)] { ApplyVolumeDisplay(*target, reading); });
}

void MuteToggleCommand(IForms& forms) {
  const WindowHandle main = forms.Handle(Widget::MainWindow);
  forms.SendAppCommand(main, main, kMuteToggleLParam);
}

void OnTrackLeftPress(App& app) {
  IForms& forms = *app.platform().forms;
  const int x = forms.CursorPos().x;
  const int left = forms.ScreenLeft(Widget::MainWindow);
  SetFillWidth(forms, TruncateToInt(x - BarZeroPoint(left)));
  (void)SetMasterVolumePercent(*app.platform().audio, forms.Width(Widget::Fill));
}

void OnFillLeftPress(App& app) {
  IForms& forms = *app.platform().forms;
  const int x = forms.CursorPos().x;
  const int left = forms.ScreenLeft(Widget::MainWindow);
  const int width = forms.Width(Widget::Fill);
  const int end = TruncateToInt(BarZeroPoint(left) + width);
  if (x >= end) return;
  SetFillWidth(forms, TruncateToInt(static_cast<double>(width) - (static_cast<double>(end) - x)));
  (void)SetMasterVolumePercent(*app.platform().audio, forms.Width(Widget::Fill));
  forms.ClearPanel(Widget::Fill);
  forms.DrawPanelText(Widget::Fill, std::to_string(forms.Width(Widget::Fill)));
}

void OnMuteLabelLeftPress(App& app) {
  IForms& forms = *app.platform().forms;
  const std::int32_t muted = app.muteEndpoint->ReadMute();
  if (muted != 0 && muted != 1) return;
  // Show the state the toggle is about to give; the next poll shows the device's own.
  ShowMuteState(forms, muted == 1 ? 0 : 1);
  MuteToggleCommand(forms);
}

void ApplyInitialBarLength(App& app) {
  SetFillWidth(*app.platform().forms, app.levelEndpoint->ReadLevelPercent());
}

void ApplyInitialMuteState(App& app) { ShowMuteState(*app.platform().forms, app.muteEndpoint->ReadMute()); }

void StartVolumePoller(App& app, int firstWaitMs) {
  if (app.poller) return;
  EndpointVolume* level = app.levelEndpoint.get();
  EndpointVolume* mute = app.muteEndpoint.get();
  IForms* forms = app.platform().forms;
  app.poller = std::make_unique<VolumePoller>(
      *app.platform().audio, [level, mute, forms] { RefreshVolumeDisplay(*level, *mute, *forms); });
  app.poller->Start(firstWaitMs, &app.pollThreadId);
}

std::shared_ptr<PollWaiter> MakeConditionWaiter() { return std::make_shared<ConditionWaiter>(); }

std::uint32_t ThreadIdentifier(std::thread::id id) noexcept {
  const auto hash = static_cast<std::uint64_t>(std::hash<std::thread::id>{}(id));
  const auto folded = static_cast<std::uint32_t>(hash ^ (hash >> 32));
  return folded == 0 ? 1u : folded;
}

// Kept alive by the thread itself, so a thread let go at exit never touches a freed poller.
struct VolumePoller::Shared {
  IAudioBackend* audio = nullptr;
  std::function<void()> pass;
  std::shared_ptr<PollWaiter> waiter;
  std::atomic<bool> stopping{false};
  std::mutex mutex;
  std::condition_variable ended;
  bool finished = false;
};

VolumePoller::VolumePoller(IAudioBackend& audio, std::function<void()> pass,
                           std::shared_ptr<PollWaiter> waiter)
    : shared_(std::make_shared<Shared>()) {
  shared_->audio = &audio;
  shared_->pass = std::move(pass);
  shared_->waiter = std::move(waiter);
}

VolumePoller::~VolumePoller() { (void)Stop(); }

void VolumePoller::Start(int firstWaitMs, std::uint32_t* threadId) {
  if (thread_.joinable() || shared_->stopping) return;
  thread_ = std::thread([shared = shared_, firstWaitMs] {
    // Once per thread rather than once per pass, and given back when the thread ends.
    const HResult com = shared->audio->ComInitialize();
    int wait = firstWaitMs;
    while (!shared->stopping.load() && shared->waiter->Wait(wait)) {
      if (shared->stopping.load()) break;
      shared->pass();
      wait = kPollPeriodMs;
    }
    if (com >= 0) shared->audio->ComUninitialize();
    {
      std::lock_guard lock(shared->mutex);
      shared->finished = true;
    }
    shared->ended.notify_all();
  });
  if (threadId) *threadId = ThreadIdentifier(thread_.get_id());
}

bool VolumePoller::Stop(std::chrono::milliseconds bound) {
  shared_->stopping = true;
  shared_->waiter->Interrupt();
  if (!thread_.joinable()) return true;
  bool finished;
  {
    std::unique_lock lock(shared_->mutex);
    finished = shared_->ended.wait_for(lock, bound, [this] { return shared_->finished; });
  }
  if (finished) {
    thread_.join();
    return true;
  }
  // Exit must not hang on a device call that never returns.
  thread_.detach();
  return false;
}

}  // namespace zelv
