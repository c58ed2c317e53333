#include "sync/HttpTransport.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "sync/CurlLibrary.h"

namespace zorvan::sync {
namespace {

bool IEquals(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view TrimmedView(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool IsRedirect(long status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

EDavFailure FailureOfCurl(CURLcode code) {
  switch (code) {
    case CURLE_ABORTED_BY_CALLBACK:
      return EDavFailure::Cancelled;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
      return EDavFailure::Untrusted;
    case CURLE_WRITE_ERROR:
      return EDavFailure::DamagedAnswer;
    default:
      return EDavFailure::Unreachable;
  }
}

}  // namespace

std::string_view FailureText(EDavFailure kind) {
  switch (kind) {
    case EDavFailure::None:
      return "done";
    case EDavFailure::Unreachable:
      return "the server could not be reached";
    case EDavFailure::Untrusted:
      return "the server's certificate is not trusted";
    case EDavFailure::Unauthorized:
      return "the server refused the user name or password";
    case EDavFailure::NotFound:
      return "the server has nothing at this address";
    case EDavFailure::ServerError:
      return "the server failed to answer the request";
    case EDavFailure::DamagedAnswer:
      return "the server's answer is damaged or incomplete";
    case EDavFailure::PreconditionFailed:
      return "the card was changed on the server meanwhile";
    case EDavFailure::Rejected:
      return "the server rejected the request";
    case EDavFailure::RedirectLoop:
      return "the server redirects in a loop";
    case EDavFailure::TokenInvalid:
      return "the server no longer knows the last synchronisation";
    case EDavFailure::Cancelled:
      return "cancelled";
  }
  return "unknown failure";
}

SDavStatus DavFailure(EDavFailure kind, std::string_view detail) {
  std::string message(FailureText(kind));
  if (!detail.empty()) message += std::string(": ") + std::string(detail);
  return {kind, std::move(message)};
}

std::string ResolveUrl(const std::string& base, const std::string& ref) {
  const SCurlFunctions* lib = Curl();
  std::string result;
  if (!lib) return result;
  CURLU* url = lib->url();
  if (lib->url_set(url, CURLUPART_URL, base.c_str(), 0) == CURLUE_OK &&
      lib->url_set(url, CURLUPART_URL, ref.c_str(), 0) == CURLUE_OK) {
    char* text = nullptr;
    if (lib->url_get(url, CURLUPART_URL, &text, 0) == CURLUE_OK) result = text;
    lib->free(text);
  }
  lib->url_cleanup(url);
  return result;
}

std::string UrlOrigin(const std::string& url) {
  const SCurlFunctions* lib = Curl();
  std::string result;
  if (!lib) return result;
  CURLU* handle = lib->url();
  char* scheme = nullptr;
  char* host = nullptr;
  char* port = nullptr;
  if (lib->url_set(handle, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
      lib->url_get(handle, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
      lib->url_get(handle, CURLUPART_HOST, &host, 0) == CURLUE_OK &&
      lib->url_get(handle, CURLUPART_PORT, &port, CURLU_DEFAULT_PORT) == CURLUE_OK)
    result = std::string(scheme) + "://" + host + ":" + port;
  lib->free(scheme);
  lib->free(host);
  lib->free(port);
  lib->url_cleanup(handle);
  return result;
}

// The handle and the answer being received, which curl's callbacks fill.
struct SCurlState {
  SConnectionOptions options;
  CURL* pCurl = nullptr;
  std::string strAuthOrigin;  // where the credentials may go
  SHttpResponse response;     // the answer being received
  bool bTooLarge = false;
  std::string strNoCurl;  // why there is no handle
};

namespace {

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto& state = *static_cast<SCurlState*>(user);
  const size_t bytes = size * count;
  if (state.response.strBody.size() + bytes > state.options.nMaxBodyBytes) {
    state.bTooLarge = true;
    return 0;  // curl stops with a write error
  }
  state.response.strBody.append(data, bytes);
  return bytes;
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto& response = static_cast<SCurlState*>(user)->response;
  const std::string_view line(data, size * count);
  if (line.starts_with("HTTP/")) {
    // A new status line (after a 100 Continue): the headers before it were another answer's.
    response.strEtag.clear();
    response.strLocation.clear();
    response.strContentType.clear();
    response.strDav.clear();
    return line.size();
  }
  const auto colon = line.find(':');
  if (colon == std::string_view::npos) return line.size();
  const auto name = TrimmedView(line.substr(0, colon));
  const auto value = std::string(TrimmedView(line.substr(colon + 1)));
  if (IEquals(name, "ETag"))
    response.strEtag = value;
  else if (IEquals(name, "Location"))
    response.strLocation = value;
  else if (IEquals(name, "Content-Type"))
    response.strContentType = value;
  else if (IEquals(name, "DAV"))
    response.strDav += (response.strDav.empty() ? "" : ", ") + value;
  return line.size();
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* cancel = static_cast<SCurlState*>(user)->options.pCancel;
  return cancel && cancel->load() ? 1 : 0;
}

}  // namespace

CCurlTransport::CCurlTransport(SConnectionOptions options)
    : m_pState(std::make_unique<SCurlState>()) {
  m_pState->options = std::move(options);
  if (const SCurlFunctions* lib = Curl(&m_pState->strNoCurl)) m_pState->pCurl = lib->easy_init();
  if (m_pState->strNoCurl.empty()) m_pState->strNoCurl = "libcurl did not start";
}

CCurlTransport::~CCurlTransport() {
  if (m_pState->pCurl) Curl()->easy_cleanup(m_pState->pCurl);
}

SHttpOutcome CCurlTransport::Send(const SHttpRequest& request) {
  if (m_pState->strAuthOrigin.empty()) m_pState->strAuthOrigin = UrlOrigin(request.url);
  SHttpRequest current = request;
  std::set<std::string> seen{current.url};
  for (int redirects = 0;; ++redirects) {
    const bool bWithAuth = UrlOrigin(current.url) == m_pState->strAuthOrigin;
    SHttpOutcome outcome = SendOnce(current, bWithAuth);
    if (!outcome.Ok() || !IsRedirect(outcome.response.nStatus)) return outcome;
    const std::string next = ResolveUrl(current.url, outcome.response.strLocation);
    if (outcome.response.strLocation.empty() || next.empty())
      return {outcome.response,
              DavFailure(EDavFailure::DamagedAnswer,
                         "a redirect without a usable address from " + current.url)};
    if (redirects >= kMaxRedirects || !seen.insert(next).second)
      return {outcome.response, DavFailure(EDavFailure::RedirectLoop, request.url)};
    current.url = next;
  }
}

SHttpOutcome CCurlTransport::SendOnce(const SHttpRequest& request, bool bWithAuth) {
  SCurlState& state = *m_pState;
  CURL* handle = state.pCurl;
  const SCurlFunctions* lib = Curl();
  if (!handle || !lib) return {{}, DavFailure(EDavFailure::Unreachable, m_pState->strNoCurl)};
  // A reset keeps the open connections and the TLS sessions of the handle.
  lib->easy_reset(handle);
  state.response = {};
  state.bTooLarge = false;
  const auto& options = state.options;
  lib->easy_setopt(handle, CURLOPT_URL, request.url.c_str());
  lib->easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
  lib->easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  lib->easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
  lib->easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, options.nConnectTimeoutSeconds);
  lib->easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
  lib->easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, options.nLowSpeedSeconds);
  lib->easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, "");
  if (!options.strPinnedKey.empty()) {
    // The pin replaces the authorities: a self-signed certificate has none, its key is what
    // the user confirmed.
    lib->easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 0L);
    lib->easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 0L);
    lib->easy_setopt(handle, CURLOPT_PINNEDPUBLICKEY, options.strPinnedKey.c_str());
  }
  if (bWithAuth && !options.strUser.empty()) {
    lib->easy_setopt(handle, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
    lib->easy_setopt(handle, CURLOPT_USERNAME, options.strUser.c_str());
    lib->easy_setopt(handle, CURLOPT_PASSWORD, options.strPassword.c_str());
  }
  lib->easy_setopt(handle, CURLOPT_CUSTOMREQUEST, request.method.c_str());
  if (request.method == "HEAD") lib->easy_setopt(handle, CURLOPT_NOBODY, 1L);
  if (!request.body.empty() || request.method == "PUT") {
    lib->easy_setopt(handle, CURLOPT_POSTFIELDS, request.body.data());
    lib->easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(request.body.size()));
  }
  curl_slist* headers = lib->slist_append(nullptr, "Expect:");
  for (const auto& [name, value] : request.headers)
    headers = lib->slist_append(headers, (name + ": " + value).c_str());
  lib->easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
  lib->easy_setopt(handle, CURLOPT_WRITEFUNCTION, OnBody);
  lib->easy_setopt(handle, CURLOPT_WRITEDATA, &state);
  lib->easy_setopt(handle, CURLOPT_HEADERFUNCTION, OnHeader);
  lib->easy_setopt(handle, CURLOPT_HEADERDATA, &state);
  lib->easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
  lib->easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, OnProgress);
  lib->easy_setopt(handle, CURLOPT_XFERINFODATA, &state);
  const CURLcode code = lib->easy_perform(handle);
  lib->slist_free_all(headers);
  SHttpOutcome outcome;
  lib->easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &state.response.nStatus);
  state.response.strUrl = request.url;
  outcome.response = std::move(state.response);
  if (code == CURLE_OK) return outcome;
  if (state.bTooLarge)
    outcome.status = DavFailure(EDavFailure::DamagedAnswer, "the answer is too large");
  else
    outcome.status = DavFailure(FailureOfCurl(code), request.url + ": " + lib->easy_strerror(code));
  return outcome;
}

}  // namespace zorvan::sync
