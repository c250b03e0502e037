#include "text/conversions.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace zelv {
namespace {

TEST(CodePage, LiteralsAreCodePage936Bytes) {
  // The taskbar's window title is looked up by these bytes; a UTF-8 literal would never match.
  const Text title = "运行中的应用程序";
  EXPECT_EQ(title, Text("\xD4\xCB\xD0\xD0\xD6\xD0\xB5\xC4\xD3\xA6\xD3\xC3\xB3\xCC\xD0\xF2"));
  EXPECT_EQ(title.size(), 16u);
}

TEST(CodePage, RoundTripsThroughUtf16) {
  const Text text = "版本：1.0 ａ　x";
  const WideText wide = Cp936ToUtf16(text);
  EXPECT_EQ(wide, u"版本：1.0 ａ　x");
  EXPECT_EQ(Utf16ToCp936(wide), text);
  EXPECT_EQ(Utf16ToAnsi(AnsiToUtf16(text)), text);
}

TEST(CodePage, UndecodableInputNeverFails) {
  // A lone lead byte at the end, and a character code page 936 cannot hold.
  EXPECT_EQ(Cp936ToUtf16("a\xB0"), u"a\uFFFD");
  EXPECT_EQ(Utf16ToCp936(u"a\u0E01b"), "a?b");
  EXPECT_EQ(Cp936ToUtf16(""), u"");
}

TEST(ToWideText, KeepsTheTerminatingZero) {
  EXPECT_EQ(ToWideText(""), WideText());
  EXPECT_EQ(ToWideText("C:\\颜色"), WideText(u"C:\\颜色", 6));
  EXPECT_EQ(ToWideText("C:\\颜色").back(), u'\0');
  // A zero byte ends the text, as a length of -1 does for the Windows converter.
  EXPECT_EQ(ToWideText(Text("ab\0cd", 5)), WideText(u"ab", 3));
  EXPECT_EQ(ToWideText(Text("\0a", 2)), WideText());
}

TEST(ToAnsiText, StopsAtTheFirstZeroUnit) {
  EXPECT_EQ(ToAnsiText(WideText()), "");
  EXPECT_EQ(ToAnsiText(WideText(u"\0abc", 4)), "");
  EXPECT_EQ(ToAnsiText(u"C:\\PROG~FBU\\颜色"), "C:\\PROG~FBU\\颜色");
  // A short path buffer comes back zero-padded.
  EXPECT_EQ(ToAnsiText(WideText(u"C:\\X\0\0\0", 7)), "C:\\X");
  EXPECT_EQ(ToAnsiText(ToWideText("运行中的应用程序")), "运行中的应用程序");
}

}  // namespace
}  // namespace zelv
