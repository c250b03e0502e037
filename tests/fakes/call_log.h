#pragma once
// A shared, thread-safe record of calls made on the fakes, so a test can assert on the
// order of calls across several fakes.
#include <mutex>
#include <string>
#include <vector>

namespace zelv::fakes {

class CallLog {
 public:
  void Add(std::string entry) {
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(entry));
  }
  [[nodiscard]] std::vector<std::string> Entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> entries_;
};

}  // namespace zelv::fakes
