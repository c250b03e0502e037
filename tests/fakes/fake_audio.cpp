#include "fakes/fake_audio.h"

#include <cstdio>
#include <utility>

namespace zelv::fakes {

namespace {

std::string Scalar(float value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", static_cast<double>(value));
  return buf;
}

}  // namespace

class FakeVolumeObject final : public IEndpointVolumeControl {
 public:
  FakeVolumeObject(FakeAudioBackend& backend, int device) : backend_(backend), device_(device) {}
  ~FakeVolumeObject() override {
    backend_.Hook("Release(Volume)");
    std::lock_guard lock(backend_.mutex_);
    backend_.RecordLocked("Release(Volume)");
    --backend_.liveVolumes_;
  }

  HResult GetMasterVolumeLevelScalar(float& level) override {
    backend_.Hook("GetMasterVolumeLevelScalar");
    std::lock_guard lock(backend_.mutex_);
    backend_.RecordLocked("GetMasterVolumeLevelScalar");
    if (HResult hr = QueryFailureLocked()) return hr;
    level = backend_.devices_[device_].level;
    return kHrOk;
  }

  HResult SetMasterVolumeLevelScalar(float level) override {
    const std::string name = "SetMasterVolumeLevelScalar(" + Scalar(level) + ")";
    backend_.Hook(name);
    std::lock_guard lock(backend_.mutex_);
    backend_.RecordLocked(name);
    if (backend_.devices_[device_].removed) return kHrDeviceInvalidated;
    // Windows refuses a level outside 0..1 and keeps the old one.
    if (!(level >= 0.0f && level <= 1.0f)) return kHrInvalidArg;
    backend_.devices_[device_].level = level;
    return kHrOk;
  }

  HResult SetChannelVolumeLevelScalar(std::uint32_t channel, float level) override {
    const std::string name =
        "SetChannelVolumeLevelScalar(" + std::to_string(channel) + "," + Scalar(level) + ")";
    backend_.Hook(name);
    std::lock_guard lock(backend_.mutex_);
    backend_.RecordLocked(name);
    FakeEndpointState& state = backend_.devices_[device_];
    if (state.removed) return kHrDeviceInvalidated;
    if (channel >= state.channels.size() || !(level >= 0.0f && level <= 1.0f)) return kHrInvalidArg;
    state.channels[channel] = level;
    return kHrOk;
  }

  HResult GetMute(std::int32_t& muted) override {
    backend_.Hook("GetMute");
    std::lock_guard lock(backend_.mutex_);
    backend_.RecordLocked("GetMute");
    if (HResult hr = QueryFailureLocked()) return hr;
    muted = backend_.devices_[device_].muted;
    return kHrOk;
  }

  HResult SetMute(std::int32_t muted) override {
    const std::string name = "SetMute(" + std::to_string(muted) + ")";
    backend_.Hook(name);
    std::lock_guard lock(backend_.mutex_);
    backend_.RecordLocked(name);
    if (backend_.devices_[device_].removed) return kHrDeviceInvalidated;
    backend_.devices_[device_].muted = muted ? 1 : 0;
    return kHrOk;
  }

 private:
  HResult QueryFailureLocked() const {
    if (backend_.devices_[device_].removed) return kHrDeviceInvalidated;
    return backend_.failQueries_;
  }

  FakeAudioBackend& backend_;
  int device_;
};

class FakeDeviceObject final : public IAudioDevice {
 public:
  FakeDeviceObject(FakeAudioBackend& backend, int device) : backend_(backend), device_(device) {}
  ~FakeDeviceObject() override {
    backend_.Hook("Release(Device)");
    std::lock_guard lock(backend_.mutex_);
    backend_.RecordLocked("Release(Device)");
    --backend_.liveDevices_;
  }

  HResult Activate(const Text& iidText, std::uint32_t classContext,
                   std::unique_ptr<IEndpointVolumeControl>& volume) override {
    const std::string name = "Activate(" + iidText + "," + std::to_string(classContext) + ")";
    backend_.Hook(name);
    std::lock_guard lock(backend_.mutex_);
    backend_.RecordLocked(name);
    if (backend_.failActivate_) return backend_.failActivate_;
    if (iidText != kEndpointVolumeIidText) return kHrNoInterface;
    if (backend_.devices_[device_].removed) return kHrDeviceInvalidated;
    volume = std::make_unique<FakeVolumeObject>(backend_, device_);
    ++backend_.liveVolumes_;
    return kHrOk;
  }

 private:
  FakeAudioBackend& backend_;
  int device_;
};

class FakeEnumerator final : public IDeviceEnumerator {
 public:
  explicit FakeEnumerator(FakeAudioBackend& backend) : backend_(backend) {}
  ~FakeEnumerator() override {
    backend_.Hook("Release(Enumerator)");
    std::lock_guard lock(backend_.mutex_);
    backend_.RecordLocked("Release(Enumerator)");
    --backend_.liveEnumerators_;
  }

  HResult GetDefaultRenderConsoleEndpoint(std::unique_ptr<IAudioDevice>& device) override {
    backend_.Hook("GetDefaultAudioEndpoint");
    std::lock_guard lock(backend_.mutex_);
    backend_.RecordLocked("GetDefaultAudioEndpoint");
    if (backend_.failGetDefault_) return backend_.failGetDefault_;
    if (backend_.defaultDevice_ < 0) return kHrNotFound;
    device = std::make_unique<FakeDeviceObject>(backend_, backend_.defaultDevice_);
    ++backend_.liveDevices_;
    return kHrOk;
  }

 private:
  FakeAudioBackend& backend_;
};

FakeAudioBackend::FakeAudioBackend(CallLog* log) : log_(log ? log : &ownLog_) { devices_.emplace_back(); }

FakeAudioBackend::~FakeAudioBackend() = default;

void FakeAudioBackend::Hook(const std::string& name) {
  std::function<void(const std::string&)> hook;
  {
    std::lock_guard lock(mutex_);
    hook = hook_;
  }
  if (hook) hook(name);
}

void FakeAudioBackend::RecordLocked(std::string name) {
  log_->Add(name);
  calls_.push_back(AudioCall{std::move(name), std::this_thread::get_id()});
}

HResult FakeAudioBackend::ComInitialize() {
  Hook("ComInitialize");
  std::lock_guard lock(mutex_);
  RecordLocked("ComInitialize");
  // Like CoInitialize: S_FALSE when the thread already had it.
  return comDepth_[std::this_thread::get_id()]++ > 0 ? kHrSFalse : kHrOk;
}

void FakeAudioBackend::ComUninitialize() {
  Hook("ComUninitialize");
  std::lock_guard lock(mutex_);
  RecordLocked("ComUninitialize");
  --comDepth_[std::this_thread::get_id()];
}

HResult FakeAudioBackend::CreateEnumerator(const Text& clsidText, const Text& iidText,
                                           std::uint32_t classContext,
                                           std::unique_ptr<IDeviceEnumerator>& enumerator) {
  const std::string name =
      "CreateEnumerator(" + clsidText + "," + iidText + "," + std::to_string(classContext) + ")";
  Hook(name);
  std::lock_guard lock(mutex_);
  RecordLocked(name);
  if (comDepth_[std::this_thread::get_id()] <= 0) return kHrComNotInitialised;
  if (failCreateEnumerator_) return failCreateEnumerator_;
  if (clsidText != kEnumeratorClsidText) return kHrClassNotRegistered;
  if (iidText != kEnumeratorIidText) return kHrNoInterface;
  enumerator = std::make_unique<FakeEnumerator>(*this);
  ++liveEnumerators_;
  return kHrOk;
}

std::uint64_t FakeAudioBackend::DefaultDeviceGeneration() {
  std::lock_guard lock(mutex_);
  return generation_;
}

int FakeAudioBackend::AddDevice(float level, std::int32_t muted) {
  std::lock_guard lock(mutex_);
  FakeEndpointState state;
  state.level = level;
  state.muted = muted;
  devices_.push_back(state);
  return static_cast<int>(devices_.size()) - 1;
}

void FakeAudioBackend::SetDefaultDevice(int index) {
  std::lock_guard lock(mutex_);
  defaultDevice_ = index;
  ++generation_;
}

void FakeAudioBackend::RemoveDevice(int index) {
  std::lock_guard lock(mutex_);
  devices_[index].removed = true;
  if (defaultDevice_ == index) {
    defaultDevice_ = -1;
    ++generation_;
  }
}

FakeEndpointState FakeAudioBackend::State(int index) const {
  std::lock_guard lock(mutex_);
  return devices_[index];
}

void FakeAudioBackend::SetLevel(int index, float level) {
  std::lock_guard lock(mutex_);
  devices_[index].level = level;
}

void FakeAudioBackend::SetMuted(int index, std::int32_t muted) {
  std::lock_guard lock(mutex_);
  devices_[index].muted = muted;
}

void FakeAudioBackend::FailCreateEnumerator(HResult hr) {
  std::lock_guard lock(mutex_);
  failCreateEnumerator_ = hr;
}

void FakeAudioBackend::FailGetDefault(HResult hr) {
  std::lock_guard lock(mutex_);
  failGetDefault_ = hr;
}

void FakeAudioBackend::FailActivate(HResult hr) {
  std::lock_guard lock(mutex_);
  failActivate_ = hr;
}

void FakeAudioBackend::FailQueries(HResult hr) {
  std::lock_guard lock(mutex_);
  failQueries_ = hr;
}

void FakeAudioBackend::SetOnCall(std::function<void(const std::string&)> hook) {
  std::lock_guard lock(mutex_);
  hook_ = std::move(hook);
}

std::vector<AudioCall> FakeAudioBackend::Calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

int FakeAudioBackend::Count(const std::string& prefix) const {
  std::lock_guard lock(mutex_);
  int n = 0;
  for (const AudioCall& call : calls_)
    if (call.name.compare(0, prefix.size(), prefix) == 0) ++n;
  return n;
}

int FakeAudioBackend::LiveEnumerators() const {
  std::lock_guard lock(mutex_);
  return liveEnumerators_;
}

int FakeAudioBackend::LiveDevices() const {
  std::lock_guard lock(mutex_);
  return liveDevices_;
}

int FakeAudioBackend::LiveVolumes() const {
  std::lock_guard lock(mutex_);
  return liveVolumes_;
}

int FakeAudioBackend::ComDepth(std::thread::id thread) const {
  std::lock_guard lock(mutex_);
  auto it = comDepth_.find(thread);
  return it == comDepth_.end() ? 0 : it->second;
}

void FakeAudioBackend::ClearCalls() {
  std::lock_guard lock(mutex_);
  calls_.clear();
}

}  // namespace zelv::fakes
