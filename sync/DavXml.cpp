#include "sync/DavXml.h"

#include <expat.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>

namespace zorvan::sync {
namespace {

// Expat joins a namespace and a local name with this separator: "DAV: href".
constexpr char kSep = ' ';
constexpr std::string_view kDav = "DAV: ";
constexpr std::string_view kCard = "urn:ietf:params:xml:ns:carddav ";
constexpr std::string_view kCal = "urn:ietf:params:xml:ns:caldav ";
constexpr std::string_view kCs = "http://calendarserver.org/ns/ ";

bool Is(std::string_view name, std::string_view ns, std::string_view local) {
  return name.size() == ns.size() + local.size() && name.starts_with(ns) &&
         name.substr(ns.size()) == local;
}

// "HTTP/1.1 404 Not Found" → 404; 0 when unreadable.
int StatusOfLine(std::string_view line) {
  const auto space = line.find(' ');
  if (space == std::string_view::npos) return 0;
  line.remove_prefix(space + 1);
  int status = 0;
  std::from_chars(line.data(), line.data() + line.size(), status);
  return status;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

class CMultistatusReader {
 public:
  CMultistatusReader(SMultistatus& out, XML_Parser parser) : m_out(out), m_parser(parser) {}

  void Start(std::string_view name) {
    if (m_stack.empty() && !Is(name, kDav, "multistatus")) {
      Stop("the answer is not a WebDAV multistatus");
      return;
    }
    if (Is(name, kDav, "response")) m_out.responses.emplace_back();
    if (Is(name, kDav, "propstat")) {
      m_props = {};
      m_nPropstat = 0;
    }
    m_stack.emplace_back(name);
    m_text.clear();
  }

  void End() {
    const std::string name = std::move(m_stack.back());
    m_stack.pop_back();
    const std::string_view parent = m_stack.empty() ? std::string_view() : m_stack.back();
    if (Is(name, kDav, "propstat") && !m_out.responses.empty()) {
      EndPropstat();
    } else if (Is(name, kDav, "status")) {
      if (Is(parent, kDav, "propstat"))
        m_nPropstat = StatusOfLine(Trimmed(m_text));
      else if (Is(parent, kDav, "response") && !m_out.responses.empty())
        m_out.responses.back().nStatus = StatusOfLine(Trimmed(m_text));
    } else if (Is(name, kDav, "href")) {
      EndHref(parent);
    } else if (Is(name, kDav, "sync-token") && Is(parent, kDav, "multistatus")) {
      m_out.strSyncToken = Trimmed(m_text);
    } else if (InProp()) {
      EndProp(name, parent);
    }
    m_text.clear();
  }

  void Text(std::string_view text) { m_text.append(text); }
  const std::string& Error() const { return m_strError; }

  void Stop(std::string error) {
    m_strError = std::move(error);
    XML_StopParser(m_parser, XML_FALSE);
  }

 private:
  // Inside the <prop> of a <propstat>.
  bool InProp() const {
    for (const auto& name : m_stack)
      if (Is(name, kDav, "prop")) return true;
    return false;
  }

  void EndHref(std::string_view parent) {
    const std::string href = Trimmed(m_text);
    if (Is(parent, kDav, "response") && !m_out.responses.empty()) {
      if (m_out.responses.back().strHref.empty()) m_out.responses.back().strHref = href;
    } else if (Is(parent, kDav, "current-user-principal")) {
      m_props.strPrincipal = href;
    } else if (Is(parent, kCard, "addressbook-home-set")) {
      m_props.strAddressBookHome = href;
    } else if (Is(parent, kCal, "calendar-home-set")) {
      m_props.strCalendarHome = href;
    }
  }

  void EndProp(std::string_view name, std::string_view parent) {
    if (Is(name, kDav, "getetag")) {
      m_props.bHasEtag = true;
      m_props.strEtag = Trimmed(m_text);
    } else if (Is(parent, kDav, "resourcetype")) {
      if (Is(name, kDav, "collection")) m_props.bCollection = true;
      if (Is(name, kCard, "addressbook")) m_props.bAddressBook = true;
      if (Is(name, kCal, "calendar")) m_props.bCalendar = true;
    } else if (Is(name, kDav, "displayname")) {
      m_props.strDisplayName = Trimmed(m_text);
    } else if (Is(name, kDav, "sync-collection") &&
               (Is(parent, kDav, "report") || Is(parent, kDav, "supported-report"))) {
      // Inside <report> (RFC 3253); Xandikos leaves that element out.
      m_props.bSyncCollection = true;
    } else if (Is(name, kDav, "sync-token")) {
      m_props.strSyncToken = Trimmed(m_text);
    } else if (Is(name, kCs, "getctag")) {
      m_props.strCtag = Trimmed(m_text);
    } else if (Is(name, kCard, "address-data") || Is(name, kCal, "calendar-data")) {
      m_props.bHasData = true;
      m_props.strData = m_text;
    }
  }

  // The properties of a propstat count only when its status says they were found.
  void EndPropstat() {
    auto& response = m_out.responses.back();
    response.propstatStatus.push_back(m_nPropstat);
    if (m_nPropstat < 200 || m_nPropstat > 299) return;
    const auto& p = m_props;
    if (p.bHasEtag) {
      response.bHasEtag = true;
      response.strEtag = p.strEtag;
    }
    response.bCollection |= p.bCollection;
    response.bAddressBook |= p.bAddressBook;
    response.bCalendar |= p.bCalendar;
    response.bSyncCollection |= p.bSyncCollection;
    for (auto [to, from] : {std::pair{&response.strDisplayName, &p.strDisplayName},
                            {&response.strPrincipal, &p.strPrincipal},
                            {&response.strAddressBookHome, &p.strAddressBookHome},
                            {&response.strCalendarHome, &p.strCalendarHome},
                            {&response.strSyncToken, &p.strSyncToken},
                            {&response.strCtag, &p.strCtag}})
      if (!from->empty()) *to = *from;
    if (p.bHasData) {
      response.bHasData = true;
      response.strData = p.strData;
    }
  }

  SMultistatus& m_out;
  XML_Parser m_parser;
  std::vector<std::string> m_stack;
  std::string m_text;
  SDavResponse m_props;  // the properties of the propstat being read
  int m_nPropstat = 0;
  std::string m_strError;
};

struct SParserFree {
  void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

void XMLCALL OnStart(void* user, const XML_Char* name, const XML_Char**) {
  static_cast<CMultistatusReader*>(user)->Start(name);
}
void XMLCALL OnEnd(void* user, const XML_Char*) { static_cast<CMultistatusReader*>(user)->End(); }
void XMLCALL OnText(void* user, const XML_Char* text, int length) {
  static_cast<CMultistatusReader*>(user)->Text({text, static_cast<size_t>(length)});
}

// A multistatus never has a document type; refusing one refuses its entities with it.
void XMLCALL OnDoctype(void* user, const XML_Char*, const XML_Char*, const XML_Char*, int) {
  static_cast<CMultistatusReader*>(user)->Stop("the answer declares a document type");
}

}  // namespace

bool ParseMultistatus(std::string_view xml, SMultistatus& out, std::string& error) {
  out = {};
  std::unique_ptr<XML_ParserStruct, SParserFree> parser(XML_ParserCreateNS("UTF-8", kSep));
  CMultistatusReader reader(out, parser.get());
  XML_SetUserData(parser.get(), &reader);
  XML_SetElementHandler(parser.get(), OnStart, OnEnd);
  XML_SetCharacterDataHandler(parser.get(), OnText);
  XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);
  bool ok = true;
  // Fed in pieces: expat takes an int length.
  constexpr size_t kPiece = size_t{1} << 24;
  for (size_t at = 0; ok && (at < xml.size() || at == 0); at += kPiece) {
    const size_t length = std::min(kPiece, xml.size() - at);
    const bool bLast = at + length >= xml.size();
    ok = XML_Parse(parser.get(), xml.data() + at, static_cast<int>(length), bLast) ==
             XML_STATUS_OK &&
         reader.Error().empty();
    if (bLast) break;
  }
  if (ok) return true;
  error = !reader.Error().empty()
              ? reader.Error()
              : std::string(XML_ErrorString(XML_GetErrorCode(parser.get()))) + " at line " +
                    std::to_string(XML_GetCurrentLineNumber(parser.get()));
  out = {};
  return false;
}

std::string XmlEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

namespace {

constexpr std::string_view kNamespaces =
    " xmlns:d=\"DAV:\" xmlns:card=\"urn:ietf:params:xml:ns:carddav\""
    " xmlns:cal=\"urn:ietf:params:xml:ns:caldav\" xmlns:cs=\"http://calendarserver.org/ns/\"";

std::string_view PropElement(EDavProp prop) {
  switch (prop) {
    case EDavProp::Etag:
      return "<d:getetag/>";
    case EDavProp::ResourceType:
      return "<d:resourcetype/>";
    case EDavProp::DisplayName:
      return "<d:displayname/>";
    case EDavProp::CurrentUserPrincipal:
      return "<d:current-user-principal/>";
    case EDavProp::AddressBookHomeSet:
      return "<card:addressbook-home-set/>";
    case EDavProp::CalendarHomeSet:
      return "<cal:calendar-home-set/>";
    case EDavProp::SupportedReportSet:
      return "<d:supported-report-set/>";
    case EDavProp::SyncToken:
      return "<d:sync-token/>";
    case EDavProp::Ctag:
      return "<cs:getctag/>";
  }
  return {};
}

std::string Document(std::string_view root, std::string_view inner) {
  std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<";
  out += root;
  out += kNamespaces;
  out += ">";
  out += inner;
  out += "</";
  out += root.substr(0, root.find(' '));
  out += ">\n";
  return out;
}

}  // namespace

std::string PropfindBody(const std::vector<EDavProp>& props) {
  std::string inner = "<d:prop>";
  for (const auto prop : props) inner += PropElement(prop);
  inner += "</d:prop>";
  return Document("d:propfind", inner);
}

std::string AddressBookMultigetBody(const std::vector<std::string>& hrefs) {
  std::string inner = "<d:prop><d:getetag/><card:address-data/></d:prop>";
  for (const auto& href : hrefs) inner += "<d:href>" + XmlEscaped(href) + "</d:href>";
  return Document("card:addressbook-multiget", inner);
}

std::string SyncCollectionBody(std::string_view syncToken, bool bWithCards) {
  std::string inner = "<d:sync-token>" + XmlEscaped(syncToken) + "</d:sync-token>";
  inner += "<d:sync-level>1</d:sync-level><d:prop><d:getetag/>";
  inner += bWithCards ? "<card:address-data/></d:prop>" : "</d:prop>";
  return Document("d:sync-collection", inner);
}

std::string MakeCollectionBody(std::string_view displayName, bool bCalendar) {
  std::string inner = "<d:set><d:prop><d:resourcetype><d:collection/>";
  inner += bCalendar ? "<cal:calendar/>" : "<card:addressbook/>";
  inner += "</d:resourcetype><d:displayname>" + XmlEscaped(displayName) + "</d:displayname>";
  inner += "</d:prop></d:set>";
  return Document("d:mkcol", inner);
}

}  // namespace zorvan::sync
