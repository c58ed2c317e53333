#include "interchange/vcard/ForeignVCardWriter.h"

#include <cstdint>
#include <cstdio>
#include <unordered_map>

#include "interchange/ForeignContact.h"
#include "store/RecordTexts.h"
#include "store/TreeItem.h"

namespace zorvan {
namespace {

using D = CContactData;

constexpr std::string_view kEol = "\r\n";
// RFC 2426 and RFC 6350 both: a line holds at most 75 octets, its line break not counted.
constexpr size_t kLineOctets = 75;
constexpr std::string_view kProdId = "PRODID:-//Tavorin//Zorvan//EN";

bool Is40(EVCardVersion v) { return v == EVCardVersion::v40; }

void AppendDigits(std::string& out, int value, int width) {
  char buf[16];
  const int n = std::snprintf(buf, sizeof buf, "%0*d", width, value < 0 ? 0 : value);
  out.append(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

// Builds a card a content line at a time: each line is made whole in a scratch text and then
// folded into the card.
class CCardBuilder {
 public:
  CCardBuilder(std::string& card, EVCardVersion version) : m_rCard(card), m_version(version) {}

  bool V40() const { return Is40(m_version); }
  const char* Pick(const char* v30, const char* v40) const { return V40() ? v40 : v30; }

  std::string& Begin(std::string_view nameAndParams) {
    m_strLine.assign(nameAndParams);
    return m_strLine;
  }
  void End() { AppendFoldedLine(m_rCard, m_strLine); }

  // "NAME:value" for a text that is not empty.
  void Text(std::string_view name, const CText& value) {
    if (value.empty()) return;
    AppendVCardText(Begin(name), value.view());
    End();
  }
  // "NAME:a;b;c" of components; nothing when every component is empty, unless always.
  void Compound(std::string_view name, std::initializer_list<const CText*> parts,
                bool always = false) {
    bool any = always;
    for (const CText* p : parts) any = any || (p && !p->empty());
    if (!any) return;
    std::string& line = Begin(name);
    bool first = true;
    for (const CText* p : parts) {
      if (!first) line += ';';
      first = false;
      if (p) AppendVCardText(line, p->view());
    }
    End();
  }
  // A set date: yyyy-mm-dd in 3.0 and in the program's own lines, yyyymmdd (the basic form
  // RFC 6350 takes from ISO 8601) in 4.0 properties.
  void Date(std::string_view name, int flag, const CDateTime& date, bool dashed) {
    int y = 0, m = 0, d = 0;
    if (!IsDateSet(flag, date) || !date.GetDate(y, m, d)) return;
    std::string& line = Begin(name);
    AppendDigits(line, y, 4);
    if (dashed) line += '-';
    AppendDigits(line, m, 2);
    if (dashed) line += '-';
    AppendDigits(line, d, 2);
    End();
  }
  void Number(std::string_view name, int value) {
    Begin(name) += std::to_string(value);
    End();
  }

 private:
  std::string& m_rCard;
  std::string m_strLine;
  EVCardVersion m_version;
};

// The eight telephone fields with their TYPE parameters. A cell phone without WORK is the
// personal mobile, as phones file it.
struct SPhone {
  CText D::*member;
  const char* v30;
  const char* v40;
};
constexpr SPhone kPhones[] = {
    {&D::m_strHomePhone, "TEL;TYPE=HOME,VOICE:", "TEL;TYPE=home,voice:"},
    {&D::m_strHomeFax, "TEL;TYPE=HOME,FAX:", "TEL;TYPE=home,fax:"},
    {&D::m_strPersonalMobile, "TEL;TYPE=HOME,CELL:", "TEL;TYPE=home,cell:"},
    {&D::m_strPersonalPager, "TEL;TYPE=HOME,PAGER:", "TEL;TYPE=home,pager:"},
    {&D::m_strBusinessPhone, "TEL;TYPE=WORK,VOICE:", "TEL;TYPE=work,voice:"},
    {&D::m_strBusinessFax, "TEL;TYPE=WORK,FAX:", "TEL;TYPE=work,fax:"},
    {&D::m_strBusinessMobile, "TEL;TYPE=WORK,CELL:", "TEL;TYPE=work,cell:"},
    {&D::m_strBusinessPager, "TEL;TYPE=WORK,PAGER:", "TEL;TYPE=work,pager:"},
};

// Which of the two addresses of a kind the record prefers: 0 the personal one, 1 the business
// one, -1 neither. The stored number indexes the list the Name page shows, which holds only the
// addresses given (so 0 is the business address when there is no personal one), and a number
// past its end selects nothing.
int PreferredSlot(int stored, const CText& personal, const CText& business) {
  const int count = (personal.empty() ? 0 : 1) + (business.empty() ? 0 : 1);
  const int entry = SelectionOf(stored, count);
  if (entry < 0) return -1;
  return entry == 0 && !personal.empty() ? 0 : 1;
}

// An EMAIL or URL pair: the home one first, each marked preferred as the record says.
void AddressPair(CCardBuilder& b, const char* name, bool internet, int stored,
                 const CText& personal, const CText& business) {
  const int preferred = PreferredSlot(stored, personal, business);
  const CText* values[] = {&personal, &business};
  for (int slot = 0; slot < 2; ++slot) {
    if (values[slot]->empty()) continue;
    std::string& line = b.Begin(name);
    const bool pref = slot == preferred;
    if (b.V40()) {
      line += slot == 0 ? ";TYPE=home" : ";TYPE=work";
      if (pref) line += ";PREF=1";
    } else {
      line += internet ? ";TYPE=INTERNET," : ";TYPE=";
      line += slot == 0 ? "HOME" : "WORK";
      if (pref) line += ",PREF";
    }
    line += ':';
    AppendVCardText(line, values[slot]->view());
    b.End();
  }
}

void BuildCard(std::string& card, const CTreeItem& r, EVCardVersion version,
               const std::vector<std::string>& categories, std::string_view uid) {
  CCardBuilder b(card, version);
  card += "BEGIN:VCARD\r\n";
  card += b.V40() ? "VERSION:4.0\r\n" : "VERSION:3.0\r\n";
  card += kProdId;
  card += kEol;
  if (!uid.empty()) {
    b.Begin("UID:") += uid;
    b.End();
  }
  // FN is required by both versions, N by 3.0 only; an empty label gives an empty FN.
  AppendVCardText(b.Begin("FN:"), r.m_strLabel.view());
  b.End();
  b.Compound(
      "N:", {&r.m_strLastName, &r.m_strFirstName, &r.m_strMiddleName, &r.m_strTitle, nullptr},
      !b.V40());
  b.Text("NICKNAME:", r.m_strNickname);
  if (b.V40() && (r.m_nGender == 1 || r.m_nGender == 2)) {
    b.Begin(r.m_nGender == 1 ? "GENDER:M" : "GENDER:F");
    b.End();
  }
  b.Date("BDAY:", r.m_bBirthday, r.m_dtBirthday, !b.V40());
  b.Date(b.Pick("X-ANNIVERSARY:", "ANNIVERSARY:"), r.m_bAnniversary, r.m_dtAnniversary, !b.V40());
  // A unit is written only when there is one: "ORG:Acme;" shows as "Acme, " on some phones.
  if (r.m_strDepartment.empty())
    b.Text("ORG:", r.m_strCompany);
  else
    b.Compound("ORG:", {&r.m_strCompany, &r.m_strDepartment});
  b.Text("TITLE:", r.m_strJobTitle);
  b.Compound(b.Pick("ADR;TYPE=HOME:", "ADR;TYPE=home:"),
             {nullptr, nullptr, &r.m_strHomeStreet, &r.m_strHomeCity, &r.m_strHomeState,
              &r.m_strHomePostalCode, &r.m_strHomeCountry});
  // The office is the extended address: the part of the address within the building.
  b.Compound(b.Pick("ADR;TYPE=WORK:", "ADR;TYPE=work:"),
             {nullptr, &r.m_strOffice, &r.m_strBusinessStreet, &r.m_strBusinessCity,
              &r.m_strBusinessState, &r.m_strBusinessPostalCode, &r.m_strBusinessCountry});
  for (const SPhone& phone : kPhones) b.Text(b.Pick(phone.v30, phone.v40), r.*phone.member);
  AddressPair(b, "EMAIL", true, r.m_nPrefEmail, r.m_strPersonalEmail, r.m_strBusinessEmail);
  AddressPair(b, "URL", false, r.m_nPrefUrl, r.m_strPersonalWeb, r.m_strBusinessWeb);
  b.Text(b.Pick("X-SPOUSE:", "RELATED;TYPE=spouse;VALUE=text:"), r.m_strSpouse);
  b.Text("NOTE:", r.m_strRemark);
  if (!categories.empty()) {
    // The groups above a contact, outermost first, as deep and as long as an import recreates
    // them: every card of a deep tree would otherwise repeat all of its ancestors.
    std::string& line = b.Begin("CATEGORIES:");
    const size_t start = line.size();
    for (size_t i = 0; i < categories.size() && i < kMaxGroupPathLevels; ++i) {
      if (i > 0 && line.size() - start + categories[i].size() > kMaxCategoriesBytes) break;
      if (i > 0) line += ',';
      AppendVCardText(line, categories[i]);
    }
    b.End();
  }
  // The program's own properties: what no standard property holds, and the preference numbers
  // as stored, which win over PREF and GENDER when the file is read back.
  if (r.m_nGender != 0) b.Number("X-TAVORIN-GENDER:", r.m_nGender);
  b.Number("X-TAVORIN-EMAIL:", r.m_nPrefEmail);
  b.Number("X-TAVORIN-URL:", r.m_nPrefUrl);
  b.Text("X-TAVORIN-HOME-IPPHONE:", r.m_strHomeIpPhone);
  b.Text("X-TAVORIN-WORK-IPPHONE:", r.m_strBusinessIpPhone);
  b.Text("X-TAVORIN-ANNIVERSARY-STRING:", r.m_strAnniversaryText);
  b.Date("X-TAVORIN-NAMEDAY-DATE:", r.m_bNameDay, r.m_dtNameDay, true);
  b.Text("X-TAVORIN-CHILDREN:", r.m_strChildren);
  card += "END:VCARD\r\n";
}

// Two 64-bit FNV-1a hashes with different starting points, fed the same bytes: 128 bits for a
// UUID that is the same on every machine and in every run (std::hash promises neither).
struct SPathHash {
  std::uint64_t a = 14695981039346656037ull;
  std::uint64_t b = 0x6a09e667f3bcc908ull;

  void Add(std::string_view bytes) {
    for (const unsigned char c : bytes) {
      a = (a ^ c) * 1099511628211ull;
      b = (b ^ c) * 1099511628211ull;
    }
  }
  // One step of the path: a separator no label holds, the label, and the number of the record
  // among its siblings of the same label when it is not the first.
  void AddStep(std::string_view label, int ordinal) {
    Add("\x1f");
    Add(label);
    if (ordinal > 1) {
      Add("#");
      Add(std::to_string(ordinal));
    }
  }
};

// A UUID in the form of RFC 9562's version 8 (its bits are the program's own choice).
std::string UuidText(const SPathHash& h) {
  unsigned char bytes[16];
  for (int i = 0; i < 8; ++i) {
    bytes[i] = static_cast<unsigned char>(h.a >> (56 - 8 * i));
    bytes[8 + i] = static_cast<unsigned char>(h.b >> (56 - 8 * i));
  }
  bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x80);
  bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);
  static const char digits[] = "0123456789abcdef";
  std::string text = "urn:uuid:";
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 0x0F];
  }
  return text;
}

// The number of a record among its parent's children of the same label, from 1.
int OrdinalAmongSiblings(const CTreeItem& record) {
  const CTreeItem* parent = record.m_pParent;
  int ordinal = 1;
  for (size_t i = 0; i < parent->ChildCount() && parent->Child(i) != &record; ++i)
    ordinal += parent->Child(i)->m_strLabel == record.m_strLabel ? 1 : 0;
  return ordinal;
}

// The records from below the root down to record (record included; none for a root).
std::vector<const CTreeItem*> PathFromRoot(const CTreeItem& record) {
  std::vector<const CTreeItem*> path;
  for (const CTreeItem* n = &record; n->m_pParent; n = n->m_pParent) path.push_back(n);
  return {path.rbegin(), path.rend()};
}

bool IsGroupBelowRoot(const CTreeItem& r) { return r.m_bGroup != 0 && r.m_pParent; }

// Walks a subtree and writes its contacts' cards. A UID is derived from the labels from below
// the contacts root down to the contact, each with its number among same-labelled siblings
// ("Friends/Jiří Dvořák", "Friends/Jiří Dvořák#2"): a contact keeps its UID from one export to
// the next, whatever its data and whether all or a group were exported, so a phone updates the
// contact instead of adding it again; renamed or moved, it is a new contact to the phone, which
// a database without record identities cannot avoid.
class CSubtreeWriter {
 public:
  CSubtreeWriter(IOutput& out, EVCardVersion version, CProgress* progress)
      : m_rOut(out), m_version(version), m_pProgress(progress) {
    m_strCard.reserve(4096);
  }

  bool Write(const CTreeItem& top);

 private:
  struct SLevel {
    const CTreeItem* node;
    size_t next;
    SPathHash hash;                                  // of the path down to node
    size_t nCategories;                              // the categories of node's children
    std::unordered_map<std::string_view, int> seen;  // node's children's labels so far
  };

  bool Visit(const CTreeItem& r, const SPathHash& hash) {
    if (m_pProgress) m_pProgress->Step();
    if (r.m_bGroup != 0) return true;
    m_strCard.clear();
    BuildCard(m_strCard, r, m_version, m_categories, UuidText(hash));
    return m_rOut.Write(m_strCard);
  }

  IOutput& m_rOut;
  EVCardVersion m_version;
  CProgress* m_pProgress;
  std::string m_strCard;
  std::vector<std::string> m_categories;
};

bool CSubtreeWriter::Write(const CTreeItem& top) {
  // The way down to top: its UID's path so far, and the groups above it.
  SPathHash hash;
  for (const CTreeItem* n : PathFromRoot(top)) {
    hash.AddStep(n->m_strLabel.view(), OrdinalAmongSiblings(*n));
    if (n != &top && IsGroupBelowRoot(*n)) m_categories.push_back(n->m_strLabel.str());
  }
  if (top.m_pParent && !Visit(top, hash)) return false;
  if (IsGroupBelowRoot(top)) m_categories.push_back(top.m_strLabel.str());

  std::vector<SLevel> stack;
  stack.push_back({&top, 0, hash, m_categories.size(), {}});
  while (!stack.empty()) {
    SLevel& level = stack.back();
    if (level.next >= level.node->ChildCount()) {
      stack.pop_back();
      continue;
    }
    const CTreeItem& child = *level.node->Child(level.next++);
    m_categories.resize(level.nCategories);
    SPathHash childHash = level.hash;
    childHash.AddStep(child.m_strLabel.view(), ++level.seen[child.m_strLabel.view()]);
    if (!Visit(child, childHash)) return false;
    if (IsGroupBelowRoot(child)) m_categories.push_back(child.m_strLabel.str());
    if (child.ChildCount() > 0) stack.push_back({&child, 0, childHash, m_categories.size(), {}});
  }
  return true;
}

// The length of the well-formed UTF-8 character at the start of bytes (its first byte 0x80 or
// above), or 0 when it is not one: a stray continuation byte, a cut-off sequence, an overlong
// form, a surrogate or a code point beyond U+10FFFF.
size_t Utf8Length(std::string_view bytes) {
  const auto at = [&bytes](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = at(0);
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  }
  if (length == 0 || bytes.size() < length || at(1) < low || at(1) > high) return 0;
  for (size_t i = 2; i < length; ++i)
    if ((at(i) & 0xC0) != 0x80) return 0;
  return length;
}

}  // namespace

void AppendVCardText(std::string& out, std::string_view value) {
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case ',':
        out += "\\,";
        break;
      case ';':
        out += "\\;";
        break;
      case '\r':
        if (i + 1 < value.size() && value[i + 1] == '\n') ++i;
        out += "\\n";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        if (static_cast<unsigned char>(c) >= 0x80) {
          // The file says UTF-8: a byte that is no part of a character becomes U+FFFD.
          const size_t length = Utf8Length(value.substr(i));
          if (length == 0) {
            out += "\xEF\xBF\xBD";
          } else {
            out.append(value.substr(i, length));
            i += length - 1;
          }
        } else if ((static_cast<unsigned char>(c) >= 0x20 || c == '\t') && c != 0x7F) {
          out += c;
        }
    }
  }
}

void AppendFoldedLine(std::string& out, std::string_view line) {
  size_t room = kLineOctets;
  while (line.size() > room) {
    // Back to the first byte of the character the limit falls in (a UTF-8 character has at
    // most three continuation bytes; bytes that are not UTF-8 are cut where they fall).
    size_t cut = room;
    while (cut > room - 3 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    if ((static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) cut = room;
    out.append(line.substr(0, cut));
    out += "\r\n ";
    line.remove_prefix(cut);
    room = kLineOctets - 1;  // the blank that starts a continuation line counts
  }
  out.append(line);
  out += kEol;
}

std::string ForeignVCard(const CTreeItem& record, EVCardVersion version,
                         const std::vector<std::string>& categories, std::string_view uid) {
  std::string card;
  BuildCard(card, record, version, categories, uid);
  return card;
}

std::string ForeignVCardUid(const CTreeItem& record) {
  SPathHash hash;
  for (const CTreeItem* n : PathFromRoot(record))
    hash.AddStep(n->m_strLabel.view(), OrdinalAmongSiblings(*n));
  return UuidText(hash);
}

bool WriteForeignVCards(IOutput& out, const CTreeItem& top, EVCardVersion version,
                        CProgress* progress) {
  CSubtreeWriter writer(out, version, progress);
  return writer.Write(top);
}

}  // namespace zorvan
