#include "settings/restart.h"

#include <gtest/gtest.h>

#include "shell_world.h"

namespace zelv {
namespace {

using testing::ShellWorld;

struct ScriptCase {
  const char* name;
  Text runDirectory;
  Text shortExecutable;  // empty: the system has no short form
  Text shortDirectory;
  Bytes script;
  Text commandLine;
};

class RestartScriptBytes : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(RestartScriptBytes, AreWrittenBesideTheExecutableAndStartedQuoted) {
  const ScriptCase& c = GetParam();
  ShellWorld w;
  w.system.runDirectory = c.runDirectory;
  const Text exe = c.runDirectory + "\\Trimbelle.exe";
  w.files.PutFile(exe, "MZ");
  w.files.PutFile(c.runDirectory + "\\Restart.bat", "old script to be replaced");
  if (!c.shortExecutable.empty()) w.files.SetShortName(exe, c.shortExecutable);
  if (!c.shortDirectory.empty()) w.files.SetShortName(c.runDirectory, c.shortDirectory);

  RestartProgram(w.app);

  EXPECT_EQ(w.files.Content(c.runDirectory + "\\Restart.bat"), c.script);
  ASSERT_EQ(w.system.started.size(), 1u);
  EXPECT_EQ(w.system.started[0], c.commandLine);
  EXPECT_TRUE(w.system.terminated);
  EXPECT_TRUE(w.forms.messages().empty());
  EXPECT_FALSE(w.app.exitCleanupDone());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RestartScriptBytes,
    ::testing::Values(
        ScriptCase{"PlainDirectory", "C:\\Zelv", "", "",
                   "@echo off \r\n@ping 127.0.0.1 -n 2 >nul\r\nstart \"\" \"C:\\Zelv\\Trimbelle.exe\"\r\n"
                   "del \"C:\\Zelv\\Restart.bat\"",
                   "\"C:\\Zelv\\Restart.bat\""},
        ScriptCase{"SpacedDirectoryWithShortNames", "C:\\Program Files\\Zelv Monitor",
                   "C:\\PROGRA~1\\ZELVMO~1\\TRIMBE~1.EXE", "C:\\PROGRA~1\\ZELVMO~1",
                   "@echo off \r\n@ping 127.0.0.1 -n 2 >nul\r\nstart \"\" "
                   "\"C:\\PROGRA~1\\ZELVMO~1\\TRIMBE~1.EXE\"\r\n"
                   "del \"C:\\PROGRA~1\\ZELVMO~1\\Restart.bat\"",
                   "\"C:\\Program Files\\Zelv Monitor\\Restart.bat\""},
        // No 8.3 names on the volume: the long path, still quoted.
        ScriptCase{"SpacedDirectoryWithoutShortNames", "D:\\音量 表", "", "",
                   "@echo off \r\n@ping 127.0.0.1 -n 2 >nul\r\nstart \"\" \"D:\\音量 表\\Trimbelle.exe\"\r\n"
                   "del \"D:\\音量 表\\Restart.bat\"",
                   "\"D:\\音量 表\\Restart.bat\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RestartScript, HasFourLinesAndNoLineEndAfterTheLast) {
  const Text script = RestartScript("C:\\a.exe", "C:\\Restart.bat");
  EXPECT_EQ(script.substr(script.size() - 5), ".bat\"");
  size_t lines = 1;
  for (size_t at = script.find("\r\n"); at != Text::npos; at = script.find("\r\n", at + 2)) ++lines;
  EXPECT_EQ(lines, 4u);
  EXPECT_EQ(script.find("秒数"), Text::npos);
  EXPECT_EQ(script.find("<文件名>"), Text::npos);
}

TEST(ToShortPath, FallsBackToTheLongPathWhenTheSystemGivesNothing) {
  fakes::FakeFileSystem files;
  files.SetShortName("C:\\Long Name", "C:\\LONGNA~1");
  EXPECT_EQ(ToShortPath(files, "C:\\Long Name"), "C:\\LONGNA~1");
  files.SetShortName("C:\\Gone", "");
  EXPECT_EQ(ToShortPath(files, "C:\\Gone"), "C:\\Gone");
}

TEST(RestartProgram, DoesNothingAtAllWhenTheExecutableIsNotFound) {
  ShellWorld w;
  RestartProgram(w.app);
  EXPECT_FALSE(w.files.Exists("C:\\Zelv\\Restart.bat"));
  EXPECT_TRUE(w.system.started.empty());
  EXPECT_FALSE(w.system.terminated);
  EXPECT_TRUE(w.forms.messages().empty());
}

TEST(RestartProgram, KeepsRunningAndSaysSoWhenTheScriptCannotStart) {
  ShellWorld w;
  w.files.PutFile("C:\\Zelv\\Trimbelle.exe", "MZ");
  w.system.startSucceeds = false;
  RestartProgram(w.app);
  EXPECT_FALSE(w.system.terminated);
  ASSERT_EQ(w.forms.messages().size(), 1u);
  EXPECT_EQ(w.forms.messages()[0].text, "重启失败，请手动重新启动程序");
  EXPECT_FALSE(w.files.Exists("C:\\Zelv\\Restart.bat"));  // no stale script left behind
}

TEST(RestartProgram, KeepsRunningAndSaysSoWhenTheScriptCannotBeWritten) {
  ShellWorld w;
  w.files.PutFile("C:\\Zelv\\Trimbelle.exe", "MZ");
  w.files.SetReadOnly(true);
  RestartProgram(w.app);
  EXPECT_TRUE(w.system.started.empty());
  EXPECT_FALSE(w.system.terminated);
  ASSERT_EQ(w.forms.messages().size(), 1u);
  EXPECT_EQ(w.forms.messages()[0].text, "重启失败，请手动重新启动程序");
}

}  // namespace
}  // namespace zelv
