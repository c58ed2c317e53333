#include "sync/CardDavClient.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace zorvan::sync {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsPlainInPath(unsigned char c) {
  return std::isalnum(c) || std::string_view("-._~/!$&'()*+,;=:@").find(static_cast<char>(c)) !=
                                std::string_view::npos;
}

// The path of an absolute URL ("https://host:port/a/b?q" → "/a/b"); a path as it is.
std::string_view PathOf(std::string_view href) {
  const auto scheme = href.find("://");
  if (scheme != std::string_view::npos && href.find('/') > scheme) {
    const auto path = href.find('/', scheme + 3);
    href = path == std::string_view::npos ? std::string_view("/") : href.substr(path);
  }
  return href.substr(0, std::min(href.find('?'), href.find('#')));
}

// The server's message of a refused request: its answer's text, kept short.
std::string ServerWords(const SHttpResponse& response) {
  std::string words = response.strBody.substr(0, 300);
  std::replace_if(
      words.begin(), words.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return "HTTP " + std::to_string(response.nStatus) + " at " + response.strUrl +
         (words.empty() ? "" : " (" + words + ")");
}

// The preconditions of RFC 6352 (and RFC 4791) that a server names in the DAV error of its
// answer when it refuses a card (or an event) for what it is: its content, its size, a UID that
// another resource of the collection has.
bool NamesContentPrecondition(std::string_view body) {
  for (std::string_view name :
       {"valid-address-data", "supported-address-data", "valid-calendar-data",
        "supported-calendar-data", "no-uid-conflict", "max-resource-size"})
    if (body.find(name) != std::string_view::npos) return true;
  return false;
}

bool SameCollection(const std::string& a, const std::string& b) {
  auto bare = [](std::string_view s) {
    while (s.size() > 1 && s.back() == '/') s.remove_suffix(1);
    return s;
  };
  return bare(a) == bare(b);
}

}  // namespace

std::string NormalizeHref(std::string_view href) {
  const std::string_view path = PathOf(href);
  std::string out;
  out.reserve(path.size());
  constexpr char kHex[] = "0123456789ABCDEF";
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (c == '%' && i + 2 < path.size() && HexValue(path[i + 1]) >= 0 &&
        HexValue(path[i + 2]) >= 0) {
      c = static_cast<unsigned char>(HexValue(path[i + 1]) * 16 + HexValue(path[i + 2]));
      i += 2;
      if (c == '/') {
        out += "%2F";
        continue;
      }
    }
    if (IsPlainInPath(c)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

SDavStatus StatusOfAnswer(const SHttpResponse& response, bool bListing) {
  const long status = response.nStatus;
  if (status >= 200 && status <= 299) return {};
  if (status == 401 || (status == 403 && bListing))
    return DavFailure(EDavFailure::Unauthorized, response.strUrl);
  if (status == 404 || status == 410) return DavFailure(EDavFailure::NotFound, response.strUrl);
  // Xandikos answers a card it refuses with 412 and the precondition named: that is no change
  // made meanwhile, and fetching the card again would not help.
  if (NamesContentPrecondition(response.strBody))
    return DavFailure(EDavFailure::Rejected, ServerWords(response));
  if (status == 412) return DavFailure(EDavFailure::PreconditionFailed, response.strUrl);
  // A PUT into a collection that is not there (RFC 4918): the address book is gone, which no
  // other card would fare better with.
  if (status == 409 && !bListing) return DavFailure(EDavFailure::NotFound, ServerWords(response));
  if (status >= 500) return DavFailure(EDavFailure::ServerError, ServerWords(response));
  return DavFailure(EDavFailure::Rejected, ServerWords(response));
}

std::string CCardDavClient::UrlOf(const std::string& href) const {
  if (href.find("://") != std::string::npos) return href;
  return m_strOrigin + (href.starts_with('/') ? "" : "/") + href;
}

SDavStatus CCardDavClient::ReadMultistatus(const SHttpOutcome& outcome, SMultistatus& answer) {
  if (!outcome.Ok()) return outcome.status;
  if (outcome.response.nStatus != 207) {
    SDavStatus status = StatusOfAnswer(outcome.response, true);
    // A 2xx other than 207 (an HTML page of a proxy or a login form) is no answer to a DAV
    // request.
    return status.Ok() ? DavFailure(EDavFailure::DamagedAnswer,
                                    "HTTP " + std::to_string(outcome.response.nStatus) +
                                        " instead of a multistatus from " + outcome.response.strUrl)
                       : status;
  }
  std::string error;
  if (!ParseMultistatus(outcome.response.strBody, answer, error))
    return DavFailure(EDavFailure::DamagedAnswer, outcome.response.strUrl + ": " + error);
  return {};
}

SDavStatus CCardDavClient::Propfind(const std::string& url, int depth,
                                    const std::vector<EDavProp>& props, SMultistatus& answer,
                                    std::string* answeredUrl) {
  SHttpRequest request{
      "PROPFIND",
      UrlOf(url),
      {{"Depth", std::to_string(depth)}, {"Content-Type", "application/xml; charset=utf-8"}},
      PropfindBody(props)};
  const SHttpOutcome outcome = m_transport.Send(request);
  if (answeredUrl) *answeredUrl = outcome.response.strUrl;
  return ReadMultistatus(outcome, answer);
}

SDavStatus CCardDavClient::Report(const std::string& url, int depth, std::string body,
                                  SMultistatus& answer) {
  SHttpRequest request{
      "REPORT", UrlOf(url), {{"Content-Type", "application/xml; charset=utf-8"}}, std::move(body)};
  if (depth >= 0) request.headers.emplace_back("Depth", std::to_string(depth));
  return ReadMultistatus(m_transport.Send(request), answer);
}

}  // namespace zorvan::sync

namespace zorvan::sync {
namespace {

bool IsSuccess(long status) { return status >= 200 && status <= 299; }

bool IsMemberOf(const SDavResponse& response, const std::string& collection) {
  return !response.bCollection && !SameCollection(NormalizeHref(response.strHref), collection);
}

}  // namespace

SDavStatus CCardDavClient::ListMembers(const std::string& collection,
                                       std::vector<SRemoteEntry>& entries) {
  entries.clear();
  SMultistatus answer;
  SDavStatus status = Propfind(collection, 1, {EDavProp::Etag, EDavProp::ResourceType}, answer);
  if (!status.Ok()) return status;
  const std::string self = NormalizeHref(collection);
  for (const auto& response : answer.responses) {
    if (!IsMemberOf(response, self) || (response.nStatus && !IsSuccess(response.nStatus))) continue;
    entries.push_back({NormalizeHref(response.strHref), NormalizeEtag(response.strEtag)});
  }
  return status;
}

SDavStatus CCardDavClient::SyncCollection(const std::string& collection, const std::string& token,
                                          SDavChanges& changes, bool bWithCards) {
  changes = {};
  const std::string self = NormalizeHref(collection);
  std::string asked = token;
  // A server may answer a part and mark its own href 507: the rest follows on asking again
  // with the token of the part (RFC 6578, truncated results).
  for (int round = 0; round < 1000; ++round) {
    SHttpRequest request{"REPORT",
                         UrlOf(collection),
                         {{"Depth", "0"}, {"Content-Type", "application/xml; charset=utf-8"}},
                         SyncCollectionBody(asked, bWithCards)};
    const SHttpOutcome outcome = m_transport.Send(request);
    const auto& response = outcome.response;
    if (outcome.Ok() &&
        (response.nStatus == 403 || response.nStatus == 409 || response.nStatus == 400) &&
        response.strBody.find("valid-sync-token") != std::string::npos)
      return DavFailure(EDavFailure::TokenInvalid, response.strUrl);
    SMultistatus answer;
    SDavStatus status = ReadMultistatus(outcome, answer);
    if (!status.Ok()) return status;
    if (answer.strSyncToken.empty())
      return DavFailure(EDavFailure::DamagedAnswer, "a sync answer without a new token");
    bool bTruncated = false;
    for (const auto& item : answer.responses) {
      if (!IsMemberOf(item, self)) {
        bTruncated |= item.nStatus == 507;
        continue;
      }
      if (item.nStatus == 404)
        changes.removed.push_back(NormalizeHref(item.strHref));
      else if (item.bHasEtag)
        changes.changed.push_back({NormalizeHref(item.strHref), NormalizeEtag(item.strEtag)});
      if (item.nStatus != 404 && item.bHasData)
        changes.cards.push_back(
            {NormalizeHref(item.strHref), NormalizeEtag(item.strEtag), item.strData});
    }
    changes.strToken = answer.strSyncToken;
    if (!bTruncated) return status;
    asked = answer.strSyncToken;
  }
  return DavFailure(EDavFailure::DamagedAnswer, "the sync answer never ends");
}

SDavStatus CCardDavClient::Multiget(const std::string& addressBook,
                                    const std::vector<std::string>& hrefs, SDavCards& cards,
                                    std::size_t nBatch) {
  cards = {};
  nBatch = std::max<std::size_t>(nBatch, 1);
  for (std::size_t at = 0; at < hrefs.size(); at += nBatch) {
    const std::vector<std::string> batch(
        hrefs.begin() + static_cast<std::ptrdiff_t>(at),
        hrefs.begin() + static_cast<std::ptrdiff_t>(std::min(hrefs.size(), at + nBatch)));
    SMultistatus answer;
    SDavStatus status = Report(addressBook, 1, AddressBookMultigetBody(batch), answer);
    if (!status.Ok()) return status;
    std::set<std::string> unanswered;
    for (const auto& href : batch) unanswered.insert(NormalizeHref(href));
    for (const auto& response : answer.responses) {
      const std::string href = NormalizeHref(response.strHref);
      if (!unanswered.erase(href)) continue;
      if (response.bHasData)
        cards.cards.push_back({href, NormalizeEtag(response.strEtag), response.strData});
      else
        cards.missing.push_back(href);
    }
    cards.missing.insert(cards.missing.end(), unanswered.begin(), unanswered.end());
  }
  return {};
}

SDavStatus CCardDavClient::Put(const std::string& href, const std::string& body,
                               std::string_view contentType, const SPutCondition& condition,
                               std::string& etag) {
  etag.clear();
  SHttpRequest request{"PUT", UrlOf(href), {{"Content-Type", std::string(contentType)}}, body};
  if (condition.bCreateOnly)
    request.headers.emplace_back("If-None-Match", "*");
  else if (!condition.strIfMatch.empty())
    request.headers.emplace_back("If-Match", QuotedEtag(condition.strIfMatch));
  const SHttpOutcome outcome = m_transport.Send(request);
  if (!outcome.Ok()) return outcome.status;
  SDavStatus status = StatusOfAnswer(outcome.response, false);
  if (!status.Ok()) return status;
  // A server that changes what it stored (adds a UID, reorders lines) sends no tag: the tag
  // of what it keeps is asked for.
  if (!outcome.response.strEtag.empty()) {
    etag = NormalizeEtag(outcome.response.strEtag);
    return status;
  }
  return FetchEtag(href, etag);
}

SDavStatus CCardDavClient::Delete(const std::string& href, const std::string& etag) {
  SHttpRequest request{"DELETE", UrlOf(href), {}, {}};
  if (!etag.empty()) request.headers.emplace_back("If-Match", QuotedEtag(etag));
  const SHttpOutcome outcome = m_transport.Send(request);
  return outcome.Ok() ? StatusOfAnswer(outcome.response, false) : outcome.status;
}

SDavStatus CCardDavClient::FetchEtag(const std::string& href, std::string& etag) {
  etag.clear();
  SMultistatus answer;
  SDavStatus status = Propfind(href, 0, {EDavProp::Etag}, answer);
  if (!status.Ok()) return status;
  if (answer.responses.empty() || !answer.responses.front().bHasEtag)
    return DavFailure(EDavFailure::DamagedAnswer, "no entity tag for " + href);
  etag = NormalizeEtag(answer.responses.front().strEtag);
  return status;
}

}  // namespace zorvan::sync
