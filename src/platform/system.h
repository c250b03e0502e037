#pragma once
// Process-level operations: where the program lives, named events, child processes.
#include "platform/types.h"

namespace zelv {

struct EventCreation {
  bool created = false;         // a handle was returned
  bool alreadyExisted = false;  // ERROR_ALREADY_EXISTS came with it
};

class ISystem {
 public:
  virtual ~ISystem() = default;
  // The directory of the executable, no trailing backslash.
  [[nodiscard]] virtual Text RunDirectory() = 0;
  // The executable's file name with extension, no directory.
  [[nodiscard]] virtual Text ExecutableName() = 0;
  // OpenEventA(EVENT_ALL_ACCESS, FALSE, name): true when a handle came back (it is kept).
  virtual bool OpenNamedEvent(const Text& name) = 0;
  // CreateEventA(NULL, FALSE, FALSE, name); the handle is held until the process ends.
  virtual EventCreation CreateNamedEvent(const Text& name) = 0;
  // CreateProcessA with SW_HIDE, no waiting beyond WaitForInputIdle(1000); handles closed.
  // True when the process started.
  virtual bool StartHidden(const Text& commandLine) = 0;
  // TerminateProcess(GetCurrentProcess(), 0). Does not return on the real platform.
  virtual void TerminateOwnProcess() = 0;
};

}  // namespace zelv
