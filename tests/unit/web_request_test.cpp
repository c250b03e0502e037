#include "net/web_request.h"

#include <gtest/gtest.h>

#include "fakes/fake_internet.h"

namespace zelv {
namespace {

using fakes::FakeInternet;
using fakes::FakeResponse;

struct UrlCase {
  const char* url;
  const char* host;
  int port;
  const char* path;
  bool secure;
};

TEST(WebRequestBuilding, UrlPieces) {
  const UrlCase cases[] = {
      {"https://example.com", "example.com", 443, "/", true},
      {"http://WWW.Example.COM:8080/Path/Q?X=Y&b=1", "www.example.com", 8080, "/Path/Q?X=Y&b=1", false},
      {"example.com/a", "example.com", 80, "/a", false},
      {"HTTPS://Host.cn/x", "host.cn", 443, "/x", true},
      {"http://host.cn:/p", "host.cn", 0, "/p", false},
  };
  for (const UrlCase& c : cases) {
    const RequestPlan plan = PlanRequest(c.url, {});
    EXPECT_EQ(plan.host, c.host) << c.url;
    EXPECT_EQ(plan.port, c.port) << c.url;
    EXPECT_EQ(plan.path, c.path) << c.url;
    EXPECT_EQ(plan.secure, c.secure) << c.url;
  }
  EXPECT_EQ(HostFromUrl("http://WWW.Example.COM:8080/p", true), "www.example.com:8080");
}

TEST(WebRequestBuilding, FlagsVerbsAndDefaultHeaders) {
  const RequestPlan secure = PlanRequest("https://a.cn", {});
  EXPECT_EQ(secure.flags, 0x80800010u);
  EXPECT_EQ(secure.verb, "GET");
  EXPECT_EQ(secure.agent, kDefaultUserAgent);
  EXPECT_EQ(secure.headers, "Accept: */*\r\nReferer: https://a.cn\r\nAccept-Language: zh-cn");

  WebRequestOptions options;
  options.noRedirect = true;
  Text cookies;
  options.cookies = &cookies;
  const RequestPlan plain = PlanRequest("http://a.cn/", options);
  EXPECT_EQ(plain.flags, 0x80000010u | 0x80000u | 0x200000u | 0x4000u);
  // Given but empty: no Cookie line, yet WinINet's own cookies are off.
  EXPECT_EQ(plain.headers.find("Cookie"), Text::npos);

  for (int method : {9, -1, 8}) {
    WebRequestOptions m;
    m.method = method;
    EXPECT_EQ(PlanRequest("http://a.cn/", m).verb, "GET") << method;
  }
  const char* verbs[] = {"GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE", "CONNECT"};
  for (int method = 0; method < 8; ++method) {
    WebRequestOptions m;
    m.method = method;
    EXPECT_EQ(PlanRequest("http://a.cn/", m).verb, verbs[method]);
  }
}

TEST(WebRequestBuilding, ExtraHeadersAgentAndCookies) {
  WebRequestOptions options;
  options.extraHeaders = "user-agent:  Probe/2 \r\nno colon here\r\nx-custom-name: v";
  RequestPlan plan = PlanRequest("http://a.cn/", options);
  EXPECT_EQ(plan.agent, "Probe/2");
  EXPECT_EQ(plan.headers,
            "User-Agent:  Probe/2 \r\nX-Custom-Name: v\r\nAccept: */*\r\nReferer: http://a.cn/\r\n"
            "Accept-Language: zh-cn");

  Text cookies = "a=1; b=2";
  options = {};
  options.extraHeaders = "Accept: text/html\r\nreferer: x\r\nAccept-language: en";
  options.cookies = &cookies;
  plan = PlanRequest("http://a.cn/", options);
  EXPECT_EQ(plan.headers, "Accept: text/html\r\nReferer: x\r\nAccept-Language: en\r\nCookie: a=1; b=2");
  cookies = "Cookie: a=1";
  EXPECT_EQ(PlanRequest("http://a.cn/", options).headers.substr(plan.headers.find("\r\nCookie")),
            "\r\nCookie: a=1");

  // Without normalising, a lower-case agent line is found ignoring case but not cut out.
  options = {};
  options.normaliseNames = false;
  options.completeHeaders = false;
  options.extraHeaders = "user-agent: Lower";
  EXPECT_EQ(PlanRequest("http://a.cn/", options).agent, "Lower");
  EXPECT_EQ(PlanRequest("http://a.cn/", options).headers, "user-agent: Lower");
}

TEST(WebRequestBuilding, ProxyKinds) {
  WebRequestOptions options;
  options.proxy = "10.0.0.1:8080";
  EXPECT_EQ(PlanRequest("http://a.cn/", options).proxy, "http=10.0.0.1:8080");
  EXPECT_EQ(PlanRequest("https://a.cn/", options).proxy, "10.0.0.1:8080");
  options.socksProxy = true;
  EXPECT_EQ(PlanRequest("https://a.cn/", options).proxy, "SOCKS=10.0.0.1:8080");
  EXPECT_EQ(PlanRequest("https://a.cn/", options).access, InternetAccess::Proxy);
  EXPECT_EQ(PlanRequest("https://a.cn/", {}).access, InternetAccess::Direct);
}

TEST(WebRequestHelpers, NormaliseAndSmallHelpers) {
  EXPECT_EQ(NormaliseHeaderNames("content-type: a-b\r\nx-aB-c:v\r\n\r\nbad"),
            "Content-Type: a-b\r\nX-AB-C:v");
  EXPECT_EQ(NormaliseHeaderNames(""), "");
  EXPECT_EQ(CapitaliseFirst("ab"), "Ab");
  EXPECT_EQ(CapitaliseFirst(""), "");
  EXPECT_EQ(ValueAfterColon("Name:  v: w "), "v: w");
  EXPECT_EQ(ValueAfterColon("none"), "");
  EXPECT_EQ(RemoveDuplicateItems("a; b; a; c; b", "; "), "a; b; c");
  EXPECT_EQ(IndexOfText({"x", "y"}, "y"), 2);
  EXPECT_EQ(IndexOfText({"x", "y"}, "z"), -1);
  EXPECT_EQ(CookieName(" sid = 1"), "sid");
  EXPECT_EQ(CookieName("flag"), "flag");
  EXPECT_TRUE(HasCookieName({"a=1", "b=2"}, "b"));
  EXPECT_FALSE(HasCookieName({"a=1", "bb=2"}, "b"));
}

TEST(WebResponseReading, SetCookieValues) {
  EXPECT_EQ(CookiesFromHeaders("HTTP/1.1 200 OK\r\nSet-Cookie: a=1; Path=/\r\nSet-Cookie: a=2\r\n"
                               "set-cookie: c=3\r\nX-Set-Cookie: d=4\r\n\r\n"),
            "a=1; a=2");
  EXPECT_EQ(CookiesFromHeaders("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n"), "");
  EXPECT_EQ(CookiesFromHeaders(""), "");
}

TEST(WebResponseReading, MergeCookies) {
  Text cookies = "a=1; b=2";
  EXPECT_EQ(MergeCookies(cookies, "b=3; c=deleted"), "b=3; a=1");
  EXPECT_EQ(cookies, "b=3; a=1");
  cookies = " x=1; ";
  EXPECT_EQ(MergeCookies(cookies, "y=2;"), "y=2; x=1");
  cookies = "";
  EXPECT_EQ(MergeCookies(cookies, ""), "");
  cookies = "a=1; a=1";
  EXPECT_EQ(MergeCookies(cookies, ""), "a=1");
}

class WebRequestTransport : public ::testing::Test {
 protected:
  FakeInternet net;
};

TEST_F(WebRequestTransport, PostSendsBodyAndMergesCookies) {
  FakeResponse response;
  response.body = Bytes(2500, 'x');
  response.rawHeaders = "HTTP/1.1 200 OK\r\nSet-Cookie: b=9; path=/\r\nSet-Cookie: c=deleted\r\n\r\n";
  net.responses["a.cn:80 /form"] = response;

  Text cookies = "a=1; b=2";
  Text returnedCookies = "old";
  Text returnedHeaders;
  Bytes postBytes;
  WebRequestOptions options;
  options.method = 1;
  options.postText = "q=1";
  options.postBytes = &postBytes;
  options.cookies = &cookies;
  options.returnedCookies = &returnedCookies;
  options.returnedHeaders = &returnedHeaders;
  const Bytes body = WebRequest(net, "http://A.cn/form", options);

  EXPECT_EQ(body, response.body);
  EXPECT_EQ(postBytes, "q=1");
  EXPECT_EQ(cookies, "b=9; a=1");
  EXPECT_EQ(returnedCookies, "b=9; a=1");
  EXPECT_EQ(returnedHeaders, response.rawHeaders);
  const auto sent = net.sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].verb, "POST");
  EXPECT_EQ(sent[0].body, "q=1");
  EXPECT_EQ(sent[0].version, "HTTP/1.1");
  EXPECT_EQ(sent[0].service, kInternetServiceHttp);
  EXPECT_EQ(sent[0].securityFlags, kIgnoreCertificateProblems);
  EXPECT_NE(sent[0].headers.find("\r\nContent-Type: application/x-www-form-urlencoded"), Text::npos);
  EXPECT_NE(sent[0].headers.find("\r\nCookie: a=1; b=2"), Text::npos);
  EXPECT_EQ(net.openHandles(), 0u);
  const auto log = net.log().Entries();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
            (std::vector<std::string>{"Close(request)", "Close(connection)", "Close(internet)"}));
}

TEST_F(WebRequestTransport, GetSendsNoBodyAndGivenPostBytesWin) {
  net.responses["a.cn:80 /"] = {};
  Bytes postBytes = "raw";
  WebRequestOptions options;
  options.postText = "ignored";
  options.postBytes = &postBytes;
  (void)WebRequest(net, "a.cn", options);
  EXPECT_EQ(net.sent()[0].body, "");
  options.method = 3;
  (void)WebRequest(net, "a.cn", options);
  EXPECT_EQ(net.sent()[1].body, "raw");
}

TEST_F(WebRequestTransport, EarlyFailuresCloseWhatWasOpenedAndLeaveOutputs) {
  for (int step = 0; step < 3; ++step) {
    FakeInternet failing;
    failing.failOpen = step == 0;
    failing.failConnect = step == 1;
    failing.failOpenRequest = step == 2;
    Text cookies = "a=1";
    Text returned = "keep";
    Bytes postBytes;
    WebRequestOptions options;
    options.method = 1;
    options.postText = "p";
    options.postBytes = &postBytes;
    options.cookies = &cookies;
    options.returnedCookies = &returned;
    EXPECT_EQ(WebRequest(failing, "http://a.cn/", options), "") << step;
    EXPECT_EQ(cookies, "a=1");
    EXPECT_EQ(returned, "keep");
    EXPECT_EQ(postBytes, "") << "postBytes is filled only once the request is open";
    EXPECT_EQ(failing.openHandles(), 0u) << step;
  }
}

TEST_F(WebRequestTransport, LongHeadersAreReadAgainWithTheAskedSize) {
  FakeResponse response;
  response.rawHeaders = "HTTP/1.1 200 OK\r\nX-Pad: " + Text(6000, 'p') + "\r\nSet-Cookie: s=1\r\n\r\n";
  net.responses["a.cn:443 /"] = response;
  Text returned;
  Text headers;
  WebRequestOptions options;
  options.returnedCookies = &returned;
  options.returnedHeaders = &headers;
  (void)WebRequest(net, "https://a.cn", options);
  EXPECT_EQ(returned, "s=1");
  EXPECT_EQ(headers, response.rawHeaders);
  EXPECT_EQ(net.sent()[0].headerBufferSizes,
            (std::vector<std::uint32_t>{5000u, static_cast<std::uint32_t>(response.rawHeaders.size() + 1)}));
}

}  // namespace
}  // namespace zelv
