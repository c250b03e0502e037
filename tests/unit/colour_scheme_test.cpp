#include "settings/colour_scheme.h"

#include <gtest/gtest.h>

#include <string>

#include "meter_world.h"

namespace zelv {
namespace {

using testing::MeterWorld;

constexpr char kBarFile[] = "C:\\Zelv\\color.ini";
constexpr char kTrackFile[] = "C:\\Zelv\\color_bj.ini";

TEST(ParseHexColour, FollowsThePairRulesForAnyText) {
  struct Case {
    const char* text;
    ColourValue colour;
  } cases[] = {
      {"#FF3300", 0x000033FF},
      {"#00BC12", 0x0012BC00},
      {"#008080", 0x00808000},
      {"#ff3300", 0x000033FF},
      {"FF3300#", 0x000033FF},
      {"##12#34#56", 0x00563412},
      {"#FFF", 0x00000FFF},
      {"# FF330", 0x0030F30F},
      {"#GG0000", 0},
      {"", 0},
      {"#FF33001", 0x000033FF},
      {"1234567", 0x00563412},
      {"#FF3300\r\n", 0x000033FF},
      {"#中FF", 0x0000FF00},  // a double-byte character fills a pair with no digit
  };
  for (const Case& c : cases) EXPECT_EQ(ParseHexColour(c.text), c.colour) << c.text;
}

TEST(HexToInteger, SkipsNonDigitsAndKeepsTheLowestSixteenDigits) {
  struct Case {
    const char* text;
    std::uint64_t value;
  } cases[] = {
      {"1G2", 0x12}, {"0x1F", 0x1F},       {"", 0},
      {"zz", 0},     {"aBcDeF", 0xABCDEF}, {"123456789ABCDEF01", 0x23456789ABCDEF01},
  };
  for (const Case& c : cases) EXPECT_EQ(HexToInteger(c.text), c.value) << c.text;
}

TEST(FileExists, ADirectoryIsNotAFile) {
  MeterWorld w;
  w.files.PutFile(kBarFile, "#FF3300");
  w.files.PutDirectory(kTrackFile);
  EXPECT_TRUE(FileExists(w.files, kBarFile));
  EXPECT_FALSE(FileExists(w.files, kTrackFile));
  EXPECT_FALSE(FileExists(w.files, "C:\\Zelv\\nothing.ini"));
}

TEST(ApplyColourFiles, EachPresentFileColoursItsPanel) {
  struct Case {
    const char* name;
    std::optional<Bytes> bar;
    std::optional<Bytes> track;
    ColourValue fill;
    ColourValue trackColour;
  } cases[] = {
      {"neither", std::nullopt, std::nullopt, 0x00808000, kButtonFaceColour},
      {"only the track", std::nullopt, Bytes("#FF3300"), 0x00808000, 0x000033FF},
      {"both", Bytes("#00BC12"), Bytes("#FF3300"), 0x0012BC00, 0x000033FF},
      {"line end", Bytes("#00BC12\r\n"), std::nullopt, 0x0012BC00, kButtonFaceColour},
      {"up to a zero byte", Bytes("#00\0BC12", 8), std::nullopt, 0x00000000, kButtonFaceColour},
      {"empty", Bytes(), std::nullopt, 0, kButtonFaceColour},
  };
  for (const Case& c : cases) {
    MeterWorld w;
    if (c.bar) w.files.PutFile(kBarFile, *c.bar);
    if (c.track) w.files.PutFile(kTrackFile, *c.track);
    ApplyColourFiles(w.app);
    EXPECT_EQ(w.forms.widget(Widget::Fill).backColour, c.fill) << c.name;
    EXPECT_EQ(w.forms.widget(Widget::Track).backColour, c.trackColour) << c.name;
    EXPECT_EQ(w.app.barColourText.has_value(), c.bar.has_value()) << c.name;
    EXPECT_TRUE(w.forms.messages().empty()) << c.name;
  }
}

TEST(ApplyColourFiles, StoresTheTextsAndReadsNoMoreThanTheLimit) {
  MeterWorld w;
  w.files.PutFile(kBarFile, "#123456" + Bytes(200000, 'x'));
  w.files.PutDirectory(kTrackFile);  // counts as absent
  ApplyColourFiles(w.app);
  EXPECT_EQ(w.files.lastReadLimit(), kColourFileReadLimit);
  ASSERT_TRUE(w.app.barColourText);
  EXPECT_EQ(w.app.barColourText->size(), kColourFileReadLimit);
  EXPECT_EQ(w.forms.widget(Widget::Fill).backColour, 0x00563412u);
  EXPECT_FALSE(w.app.trackColourText);
  EXPECT_EQ(w.forms.widget(Widget::Track).backColour, kButtonFaceColour);
}

TEST(ApplyColourFiles, AnUnreadableFileGivesBlack) {
  MeterWorld w;
  w.files.PutFile(kBarFile, "#FF3300");
  w.files.SetUnreadable(kBarFile);
  ApplyColourFiles(w.app);
  EXPECT_EQ(w.app.barColourText, Text());
  EXPECT_EQ(w.forms.widget(Widget::Fill).backColour, 0u);
}

constexpr char kPrompt[] = "请输入十六进制颜色值  格式示例：#FF3300";
constexpr char kSaved[] = "设置成功，重启程序即可显示新颜色";
constexpr char kWrong[] = "请输入正确的十六进制颜色值";
constexpr char kSaveFailed[] = "颜色保存失败，请检查程序目录是否可写";

TEST(ColourCommands, AskStoreAndReport) {
  struct Case {
    const char* name;
    void (*command)(App&);
    const char* file;
    std::optional<InputResult> answer;  // none: cancelled
    bool readOnly;
    std::optional<Bytes> stored;  // the file afterwards
    std::optional<Text> message;  // none: no message
  } cases[] = {
      {"cancel", OnMenuBarColour, kBarFile, std::nullopt, false, Bytes("#000000"), std::nullopt},
      {"cancel with text", OnMenuBarColour, kBarFile, InputResult{false, "#FF3300"}, false, Bytes("#000000"),
       std::nullopt},
      {"too short", OnMenuBarColour, kBarFile, InputResult{true, "#FF33"}, false, Bytes("#000000"),
       Text(kWrong)},
      {"too long", OnMenuTrackColour, kTrackFile, InputResult{true, "#FF33000"}, false, Bytes("#000000"),
       Text(kWrong)},
      {"empty", OnMenuBarColour, kBarFile, InputResult{true, ""}, false, Bytes("#000000"), Text(kWrong)},
      {"bar", OnMenuBarColour, kBarFile, InputResult{true, "#FF3300"}, false, Bytes("#FF3300"), Text(kSaved)},
      {"track", OnMenuTrackColour, kTrackFile, InputResult{true, "#00BC12"}, false, Bytes("#00BC12"),
       Text(kSaved)},
      {"any seven bytes", OnMenuBarColour, kBarFile, InputResult{true, "1234567"}, false, Bytes("1234567"),
       Text(kSaved)},
      {"read-only directory", OnMenuBarColour, kBarFile, InputResult{true, "#FF3300"}, true, Bytes("#000000"),
       Text(kSaveFailed)},
  };
  for (const Case& c : cases) {
    MeterWorld w;
    w.files.PutFile(c.file, "#000000");
    w.files.SetReadOnly(c.readOnly);
    if (c.answer) w.forms.QueueInput(*c.answer);
    const ColourValue fillBefore = w.forms.widget(Widget::Fill).backColour;
    c.command(w.app);
    ASSERT_EQ(w.forms.inputPrompts().size(), 1u) << c.name;
    EXPECT_EQ(w.forms.inputPrompts()[0].text, kPrompt) << c.name;
    EXPECT_EQ(w.forms.inputPrompts()[0].caption, "请输入：") << c.name;
    EXPECT_EQ(w.files.Content(c.file), c.stored) << c.name;
    if (c.message) {
      ASSERT_EQ(w.forms.messages().size(), 1u) << c.name;
      EXPECT_EQ(w.forms.messages()[0].text, *c.message) << c.name;
      EXPECT_EQ(w.forms.messages()[0].caption, "信息：") << c.name;
    } else {
      EXPECT_TRUE(w.forms.messages().empty()) << c.name;
    }
    EXPECT_EQ(w.forms.widget(Widget::Fill).backColour, fillBefore) << "shown only after a restart";
  }
}

TEST(RestoreColours, DeletesBothFilesAndReportsWhatIsLeft) {
  struct Case {
    const char* name;
    bool bar;
    bool track;
    bool readOnly;
    const char* message;
  } cases[] = {
      {"both present", true, true, false, "恢复成功，重启程序即可显示默认颜色"},
      {"neither present", false, false, false, "恢复成功，重启程序即可显示默认颜色"},
      {"read-only with files", true, false, true, "恢复失败，请检查程序目录是否可写"},
      {"read-only without files", false, false, true, "恢复成功，重启程序即可显示默认颜色"},
  };
  for (const Case& c : cases) {
    MeterWorld w;
    if (c.bar) w.files.PutFile(kBarFile, "#FF3300");
    if (c.track) w.files.PutFile(kTrackFile, "#FF3300");
    w.files.SetReadOnly(c.readOnly);
    OnMenuRestoreColours(w.app);
    EXPECT_EQ(testing::Only(w.log.Entries(), {"DeleteFile"}),
              (std::vector<std::string>{std::string("DeleteFile(") + kBarFile + ")",
                                        std::string("DeleteFile(") + kTrackFile + ")"}))
        << c.name;
    ASSERT_EQ(w.forms.messages().size(), 1u) << c.name;
    EXPECT_EQ(w.forms.messages()[0].text, c.message) << c.name;
  }
}

}  // namespace
}  // namespace zelv
