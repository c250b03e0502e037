#include "net/update_page.h"

#include <gtest/gtest.h>

#include "net/html_to_text.h"

namespace zelv {
namespace {

TEST(UpdatePage, DefaultTemplateReadsBack) {
  const PageResult made =
      MakeUpdatePage(DefaultPageTemplate(), "2.0", "https://dl.test/a-b.zip", "修复\r\n$5 ~x", "ab12Xy");
  ASSERT_TRUE(made.ok) << made.error;
  const UpdateFields back = ReadUpdateFields(HtmlToText(made.page));
  EXPECT_EQ(back.version, "2.0");
  EXPECT_EQ(back.downloadAddress, "https://dl.test/a-b.zip");
  EXPECT_EQ(back.notes, "修复\r\n$5 ~x");
}

TEST(UpdatePage, RefusesPagesThatWouldNotReadBack) {
  const struct {
    const char* pageTemplate;
    const char* why;
  } cases[] = {
      {"<h1>Zelv - news</h1><p>~{{VERSION}}~ -{{DOWNLOAD}}- ${{NOTES}}$</p>", "hyphen ahead of the address"},
      {"<p>Price $5</p><p>~{{VERSION}}~ -{{DOWNLOAD}}- ${{NOTES}}$</p>", "dollar ahead of the notes"},
      {"<p title='~{{VERSION}}~'>-{{DOWNLOAD}}- ${{NOTES}}$</p>", "version inside an attribute"},
      {"<p>&x;~{{VERSION}}~ -{{DOWNLOAD}}- ${{NOTES}}$</p>", "no: an entity here is harmless"},
      {"<p>&x~;{{VERSION}}~ -{{DOWNLOAD}}- ${{NOTES}}$</p>", "version marker eaten as an entity"},
      {"<p>~{{VERSION}}~ -{{DOWNLOAD}}-</p>", "no notes placeholder"},
  };
  for (const auto& c : cases) {
    const PageResult made = MakeUpdatePage(c.pageTemplate, "2.0", "x", "y", "ab12Xy");
    EXPECT_EQ(made.ok, Text(c.why).rfind("no:", 0) == 0) << c.why << ": " << made.error;
  }
  EXPECT_FALSE(MakeUpdatePage(DefaultPageTemplate(), "2.0", "x", "y", "a~12Xy").ok);
  EXPECT_FALSE(MakeUpdatePage(DefaultPageTemplate(), "", "x", "y", "ab12Xy").ok);
}

}  // namespace
}  // namespace zelv
