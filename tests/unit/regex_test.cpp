#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "common/regex_cases.h"
#include "platform/regex_engine.h"
#include "text/regex_builtin.h"
#include "text/regex_object.h"

namespace zelv {
namespace {

TEST(RegexBuiltin, SharedCases) {
  auto engine = MakeBuiltinRegexEngine();
  regex_cases::ExpectAllCases(*engine);
}

TEST(RegexBuiltin, ObjectLifecycle) {
  auto engine = MakeBuiltinRegexEngine();
  regex_cases::ExpectObjectLifecycle(*engine);
}

TEST(RegexBuiltin, DotStopsOnlyAtALineFeed) {
  // The documented dialect: "." is any character but "\n". (Wine's own object also stops at
  // "\r", so this case is not in the table both engines share.)
  auto engine = MakeBuiltinRegexEngine();
  RegexObject re(*engine);
  ASSERT_TRUE(re.Compile("a.c", "a\rc a\nc"));
  EXPECT_EQ(re.MatchCount(), 1);
  EXPECT_EQ(re.MatchText(1), "a\rc");
}

TEST(RegexBuiltin, RunawayPatternGivesEmptyResultsInsteadOfCrashing) {
  // Nested quantifiers that can never match: exponential backtracking, which Boost cuts
  // short by throwing.
  auto engine = MakeBuiltinRegexEngine();
  RegexObject re(*engine);
  const Text subject(40, 'x');
  ASSERT_TRUE(re.Compile("(x+x+)+y", subject));
  EXPECT_EQ(re.MatchCount(), 0);
  EXPECT_EQ(re.Replace(""), "");
}

TEST(RegexBuiltin, LongScriptBlockDoesNotExhaustTheStack) {
  const Text page = "<p>a</p><script>" + Text(5 * 1024 * 1024, 'x') + "</script><p>b</p>";
  auto engine = MakeBuiltinRegexEngine();
  RegexObject re(*engine);
  ASSERT_TRUE(re.Compile(regex_cases::kStripPattern, page));
  EXPECT_EQ(re.Replace(""), "ab");
}

// Records what RegexObject asks of its engine, to hold it to the thread-state rules.
class RecordingEngine final : public IRegexEngine {
 public:
  std::vector<std::string> log;
  bool prepareAnswer = true;
  bool createFails = false;

  bool PrepareThread() noexcept override {
    log.push_back("prepare");
    return prepareAnswer;
  }
  void ReleaseThread() noexcept override { log.push_back("release-thread"); }
  std::shared_ptr<const IRegexPattern> Create(const Text& pattern, const RegexOptions& o) noexcept override {
    log.push_back("create " + pattern + (o.ignoreCase ? " i" : "") + (o.multiline ? " m" : "") +
                  (o.global ? " g" : ""));
    if (createFails) return nullptr;
    return std::make_shared<FakePattern>(*this, pattern);
  }

 private:
  class FakePattern final : public IRegexPattern {
   public:
    FakePattern(RecordingEngine& e, Text p) : engine_(e), pattern_(std::move(p)) {}
    ~FakePattern() override { engine_.log.push_back("release " + pattern_); }
    Text Pattern() const noexcept override { return pattern_; }
    std::shared_ptr<const IRegexMatches> Execute(const Text& subject) const noexcept override {
      engine_.log.push_back("execute " + subject);
      return nullptr;
    }
    Text Replace(const Text&, const Text&) const noexcept override { return "replaced"; }

   private:
    RecordingEngine& engine_;
    Text pattern_;
  };
};

TEST(RegexObject, PassesTheFlagsWithTheirDefaults) {
  RecordingEngine engine;
  {
    RegexObject re(engine);
    (void)re.Compile("p", "s");
    (void)re.Compile("q", "s", true, false, false);
  }
  EXPECT_EQ(engine.log, (std::vector<std::string>{"prepare", "create p i m g", "execute s", "release p",
                                                  "create q", "execute s", "release q", "release-thread"}));
}

TEST(RegexObject, ReleasesEngineObjectsBeforeTheThreadState) {
  RecordingEngine engine;
  RegexObject re(engine);
  (void)re.Compile("p", "s");
  re.Destroy();
  ASSERT_GE(engine.log.size(), 2u);
  EXPECT_EQ(engine.log[engine.log.size() - 2], "release p");
  EXPECT_EQ(engine.log.back(), "release-thread");
}

TEST(RegexObject, ReleasesThreadStateOnlyWhenPrepared) {
  RecordingEngine engine;
  engine.prepareAnswer = false;
  { RegexObject re(engine); }
  EXPECT_EQ(engine.log, std::vector<std::string>{"prepare"});
}

TEST(RegexObject, CloneHoldsItsOwnThreadState) {
  RecordingEngine engine;
  {
    RegexObject re(engine);
    (void)re.Compile("p", "s");
    auto clone = re.Clone();
    re.Destroy();
    // The shared engine object lives on in the clone.
    EXPECT_EQ(std::count(engine.log.begin(), engine.log.end(), "release p"), 0);
    EXPECT_EQ(clone->GetPattern(), "p");
  }
  EXPECT_EQ(std::count(engine.log.begin(), engine.log.end(), "prepare"), 2);
  EXPECT_EQ(std::count(engine.log.begin(), engine.log.end(), "release-thread"), 2);
  EXPECT_EQ(engine.log.back(), "release-thread");
}

TEST(RegexObject, EngineThatCannotBeCreatedGivesEmptyResults) {
  RecordingEngine engine;
  engine.createFails = true;
  RegexObject re(engine);
  EXPECT_FALSE(re.Compile("[0-9]", "57%"));
  EXPECT_EQ(re.MatchCount(), 0);
  EXPECT_EQ(re.MatchText(1), "");
  EXPECT_EQ(re.Replace(""), "");
  EXPECT_EQ(re.GetPattern(), "");
}

TEST(RegexObject, ExecuteWithoutCollectionIsFalseButReplaceStillAsksTheEngine) {
  RecordingEngine engine;
  RegexObject re(engine);
  EXPECT_FALSE(re.Compile("p", "s"));
  EXPECT_EQ(re.MatchCount(), 0);
  EXPECT_EQ(re.Replace(""), "replaced");
}

TEST(RegexObject, DefaultEngineCanBeReplacedAndRestored) {
  RecordingEngine engine;
  SetDefaultRegexEngine(&engine);
  { RegexObject re; }
  SetDefaultRegexEngine(nullptr);
  EXPECT_EQ(engine.log, (std::vector<std::string>{"prepare", "release-thread"}));
  RegexObject builtin;
  EXPECT_TRUE(builtin.Compile("[0-9]", "1"));
}

}  // namespace
}  // namespace zelv
