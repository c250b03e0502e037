#include "net/html_to_text.h"

#include "text/regex_object.h"

namespace zelv {

Text HtmlToText(const Text& html) {
  RegexObject regex;
  // Compile's answer is not needed: a failed compile leaves Replace giving the empty text.
  (void)regex.Compile("<script[\\s\\S]*?</script>|<style[\\s\\S]*?</style>|<[^>]+>|&.{1,8};", html);
  Text text = regex.Replace("");
  regex.Destroy();
  return text;
}

}  // namespace zelv
