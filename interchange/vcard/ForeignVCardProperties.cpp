#include <algorithm>
#include <cstdio>

#include "interchange/vcard/ForeignVCardReader.h"
#include "res/CodePage.h"
#include "store/DateParse.h"
#include "store/GenderWords.h"
#include "store/TextUtil.h"

// The readers of single properties, which the handler table of ForeignVCardReader.cpp names.

namespace zorvan {
namespace {

// "Related (child)", or "Related" without a kind.
std::string Titled(std::string_view what, std::string_view kind) {
  std::string out(what);
  if (!kind.empty()) out.append(" (").append(kind).append(")");
  return out;
}

}  // namespace

void CForeignVCardReader::OnBlob(const SH& h, const SParams&, std::string_view) {
  NoteBlob(h.text);
}

void CForeignVCardReader::OnSound(const SH& h, const SParams& params, std::string_view) {
  if (!(params.flags & kPhonetic)) return NoteBlob(h.text);
  // X-IRMC-N: the name as it is spoken, in the components of N.
  m_value.Split(';');
  m_value.JoinComponents(0, " ", m_parts[0]);
  Keep("Phonetic name", m_parts[0]);
}

void CForeignVCardReader::OnText(const SH& h, const SParams&, std::string_view) {
  PutOrKeep(h.mapping->field, h.mapping->remark, m_value.Whole());
}

void CForeignVCardReader::OnRemark(const SH& h, const SParams&, std::string_view) {
  Keep(h.text, m_value.Whole());
}

void CForeignVCardReader::OnRelation(const SH& h, const SParams&, std::string_view) {
  ReadRelation(h.text, m_value.Whole());
}

void CForeignVCardReader::OnDate(const SH& h, const SParams& params, std::string_view) {
  ReadDate(*h.mapping, params);
}

void CForeignVCardReader::OnAgent(const SH&, const SParams&, std::string_view) {
  // 3.0 puts the agent's card into the value; its name is what a person needs.
  const std::string_view text = m_value.Whole();
  const size_t fn = text.find("FN:");
  if (fn == std::string_view::npos) return Keep("Agent", text);
  const size_t end = text.find_first_of("\r\n", fn);
  Keep("Agent", text.substr(fn + 3, end == std::string_view::npos ? end : end - fn - 3));
}

void CForeignVCardReader::OnCategories(const SH&, const SParams&, std::string_view) {
  // The first categories of this program's own cards are the groups the contact was in; those
  // of another program's are kept for it, and written back after them.
  if ((!m_bTavorin || m_bGroupsRead) && KeepLine()) return;
  m_bGroupsRead = true;
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

void CForeignVCardReader::OnLabel(const SH&, const SParams& params, std::string_view label) {
  m_addressLabels.push_back(Label("Address label", params.flags, params.custom, label) + ": " +
                            OneLine(m_value.Whole()));
  // Kept at the end of the card, when it turns out to have no ADR.
  m_addressLabelLines.push_back(m_bDescribe ? std::string() : ContentLine());
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
  // KAddressBook's own department may have come first: a company alone still fits.
  if (Free(fieldCompany) && (department.empty() || Free(fieldDepartment))) {
    Put(fieldCompany, company);
    Put(fieldDepartment, department);
  } else if (!company.empty() || !department.empty()) {
    Keep("Organization",
         company + (company.empty() || department.empty() ? "" : ", ") + department);
  }
}

void CForeignVCardReader::OnRelated(const SH&, const SParams& params, std::string_view) {
  const std::string kind = params.flags & kSpouse  ? "spouse"
                           : params.flags & kChild ? "child"
                                                   : Words(params.custom);
  // 4.0 relates by URI unless VALUE=text: a urn:uuid: or mailto: is no name for the field.
  if (!(params.flags & kTextValue) && LooksLikeUri(m_value.Whole()))
    return Keep(Titled("Related", kind), m_value.Whole());
  ReadRelation(kind, m_value.Whole());
}

namespace {

bool AnyOf(std::string_view word, const auto& list) {
  for (std::string_view w : list)
    if (SameIgnoringAsciiCase(word, w)) return true;
  return false;
}

}  // namespace

void CForeignVCardReader::OnAbDate(const SH&, const SParams& params, std::string_view label) {
  if (AnyOf(AppleLabel(label), kAnniversaryLabels)) return ReadDate(kAnniversaryMapping, params);
  Keep(label.empty() ? std::string("Date") : "Date (" + Words(AppleLabel(label)) + ")",
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
  const std::string_view word = AppleLabel(label);
  const std::string kind = AnyOf(word, kSpouseLabels)  ? "spouse"
                           : AnyOf(word, kChildLabels) ? "child"
                                                       : Words(word);
  ReadRelation(kind, m_value.Whole());
}

void CForeignVCardReader::OnSip(const SH&, const SParams& params, std::string_view label) {
  ReadIpPhone(m_value.Whole(), params.flags, label);
}

void CForeignVCardReader::OnOutlookPhone(const SH&, const SParams& params, std::string_view) {
  Keep(Label("Phone", params.flags, params.custom, {}), m_value.Whole());
}

void CForeignVCardReader::OnAndroidCustom(const SH&, const SParams&, std::string_view) {
  // vnd.android.cursor.item/KIND;data;data...
  m_value.Split(';');
  std::string kind(m_value.Component(0));
  const size_t slash = kind.rfind('/');
  if (slash != std::string::npos) kind.erase(0, slash + 1);
  std::string data;
  m_value.JoinComponents(1, ", ", data);
  Keep(Titled("Custom", Words(kind)), data);
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
  if (KeepLine()) return;
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
  Keep(Label("Phone", flags, params.custom, label), number);
}

void CForeignVCardReader::ReadIpPhone(std::string_view address, std::uint32_t flags,
                                      std::string_view label) {
  std::string text(TrimValue(address));
  if (StartsWithUpperAscii(text, "SIP:")) text.erase(0, 4);
  if (text.empty()) return;
  const std::string remarkLabel = Label("IP phone", flags & (kHome | kWork), {}, label);
  if (!label.empty() || !PutIpPhone(text, flags)) Keep(remarkLabel, text);
}

// An IP phone or messaging address into the field of its side, else into the free one.
bool CForeignVCardReader::PutIpPhone(std::string_view text, std::uint32_t flags) {
  if (flags & kWork) return Put(fieldBusinessIpPhone, text);
  if (flags & kHome) return Put(fieldHomeIpPhone, text);
  return Put(fieldHomeIpPhone, text) || Put(fieldBusinessIpPhone, text);
}

// A messaging handle goes to an IP phone field as its URI (see kImServices); the same handle
// twice (as X-AIM and as IMPP, as Apple writes it) is held once.
void CForeignVCardReader::ReadIm(std::string_view service, std::string_view uri,
                                 std::string_view handle, std::uint32_t flags) {
  handle = TrimValue(handle);
  if (handle.empty()) return;
  if (!uri.empty() && !m_bDescribe) {
    if (SameIgnoringAsciiCase(m_record->m_strHomeIpPhone.view(), uri) ||
        SameIgnoringAsciiCase(m_record->m_strBusinessIpPhone.view(), uri) || PutIpPhone(uri, flags))
      return;
  }
  Keep(Titled("IM", service), handle);
}

void CForeignVCardReader::OnFileAs(const SH&, const SParams&, std::string_view) {
  const std::string_view text = TrimValue(m_value.Whole());
  if (text.empty() || !m_strFileAs.empty()) {
    if (!text.empty()) Keep("File as", text);
    return;
  }
  m_strFileAs = text;
  m_strFileAsLine = m_bDescribe ? std::string() : ContentLine();
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
  Keep(Label(m.remark, flags, params.custom, label), text);
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
  Keep(Label("Address", flags & ~kPref, params.custom, label), text);
}

// The seven components of an address into the fields of its side, those that share a field
// joined by line breaks.
void CForeignVCardReader::ReadPostal(const SPostalMapping& side, const std::string* parts) {
  const EField* fields = side.components;
  for (size_t i = 0; i < 7; ++i) {
    if (std::find(fields, fields + i, fields[i]) != fields + i) continue;
    // Most fields take one component, which goes in as it stands; the lines of several are
    // joined.
    std::string_view only;
    std::string text;
    for (size_t j = i; j < 7; ++j) {
      if (fields[j] != fields[i] || parts[j].empty()) continue;
      if (only.empty()) {
        only = parts[j];
        continue;
      }
      if (text.empty()) text = only;
      text += "\r\n";
      text += parts[j];
    }
    Put(fields[i], text.empty() ? only : std::string_view(text));
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
    return Keep(what, md.empty() ? text : std::string_view(md));
  }
  CDateTime date;
  if (!ParseDateValue(text, date, EDateOrder::dayMonthYear)) return Keep(what, text);
  int year = 0, month = 0, day = 0;
  if (!params.omitYear.empty() && date.GetDate(year, month, day) &&
      ParseInteger(params.omitYear) == year) {
    // Apple marks a date without a year by a year of its own choosing.
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "--%02d-%02d", month, day);
    return Keep(what, buffer);
  }
  const SRecordField& field = RecordField(m.field);
  int& flag = m_record.get()->*field.pNumber;
  CDateTime& stored = m_record.get()->*field.pDate;
  if (!flag && !m_bDescribe) {
    stored = date;
    flag = 1;
  } else if (!(stored == date) || m_bDescribe) {
    Keep(what, text);
  }
}

void CForeignVCardReader::ReadGender(std::string_view value) {
  const int gender = GenderOfWord(value);
  if (gender == 0) return;
  if (gender < 0) return Keep("Gender", value);
  if (m_record->m_nGender == 0) m_record->m_nGender = gender;
}

void CForeignVCardReader::ReadRelation(std::string_view kind, std::string_view name) {
  const std::string text(TrimValue(name));
  if (text.empty()) return;
  if ((kind == "spouse" || kind == "partner") && Put(kSpouseMapping.field, text)) return;
  if (kind == "child" && !m_bDescribe) {
    if (!m_strChildren.empty()) m_strChildren += ", ";
    m_strChildren += text;
    return;
  }
  Keep(Titled("Related", kind), text);
}

}  // namespace zorvan
