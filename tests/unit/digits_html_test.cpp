#include <gtest/gtest.h>

#include "audio/digits_only.h"
#include "net/html_to_text.h"

namespace zelv {
namespace {

TEST(DigitsOnly, KeepsAsciiDigitsInOrder) {
  const struct {
    Text text;
    Text expected;
  } cases[] = {
      {"57%", "57"},
      {"100", "100"},
      {"", ""},
      {"静音", ""},
      // Full-width digits are not 0 to 9.
      {"１2３4", "24"},
      {"-1", "1"},
      {"音量：08", "08"},
  };
  for (const auto& c : cases) EXPECT_EQ(DigitsOnly(c.text), c.expected) << c.text;
}

TEST(HtmlToText, LeavesOnlyTheVisibleTextWithItsMarkers) {
  const Text page =
      "<!DOCTYPE html>\r\n<html><head><STYLE type=\"text/css\">\r\nb{color:red}\r\n</style>"
      "<script>var s = \"~0.9~\";\r\n</Script></head>\r\n"
      "<body><p class=\"v\">版本&nbsp;~ABCD~</p><P>\r\n-EF-&lt;$GH$</P></body></html>";
  EXPECT_EQ(HtmlToText(page), "\r\n\r\n版本~ABCD~\r\n-EF-$GH$");
}

TEST(HtmlToText, PlainTextAndEmptyPass) {
  EXPECT_EQ(HtmlToText("没有标签 a > b"), "没有标签 a > b");
  EXPECT_EQ(HtmlToText(""), "");
}

}  // namespace
}  // namespace zelv
