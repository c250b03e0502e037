#pragma once
#include "platform/types.h"
namespace zelv {
// A web page with its scripts, styles, tags and entities removed.
[[nodiscard]] Text HtmlToText(const Text& html);
}  // namespace zelv
