#pragma once
// Core Audio as the endpoint volume object uses it. Each interface object owns one COM
// reference; destroying it is the Release.
#include <cstdint>
#include <memory>

#include "platform/types.h"

namespace zelv {

inline constexpr HResult kHrOk = 0;
inline constexpr HResult kHrNotFound = static_cast<HResult>(0x80070490u);  // E_NOTFOUND
inline constexpr HResult kHrNotImpl = static_cast<HResult>(0x80004001u);   // E_NOTIMPL
inline constexpr HResult kHrInvalidArg = static_cast<HResult>(0x80070057u);
inline constexpr HResult kHrFail = static_cast<HResult>(0x80004005u);

// IAudioEndpointVolume.
class IEndpointVolumeControl {
 public:
  virtual ~IEndpointVolumeControl() = default;
  virtual HResult GetMasterVolumeLevelScalar(float& level) = 0;
  virtual HResult SetMasterVolumeLevelScalar(float level) = 0;
  virtual HResult SetChannelVolumeLevelScalar(std::uint32_t channel, float level) = 0;
  virtual HResult GetMute(std::int32_t& muted) = 0;
  virtual HResult SetMute(std::int32_t muted) = 0;
};

// IMMDevice.
class IAudioDevice {
 public:
  virtual ~IAudioDevice() = default;
  // Activate(iid parsed from iidText, classContext, no activation parameters).
  virtual HResult Activate(const Text& iidText, std::uint32_t classContext,
                           std::unique_ptr<IEndpointVolumeControl>& volume) = 0;
};

// IMMDeviceEnumerator.
class IDeviceEnumerator {
 public:
  virtual ~IDeviceEnumerator() = default;
  // GetDefaultAudioEndpoint(eRender, eConsole).
  virtual HResult GetDefaultRenderConsoleEndpoint(std::unique_ptr<IAudioDevice>& device) = 0;
};

class IAudioBackend {
 public:
  virtual ~IAudioBackend() = default;
  // CoInitialize(NULL) / CoUninitialize on the calling thread.
  virtual HResult ComInitialize() = 0;
  virtual void ComUninitialize() = 0;
  // CLSIDFromString on both texts, then CoCreateInstance(clsid, NULL, classContext, iid).
  virtual HResult CreateEnumerator(const Text& clsidText, const Text& iidText, std::uint32_t classContext,
                                   std::unique_ptr<IDeviceEnumerator>& enumerator) = 0;
  // Grows by one each time the system's default render/console device changes, so an open
  // endpoint can tell that it addresses a device that is no longer the default.
  [[nodiscard]] virtual std::uint64_t DefaultDeviceGeneration() = 0;
};

}  // namespace zelv
