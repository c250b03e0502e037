#include "app/guard.h"

#include <gtest/gtest.h>

#include "shell_world.h"

namespace zelv {
namespace {

using testing::ShellWorld;

TEST(InstanceEventName, IsTheThirtyOneCp936BytesWithoutNamespacePrefix) {
  const Text name = InstanceEventName;
  EXPECT_EQ(name.size(), 31u);
  // "是" in CP936, and the ASCII tail intact.
  EXPECT_EQ(name.substr(0, 2), "\xCA\xC7");
  EXPECT_EQ(name.substr(name.size() - 5), "rewrw");
  EXPECT_NE(name.rfind("Global\\", 0), 0u);
  EXPECT_NE(name.rfind("Local\\", 0), 0u);
}

TEST(GuardSingleInstance, FirstInstanceCreatesTheEventAndHoldsIt) {
  ShellWorld first;
  EXPECT_TRUE(GuardSingleInstance(first.app, InstanceEventName));
  EXPECT_FALSE(first.forms.endCode().has_value());
  EXPECT_EQ(first.system.heldEvents.count(InstanceEventName), 1u);
}

TEST(GuardSingleInstance, LaterInstanceEndsWithCodeZeroAndShowsNothing) {
  auto events = std::make_shared<fakes::EventNamespace>();
  ShellWorld first(events);
  ShellWorld second(events);
  ASSERT_TRUE(GuardSingleInstance(first.app, InstanceEventName));
  const auto firstCalls = first.log.Entries();

  EXPECT_FALSE(GuardSingleInstance(second.app, InstanceEventName));
  EXPECT_EQ(second.forms.endCode(), 0);
  EXPECT_TRUE(second.forms.messages().empty());
  // The first one is left alone.
  EXPECT_FALSE(first.forms.endCode().has_value());
  EXPECT_EQ(first.log.Entries(), firstCalls);
}

TEST(GuardSingleInstance, InstanceStartedAfterTheFirstEndedRuns) {
  auto events = std::make_shared<fakes::EventNamespace>();
  {
    ShellWorld first(events);
    ASSERT_TRUE(GuardSingleInstance(first.app, InstanceEventName));
  }
  events->names.clear();  // the system drops the event with its last handle
  ShellWorld next(events);
  EXPECT_TRUE(GuardSingleInstance(next.app, InstanceEventName));
}

TEST(GuardSingleInstance, CreationThatFindsTheEventAlreadyThereMeansALaterInstance) {
  // Both instances missed the event on opening; the other one created it in between.
  ShellWorld racer;
  racer.system.raceOnCreate = true;
  EXPECT_FALSE(GuardSingleInstance(racer.app, InstanceEventName));
  EXPECT_EQ(racer.forms.endCode(), 0);
}

TEST(GuardSingleInstance, NameHeldByAnotherKindOfObjectLetsTheProgramRun) {
  ShellWorld world;
  world.system.nameTakenByOtherKind = true;
  EXPECT_TRUE(GuardSingleInstance(world.app, InstanceEventName));
  EXPECT_FALSE(world.forms.endCode().has_value());
}

}  // namespace
}  // namespace zelv
