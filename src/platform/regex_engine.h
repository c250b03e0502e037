#pragma once
// The regular-expression engine behind RegexObject. Two engines implement it: the Windows
// automation object and a built-in one; both take and give texts in the system's code page.
// Nothing here throws: a failure is a null object, an empty text or zero.
#include <memory>

#include "platform/types.h"

namespace zelv {

struct RegexOptions {
  bool ignoreCase = true;
  bool multiline = true;
  bool global = true;
};

// The matches of one execution. Indices are 0-based; out-of-range indices give empty texts.
class IRegexMatches {
 public:
  virtual ~IRegexMatches() = default;
  [[nodiscard]] virtual int Count() const noexcept = 0;
  [[nodiscard]] virtual Text Value(int match) const noexcept = 0;
  [[nodiscard]] virtual int GroupCount(int match) const noexcept = 0;
  // An unmatched group gives the empty text.
  [[nodiscard]] virtual Text GroupValue(int match, int group) const noexcept = 0;
};

// One engine object with its options and pattern set. A pattern the engine rejects still
// gives an object; its Execute then gives null and its Replace an empty text.
class IRegexPattern {
 public:
  virtual ~IRegexPattern() = default;
  [[nodiscard]] virtual Text Pattern() const noexcept = 0;
  [[nodiscard]] virtual std::shared_ptr<const IRegexMatches> Execute(const Text& subject) const noexcept = 0;
  // "$" sequences in `replacement` as the automation object reads them: $& $` $' $$ $1..$99.
  [[nodiscard]] virtual Text Replace(const Text& subject, const Text& replacement) const noexcept = 0;
};

class IRegexEngine {
 public:
  virtual ~IRegexEngine() = default;
  // Prepares the calling thread for objects of this engine (COM for the automation object).
  // True when ReleaseThread must be called later on the same thread.
  [[nodiscard]] virtual bool PrepareThread() noexcept = 0;
  virtual void ReleaseThread() noexcept = 0;
  // Null when the engine object cannot be created.
  [[nodiscard]] virtual std::shared_ptr<const IRegexPattern> Create(const Text& pattern,
                                                                    const RegexOptions& options) noexcept = 0;
};

// The engine RegexObject uses unless it is given one: the built-in engine, or the one the
// program installed at start-up. The installed engine must outlive every use.
[[nodiscard]] IRegexEngine& DefaultRegexEngine() noexcept;
// Null restores the built-in engine.
void SetDefaultRegexEngine(IRegexEngine* engine) noexcept;

}  // namespace zelv
