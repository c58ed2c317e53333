#pragma once

#include <string>
#include <string_view>
#include <vector>

// The XML of WebDAV (RFC 4918) and its CardDAV, CalDAV and sync extensions, as the client
// needs it: the 207 multistatus answers read through expat with namespaces, and the bodies of
// the requests it sends.
namespace zorvan::sync {

// One <response> of a multistatus: an href with either a status of its own (a member removed
// since the last sync token: 404) or the properties of its 2xx propstats. Properties a server
// lists under a 404 propstat (it has none of them) are not taken.
struct SDavResponse {
  std::string strHref;  // as the server wrote it
  int nStatus = 0;      // the response's own status, 0 when it has propstats
  std::vector<int> propstatStatus;
  bool bHasEtag = false;
  std::string strEtag;
  bool bCollection = false;
  bool bAddressBook = false;
  bool bCalendar = false;
  std::string strDisplayName;
  std::string strPrincipal;        // current-user-principal
  std::string strAddressBookHome;  // addressbook-home-set
  std::string strCalendarHome;     // calendar-home-set
  bool bSyncCollection = false;    // supported-report-set names sync-collection
  std::string strSyncToken;
  std::string strCtag;  // calendarserver.org getctag
  bool bHasData = false;
  std::string strData;  // address-data or calendar-data
};

struct SMultistatus {
  std::vector<SDavResponse> responses;
  std::string strSyncToken;  // the top-level token of a sync-collection answer
};

// Reads a multistatus document. A document that is not well-formed, is cut short, or whose
// root is not DAV:multistatus (an HTML page a proxy answered with) fails with the parser's
// reason in error, and out is then left empty: a partial list must never pass for a whole one.
bool ParseMultistatus(std::string_view xml, SMultistatus& out, std::string& error);

// The properties a PROPFIND can ask for.
enum class EDavProp {
  Etag,
  ResourceType,
  DisplayName,
  CurrentUserPrincipal,
  AddressBookHomeSet,
  CalendarHomeSet,
  SupportedReportSet,
  SyncToken,
  Ctag,
};

// text with & < > " ' as XML entities.
std::string XmlEscaped(std::string_view text);

std::string PropfindBody(const std::vector<EDavProp>& props);

// An addressbook-multiget (RFC 6352) of hrefs asking for the ETag and the card's text.
std::string AddressBookMultigetBody(const std::vector<std::string>& hrefs);

// A sync-collection report (RFC 6578) of the members' ETags; an empty token asks for all.
std::string SyncCollectionBody(std::string_view syncToken, bool bWithCards = false);

// An extended MKCOL (RFC 5689) making an address book (or, bCalendar, a calendar).
std::string MakeCollectionBody(std::string_view displayName, bool bCalendar);

}  // namespace zorvan::sync
