#pragma once
// One program instance against the fakes, as the shell-integration tests need it.
#include <memory>

#include "app/app.h"
#include "fakes/call_log.h"
#include "fakes/fake_audio.h"
#include "fakes/fake_files.h"
#include "fakes/fake_forms.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_system.h"

namespace zelv::testing {

struct ShellWorld {
  explicit ShellWorld(
      std::shared_ptr<fakes::EventNamespace> events = std::make_shared<fakes::EventNamespace>())
      : system(std::move(events), &log), app(MakePlatform()) {}

  Platform MakePlatform() {
    Platform p;
    p.forms = &forms;
    p.audio = &audio;
    p.files = &files;
    p.system = &system;
    p.registry = &registry;
    p.shell = &shell;
    return p;
  }

  fakes::CallLog log;
  fakes::FakeForms forms{&log};
  fakes::FakeAudioBackend audio{&log};
  fakes::FakeFileSystem files{&log};
  fakes::FakeSystem system;
  fakes::FakeRegistry registry{&log};
  fakes::FakeShellWindows shell{&log};
  App app;
};

}  // namespace zelv::testing
