#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "common/regex_cases.h"
#include "net/html_to_text.h"
#include "platform/win32/backends.h"
#include "platform/win32/regex_vbscript.h"
#include "text/regex_builtin.h"

namespace zelv::win32 {
namespace {

struct EngineParam {
  const char* name;
  std::function<std::unique_ptr<IRegexEngine>()> make;
};

class RegexEngines : public ::testing::TestWithParam<EngineParam> {};

TEST_P(RegexEngines, SharedCases) {
  auto engine = GetParam().make();
  regex_cases::ExpectAllCases(*engine);
}

TEST_P(RegexEngines, ObjectLifecycle) {
  auto engine = GetParam().make();
  regex_cases::ExpectObjectLifecycle(*engine);
}

// Run on a worker thread as the update check does: the main thread's larger stack must
// not be what keeps the engine alive.
TEST_P(RegexEngines, LongScriptBlockOnAWorkerThread) {
  auto engine = GetParam().make();
  const Text page = "<p>a</p><script>" + Text(5 * 1024 * 1024, 'x') + "</script><p>b</p>";
  Text stripped = "unset";
  std::thread worker([&] {
    RegexObject re(*engine);
    (void)re.Compile(regex_cases::kStripPattern, page);
    stripped = re.Replace("");
  });
  worker.join();
  EXPECT_EQ(stripped, "ab");
}

INSTANTIATE_TEST_SUITE_P(Both, RegexEngines,
                         ::testing::Values(EngineParam{"vbscript", MakeVbscriptRegexEngine},
                                           EngineParam{"builtin", MakeBuiltinRegexEngine}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RegexEngineChoice, AutomationObjectIsRegisteredHereAndChosen) {
  // A fresh Wine prefix registers vbscript.dll; this proves the factory takes it when present.
  ASSERT_TRUE(VbscriptRegexAvailable());
  auto engine = MakeRegexEngine();
  RegexObject re(*engine);
  ASSERT_TRUE(re.Compile("[0-9]", "57%"));
  EXPECT_EQ(re.MatchCount(), 2);
}

TEST(RegexEngineChoice, ObjectThatCannotBeCreatedGivesEmptyResults) {
  // Without COM on this thread CoCreateInstance fails, as it does where the object is missing.
  std::thread worker([] {
    auto engine = MakeVbscriptRegexEngine();
    RegexObject re(*engine);
    re.Destroy();  // leaves the thread without COM
    EXPECT_EQ(engine->Create("[0-9]", RegexOptions{}), nullptr);
  });
  worker.join();
}

}  // namespace
}  // namespace zelv::win32
