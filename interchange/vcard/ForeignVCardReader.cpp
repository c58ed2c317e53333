#include "interchange/vcard/ForeignVCardReader.h"

#include <cstdio>
#include <unordered_map>

#include "interchange/FieldList.h"
#include "res/CodePage.h"
#include "store/DateParse.h"
#include "store/TextUtil.h"

namespace zorvan {

using R = CForeignVCardReader;

struct CForeignVCardReader::SHandler {
  std::string_view name;
  void (CForeignVCardReader::*read)(const SHandler&, const SParams&, std::string_view label);
  // Pictures, keys and sounds are noted, never decoded.
  bool decode = true;
  std::string_view text = {};
  const SPropertyMapping* mapping = nullptr;
};

namespace {

// The office has no property of its own in what the standard writer writes (it is the business
// address's extended address), but some programs write one.
constexpr SPropertyMapping kOfficeMapping{fieldOffice, "OFFICE", "OFFICE", "Office"};

// Vendors' names for what a property above holds already.
constexpr std::pair<std::string_view, std::string_view> kAliases[] = {
    {kAnniversaryMapping.name30, "ANNIVERSARY"},
    {"X-MS-ANNIVERSARY", "ANNIVERSARY"},
    {"X-EVOLUTION-ANNIVERSARY", "ANNIVERSARY"},
    {"X-KADDRESSBOOK-X-ANNIVERSARY", "ANNIVERSARY"},
    {kSpouseMapping.name30, "SPOUSNAME"},
    {"X-MS-SPOUSE", "SPOUSNAME"},
    {"X-EVOLUTION-SPOUSE", "SPOUSNAME"},
    {"X-KADDRESSBOOK-X-SPOUSESNAME", "SPOUSNAME"},
    {"X-CHILDREN", "X-CHILD"},
    {"X-MS-CHILD", "X-CHILD"},
    {"X-MS-MANAGER", "MANNAME"},
    {"X-EVOLUTION-MANAGER", "MANNAME"},
    {"X-MANAGER", "MANNAME"},
    {"X-KADDRESSBOOK-X-MANAGERSNAME", "MANNAME"},
    {"X-MS-ASSISTANT", "ASSNAME"},
    {"X-EVOLUTION-ASSISTANT", "ASSNAME"},
    {"X-ASSISTANT", "ASSNAME"},
    {"X-KADDRESSBOOK-X-ASSISTANTSNAME", "ASSNAME"},
};

// Instant messaging handles under their service's name: as X-AIM and the like, and as the
// scheme or service type of IMPP.
constexpr std::pair<std::string_view, std::string_view> kImServices[] = {
    {"AIM", "AIM"},
    {"ICQ", "ICQ"},
    {"MSN", "MSN"},
    {"YAHOO", "Yahoo"},
    {"SKYPE", "Skype"},
    {"SKYPE-USERNAME", "Skype"},
    {"JABBER", "Jabber"},
    {"GTALK", "Google Talk"},
    {"GOOGLE-TALK", "Google Talk"},
    {"QQ", "QQ"},
    {"GADUGADU", "Gadu-Gadu"},
    {"MS-IMADDRESS", ""},
    {"TWITTER", "Twitter"},
    {"GROUPWISE", "GroupWise"},
    {"IRC", "IRC"},
};

// The initials of the names an unknown property that Apple or Google labelled for the user is
// kept under, with its label, in the remark.
constexpr std::string_view kLabelledInitials = "ABCEFGILMNORSTUX";

// Names no longer than this are looked up; no handler has a longer one.
constexpr size_t kLongestName = 40;

bool IsOwnName(std::string_view name) {
  return name.size() >= kOwnPrefix.size() && UpperAscii(name[0]) == 'X' &&
         StartsWithUpperAscii(name.substr(2), kOwnPrefix.substr(2));
}

// The name of an IM service as the X- properties give it, for IMPP's scheme or service type
// (aim, xmpp, ...), so that the same handle reads the same from either.
std::string ServiceName(std::string_view scheme) {
  for (const auto& [upper, service] : kImServices)
    if (EqualsUpperAscii(scheme, upper)) return std::string(service);
  if (EqualsUpperAscii(scheme, "XMPP")) return "Jabber";
  if (EqualsUpperAscii(scheme, "YMSGR")) return "Yahoo";
  return std::string(scheme);
}

// "Related (child)", or "Related" without a kind.
std::string Titled(std::string_view what, std::string_view kind) {
  std::string out(what);
  if (!kind.empty()) out.append(" (").append(kind).append(")");
  return out;
}

std::string_view TrimValue(std::string_view s) { return Trim(s, kSpaceTabAndLineBreaks); }

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
    {"PHOTO", &R::OnBlob, false, "Photo"},
    {"RELATED", &R::OnRelated},
    {"ROLE", &R::OnRemark, true, "Role"},
    {"SOUND", &R::OnSound, true, "Sound"},
    {"SPOUSNAME", &R::OnRelation, true, "spouse"},
    {"TEL", &R::OnPhone},
    {kJobTitleMapping.name40, &R::OnText, true, {}, &kJobTitleMapping},
    {"URL", &R::OnUrl},
    // Extensions of Apple, Google, Outlook, Evolution and KAddressBook.
    {"X-ABADR", &R::OnNothing},
    {"X-ABDATE", &R::OnAbDate},
    {"X-ABLABEL", &R::OnNothing},
    {"X-ABRELATEDNAMES", &R::OnRelatedNames},
    {"X-ANDROID-CUSTOM", &R::OnAndroidCustom},
    {"X-CHILD", &R::OnRelation, true, "child"},
    {"X-GENDER", &R::OnExtensionGender},
    {"X-MAIDENNAME", &R::OnRemark, true, "Maiden name"},
    {"X-MS-CARDPICTURE", &R::OnBlob, false, "Photo"},
    {"X-MS-TEL", &R::OnOutlookPhone},
    {"X-PHONETIC-FIRST-NAME", &R::OnRemark, true, "Phonetic first name"},
    {"X-PHONETIC-LAST-NAME", &R::OnRemark, true, "Phonetic last name"},
    {"X-PHONETIC-MIDDLE-NAME", &R::OnRemark, true, "Phonetic middle name"},
    {"X-SIP", &R::OnSip},
    {"X-WAB-GENDER", &R::OnOutlookGender},
};

// The handler of a property name. An extension is known by what follows its first two
// characters, whatever the second of them is (a picture excepted).
const R::SHandler* R::FindHandler(std::string_view name) {
  static const std::unordered_map<std::string_view, const SHandler*> kMap = [] {
    std::unordered_map<std::string_view, const SHandler*> map;
    for (const SHandler& h : kHandlers) map.emplace(h.name, &h);
    for (const auto& [alias, name] : kAliases) map.emplace(alias, map.at(name));
    static std::string names[std::size(kImServices)];
    static SHandler im[std::size(kImServices)];
    for (size_t i = 0; i < std::size(kImServices); ++i) {
      names[i] = "X-" + std::string(kImServices[i].first);
      im[i] = {names[i], &R::OnIm, true, kImServices[i].second};
      map.emplace(names[i], &im[i]);
    }
    return map;
  }();
  if (name.size() > kLongestName) return nullptr;
  char upper[kLongestName];
  for (size_t i = 0; i < name.size(); ++i) upper[i] = UpperAscii(name[i]);
  const std::string_view key(upper, name.size());
  auto it = kMap.find(key);
  if (it != kMap.end()) return it->second;
  if (key.size() < 3 || key[0] != 'X' || key[1] == '-') return nullptr;
  upper[1] = '-';
  it = kMap.find(key);
  if (it == kMap.end() || it->second->read == &R::OnBlob) return nullptr;
  return it->second;
}

CForeignVCardReader::CForeignVCardReader(std::string_view text, const SForeignReadHooks& hooks,
                                         const CTreeItem& base)
    : m_text(text),
      m_gatherer(text),
      m_hooks(hooks),
      m_prototype(base),
      m_strUnknown(base.m_strLabel.str()) {
  m_prototype.m_strLabel.clear();
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
  m_record = std::make_unique<CTreeItem>(m_prototype);
  m_abLabels.clear();
  m_strNote.clear();
  m_strExtra.clear();
  m_remarkLines.clear();
  m_strChildren.clear();
  m_categories.clear();
  m_addressLabels.clear();
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
  // Grouped properties take their labels from an X-ABLabel of the group, which may come
  // before or after them; and a card with any X-TAVORIN- line was written by this program.
  SProperty p;
  for (const SRawLine& raw : m_gatherer.Lines()) {
    const std::string_view line = m_gatherer.Line(raw);
    if (line.size() > 9 && (line[0] == 'X' || line[0] == 'x' || HasGroup(line))) {
      if (!SplitLine(line, p)) continue;
      if (StartsWithUpperAscii(p.name, kOwnPrefix)) m_bTavorin = true;
      if (!p.group.empty() && EqualsUpperAscii(p.name, "X-ABLABEL"))
        m_abLabels.emplace_back(p.group, TrimValue(p.value));
    }
  }
  for (const SRawLine& raw : m_gatherer.Lines()) {
    if (!SplitLine(m_gatherer.Line(raw), p) || p.name.empty()) continue;
    std::string_view label;
    if (!p.group.empty()) {
      for (const auto& [group, text] : m_abLabels) {
        if (SameIgnoringAsciiCase(group, p.group)) {
          label = text;
          break;
        }
      }
    }
    ReadProperty(p, ReadParams(p.params), label);
  }
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
  if (handler && !handler->decode) return (this->*handler->read)(*handler, params, label);
  m_value.Decode(p, params);
  if (handler) return (this->*handler->read)(*handler, params, label);
  if (IsOwnName(p.name)) return OnOwnProperty(p.name);
  // A value Apple or Google labelled for the user.
  if (!label.empty() && !p.group.empty() &&
      kLabelledInitials.find(UpperAscii(p.name[0])) != std::string_view::npos)
    Remark(AppleLabel(label), m_value.Whole());
}

bool CForeignVCardReader::Put(EField f, std::string_view text) {
  CText& field = m_record.get()->*TextMember(f);
  if (!field.empty()) return false;
  field = text;
  return true;
}

// The value in its field while that is free, else in the remark.
void CForeignVCardReader::PutOrRemark(EField f, std::string_view remark, std::string_view text) {
  if (!Put(f, text)) Remark(remark, text);
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

// ---------------------------------------------------------------------------------------------
// The readers of single properties

void CForeignVCardReader::OnBlob(const SH& h, const SParams&, std::string_view) {
  NoteBlob(h.text);
}

void CForeignVCardReader::OnSound(const SH& h, const SParams& params, std::string_view) {
  if (!(params.flags & kPhonetic)) return NoteBlob(h.text);
  // X-IRMC-N: the name as it is spoken, in the components of N.
  m_value.Split(';');
  m_value.JoinComponents(0, " ", m_parts[0]);
  Remark("Phonetic name", m_parts[0]);
}

void CForeignVCardReader::OnText(const SH& h, const SParams&, std::string_view) {
  PutOrRemark(h.mapping->field, h.mapping->remark, m_value.Whole());
}

void CForeignVCardReader::OnRemark(const SH& h, const SParams&, std::string_view) {
  Remark(h.text, m_value.Whole());
}

void CForeignVCardReader::OnRelation(const SH& h, const SParams&, std::string_view) {
  ReadRelation(h.text, m_value.Whole());
}

void CForeignVCardReader::OnIm(const SH& h, const SParams&, std::string_view) {
  ReadIm(h.text, m_value.Whole());
}

void CForeignVCardReader::OnDate(const SH& h, const SParams& params, std::string_view) {
  ReadDate(*h.mapping, params);
}

void CForeignVCardReader::OnAgent(const SH&, const SParams&, std::string_view) {
  // 3.0 puts the agent's card into the value; its name is what a person needs.
  const std::string_view text = m_value.Whole();
  const size_t fn = text.find("FN:");
  if (fn == std::string_view::npos) return Remark("Agent", text);
  const size_t end = text.find_first_of("\r\n", fn);
  Remark("Agent", text.substr(fn + 3, end == std::string_view::npos ? end : end - fn - 3));
}

void CForeignVCardReader::OnCategories(const SH&, const SParams&, std::string_view) {
  m_value.Split(',');
  for (size_t i = 0; i < m_value.ComponentCount(); ++i) {
    const std::string_view c = m_value.Component(i);
    if (!c.empty()) m_categories.emplace_back(c);
  }
}

void CForeignVCardReader::OnEmail(const SH&, const SParams& params, std::string_view label) {
  ReadEmailOrWeb(kEmailMapping, params, label);
}

void CForeignVCardReader::OnUrl(const SH&, const SParams& params, std::string_view label) {
  ReadEmailOrWeb(kUrlMapping, params, label);
}

void CForeignVCardReader::OnFormattedName(const SH&, const SParams&, std::string_view) {
  const std::string_view text = m_value.Whole();
  if (m_bLabel || text.empty()) return;
  m_record->m_strLabel = text;
  m_bLabel = true;
}

void CForeignVCardReader::OnGender(const SH&, const SParams&, std::string_view) {
  m_value.Split(';');
  ReadGender(m_value.Component(0));
}

void CForeignVCardReader::OnImpp(const SH&, const SParams& params, std::string_view label) {
  const std::string_view text = m_value.Whole();
  const size_t colon = text.find(':');
  const std::string_view scheme = colon == std::string_view::npos ? "" : text.substr(0, colon);
  if (EqualsUpperAscii(scheme, "SIP")) return ReadIpPhone(text, params.flags, label);
  const std::string handle =
      PercentDecoded(colon == std::string_view::npos ? text : text.substr(colon + 1));
  ReadIm(ServiceName(params.serviceType.empty() ? scheme : params.serviceType), handle);
}

void CForeignVCardReader::OnLabel(const SH&, const SParams& params, std::string_view label) {
  m_addressLabels.push_back(Label("Address label", params.flags, params.custom, label) + ": " +
                            OneLine(m_value.Whole()));
}

void CForeignVCardReader::OnName(const SH&, const SParams&, std::string_view) {
  if (m_bName) return;
  m_bName = true;
  m_value.Split(';');
  for (size_t i = 0; i < std::size(kNameComponents); ++i)
    Put(kNameComponents[i], m_value.Component(i));
  if (m_value.ComponentCount() > std::size(kNameComponents))
    Remark("Name suffix", m_value.Component(std::size(kNameComponents)));
}

void CForeignVCardReader::OnNote(const SH&, const SParams&, std::string_view) {
  const std::string_view text = m_value.Unescaped();
  if (TrimValue(text).empty()) return;
  if (!m_strNote.empty()) m_strNote += "\r\n";
  m_strNote += text;
}

void CForeignVCardReader::OnOrganization(const SH&, const SParams&, std::string_view) {
  m_value.Split(';');
  std::string& company = m_parts[0];
  std::string& department = m_parts[1];
  company = m_value.Component(0);
  m_value.JoinComponents(1, ", ", department);
  if (Free(fieldCompany) && Free(fieldDepartment)) {
    Put(fieldCompany, company);
    Put(fieldDepartment, department);
  } else if (!company.empty() || !department.empty()) {
    Remark("Organization",
           company + (company.empty() || department.empty() ? "" : ", ") + department);
  }
}

void CForeignVCardReader::OnRelated(const SH&, const SParams& params, std::string_view) {
  const std::string kind = params.flags & kSpouse  ? "spouse"
                           : params.flags & kChild ? "child"
                                                   : Words(params.custom);
  // 4.0 relates by URI unless VALUE=text: a urn:uuid: or mailto: is no name for the field.
  if (!(params.flags & kTextValue) && LooksLikeUri(m_value.Whole()))
    return Remark(Titled("Related", kind), m_value.Whole());
  ReadRelation(kind, m_value.Whole());
}

void CForeignVCardReader::OnAbDate(const SH&, const SParams& params, std::string_view label) {
  if (EqualsUpperAscii(AppleLabel(label), "ANNIVERSARY"))
    return ReadDate(kAnniversaryMapping, params);
  Remark(label.empty() ? std::string("Date") : "Date (" + Words(AppleLabel(label)) + ")",
         m_value.Whole());
}

void CForeignVCardReader::OnExtensionGender(const SH&, const SParams&, std::string_view) {
  ReadGender(m_value.Whole());
}

// Outlook's own gender numbers: 1 female, 2 male.
void CForeignVCardReader::OnOutlookGender(const SH&, const SParams&, std::string_view) {
  const std::string_view text = m_value.Whole();
  ReadGender(text == "1" ? "F" : text == "2" ? "M" : "");
}

void CForeignVCardReader::OnRelatedNames(const SH&, const SParams&, std::string_view label) {
  static constexpr std::string_view kSpouseWords[] = {"SPOUSE", "HUSBAND", "WIFE"};
  static constexpr std::string_view kChildWords[] = {"CHILD", "SON", "DAUGHTER"};
  const std::string_view word = AppleLabel(label);
  auto any = [word](const auto& list) {
    for (std::string_view w : list)
      if (EqualsUpperAscii(word, w)) return true;
    return false;
  };
  const std::string kind = any(kSpouseWords) ? "spouse" : any(kChildWords) ? "child" : Words(word);
  ReadRelation(kind, m_value.Whole());
}

void CForeignVCardReader::OnSip(const SH&, const SParams& params, std::string_view label) {
  ReadIpPhone(m_value.Whole(), params.flags, label);
}

void CForeignVCardReader::OnOutlookPhone(const SH&, const SParams& params, std::string_view) {
  Remark(Label("Phone", params.flags, params.custom, {}), m_value.Whole());
}

void CForeignVCardReader::OnAndroidCustom(const SH&, const SParams&, std::string_view) {
  // vnd.android.cursor.item/KIND;data;data...
  m_value.Split(';');
  std::string kind(m_value.Component(0));
  const size_t slash = kind.rfind('/');
  if (slash != std::string::npos) kind.erase(0, slash + 1);
  std::string data;
  m_value.JoinComponents(1, ", ", data);
  Remark(Titled("Custom", Words(kind)), data);
}

// The program's own properties: set as they are, and the numbers that win over PREF and
// GENDER kept for the end of the card.
void CForeignVCardReader::OnOwnProperty(std::string_view name) {
  const std::string_view text = m_value.Whole();
  for (const SOwnProperty& own : kOwnProperties) {
    if (!EqualsUpperAscii(name.substr(2), own.name.substr(2))) continue;
    const SRecordField& field = RecordField(own.field);
    switch (own.field) {
      case fieldGender:
        m_tavorinGender = ParseInteger(text);
        return;
      case fieldPrefEmail:
        m_tavorinEmail = ParseInteger(text);
        return;
      case fieldPrefUrl:
        m_tavorinUrl = ParseInteger(text);
        return;
      case fieldGroup:
        m_record->m_bGroup = ParseInteger(text) != 0;
        return;
      case fieldChildren:
        m_tavorinChildren = std::string(text);
        return;
      default:
        if (field.type == EFieldType::date)
          m_record.get()->*field.pNumber =
              ParseDateValue(text, m_record.get()->*field.pDate, EDateOrder::dayMonthYear);
        else
          m_record.get()->*field.pText = text;
        return;
    }
  }
}

void CForeignVCardReader::NoteBlob(std::string_view what) {
  const std::uint32_t bit = what == "Photo" ? 1 : what == "Logo" ? 2 : what == "Key" ? 4 : 8;
  if (m_blobs & bit) return;
  m_blobs |= bit;
  Remark(what, "yes");
}

void CForeignVCardReader::OnPhone(const SH&, const SParams& params, std::string_view label) {
  std::string_view number = m_value.Whole();
  if (number.empty()) return;
  const std::uint32_t flags = params.flags;
  if (StartsWithUpperAscii(number, "SIP:")) return ReadIpPhone(number, flags, label);
  if (StartsWithUpperAscii(number, "TEL:")) number.remove_prefix(4);  // 4.0's tel: URI
  const bool home = flags & kHome, work = flags & kWork;
  const bool mobile = flags & (kCell | kCar | kIphone);
  const bool fax = flags & kFax, pager = flags & kPager;
  const bool voice = flags & (kVoice | kMain);
  // A custom label, "other", or only kinds the record has no field for (video, modem, a
  // vendor's word): the remark says what it is.
  const bool someKind = home || work || mobile || fax || pager || voice;
  const bool remarkOnly =
      !label.empty() || ((flags & kOther) && !home && !work) ||
      (!someKind &&
       (!params.custom.empty() || (flags & (kVideo | kIsdn | kModem | kBbs | kMsg | kText))));
  if (!remarkOnly) {
    const std::uint32_t kind = fax ? kFax : pager ? kPager : mobile ? kCell : kVoice;
    for (int rank = 0; rank < 2; ++rank) {
      for (const SPhoneMapping& m : kPhoneMappings) {
        if (m.kind != kind) continue;
        const bool fits = work   ? m.work && rank == 0
                          : home ? !m.work && rank == 0
                                 : m.untypedRank == rank;
        if (fits && Put(m.field, number)) return;
      }
    }
  }
  Remark(Label("Phone", flags, params.custom, label), number);
}

void CForeignVCardReader::ReadIpPhone(std::string_view address, std::uint32_t flags,
                                      std::string_view label) {
  std::string text(TrimValue(address));
  if (StartsWithUpperAscii(text, "SIP:")) text.erase(0, 4);
  if (text.empty()) return;
  const std::string remarkLabel = Label("IP phone", flags & (kHome | kWork), {}, label);
  if (!label.empty()) return Remark(remarkLabel, text);
  if (flags & kWork) {
    if (Put(fieldBusinessIpPhone, text)) return;
  } else if (flags & kHome) {
    if (Put(fieldHomeIpPhone, text)) return;
  } else if (Put(fieldHomeIpPhone, text) || Put(fieldBusinessIpPhone, text)) {
    return;
  }
  Remark(remarkLabel, text);
}

void CForeignVCardReader::ReadIm(std::string_view service, std::string_view handle) {
  handle = TrimValue(handle);
  if (handle.empty()) return;
  Remark(Titled("IM", service), handle);
}

void CForeignVCardReader::ReadEmailOrWeb(const SAddressPairMapping& m, const SParams& params,
                                         std::string_view label) {
  const std::string_view text = m_value.Whole();
  if (text.empty()) return;
  const std::uint32_t flags = params.flags;
  const bool work = (flags & kWork) && !(flags & kHome);
  const EField order[2] = {work ? m.business : m.personal, work ? m.personal : m.business};
  for (EField f : order) {
    if (Put(f, text)) {
      int& pref = m.preference == fieldPrefUrl ? m_nPrefUrl : m_nPrefEmail;
      if ((flags & kPref) && pref < 0) pref = f == m.personal ? 0 : 1;
      return;
    }
  }
  Remark(Label(m.remark, flags, params.custom, label), text);
}

void CForeignVCardReader::OnAddress(const SH&, const SParams& params, std::string_view label) {
  m_value.Split(';');
  std::string* part = m_parts;
  bool any = false;
  for (size_t i = 0; i < 7; ++i) {
    part[i] = m_value.Component(i);
    any = any || !part[i].empty();
  }
  // Anything after the country, as some writers leave it.
  for (size_t i = 7; i < m_value.ComponentCount(); ++i) {
    const std::string_view more = m_value.Component(i);
    if (more.empty()) continue;
    if (!part[6].empty()) part[6] += ", ";
    part[6] += more;
    any = true;
  }
  if (!any) return;
  m_bAddress = true;
  const std::uint32_t flags = params.flags;
  const bool home = flags & kHome, work = flags & kWork;
  const bool custom = !label.empty() || ((flags & kOther) && !home && !work) ||
                      (!params.custom.empty() && !home && !work);
  auto sideFree = [&](const SPostalMapping& side) {
    for (EField f : side.components)
      if (!Free(f)) return false;
    return true;
  };
  const bool toWork =
      work ? sideFree(kWorkAddressMapping)
           : !home && !sideFree(kHomeAddressMapping) && sideFree(kWorkAddressMapping);
  const bool toHome = !work && sideFree(kHomeAddressMapping) && !toWork;
  if (!custom && (toHome || toWork))
    return ReadPostal(toHome ? kHomeAddressMapping : kWorkAddressMapping, part);
  std::string text;
  for (size_t i = 0; i < 7; ++i) {
    if (part[i].empty()) continue;
    if (!text.empty()) text += ", ";
    text += part[i];
  }
  Remark(Label("Address", flags & ~kPref, params.custom, label), text);
}

// The seven components of an address into the fields of its side, those that share a field
// joined by line breaks.
void CForeignVCardReader::ReadPostal(const SPostalMapping& side, const std::string* parts) {
  const EField* fields = side.components;
  for (size_t i = 0; i < 7; ++i) {
    if (std::find(fields, fields + i, fields[i]) != fields + i) continue;
    std::string text;
    for (size_t j = i; j < 7; ++j) {
      if (fields[j] != fields[i] || parts[j].empty()) continue;
      if (!text.empty()) text += "\r\n";
      text += parts[j];
    }
    Put(fields[i], text);
  }
}

namespace {

// Month and day of a date without a year (--0322, --03-22), as the remark writes it; empty
// when they are none.
std::string MonthAndDay(std::string_view md) {
  int month = -1, day = -1;
  if (md.size() >= 4 && HexDigit(md[0]) >= 0 && md[0] <= '9' && md[1] <= '9') {
    const size_t dayAt = md[2] == '-' ? 3 : 2;
    if (md.size() >= dayAt + 2) {
      month = (md[0] - '0') * 10 + (md[1] - '0');
      day = (md[dayAt] - '0') * 10 + (md[dayAt + 1] - '0');
    }
  }
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(2000, month)) return {};
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "--%02d-%02d", month, day);
  return buffer;
}

}  // namespace

// A date in any of the forms address books write: 1980-03-22, 19800322, either with a time,
// 22.3.1980; --0322 and --03-22 have no year.
void CForeignVCardReader::ReadDate(const SPropertyMapping& m, const SParams& params) {
  const std::string_view text = m_value.Whole();
  if (text.empty()) return;
  const std::string_view what = m.remark;
  if (text.starts_with("--") && !text.starts_with("---")) {
    const std::string md = MonthAndDay(text.substr(2));
    return Remark(what, md.empty() ? text : std::string_view(md));
  }
  CDateTime date;
  if (!ParseDateValue(text, date, EDateOrder::dayMonthYear)) return Remark(what, text);
  int year = 0, month = 0, day = 0;
  if (!params.omitYear.empty() && date.GetDate(year, month, day) &&
      ParseInteger(params.omitYear) == year) {
    // Apple marks a date without a year by a year of its own choosing.
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "--%02d-%02d", month, day);
    return Remark(what, buffer);
  }
  const SRecordField& field = RecordField(m.field);
  int& flag = m_record.get()->*field.pNumber;
  CDateTime& stored = m_record.get()->*field.pDate;
  if (!flag) {
    stored = date;
    flag = 1;
  } else if (!(stored == date)) {
    Remark(what, text);
  }
}

void CForeignVCardReader::ReadGender(std::string_view value) {
  const std::string word = LowerCase(TrimValue(value));
  if (word.empty()) return;
  static constexpr std::string_view kMale[] = {"m",        "male",      "man", "mann",
                                               "männlich", "maennlich", "muž", "mužský",
                                               "masculin", "mężczyzna", "he"};
  static constexpr std::string_view kFemale[] = {"f",       "female",   "woman", "w",
                                                 "frau",    "weiblich", "žena",  "ženský",
                                                 "féminin", "kobieta",  "she"};
  static constexpr std::string_view kNone[] = {"o", "n", "u", "other", "none", "unknown"};
  int gender = -1;
  for (std::string_view m : kMale)
    if (word == m) gender = 1;
  for (std::string_view w : kFemale)
    if (word == w) gender = 2;
  for (std::string_view n : kNone)
    if (word == n) return;
  if (gender < 0) return Remark("Gender", value);
  if (m_record->m_nGender == 0) m_record->m_nGender = gender;
}

void CForeignVCardReader::ReadRelation(std::string_view kind, std::string_view name) {
  const std::string text(TrimValue(name));
  if (text.empty()) return;
  if ((kind == "spouse" || kind == "partner") && Put(kSpouseMapping.field, text)) return;
  if (kind == "child") {
    if (!m_strChildren.empty()) m_strChildren += ", ";
    m_strChildren += text;
    return;
  }
  Remark(Titled("Related", kind), text);
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
  if (!m_bAddress)
    for (const std::string& label : m_addressLabels) AppendRemarkLine(label);

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
  if (!m_bLabel) r.m_strLabel = DefaultLabel();

  const std::string_view note = TrimValue(m_strNote);
  if (!note.empty() || !m_strExtra.empty()) {
    m_strRemark.assign(note);
    if (!m_strRemark.empty() && !m_strExtra.empty()) m_strRemark += "\r\n";
    m_strRemark += m_strExtra;
    r.m_strRemark = m_strRemark;
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
  const CTreeItem& r = *m_record;
  std::string name;
  for (const CText* part : {&r.m_strFirstName, &r.m_strMiddleName, &r.m_strLastName}) {
    if (part->empty()) continue;
    if (!name.empty()) name += ' ';
    name += part->view();
  }
  if (name.empty()) name = r.m_strCompany.str();
  if (name.empty()) name = r.m_strPersonalEmail.str();
  if (name.empty()) name = r.m_strBusinessEmail.str();
  return name.empty() ? m_strUnknown : name;
}

// True when the record read is a new record and nothing more: every field as the prototype has
// it, the label the one a new record gets.
bool CForeignVCardReader::HoldsNothing() const {
  const CTreeItem& r = *m_record;
  if (r.m_strLabel.view() != m_strUnknown) return false;
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
