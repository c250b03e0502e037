#pragma once
// The update check's way to the network, shaped like the WinINet calls it makes so the
// request rules stay in the core and the fake can record exactly what would be sent.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/types.h"

namespace zelv {

// An opaque WinINet handle; 0 is the null handle.
using InternetHandle = std::uintptr_t;

enum class InternetAccess : std::uint32_t {
  Direct = 1,  // INTERNET_OPEN_TYPE_DIRECT
  Proxy = 3,   // INTERNET_OPEN_TYPE_PROXY
};

inline constexpr std::uint32_t kInternetServiceHttp = 3;     // INTERNET_SERVICE_HTTP
inline constexpr std::uint32_t kFlagIccForceConnection = 1;  // FLAG_ICC_FORCE_CONNECTION

// An abandoned check must end by itself, so no network step may block for long: each of
// connect, send and receive gives up after this.
inline constexpr std::uint32_t kNetworkTimeoutMs = 15000;

// The update page decides what download address the user is shown; anything longer than
// this is not a page of ours and counts as unreadable.
inline constexpr std::size_t kMaxUpdatePageBytes = 4u * 1024u * 1024u;

struct RawHeaders {
  bool ok = false;
  Text headers;              // lines separated by "\r\n", when ok
  std::uint32_t needed = 0;  // the size the platform asked for when the buffer was too small
};

class IInternet {
 public:
  virtual ~IInternet() = default;

  // InternetCheckConnectionA(url, flags, 0).
  [[nodiscard]] virtual bool CheckConnection(const Text& url, std::uint32_t flags) = 0;
  // InternetOpenA(agent, access, proxy, bypass, 0), with the time-outs applied to the handle.
  [[nodiscard]] virtual InternetHandle Open(const Text& agent, InternetAccess access, const Text& proxy,
                                            const Text& bypass) = 0;
  // InternetConnectA(internet, host, port, "", "", service, 0, 0).
  [[nodiscard]] virtual InternetHandle Connect(InternetHandle internet, const Text& host, int port,
                                               std::uint32_t service) = 0;
  // HttpOpenRequestA(connection, verb, path, version, no referrer, no accept types, flags, 0).
  [[nodiscard]] virtual InternetHandle OpenRequest(InternetHandle connection, const Text& verb,
                                                   const Text& path, const Text& version,
                                                   std::uint32_t flags) = 0;
  // InternetSetOptionA(request, INTERNET_OPTION_SECURITY_FLAGS, &flags, 4).
  virtual bool SetSecurityFlags(InternetHandle request, std::uint32_t flags) = 0;
  // HttpSendRequestA(request, headers, length, body or none, length).
  virtual bool SendRequest(InternetHandle request, const Text& headers, const Bytes& body) = 0;
  // InternetReadFile into a buffer of at most maxBytes; the bytes read (none at the end).
  [[nodiscard]] virtual Bytes ReadChunk(InternetHandle request, std::size_t maxBytes) = 0;
  // HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer of bufferSize bytes).
  [[nodiscard]] virtual RawHeaders QueryRawHeaders(InternetHandle request, std::uint32_t bufferSize) = 0;
  // InternetCloseHandle.
  virtual void Close(InternetHandle handle) = 0;

  // The forms run time's URL read, used for the update page only: HTTPS with certificate
  // checks on, never redirected to plain HTTP, at most kMaxUpdatePageBytes. Nothing when the
  // page cannot be read whole.
  [[nodiscard]] virtual std::optional<Bytes> ReadUrl(const Text& url) = 0;
};

}  // namespace zelv
