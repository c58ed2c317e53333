#include "interchange/vcard/ForeignVCardWriter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <unordered_map>

#include "interchange/ForeignContact.h"
#include "interchange/vcard/KeptLines.h"
#include "interchange/vcard/VCardBase64.h"
#include "interchange/vcard/VCardMapping.h"
#include "interchange/vcard/VCardProperty.h"
#include "res/CodePage.h"
#include "store/RecordExtras.h"
#include "store/RecordFields.h"
#include "store/RecordIdentity.h"
#include "store/RecordTexts.h"
#include "store/TextUtil.h"
#include "store/TreeItem.h"
#include "store/TwoThreads.h"

namespace zorvan {
namespace {

constexpr std::string_view kEol = "\r\n";
// RFC 2426 and RFC 6350 both: a line holds at most 75 octets, its line break not counted.
constexpr size_t kLineOctets = 75;
constexpr std::string_view kProdId = "PRODID:-//Tavorin//Zorvan//EN";

bool Is40(EVCardVersion v) { return v == EVCardVersion::v40; }

// value as width digits with leading zeros (a negative value as zeros).
void AppendDigits(std::string& out, int value, int width) {
  char digits[16];
  int n = 0;
  for (unsigned v = value < 0 ? 0u : static_cast<unsigned>(value); v != 0 || n < width; v /= 10)
    digits[n++] = static_cast<char>('0' + v % 10);
  while (n > 0) out += digits[--n];
}

// Builds a card a content line at a time, straight into the card: a line starts with its head,
// the name and parameters given in up to two pieces (the helpers add the colon), and is folded
// in place when it ends longer than a line may be, which few lines are.
class CCardBuilder {
 public:
  CCardBuilder(std::string& card, const CTreeItem& record, EVCardVersion version,
               std::string& scratch)
      : m_rCard(card), m_rRecord(record), m_rScratch(scratch), m_version(version) {}

  bool V40() const { return Is40(m_version); }
  std::string_view Pick(std::string_view v30, std::string_view v40) const {
    return V40() ? v40 : v30;
  }
  const CTextField& TextOf(EField f) const { return m_rRecord.*TextMember(f); }

  std::string& Begin(std::string_view head, std::string_view more = {}) {
    m_nLineStart = m_rCard.size();
    m_rCard += head;
    m_rCard += more;
    return m_rCard;
  }
  std::string& BeginValue(std::string_view head, std::string_view more = {}) {
    Begin(head, more) += ':';
    return m_rCard;
  }
  void End() {
    if (m_rCard.size() - m_nLineStart <= kLineOctets) {
      m_rCard += kEol;
      return;
    }
    m_rScratch.assign(m_rCard, m_nLineStart);
    m_rCard.resize(m_nLineStart);
    AppendFoldedLine(m_rCard, m_rScratch);
  }

  // "NAME:value" for a value that is not empty.
  void Text(std::string_view head, const CTextField& value, std::string_view more = {},
            EVCardEscape escape = EVCardEscape::text) {
    if (value.empty()) return;
    AppendVCardText(BeginValue(head, more), value.view(), escape);
    End();
  }
  // "NAME:a;b;c" of components; nothing when every component is empty, unless always.
  void Compound(std::string_view head, std::span<const CTextField* const> parts,
                bool always = false, std::string_view more = {}) {
    bool any = always;
    for (const CTextField* p : parts) any = any || (p && !p->empty());
    if (!any) return;
    std::string& line = BeginValue(head, more);
    bool first = true;
    for (const CTextField* p : parts) {
      if (!first) line += ';';
      first = false;
      if (p) AppendVCardText(line, p->view(), EVCardEscape::component);
    }
    End();
  }
  // A set date: yyyy-mm-dd in 3.0 and in the program's own lines, yyyymmdd (the basic form
  // RFC 6350 takes from ISO 8601) in 4.0 properties.
  void Date(std::string_view head, EField f, bool dashed) {
    const SRecordField& field = RecordField(f);
    int y = 0, m = 0, d = 0;
    const CDateTime& date = m_rRecord.*field.pDate;
    if (!IsDateSet(m_rRecord.*field.pNumber, date) || !date.GetDate(y, m, d)) return;
    std::string& line = BeginValue(head);
    AppendDigits(line, y, 4);
    if (dashed) line += '-';
    AppendDigits(line, m, 2);
    if (dashed) line += '-';
    AppendDigits(line, d, 2);
    End();
  }
  void Number(std::string_view head, int value) {
    BeginValue(head) += std::to_string(value);
    End();
  }
  // A property of one value, as the version names it.
  void Property(const SPropertyMapping& m) {
    const SRecordField& field = RecordField(m.field);
    if (field.type == EFieldType::date)
      Date(Pick(m.name30, m.name40), m.field, !V40());
    else
      Text(Pick(m.name30, m.name40), TextOf(m.field));
  }

 private:
  std::string& m_rCard;
  const CTreeItem& m_rRecord;
  std::string& m_rScratch;  // a long line while it is folded
  size_t m_nLineStart = 0;
  EVCardVersion m_version;
};

// Which of the two addresses of a kind is marked preferred: 0 the personal one, 1 the business
// one, -1 neither. The record stores 1 for the business address and 0 for the personal one,
// and a 0 without a personal address is the business one, as the preferred address the
// program opens; an address that is not given is never marked.
int PreferredSlot(int stored, const CTextField& personal, const CTextField& business) {
  if (stored == 0 && !personal.empty()) return 0;
  if ((stored == 0 || stored == 1) && !business.empty()) return 1;
  return -1;
}

// An EMAIL or URL pair: the home one first, each marked preferred as the record says.
void AddressPair(CCardBuilder& b, const CTreeItem& r, const SAddressPairMapping& m) {
  const CTextField& personal = b.TextOf(m.personal);
  const CTextField& business = b.TextOf(m.business);
  const int preferred = PreferredSlot(r.*RecordField(m.preference).pNumber, personal, business);
  const CTextField* values[] = {&personal, &business};
  for (int slot = 0; slot < 2; ++slot) {
    if (values[slot]->empty()) continue;
    std::string& line = b.Begin(m.name);
    const bool pref = slot == preferred;
    if (b.V40()) {
      line += slot == 0 ? ";TYPE=home" : ";TYPE=work";
      if (pref) line += ";PREF=1";
    } else {
      line += m.internet ? ";TYPE=INTERNET," : ";TYPE=";
      line += slot == 0 ? "HOME" : "WORK";
      if (pref) line += ",PREF";
    }
    line += ':';
    AppendVCardText(line, values[slot]->view(), EVCardEscape::text);
    b.End();
  }
}

// Which components of an ADR side are written: a field shared by several components is
// written in the last of them.
constexpr std::array<bool, 7> WrittenComponents(const SPostalMapping& side) {
  std::array<bool, 7> written{};
  for (size_t i = 0; i < 7; ++i) {
    written[i] = true;
    for (size_t j = i + 1; j < 7; ++j)
      if (side.components[j] == side.components[i]) written[i] = false;
  }
  return written;
}

// An ADR of one side; which components it writes is worked out once, when compiling.
template <const SPostalMapping& side>
void PostalAddress(CCardBuilder& b) {
  static constexpr std::array<bool, 7> kWritten = WrittenComponents(side);
  const CTextField* parts[7] = {};
  for (size_t i = 0; i < 7; ++i)
    if (kWritten[i]) parts[i] = &b.TextOf(side.components[i]);
  b.Compound("ADR;TYPE=", parts, false, b.Pick(side.types30, side.types40));
}

// The program's own properties, in the table's order.
void OwnProperties(CCardBuilder& b, const CTreeItem& r) {
  for (const SOwnProperty& own : kOwnProperties) {
    if (own.write == EOwnWrite::never) continue;
    const SRecordField& field = RecordField(own.field);
    switch (field.type) {
      case EFieldType::integer:
        if (own.write == EOwnWrite::always || r.*field.pNumber != 0)
          b.Number(own.name, r.*field.pNumber);
        break;
      case EFieldType::date:
        b.Date(own.name, own.field, true);
        break;
      case EFieldType::text:
        b.Text(own.name, r.*field.pText);
        break;
    }
  }
}

// A messaging address the reader took from another program's card into an IP phone field
// (aim:..., xmpp:..., see kImServices) goes back as IMPP, which both versions know; the field
// itself travels in the program's own property.
void MessagingAddresses(CCardBuilder& b, const CTreeItem& r) {
  const std::pair<const CTextField*, std::string_view> sides[] = {
      {&r.m_strHomeIpPhone, b.Pick("HOME", "home")},
      {&r.m_strBusinessIpPhone, b.Pick("WORK", "work")}};
  for (const auto& [text, type] : sides) {
    const std::string_view value = text->view();
    const size_t colon = value.find(':');
    if (colon == std::string_view::npos || colon + 1 == value.size()) continue;
    for (const SImService& im : kImServices) {
      if (im.scheme.empty() || !SameIgnoringAsciiCase(value.substr(0, colon), im.scheme)) continue;
      b.Text("IMPP;TYPE=", *text, type);
      break;
    }
  }
}

// The contact's photo: in base64 for 3.0, as a data: URI for 4.0.
void Photo(CCardBuilder& b, const CTreeItem& r) {
  if (!r.m_pExtras || r.m_pExtras->photo.empty()) return;
  const std::string_view type = PhotoMediaType(r.m_pExtras->photo);
  if (type.empty()) return;
  if (b.V40()) {
    std::string& line = b.Begin("PHOTO:data:");
    line.append(type).append(";base64,");
    AppendBase64(line, r.m_pExtras->photo);
  } else {
    std::string& line = b.Begin("PHOTO;ENCODING=b;TYPE=");
    for (const char c : type.substr(6)) line += AsciiUpper(c);
    line += ':';
    AppendBase64(line, r.m_pExtras->photo);
  }
  b.End();
}

// The lines of another program's card that the contact has no field for, written back as they
// came. A line that would break the card, or say anew what the card says itself, is left out:
// the lines come from the database file, which anything may have written.
void KeptProperties(CCardBuilder& b, const CTreeItem& r) {
  if (!r.m_pExtras) return;
  SProperty p;
  for (const std::string& line : r.m_pExtras->properties) {
    if (!SplitLine(line, p) || p.name.empty()) continue;
    if (std::any_of(line.begin(), line.end(),
                    [](char c) { return IsC0ControlOrDelete(c) && c != '\t'; }))
      continue;
    if (IsCardFrameName(p.name)) continue;
    // A date the record holds itself now.
    if ((EqualsUpperAscii(p.name, "BDAY") && IsDateSet(r.m_bBirthday, r.m_dtBirthday)) ||
        (EqualsUpperAscii(p.name, "ANNIVERSARY") && IsDateSet(r.m_bAnniversary, r.m_dtAnniversary)))
      continue;
    if (IsWellFormedUtf8(line))
      b.Begin(line);
    else
      b.Begin(RepairUtf8(line));
    b.End();
  }
}

// The groups above a contact, outermost first, as deep and as long as an import recreates them:
// every card of a deep tree would otherwise repeat all of its ancestors.
void Categories(CCardBuilder& b, const CTreeItem& r, std::span<const std::string_view> categories) {
  // The first CATEGORIES of a card of this program's are its groups: a contact at the top that
  // keeps another program's categories says that it lies in none.
  if (categories.empty()) {
    if (r.m_pExtras && std::any_of(r.m_pExtras->properties.begin(), r.m_pExtras->properties.end(),
                                   [](const std::string& line) {
                                     return StartsWithUpperAscii(line, "CATEGORIES:");
                                   })) {
      b.Begin("CATEGORIES:");
      b.End();
    }
    return;
  }
  std::string& line = b.BeginValue("CATEGORIES");
  const size_t start = line.size();
  for (size_t i = 0; i < categories.size() && i < kMaxGroupPathLevels; ++i) {
    if (i > 0 && line.size() - start + categories[i].size() > kMaxCategoriesBytes) break;
    if (i > 0) line += ',';
    AppendVCardText(line, categories[i], EVCardEscape::text);
  }
  b.End();
}

void BuildCard(std::string& card, const CTreeItem& r, EVCardVersion version,
               std::span<const std::string_view> categories, std::string_view uid,
               std::string& scratch) {
  CCardBuilder b(card, r, version, scratch);
  card += "BEGIN:VCARD\r\n";
  card += b.V40() ? "VERSION:4.0\r\n" : "VERSION:3.0\r\n";
  card += kProdId;
  card += kEol;
  if (!uid.empty()) {
    b.BeginValue("UID") += uid;
    b.End();
  }
  if (r.m_pExtras && !r.m_pExtras->rev.empty()) {
    b.BeginValue("REV") += r.m_pExtras->rev;
    b.End();
  }
  // A card of a company alone tells 4.0 programs it is no person's.
  if (b.V40() && r.m_strFirstName.empty() && r.m_strMiddleName.empty() && r.m_strLastName.empty() &&
      !r.m_strCompany.empty()) {
    b.Begin("KIND:org");
    b.End();
  }
  // FN is required by both versions, N by 3.0 only; an empty label gives an empty FN.
  AppendVCardText(b.BeginValue("FN"), r.m_strLabel.view(), EVCardEscape::text);
  b.End();
  const CTextField* name[kNameComponentCount] = {};
  for (size_t i = 0; i < std::size(kNameComponents); ++i) name[i] = &b.TextOf(kNameComponents[i]);
  b.Compound("N", name, !b.V40());
  b.Property(kNicknameMapping);
  if (b.V40() && (r.m_nGender == 1 || r.m_nGender == 2)) {
    b.Begin(r.m_nGender == 1 ? "GENDER:M" : "GENDER:F");
    b.End();
  }
  b.Property(kBirthdayMapping);
  b.Property(kAnniversaryMapping);
  // ORG is compound: a semicolon in the company is escaped even when it stands alone. A unit is
  // written only when there is one: "ORG:Acme;" shows as "Acme, " on some phones.
  if (r.m_strDepartment.empty()) {
    b.Text("ORG", r.m_strCompany, {}, EVCardEscape::component);
  } else {
    const CTextField* org[] = {&r.m_strCompany, &r.m_strDepartment};
    b.Compound("ORG", org);
  }
  b.Property(kJobTitleMapping);
  PostalAddress<kHomeAddressMapping>(b);
  PostalAddress<kWorkAddressMapping>(b);
  for (const SPhoneMapping& phone : kPhoneMappings)
    b.Text("TEL;TYPE=", b.TextOf(phone.field), b.Pick(phone.types30, phone.types40));
  MessagingAddresses(b, r);
  AddressPair(b, r, kEmailMapping);
  AddressPair(b, r, kUrlMapping);
  b.Property(kSpouseMapping);
  b.Text("NOTE", r.m_strRemark);
  Categories(b, r, categories);
  Photo(b, r);
  OwnProperties(b, r);
  KeptProperties(b, r);
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
std::string UuidText(const SPathHash& h) { return UuidUrn(h.a, h.b, 8); }

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

// A contact's own identity, where it has one, is the one other programs know it by; else the
// UID derived from its path (hash, the path down to it), made in uuid, which the view returned
// then points into.
std::string_view CardUid(const CTreeItem& r, const SPathHash& hash, std::string& uuid) {
  if (r.m_pExtras && !r.m_pExtras->uid.empty()) return r.m_pExtras->uid;
  uuid = UuidText(hash);
  return uuid;
}

// Walks a subtree and writes its contacts' cards. A UID is derived from the labels from below
// the contacts root down to the contact, each with its number among same-labelled siblings
// ("Friends/Jiří Dvořák", "Friends/Jiří Dvořák#2"): a contact keeps its UID from one export to
// the next, whatever its data and whether all or a group were exported, so a phone updates the
// contact instead of adding it again; renamed or moved, it is a new contact to the phone, which
// a database without record identities cannot avoid.
//
// The walk only lists the records with their paths' hashes and categories; the cards are then
// built from the list in batches, the later share of a large batch on a second thread into a
// buffer of its own that follows the first share into the output. A batch is bounded by the
// bytes its cards will take, photos counted, so that the buffer stays a few megabytes.
class CSubtreeWriter {
 public:
  CSubtreeWriter(IOutput& out, EVCardVersion version, CProgress* progress)
      : m_rOut(out), m_version(version), m_pProgress(progress) {}

  bool Write(const CTreeItem& top);

 private:
  // A record of the walk; a group's (no categories list) only steps the progress.
  struct SVisit {
    const CTreeItem* record;
    SPathHash hash;
    size_t categories;  // in m_lists, kGroup for a group
  };
  static constexpr size_t kGroup = SIZE_MAX;

  struct SLevel {
    const CTreeItem* node;
    size_t next;
    SPathHash hash;                                  // of the path down to node
    size_t nCategories;                              // the categories of node's children
    std::unordered_map<std::string_view, int> seen;  // node's children's labels so far
  };

  // One thread's cards: the buffers it builds them in, reused from card to card.
  struct SBuilder {
    std::string card, scratch, uuid;
  };

  void Walk(const CTreeItem& top);
  void Visit(const CTreeItem& r, const SPathHash& hash);
  bool WriteBatch(size_t from, size_t to);
  bool WriteVisits(size_t from, size_t to, IOutput& out, SBuilder& b, bool step);

  IOutput& m_rOut;
  EVCardVersion m_version;
  CProgress* m_pProgress;
  // The labels of the groups above the walk's place, and the lists of them the contacts take,
  // each cut where no card would write more of it.
  std::vector<std::string_view> m_categories;
  bool m_bChanged = true;  // since the last list was taken
  std::vector<std::vector<std::string_view>> m_lists;
  std::vector<SVisit> m_visits;
  SBuilder m_first, m_second;
  std::string m_strLater;  // the second thread's cards of a batch
};

void CSubtreeWriter::Visit(const CTreeItem& r, const SPathHash& hash) {
  if (r.m_bGroup != 0) {
    m_visits.push_back({&r, hash, kGroup});
    return;
  }
  if (m_bChanged) {
    // Categories writes at most so many groups and stops before the line passes its most
    // bytes, which their escaped texts reach no later than the labels themselves.
    size_t n = 0, bytes = 0;
    while (n < m_categories.size() && n < kMaxGroupPathLevels &&
           (n == 0 || bytes + m_categories[n].size() <= kMaxCategoriesBytes))
      bytes += m_categories[n++].size();
    m_lists.emplace_back(m_categories.begin(), m_categories.begin() + n);
    m_bChanged = false;
  }
  m_visits.push_back({&r, hash, m_lists.size() - 1});
}

void CSubtreeWriter::Walk(const CTreeItem& top) {
  // The way down to top: its UID's path so far, and the groups above it.
  SPathHash hash;
  for (const CTreeItem* n : PathFromRoot(top)) {
    hash.AddStep(n->m_strLabel.view(), OrdinalAmongSiblings(*n));
    if (n != &top && IsGroupBelowRoot(*n)) m_categories.push_back(n->m_strLabel.view());
  }
  if (top.m_pParent) Visit(top, hash);
  if (IsGroupBelowRoot(top)) m_categories.push_back(top.m_strLabel.view());

  std::vector<SLevel> stack;
  stack.push_back({&top, 0, hash, m_categories.size(), {}});
  while (!stack.empty()) {
    SLevel& level = stack.back();
    if (level.next >= level.node->ChildCount()) {
      stack.pop_back();
      continue;
    }
    const CTreeItem& child = *level.node->Child(level.next++);
    if (m_categories.size() != level.nCategories) {
      m_categories.resize(level.nCategories);
      m_bChanged = true;
    }
    SPathHash childHash = level.hash;
    childHash.AddStep(child.m_strLabel.view(), ++level.seen[child.m_strLabel.view()]);
    Visit(child, childHash);
    if (IsGroupBelowRoot(child)) {
      m_categories.push_back(child.m_strLabel.view());
      m_bChanged = true;
    }
    if (child.ChildCount() > 0) stack.push_back({&child, 0, childHash, m_categories.size(), {}});
  }
}

bool CSubtreeWriter::WriteVisits(size_t from, size_t to, IOutput& out, SBuilder& b, bool step) {
  for (size_t i = from; i < to; ++i) {
    const SVisit& v = m_visits[i];
    if (step && m_pProgress) m_pProgress->Step();
    if (v.categories == kGroup) continue;
    b.card.clear();
    BuildCard(b.card, *v.record, m_version, m_lists[v.categories],
              CardUid(*v.record, v.hash, b.uuid), b.scratch);
    if (!out.Write(b.card)) return false;
  }
  return true;
}

// What a visit's card takes, roughly, in kilobytes: one for the fields, more for a photo (in
// base64) and kept properties.
size_t CardWeight(const CTreeItem& r) {
  size_t bytes = 1024;
  if (r.m_pExtras) {
    bytes += r.m_pExtras->photo.size() / 3 * 4;
    for (const std::string& line : r.m_pExtras->properties) bytes += line.size();
  }
  return bytes / 1024;
}

// A batch takes cards of about this many kilobytes, and is built on two threads from this many
// visits on. This thread takes the smaller share of a batch's cards, as it writes them all.
constexpr size_t kBatchWeight = 8192;
constexpr size_t kTwoThreadsFrom = 512;
constexpr double kFirstShare = 0.4;

bool CSubtreeWriter::WriteBatch(size_t from, size_t to) {
  if (to - from < kTwoThreadsFrom) return WriteVisits(from, to, m_rOut, m_first, true);
  const size_t middle = from + static_cast<size_t>(static_cast<double>(to - from) * kFirstShare);
  // The later cards into a buffer kept from batch to batch.
  class CAppend : public IOutput {
   public:
    explicit CAppend(std::string& bytes) : m_rBytes(bytes) { m_rBytes.clear(); }
    bool Write(std::string_view bytes) override {
      m_rBytes.append(bytes);
      return true;
    }

   private:
    std::string& m_rBytes;
  } later(m_strLater);
  bool firstOk = true, laterOk = true;
  RunBeside([&] { firstOk = WriteVisits(from, middle, m_rOut, m_first, true); },
            [&] { laterOk = WriteVisits(middle, to, later, m_second, false); });
  if (!firstOk || !laterOk) return false;
  if (m_pProgress)
    for (size_t i = middle; i < to; ++i) m_pProgress->Step();
  return m_rOut.Write(m_strLater);
}

bool CSubtreeWriter::Write(const CTreeItem& top) {
  Walk(top);
  for (size_t from = 0; from < m_visits.size();) {
    size_t to = from, weight = 0;
    while (to < m_visits.size() && (to == from || weight < kBatchWeight))
      weight += CardWeight(*m_visits[to++].record);
    if (!WriteBatch(from, to)) return false;
    from = to;
  }
  return true;
}

}  // namespace

void AppendVCardText(std::string& out, std::string_view value, EVCardEscape escape) {
  // The bytes that go out as they are, printable ASCII and whole UTF-8 characters, are copied
  // a run at a time; the run ends at a byte that is escaped, left out or replaced.
  size_t run = 0;
  const auto flush = [&](size_t end) { out.append(value.substr(run, end - run)); };
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '\\' && c != ',' &&
        (c != ';' || escape != EVCardEscape::component))
      continue;
    if (byte >= 0xC2 && byte <= 0xDF && i + 1 < value.size() &&
        (static_cast<unsigned char>(value[i + 1]) & 0xC0) == 0x80) {
      ++i;  // a character of two octets (Latin, Greek, Cyrillic letters): always well formed
      continue;
    }
    if (byte >= 0x80) {
      size_t next = i;
      DecodeUtf8(value, next);
      if (next - i > 1) {
        i = next - 1;
        continue;
      }
    }
    flush(i);
    run = i + 1;
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
        if (i + 1 < value.size() && value[i + 1] == '\n') run = ++i + 1;
        out += "\\n";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += c;
        break;
      default:
        // The file says UTF-8: a byte that is no part of a character becomes U+FFFD; other
        // control characters are left out.
        if (byte >= 0x80) out += "\xEF\xBF\xBD";
    }
  }
  flush(value.size());
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
  std::string card, scratch;
  const std::vector<std::string_view> views(categories.begin(), categories.end());
  BuildCard(card, record, version, views, uid, scratch);
  return card;
}

std::string ForeignVCardUid(const CTreeItem& record) {
  // A contact with an identity of its own needs no path: counting same-labelled siblings on the
  // way down costs a pass over each parent's children, per contact.
  if (record.m_pExtras && !record.m_pExtras->uid.empty()) return record.m_pExtras->uid.str();
  SPathHash hash;
  for (const CTreeItem* n : PathFromRoot(record))
    hash.AddStep(n->m_strLabel.view(), OrdinalAmongSiblings(*n));
  std::string uuid;
  return std::string(CardUid(record, hash, uuid));
}

bool WriteForeignVCards(IOutput& out, const CTreeItem& top, EVCardVersion version,
                        CProgress* progress) {
  CSubtreeWriter writer(out, version, progress);
  return writer.Write(top);
}

}  // namespace zorvan
