#include "text/text_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <vector>

namespace zelv {
namespace {

// Literals are compiled to code page 936. Characters whose second byte looks like ASCII are
// the traps: "癮" is B0 61 ("a"), "乗" is 81 5C ("\"), "丂" is 81 40 ("@"), "啊" is B0 A1,
// "Ａ"/"ａ" are the full-width letters A3 C1 / A3 E1, "　" is the full-width space A1 A1.

struct FindCase {
  const char* name;
  Text text;
  Text sought;
  std::optional<int> start;
  bool ignoreCase;
  int forward;
  int backward;
};

TEST(TextSearch, ForwardAndBackward) {
  const std::vector<FindCase> cases = {
      {"plain", "abcabc", "bc", std::nullopt, false, 2, 5},
      {"absent", "abcabc", "x", std::nullopt, false, -1, -1},
      {"start skips first", "abcabc", "bc", 3, false, 5, -1},
      {"backward occurrence must end inside range", "abcabc", "bc", 6, false, -1, 2},
      {"backward whole text", "abcabc", "bc", 7, false, -1, 5},
      {"start below 1 means 1", "abcabc", "a", -5, false, 1, -1},
      {"start 1", "abcabc", "a", 1, false, 1, -1},
      {"start beyond text", "abc", "c", 4, false, -1, 3},
      {"start far beyond", "abc", "a", 100, false, -1, 1},
      {"empty sought", "abc", "", std::nullopt, false, 1, 1},
      {"empty sought, nothing in range", "abc", "", 4, false, -1, 1},
      {"empty text", "", "a", std::nullopt, false, -1, -1},
      {"sought longer than text", "ab", "abc", std::nullopt, false, -1, -1},
      {"ignore case ASCII", "Hello WORLD", "world", std::nullopt, true, 7, 7},
      {"case sensitive", "Hello WORLD", "world", std::nullopt, false, -1, -1},
      {"ignore case mixed", "uSeR-aGeNt: x", "User-Agent:", std::nullopt, true, 1, 1},
      {"double-byte", "版本：1.0", "：", std::nullopt, false, 5, 5},
      {"full-width letter only matches itself", "Ａ", "ａ", std::nullopt, true, -1, -1},
      {"full-width letter matches itself", "xＡ", "Ａ", std::nullopt, true, 2, 2},
      {"trail byte is not a start", "癮", "a", std::nullopt, false, -1, -1},
      {"trail byte not found ignoring case", "癮", "A", std::nullopt, true, -1, -1},
      {"after the trap", "癮a", "a", std::nullopt, false, 3, 3},
      {"backslash trail byte", "乗\\", "\\", std::nullopt, false, 3, 3},
      // A trail byte equal to an ASCII letter is compared exactly, never folded.
      {"trail bytes not folded", "\xB0\x41", "\xB0\x61", std::nullopt, true, -1, -1},
      {"lead byte at the end", "ab\xB0", "\xB0", std::nullopt, false, 3, 3},
      {"Chinese word", "运行中的应用程序", "应用", std::nullopt, false, 9, 9},
      {"last of several", "~a~b~", "~", std::nullopt, false, 1, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindText(c.text, c.sought, c.start, c.ignoreCase), c.forward);
    EXPECT_EQ(FindTextBackward(c.text, c.sought, c.start, c.ignoreCase), c.backward);
  }
}

TEST(TextSearch, BackwardWithStartOfOneOrLessSearchesNothing) {
  EXPECT_EQ(FindTextBackward("abc", "a", 1), -1);
  EXPECT_EQ(FindTextBackward("abc", "a", 0), -1);
  EXPECT_EQ(FindTextBackward("abc", "a", 2), 1);
}

struct BetweenCase {
  const char* name;
  Text text;
  Text left;
  Text right;
  int start;
  bool ignoreCase;
  Text expected;
};

TEST(TextExtraction, Between) {
  const std::vector<BetweenCase> cases = {
      {"one tilde only", "abc~def", "~", "~", 1, false, ""},
      {"no left marker", "abc]def", "[", "]", 1, false, ""},
      {"same marker twice", "x~letters~more~", "~", "~", 1, false, "letters"},
      {"markers touch", "a[]b", "[", "]", 1, false, ""},
      {"first left, next right", "[a][b]", "[", "]", 1, false, "a"},
      {"start past first", "[a][b]", "[", "]", 2, false, "b"},
      {"quote by name", "value=\"42\";", "=#引号", "#引号", 1, false, "42"},
      {"ignore case", "<TITLE>t</Title>", "<title>", "</title>", 1, true, "t"},
      {"case sensitive", "<TITLE>t</Title>", "<title>", "</title>", 1, false, ""},
      {"header value", "Host: a.b\r\nX: y\r\n", "Host: ", "\r\n", 1, false, "a.b"},
      {"double-byte markers", "版本：1.0。", "：", "。", 1, false, "1.0"},
      {"left at the very end", "ab~", "~", "~", 1, false, ""},
      {"empty right marker", "a~b", "~", "", 1, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TextBetween(c.text, c.left, c.right, c.start, c.ignoreCase), c.expected);
  }
}

struct BeforeAfterCase {
  const char* name;
  Text text;
  Text marker;
  int offset;
  bool ignoreCase;
  Text before;
  Text after;
};

TEST(TextExtraction, BeforeAndAfterWithOffsets) {
  const std::vector<BeforeAfterCase> cases = {
      {"header line", "Set-Cookie: a=b: c", ": ", 0, false, "Set-Cookie", "c"},
      {"no marker", "abc", ":", 0, false, "", ""},
      {"version, offset 3", "版本：1.0", "：", 3, false, "版本", "1.0"},
      // After: needs 4 bytes after the occurrence. Before: the search starts on the trail
      // byte of 本, which it takes for a lead together with the first byte of ：.
      {"version, offset 4", "版本：1.0", "：", 4, false, "", ""},
      {"marker at the end", "abc:", ":", 0, false, "abc", ""},
      {"marker at the start", ":abc", ":", 0, false, "", "abc"},
      {"first vs last", "a.b.c", ".", 0, false, "a", "c"},
      {"offset 1 after needs one byte after", "a.b.", ".", 1, false, "a", "b."},
      {"offset 3", "a.b.c", ".", 3, false, "a.b", "b.c"},
      // Negative: Before takes the last occurrence ending |m| bytes before the end, After the
      // first occurrence from |m|; -1 counts as 0.
      {"negative -1", "a.b.c", ".", -1, false, "a.b", "b.c"},
      {"negative -2", "a.b.c", ".", -2, false, "a", "b.c"},
      {"negative -3", "a.b.c", ".", -3, false, "a", "c"},
      {"negative -4", "a.b.c", ".", -4, false, "", "c"},
      {"negative beyond", "a.b.c", ".", -10, false, "", ""},
      {"ignore case", "xKEYy", "key", 0, true, "x", "y"},
      {"trail byte never a marker", "癮a", "a", 0, false, "癮", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TextBefore(c.text, c.marker, c.offset, c.ignoreCase), c.before);
    EXPECT_EQ(TextAfter(c.text, c.marker, c.offset, c.ignoreCase), c.after);
  }
}

TEST(TextExtraction, ExtremeOffsetsDoNotOverflow) {
  EXPECT_EQ(TextBefore("a.b", ".", INT_MIN), "");
  EXPECT_EQ(TextAfter("a.b", ".", INT_MIN), "");
  EXPECT_EQ(TextBefore("a.b", ".", INT_MAX), "");
  EXPECT_EQ(TextAfter("a.b", ".", INT_MAX), "");
}

TEST(TextSplit, Pieces) {
  using V = std::vector<Text>;
  const struct {
    const char* name;
    Text text;
    Text separator;
    V expected;
  } cases[] = {
      {"plain", "a,b,c", ",", V{"a", "b", "c"}},
      {"trailing separator gives no empty last piece", "a,b,", ",", V{"a", "b"}},
      {"leading separator gives an empty first piece", ",a", ",", V{"", "a"}},
      {"adjacent separators", "a,,b", ",", V{"a", "", "b"}},
      {"only a separator", ",", ",", V{""}},
      {"empty text", "", ",", V{}},
      {"no separator", "abc", ",", V{"abc"}},
      {"multi-byte separator", "a\r\nb\r\n\r\nc", "\r\n", V{"a", "b", "", "c"}},
      {"cookie list", "a=1; b=2; ", "; ", V{"a=1", "b=2"}},
      {"trail byte never splits", "乗\\x", "\\", V{"乗", "x"}},
      {"Chinese separator", "甲，乙，丙", "，", V{"甲", "乙", "丙"}},
      {"empty separator", "abc", "", V{"abc"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SplitText(c.text, c.separator), c.expected);
  }
}

TEST(TextReplace, AllAndFirst) {
  EXPECT_EQ(ReplaceText("a-b-c", "-", "+"), "a+b+c");
  EXPECT_EQ(ReplaceFirstText("a-b-c", "-", "+"), "a+b-c");
  EXPECT_EQ(ReplaceText("Set-Cookie: x; set-cookie: y", "set-cookie:", "", true), " x;  y");
  EXPECT_EQ(ReplaceText("abc", "", "x"), "abc");
  EXPECT_EQ(ReplaceText("癮a", "a", "b"), "癮b");
  EXPECT_EQ(ReplaceFirstText("<文件名> <文件名>", "<文件名>", "C:\\X"), "C:\\X <文件名>");
}

TEST(TextTrim, BothBlanksAtBothEnds) {
  const struct {
    const char* name;
    Text text;
    Text expected;
  } cases[] = {
      {"spaces", "  a b  ", "a b"},
      {"full-width spaces", "　版本　", "版本"},
      {"mixed", " 　 x　 ", "x"},
      {"only blanks", " 　 ", ""},
      {"empty", "", ""},
      {"tab is not a blank", "\ta\t", "\ta\t"},
      // 啊 is B0 A1: its trail byte and a following A1 are not a full-width space.
      {"trail byte A1 then a broken lead", "啊\xA1", "啊\xA1"},
      {"full-width space after trail A1", "啊　", "啊"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TrimText(c.text), c.expected);
  }
}

TEST(TextSlice, LeftRightMiddle) {
  EXPECT_EQ(LeftBytes("https://x", 8), "https://");
  EXPECT_EQ(LeftBytes("abc", 0), "");
  EXPECT_EQ(LeftBytes("abc", -1), "");
  EXPECT_EQ(LeftBytes("abc", 10), "abc");
  EXPECT_EQ(RightBytes("abc", 2), "bc");
  EXPECT_EQ(RightBytes("abc", 0), "");
  EXPECT_EQ(RightBytes("abc", 10), "abc");
  EXPECT_EQ(MidBytes("abcdef", 2, 3), "bcd");
  EXPECT_EQ(MidBytes("abcdef", 5, 10), "ef");
  EXPECT_EQ(MidBytes("abcdef", 0, 2), "");
  EXPECT_EQ(MidBytes("abcdef", 7, 2), "");
  EXPECT_EQ(MidBytes("abcdef", 2, 0), "");
  // Byte counts may cut a character in two.
  EXPECT_EQ(LeftBytes("版本", 1), "\xB0");
  EXPECT_EQ(MidBytes("版本", 2, 2), "\xE6\xB1");
}

TEST(TextCase, AsciiLettersOnly) {
  EXPECT_EQ(ToLowerAscii("HTTPS://Zelv.CN/"), "https://zelv.cn/");
  EXPECT_EQ(ToUpperAscii("content-type"), "CONTENT-TYPE");
  // Full-width letters and trail bytes that look like letters stay.
  EXPECT_EQ(ToUpperAscii("ａ癮a"), "ａ癮A");
  EXPECT_EQ(ToLowerAscii("Ａ\xB0\x41Z"), "Ａ\xB0\x41z");
}

}  // namespace
}  // namespace zelv
