#include "audio/volume_display.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <string>
#include <thread>

#include "audio/endpoint_volume.h"
#include "fakes/fake_forms.h"
#include "meter_world.h"

namespace zelv {
namespace {

using testing::MeterWorld;
using testing::Only;
using testing::ScriptedWaiter;

constexpr ColourValue kRed = 0x000033FF;    // "#FF3300"
constexpr ColourValue kGreen = 0x0012BC00;  // "#00BC12"

TEST(VolumeDisplay, ShowsTheLevelAndMuteStateOfThePass) {
  struct Case {
    const char* name;
    float level;
    std::int32_t muted;
    bool device;
    const char* caption;
    int width;
    const char* muteCaption;
    ColourValue muteColour;
  } cases[] = {
      {"37 %", 0.37f, 0, true, "37", 37, "ON", kGreen},
      {"100 %", 1.0f, 0, true, "100", 100, "ON", kGreen},
      {"0 %", 0.0f, 0, true, "0", 0, "ON", kGreen},
      {"muted", 0.5f, 1, true, "50", 50, "OFF", kRed},
      {"no device", 0.5f, 1, false, "--", 0, "ON", kGreen},
  };
  for (const Case& c : cases) {
    MeterWorld w;
    w.audio.SetLevel(0, c.level);
    w.audio.SetMuted(0, c.muted);
    if (!c.device) w.audio.SetDefaultDevice(-1);
    ApplyVolumeDisplay(w.forms, ReadVolumeDisplay(*w.app.levelEndpoint, *w.app.muteEndpoint));
    EXPECT_EQ(w.forms.widget(Widget::LevelLabel).caption, c.caption) << c.name;
    EXPECT_EQ(w.forms.Width(Widget::Fill), c.width) << c.name;
    EXPECT_EQ(w.forms.widget(Widget::MuteLabel).caption, c.muteCaption) << c.name;
    EXPECT_EQ(w.forms.widget(Widget::MuteLabel).textColour, c.muteColour) << c.name;
    // Level first, then mute; caption before colour.
    EXPECT_EQ(
        Only(w.log.Entries(), {"GetMaster", "GetMute", "Set"}),
        (c.device
             ? std::vector<std::string>{"GetMasterVolumeLevelScalar", "GetMute",
                                        std::string("SetCaption(LevelLabel,") + c.caption + ")",
                                        "SetWidth(Fill," + std::to_string(c.width) + ")",
                                        std::string("SetCaption(MuteLabel,") + c.muteCaption + ")",
                                        "SetTextColour(MuteLabel," + fakes::ColourName(c.muteColour) + ")"}
             : std::vector<std::string>{"SetCaption(LevelLabel,--)", "SetWidth(Fill,0)",
                                        "SetCaption(MuteLabel,ON)",
                                        "SetTextColour(MuteLabel," + fakes::ColourName(kGreen) + ")"}))
        << c.name;
    EXPECT_EQ(w.forms.negativeWidths(), 0) << c.name;
  }
}

TEST(VolumeDisplay, AMuteFlagOtherThanZeroOrOneLeavesTheLabel) {
  fakes::FakeForms forms;
  ShowMuteState(forms, 2);
  ShowMuteState(forms, -1);
  EXPECT_TRUE(forms.log().Entries().empty());
  EXPECT_EQ(forms.widget(Widget::MuteLabel).caption, "OFF");
}

TEST(VolumeDisplay, APassFromAnotherThreadOnlyPostsToTheUiThread) {
  MeterWorld w;
  w.audio.SetLevel(0, 0.37f);
  std::thread([&] { RefreshVolumeDisplay(*w.app.levelEndpoint, *w.app.muteEndpoint, w.forms); }).join();
  EXPECT_EQ(w.forms.offUiThreadCalls(), 0);
  EXPECT_EQ(w.forms.widget(Widget::LevelLabel).caption, "等待...");
  EXPECT_EQ(w.forms.RunPosted(), 1u);
  EXPECT_EQ(w.forms.widget(Widget::LevelLabel).caption, "37");
  EXPECT_EQ(w.forms.Width(Widget::Fill), 37);
}

TEST(BarClicks, SetTheFillAndTheVolumeFromTheCursor) {
  const int L = 500;  // the fake main window's left edge
  struct Case {
    const char* name;
    Widget target;
    int fillBefore;
    int x;
    int fillAfter;
    const char* request;  // nullptr: no volume request
  } cases[] = {
      {"track at 60", Widget::Track, 30, L + 8 + 60, 60, "SetMasterVolumeLevelScalar(0.6)"},
      {"track at 5", Widget::Track, 30, L + 8 + 5, 5, "SetMasterVolumeLevelScalar(0.05)"},
      {"track at 104", Widget::Track, 30, L + 8 + 104, 104, "SetMasterVolumeLevelScalar(1.04)"},
      {"fill at 25", Widget::Fill, 60, L + 8 + 25, 25, "SetMasterVolumeLevelScalar(0.25)"},
      {"fill at its end", Widget::Fill, 60, L + 8 + 60, 60, nullptr},
      {"beyond the fill", Widget::Fill, 60, L + 8 + 90, 60, nullptr},
  };
  for (const Case& c : cases) {
    MeterWorld w;
    w.audio.SetLevel(0, 0.3f);
    w.forms.SetWidth(Widget::Fill, c.fillBefore);
    w.log.Clear();
    w.forms.SetCursor({c.x, 30});
    w.app.OnLeftButtonDown(c.target);
    EXPECT_EQ(w.forms.Width(Widget::Fill), c.fillAfter) << c.name;
    const auto requests = Only(w.log.Entries(), {"SetMasterVolumeLevelScalar"});
    if (c.request)
      EXPECT_EQ(requests, std::vector<std::string>{c.request}) << c.name;
    else
      EXPECT_TRUE(w.log.Entries().empty()) << c.name;
  }
}

TEST(BarClicks, AClickBeyondTheScaleLeavesTheVolume) {
  MeterWorld w;
  w.audio.SetLevel(0, 0.3f);
  w.forms.SetCursor({500 + 8 + 104, 30});
  w.app.OnLeftButtonDown(Widget::Track);
  EXPECT_FLOAT_EQ(w.audio.State(0).level, 0.3f);
  // The next pass puts the fill back to the device.
  ApplyVolumeDisplay(w.forms, ReadVolumeDisplay(*w.app.levelEndpoint, *w.app.muteEndpoint));
  EXPECT_EQ(w.forms.Width(Widget::Fill), 30);
}

TEST(BarClicks, APressOnTheFillWritesTheNewNumberOnAClearedFill) {
  MeterWorld w;
  w.forms.SetWidth(Widget::Fill, 60);
  w.forms.DrawPanelText(Widget::Fill, "60");
  w.log.Clear();
  w.forms.SetCursor({500 + 8 + 25, 30});
  w.app.OnLeftButtonDown(Widget::Fill);
  EXPECT_EQ(Only(w.log.Entries(), {"SetWidth", "SetMaster", "ClearPanel", "DrawPanelText"}),
            (std::vector<std::string>{"SetWidth(Fill,25)", "SetMasterVolumeLevelScalar(0.25)",
                                      "ClearPanel(Fill)", "DrawPanelText(Fill,25)"}));
  EXPECT_EQ(w.forms.widget(Widget::Fill).panelText, "25");
  EXPECT_FLOAT_EQ(w.audio.State(0).level, 0.25f);
}

TEST(MuteLabelClick, ShowsTheOppositeStateAtOnceAndSendsOneToggle) {
  struct Case {
    const char* name;
    std::int32_t muted;
    bool device;
    const char* caption;
    ColourValue colour;
  } cases[] = {
      {"muted", 1, true, "ON", kGreen},
      {"not muted", 0, true, "OFF", kRed},
      {"no device", 1, false, "OFF", kRed},  // the failed read counts as not muted
  };
  for (const Case& c : cases) {
    MeterWorld w;
    w.audio.SetMuted(0, c.muted);
    if (!c.device) w.audio.SetDefaultDevice(-1);
    w.app.OnLeftButtonDown(Widget::MuteLabel);
    const std::string main = "0x1000";
    EXPECT_EQ(Only(w.log.Entries(), {"SetCaption", "SetTextColour", "SendAppCommand"}),
              (std::vector<std::string>{std::string("SetCaption(MuteLabel,") + c.caption + ")",
                                        "SetTextColour(MuteLabel," + fakes::ColourName(c.colour) + ")",
                                        "SendAppCommand(" + main + "," + main + ",0x80000)"}))
        << c.name;
  }
}

TEST(StartUpDisplay, TheBarLengthIsNeverNegative) {
  MeterWorld w;
  w.audio.SetLevel(0, 0.37f);
  ApplyInitialBarLength(w.app);
  EXPECT_EQ(w.forms.Width(Widget::Fill), 37);

  MeterWorld none;
  none.audio.SetDefaultDevice(-1);
  ApplyInitialBarLength(none.app);
  ApplyInitialMuteState(none.app);
  EXPECT_EQ(none.forms.Width(Widget::Fill), 0);
  EXPECT_EQ(none.forms.negativeWidths(), 0);
  EXPECT_EQ(none.forms.widget(Widget::MuteLabel).caption, "ON");
}

TEST(VolumePoller, WaitsFirstThenEveryPeriodAndQueriesLevelThenMute) {
  MeterWorld w;
  auto waiter = std::make_shared<ScriptedWaiter>(3);
  EndpointVolume* level = w.app.levelEndpoint.get();
  EndpointVolume* mute = w.app.muteEndpoint.get();
  VolumePoller poller(
      w.audio, [&] { RefreshVolumeDisplay(*level, *mute, w.forms); }, waiter);
  std::uint32_t id = 0;
  poller.Start(kFirstPollWaitMs, &id);
  ASSERT_TRUE(waiter->AwaitWaits(4));
  EXPECT_NE(id, 0u);
  EXPECT_TRUE(poller.Stop());

  EXPECT_EQ(waiter->waits(), (std::vector<int>{100, 500, 500, 500}));
  std::thread::id pollThread;
  std::vector<std::string> pollCalls;
  for (const fakes::AudioCall& call : w.audio.Calls()) {
    if (call.thread == std::this_thread::get_id()) continue;
    pollThread = call.thread;
    pollCalls.push_back(call.name);
  }
  EXPECT_EQ(ThreadIdentifier(pollThread), id);
  // COM once for the thread, given back at its end; the endpoint opens on first use.
  ASSERT_GE(pollCalls.size(), 2u);
  EXPECT_EQ(pollCalls.front(), "ComInitialize");
  EXPECT_EQ(pollCalls.back(), "ComUninitialize");
  EXPECT_EQ(Only(pollCalls, {"GetMaster", "GetMute"}),
            (std::vector<std::string>{"GetMasterVolumeLevelScalar", "GetMute", "GetMasterVolumeLevelScalar",
                                      "GetMute", "GetMasterVolumeLevelScalar", "GetMute"}));
  EXPECT_EQ(w.audio.ComDepth(pollThread), 2) << "only the two opens' own initialisations are left";
  EXPECT_EQ(w.forms.offUiThreadCalls(), 0);
  EXPECT_EQ(w.forms.RunPosted(), 3u);
  EXPECT_EQ(w.forms.widget(Widget::LevelLabel).caption, "100");
}

TEST(VolumePoller, StopEndsAWaitingThreadAtOnceWithTheRealWaiter) {
  MeterWorld w;
  std::atomic<int> passes{0};
  VolumePoller poller(w.audio, [&] { ++passes; });
  poller.Start(60 * 60 * 1000);  // an hour: only an interrupted wait lets Stop return
  EXPECT_TRUE(poller.Stop());
  EXPECT_EQ(passes.load(), 0);
  EXPECT_TRUE(poller.Stop()) << "a second stop is harmless";
}

TEST(VolumePoller, StopGivesUpOnAPassThatDoesNotReturn) {
  MeterWorld w;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::promise<void> entered;
  auto waiter = std::make_shared<ScriptedWaiter>(1);
  auto poller = std::make_unique<VolumePoller>(
      w.audio,
      [&entered, released] {
        entered.set_value();
        released.wait();
      },
      waiter);
  poller->Start(0);
  entered.get_future().wait();
  EXPECT_FALSE(poller->Stop(std::chrono::milliseconds(20)));
  poller.reset();  // the thread keeps what it needs
  release.set_value();
  // Let the let-go thread finish before the fakes go away.
  ASSERT_TRUE(waiter->AwaitWaits(1));
  for (int i = 0; i < 200 && w.audio.Count("ComUninitialize") == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(w.audio.Count("ComUninitialize"), 1);
}

}  // namespace
}  // namespace zelv
