#include "text/regex_object.h"

namespace zelv {

RegexObject::RegexObject(IRegexEngine& engine) noexcept
    : engine_(&engine), threadPrepared_(engine.PrepareThread()) {}

RegexObject::~RegexObject() { Destroy(); }

void RegexObject::Destroy() noexcept {
  if (destroyed_) return;
  destroyed_ = true;
  // The engine objects may live in the thread's COM apartment: release them before it goes.
  matches_.reset();
  pattern_.reset();
  subject_.clear();
  if (threadPrepared_) engine_->ReleaseThread();
  threadPrepared_ = false;
}

std::unique_ptr<RegexObject> RegexObject::Clone() const noexcept {
  try {
    auto copy = std::make_unique<RegexObject>(*engine_);
    copy->pattern_ = pattern_;
    copy->matches_ = matches_;
    copy->subject_ = subject_;
    return copy;
  } catch (...) {
    return nullptr;
  }
}

bool RegexObject::Compile(const Text& pattern, const Text& subject, bool caseSensitive, bool multiline,
                          bool global) noexcept {
  if (destroyed_) return false;
  matches_.reset();
  pattern_.reset();
  try {
    subject_ = subject;
  } catch (...) {
    subject_.clear();
    return false;
  }
  pattern_ = engine_->Create(pattern, RegexOptions{!caseSensitive, multiline, global});
  if (!pattern_) return false;
  matches_ = pattern_->Execute(subject_);
  return matches_ != nullptr;
}

Text RegexObject::GetPattern() const noexcept { return pattern_ ? pattern_->Pattern() : Text{}; }

Text RegexObject::Replace(const Text& replacement) const noexcept {
  return pattern_ ? pattern_->Replace(subject_, replacement) : Text{};
}

int RegexObject::MatchCount() const noexcept { return matches_ ? matches_->Count() : 0; }

Text RegexObject::MatchText(int match) const noexcept {
  return matches_ ? matches_->Value(match - 1) : Text{};
}

Text RegexObject::GroupText(int match, int group) const noexcept {
  return matches_ ? matches_->GroupValue(match - 1, group - 1) : Text{};
}

int RegexObject::GroupCount() const noexcept { return matches_ ? matches_->GroupCount(0) : 0; }

}  // namespace zelv
