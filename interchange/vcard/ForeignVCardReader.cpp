#include "interchange/vcard/ForeignVCardReader.h"

#include <array>
#include <vector>

#include "interchange/FieldList.h"
#include "res/CodePage.h"
#include "store/DateParse.h"
#include "store/RecordFields.h"
#include "store/RecordTexts.h"
#include "store/TextUtil.h"

namespace zorvan {

using R = CForeignVCardReader;

namespace {

// The office has no property of its own in what the standard writer writes (it is the business
// address's extended address), but some programs write one.
constexpr SPropertyMapping kOfficeMapping{fieldOffice, "OFFICE", "OFFICE", "Office"};

// The initials of the names an unknown property that Apple or Google labelled for the user is
// kept under, with its label, in the remark.
constexpr std::string_view kLabelledInitials = "ABCEFGILMNORSTUX";

bool IsOwnName(std::string_view name) {
  return name.size() >= kOwnPrefix.size() && AsciiUpper(name[0]) == 'X' &&
         StartsWithUpperAscii(name.substr(2), kOwnPrefix.substr(2));
}

// The name of an IM service as the X- properties give it, for IMPP's scheme or service type
// (aim, xmpp, ...), so that the same handle reads the same from either.
std::string ServiceName(std::string_view scheme) {
  for (const SImService& im : kImServices)
    if (EqualsUpperAscii(scheme, im.name)) return std::string(im.service);
  if (EqualsUpperAscii(scheme, "XMPP")) return "Jabber";
  if (EqualsUpperAscii(scheme, "YMSGR")) return "Yahoo";
  return std::string(scheme);
}

}  // namespace

// The properties read, by their names in upper case.
const R::SHandler R::kHandlers[] = {
    {"ADR", &R::OnAddress},
    {kAnniversaryMapping.name40, &R::OnDate, true, {}, &kAnniversaryMapping},
    {"AGENT", &R::OnAgent},
    {"ASSNAME", &R::OnRemark, true, "Assistant"},
    {kBirthdayMapping.name40, &R::OnDate, true, {}, &kBirthdayMapping},
    {"CATEGORIES", &R::OnCategories},
    {kEmailMapping.name, &R::OnEmail},
    {"FN", &R::OnFormattedName},
    {"GENDER", &R::OnGender},
    {"GEO", &R::OnRemark, true, "Location"},
    {"IMPP", &R::OnImpp},
    {"KEY", &R::OnBlob, false, "Key"},
    {"LABEL", &R::OnLabel},
    {"LOGO", &R::OnBlob, false, "Logo"},
    {"MANNAME", &R::OnRemark, true, "Manager"},
    {"N", &R::OnName},
    {kNicknameMapping.name40, &R::OnText, true, {}, &kNicknameMapping},
    {"NOTE", &R::OnNote},
    {kOfficeMapping.name40, &R::OnText, true, {}, &kOfficeMapping},
    {"ORG", &R::OnOrganization},
    {"PHOTO", &R::OnPhoto, false, "Photo"},
    {"RELATED", &R::OnRelated},
    {"REV", &R::OnIdentity, true, "REV"},
    {"ROLE", &R::OnRemark, true, "Role"},
    {"SOUND", &R::OnSound, true, "Sound"},
    {"SPOUSNAME", &R::OnRelation, true, "spouse"},
    {"TEL", &R::OnPhone},
    {kJobTitleMapping.name40, &R::OnText, true, {}, &kJobTitleMapping},
    {"UID", &R::OnIdentity, true, "UID"},
    {"URL", &R::OnUrl},
    // Extensions of Apple, Google, Outlook, Evolution and KAddressBook.
    {"X-ABDATE", &R::OnAbDate},
    {"X-ABLABEL", &R::OnNothing},
    {"X-ABRELATEDNAMES", &R::OnRelatedNames},
    {"X-ANDROID-CUSTOM", &R::OnAndroidCustom},
    {"X-CHILD", &R::OnRelation, true, "child"},
    {kDepartmentMapping.name30, &R::OnText, true, {}, &kDepartmentMapping},
    {"X-EVOLUTION-FILE-AS", &R::OnFileAs},
    {"X-GENDER", &R::OnExtensionGender},
    {"X-MAIDENNAME", &R::OnRemark, true, "Maiden name"},
    {"X-MS-CARDPICTURE", &R::OnPhoto, false, "Photo"},
    {"X-MS-TEL", &R::OnOutlookPhone},
    {"X-PHONETIC-FIRST-NAME", &R::OnRemark, true, "Phonetic first name"},
    {"X-PHONETIC-LAST-NAME", &R::OnRemark, true, "Phonetic last name"},
    {"X-PHONETIC-MIDDLE-NAME", &R::OnRemark, true, "Phonetic middle name"},
    {kProfessionMapping.name30, &R::OnText, true, {}, &kProfessionMapping},
    {"X-SIP", &R::OnSip},
    {"X-WAB-GENDER", &R::OnOutlookGender},
};

// The handler of a property name, looked for among the names of its initial. An extension is
// known by what follows its first two characters, whatever the second of them is (a picture
// excepted).
const R::SHandler* R::FindHandler(std::string_view name) {
  using FBuckets = std::array<std::vector<const SHandler*>, 26>;
  static const FBuckets kBuckets = [] {
    FBuckets buckets;
    auto add = [&buckets](const SHandler* h) { buckets[h->name[0] - 'A'].push_back(h); };
    for (const SHandler& h : kHandlers) add(&h);
    static SHandler aliased[std::size(kVendorAliases)];
    for (size_t i = 0; i < std::size(kVendorAliases); ++i) {
      for (const SHandler& h : kHandlers)
        if (h.name == kVendorAliases[i].second) aliased[i] = h;
      aliased[i].name = kVendorAliases[i].first;
      add(&aliased[i]);
    }
    static std::string names[std::size(kImServices)];
    static SHandler im[std::size(kImServices)];
    for (size_t i = 0; i < std::size(kImServices); ++i) {
      names[i] = "X-" + std::string(kImServices[i].name);
      im[i] = {names[i], &R::OnIm, true, kImServices[i].service};
      add(&im[i]);
    }
    return buckets;
  }();
  const char c0 = AsciiUpper(name[0]);
  if (c0 < 'A' || c0 > 'Z') return nullptr;
  const bool extension = c0 == 'X' && name.size() >= 3;
  for (const SHandler* h : kBuckets[c0 - 'A']) {
    if (h->name.size() != name.size()) continue;
    if (!extension) {
      if (EqualsUpperAscii(name, h->name)) return h;
    } else if (EqualsUpperAscii(name.substr(2), h->name.substr(2)) &&
               (name[1] == '-' || (h->read != &R::OnBlob && h->read != &R::OnPhoto))) {
      return h;
    }
  }
  return nullptr;
}

CForeignVCardReader::CForeignVCardReader(std::string_view text, const SForeignReadHooks& hooks,
                                         const CTreeItem& base, CFileCodePageGuess* guess)
    : m_text(text),
      m_gatherer(text),
      m_undeclared(text, guess),
      m_hooks(hooks),
      m_prototype(base),
      m_strUnknown(base.m_strLabel.str()) {
  m_prototype.m_strLabel.clear();
  m_value.SetUndeclared(&m_undeclared);
  for (const SRecordField& f : kRecordFields)
    if (f.type == EFieldType::text && !(m_prototype.*f.pText).empty()) m_bCopyPrototype = true;
  if (m_prototype.m_pExtras) m_bCopyPrototype = true;
}

size_t CForeignVCardReader::Run(size_t from, size_t limit) {
  size_t lastProgress = 0, start = 0;
  m_gatherer.Seek(from);
  while (m_gatherer.NextBegin(start)) {
    if (start >= limit) return start;
    m_gatherer.GatherCard();
    ReadCard();
    if (m_hooks.onProgress && m_gatherer.Offset() - lastProgress >= (1u << 20)) {
      lastProgress = m_gatherer.Offset();
      m_hooks.onProgress(lastProgress);
    }
  }
  return m_text.size();
}

void CForeignVCardReader::StartCard() {
  if (m_bCopyPrototype) {
    m_record = std::make_unique<CTreeItem>(m_prototype);
  } else {
    // A prototype of no texts gives a new record its numbers and dates alone: 38 empty texts
    // are not copied one by one for every card.
    m_record = std::make_unique<CTreeItem>(CTreeItem::SUnfilled{});
    for (const SRecordField& f : kRecordFields) {
      if (f.type == EFieldType::text) continue;
      m_record.get()->*f.pNumber = m_prototype.*f.pNumber;
      if (f.type == EFieldType::date) m_record.get()->*f.pDate = m_prototype.*f.pDate;
    }
    m_record->m_nKind = m_prototype.m_nKind;
    // The texts are set one by one in the room the cards before left, and the record gets
    // them in a block of their size when the card is done.
    m_roomForTexts.Clear();
    m_roomForTexts.Reserve(kTextsRoom);
    m_record->m_texts = std::move(m_roomForTexts);
  }
  m_abLabels.clear();
  m_strNote.clear();
  m_strExtra.clear();
  m_remarkLines.clear();
  m_strChildren.clear();
  m_categories.clear();
  m_addressLabels.clear();
  m_addressLabelLines.clear();
  m_strFileAs.clear();
  m_strFileAsLine.clear();
  m_nKeptBytes = 0;
  m_bGroupsRead = false;
  m_bTavorin = m_bLabel = m_bName = m_bAddress = false;
  m_blobs = 0;
  m_nPrefEmail = m_nPrefUrl = -1;
  m_tavorinGender.reset();
  m_tavorinEmail.reset();
  m_tavorinUrl.reset();
  m_tavorinChildren.reset();
}

void CForeignVCardReader::ReadCard() {
  StartCard();
  m_undeclared.StartCard(&m_gatherer);
  // Grouped properties take their labels from an X-ABLabel of the group, which may come
  // before or after them; and a card with any X-TAVORIN- line was written by this program.
  SProperty p;
  for (const SRawLine& raw : m_gatherer.Lines()) {
    const std::string_view line = m_gatherer.Line(raw);
    if (line.size() > 9 && (line[0] == 'X' || line[0] == 'x' || raw.grouped)) {
      if (!SplitLine(line, p)) continue;
      if (StartsWithUpperAscii(p.name, kOwnPrefix)) m_bTavorin = true;
      if (!p.group.empty() && EqualsUpperAscii(p.name, "X-ABLABEL"))
        m_abLabels.push_back({p.group, TrimValue(p.value), line, false});
    }
  }
  for (const SRawLine& raw : m_gatherer.Lines()) {
    if (!SplitLine(m_gatherer.Line(raw), p) || p.name.empty()) continue;
    std::string_view label;
    if (!p.group.empty()) {
      for (const SAbLabel& l : m_abLabels) {
        if (SameIgnoringAsciiCase(l.group, p.group)) {
          label = l.label;
          break;
        }
      }
    }
    m_pProperty = &p;
    m_bKept = false;
    ReadProperty(p, ReadParams(p.params), label);
  }
  m_pProperty = nullptr;
  for (const std::string& agent : m_gatherer.Agents()) Remark("Agent", agent);
  if (m_gatherer.LeftOut() != 0)
    Remark("Left out", std::to_string(m_gatherer.LeftOut()) +
                           " more properties (a card holds at most " +
                           std::to_string(kMaxCardProperties) + ")");
  Finish();
}

void CForeignVCardReader::ReadProperty(const SProperty& p, const SParams& paramsIn,
                                       std::string_view label) {
  SParams params = paramsIn;
  if (!label.empty()) {
    bool known = false;
    params.flags |= LabelFlags(label, known);
    if (known) label = {};
  }
  const SHandler* handler = FindHandler(p.name);
  m_bDecoded = !handler || handler->decode;
  if (!m_bDecoded) return (this->*handler->read)(*handler, params, label);
  m_value.Decode(p, params);
  if (handler) return (this->*handler->read)(*handler, params, label);
  if (IsOwnName(p.name)) return OnOwnProperty(p.name);
  // A value Apple or Google labelled for the user.
  if (!label.empty() && !p.group.empty() &&
      kLabelledInitials.find(AsciiUpper(p.name[0])) != std::string_view::npos)
    return Keep(AppleLabel(label), m_value.Whole());
  // Any other property of another program's is kept as it stands, but for what the card's
  // own frame and the writer say anew (the version, the writing program, the kind of card)
  // and the labels, which go with the properties they label.
  static constexpr std::string_view kNotKept[] = {"VERSION",   "PRODID", "KIND",
                                                  "X-ABLABEL", "BEGIN",  "END"};
  for (std::string_view name : kNotKept)
    if (EqualsUpperAscii(p.name, name)) return;
  if (!m_bDescribe) KeepLine();
}

bool CForeignVCardReader::Put(EField f, std::string_view text) {
  CTextField& field = m_record.get()->*TextMember(f);
  if (!field.empty() || m_bDescribe) return false;
  field = text;
  return true;
}

// The value in its field while that is free, else kept.
void CForeignVCardReader::PutOrKeep(EField f, std::string_view remark, std::string_view text) {
  if (!Put(f, text)) Keep(remark, text);
}

void CForeignVCardReader::Remark(std::string_view label, std::string_view value) {
  value = TrimValue(value);
  if (value.empty()) return;
  const size_t start = m_strExtra.size();
  if (start > 0) m_strExtra += "\r\n";
  const size_t line = m_strExtra.size();
  AppendUtf8Text(m_strExtra, label);
  m_strExtra += ": ";
  AppendUtf8Text(m_strExtra, value);
  // The same line twice (a handle both as X-AIM and as IMPP) says nothing new.
  const std::string_view added = std::string_view(m_strExtra).substr(line);
  const std::uint64_t hash = std::hash<std::string_view>()(added);
  const auto [first, last] = m_remarkLines.equal_range(hash);
  for (auto it = first; it != last; ++it) {
    if (std::string_view(m_strExtra).substr(it->second.first, it->second.second) == added) {
      m_strExtra.resize(start);
      return;
    }
  }
  m_remarkLines.emplace(hash, std::make_pair(line, added.size()));
}

// A line of the remark as it stands, without a label and without looking for its twin.
void CForeignVCardReader::AppendRemarkLine(std::string_view text) {
  if (!m_strExtra.empty()) m_strExtra += "\r\n";
  const size_t line = m_strExtra.size();
  AppendUtf8Text(m_strExtra, text);
  const std::string_view added = std::string_view(m_strExtra).substr(line);
  m_remarkLines.emplace(std::hash<std::string_view>()(added), std::make_pair(line, added.size()));
}

// "Phone (mobile, work)": what a value is, with its kind in words.
std::string CForeignVCardReader::Label(std::string_view what, std::uint32_t flags,
                                       std::string_view custom, std::string_view abLabel) const {
  static constexpr std::pair<std::uint32_t, std::string_view> kKinds[] = {
      {kCell, "mobile"}, {kCar, "car"},     {kIphone, "iPhone"}, {kMain, "main"},
      {kFax, "fax"},     {kPager, "pager"}, {kVideo, "video"},   {kIsdn, "ISDN"},
      {kModem, "modem"}, {kBbs, "BBS"},     {kMsg, "messages"},  {kText, "text"},
      {kHome, "home"},   {kWork, "work"},   {kOther, "other"},
  };
  std::string words;
  auto add = [&](std::string_view w) {
    if (w.empty()) return;
    if (!words.empty()) words += ", ";
    words += w;
  };
  if (!abLabel.empty()) {
    add(Words(AppleLabel(abLabel)));
  } else {
    for (const auto& [flag, word] : kKinds)
      if (flags & flag) add(word);
    if (!custom.empty())
      add(Words(custom.starts_with("X-") || custom.starts_with("x-") ? custom.substr(2) : custom));
  }
  std::string out(what);
  if (!words.empty()) out += " (" + words + ")";
  return out;
}

void CForeignVCardReader::OnImpp(const SH&, const SParams& params, std::string_view label) {
  const std::string_view text = TrimValue(m_value.Whole());
  const size_t colon = text.find(':');
  const std::string_view scheme = colon == std::string_view::npos ? "" : text.substr(0, colon);
  if (EqualsUpperAscii(scheme, "SIP")) return ReadIpPhone(text, params.flags, label);
  const std::string handle =
      PercentDecoded(colon == std::string_view::npos ? text : text.substr(colon + 1));
  const std::string service = ServiceName(params.serviceType.empty() ? scheme : params.serviceType);
  // The URI as it came when its scheme is one of a service's, else made from the service.
  std::string uri;
  for (const SImService& im : kImServices) {
    if (im.scheme.empty()) continue;
    if (!scheme.empty() && SameIgnoringAsciiCase(scheme, im.scheme)) {
      uri = text;
      break;
    }
    if (scheme.empty() && service == im.service) {
      uri.append(im.scheme).append(1, ':').append(handle);
      break;
    }
  }
  ReadIm(service, uri, handle, label.empty() ? params.flags : 0);
}

void CForeignVCardReader::OnIm(const SH& h, const SParams& params, std::string_view label) {
  const std::string_view handle = TrimValue(m_value.Whole());
  std::string uri;
  for (const SImService& im : kImServices) {
    if (im.service != h.text) continue;
    if (!im.scheme.empty()) uri.append(im.scheme).append(1, ':').append(handle);
    if (im.service.empty()) uri = handle;  // an address as it stands
    break;
  }
  ReadIm(h.text, uri, handle, label.empty() ? params.flags : 0);
}

// The card's own identity, kept with the record so that the contact stays the same contact to
// the program it came from. A value longer than any identifier or time is no identity.
void CForeignVCardReader::OnIdentity(const SH& h, const SParams&, std::string_view) {
  constexpr size_t kMaxIdentityBytes = 1000;
  const std::string_view value = TrimValue(m_value.Whole());
  if (value.empty() || value.size() > kMaxIdentityBytes) return;
  // Written back as it stands, it must not break the line it is written on.
  for (const char c : value)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return;
  if (!m_record->m_pExtras) m_record->m_pExtras = std::make_unique<SRecordExtras>();
  CText& held = h.text == "UID" ? m_record->m_pExtras->uid : m_record->m_pExtras->rev;
  if (!held.empty()) return;
  // Into the block of the card's texts, as its fields go.
  if (IsWellFormedUtf8(value))
    m_texts.Assign(held, value);
  else
    m_texts.Assign(held, RepairUtf8(value));
}

void CForeignVCardReader::Finish() {
  CTreeItem& r = *m_record;
  if (m_tavorinChildren)
    r.m_strChildren = *m_tavorinChildren;
  else if (!m_strChildren.empty())
    r.m_strChildren = m_strChildren;
  if (m_tavorinGender)
    r.m_nGender = *m_tavorinGender >= 0 && *m_tavorinGender <= 2 ? *m_tavorinGender : 0;
  r.m_nPrefEmail = m_tavorinEmail
                       ? (*m_tavorinEmail == 0 || *m_tavorinEmail == 1 ? *m_tavorinEmail : -1)
                       : m_nPrefEmail;
  r.m_nPrefUrl =
      m_tavorinUrl ? (*m_tavorinUrl == 0 || *m_tavorinUrl == 1 ? *m_tavorinUrl : -1) : m_nPrefUrl;
  // The formatted address of 3.0 tells nothing more than the ADR it goes with.
  if (!m_bAddress)
    for (size_t i = 0; i < m_addressLabels.size(); ++i)
      if (!KeepText(std::move(m_addressLabelLines[i]))) AppendRemarkLine(m_addressLabels[i]);

  SForeignContact contact;
  if (m_bTavorin) {
    contact.groupPath = std::move(m_categories);
    m_categories.clear();
  } else if (!m_categories.empty()) {
    std::string& list = m_parts[0];
    list.clear();
    for (const std::string& c : m_categories) {
      if (!list.empty()) list += ", ";
      list += c;
    }
    Remark("Categories", list);
  }
  // Evolution's "file as" name is how it lists the contact: the label of a card without FN.
  if (!m_strFileAs.empty()) {
    if (!m_bLabel && !m_bDescribe) {
      r.m_strLabel = m_strFileAs;
      m_bLabel = true;
    } else if (!KeepText(std::move(m_strFileAsLine))) {
      Remark("File as", m_strFileAs);
    }
  }
  if (!m_bLabel) r.m_strLabel = DefaultLabel();

  const std::string_view note = TrimValue(m_strNote);
  if (!note.empty() || !m_strExtra.empty()) {
    m_strRemark.assign(note);
    if (!m_strRemark.empty() && !m_strExtra.empty()) m_strRemark += "\r\n";
    m_strRemark += m_strExtra;
    r.m_strRemark = m_strRemark;
  }
  if (!m_bCopyPrototype) {
    CRecordTexts exact(r.m_texts);
    m_roomForTexts = std::move(r.m_texts);
    r.m_texts = std::move(exact);
  }
  if (m_hooks.onEmptyCard && !m_bLabel && contact.groupPath.empty() && HoldsNothing()) {
    m_record.reset();
    return m_hooks.onEmptyCard();
  }
  contact.pRecord = std::move(m_record);
  if (m_hooks.onContact) m_hooks.onContact(std::move(contact));
}

// The label of a card without FN: the name, else the company, else an e-mail address; a card
// with nothing to name it by gets the label of a new record.
std::string CForeignVCardReader::DefaultLabel() const {
  std::string name = FallbackLabel(*m_record);
  return name.empty() ? m_strUnknown : name;
}

// True when the record read is a new record and nothing more: every field as the prototype has
// it, the label the one a new record gets.
bool CForeignVCardReader::HoldsNothing() const {
  const CTreeItem& r = *m_record;
  if (r.m_strLabel.view() != m_strUnknown) return false;
  if (r.m_pExtras && (!r.m_pExtras->photo.empty() || !r.m_pExtras->properties.empty()))
    return false;
  for (const SFieldInfo& f : FieldList()) {
    if (f.field == fieldLabel) continue;
    switch (f.kind) {
      case EFieldKind::text:
        if ((r.*f.pText).view() != (m_prototype.*f.pText).view()) return false;
        break;
      case EFieldKind::integer:
      case EFieldKind::groupFlag:
        if (r.*f.pNumber != m_prototype.*f.pNumber) return false;
        break;
      case EFieldKind::date:
        if (r.*f.pNumber != m_prototype.*f.pNumber) return false;
        if (IsDateSet(r.*f.pNumber, r.*f.pDate)) return false;
        break;
    }
  }
  return true;
}

}  // namespace zorvan
