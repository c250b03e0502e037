#include "fakes/fake_system.h"

namespace zelv::fakes {

bool FakeSystem::OpenNamedEvent(const Text& name) {
  Log("OpenNamedEvent");
  if (nameTakenByOtherKind || events_->names.count(name) == 0) return false;
  heldEvents.insert(name);
  return true;
}

EventCreation FakeSystem::CreateNamedEvent(const Text& name) {
  Log("CreateNamedEvent");
  if (nameTakenByOtherKind) return {};
  if (raceOnCreate) events_->names.insert(name);
  const bool existed = events_->names.count(name) != 0;
  events_->names.insert(name);
  heldEvents.insert(name);
  return {true, existed};
}

bool FakeSystem::StartHidden(const Text& commandLine) {
  Log("StartHidden(" + commandLine + ")");
  if (!startSucceeds) return false;
  started.push_back(commandLine);
  return true;
}

void FakeSystem::TerminateOwnProcess() {
  Log("TerminateOwnProcess");
  terminated = true;
}

}  // namespace zelv::fakes
