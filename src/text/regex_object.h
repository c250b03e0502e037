#pragma once
// A regular expression compiled against one subject, then asked for its matches or for the
// subject with the matches replaced. An instance belongs to the thread that constructs it:
// the engine's per-thread state (COM for the automation object) is held for its lifetime.
// Every failure is an empty result: false, 0 or the empty text.
#include <memory>

#include "platform/regex_engine.h"
#include "platform/types.h"

namespace zelv {

class RegexObject {
 public:
  explicit RegexObject(IRegexEngine& engine = DefaultRegexEngine()) noexcept;
  ~RegexObject();
  RegexObject(const RegexObject&) = delete;
  RegexObject& operator=(const RegexObject&) = delete;

  // Releases the engine objects and the thread state; afterwards every operation gives an
  // empty result. The destructor does it for an instance not yet destroyed.
  void Destroy() noexcept;
  // Shares the engine object and the matches, copies the subject. For the same thread.
  [[nodiscard]] std::unique_ptr<RegexObject> Clone() const noexcept;
  // True when the pattern was executed on the subject, whether or not it matched.
  [[nodiscard]] bool Compile(const Text& pattern, const Text& subject, bool caseSensitive = false,
                             bool multiline = true, bool global = true) noexcept;
  void Reserved() noexcept {}
  [[nodiscard]] Text GetPattern() const noexcept;
  [[nodiscard]] Text Replace(const Text& replacement = {}) const noexcept;
  [[nodiscard]] int MatchCount() const noexcept;
  // 1-based match index.
  [[nodiscard]] Text MatchText(int match) const noexcept;
  // 1-based match and group indices.
  [[nodiscard]] Text GroupText(int match, int group) const noexcept;
  // The groups of the first match.
  [[nodiscard]] int GroupCount() const noexcept;

 private:
  IRegexEngine* engine_;
  bool threadPrepared_ = false;
  bool destroyed_ = false;
  std::shared_ptr<const IRegexPattern> pattern_;
  std::shared_ptr<const IRegexMatches> matches_;
  Text subject_;
};

}  // namespace zelv
