#include "app/app.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <string>
#include <thread>

#include "audio/endpoint_volume.h"
#include "audio/volume_display.h"
#include "meter_world.h"

namespace zelv {
namespace {

using testing::MeterWorld;
using testing::Only;

TEST(App, StartsWithTwoUnopenedEndpoints) {
  MeterWorld w;
  EXPECT_NE(w.app.muteEndpoint, nullptr);
  EXPECT_NE(w.app.levelEndpoint, nullptr);
  EXPECT_NE(w.app.muteEndpoint, w.app.levelEndpoint);
  EXPECT_TRUE(w.log.Entries().empty());
}

TEST(ContextMenu, RightPressesOpenItOnAllButTheTrack) {
  struct Case {
    Widget widget;
    bool opens;
  } cases[] = {
      {Widget::MainWindow, true}, {Widget::MuteLabel, true}, {Widget::LevelLabel, true},
      {Widget::Fill, true},       {Widget::Track, false},    {Widget::InfoLabel, false},
  };
  for (const Case& c : cases) {
    MeterWorld w;
    w.app.OnRightButtonDown(c.widget);
    EXPECT_EQ(w.forms.popups().size(), c.opens ? 1u : 0u) << fakes::WidgetName(c.widget);
  }
}

TEST(ContextMenu, ListsTheEightItemsAtTheCursorPlusThreeWithOnlyAutostartChecked) {
  for (bool autostart : {false, true}) {
    MeterWorld w;
    w.forms.SetMenuCheck(MenuCommand::Autostart, autostart);
    w.forms.SetCursor({700, 1050});
    w.app.ShowContextMenu();
    ASSERT_EQ(w.forms.popups().size(), 1u);
    const fakes::ShownPopup& popup = w.forms.popups()[0];
    EXPECT_EQ(popup.at.x, 703);
    EXPECT_EQ(popup.at.y, 1053);
    const std::vector<std::string> texts = {
        "自定义进度条背景颜色", "自定义进度条颜色", "恢复默认颜色方案", "检测更新/关于",
        "支持作者~~",           "开机启动",         "重启程序",         "退出程序"};
    ASSERT_EQ(popup.items.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
      EXPECT_EQ(popup.items[i].text, texts[i]);
      EXPECT_EQ(popup.items[i].checked, autostart && i == 5) << i;
      for (std::size_t j = 0; j < i; ++j) EXPECT_NE(popup.items[i].id, popup.items[j].id);
    }
  }
}

TEST(ContextMenu, TheChosenItemRunsItsCommand) {
  MeterWorld w;
  w.app.ShowContextMenu();
  const auto items = w.forms.popups()[0].items;

  MeterWorld exit;
  exit.forms.SetPopupChoice(items[7].id);
  exit.app.ShowContextMenu();
  EXPECT_EQ(exit.forms.endCode(), 0);

  MeterWorld colour;
  colour.forms.SetPopupChoice(items[1].id);
  colour.forms.QueueInput(InputResult{true, "#FF3300"});
  colour.app.ShowContextMenu();
  EXPECT_EQ(colour.files.Content("C:\\Zelv\\color.ini"), "#FF3300") << "the bar colour item";

  MeterWorld none;
  none.forms.SetPopupChoice(-1);
  none.app.ShowContextMenu();
  EXPECT_FALSE(none.forms.endCode());
  EXPECT_TRUE(none.forms.inputPrompts().empty());
}

TEST(App, MovingOverTheLevelLabelRegistersTheTooltip) {
  MeterWorld w;
  for (Widget widget :
       {Widget::MainWindow, Widget::MuteLabel, Widget::Track, Widget::Fill, Widget::InfoLabel})
    w.app.OnMouseMove(widget);
  EXPECT_TRUE(w.log.Entries().empty());
  w.app.OnMouseMove(Widget::LevelLabel);
  w.app.OnMouseMove(Widget::LevelLabel);
  EXPECT_EQ(w.log.Entries(), (std::vector<std::string>(2, "RegisterTooltip(InfoLabel,Zelv Monitor)")));
}

TEST(ExitCleanup, RunsOnceAndDestroysTheMuteEndpointBeforeTheLevelEndpoint) {
  MeterWorld w;
  (void)w.app.muteEndpoint->ReadMute();  // only the mute instance is open
  w.app.barColourText = "#FF3300";
  w.app.updateTexts.latestVersion = "2.0";
  w.app.updateTexts.encodedUpdateNotes = "x";
  w.log.Clear();

  w.app.ExitCleanup();
  // The open mute instance lets go of its interface; the unopened level instance only ends
  // its COM use.
  EXPECT_EQ(w.log.Entries(),
            (std::vector<std::string>{"Release(Volume)", "ComUninitialize", "ComUninitialize"}));
  EXPECT_TRUE(w.app.exitCleanupDone());
  EXPECT_EQ(w.app.muteEndpoint, nullptr);
  EXPECT_EQ(w.app.levelEndpoint, nullptr);
  EXPECT_FALSE(w.app.barColourText);
  EXPECT_FALSE(w.app.updateTexts.latestVersion);
  EXPECT_FALSE(w.app.updateTexts.encodedUpdateNotes);

  w.log.Clear();
  w.app.ExitCleanup();
  EXPECT_TRUE(w.log.Entries().empty());
}

TEST(ExitCleanup, OnNeverOpenedEndpointsTouchesNoDevice) {
  MeterWorld w;
  w.app.ExitCleanup();
  EXPECT_EQ(w.audio.Count("CreateEnumerator"), 0);
  EXPECT_EQ(w.audio.Count("Release"), 0);
}

TEST(ExitCleanup, StopsThePollThreadFirstLettingAPassInFlightFinish) {
  MeterWorld w;
  const std::thread::id ui = std::this_thread::get_id();
  std::promise<void> inFlight;
  std::atomic<bool> signalled{false};
  w.audio.SetOnCall([&](const std::string& name) {
    if (std::this_thread::get_id() == ui || name != "GetMasterVolumeLevelScalar") return;
    if (!signalled.exchange(true)) {
      inFlight.set_value();
      // A slow device call: exit begins while this pass is still running.
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  (void)w.app.levelEndpoint->ReadLevelPercent();  // opened at start-up, as the creation sequence does
  (void)w.app.muteEndpoint->ReadMute();
  StartVolumePoller(w.app, 0);
  EXPECT_NE(w.app.pollThreadId, 0u);
  inFlight.get_future().wait();

  w.app.ExitCleanup();
  w.audio.SetOnCall(nullptr);

  const std::vector<fakes::AudioCall> calls = w.audio.Calls();
  std::size_t firstRelease = calls.size();
  for (std::size_t i = 0; i < calls.size(); ++i)
    if (calls[i].name == "Release(Volume)") {
      firstRelease = i;
      break;
    }
  ASSERT_LT(firstRelease, calls.size());
  bool pollMute = false;
  bool pollEnded = false;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const bool onPoll = calls[i].thread != ui;
    if (i > firstRelease) {
      EXPECT_FALSE(calls[i].name.rfind("Get", 0) == 0) << "query after destroy: " << calls[i].name;
    }
    if (onPoll && i < firstRelease && calls[i].name == "GetMute") pollMute = true;
    if (onPoll && i < firstRelease && calls[i].name == "ComUninitialize") pollEnded = true;
  }
  EXPECT_TRUE(pollMute) << "the pass in flight finished";
  EXPECT_TRUE(pollEnded) << "the poll thread ended before the endpoints went";
  EXPECT_EQ(w.audio.LiveVolumes(), 0);
}

}  // namespace
}  // namespace zelv
