#pragma once
// Pages of the sizes the update check may meet: a large ordinary page, and one whose bulk is
// a single script block (a bundled web application), the case that breaks recursive engines.
#include <string>

namespace zelv::bench {

inline std::string OrdinaryPage(std::size_t bytes) {
  const std::string head =
      "<!DOCTYPE html><html><head><style>body{margin:0}\n.a{color:#333}</style>"
      "<script>var cfg = {a: 1, b: \"<b>\"};</script></head><body>\n";
  const std::string chunk =
      "<div class=\"item\"><a href=\"/x?id=1&amp;b=2\">链接文字 text</a>&nbsp;"
      "<span style=\"c\">正文内容 1.0</span></div>\r\n";
  std::string page = head;
  while (page.size() + chunk.size() < bytes) page += chunk;
  return page + "<p>~ABCD~</p></body></html>";
}

inline std::string ScriptBlockPage(std::size_t scriptBytes) {
  std::string script;
  script.reserve(scriptBytes);
  const std::string line = "var a=1;if(a<2&&b>3){f(\"<div>\");}\n";
  while (script.size() + line.size() < scriptBytes) script += line;
  return "<html><body><p>版本 ~ABCD~</p><script type=\"text/javascript\">" + script +
         "</script><p>-EF-</p></body></html>";
}

}  // namespace zelv::bench
