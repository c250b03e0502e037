// Core Audio through the real backend under Wine. The runner runs the *NoAudio* suite with no
// audio server at all and the rest with a PulseAudio null sink. Wine's endpoint is a stub that
// always reports 1.0 and refuses level changes, so the volume rules themselves are proved with
// the fakes; here the COM glue, the full-volume read and the no-device path are.
#include <objbase.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "audio/endpoint_volume.h"
#include "platform/win32/backends.h"

namespace zelv {
namespace {

class Win32Audio : public ::testing::Test {
 protected:
  std::unique_ptr<IAudioBackend> audio = win32::MakeAudioBackend();
};

TEST_F(Win32Audio, EndpointOfTheNullSinkReadsFullVolumeNotMuted) {
  ASSERT_NE(audio, nullptr);
  EndpointVolume level(*audio);
  EndpointVolume mute(*audio);
  EXPECT_EQ(level.EnsureOpen(), 0);
  EXPECT_EQ(level.ReadLevelPercent(), 100);
  EXPECT_EQ(mute.ReadMute(), 0);
  // The set path looks the device up afresh and reports that the call was made.
  EXPECT_EQ(SetMasterVolumePercent(*audio, 100), 0);
  mute.Destroy();
  level.Destroy();
}

TEST_F(Win32Audio, RawChainGivesAnEndpointVolumeInterface) {
  ASSERT_EQ(audio->ComInitialize() >= 0, true);
  std::unique_ptr<IDeviceEnumerator> enumerator;
  ASSERT_EQ(audio->CreateEnumerator(kMMDeviceEnumeratorClsidText, kMMDeviceEnumeratorIidText,
                                    kClassContextInprocServer, enumerator),
            0);
  std::unique_ptr<IAudioDevice> device;
  ASSERT_EQ(enumerator->GetDefaultRenderConsoleEndpoint(device), 0);
  std::unique_ptr<IEndpointVolumeControl> volume;
  ASSERT_EQ(device->Activate(kAudioEndpointVolumeIidText, kClassContextInprocServer, volume), 0);
  float scalar = -1.0f;
  EXPECT_EQ(volume->GetMasterVolumeLevelScalar(scalar), 0);
  EXPECT_FLOAT_EQ(scalar, 1.0f);
  std::int32_t muted = -1;
  EXPECT_EQ(volume->GetMute(muted), 0);
  EXPECT_EQ(muted, 0);
  volume.reset();
  device.reset();
  enumerator.reset();
  audio->ComUninitialize();
}

TEST_F(Win32Audio, IdentifierTextsThatDoNotParseFailWithoutAnObject) {
  ASSERT_EQ(audio->ComInitialize() >= 0, true);
  const struct {
    const char* clsid;
    const char* iid;
  } cases[] = {{"not a guid", kMMDeviceEnumeratorIidText}, {kMMDeviceEnumeratorClsidText, "{123}"}};
  for (const auto& c : cases) {
    std::unique_ptr<IDeviceEnumerator> enumerator;
    EXPECT_LT(audio->CreateEnumerator(c.clsid, c.iid, kClassContextInprocServer, enumerator), 0);
    EXPECT_EQ(enumerator, nullptr);
  }
  audio->ComUninitialize();
}

TEST_F(Win32Audio, NoDefaultDeviceChangeIsSeenWhileNothingChanges) {
  EXPECT_EQ(audio->DefaultDeviceGeneration(), 0u);
}

class Win32AudioNoAudio : public Win32Audio {};

TEST_F(Win32AudioNoAudio, NoPlaybackDeviceGivesTheFailureValuesAndRetries) {
  ASSERT_NE(audio, nullptr);
  EndpointVolume level(*audio);
  EndpointVolume mute(*audio);
  EXPECT_EQ(level.EnsureOpen(), static_cast<HResult>(0x80070490u));  // E_NOTFOUND
  for (int attempt = 0; attempt < 2; ++attempt) {
    EXPECT_EQ(level.ReadLevelPercent(), -1);
    EXPECT_EQ(mute.ReadMute(), 0);
    EXPECT_EQ(level.WriteLevelPercent(50), -1);
    EXPECT_EQ(mute.WriteMute(true), -1);
  }
  EXPECT_EQ(SetMasterVolumePercent(*audio, 50), -1);
  mute.Destroy();
  level.Destroy();
}

}  // namespace
}  // namespace zelv
