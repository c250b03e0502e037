// The web request and the update page read through real WinINet, against the local test
// server (tests/e2e/web_server.py): what goes out on the wire, what comes back, certificates,
// and servers that misbehave.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "driver.h"
#include "net/update_check.h"
#include "net/web_request.h"
#include "platform/win32/backends.h"
#include "test_certificate.h"

namespace zelv::win32 {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

[[maybe_unused]] const auto* const kTrust =
    ::testing::AddGlobalTestEnvironment(new e2e::TrustTestCertificateForRun);

// The marker a probe site's home page carries, as UTF-8 bytes ("百度一下").
constexpr char kMarker[] = "\xe7\x99\xbe\xe5\xba\xa6\xe4\xb8\x80\xe4\xb8\x8b";

class LocalServer : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto http = e2e::Env("ZELV_TEST_HTTP_PORT");
    const auto https = e2e::Env("ZELV_TEST_HTTPS_PORT");
    const auto untrusted = e2e::Env("ZELV_TEST_UNTRUSTED_PORT");
    const auto www = e2e::Env("ZELV_TEST_WWW");
    if (!http || !https || !untrusted || !www) GTEST_SKIP() << "the local test server is not running";
    http_ = "http://127.0.0.1:" + *http;
    https_ = "https://localhost:" + *https;
    untrusted_ = "https://localhost:" + *untrusted;
    // WinINet (Wine's at least) remembers per server that certificate problems were ignored
    // once, so the requests that ignore them use another name for the same server.
    untrustedIgnored_ = "https://127.0.0.1:" + *untrusted;
    www_ = *www;
    ASSERT_TRUE(e2e::TrustTestCertificateForRun::certificate()->trusted())
        << e2e::TrustTestCertificateForRun::certificate()->error();
  }
  void TearDown() override {
    for (const fs::path& file : written_) fs::remove(file);
  }

  void Serve(const std::string& name, const std::string& bytes) {
    const fs::path file = www_ / name;
    std::ofstream(file, std::ios::binary) << bytes;
    written_.push_back(file);
  }

  std::unique_ptr<IInternet> internet_ = MakeInternet();
  std::string http_, https_, untrusted_, untrustedIgnored_;
  fs::path www_;
  std::vector<fs::path> written_;
};

std::string Repeat(const std::string& part, int times) {
  std::string all;
  for (int i = 0; i < times; ++i) all += part;
  return all;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(LocalServer, WebRequestSendsTheRequestItWasGivenOverHttpAndOverHttpsWithABadCertificate) {
  for (const std::string& base : {http_, untrustedIgnored_}) {
    SCOPED_TRACE(base);
    const std::string url = base + "/echo?format=text";
    Text cookies = "sid=42; lang=zh";
    WebRequestOptions options;
    options.method = 1;
    options.postText = "a=1&b=two";
    options.cookies = &cookies;
    options.extraHeaders = "x-zelv: yes\r\nuser-agent: ZelvTest/2";
    const std::string echo = WebRequest(*internet_, url, options);

    EXPECT_EQ(echo.rfind("POST /echo?format=text HTTP/1.1\r\n", 0), 0u) << echo;
    for (const char* line : {"User-Agent: ZelvTest/2\n", "X-Zelv: yes\n", "Cookie: sid=42; lang=zh\n",
                             "Accept: */*\n", "Accept-Language: zh-cn\n",
                             "Content-Type: application/x-www-form-urlencoded\n", "Content-Length: 9\n"}) {
      EXPECT_TRUE(Has(echo, line)) << "missing " << line << " in\n" << echo;
    }
    EXPECT_TRUE(Has(echo, "Referer: " + url + "\n")) << echo;
    EXPECT_EQ(echo.substr(echo.size() - 9), "a=1&b=two");
  }
}

TEST_F(LocalServer, WebRequestReadsBodyRawHeadersAndCookies) {
  Text cookies = "a=0; x=9";
  Text returned, headers;
  WebRequestOptions options;
  options.cookies = &cookies;
  options.returnedCookies = &returned;
  options.returnedHeaders = &headers;
  const std::string body = WebRequest(*internet_, http_ + "/cookie?x=1&y=2", options);

  EXPECT_EQ(body, "cookies set\n");
  EXPECT_EQ(headers.rfind("HTTP/1.1 200", 0), 0u) << headers;
  EXPECT_TRUE(Has(headers, "\r\nSet-Cookie: x=1; Path=/\r\n")) << headers;
  EXPECT_EQ(returned, "x=1; y=2; a=0");
  EXPECT_EQ(cookies, "x=1; y=2; a=0");
}

TEST_F(LocalServer, WebRequestKeepsTheCookiesOfAHeaderBlockLongerThanTheFirstBuffer) {
  std::string query, expected;
  for (int i = 0; i < 60; ++i) {
    // Appended piece by piece: GCC 12 warns falsely about "literal" + std::string here.
    std::string item = "c";
    item += std::to_string(i);
    item += '=';
    item.append(90, static_cast<char>('a' + i % 26));
    query += (i ? "&" : "") + item;
    expected += (i ? "; " : "") + item;
  }
  Text returned, headers;
  WebRequestOptions options;
  options.returnedCookies = &returned;
  options.returnedHeaders = &headers;
  (void)WebRequest(*internet_, http_ + "/cookie?" + query, options);
  EXPECT_GT(headers.size(), 5000u);
  EXPECT_EQ(returned, expected);
}

// The update page decides the download address shown, so only a page from a server whose
// certificate checks out, read whole and with status 200, counts.
TEST_F(LocalServer, UpdatePageIsReadOnlyWhole_FromATrustedHttpsServer) {
  Serve("page.html", "<p>page</p>");
  constexpr std::size_t kLimit = kMaxUpdatePageBytes;
  struct Case {
    std::string name, url;
    bool readable;
    std::size_t size;
  } cases[] = {
      {"trusted https", https_ + "/page.html", true, 11},
      {"untrusted certificate", untrusted_ + "/page.html", false, 0},
      {"plain http", http_ + "/page.html", false, 0},
      {"redirect to plain http", https_ + "/redirect?to=" + http_ + "/page.html", false, 0},
      {"redirect to https", https_ + "/redirect?to=" + https_ + "/page.html", true, 11},
      {"relative redirect", https_ + "/redirect?to=/page.html", true, 11},
      {"endless redirects", https_ + Repeat("/redirect?to=", 6) + "/page.html", false, 0},
      {"not found", https_ + "/absent.html", false, 0},
      {"server error", https_ + "/status/500", false, 0},
      {"exactly the limit", https_ + "/size/" + std::to_string(kLimit), true, kLimit},
      {"one byte over the limit", https_ + "/size/" + std::to_string(kLimit + 1), false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto page = internet_->ReadUrl(c.url);
    ASSERT_EQ(page.has_value(), c.readable);
    if (c.readable) {
      EXPECT_EQ(page->size(), c.size);
    }
  }
  EXPECT_EQ(internet_->ReadUrl(https_ + "/page.html").value_or(""), "<p>page</p>");
}

TEST_F(LocalServer, ProbeNeedsAConnectionAndTheMarkerOnTheHomePage) {
  EXPECT_TRUE(internet_->CheckConnection(https_, kFlagIccForceConnection));
  EXPECT_FALSE(internet_->CheckConnection("http://127.0.0.1:1", kFlagIccForceConnection));

  // The probe site is served with a certificate nobody trusts: the probe ignores that.
  UpdateEndpoints endpoints{https_ + "/update.html", untrustedIgnored_, kMarker};
  Serve("index.html", std::string("<html><body><button>") + kMarker + "</button></body></html>");
  EXPECT_TRUE(ProbeInternet(*internet_, endpoints));
  // A network that answers with a page of its own is no connection to the internet.
  Serve("index.html", "<html><body>Please log in to the hotel network</body></html>");
  EXPECT_FALSE(ProbeInternet(*internet_, endpoints));
  endpoints.probeSiteUrl = "https://127.0.0.1:1";
  EXPECT_FALSE(ProbeInternet(*internet_, endpoints));
}

// An abandoned check must end by itself: a server that accepts and never answers gives up
// within the network time-outs.
TEST_F(LocalServer, AStalledServerEndsBothKindsOfRequestWithinTheTimeouts) {
  Serve("slow.html", "never sent");
  Serve("slow.html.stall", "");
  // Detached, so a request that never ends fails the test instead of hanging it.
  using Result = std::pair<bool, Clock::duration>;
  auto timed = [](std::function<bool()> request) {
    auto promise = std::make_shared<std::promise<Result>>();
    std::future<Result> future = promise->get_future();
    std::thread([promise, request] {
      const auto start = Clock::now();
      const bool gotSomething = request();
      promise->set_value({gotSomething, Clock::now() - start});
    }).detach();
    return future;
  };
  const std::string stall = http_ + "/stall", slowPage = https_ + "/slow.html";
  auto web = timed([stall] { return !WebRequest(*MakeInternet(), stall).empty(); });
  auto page = timed([slowPage] { return MakeInternet()->ReadUrl(slowPage).has_value(); });
  constexpr auto kBound = std::chrono::milliseconds(3 * kNetworkTimeoutMs);
  for (auto* result : {&web, &page}) {
    ASSERT_EQ(result->wait_for(kBound), std::future_status::ready) << "still waiting after the bound";
    const auto [gotSomething, took] = result->get();
    EXPECT_FALSE(gotSomething);
    std::printf("stalled request ended after %.1f s\n", std::chrono::duration<double>(took).count());
  }
}

}  // namespace
}  // namespace zelv::win32
