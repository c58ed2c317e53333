#include "sync/CardDavClient.h"

// Finding the address books of an account from the address a user types: the server's
// name only, a principal, or an address book itself.
namespace zorvan::sync {
namespace {

// The failures that asking elsewhere on the same server cannot mend.
bool IsFinal(const SDavStatus& status) {
  switch (status.kind) {
    case EDavFailure::Unreachable:
    case EDavFailure::Untrusted:
    case EDavFailure::Unauthorized:
    case EDavFailure::Cancelled:
      return true;
    default:
      return false;
  }
}

SDavCollection CollectionOf(const SDavResponse& response) {
  return {NormalizeHref(response.strHref), response.strDisplayName, response.bSyncCollection,
          response.bAddressBook, response.bCalendar};
}

const std::vector<EDavProp> kCollectionProps = {EDavProp::ResourceType, EDavProp::DisplayName,
                                                EDavProp::SupportedReportSet,
                                                EDavProp::CurrentUserPrincipal};

}  // namespace

SDavStatus CCardDavClient::Discover(const std::string& url, std::vector<SDavCollection>& books) {
  books.clear();
  m_strOrigin = UrlOrigin(url);
  if (m_strOrigin.empty()) return DavFailure(EDavFailure::Unreachable, "not an address: " + url);
  const std::string path = NormalizeHref(url);
  if (path != "/" && !path.empty()) {
    // An address with a path may be the address book itself.
    SMultistatus own;
    SDavStatus status = Propfind(url, 0, kCollectionProps, own);
    if (IsFinal(status)) return status;
    if (status.Ok() && !own.responses.empty() && own.responses.front().bAddressBook) {
      books.push_back(CollectionOf(own.responses.front()));
      if (books.back().strHref.empty()) books.back().strHref = path;
      return status;
    }
  }
  std::string principal;
  SDavStatus status = FindPrincipal(url, principal);
  if (!status.Ok()) return status;
  SMultistatus answer;
  status = Propfind(principal, 0, {EDavProp::AddressBookHomeSet}, answer);
  if (!status.Ok()) return status;
  std::string home = answer.responses.empty() ? "" : answer.responses.front().strAddressBookHome;
  // A server that names no home keeps the address books under the principal.
  return ListBooks(home.empty() ? principal : home, books);
}

// RFC 6764: the well-known address leads (by a redirect) to where the server answers for the
// current user; a server without it is asked at the address given.
SDavStatus CCardDavClient::FindPrincipal(const std::string& url, std::string& principal) {
  SMultistatus answer;
  std::string answered;
  SDavStatus status = Propfind(m_strOrigin + "/.well-known/carddav", 0,
                               {EDavProp::CurrentUserPrincipal}, answer, &answered);
  if (IsFinal(status)) return status;
  if (status.Ok() && !answer.responses.empty() && !answer.responses.front().strPrincipal.empty()) {
    // The redirect may lead to another host: the rest is asked there.
    if (!UrlOrigin(answered).empty()) m_strOrigin = UrlOrigin(answered);
    principal = answer.responses.front().strPrincipal;
    return status;
  }
  status = Propfind(url, 0, {EDavProp::CurrentUserPrincipal}, answer);
  if (!status.Ok()) return status;
  if (answer.responses.empty() || answer.responses.front().strPrincipal.empty())
    return DavFailure(EDavFailure::NotFound, "no CardDAV account at " + url);
  principal = answer.responses.front().strPrincipal;
  return status;
}

SDavStatus CCardDavClient::ListBooks(const std::string& home, std::vector<SDavCollection>& books) {
  SMultistatus answer;
  SDavStatus status = Propfind(home, 1, kCollectionProps, answer);
  if (!status.Ok()) return status;
  for (const auto& response : answer.responses)
    if (response.bAddressBook) books.push_back(CollectionOf(response));
  return status;
}

}  // namespace zorvan::sync
