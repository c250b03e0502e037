// WinINet behind IInternet. The A functions take the core's texts as they are: the web
// request sends bytes, and its URLs and headers are ASCII in practice.
#include <memory>
#include <string>

#include "platform/codepage.h"
#include "platform/internet.h"
#include "platform/win32/backends.h"
#include "platform/win32/handles.h"

namespace zelv::win32 {
namespace {

HINTERNET H(InternetHandle handle) { return reinterpret_cast<HINTERNET>(handle); }
InternetHandle Id(HINTERNET handle) { return reinterpret_cast<InternetHandle>(handle); }

// Without these a silent server holds the worker for WinINet's defaults (minutes, or for
// ever on some systems), and an abandoned check would never end. They are set on every
// handle, not just the session: not every WinINet passes a session's time-outs down to the
// requests made under it (Wine's does not).
void ApplyTimeouts(HINTERNET handle) {
  DWORD ms = kNetworkTimeoutMs;
  for (DWORD option :
       {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
        INTERNET_OPTION_DATA_SEND_TIMEOUT, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
    (void)::InternetSetOptionW(handle, option, &ms, sizeof(ms));
  }
}

std::wstring Wide(const Text& text) {
  const WideText wide = Cp936ToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

// A GET of an https URL, sent, with the time-outs on every handle (InternetOpenUrl would
// send before any could be set on its request). Null when it could not be sent.
ScopedInternetHandle OpenSecureGet(HINTERNET session, const std::wstring& url,
                                   ScopedInternetHandle& connection) {
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof(parts);
  parts.dwHostNameLength = 1;
  parts.dwUrlPathLength = 1;
  parts.dwExtraInfoLength = 1;
  if (!::InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts) ||
      parts.nScheme != INTERNET_SCHEME_HTTPS || parts.lpszHostName == nullptr ||
      parts.dwHostNameLength == 0) {
    return ScopedInternetHandle();
  }
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring path =
      parts.lpszUrlPath != nullptr ? std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) : L"";
  if (parts.lpszExtraInfo != nullptr) path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (path.empty()) path = L"/";

  connection.reset(
      ::InternetConnectW(session, host.c_str(), parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return ScopedInternetHandle();
  ApplyTimeouts(connection.get());
  ScopedInternetHandle request(
      ::HttpOpenRequestW(connection.get(), L"GET", path.c_str(), nullptr, nullptr, nullptr,
                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_SECURE |
                             INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI,
                         0));
  if (!request) return ScopedInternetHandle();
  ApplyTimeouts(request.get());
  if (!::HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) return ScopedInternetHandle();
  return request;
}

class Internet final : public IInternet {
 public:
  bool CheckConnection(const Text& url, std::uint32_t flags) override {
    return ::InternetCheckConnectionA(url.c_str(), flags, 0) != FALSE;
  }

  InternetHandle Open(const Text& agent, InternetAccess access, const Text& proxy,
                      const Text& bypass) override {
    HINTERNET handle =
        ::InternetOpenA(agent.c_str(), static_cast<DWORD>(access), proxy.empty() ? nullptr : proxy.c_str(),
                        bypass.empty() ? nullptr : bypass.c_str(), 0);
    if (handle != nullptr) ApplyTimeouts(handle);
    return Id(handle);
  }

  InternetHandle Connect(InternetHandle internet, const Text& host, int port,
                         std::uint32_t service) override {
    HINTERNET handle = ::InternetConnectA(H(internet), host.c_str(), static_cast<INTERNET_PORT>(port), "", "",
                                          service, 0, 0);
    if (handle != nullptr) ApplyTimeouts(handle);
    return Id(handle);
  }

  InternetHandle OpenRequest(InternetHandle connection, const Text& verb, const Text& path,
                             const Text& version, std::uint32_t flags) override {
    HINTERNET handle = ::HttpOpenRequestA(H(connection), verb.c_str(), path.c_str(), version.c_str(), nullptr,
                                          nullptr, flags, 0);
    if (handle != nullptr) ApplyTimeouts(handle);
    return Id(handle);
  }

  bool SetSecurityFlags(InternetHandle request, std::uint32_t flags) override {
    DWORD value = flags;
    return ::InternetSetOptionA(H(request), INTERNET_OPTION_SECURITY_FLAGS, &value, sizeof(value)) != FALSE;
  }

  bool SendRequest(InternetHandle request, const Text& headers, const Bytes& body) override {
    Bytes copy = body;  // HttpSendRequestA takes a non-const buffer
    return ::HttpSendRequestA(H(request), headers.c_str(), static_cast<DWORD>(headers.size()),
                              copy.empty() ? nullptr : copy.data(), static_cast<DWORD>(copy.size())) != FALSE;
  }

  Bytes ReadChunk(InternetHandle request, std::size_t maxBytes) override {
    Bytes buffer(maxBytes, '\0');
    DWORD read = 0;
    if (!::InternetReadFile(H(request), buffer.data(), static_cast<DWORD>(maxBytes), &read)) return {};
    buffer.resize(read);
    return buffer;
  }

  RawHeaders QueryRawHeaders(InternetHandle request, std::uint32_t bufferSize) override {
    RawHeaders result;
    std::string buffer(bufferSize, '\0');
    DWORD length = bufferSize;
    if (::HttpQueryInfoA(H(request), HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &length, nullptr)) {
      result.ok = true;
      result.headers = buffer.substr(0, length);
    } else if (::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
      result.needed = length;
    }
    return result;
  }

  void Close(InternetHandle handle) override {
    if (handle != 0) ::InternetCloseHandle(H(handle));
  }

  std::optional<Bytes> ReadUrl(const Text& url) override {
    std::wstring current = Wide(url);
    ScopedInternetHandle session(
        ::InternetOpenW(L"Trimbelle/1.0", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return std::nullopt;
    ApplyTimeouts(session.get());
    // Redirects are followed here, one by one, so that none can lead to plain HTTP (each hop
    // refuses any other scheme); certificate checks stay on (no ignore flags).
    for (int hop = 0; hop < 5; ++hop) {
      ScopedInternetHandle connection;
      ScopedInternetHandle request = OpenSecureGet(session.get(), current, connection);
      if (!request) return std::nullopt;
      DWORD status = 0;
      DWORD size = sizeof(status);
      if (!::HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                            nullptr)) {
        return std::nullopt;
      }
      if (status >= 300 && status < 400) {
        wchar_t location[2048] = {};
        DWORD locationSize = sizeof(location);
        if (!::HttpQueryInfoW(request.get(), HTTP_QUERY_LOCATION, location, &locationSize, nullptr))
          return std::nullopt;
        // A relative address stays on this server; the next hop refuses anything but https.
        wchar_t next[4096] = {};
        DWORD nextSize = 4096;
        if (!::InternetCombineUrlW(current.c_str(), location, next, &nextSize, ICU_NO_ENCODE))
          return std::nullopt;
        current = next;
        continue;
      }
      if (status != 200) return std::nullopt;
      Bytes body;
      char buffer[16384];
      for (;;) {
        DWORD read = 0;
        if (!::InternetReadFile(request.get(), buffer, sizeof(buffer), &read)) return std::nullopt;
        if (read == 0) return body;
        body.append(buffer, read);
        if (body.size() > kMaxUpdatePageBytes) return std::nullopt;
      }
    }
    return std::nullopt;
  }
};

}  // namespace

std::unique_ptr<IInternet> MakeInternet() { return std::make_unique<Internet>(); }

}  // namespace zelv::win32
