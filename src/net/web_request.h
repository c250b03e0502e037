#pragma once
// One complete HTTP or HTTPS exchange: building the request (pure text), the transport
// through IInternet, and reading the cookies out of the response headers (pure text).
#include <cstdint>
#include <vector>

#include "platform/internet.h"
#include "platform/types.h"

namespace zelv {

inline constexpr char kDefaultUserAgent[] = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
// Certificate and redirect problems never stop a web request; the update page does not go
// through here.
inline constexpr std::uint32_t kIgnoreCertificateProblems = 0x1F380;

// The optional parameters. A null pointer is a parameter that was not given: for `cookies`
// that alone changes what is sent.
struct WebRequestOptions {
  int method = 0;                   // index into GET POST HEAD PUT OPTIONS DELETE TRACE CONNECT
  Text postText;                    // the body when postBytes is empty
  Text* cookies = nullptr;          // in: cookies to send; out: merged with the response's
  Text* returnedCookies = nullptr;  // out: cookies set by the response, "; "-joined
  Text extraHeaders;                // "\r\n"-separated request header lines
  Text* returnedHeaders = nullptr;  // out: raw response headers
  bool noRedirect = false;
  Bytes* postBytes = nullptr;  // in: the body; out: receives postText when it was empty
  Text proxy;                  // empty: direct connection
  bool mergeCookies = true;
  bool completeHeaders = true;  // add the default header lines that are missing
  bool normaliseNames = true;   // capitalise the names in extraHeaders first
  bool socksProxy = false;
};

// Everything the transport needs, derived from the URL and the options alone.
struct RequestPlan {
  Text verb;
  bool secure = false;
  Text agent;
  InternetAccess access = InternetAccess::Direct;
  Text proxy;  // as InternetOpenA takes it
  Text host;
  int port = 0;
  Text path;
  std::uint32_t flags = 0;
  Text headers;  // the header text as sent
};

[[nodiscard]] RequestPlan PlanRequest(const Text& url, const WebRequestOptions& options);

// The response body, everything read; empty bytes when no request could be opened, in which
// case the output parameters keep their values.
[[nodiscard]] Bytes WebRequest(IInternet& internet, const Text& url, const WebRequestOptions& options = {});

// The values of the response's Set-Cookie lines, attributes left out, "; "-joined.
[[nodiscard]] Text CookiesFromHeaders(const Text& rawHeaders);
// The new cookies first, then the old ones the new ones do not replace; "=deleted" items and
// repeats dropped. Stored into `cookies` and returned.
Text MergeCookies(Text& cookies, const Text& newCookies);

[[nodiscard]] Text CapitaliseFirst(const Text& text);
[[nodiscard]] Text NormaliseHeaderNames(const Text& headers);
[[nodiscard]] Text ValueAfterColon(const Text& text);
[[nodiscard]] Text HostFromUrl(const Text& url, bool keepPort = false);
[[nodiscard]] int PortFromUrl(const Text& url);
[[nodiscard]] Text PathFromUrl(const Text& url);
[[nodiscard]] Text CookieName(const Text& item);
[[nodiscard]] bool HasCookieName(const std::vector<Text>& items, const Text& name);
[[nodiscard]] Text RemoveDuplicateItems(const Text& text, const Text& separator);
[[nodiscard]] int IndexOfText(const std::vector<Text>& items, const Text& text);

}  // namespace zelv
