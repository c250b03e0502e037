#pragma once
// An in-memory network: answers requests from a table of scripted responses, records every
// WinINet-shaped call and the handles it hands out, and can fail any step.
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

#include "fakes/call_log.h"
#include "platform/internet.h"

namespace zelv::fakes {

struct FakeResponse {
  Bytes body;
  Text rawHeaders = "HTTP/1.1 200 OK\r\n\r\n";
};

// What one request carried, as the transport saw it.
struct SentRequest {
  Text agent;
  InternetAccess access = InternetAccess::Direct;
  Text proxy;
  Text bypass;
  Text host;
  int port = 0;
  std::uint32_t service = 0;
  Text verb;
  Text path;
  Text version;
  std::uint32_t flags = 0;
  std::optional<std::uint32_t> securityFlags;
  Text headers;
  Bytes body;
  std::vector<std::uint32_t> headerBufferSizes;  // each raw-header query's buffer
};

class FakeInternet final : public IInternet {
 public:
  explicit FakeInternet(CallLog* log = nullptr) : log_(log != nullptr ? log : &ownLog_) {}

  // --- IInternet
  bool CheckConnection(const Text& url, std::uint32_t flags) override;
  InternetHandle Open(const Text& agent, InternetAccess access, const Text& proxy,
                      const Text& bypass) override;
  InternetHandle Connect(InternetHandle internet, const Text& host, int port, std::uint32_t service) override;
  InternetHandle OpenRequest(InternetHandle connection, const Text& verb, const Text& path,
                             const Text& version, std::uint32_t flags) override;
  bool SetSecurityFlags(InternetHandle request, std::uint32_t flags) override;
  bool SendRequest(InternetHandle request, const Text& headers, const Bytes& body) override;
  Bytes ReadChunk(InternetHandle request, std::size_t maxBytes) override;
  RawHeaders QueryRawHeaders(InternetHandle request, std::uint32_t bufferSize) override;
  void Close(InternetHandle handle) override;
  std::optional<Bytes> ReadUrl(const Text& url) override;

  // --- scripting (set up before the code under test runs)
  bool connectionAvailable = true;  // what CheckConnection answers
  bool failOpen = false;
  bool failConnect = false;
  bool failOpenRequest = false;
  // Responses by "host:port path"; a request for anything else gets 404 and no body.
  std::map<Text, FakeResponse> responses;
  // What ReadUrl gives, by URL; any other URL cannot be read.
  std::map<Text, std::optional<Bytes>> pages;
  // While set, CheckConnection blocks until Release() (a network that stalls).
  void Stall();
  void Release();
  // Returns once a call is blocked in a stall.
  void WaitUntilStalled();

  // --- inspection
  [[nodiscard]] CallLog& log() { return *log_; }
  [[nodiscard]] std::vector<SentRequest> sent() const;
  [[nodiscard]] std::vector<Text> checkedUrls() const;
  [[nodiscard]] std::vector<Text> readUrls() const;
  // Handles opened and not yet closed.
  [[nodiscard]] std::size_t openHandles() const;

 private:
  struct Request {
    std::size_t sentIndex = 0;
    Bytes unread;
    Text rawHeaders;
  };
  void Record(std::string entry);

  CallLog ownLog_;
  CallLog* log_;
  mutable std::mutex mutex_;
  std::condition_variable stallChanged_;
  bool stalled_ = false;
  bool someoneStalled_ = false;
  InternetHandle nextHandle_ = 100;
  std::set<InternetHandle> open_;
  std::map<InternetHandle, std::size_t> sessions_;     // internet handle -> pending request index
  std::map<InternetHandle, std::size_t> connections_;  // connection -> request index
  std::map<InternetHandle, Request> requests_;
  std::vector<SentRequest> sent_;
  std::vector<Text> checkedUrls_;
  std::vector<Text> readUrls_;
};

}  // namespace zelv::fakes
