#pragma once
// One table of regular-expression behaviour that every engine must show, run against the
// built-in engine on the host and against both engines under Wine.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/regex_engine.h"
#include "text/regex_object.h"

namespace zelv::regex_cases {

inline const Text kStripPattern = "<script[\\s\\S]*?</script>|<style[\\s\\S]*?</style>|<[^>]+>|&.{1,8};";

struct RegexCase {
  const char* name;
  Text pattern;
  Text subject;
  bool caseSensitive = false;
  bool multiline = true;
  bool global = true;
  bool compiles = true;
  std::vector<Text> matches = {};        // MatchText 1..n, and so MatchCount
  std::vector<Text> firstGroups = {};    // GroupText(1, j), and so GroupCount
  std::optional<Text> replacement = {};  // checked when present
  Text replaced = {};
};

inline std::vector<RegexCase> Cases() {
  using V = std::vector<Text>;
  std::vector<RegexCase> c;
  c.push_back({"digits of a level", "[0-9]", "57%", false, true, true, true, V{"5", "7"}, {}, "", "%"});
  c.push_back({"no digits", "[0-9]", "静音", false, true, true, true, V{}, {}, "", "静音"});
  c.push_back({"script removed whatever its case",
               kStripPattern,
               "<SCRIPT>x</script>",
               false,
               true,
               true,
               true,
               V{"<SCRIPT>x</script>"},
               {},
               "",
               ""});
  c.push_back({"case-sensitive leaves the script text",
               kStripPattern,
               "<SCRIPT>x</script>",
               true,
               true,
               true,
               true,
               V{"<SCRIPT>", "</script>"},
               {},
               "",
               "x"});
  c.push_back({"tags and entities",
               kStripPattern,
               "<p>a&amp;b</p>",
               false,
               true,
               true,
               true,
               V{"<p>", "&amp;", "</p>"},
               {},
               "",
               "ab"});
  c.push_back({"greedy entity", kStripPattern, "x&a;b;y", false, true, true, true, V{"&a;b;"}, {}, "", "xy"});
  c.push_back({"tag across lines",
               kStripPattern,
               "<a\nhref=\"u\">t</a>",
               false,
               true,
               true,
               true,
               V{"<a\nhref=\"u\">", "</a>"},
               {},
               "",
               "t"});
  c.push_back({"unclosed script keeps its text",
               kStripPattern,
               "<script>var a;",
               false,
               true,
               true,
               true,
               V{"<script>"},
               {},
               "",
               "var a;"});
  c.push_back({"style block",
               kStripPattern,
               "<style>\np{}\n</style>正文",
               false,
               true,
               true,
               true,
               V{"<style>\np{}\n</style>"},
               {},
               "",
               "正文"});
  c.push_back(
      {"[\\s\\S] crosses line ends", "a[\\s\\S]*?c", "a\nb\r\nc", false, true, true, true, V{"a\nb\r\nc"}});
  c.push_back({"dot does not cross a line feed", "a.*c", "a\nb\nc", false, true, true, true, V{}});
  c.push_back({"dot within a line", "b.", "ab\nbc", false, true, true, true, V{"bc"}});
  c.push_back({"invalid pattern", "(", "abc", false, true, true, false, V{}, {}, "", ""});
  c.push_back({"ignore case by default", "ABC", "xabcx", false, true, true, true, V{"abc"}});
  c.push_back({"case-sensitive flag", "ABC", "xabcx", true, true, true, true, V{}, {}, "-", "xabcx"});
  c.push_back({"multiline anchors", "^b", "a\nb", false, true, true, true, V{"b"}});
  c.push_back({"single-line anchors", "^b", "a\nb", false, false, true, true, V{}});
  c.push_back({"first match only without global",
               "[0-9]",
               "a1b2",
               false,
               true,
               false,
               true,
               V{"1"},
               {},
               "#",
               "a#b2"});
  c.push_back({"global replacement", "[0-9]", "a1b2", false, true, true, true, V{"1", "2"}, {}, "#", "a#b#"});
  c.push_back({"dollar sequences", "(\\w+)@(\\w+)", "ab@cd!", false, true, true, true, V{"ab@cd"},
               V{"ab", "cd"}, "$2@$1 [$&] $$", "cd@ab [ab@cd] $!"});
  c.push_back({"backslash is literal in a replacement",
               "b",
               "abc",
               false,
               true,
               true,
               true,
               V{"b"},
               {},
               "\\n",
               "a\\nc"});
  c.push_back({"Chinese with groups", "版本[：:]([0-9.]+)", "当前版本：1.0，最新版本：2.1", false, true, true,
               true, V{"版本：1.0", "版本：2.1"}, V{"1.0"}, "v$1", "当前v1.0，最新v2.1"});
  c.push_back({"a dot takes a whole double-byte character",
               "版.",
               "版本号",
               false,
               true,
               true,
               true,
               V{"版本"},
               {},
               "X",
               "X号"});
  c.push_back({"class of double-byte characters",
               "[甲乙]+",
               "丙甲乙丁",
               false,
               true,
               true,
               true,
               V{"甲乙"},
               {},
               "",
               "丙丁"});
  c.push_back({"trail byte is not a character", "a", "癮", false, true, true, true, V{}, {}, "b", "癮"});
  c.push_back(
      {"\\d and \\w are ASCII classes", "\\d+|\\w+", "１23ａb_", false, true, true, true, V{"23", "b_"}});
  c.push_back({"digit class inside brackets", "[\\d.]+", "v1.0；", false, true, true, true, V{"1.0"}});
  c.push_back({"\\u names a character", "\\u7248\\u672C", "新版本", false, true, true, true, V{"版本"}});
  c.push_back({"counted repetition", "[0-9]{2,3}", "1 22 4444", false, true, true, true, V{"22", "444"}});
  c.push_back({"unmatched group is empty", "(a)|(b)", "b", false, true, true, true, V{"b"}, V{"", "b"},
               "[$1]", "[]"});
  return c;
}

inline void ExpectCase(IRegexEngine& engine, const RegexCase& c) {
  SCOPED_TRACE(c.name);
  RegexObject re(engine);
  EXPECT_EQ(re.Compile(c.pattern, c.subject, c.caseSensitive, c.multiline, c.global), c.compiles);
  ASSERT_EQ(re.MatchCount(), static_cast<int>(c.matches.size()));
  for (std::size_t i = 0; i < c.matches.size(); ++i)
    EXPECT_EQ(re.MatchText(static_cast<int>(i) + 1), c.matches[i]);
  EXPECT_EQ(re.MatchText(0), "");
  EXPECT_EQ(re.MatchText(static_cast<int>(c.matches.size()) + 1), "");
  if (!c.firstGroups.empty()) {
    EXPECT_EQ(re.GroupCount(), static_cast<int>(c.firstGroups.size()));
    for (std::size_t j = 0; j < c.firstGroups.size(); ++j)
      EXPECT_EQ(re.GroupText(1, static_cast<int>(j) + 1), c.firstGroups[j]);
    EXPECT_EQ(re.GroupText(1, static_cast<int>(c.firstGroups.size()) + 1), "");
  }
  if (c.replacement) {
    EXPECT_EQ(re.Replace(*c.replacement), c.replaced);
  }
  re.Destroy();
}

inline void ExpectAllCases(IRegexEngine& engine) {
  for (const auto& c : Cases()) ExpectCase(engine, c);
}

// The object's life: before any Compile, across recompiles, clones and Destroy.
inline void ExpectObjectLifecycle(IRegexEngine& engine) {
  {
    SCOPED_TRACE("before any Compile");
    RegexObject re(engine);
    EXPECT_EQ(re.MatchCount(), 0);
    EXPECT_EQ(re.MatchText(1), "");
    EXPECT_EQ(re.GroupCount(), 0);
    EXPECT_EQ(re.GroupText(1, 1), "");
    EXPECT_EQ(re.Replace("x"), "");
    EXPECT_EQ(re.GetPattern(), "");
    re.Reserved();
  }
  {
    SCOPED_TRACE("recompile replaces everything");
    RegexObject re(engine);
    ASSERT_TRUE(re.Compile("[0-9]", "a1b2"));
    EXPECT_EQ(re.GetPattern(), "[0-9]");
    EXPECT_FALSE(re.Compile("(", "xyz"));
    EXPECT_EQ(re.MatchCount(), 0);
    EXPECT_EQ(re.Replace(""), "");
    ASSERT_TRUE(re.Compile("版(本)", "版本"));
    EXPECT_EQ(re.GetPattern(), "版(本)");
    EXPECT_EQ(re.MatchCount(), 1);
    EXPECT_EQ(re.GroupText(1, 1), "本");
    EXPECT_EQ(re.Replace("<$1>"), "<本>");
  }
  {
    SCOPED_TRACE("a clone outlives its original");
    auto original = std::make_unique<RegexObject>(engine);
    ASSERT_TRUE(original->Compile("[a-z]", "a1b"));
    auto clone = original->Clone();
    ASSERT_NE(clone, nullptr);
    original->Destroy();
    EXPECT_EQ(original->MatchCount(), 0);
    original.reset();
    EXPECT_EQ(clone->MatchCount(), 2);
    EXPECT_EQ(clone->MatchText(2), "b");
    EXPECT_EQ(clone->Replace("_"), "_1_");
    EXPECT_EQ(clone->GetPattern(), "[a-z]");
  }
  {
    SCOPED_TRACE("after Destroy");
    RegexObject re(engine);
    ASSERT_TRUE(re.Compile("[0-9]", "57%"));
    re.Destroy();
    EXPECT_EQ(re.MatchCount(), 0);
    EXPECT_EQ(re.Replace(""), "");
    EXPECT_FALSE(re.Compile("[0-9]", "1"));
    re.Destroy();  // a second Destroy, then the destructor, do nothing more
  }
}

}  // namespace zelv::regex_cases
