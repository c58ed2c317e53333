#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "sync/DavXml.h"
#include "sync/HttpTransport.h"
#include "sync/SyncTypes.h"

// The client side of CardDAV (RFC 6352) with discovery (RFC 6764) and incremental listing
// (RFC 6578), over any IHttpTransport. The calls on single resources and on the listing of a
// collection are the same for a CalDAV calendar (RFC 4791), where the events are published.
namespace zorvan::sync {

// An address book or a calendar found on the server.
struct SDavCollection {
  std::string strHref;  // normalised (NormalizeHref)
  std::string strDisplayName;
  bool bSyncCollection = false;  // it answers sync-collection reports
  bool bAddressBook = false;
  bool bCalendar = false;
};

// What changed in a collection since a sync token.
struct SDavChanges {
  std::vector<SRemoteEntry> changed;  // new or changed members with their new tags
  std::vector<std::string> removed;   // hrefs of members gone since the token
  std::string strToken;               // the token to ask with next time
  // The cards of changed members, when they were asked for with the listing.
  std::vector<SRemoteCard> cards;
};

// The cards of a multiget, with the hrefs the server has no card for.
struct SDavCards {
  std::vector<SRemoteCard> cards;
  std::vector<std::string> missing;
};

// How a PUT guards against overwriting a change made on the server meanwhile.
struct SPutCondition {
  std::string strIfMatch;    // the tag the resource must still have; empty: no condition
  bool bCreateOnly = false;  // "If-None-Match: *": fail when the href exists already
};

// One form of an href (or of a whole URL): its path, percent-decoded and encoded again the
// same way for every server (unreserved characters and "/!$&'()*+,;=:@" plain, the rest %XX
// in upper case; an encoded "/" stays encoded), so that the hrefs of two answers compare.
std::string NormalizeHref(std::string_view href);

class CCardDavClient {
 public:
  explicit CCardDavClient(IHttpTransport& transport) : m_transport(transport) {}

  // The address books of the account behind url: the URL of an address book gives that one;
  // the plain server address goes through /.well-known/carddav, the current user's
  // principal and its address book home.
  SDavStatus Discover(const std::string& url, std::vector<SDavCollection>& books);

  // The members of a collection (address book or calendar) with their tags, the collection
  // itself and the collections in it left out.
  SDavStatus ListMembers(const std::string& collection, std::vector<SRemoteEntry>& entries);

  // The changes since token (empty: everything). TokenInvalid when the server forgot the
  // token: the caller lists the members again. bWithCards asks for the cards themselves with
  // the listing (a report may ask for any property): the first download of a book in one
  // pass over the server instead of a listing and a multiget of every card.
  SDavStatus SyncCollection(const std::string& collection, const std::string& token,
                            SDavChanges& changes, bool bWithCards = false);

  // The cards of hrefs, nBatch to a request.
  SDavStatus Multiget(const std::string& addressBook, const std::vector<std::string>& hrefs,
                      SDavCards& cards, std::size_t nBatch = 100);

  // Stores body at href; the resource's new tag in etag, asked for separately when the
  // server's answer carries none. PreconditionFailed when condition does not hold.
  SDavStatus Put(const std::string& href, const std::string& body, std::string_view contentType,
                 const SPutCondition& condition, std::string& etag);
  SDavStatus PutCard(const std::string& href, const std::string& vcard,
                     const SPutCondition& condition, std::string& etag) {
    return Put(href, vcard, "text/vcard; charset=utf-8", condition, etag);
  }
  SDavStatus PutEvent(const std::string& href, const std::string& ics,
                      const SPutCondition& condition, std::string& etag) {
    return Put(href, ics, "text/calendar; charset=utf-8", condition, etag);
  }

  // Deletes href when its tag is still etag (empty: whatever it is).
  SDavStatus Delete(const std::string& href, const std::string& etag);

  // The tag of one resource (PROPFIND Depth 0).
  SDavStatus FetchEtag(const std::string& href, std::string& etag);

  // Talks to the server of url (its scheme, host and port) from now on, as Discover does: for a
  // later run that knows its address book already.
  void SetServer(const std::string& url) { m_strOrigin = UrlOrigin(url); }

  // The address that href (a path, or a URL) stands for on the server last talked to.
  std::string UrlOf(const std::string& href) const;

 private:
  SDavStatus Propfind(const std::string& url, int depth, const std::vector<EDavProp>& props,
                      SMultistatus& answer, std::string* answeredUrl = nullptr);
  SDavStatus Report(const std::string& url, int depth, std::string body, SMultistatus& answer);
  SDavStatus ReadMultistatus(const SHttpOutcome& outcome, SMultistatus& answer);
  SDavStatus FindPrincipal(const std::string& url, std::string& principal);
  SDavStatus ListBooks(const std::string& home, std::vector<SDavCollection>& books);

  IHttpTransport& m_transport;
  std::string m_strOrigin;  // scheme, host and port of the server
};

// The failure kind of an answer's status, for a request on a resource (bListing false: 403
// means the server refused this card) or a listing (403 means refused credentials).
SDavStatus StatusOfAnswer(const SHttpResponse& response, bool bListing);

}  // namespace zorvan::sync
