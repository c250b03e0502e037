#include "net/update_check.h"

#include <gtest/gtest.h>

#include <deque>
#include <thread>

#include "fakes/fake_audio.h"
#include "fakes/fake_forms.h"
#include "fakes/fake_internet.h"
#include "fakes/fake_secondary_windows.h"
#include "net/field_cipher.h"
#include "settings/secondary_windows.h"
#include "text/text_rules.h"

namespace zelv {
namespace {

using fakes::FakeSecondaryWindows;

constexpr char kPage[] = "https://u.test/update.html";

Text Field(const Text& plain, const char* salt = "q7") { return *EncodeField(plain, salt, kFieldKey); }

// A page as the publisher makes it: a title, the three fields in ordinary element text.
Bytes Page(const Text& version, const Text& address = "https://dl.test/t.zip",
           const Text& notes = "修复\r\n更快") {
  return "<html><head><title>Zelv</title><style>p{}</style></head><body><h1>更新</h1><p>~" + Field(version) +
         "~</p>\n<p>-" + Field(address, "Ab") + "-</p><p>$" + Field(notes, "9z") + "$</p></body></html>";
}

class UpdateCheckFlow : public ::testing::Test {
 protected:
  UpdateCheckFlow() {
    platform.forms = &forms;
    platform.audio = &audio;
    platform.internet = &net;
    platform.secondary = &windows;
    app = std::make_unique<App>(platform);
    app->updateCheck = std::make_unique<UpdateCheck>(
        *app, UpdateEndpoints{kPage, "https://probe.test", "MARK"}, [this](std::function<void()> job) {
          if (!threadsStart) return false;
          jobs.push_back(std::move(job));
          return true;
        });
    net.responses["probe.test:443 /"] = {"<b>MARK</b>"};
  }

  void RunJobs() {
    while (!jobs.empty()) {
      auto job = std::move(jobs.front());
      jobs.pop_front();
      job();
    }
  }
  // Opens the about window, presses the button and lets the worker and the UI finish.
  void CheckOnce() {
    windows.whileOpen = [this](SecondaryWindow, IAboutWindowEvents* events) {
      events->OnCheckButtonClicked();
      RunJobs();
      forms.RunPosted();
      if (inWindow) inWindow(events);
    };
    OpenAboutWindow(*app);
  }
  fakes::FakeControl& control(AboutControl c) { return windows.control(c); }

  fakes::FakeForms forms;
  fakes::FakeAudioBackend audio;
  fakes::FakeInternet net;
  FakeSecondaryWindows windows;
  Platform platform;
  std::unique_ptr<App> app;
  std::deque<std::function<void()>> jobs;
  bool threadsStart = true;
  std::function<void(IAboutWindowEvents*)> inWindow;
};

TEST_F(UpdateCheckFlow, UpToDateShowsTheMessageBoxOnly) {
  net.pages[kPage] = Page("1.0");
  inWindow = [this](IAboutWindowEvents*) {
    EXPECT_FALSE(control(AboutControl::Progress).visible);
    EXPECT_FALSE(control(AboutControl::ResultBox).visible);
    EXPECT_EQ(control(AboutControl::ResultBox).text, "获取失败...");
  };
  CheckOnce();
  ASSERT_EQ(windows.messages().size(), 1u);
  EXPECT_EQ(windows.messages()[0].text, "当前已是最新版本了");
  EXPECT_EQ(windows.messages()[0].caption, "信息：");
  EXPECT_EQ(app->updateTexts.latestVersion, "1.0");
  EXPECT_EQ(app->updateTexts.encodedVersion, Field("1.0"));
  EXPECT_EQ(net.checkedUrls(), std::vector<Text>{"https://probe.test"});
  EXPECT_EQ(net.readUrls(), std::vector<Text>{kPage});
  EXPECT_EQ(windows.offUiThreadCalls(), 0);
}

TEST_F(UpdateCheckFlow, OtherVersionShowsTheUpdateText) {
  for (const char* version : {"2.0", "0.9", "1.0 "}) {
    net.pages[kPage] = Page(version);
    inWindow = [this, version](IAboutWindowEvents*) {
      EXPECT_FALSE(control(AboutControl::Progress).visible);
      EXPECT_TRUE(control(AboutControl::ResultBox).visible);
      EXPECT_EQ(control(AboutControl::ResultBox).text,
                Text("最新版本：") + version +
                    "\r\n\r\n下载地址：https://dl.test/t.zip\r\n\r\n更新内容：修复\r\n更快");
      EXPECT_EQ(control(AboutControl::ResultBox).textColour, 0x808000u);
      // The stripped page is kept in the hidden box the fields were cut from.
      EXPECT_EQ(control(AboutControl::PageTextBox).text.find('<'), Text::npos);
      EXPECT_NE(control(AboutControl::PageTextBox).text.find("更新"), Text::npos);
    };
    CheckOnce();
    EXPECT_TRUE(windows.messages().empty()) << version;
  }
}

TEST_F(UpdateCheckFlow, ButtonShowsProgressBeforeTheWorkerStarts) {
  net.pages[kPage] = Page("2.0");
  windows.whileOpen = [this](SecondaryWindow, IAboutWindowEvents* events) {
    control(AboutControl::ResultBox).visible = true;  // an earlier result
    events->OnCheckButtonClicked();
    EXPECT_TRUE(control(AboutControl::Progress).visible);
    EXPECT_FALSE(control(AboutControl::ResultBox).visible);
    EXPECT_TRUE(net.checkedUrls().empty()) << "the worker has not run yet";
    EXPECT_TRUE(app->updateCheck->Running());
    RunJobs();
    forms.RunPosted();
    EXPECT_FALSE(app->updateCheck->Running());
  };
  OpenAboutWindow(*app);
}

TEST_F(UpdateCheckFlow, OfflineAndCaptivePortalGiveTheRedTextAndKeepTheTexts) {
  app->updateTexts.latestVersion = "earlier";
  for (int variant = 0; variant < 3; ++variant) {
    net.connectionAvailable = variant != 0;
    net.responses["probe.test:443 /"] = {variant == 1 ? "<html>Please log in</html>" : ""};
    net.pages[kPage] = Page("2.0");
    inWindow = [this](IAboutWindowEvents*) {
      EXPECT_FALSE(control(AboutControl::Progress).visible);
      EXPECT_TRUE(control(AboutControl::ResultBox).visible);
      EXPECT_EQ(control(AboutControl::ResultBox).text, "检测失败，系统未连接互联网");
      EXPECT_EQ(control(AboutControl::ResultBox).textColour, 255u);
    };
    CheckOnce();
    EXPECT_EQ(app->updateTexts.latestVersion, "earlier") << variant;
  }
  EXPECT_TRUE(net.readUrls().empty()) << "the page is not fetched when offline";
}

TEST_F(UpdateCheckFlow, UnreadablePageOrNoVersionFieldIsAFailure) {
  const std::optional<Bytes> pages[] = {std::nullopt, Bytes(), Bytes("<p>no fields</p>"),
                                        Bytes("<p>-" + Field("x") + "-</p>")};
  for (const auto& page : pages) {
    net.pages[kPage] = page;
    inWindow = [this](IAboutWindowEvents*) {
      EXPECT_FALSE(control(AboutControl::Progress).visible);
      EXPECT_TRUE(control(AboutControl::ResultBox).visible);
      EXPECT_EQ(control(AboutControl::ResultBox).text, "检测失败，无法获取更新信息");
      EXPECT_EQ(control(AboutControl::ResultBox).textColour, 255u);
    };
    CheckOnce();
    EXPECT_TRUE(windows.messages().empty());
    EXPECT_EQ(app->updateTexts.latestVersion, "");
  }
}

TEST_F(UpdateCheckFlow, MarkersAheadOfAFieldCutTheWrongText) {
  // A hyphen in the heading opens the download field early; fields hidden in scripts or
  // attributes are stripped with them.
  net.pages[kPage] = "<title>Zelv - update</title><script>var v='~" + Field("9.9") +
                     "~';</script><a title='~x~'>" + "</a><p>~" + Field("2.0") + "~ -" + Field("a", "Ab") +
                     "-</p>";
  inWindow = [this](IAboutWindowEvents*) {
    EXPECT_EQ(TextBefore(control(AboutControl::ResultBox).text, "\r\n"), "最新版本：2.0");
  };
  CheckOnce();
  EXPECT_EQ(app->updateTexts.encodedDownloadAddress, " update~" + Field("2.0") + "~ ");
}

TEST_F(UpdateCheckFlow, ClosingMidCheckChangesNothingAfterwards) {
  net.pages[kPage] = Page("1.0");
  windows.whileOpen = [this](SecondaryWindow, IAboutWindowEvents* events) { events->OnCheckButtonClicked(); };
  OpenAboutWindow(*app);  // closed while the worker has not run
  windows.log().Clear();
  RunJobs();
  forms.RunPosted();
  EXPECT_TRUE(windows.messages().empty());
  EXPECT_TRUE(windows.log().Entries().empty());
  EXPECT_EQ(windows.callsWhileClosed(), 0);
  EXPECT_FALSE(app->updateCheck->Running());

  // The next window starts a new check as usual.
  CheckOnce();
  EXPECT_EQ(windows.messages().size(), 1u);
}

TEST_F(UpdateCheckFlow, ClosingBetweenWorkerAndUiDropsTheResult) {
  net.pages[kPage] = Page("2.0");
  windows.whileOpen = [this](SecondaryWindow, IAboutWindowEvents* events) {
    events->OnCheckButtonClicked();
    RunJobs();  // the result is posted, not yet applied
  };
  OpenAboutWindow(*app);
  windows.log().Clear();
  forms.RunPosted();
  EXPECT_TRUE(windows.log().Entries().empty());
}

TEST_F(UpdateCheckFlow, SecondPressWhileRunningIsIgnored) {
  net.pages[kPage] = Page("2.0");
  windows.whileOpen = [this](SecondaryWindow, IAboutWindowEvents* events) {
    events->OnCheckButtonClicked();
    events->OnCheckButtonClicked();
    EXPECT_EQ(jobs.size(), 1u);
    RunJobs();
    forms.RunPosted();
    events->OnCheckButtonClicked();  // after the result: a new check
    EXPECT_EQ(jobs.size(), 1u);
    RunJobs();
    forms.RunPosted();
  };
  OpenAboutWindow(*app);
  EXPECT_EQ(net.checkedUrls().size(), 2u);
}

TEST_F(UpdateCheckFlow, FailedThreadStartStaysCheckingButAllowsAnotherPress) {
  threadsStart = false;
  windows.whileOpen = [this](SecondaryWindow, IAboutWindowEvents* events) {
    events->OnCheckButtonClicked();
    EXPECT_TRUE(control(AboutControl::Progress).visible);
    EXPECT_FALSE(app->updateCheck->Running());
  };
  OpenAboutWindow(*app);
  EXPECT_TRUE(net.checkedUrls().empty());
}

TEST_F(UpdateCheckFlow, ExitWhileTheNetworkStallsNeitherWaitsNorWrites) {
  // The real detached thread: destroying the check must not wait for the stalled network.
  net.Stall();
  net.pages[kPage] = Page("1.0");
  app->updateCheck =
      std::make_unique<UpdateCheck>(*app, UpdateEndpoints{kPage, "https://probe.test", "MARK"});
  windows.whileOpen = [this](SecondaryWindow, IAboutWindowEvents* events) {
    events->OnCheckButtonClicked();
    net.WaitUntilStalled();
  };
  OpenAboutWindow(*app);
  app->updateCheck.reset();
  windows.log().Clear();
  net.Release();
  // The worker ends by itself; nothing it posts may reach the window.
  for (int i = 0; i < 200 && net.readUrls().empty(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  forms.RunPosted();
  EXPECT_TRUE(windows.log().Entries().empty());
  EXPECT_TRUE(windows.messages().empty());
}

TEST(SecondaryWindowsOpening, AnOpenWindowIsBroughtForward) {
  fakes::FakeForms forms;
  fakes::FakeAudioBackend audio;
  FakeSecondaryWindows windows;
  Platform platform;
  platform.forms = &forms;
  platform.audio = &audio;
  platform.secondary = &windows;
  App app(platform);
  windows.whileOpen = [&](SecondaryWindow window, IAboutWindowEvents*) {
    if (window != SecondaryWindow::About) return;
    OpenAboutWindow(app);
    windows.SetMinimised(SecondaryWindow::About, true);
    OpenAboutWindow(app);
    OpenSponsorWindow(app);
  };
  OpenAboutWindow(app);
  EXPECT_EQ(windows.log().Entries(),
            (std::vector<std::string>{"RunModal(About)", "Activate(About)", "Restore(About)",
                                      "RunModal(Sponsor)", "Closed(Sponsor)", "Closed(About)"}));
  EXPECT_EQ(windows.timesOpened(SecondaryWindow::About), 1);
}

TEST(UpdateEndpointsBuild, MarkerFromHex) {
  EXPECT_EQ(BytesFromHex("e799BE"), Bytes("\xe7\x99\xbe"));
  EXPECT_FALSE(BytesFromHex("e79"));
  EXPECT_FALSE(BytesFromHex("zz"));
  EXPECT_EQ(BuiltInEndpoints().probeMarker.size(), 12u);
}

}  // namespace
}  // namespace zelv
