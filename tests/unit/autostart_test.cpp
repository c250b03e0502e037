#include "settings/autostart.h"

#include <gtest/gtest.h>

#include "shell_world.h"
#include "text/path_split.h"

namespace zelv {
namespace {

using testing::ShellWorld;

constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

TEST(SplitAtLastBackslash, NeverTakesATrailByteForABackslash) {
  struct Case {
    Text path, head, tail;
  };
  // "表" is 0xB1 0xED and "\x95\x5C" is a character whose trail byte is a backslash.
  const Case cases[] = {
      {"A\\B\\C", "A\\B", "C"},
      {"NoBackslash", "NoBackslash", ""},
      {"Key\\", "Key", ""},
      {"Key\\\x95\x5C", "Key", "\x95\x5C"},
      {"Key\\名\x95\x5C值", "Key", "名\x95\x5C值"},
      {"\x95\x5C", "\x95\x5C", ""},
      {"Key\\表\\Value", "Key\\表", "Value"},
  };
  for (const Case& c : cases) {
    const PathSplit split = SplitAtLastBackslash(c.path);
    EXPECT_EQ(split.head, c.head) << c.path;
    EXPECT_EQ(split.tail, c.tail) << c.path;
  }
}

TEST(AutostartValue, WriteOpensForWritingAndStoresTheLengthWithTerminator) {
  ShellWorld w;
  w.registry.keys[kRunKey];
  EXPECT_EQ(AutostartValue(w.app, "Trimbelle", "\"C:\\Zelv\\Trimbelle.exe\""), 0);
  const auto& stored = w.registry.keys[kRunKey]["Trimbelle"];
  EXPECT_EQ(stored.data, "\"C:\\Zelv\\Trimbelle.exe\"");
  EXPECT_EQ(stored.byteCount, stored.data.size() + 1);
  EXPECT_EQ(w.registry.OpenHandles(), 0);
}

TEST(AutostartValue, WriteCreatesTheKeyWhenItCannotBeOpened) {
  ShellWorld w;  // a system without the Run key
  AutostartValue(w.app, "Trimbelle", "x");
  EXPECT_EQ(w.registry.keys[kRunKey]["Trimbelle"].data, "x");
  EXPECT_EQ(w.registry.OpenHandles(), 0);
}

TEST(AutostartValue, WriteStopsWhenTheKeyCanNeitherBeOpenedNorCreated) {
  ShellWorld w;
  w.registry.refuseCreate = true;
  AutostartValue(w.app, "Trimbelle", "x");
  EXPECT_EQ(w.registry.keys.count(kRunKey), 0u);
  for (const auto& e : w.log.Entries()) EXPECT_EQ(e.find("RegSetValue"), std::string::npos);
}

TEST(AutostartValue, QueryTestsExistenceOnlyAndClosesTheKey) {
  ShellWorld w;
  EXPECT_EQ(AutostartValue(w.app, "Trimbelle", "", true), 0);  // no key at all
  w.registry.keys[kRunKey];
  EXPECT_EQ(AutostartValue(w.app, "Trimbelle", "", true), 0);  // key, no value
  w.registry.keys[kRunKey]["Trimbelle"] = {"D:\\Elsewhere\\Other.exe", 24};
  EXPECT_EQ(AutostartValue(w.app, "Trimbelle", "ignored", true), 1);
  w.registry.refuseOpenRead = true;
  EXPECT_EQ(AutostartValue(w.app, "Trimbelle", "", true), 0);
  EXPECT_EQ(w.registry.OpenHandles(), 0);
}

TEST(AutostartValue, NameWithADoubleByteCharacterEndingInBackslashStaysWhole) {
  ShellWorld w;
  w.registry.keys[kRunKey];
  const Text name = "名\x95\x5C";
  AutostartValue(w.app, name, "x");
  EXPECT_EQ(w.registry.keys[kRunKey].count(name), 1u);
  EXPECT_EQ(AutostartValue(w.app, name, "", true), 1);
}

struct MenuCase {
  const char* name;
  Text runDirectory;
  Text executableName;
  bool valueBefore;  // from an earlier run, with other data
  bool refuseWrite;
  bool expectSuccess;
};

class MenuAutostart : public ::testing::TestWithParam<MenuCase> {};

TEST_P(MenuAutostart, WritesThenTestsThenReportsAndMarks) {
  const MenuCase& c = GetParam();
  ShellWorld w;
  w.system.runDirectory = c.runDirectory;
  w.system.executableName = c.executableName;
  w.registry.keys[kRunKey];
  if (c.valueBefore) w.registry.keys[kRunKey]["Trimbelle"] = {"D:\\Old\\Trimbelle.exe", 22};
  w.registry.refuseOpenWrite = c.refuseWrite;
  w.registry.refuseCreate = c.refuseWrite;

  OnMenuAutostart(w.app);

  ASSERT_EQ(w.forms.messages().size(), 1u);
  EXPECT_EQ(w.forms.messages()[0].text, c.expectSuccess ? kAutostartSucceeded : kAutostartFailed);
  EXPECT_EQ(w.forms.messages()[0].caption, "信息：");
  EXPECT_EQ(w.forms.MenuCheck(MenuCommand::Autostart), c.expectSuccess);
  if (!c.refuseWrite) {
    // Quoted, and always naming Trimbelle.exe whatever this executable is called.
    EXPECT_EQ(w.registry.keys[kRunKey]["Trimbelle"].data, "\"" + c.runDirectory + "\\Trimbelle.exe\"");
  }
  // The message comes before the check mark changes.
  const auto entries = w.log.Entries();
  size_t message = entries.size(), check = entries.size();
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].rfind("MessageBox", 0) == 0) message = i;
    if (entries[i].rfind("SetMenuCheck", 0) == 0) check = i;
  }
  EXPECT_LT(message, check);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MenuAutostart,
    ::testing::Values(MenuCase{"FreshSystem", "C:\\Zelv", "Trimbelle.exe", false, false, true},
                      MenuCase{"OverwritesOtherData", "C:\\Zelv", "Trimbelle.exe", true, false, true},
                      MenuCase{"DirectoryWithSpaces", "C:\\Program Files\\Zelv Monitor", "Trimbelle.exe",
                               false, false, true},
                      MenuCase{"ExecutableOfAnotherName", "C:\\Zelv", "meter.exe", false, false, true},
                      MenuCase{"RefusedWriteButEarlierValue", "C:\\Zelv", "Trimbelle.exe", true, true, true},
                      MenuCase{"RefusedWriteNoValue", "C:\\Zelv", "Trimbelle.exe", false, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MenuAutostartTwice, WritesBothTimesAndKeepsTheMark) {
  ShellWorld w;
  OnMenuAutostart(w.app);
  w.registry.keys[kRunKey]["Trimbelle"].data = "changed";
  OnMenuAutostart(w.app);
  ASSERT_EQ(w.forms.messages().size(), 2u);
  EXPECT_EQ(w.forms.messages()[1].text, kAutostartSucceeded);
  EXPECT_TRUE(w.forms.MenuCheck(MenuCommand::Autostart));
  EXPECT_EQ(w.registry.keys[kRunKey]["Trimbelle"].data, "\"C:\\Zelv\\Trimbelle.exe\"");
}

}  // namespace
}  // namespace zelv
