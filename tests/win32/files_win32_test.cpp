// The file backend on Wine's file system, with Chinese names to prove the CP936 paths reach the
// W functions intact.
#include <windows.h>
#undef DeleteFile

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/backends.h"
#include "platform/win32/wide_text.h"

namespace zelv {
namespace {

class Win32Files : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    dir = win32::FromWide(temp, ::lstrlenW(temp)) + "zelv files 测试";
    ::CreateDirectoryW(win32::ToWide(dir).c_str(), nullptr);
  }
  void TearDown() override {
    for (const char* name : {"\\颜色.ini", "\\big.ini", "\\a.ini"}) files->DeleteFile(dir + name);
    ::RemoveDirectoryW(win32::ToWide(dir).c_str());
  }
  std::unique_ptr<IFileSystem> files = win32::MakeFileSystem();
  Text dir;
};

TEST_F(Win32Files, WriteReadFindDeleteRoundTrip) {
  const Text path = dir + "\\颜色.ini";
  EXPECT_FALSE(files->ReadFile(path, 1024).has_value());
  EXPECT_FALSE(files->FindFirstIsDirectoryW(path).has_value());
  EXPECT_FALSE(files->FindFirstA(path));

  ASSERT_TRUE(files->WriteFile(path, "#FF0000 and more"));
  ASSERT_TRUE(files->WriteFile(path, "#00FF00"));  // truncates
  EXPECT_EQ(files->ReadFile(path, 1024), Bytes("#00FF00"));
  EXPECT_EQ(files->ReadFile(path, 3), Bytes("#00"));
  EXPECT_EQ(files->FindFirstIsDirectoryW(path), std::optional<bool>(false));
  EXPECT_EQ(files->FindFirstIsDirectoryW(dir), std::optional<bool>(true));
  EXPECT_TRUE(files->FindFirstA(path));
  EXPECT_FALSE(files->ShortPathName(path).empty());

  EXPECT_TRUE(files->DeleteFile(path));
  EXPECT_FALSE(files->DeleteFile(path));
  EXPECT_FALSE(files->FindFirstA(path));
  EXPECT_TRUE(files->ShortPathName(path).empty());
}

TEST_F(Win32Files, ReadingStopsAtTheCapAndEmptyFilesReadEmpty) {
  const Text big = dir + "\\big.ini";
  ASSERT_TRUE(files->WriteFile(big, Bytes(200 * 1024, 'x')));
  const auto capped = files->ReadFile(big, 64 * 1024);
  ASSERT_TRUE(capped.has_value());
  EXPECT_EQ(capped->size(), 64u * 1024u);
  const Text empty = dir + "\\a.ini";
  ASSERT_TRUE(files->WriteFile(empty, ""));
  EXPECT_EQ(files->ReadFile(empty, 10), Bytes());
  // A directory is not a file that can be read.
  EXPECT_FALSE(files->ReadFile(dir, 10).has_value());
  EXPECT_FALSE(files->WriteFile(dir + "\\no such dir\\x.ini", "#000000"));
}

}  // namespace
}  // namespace zelv
