#include "text/path_split.h"

#include <cstddef>
#include <optional>

namespace zelv {

PathSplit SplitAtLastBackslash(const Text& path) {
  // Walk from the start: only a forward scan knows which bytes are lead bytes.
  std::optional<std::size_t> last;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const auto byte = static_cast<unsigned char>(path[i]);
    if (byte >= 0x80) {
      ++i;  // the trail byte belongs to this character, whatever its value
    } else if (byte == '\\') {
      last = i;
    }
  }
  if (!last) return {path, Text{}};
  return {path.substr(0, *last), path.substr(*last + 1)};
}

}  // namespace zelv
