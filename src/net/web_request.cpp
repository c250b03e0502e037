#include "net/web_request.h"

#include <array>
#include <climits>

#include "text/text_rules.h"

namespace zelv {
namespace {

constexpr std::array<const char*, 8> kVerbs = {"GET",     "POST",   "HEAD",  "PUT",
                                               "OPTIONS", "DELETE", "TRACE", "CONNECT"};
constexpr std::uint32_t kFlagReloadNeedFile = 0x80000010;
constexpr std::uint32_t kFlagNoCookies = 0x80000;
constexpr std::uint32_t kFlagNoAutoRedirect = 0x200000;
constexpr std::uint32_t kFlagSecure = 0x800000;
constexpr std::uint32_t kFlagIgnoreRedirectToHttps = 0x4000;
constexpr std::size_t kReadChunkBytes = 1024;
constexpr std::uint32_t kRawHeaderBufferBytes = 5000;

int MethodIndex(int method) { return method >= 0 && method <= 7 ? method : 0; }

bool Contains(const Text& text, const Text& sought, bool ignoreCase) {
  return FindText(text, sought, std::nullopt, ignoreCase) != -1;
}

Text UserAgent(const Text& headers) {
  if (!Contains(headers, "User-Agent:", true)) return kDefaultUserAgent;
  Text agent = TrimText(TextBetween(headers + "\r\n", "User-Agent:", "\r\n"));
  if (agent.empty()) agent = ValueAfterColon(headers);
  return agent;
}

Text CompleteHeaders(Text headers, const Text& url, int method) {
  if (headers.empty()) headers = "Accept: */*";
  if (!Contains(headers, "Accept:", true)) headers += "\r\nAccept: */*";
  if (!Contains(headers, "Referer:", true)) headers += "\r\nReferer: " + url;
  if (!Contains(headers, "Accept-Language:", true)) headers += "\r\nAccept-Language: zh-cn";
  if (method == 1 && !Contains(headers, "Content-Type:", true)) {
    headers += "\r\nContent-Type: application/x-www-form-urlencoded";
  }
  return headers;
}

// The leading decimal digits of a text, 0 when there are none.
int LeadingNumber(const Text& text) {
  long long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > INT_MAX) return 0;
  }
  return static_cast<int>(value);
}

Text JoinItems(const std::vector<Text>& items, const Text& separator) {
  Text joined;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) joined += separator;
    joined += items[i];
  }
  return joined;
}

Text EndItemsEvenly(Text text) {
  text = TrimText(text);
  if (!text.empty() && text.back() == ';') text += ' ';
  return text;
}

}  // namespace

RequestPlan PlanRequest(const Text& url, const WebRequestOptions& options) {
  RequestPlan plan;
  Text headers = options.extraHeaders;
  if (options.normaliseNames) headers = NormaliseHeaderNames(headers);
  const int method = MethodIndex(options.method);
  plan.verb = kVerbs[method];
  plan.secure = ToLowerAscii(LeftBytes(url, 8)) == "https://";
  plan.agent = UserAgent(headers);
  plan.host = HostFromUrl(url, false);
  plan.port = PortFromUrl(url);
  plan.path = PathFromUrl(url);

  plan.flags = kFlagReloadNeedFile;
  if (options.cookies != nullptr) plan.flags |= kFlagNoCookies;
  if (options.noRedirect) plan.flags |= kFlagNoAutoRedirect;
  plan.flags |= plan.secure ? kFlagSecure : kFlagIgnoreRedirectToHttps;

  if (!options.proxy.empty()) {
    plan.access = InternetAccess::Proxy;
    if (options.socksProxy) {
      plan.proxy = "SOCKS=" + options.proxy;
    } else {
      plan.proxy = plan.secure ? options.proxy : "http=" + options.proxy;
    }
  }

  if (options.completeHeaders) headers = CompleteHeaders(headers, url, method);
  if (options.cookies != nullptr && !options.cookies->empty()) {
    const Text& cookies = *options.cookies;
    headers += Contains(cookies, "Cookie:", false) ? "\r\n" + cookies : "\r\nCookie: " + cookies;
  }
  plan.headers = headers;
  return plan;
}

Bytes WebRequest(IInternet& internet, const Text& url, const WebRequestOptions& options) {
  const RequestPlan plan = PlanRequest(url, options);
  const InternetHandle session = internet.Open(plan.agent, plan.access, plan.proxy, "");
  if (session == 0) return {};
  const InternetHandle connection = internet.Connect(session, plan.host, plan.port, kInternetServiceHttp);
  if (connection == 0) {
    internet.Close(session);
    return {};
  }
  const InternetHandle request =
      internet.OpenRequest(connection, plan.verb, plan.path, "HTTP/1.1", plan.flags);
  if (request == 0) {
    internet.Close(connection);
    internet.Close(session);
    return {};
  }
  (void)internet.SetSecurityFlags(request, kIgnoreCertificateProblems);

  Bytes body;
  if (MethodIndex(options.method) != 0) {
    if (options.postBytes != nullptr) {
      if (options.postBytes->empty()) *options.postBytes = options.postText;
      body = *options.postBytes;
    } else {
      body = options.postText;
    }
  }
  (void)internet.SendRequest(request, plan.headers, body);

  Bytes response;
  for (;;) {
    const Bytes chunk = internet.ReadChunk(request, kReadChunkBytes);
    if (chunk.empty()) break;
    response += chunk;
  }

  RawHeaders raw = internet.QueryRawHeaders(request, kRawHeaderBufferBytes);
  // A long header block (many cookies) does not fit the first buffer; ask again with the size
  // the platform named instead of losing every cookie in it.
  if (!raw.ok && raw.needed > kRawHeaderBufferBytes) raw = internet.QueryRawHeaders(request, raw.needed);
  const Text rawHeaders = raw.ok ? raw.headers : Text();

  internet.Close(request);
  internet.Close(connection);
  internet.Close(session);

  if (options.returnedHeaders != nullptr) *options.returnedHeaders = rawHeaders;
  Text returned = CookiesFromHeaders(rawHeaders);
  if (options.mergeCookies && options.cookies != nullptr) returned = MergeCookies(*options.cookies, returned);
  if (options.returnedCookies != nullptr) *options.returnedCookies = returned;
  return response;
}

Text CookiesFromHeaders(const Text& rawHeaders) {
  Text cookies;
  for (const Text& line : SplitText(rawHeaders, "\r\n")) {
    if (TextBefore(line, ": ") != "Set-Cookie") continue;
    if (Contains(line, ";", false)) {
      cookies += TrimText(TextBetween(line, "Set-Cookie:", ";"));
    } else {
      cookies += TrimText(ReplaceText(line, "Set-Cookie:", "", true));
    }
    cookies += "; ";
  }
  if (cookies.size() >= 2) cookies.resize(cookies.size() - 2);
  return cookies;
}

Text MergeCookies(Text& cookies, const Text& newCookies) {
  const std::vector<Text> oldItems = SplitText(EndItemsEvenly(cookies), "; ");
  std::vector<Text> items = SplitText(EndItemsEvenly(newCookies), "; ");
  const std::vector<Text> newItems = items;
  for (const Text& item : oldItems) {
    if (!HasCookieName(newItems, CookieName(item))) items.push_back(item);
  }
  Text merged;
  for (const Text& item : items) {
    if (RightBytes(item, 8) == "=deleted") continue;
    merged += item + "; ";
  }
  if (merged.size() >= 2) merged.resize(merged.size() - 2);
  cookies = RemoveDuplicateItems(merged, "; ");
  return cookies;
}

Text CapitaliseFirst(const Text& text) {
  if (text.empty()) return text;
  return ToUpperAscii(text.substr(0, 1)) + text.substr(1);
}

Text NormaliseHeaderNames(const Text& headers) {
  std::vector<Text> kept;
  for (const Text& line : SplitText(headers, "\r\n")) {
    const std::size_t colon = line.find(':');
    if (colon == Text::npos) continue;
    Text name = CapitaliseFirst(line.substr(0, colon));
    for (std::size_t i = 1; i < name.size(); ++i) {
      if (name[i - 1] == '-') name[i] = CapitaliseFirst(name.substr(i, 1))[0];
    }
    kept.push_back(name + line.substr(colon));
  }
  return JoinItems(kept, "\r\n");
}

Text ValueAfterColon(const Text& text) {
  const int colon = FindText(text, ":");
  if (colon == -1) return {};
  return TrimText(text.substr(static_cast<std::size_t>(colon)));
}

Text HostFromUrl(const Text& url, bool keepPort) {
  Text lower = ToLowerAscii(url);
  if (lower.empty() || lower.back() != '/') lower += '/';
  Text scheme = "https://";
  if (LeftBytes(lower, 8) != scheme) {
    if (!Contains(lower, "http://", false)) lower = "http://" + lower;
    scheme = "http://";
  }
  Text host = TextBetween(lower, scheme, "/");
  if (!keepPort) {
    const int colon = FindText(host, ":");
    if (colon != -1) host = LeftBytes(host, colon - 1);
  }
  return host;
}

int PortFromUrl(const Text& url) {
  const Text host = HostFromUrl(url, true);
  const int colon = FindTextBackward(host, ":");
  if (colon != -1) return LeadingNumber(host.substr(static_cast<std::size_t>(colon)));
  return ToLowerAscii(LeftBytes(url, 5)) == "https" ? 443 : 80;
}

Text PathFromUrl(const Text& url) {
  const int hostAt = FindText(url, HostFromUrl(url, false), 1, true);
  const int slash = FindText(url, "/", hostAt);
  if (slash == -1) return "/";
  return url.substr(static_cast<std::size_t>(slash - 1));
}

Text CookieName(const Text& item) {
  const int equals = FindText(item, "=");
  return TrimText(equals == -1 ? item : LeftBytes(item, equals - 1));
}

bool HasCookieName(const std::vector<Text>& items, const Text& name) {
  for (const Text& item : items) {
    if (CookieName(item) == name) return true;
  }
  return false;
}

Text RemoveDuplicateItems(const Text& text, const Text& separator) {
  std::vector<Text> kept;
  for (const Text& item : SplitText(text, separator)) {
    if (IndexOfText(kept, item) == -1) kept.push_back(item);
  }
  return JoinItems(kept, separator);
}

int IndexOfText(const std::vector<Text>& items, const Text& text) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == text) return static_cast<int>(i) + 1;
  }
  return -1;
}

}  // namespace zelv
