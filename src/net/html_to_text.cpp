#include "net/html_to_text.h"

namespace zelv {
Text HtmlToText(const Text& html) { return html; }
}  // namespace zelv
