#pragma once
// One program instance against the fakes, for the meter's tests.
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "app/app.h"
#include "audio/volume_display.h"
#include "fakes/call_log.h"
#include "fakes/fake_audio.h"
#include "fakes/fake_files.h"
#include "fakes/fake_forms.h"
#include "fakes/fake_system.h"

namespace zelv::testing {

struct MeterWorld {
  MeterWorld() : app(MakePlatform()) {}

  Platform MakePlatform() {
    Platform p;
    p.forms = &forms;
    p.audio = &audio;
    p.files = &files;
    p.system = &system;
    return p;
  }

  fakes::CallLog log;
  fakes::FakeForms forms{&log};
  fakes::FakeAudioBackend audio{&log};
  fakes::FakeFileSystem files{&log};
  fakes::FakeSystem system;
  App app;
};

// Lets the first `passes` waits return at once, then holds the thread in its next wait until
// it is interrupted, so a test sees a fixed number of passes without real sleeping.
class ScriptedWaiter final : public PollWaiter {
 public:
  explicit ScriptedWaiter(std::size_t passes) : passes_(passes) {}

  bool Wait(int milliseconds) override {
    std::unique_lock lock(mutex_);
    waits_.push_back(milliseconds);
    changed_.notify_all();
    if (waits_.size() <= passes_) return !interrupted_;
    changed_.wait(lock, [this] { return interrupted_; });
    return false;
  }
  void Interrupt() override {
    std::lock_guard lock(mutex_);
    interrupted_ = true;
    changed_.notify_all();
  }
  // True once the thread has made n waits (gives up after a few seconds).
  bool AwaitWaits(std::size_t n) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(5), [&] { return waits_.size() >= n; });
  }
  std::vector<int> waits() {
    std::lock_guard lock(mutex_);
    return waits_;
  }

 private:
  std::size_t passes_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<int> waits_;
  bool interrupted_ = false;
};

// The entries of a log that start with one of the prefixes, in order.
inline std::vector<std::string> Only(const std::vector<std::string>& log,
                                     const std::vector<std::string>& prefixes) {
  std::vector<std::string> out;
  for (const std::string& entry : log)
    for (const std::string& prefix : prefixes)
      if (entry.rfind(prefix, 0) == 0) {
        out.push_back(entry);
        break;
      }
  return out;
}

}  // namespace zelv::testing
