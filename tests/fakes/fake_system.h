#pragma once
// Process-level operations in memory. Named events live in a namespace that several
// FakeSystems can share, so two instances of the program can meet in one test.
#include <memory>
#include <set>
#include <vector>

#include "fakes/call_log.h"
#include "platform/system.h"

namespace zelv::fakes {

struct EventNamespace {
  std::set<Text> names;
};

class FakeSystem final : public ISystem {
 public:
  explicit FakeSystem(std::shared_ptr<EventNamespace> events = std::make_shared<EventNamespace>(),
                      CallLog* log = nullptr)
      : events_(std::move(events)), log_(log) {}

  Text RunDirectory() override { return runDirectory; }
  Text ExecutableName() override { return executableName; }
  bool OpenNamedEvent(const Text& name) override;
  EventCreation CreateNamedEvent(const Text& name) override;
  bool StartHidden(const Text& commandLine) override;
  void TerminateOwnProcess() override;

  Text runDirectory = "C:\\Zelv";
  Text executableName = "Trimbelle.exe";
  // Another process's creation slips in between this process's open and its create.
  bool raceOnCreate = false;
  // An object of another kind holds the name: both calls fail.
  bool nameTakenByOtherKind = false;
  bool startSucceeds = true;

  std::vector<Text> started;  // command lines
  bool terminated = false;
  std::set<Text> heldEvents;  // names this process holds a handle to

 private:
  void Log(const std::string& entry) {
    if (log_) log_->Add(entry);
  }
  std::shared_ptr<EventNamespace> events_;
  CallLog* log_;
};

}  // namespace zelv::fakes
