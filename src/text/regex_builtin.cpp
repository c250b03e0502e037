#include "text/regex_builtin.h"

#include <atomic>
#include <boost/regex.hpp>
#include <optional>
#include <string>
#include <vector>

#include "platform/codepage.h"

namespace zelv {
namespace {

// Boost runs on wide text so that a double-byte character is one character to "." and to
// every class, as it is for the automation object, which sees UTF-16.
using Wide = std::wstring;
using Regex = boost::basic_regex<wchar_t>;
using Iterator = Wide::const_iterator;

Wide Widen(const Text& text) {
  const WideText units = Cp936ToUtf16(text);
  return Wide(units.begin(), units.end());
}

Text Narrow(Wide::const_iterator first, Wide::const_iterator last) {
  return Utf16ToCp936(WideText(first, last));
}

bool IsHexDigit(wchar_t c) noexcept {
  return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

// Brings the pattern to Boost in the automation object's meaning where the two differ:
// "." stops only at a line feed (Boost's own "." would cross every line end, or stop at "\r"
// too); "\d" and "\w" are ASCII classes (Boost's take full-width digits and letters);
// "\uXXXX" names a character (Boost spells it "\x{XXXX}").
Wide TranslatePattern(const Wide& pattern) {
  Wide out;
  out.reserve(pattern.size() + 16);
  bool inClass = false;
  std::size_t classStart = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const wchar_t c = pattern[i];
    if (c == L'\\' && i + 1 < pattern.size()) {
      const wchar_t e = pattern[++i];
      if (e == L'u' && i + 4 < pattern.size() && IsHexDigit(pattern[i + 1]) && IsHexDigit(pattern[i + 2]) &&
          IsHexDigit(pattern[i + 3]) && IsHexDigit(pattern[i + 4])) {
        out += L"\\x{";
        out.append(pattern, i + 1, 4);
        out += L'}';
        i += 4;
      } else if (e == L'd') {
        out += inClass ? L"0-9" : L"[0-9]";
      } else if (e == L'w') {
        out += inClass ? L"A-Za-z0-9_" : L"[A-Za-z0-9_]";
      } else if (e == L'D' && !inClass) {
        out += L"[^0-9]";
      } else if (e == L'W' && !inClass) {
        out += L"[^A-Za-z0-9_]";
      } else {
        out += c;
        out += e;
      }
      continue;
    }
    if (inClass) {
      // A "]" right after "[" or "[^" is a literal in Boost's reading of the class.
      if (c == L']' && i > classStart) inClass = false;
      out += c;
      continue;
    }
    if (c == L'[') {
      inClass = true;
      classStart = i + 1;
      if (classStart < pattern.size() && pattern[classStart] == L'^') ++classStart;
      out += c;
      continue;
    }
    if (c == L'.')
      out += L"[^\n]";
    else
      out += c;
  }
  return out;
}

struct Found {
  std::ptrdiff_t position = 0;
  std::ptrdiff_t length = 0;
  // (position, length) of each group; position -1 for a group that took no part.
  std::vector<std::pair<std::ptrdiff_t, std::ptrdiff_t>> groups;
};

boost::regex_constants::match_flag_type MatchFlags() { return boost::regex_constants::match_default; }

// Runs the search over the whole subject, or for the first match only. Boost reports
// patterns too costly to run by throwing; the caller turns that into "no result".
std::vector<Found> FindAll(const Regex& regex, const Wide& subject, bool global) {
  std::vector<Found> found;
  boost::regex_iterator<Iterator> it(subject.begin(), subject.end(), regex, MatchFlags());
  for (const boost::regex_iterator<Iterator> end; it != end; ++it) {
    const auto& m = *it;
    Found f;
    f.position = m.position(std::size_t{0});
    f.length = m[0].length();
    for (std::size_t g = 1; g < m.size(); ++g)
      f.groups.emplace_back(m[g].matched ? m.position(g) : -1, m[g].matched ? m[g].length() : 0);
    found.push_back(std::move(f));
    if (!global) break;
  }
  return found;
}

// Appends `replacement` for one match, reading its "$" sequences as the automation object
// does: $$ a dollar, $& the match, $` before it, $' after it, $n and $nn a group when that
// group exists (two digits first), and any other "$" as itself.
void AppendReplacement(Wide& out, const Wide& replacement, const Wide& subject, const Found& f) {
  const auto group = [&](std::size_t n) {
    const auto& [pos, len] = f.groups[n - 1];
    if (pos >= 0) out.append(subject, static_cast<std::size_t>(pos), static_cast<std::size_t>(len));
  };
  const std::size_t groups = f.groups.size();
  for (std::size_t i = 0; i < replacement.size(); ++i) {
    const wchar_t c = replacement[i];
    if (c != L'$' || i + 1 >= replacement.size()) {
      out += c;
      continue;
    }
    const wchar_t d = replacement[i + 1];
    if (d == L'$') {
      out += L'$';
      ++i;
    } else if (d == L'&') {
      out.append(subject, static_cast<std::size_t>(f.position), static_cast<std::size_t>(f.length));
      ++i;
    } else if (d == L'`') {
      out.append(subject, 0, static_cast<std::size_t>(f.position));
      ++i;
    } else if (d == L'\'') {
      out.append(subject, static_cast<std::size_t>(f.position + f.length));
      ++i;
    } else if (d >= L'0' && d <= L'9') {
      const std::size_t one = static_cast<std::size_t>(d - L'0');
      const bool hasSecond =
          i + 2 < replacement.size() && replacement[i + 2] >= L'0' && replacement[i + 2] <= L'9';
      const std::size_t two = hasSecond ? one * 10 + static_cast<std::size_t>(replacement[i + 2] - L'0') : 0;
      if (hasSecond && two >= 1 && two <= groups) {
        group(two);
        i += 2;
      } else if (one >= 1 && one <= groups) {
        group(one);
        i += 1;
      } else {
        out += c;
      }
    } else {
      out += c;
    }
  }
}

class BuiltinMatches final : public IRegexMatches {
 public:
  BuiltinMatches(std::shared_ptr<const Regex> regex, bool global, Text subject)
      : regex_(std::move(regex)), global_(global), subject_(std::move(subject)) {}

  int Count() const noexcept override { return static_cast<int>(Results().size()); }

  Text Value(int match) const noexcept override {
    const Found* f = At(match);
    if (!f) return {};
    return Slice(f->position, f->length);
  }

  int GroupCount(int match) const noexcept override {
    const Found* f = At(match);
    return f ? static_cast<int>(f->groups.size()) : 0;
  }

  Text GroupValue(int match, int group) const noexcept override {
    const Found* f = At(match);
    if (!f || group < 0 || static_cast<std::size_t>(group) >= f->groups.size()) return {};
    const auto& [pos, len] = f->groups[static_cast<std::size_t>(group)];
    return pos < 0 ? Text{} : Slice(pos, len);
  }

 private:
  // Matching waits for the first question: HtmlToText executes only to replace afterwards,
  // and on a large page the matches it never reads would cost as much as the replacement.
  const std::vector<Found>& Results() const noexcept {
    if (!results_) {
      try {
        wide_ = Widen(subject_);
        results_ = FindAll(*regex_, wide_, global_);
      } catch (...) {
        results_.emplace();
      }
    }
    return *results_;
  }

  const Found* At(int match) const noexcept {
    const auto& all = Results();
    if (match < 0 || static_cast<std::size_t>(match) >= all.size()) return nullptr;
    return &all[static_cast<std::size_t>(match)];
  }

  Text Slice(std::ptrdiff_t position, std::ptrdiff_t length) const noexcept {
    try {
      return Narrow(wide_.begin() + position, wide_.begin() + position + length);
    } catch (...) {
      return {};
    }
  }

  std::shared_ptr<const Regex> regex_;
  bool global_;
  Text subject_;
  mutable Wide wide_;
  mutable std::optional<std::vector<Found>> results_;
};

class BuiltinPattern final : public IRegexPattern {
 public:
  BuiltinPattern(Text pattern, std::shared_ptr<const Regex> regex, bool global)
      : pattern_(std::move(pattern)), regex_(std::move(regex)), global_(global) {}

  Text Pattern() const noexcept override {
    try {
      return pattern_;
    } catch (...) {
      return {};
    }
  }

  std::shared_ptr<const IRegexMatches> Execute(const Text& subject) const noexcept override {
    if (!regex_) return nullptr;
    try {
      return std::make_shared<BuiltinMatches>(regex_, global_, subject);
    } catch (...) {
      return nullptr;
    }
  }

  Text Replace(const Text& subject, const Text& replacement) const noexcept override {
    if (!regex_) return {};
    try {
      const Wide wide = Widen(subject);
      const Wide with = Widen(replacement);
      Wide out;
      out.reserve(wide.size());
      std::size_t done = 0;
      for (const Found& f : FindAll(*regex_, wide, global_)) {
        out.append(wide, done, static_cast<std::size_t>(f.position) - done);
        AppendReplacement(out, with, wide, f);
        done = static_cast<std::size_t>(f.position + f.length);
      }
      out.append(wide, done);
      return Narrow(out.begin(), out.end());
    } catch (...) {
      return {};
    }
  }

 private:
  Text pattern_;
  std::shared_ptr<const Regex> regex_;  // null: the pattern was rejected
  bool global_;
};

class BuiltinEngine final : public IRegexEngine {
 public:
  bool PrepareThread() noexcept override { return false; }
  void ReleaseThread() noexcept override {}

  std::shared_ptr<const IRegexPattern> Create(const Text& pattern,
                                              const RegexOptions& options) noexcept override {
    try {
      std::shared_ptr<const Regex> regex;
      try {
        boost::regex_constants::syntax_option_type flags = boost::regex_constants::ECMAScript;
        if (options.ignoreCase) flags |= boost::regex_constants::icase;
        if (!options.multiline) flags |= boost::regex_constants::no_mod_m;
        regex = std::make_shared<const Regex>(TranslatePattern(Widen(pattern)), flags);
      } catch (const std::bad_alloc&) {
        throw;
      } catch (...) {
        // Rejected pattern: the object still exists, as the automation object's would.
      }
      return std::make_shared<BuiltinPattern>(pattern, std::move(regex), options.global);
    } catch (...) {
      return nullptr;
    }
  }
};

std::atomic<IRegexEngine*> installedEngine{nullptr};

}  // namespace

std::unique_ptr<IRegexEngine> MakeBuiltinRegexEngine() { return std::make_unique<BuiltinEngine>(); }

IRegexEngine& DefaultRegexEngine() noexcept {
  static BuiltinEngine builtin;
  IRegexEngine* engine = installedEngine.load(std::memory_order_acquire);
  return engine ? *engine : builtin;
}

void SetDefaultRegexEngine(IRegexEngine* engine) noexcept {
  installedEngine.store(engine, std::memory_order_release);
}

}  // namespace zelv
