#include "audio/endpoint_volume.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "fakes/fake_audio.h"

namespace zelv {
namespace {

using fakes::FakeAudioBackend;

TEST(LevelToPercent, RoundsToTheNearestPercentHalvesUp) {
  struct Case {
    float level;
    std::int32_t percent;
  } cases[] = {
      {0.0f, 0}, {1.0f, 100}, {0.125f, 13}, {0.44999998f, 45}, {0.374f, 37}, {0.376f, 38}, {-0.125f, -13},
  };
  for (const Case& c : cases) EXPECT_EQ(LevelToPercent(c.level), c.percent) << c.level;
}

TEST(LevelToPercent, EveryPercentSurvivesTheRoundTripThroughSinglePrecision) {
  for (std::int32_t percent = 0; percent <= 100; ++percent)
    EXPECT_EQ(LevelToPercent(PercentToScalar(percent)), percent);
}

TEST(EndpointVolume, OpensOnFirstUseOnlyAndKeepsOnlyTheVolumeInterface) {
  FakeAudioBackend audio;
  audio.SetLevel(0, 0.37f);
  EndpointVolume endpoint(audio);
  EXPECT_TRUE(audio.Calls().empty()) << "creating an instance makes no platform call";

  EXPECT_EQ(endpoint.ReadLevelPercent(), 37);
  EXPECT_EQ(endpoint.ReadMute(), 0);
  EXPECT_EQ(endpoint.ReadLevelPercent(), 37);

  const std::vector<std::string> expected = {
      "ComInitialize",
      std::string("CreateEnumerator(") + fakes::kEnumeratorClsidText + "," + fakes::kEnumeratorIidText +
          ",1)",
      "GetDefaultAudioEndpoint",
      "Release(Enumerator)",
      std::string("Activate(") + fakes::kEndpointVolumeIidText + ",1)",
      "Release(Device)",
      "GetMasterVolumeLevelScalar",
      "GetMute",
      "GetMasterVolumeLevelScalar",
  };
  EXPECT_EQ(audio.log().Entries(), expected);
  EXPECT_EQ(audio.LiveEnumerators(), 0);
  EXPECT_EQ(audio.LiveDevices(), 0);
  EXPECT_EQ(audio.LiveVolumes(), 1);

  endpoint.Destroy();
  EXPECT_EQ(audio.LiveVolumes(), 0);
  const auto log = audio.log().Entries();
  EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
            (std::vector<std::string>{"Release(Volume)", "ComUninitialize"}));
}

TEST(EndpointVolume, DestroyOfAnUnopenedInstanceOnlyEndsTheComUse) {
  FakeAudioBackend audio;
  EndpointVolume endpoint(audio);
  endpoint.Destroy();
  EXPECT_EQ(audio.log().Entries(), std::vector<std::string>{"ComUninitialize"});
}

TEST(EndpointVolume, WriteLevelPercentClampsAndAddressesTheChannelCountedFromOne) {
  struct Case {
    std::int32_t percent;
    std::optional<std::int32_t> channel;
    float master;  // the level before is 0.5
    float firstChannel;
  } cases[] = {
      {150, std::nullopt, 1.0f, 1.0f},
      {-5, std::nullopt, 0.0f, 1.0f},
      {30, std::nullopt, 0.3f, 1.0f},
      {30, 1, 0.5f, 0.3f},  // the master level stays
  };
  for (const Case& c : cases) {
    FakeAudioBackend audio;
    audio.SetLevel(0, 0.5f);
    EndpointVolume endpoint(audio);
    EXPECT_EQ(endpoint.WriteLevelPercent(c.percent, c.channel), kHrOk) << c.percent;
    const fakes::FakeEndpointState state = audio.State(0);
    EXPECT_FLOAT_EQ(state.level, c.master) << c.percent;
    EXPECT_FLOAT_EQ(state.channels[0], c.firstChannel) << c.percent;
    EXPECT_FLOAT_EQ(state.channels[1], 1.0f) << c.percent;
  }
}

TEST(EndpointVolume, SetCallsReturnTheEndpointsResult) {
  FakeAudioBackend audio;
  EndpointVolume endpoint(audio);
  EXPECT_EQ(endpoint.WriteLevelPercent(30, 3), kHrInvalidArg);  // the device has two channels
  EXPECT_EQ(endpoint.WriteLevelPercent(30, 0), kHrInvalidArg);
  EXPECT_EQ(endpoint.WriteMute(true), kHrOk);
  EXPECT_EQ(endpoint.ReadMute(), 1);
  EXPECT_EQ(endpoint.WriteMute(false), kHrOk);
  EXPECT_EQ(endpoint.ReadMute(), 0);
}

TEST(EndpointVolume, EveryOperationGivesItsFailureValueWhenTheEndpointCannotOpen) {
  struct Case {
    const char* name;
    void (*script)(FakeAudioBackend&);
    HResult hr;
  } cases[] = {
      {"no device", [](FakeAudioBackend& a) { a.SetDefaultDevice(-1); }, kHrNotFound},
      {"no enumerator", [](FakeAudioBackend& a) { a.FailCreateEnumerator(fakes::kHrClassNotRegistered); },
       fakes::kHrClassNotRegistered},
      {"activate fails", [](FakeAudioBackend& a) { a.FailActivate(kHrFail); }, kHrFail},
  };
  for (const Case& c : cases) {
    FakeAudioBackend audio;
    c.script(audio);
    EndpointVolume endpoint(audio);
    EXPECT_EQ(endpoint.EnsureOpen(), c.hr) << c.name;
    EXPECT_EQ(endpoint.ReadLevelPercent(), -1) << c.name;
    EXPECT_EQ(endpoint.ReadMute(), 0) << c.name;
    EXPECT_EQ(endpoint.WriteLevelPercent(50), -1) << c.name;
    EXPECT_EQ(endpoint.WriteMute(true), -1) << c.name;
    EXPECT_EQ(SetMasterVolumePercent(audio, 50), -1) << c.name;
    // Every call tried to open again, and nothing was left behind.
    EXPECT_EQ(audio.Count("CreateEnumerator"), 6) << c.name;
    EXPECT_EQ(audio.Count("Set"), 0) << c.name;
    EXPECT_EQ(audio.Count("GetMaster") + audio.Count("GetMute"), 0) << c.name;
    EXPECT_EQ(audio.LiveEnumerators() + audio.LiveDevices() + audio.LiveVolumes(), 0) << c.name;
  }
}

TEST(EndpointVolume, FailedQueriesOnAnOpenInstanceReadAsZero) {
  FakeAudioBackend audio;
  audio.SetLevel(0, 0.8f);
  audio.SetMuted(0, 1);
  EndpointVolume endpoint(audio);
  ASSERT_EQ(endpoint.EnsureOpen(), kHrOk);
  audio.FailQueries(fakes::kHrDeviceInvalidated);
  EXPECT_EQ(endpoint.ReadLevelPercent(), 0);
  EXPECT_EQ(endpoint.ReadMute(), 0);
  EXPECT_EQ(audio.Count("CreateEnumerator"), 1) << "a failed query does not re-open";
}

TEST(EndpointVolume, FollowsTheDefaultDeviceWhenItChanges) {
  FakeAudioBackend audio;
  audio.SetLevel(0, 0.2f);
  const int headset = audio.AddDevice(0.7f, 1);
  EndpointVolume endpoint(audio);
  EXPECT_EQ(endpoint.ReadLevelPercent(), 20);
  EXPECT_EQ(endpoint.ReadMute(), 0);

  audio.SetDefaultDevice(headset);
  EXPECT_EQ(endpoint.ReadLevelPercent(), 70);
  EXPECT_EQ(endpoint.ReadMute(), 1);
  EXPECT_EQ(audio.Count("CreateEnumerator"), 2);
  EXPECT_EQ(audio.LiveVolumes(), 1) << "the old device's interface is let go";

  audio.SetDefaultDevice(-1);  // the last device goes away
  EXPECT_EQ(endpoint.ReadLevelPercent(), -1);
  EXPECT_EQ(audio.LiveVolumes(), 0);
}

TEST(EndpointVolume, TwoThreadsNeverOpenOneInstanceTwice) {
  FakeAudioBackend audio;
  EndpointVolume endpoint(audio);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 50; ++i) (void)endpoint.ReadMute();
    });
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(audio.Count("CreateEnumerator"), 1);
  EXPECT_EQ(audio.LiveVolumes(), 1);
}

TEST(SetMasterVolumePercent, LooksUpTheDeviceAfreshAndPassesThePercentUnclamped) {
  FakeAudioBackend audio;
  audio.SetLevel(0, 0.5f);
  EXPECT_EQ(SetMasterVolumePercent(audio, 60), kHrOk);
  EXPECT_FLOAT_EQ(audio.State(0).level, 0.6f);

  audio.ClearCalls();
  audio.log().Clear();
  EXPECT_EQ(SetMasterVolumePercent(audio, 104), kHrOk) << "the refusal is not reported";
  EXPECT_FLOAT_EQ(audio.State(0).level, 0.6f);
  const std::vector<std::string> expected = {
      "ComInitialize",
      std::string("CreateEnumerator(") + fakes::kEnumeratorClsidText + "," + fakes::kEnumeratorIidText +
          ",7)",
      "GetDefaultAudioEndpoint",
      std::string("Activate(") + fakes::kEndpointVolumeIidText + ",7)",
      "SetMasterVolumeLevelScalar(1.04)",
      "Release(Volume)",
      "Release(Device)",
      "Release(Enumerator)",
  };
  EXPECT_EQ(audio.log().Entries(), expected);
  EXPECT_GT(audio.ComDepth(std::this_thread::get_id()), 0) << "COM stays initialised";
}

TEST(SetMasterVolumePercent, ActsOnTheNewDefaultWhileAnOpenInstanceIsHeld) {
  FakeAudioBackend audio;
  EndpointVolume endpoint(audio);
  ASSERT_EQ(endpoint.EnsureOpen(), kHrOk);
  const int headset = audio.AddDevice(0.9f);
  audio.SetDefaultDevice(headset);
  EXPECT_EQ(SetMasterVolumePercent(audio, 25), kHrOk);
  EXPECT_FLOAT_EQ(audio.State(headset).level, 0.25f);
  EXPECT_FLOAT_EQ(audio.State(0).level, 1.0f);
}

TEST(SetMasterVolumePercent, UninitialisesComOnceWhenNoEndpointIsObtained) {
  FakeAudioBackend audio;
  audio.FailActivate(kHrFail);
  EXPECT_EQ(SetMasterVolumePercent(audio, 50), -1);
  EXPECT_EQ(audio.Count("ComUninitialize"), 1);
  EXPECT_EQ(audio.ComDepth(std::this_thread::get_id()), 0);
  EXPECT_EQ(audio.LiveEnumerators() + audio.LiveDevices(), 0);
}

}  // namespace
}  // namespace zelv
