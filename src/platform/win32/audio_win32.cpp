// Core Audio behind the endpoint volume object's seam: each wrapper owns one COM reference.
#include <windows.h>
// windows.h comes first: the Core Audio headers rely on its types.
#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <atomic>

#include "platform/win32/backends.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"

namespace zelv::win32 {
namespace {

// CLSIDFromString parses interface identifiers too; a text that does not parse is reported
// with its HRESULT like any other failure of the open.
HRESULT ParseGuid(const Text& text, GUID& guid) {
  std::wstring wide = ToWide(text);
  return ::CLSIDFromString(wide.data(), &guid);
}

class EndpointVolumeControl final : public IEndpointVolumeControl {
 public:
  explicit EndpointVolumeControl(ComPtr<IAudioEndpointVolume> volume) : volume_(std::move(volume)) {}
  HResult GetMasterVolumeLevelScalar(float& level) override {
    return volume_->GetMasterVolumeLevelScalar(&level);
  }
  HResult SetMasterVolumeLevelScalar(float level) override {
    return volume_->SetMasterVolumeLevelScalar(level, nullptr);
  }
  HResult SetChannelVolumeLevelScalar(std::uint32_t channel, float level) override {
    return volume_->SetChannelVolumeLevelScalar(channel, level, nullptr);
  }
  HResult GetMute(std::int32_t& muted) override {
    BOOL flag = FALSE;
    const HRESULT hr = volume_->GetMute(&flag);
    if (SUCCEEDED(hr)) muted = flag;
    return hr;
  }
  HResult SetMute(std::int32_t muted) override { return volume_->SetMute(muted, nullptr); }

 private:
  ComPtr<IAudioEndpointVolume> volume_;
};

class AudioDevice final : public IAudioDevice {
 public:
  explicit AudioDevice(ComPtr<IMMDevice> device) : device_(std::move(device)) {}
  HResult Activate(const Text& iidText, std::uint32_t classContext,
                   std::unique_ptr<IEndpointVolumeControl>& volume) override {
    IID iid{};
    HRESULT hr = ParseGuid(iidText, iid);
    if (FAILED(hr)) return hr;
    ComPtr<IUnknown> activated;
    hr = device_->Activate(iid, classContext, nullptr, activated.put_void());
    if (FAILED(hr) || !activated) return FAILED(hr) ? hr : E_POINTER;
    // The text names the interface; the wrapper needs it as IAudioEndpointVolume whatever
    // the text said, so a different identifier cannot be mistaken for it.
    ComPtr<IAudioEndpointVolume> endpoint;
    hr = activated->QueryInterface(__uuidof(IAudioEndpointVolume), endpoint.put_void());
    if (FAILED(hr)) return hr;
    volume = std::make_unique<EndpointVolumeControl>(std::move(endpoint));
    return S_OK;
  }

 private:
  ComPtr<IMMDevice> device_;
};

class DeviceEnumerator final : public IDeviceEnumerator {
 public:
  explicit DeviceEnumerator(ComPtr<IMMDeviceEnumerator> enumerator) : enumerator_(std::move(enumerator)) {}
  HResult GetDefaultRenderConsoleEndpoint(std::unique_ptr<IAudioDevice>& device) override {
    ComPtr<IMMDevice> found;
    const HRESULT hr = enumerator_->GetDefaultAudioEndpoint(eRender, eConsole, found.put());
    if (SUCCEEDED(hr) && found) device = std::make_unique<AudioDevice>(std::move(found));
    return hr;
  }

 private:
  ComPtr<IMMDeviceEnumerator> enumerator_;
};

// Called by the audio service on threads of its own, hence only an atomic counter.
class DefaultDeviceWatcher final : public IMMNotificationClient {
 public:
  explicit DefaultDeviceWatcher(std::atomic<std::uint64_t>& generation) : generation_(generation) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(IMMNotificationClient))) {
      *object = static_cast<IMMNotificationClient*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR) override {
    if (flow == eRender && role == eConsole) generation_.fetch_add(1);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override { return S_OK; }

 private:
  std::atomic<ULONG> references_{1};
  std::atomic<std::uint64_t>& generation_;
};

class AudioBackend final : public IAudioBackend {
 public:
  AudioBackend() {
    // A private enumerator only for the notifications; the endpoint objects make their own.
    if (FAILED(com_.result())) return;
    if (FAILED(::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                  __uuidof(IMMDeviceEnumerator), watchEnumerator_.put_void())))
      return;
    watcher_.reset(new DefaultDeviceWatcher(generation_));
    if (FAILED(watchEnumerator_->RegisterEndpointNotificationCallback(watcher_.get()))) watcher_.reset();
  }
  ~AudioBackend() override {
    if (watchEnumerator_ && watcher_)
      watchEnumerator_->UnregisterEndpointNotificationCallback(watcher_.get());
    watcher_.reset();
    watchEnumerator_.reset();
  }
  AudioBackend(const AudioBackend&) = delete;
  AudioBackend& operator=(const AudioBackend&) = delete;

  HResult ComInitialize() override { return ::CoInitialize(nullptr); }
  void ComUninitialize() override { ::CoUninitialize(); }

  HResult CreateEnumerator(const Text& clsidText, const Text& iidText, std::uint32_t classContext,
                           std::unique_ptr<IDeviceEnumerator>& enumerator) override {
    CLSID clsid{};
    IID iid{};
    HRESULT hr = ParseGuid(clsidText, clsid);
    if (FAILED(hr)) return hr;
    hr = ParseGuid(iidText, iid);
    if (FAILED(hr)) return hr;
    ComPtr<IUnknown> created;
    hr = ::CoCreateInstance(clsid, nullptr, classContext, iid, created.put_void());
    if (FAILED(hr) || !created) return FAILED(hr) ? hr : E_POINTER;
    ComPtr<IMMDeviceEnumerator> typed;
    hr = created->QueryInterface(__uuidof(IMMDeviceEnumerator), typed.put_void());
    if (FAILED(hr)) return hr;
    enumerator = std::make_unique<DeviceEnumerator>(std::move(typed));
    return S_OK;
  }

  std::uint64_t DefaultDeviceGeneration() override { return generation_.load(); }

 private:
  ComInitGuard com_;
  std::atomic<std::uint64_t> generation_{0};
  ComPtr<IMMDeviceEnumerator> watchEnumerator_;
  ComPtr<DefaultDeviceWatcher> watcher_;
};

}  // namespace

std::unique_ptr<IAudioBackend> MakeAudioBackend() { return std::make_unique<AudioBackend>(); }

}  // namespace zelv::win32
