#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The HTTP seam of the synchronisation: one request in, one answer or one failure out. The
// DAV client above it speaks only through IHttpTransport, so that it can be driven by another
// transport; CCurlTransport is the real one.
namespace zorvan::sync {

// Why talking to a server failed, in the terms the user acts on.
enum class EDavFailure {
  None,
  Unreachable,         // no connection, a name that does not resolve, a timeout
  Untrusted,           // the server's certificate is not trusted or does not match its pin
  Unauthorized,        // the server refused the user name or password (401, 403 on a listing)
  NotFound,            // the address names nothing on the server (404)
  ServerError,         // 5xx
  DamagedAnswer,       // not a well-formed multistatus, cut short, too large
  PreconditionFailed,  // 412: the resource changed on the server (or exists, for a create)
  Rejected,            // another 4xx on a resource, with the server's message
  RedirectLoop,        // more redirects than kMaxRedirects, or back to an address seen before
  TokenInvalid,        // the server no longer knows the sync token: list everything again
  Cancelled,
};

// The sentence for a failure kind, for the command line and the window ("the server refused
// the user name or password").
std::string_view FailureText(EDavFailure kind);

// A failure with its kind and a message that names the detail (the address, the status, the
// server's own words).
struct SDavStatus {
  EDavFailure kind = EDavFailure::None;
  std::string strMessage;
  bool Ok() const { return kind == EDavFailure::None; }
};

// The status for a failure: the kind's sentence, then the detail when there is one.
SDavStatus DavFailure(EDavFailure kind, std::string_view detail = {});

struct SHttpRequest {
  std::string method;  // GET, PUT, DELETE, PROPFIND, REPORT, MKCOL, ...
  std::string url;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
};

// The answer, with the few headers a DAV client needs.
struct SHttpResponse {
  long nStatus = 0;
  std::string strEtag;
  std::string strLocation;
  std::string strContentType;
  std::string strDav;
  std::string strBody;
  std::string strUrl;  // the address that answered, after the redirects followed
};

// An answer of any status, or the failure that left none.
struct SHttpOutcome {
  SHttpResponse response;
  SDavStatus status;
  bool Ok() const { return status.Ok(); }
};

class IHttpTransport {
 public:
  virtual ~IHttpTransport() = default;
  virtual SHttpOutcome Send(const SHttpRequest& request) = 0;
};

struct SConnectionOptions {
  // Basic authentication, sent only to the origin (scheme, host, port) of the first request's
  // address; empty user: none. Kept in memory, never logged.
  std::string strUser;
  std::string strPassword;
  // "sha256//<base64>" of the server's public key: a server with a certificate no authority
  // signed (a self-signed one at home) is accepted when its key matches. Empty: the system's
  // authorities decide.
  std::string strPinnedKey;
  long nConnectTimeoutSeconds = 20;
  // A transfer slower than one byte a second for this long is given up.
  long nLowSpeedSeconds = 60;
  // An answer larger than this is a damaged one, so that a server cannot exhaust memory.
  std::size_t nMaxBodyBytes = std::size_t{256} << 20;
  // Set from another thread to stop the request under way; checked while curl works.
  const std::atomic<bool>* pCancel = nullptr;
};

// Redirects followed by hand (method and body kept, which curl's own following does not do
// for every status) at most this many times.
constexpr int kMaxRedirects = 5;

// ref resolved against base (RFC 3986); empty when either cannot be read.
std::string ResolveUrl(const std::string& base, const std::string& ref);

// The scheme, host and port of url ("https://dav.example.org:8443"); empty when unreadable.
std::string UrlOrigin(const std::string& url);

struct SCurlState;

// HTTP through libcurl: one handle kept across requests, so that the connection (and the TLS
// session) is reused for the many requests of one synchronisation.
class CCurlTransport final : public IHttpTransport {
 public:
  explicit CCurlTransport(SConnectionOptions options);
  ~CCurlTransport() override;
  CCurlTransport(const CCurlTransport&) = delete;
  CCurlTransport& operator=(const CCurlTransport&) = delete;

  SHttpOutcome Send(const SHttpRequest& request) override;

 private:
  SHttpOutcome SendOnce(const SHttpRequest& request, bool bWithAuth);
  std::unique_ptr<SCurlState> m_pState;
};

}  // namespace zorvan::sync
