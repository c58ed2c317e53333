#include "interchange/VCardWriter.h"

#include <string>

#include "interchange/LineText.h"
#include "interchange/ValueCodec.h"
#include "store/TreeItem.h"

namespace zorvan {
namespace {

constexpr std::string_view kEol = "\r\n";

void AppendDigits(std::string& out, int value, int width) {
  char buf[12];
  int n = 0;
  unsigned v = value < 0 ? 0u : static_cast<unsigned>(value);
  do {
    buf[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0 && n < static_cast<int>(sizeof buf));
  for (int i = n; i < width; ++i) out += '0';
  while (n > 0) out += buf[--n];
}

// "name:value" for one text field.
void TextLine(std::string& card, std::string_view name, const CText& value) {
  card += name;
  AppendQuotedValue(card, value.view());
  card += kEol;
}

// "name:a;b;c" for several text fields.
void ListLine(std::string& card, std::string_view name,
              std::initializer_list<const CText*> values) {
  card += name;
  bool first = true;
  for (const CText* v : values) {
    if (!first) card += ';';
    first = false;
    AppendQuotedValue(card, v->view());
  }
  card += kEol;
}

// The date of parts as year-month-day, with four and two digits.
void AppendIsoDate(std::string& out, const SDateParts& p) {
  AppendDigits(out, p.nYear, 4);
  out += '-';
  AppendDigits(out, p.nMonth, 2);
  out += '-';
  AppendDigits(out, p.nDay, 2);
}

void NumberLine(std::string& card, std::string_view name, int value) {
  card += name;
  AppendInteger(card, value);
  card += kEol;
}

// A set date as year-month-day followed by the dialect's lowercase s. A date that is set but
// cannot be split into parts is written with an empty value: the reader takes it back as set
// and invalid, as it was.
void DateLine(std::string& card, std::string_view name, int flag, const CDateTime& date) {
  if (flag == 0) return;
  card += name;
  SDateParts p;
  if (date.GetParts(p)) {
    AppendIsoDate(card, p);
    card += 's';
  }
  card += kEol;
}

// The postal part of an address, in the order of the ADR line.
struct SAddress {
  const CText& street;
  const CText& city;
  const CText& state;
  const CText& postalCode;
  const CText& country;
};

// The ADR and LABEL lines of an address of the kind (WORK, HOME). Before the street the ADR
// line has a post-office box, always empty, and an extended address: the office of a work
// address, empty for home; state comes before postal code.
void AddressLines(std::string& card, std::string_view kind, const CText* office,
                  const SAddress& a) {
  card += "ADR;";
  card += kind;
  card += ":;";
  if (office) AppendQuotedValue(card, office->view());
  for (const CText* part : {&a.street, &a.city, &a.state, &a.postalCode, &a.country}) {
    card += ';';
    AppendQuotedValue(card, part->view());
  }
  card += kEol;
  // The LABEL line joins its parts with "=0D0A" (no equals sign in the middle), unlike the
  // "=0D=0A" that stands for a line break inside a value.
  card += "LABEL;";
  card += kind;
  card += ";ENCODING=QUOTED_PRINTABLE:";
  const std::pair<const CText*, std::string_view> label[] = {
      {office, "=0D0A"}, {&a.street, "=0D0A"},     {&a.city, ", "},
      {&a.state, " "},   {&a.postalCode, "=0D0A"}, {&a.country, kEol}};
  for (const auto& [part, after] : label) {
    if (!part) continue;
    AppendQuotedValue(card, part->view());
    card += after;
  }
}

void RevLine(std::string& card, const CDateTime& now) {
  SDateParts p;
  if (!now.GetParts(p)) p = SDateParts{};
  card += "REV:";
  AppendIsoDate(card, p);
  card += 'T';
  AppendDigits(card, p.nHour, 2);
  card += ':';
  AppendDigits(card, p.nMinute, 2);
  card += ':';
  AppendDigits(card, p.nSecond, 2);
  card += "Z";
  card += kEol;
}

void BuildCard(std::string& card, const CTreeItem& r) {
  const CDateTime now = CurrentLocalTime();
  card += "BEGIN:VCARD\r\nVERSION:2.1\r\n";
  ListLine(card, "N:", {&r.m_strLastName, &r.m_strFirstName, &r.m_strMiddleName, &r.m_strTitle});
  TextLine(card, "FN:", r.m_strLabel);
  TextLine(card, "NICKNAME:", r.m_strNickname);
  ListLine(card, "ORG:", {&r.m_strCompany, &r.m_strDepartment});
  TextLine(card, "TITLE:", r.m_strJobTitle);
  TextLine(card, "NOTE:", r.m_strRemark);
  TextLine(card, "TEL;WORK;VOICE:", r.m_strBusinessPhone);
  TextLine(card, "TEL;HOME;VOICE:", r.m_strHomePhone);
  TextLine(card, "TEL;CAR;VOICE:", r.m_strPersonalMobile);
  TextLine(card, "TEL;CELL;VOICE:", r.m_strBusinessMobile);
  TextLine(card, "TEL;WORK;PAGER;VOICE:", r.m_strBusinessPager);
  TextLine(card, "TEL;HOME;PAGER;VOICE:", r.m_strPersonalPager);
  TextLine(card, "TEL;WORK;FAX:", r.m_strBusinessFax);
  TextLine(card, "TEL;HOME;FAX:", r.m_strHomeFax);
  AddressLines(card, "WORK", &r.m_strOffice,
               {r.m_strBusinessStreet, r.m_strBusinessCity, r.m_strBusinessState,
                r.m_strBusinessPostalCode, r.m_strBusinessCountry});
  AddressLines(card, "HOME", nullptr,
               {r.m_strHomeStreet, r.m_strHomeCity, r.m_strHomeState, r.m_strHomePostalCode,
                r.m_strHomeCountry});
  TextLine(card, "URL;HOME:", r.m_strPersonalWeb);
  TextLine(card, "URL:", r.m_strBusinessWeb);
  DateLine(card, "BDAY:", r.m_bBirthday, r.m_dtBirthday);
  // The personal address is always the preferred EMAIL line, whatever m_nPrefEmail says; the
  // preferences travel as numbers in their own lines.
  TextLine(card, "EMAIL;PREF;INTERNET:", r.m_strPersonalEmail);
  TextLine(card, "EMAIL;INTERNET:", r.m_strBusinessEmail);
  NumberLine(card, "X-TAVORIN-GENDER:", r.m_nGender);
  NumberLine(card, "X-TAVORIN-GROUP:", r.m_bGroup);
  NumberLine(card, "X-TAVORIN-EMAIL:", r.m_nPrefEmail);
  NumberLine(card, "X-TAVORIN-URL:", r.m_nPrefUrl);
  TextLine(card, "X-TAVORIN-WORK-IPPHONE:", r.m_strBusinessIpPhone);
  TextLine(card, "X-TAVORIN-HOME-IPPHONE:", r.m_strHomeIpPhone);
  DateLine(card, "X-TAVORIN-ANNIVERSARY-DATE:", r.m_bAnniversary, r.m_dtAnniversary);
  TextLine(card, "X-TAVORIN-ANNIVERSARY-STRING:", r.m_strAnniversaryText);
  DateLine(card, "X-TAVORIN-NAMEDAY-DATE:", r.m_bNameDay, r.m_dtNameDay);
  TextLine(card, "X-TAVORIN-CHILDREN:", r.m_strChildren);
  TextLine(card, "X-TAVORIN-SPOUSE:", r.m_strSpouse);
  // REV carries the local time followed by a literal Z.
  RevLine(card, now);
  card += "END:VCARD\r\n";
}

bool WriteCard(IOutput& out, const CTreeItem& record, std::string& card, std::string& bytes) {
  card.clear();
  BuildCard(card, record);
  bytes.clear();
  AppendAnsi(bytes, card);
  return out.Write(bytes);
}

}  // namespace

bool WriteVCard(IOutput& out, const CTreeItem& record, CProgress* progress) {
  std::string card, bytes;
  card.reserve(2048);
  bytes.reserve(2048);
  if (!progress) return WriteCard(out, record, card, bytes);
  return WalkSubtreeWhile(record, [&](const CTreeItem& r) {
    if (!WriteCard(out, r, card, bytes)) return false;
    progress->Step();
    return true;
  });
}

}  // namespace zorvan
