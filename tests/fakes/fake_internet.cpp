#include "fakes/fake_internet.h"

#include <algorithm>
#include <string>

namespace zelv::fakes {

void FakeInternet::Record(std::string entry) { log_->Add(std::move(entry)); }

bool FakeInternet::CheckConnection(const Text& url, std::uint32_t flags) {
  Record("CheckConnection(" + url + "," + std::to_string(flags) + ")");
  std::unique_lock lock(mutex_);
  checkedUrls_.push_back(url);
  if (stalled_) {
    someoneStalled_ = true;
    stallChanged_.notify_all();
    stallChanged_.wait(lock, [this] { return !stalled_; });
  }
  return connectionAvailable;
}

InternetHandle FakeInternet::Open(const Text& agent, InternetAccess access, const Text& proxy,
                                  const Text& bypass) {
  Record("Open");
  std::lock_guard lock(mutex_);
  if (failOpen) return 0;
  SentRequest request;
  request.agent = agent;
  request.access = access;
  request.proxy = proxy;
  request.bypass = bypass;
  sent_.push_back(request);
  const InternetHandle handle = nextHandle_++;
  open_.insert(handle);
  sessions_[handle] = sent_.size() - 1;
  return handle;
}

InternetHandle FakeInternet::Connect(InternetHandle internet, const Text& host, int port,
                                     std::uint32_t service) {
  Record("Connect");
  std::lock_guard lock(mutex_);
  if (failConnect || !open_.count(internet) || !sessions_.count(internet)) return 0;
  SentRequest& request = sent_[sessions_[internet]];
  request.host = host;
  request.port = port;
  request.service = service;
  const InternetHandle handle = nextHandle_++;
  open_.insert(handle);
  connections_[handle] = sessions_[internet];
  return handle;
}

InternetHandle FakeInternet::OpenRequest(InternetHandle connection, const Text& verb, const Text& path,
                                         const Text& version, std::uint32_t flags) {
  Record("OpenRequest");
  std::lock_guard lock(mutex_);
  if (failOpenRequest || !open_.count(connection) || !connections_.count(connection)) return 0;
  const std::size_t index = connections_[connection];
  SentRequest& request = sent_[index];
  request.verb = verb;
  request.path = path;
  request.version = version;
  request.flags = flags;
  const InternetHandle handle = nextHandle_++;
  open_.insert(handle);
  requests_[handle].sentIndex = index;
  return handle;
}

bool FakeInternet::SetSecurityFlags(InternetHandle request, std::uint32_t flags) {
  Record("SetSecurityFlags");
  std::lock_guard lock(mutex_);
  if (!requests_.count(request)) return false;
  sent_[requests_[request].sentIndex].securityFlags = flags;
  return true;
}

bool FakeInternet::SendRequest(InternetHandle request, const Text& headers, const Bytes& body) {
  Record("SendRequest");
  std::lock_guard lock(mutex_);
  if (!requests_.count(request)) return false;
  Request& state = requests_[request];
  SentRequest& sent = sent_[state.sentIndex];
  sent.headers = headers;
  sent.body = body;
  const auto found = responses.find(sent.host + ":" + std::to_string(sent.port) + " " + sent.path);
  if (found == responses.end()) {
    state.rawHeaders = "HTTP/1.1 404 Not Found\r\n\r\n";
    return true;
  }
  state.unread = found->second.body;
  state.rawHeaders = found->second.rawHeaders;
  return true;
}

Bytes FakeInternet::ReadChunk(InternetHandle request, std::size_t maxBytes) {
  Record("ReadChunk");
  std::lock_guard lock(mutex_);
  if (!requests_.count(request)) return {};
  Bytes& unread = requests_[request].unread;
  const Bytes chunk = unread.substr(0, std::min(maxBytes, unread.size()));
  unread.erase(0, chunk.size());
  return chunk;
}

RawHeaders FakeInternet::QueryRawHeaders(InternetHandle request, std::uint32_t bufferSize) {
  Record("QueryRawHeaders(" + std::to_string(bufferSize) + ")");
  std::lock_guard lock(mutex_);
  RawHeaders result;
  if (!requests_.count(request)) return result;
  const Request& state = requests_[request];
  sent_[state.sentIndex].headerBufferSizes.push_back(bufferSize);
  // Like WinINet: the buffer must hold the terminating zero too.
  const auto needed = static_cast<std::uint32_t>(state.rawHeaders.size() + 1);
  if (needed > bufferSize) {
    result.needed = needed;
    return result;
  }
  result.ok = true;
  result.headers = state.rawHeaders;
  return result;
}

void FakeInternet::Close(InternetHandle handle) {
  std::lock_guard lock(mutex_);
  std::string kind = "?";
  if (sessions_.count(handle)) kind = "internet";
  if (connections_.count(handle)) kind = "connection";
  if (requests_.count(handle)) kind = "request";
  log_->Add("Close(" + kind + ")");
  open_.erase(handle);
}

std::optional<Bytes> FakeInternet::ReadUrl(const Text& url) {
  Record("ReadUrl(" + url + ")");
  std::lock_guard lock(mutex_);
  readUrls_.push_back(url);
  const auto found = pages.find(url);
  if (found == pages.end()) return std::nullopt;
  return found->second;
}

void FakeInternet::Stall() {
  std::lock_guard lock(mutex_);
  stalled_ = true;
}

void FakeInternet::Release() {
  std::lock_guard lock(mutex_);
  stalled_ = false;
  stallChanged_.notify_all();
}

void FakeInternet::WaitUntilStalled() {
  std::unique_lock lock(mutex_);
  stallChanged_.wait(lock, [this] { return someoneStalled_; });
}

std::vector<SentRequest> FakeInternet::sent() const {
  std::lock_guard lock(mutex_);
  return sent_;
}

std::vector<Text> FakeInternet::checkedUrls() const {
  std::lock_guard lock(mutex_);
  return checkedUrls_;
}

std::vector<Text> FakeInternet::readUrls() const {
  std::lock_guard lock(mutex_);
  return readUrls_;
}

std::size_t FakeInternet::openHandles() const {
  std::lock_guard lock(mutex_);
  return open_.size();
}

}  // namespace zelv::fakes
