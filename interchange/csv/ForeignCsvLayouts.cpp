#include "interchange/csv/ForeignCsvLayouts.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <map>
#include <utility>

#include "store/TextUtil.h"

namespace zorvan::foreign_csv {
namespace {

struct SKnown {
  std::string_view name;
  int target;
  unsigned flags = 0;
};

// The desktop mail and organiser program's export, in English (also as the webmail writes it in
// its "Outlook" flavour, with whole addresses in one column), German and Japanese. The program
// localises both the names and, after the phones, the order of its columns.
constexpr SKnown kOutlook[] = {
    {"Title", targetTitle},
    {"First Name", targetFirstName},
    {"Middle Name", targetMiddleName},
    {"Last Name", targetLastName},
    {"Suffix", targetRemark},
    {"Company", targetCompany},
    {"Department", targetDepartment},
    {"Job Title", targetJobTitle},
    {"Business Street", targetBusinessStreet},
    {"Business Street 2", targetBusinessStreet, fAppend},
    {"Business Street 3", targetBusinessStreet, fAppend},
    {"Business City", targetBusinessCity},
    {"Business State", targetBusinessState},
    {"Business Postal Code", targetBusinessPostalCode},
    {"Business Country/Region", targetBusinessCountry},
    {"Business Country", targetBusinessCountry},
    {"Business Address", targetBusinessStreet, fFormatted},
    {"Home Street", targetHomeStreet},
    {"Home Street 2", targetHomeStreet, fAppend},
    {"Home Street 3", targetHomeStreet, fAppend},
    {"Home City", targetHomeCity},
    {"Home State", targetHomeState},
    {"Home Postal Code", targetHomePostalCode},
    {"Home Country/Region", targetHomeCountry},
    {"Home Country", targetHomeCountry},
    {"Home Address", targetHomeStreet, fFormatted},
    {"Other Street", targetRemark},
    {"Other Street 2", targetRemark},
    {"Other Street 3", targetRemark},
    {"Other City", targetRemark},
    {"Other State", targetRemark},
    {"Other Postal Code", targetRemark},
    {"Other Country/Region", targetRemark},
    {"Other Country", targetRemark},
    {"Other Address", targetRemark},
    {"Assistant's Phone", targetRemark},
    {"Business Fax", targetBusinessFax},
    {"Business Phone", targetBusinessPhone},
    {"Business Phone 2", targetBusinessPhone},
    {"Callback", targetRemark},
    {"Car Phone", targetRemark},
    {"Company Main Phone", targetRemark},
    {"Home Fax", targetHomeFax},
    {"Home Phone", targetHomePhone},
    {"Home Phone 2", targetHomePhone},
    {"ISDN", targetRemark},
    {"Mobile Phone", targetPersonalMobile},
    {"Other Fax", targetRemark},
    {"Other Phone", targetRemark},
    {"Pager", targetBusinessPager},
    {"Primary Phone", targetRemark},
    {"Radio Phone", targetRemark},
    {"TTY/TDD Phone", targetRemark},
    {"Telex", targetRemark},
    {"Account", targetRemark},
    {"Anniversary", targetAnniversary},
    {"Assistant's Name", targetRemark},
    {"Billing Information", targetRemark},
    {"Birthday", targetBirthday},
    {"Business Address PO Box", targetRemark},
    {"Categories", targetRemark, fGroups},
    {"Children", targetChildren},
    {"Directory Server", targetRemark},
    {"E-mail Address", targetPersonalEmail},
    {"E-mail Type", targetNothing, fType},
    {"E-mail Display Name", targetRemark},
    {"E-mail 2 Address", targetBusinessEmail},
    {"E-mail 2 Type", targetNothing, fType},
    {"E-mail 2 Display Name", targetRemark},
    {"E-mail 3 Address", targetRemark},
    {"E-mail 3 Type", targetNothing, fType},
    {"E-mail 3 Display Name", targetRemark},
    {"Gender", targetGender, fNoise},
    {"Government ID Number", targetRemark},
    {"Hobby", targetRemark},
    {"Home Address PO Box", targetRemark},
    {"Initials", targetRemark},
    {"Internet Free Busy", targetRemark},
    {"Keywords", targetRemark},
    {"Language", targetRemark},
    {"Location", targetRemark},
    {"Manager's Name", targetRemark},
    {"Mileage", targetRemark},
    {"Notes", targetRemark, fNotes},
    {"Office Location", targetOffice},
    {"Organizational ID Number", targetRemark},
    {"Other Address PO Box", targetRemark},
    {"Priority", targetRemark, fNoise},
    {"Private", targetRemark, fNoise},
    {"Profession", targetRemark},
    {"Referred By", targetRemark},
    {"Sensitivity", targetRemark, fNoise},
    {"Spouse", targetSpouse},
    {"User 1", targetRemark},
    {"User 2", targetRemark},
    {"User 3", targetRemark},
    {"User 4", targetRemark},
    {"Web Page", targetPersonalWeb},
    // German
    {"Anrede", targetTitle},
    {"Vorname", targetFirstName},
    {"Weitere Vornamen", targetMiddleName},
    {"Nachname", targetLastName},
    {"Firma", targetCompany},
    {"Abteilung", targetDepartment},
    {"Position", targetJobTitle},
    {"Straße geschäftlich", targetBusinessStreet},
    {"Straße geschäftlich 2", targetBusinessStreet, fAppend},
    {"Straße geschäftlich 3", targetBusinessStreet, fAppend},
    {"Ort geschäftlich", targetBusinessCity},
    {"Region geschäftlich", targetBusinessState},
    {"Postleitzahl geschäftlich", targetBusinessPostalCode},
    {"Land/Region geschäftlich", targetBusinessCountry},
    {"Straße privat", targetHomeStreet},
    {"Straße privat 2", targetHomeStreet, fAppend},
    {"Straße privat 3", targetHomeStreet, fAppend},
    {"Ort privat", targetHomeCity},
    {"Bundesland/Kanton privat", targetHomeState},
    {"Postleitzahl privat", targetHomePostalCode},
    {"Land/Region privat", targetHomeCountry},
    {"Weitere Straße", targetRemark},
    {"Weitere Straße 2", targetRemark},
    {"Weitere Straße 3", targetRemark},
    {"Weiterer Ort", targetRemark},
    {"Weiteres/r Bundesland/Kanton", targetRemark},
    {"Weitere Postleitzahl", targetRemark},
    {"Weiteres/e Land/Region", targetRemark},
    {"Telefon Assistent", targetRemark},
    {"Fax geschäftlich", targetBusinessFax},
    {"Telefon geschäftlich", targetBusinessPhone},
    {"Telefon geschäftlich 2", targetBusinessPhone},
    {"Rückmeldung", targetRemark},
    {"Autotelefon", targetRemark},
    {"Telefon Firma", targetRemark},
    {"Fax privat", targetHomeFax},
    {"Telefon (privat)", targetHomePhone},
    {"Telefon (privat 2)", targetHomePhone},
    {"Mobiltelefon", targetPersonalMobile},
    {"Weiteres Fax", targetRemark},
    {"Weiteres Telefon", targetRemark},
    {"Haupttelefon", targetRemark},
    {"Mobiltelefon 2", targetPersonalMobile},
    {"Telefon für Hörbehinderte", targetRemark},
    {"Abrechnungsinformation", targetRemark},
    {"Assistent(in)", targetRemark},
    {"Benutzer 1", targetRemark},
    {"Benutzer 2", targetRemark},
    {"Benutzer 3", targetRemark},
    {"Benutzer 4", targetRemark},
    {"Beruf", targetRemark},
    {"Büro", targetOffice},
    {"E-Mail-Adresse", targetPersonalEmail},
    {"E-Mail-Typ", targetNothing, fType},
    {"E-Mail: Angezeigter Name", targetRemark},
    {"E-Mail 2: Adresse", targetBusinessEmail},
    {"E-Mail 2: Typ", targetNothing, fType},
    {"E-Mail 2: Angezeigter Name", targetRemark},
    {"E-Mail 3: Adresse", targetRemark},
    {"E-Mail 3: Typ", targetNothing, fType},
    {"E-Mail 3: Angezeigter Name", targetRemark},
    {"Empfohlen von", targetRemark},
    {"Geburtstag", targetBirthday},
    {"Geschlecht", targetGender, fNoise},
    {"Initialen", targetRemark},
    {"Internet Frei/Gebucht", targetRemark},
    {"Jahrestag", targetAnniversary},
    {"Kategorien", targetRemark, fGroups},
    {"Kinder", targetChildren},
    {"Konto", targetRemark},
    {"Name des/r Vorgesetzten", targetRemark},
    {"Notizen", targetRemark, fNotes},
    {"Organisationsnr.", targetRemark},
    {"Ort", targetRemark},
    {"Partner", targetSpouse},
    {"Postfach geschäftlich", targetRemark},
    {"Postfach privat", targetRemark},
    {"Priorität", targetRemark, fNoise},
    {"Privat", targetRemark, fNoise},
    {"Reisekilometer", targetRemark},
    {"Sozialversicherungsnr.", targetRemark},
    {"Sprache", targetRemark},
    {"Stichwörter", targetRemark},
    {"Vertraulichkeit", targetRemark, fNoise},
    {"Verzeichnisserver", targetRemark},
    {"Webseite", targetPersonalWeb},
    {"Weiteres Postfach", targetRemark},
    // Japanese
    {"肩書き", targetTitle},
    {"名", targetFirstName},
    {"ミドル ネーム", targetMiddleName},
    {"姓", targetLastName},
    {"敬称", targetRemark},
    {"会社名", targetCompany},
    {"部署", targetDepartment},
    {"役職", targetJobTitle},
    {"番地 (会社)", targetBusinessStreet},
    {"住所 2 (会社)", targetBusinessStreet, fAppend},
    {"住所 3 (会社)", targetBusinessStreet, fAppend},
    {"市町村 (会社)", targetBusinessCity},
    {"都道府県 (会社)", targetBusinessState},
    {"郵便番号 (会社)", targetBusinessPostalCode},
    {"国 (会社)/地域", targetBusinessCountry},
    {"番地 (自宅)", targetHomeStreet},
    {"住所 2 (自宅)", targetHomeStreet, fAppend},
    {"住所 3 (自宅)", targetHomeStreet, fAppend},
    {"市町村 (自宅)", targetHomeCity},
    {"都道府県 (自宅)", targetHomeState},
    {"郵便番号 (自宅)", targetHomePostalCode},
    {"国 (自宅)/地域", targetHomeCountry},
    {"番地 (その他)", targetRemark},
    {"住所 2 (その他)", targetRemark},
    {"住所 3 (その他)", targetRemark},
    {"市町村 (その他)", targetRemark},
    {"都道府県 (その他)", targetRemark},
    {"郵便番号 (その他)", targetRemark},
    {"国 (その他)/地域", targetRemark},
    {"秘書の電話", targetRemark},
    {"会社 FAX", targetBusinessFax},
    {"会社電話", targetBusinessPhone},
    {"会社電話 2", targetBusinessPhone},
    {"コールバック", targetRemark},
    {"自動車電話", targetRemark},
    {"会社代表電話", targetRemark},
    {"自宅 FAX", targetHomeFax},
    {"自宅電話", targetHomePhone},
    {"自宅電話 2", targetHomePhone},
    {"携帯電話", targetPersonalMobile},
    {"その他の FAX", targetRemark},
    {"その他の電話", targetRemark},
    {"ポケットベル", targetBusinessPager},
    {"通常の電話", targetRemark},
    {"無線電話", targetRemark},
    {"TTY/TDD", targetRemark},
    {"テレックス", targetRemark},
    {"ID 番号", targetRemark},
    {"Web ページ", targetPersonalWeb},
    {"アカウント", targetRemark},
    {"イニシャル", targetRemark},
    {"インターネット空き時間情報", targetRemark},
    {"キーワード", targetRemark},
    {"その他住所私書箱", targetRemark},
    {"ディレクトリ サーバー", targetRemark},
    {"プライベート", targetRemark, fNoise},
    {"マネージャー", targetRemark},
    {"メモ", targetRemark, fNotes},
    {"ユーザー 1", targetRemark},
    {"ユーザー 2", targetRemark},
    {"ユーザー 3", targetRemark},
    {"ユーザー 4", targetRemark},
    {"事業所", targetOffice},
    {"会社 ID", targetRemark},
    {"会社住所私書箱", targetRemark},
    {"会社名フリガナ", targetRemark},
    {"優先度", targetRemark, fNoise},
    {"分類", targetRemark, fGroups},
    {"参照事項", targetRemark},
    {"名前フリガナ", targetRemark},
    {"場所", targetRemark},
    {"姓フリガナ", targetRemark},
    {"子供", targetChildren},
    {"性別", targetGender, fNoise},
    {"支払い条件", targetRemark},
    {"秘密度", targetRemark, fNoise},
    {"秘書の氏名", targetRemark},
    {"経費情報", targetRemark},
    {"職業", targetRemark},
    {"自宅住所私書箱", targetRemark},
    {"言語", targetRemark},
    {"記念日", targetAnniversary},
    {"誕生日", targetBirthday},
    {"趣味", targetRemark},
    {"配偶者", targetSpouse},
    {"電子メール アドレス", targetPersonalEmail},
    {"電子メールの種類", targetNothing, fType},
    {"電子メール表示名", targetRemark},
    {"電子メール 2 アドレス", targetBusinessEmail},
    {"電子メール 2 の種類", targetNothing, fType},
    {"電子メール 2 表示名", targetRemark},
    {"電子メール 3 アドレス", targetRemark},
    {"電子メール 3 の種類", targetNothing, fType},
    {"電子メール 3 表示名", targetRemark},
};

// The webmail's exports: the older "Google CSV" (Name, Given Name, ..., numbered groups with a
// "Type" column) and the current one (First Name, ..., numbered groups with a "Label" column).
// The numbered groups ("E-mail 2 - Value") are matched by pattern, see GroupColumn.
constexpr SKnown kGoogle[] = {
    {"Name", targetLabel},
    {"Given Name", targetFirstName},
    {"Additional Name", targetMiddleName},
    {"Family Name", targetLastName},
    {"Yomi Name", targetRemark},
    {"Given Name Yomi", targetRemark},
    {"Additional Name Yomi", targetRemark},
    {"Family Name Yomi", targetRemark},
    {"Name Prefix", targetTitle},
    {"Name Suffix", targetRemark},
    {"Initials", targetRemark},
    {"Nickname", targetNickname},
    {"Short Name", targetRemark},
    {"Maiden Name", targetRemark},
    {"Birthday", targetBirthday},
    {"Gender", targetGender, fNoise},
    {"Location", targetRemark},
    {"Billing Information", targetRemark},
    {"Directory Server", targetRemark},
    {"Mileage", targetRemark},
    {"Occupation", targetRemark},
    {"Hobby", targetRemark},
    {"Sensitivity", targetRemark, fNoise},
    {"Priority", targetRemark, fNoise},
    {"Subject", targetRemark},
    {"Notes", targetRemark, fNotes},
    {"Group Membership", targetRemark, fGroups},
    {"First Name", targetFirstName},
    {"Middle Name", targetMiddleName},
    {"Last Name", targetLastName},
    {"Phonetic First Name", targetRemark},
    {"Phonetic Middle Name", targetRemark},
    {"Phonetic Last Name", targetRemark},
    {"File As", targetRemark},
    {"Organization Name", targetCompany},
    {"Organization Title", targetJobTitle},
    {"Organization Department", targetDepartment},
    {"Photo", targetRemark},
    {"Labels", targetRemark, fGroups},
};

// The mail client's export (comma or tab separated; older versions end every line with a
// delimiter). Its first web page is the work one.
constexpr SKnown kThunderbird[] = {
    {"First Name", targetFirstName},
    {"Last Name", targetLastName},
    {"Display Name", targetLabel},
    {"Nickname", targetNickname},
    {"Primary Email", targetPersonalEmail},
    {"Secondary Email", targetBusinessEmail},
    {"Screen Name", targetRemark},
    {"Work Phone", targetBusinessPhone},
    {"Home Phone", targetHomePhone},
    {"Fax Number", targetBusinessFax},
    {"Pager Number", targetBusinessPager},
    {"Mobile Number", targetPersonalMobile},
    {"Home Address", targetHomeStreet},
    {"Home Address 2", targetHomeStreet, fAppend},
    {"Home City", targetHomeCity},
    {"Home State", targetHomeState},
    {"Home ZipCode", targetHomePostalCode},
    {"Home Country", targetHomeCountry},
    {"Work Address", targetBusinessStreet},
    {"Work Address 2", targetBusinessStreet, fAppend},
    {"Work City", targetBusinessCity},
    {"Work State", targetBusinessState},
    {"Work ZipCode", targetBusinessPostalCode},
    {"Work Country", targetBusinessCountry},
    {"Job Title", targetJobTitle},
    {"Department", targetDepartment},
    {"Organization", targetCompany},
    {"Web Page 1", targetBusinessWeb},
    {"Web Page 2", targetPersonalWeb},
    {"Birth Year", targetBirthday, fBirthYear},
    {"Birth Month", targetBirthday, fBirthMonth},
    {"Birth Day", targetBirthday, fBirthDay},
    {"Custom 1", targetRemark},
    {"Custom 2", targetRemark},
    {"Custom 3", targetRemark},
    {"Custom 4", targetRemark},
    {"Notes", targetRemark, fNotes},
};

struct SLayout {
  std::string_view name;
  const SKnown* begin;
  const SKnown* end;
  bool numberedGroups;
};

constexpr std::array<SLayout, 3> kLayouts = {{
    {"Outlook", std::begin(kOutlook), std::end(kOutlook), false},
    {"Google Contacts", std::begin(kGoogle), std::end(kGoogle), true},
    {"Thunderbird", std::begin(kThunderbird), std::end(kThunderbird), false},
}};

constexpr std::array<int, 6> kHomeAddress = {targetNothing,   targetHomeStreet,
                                             targetHomeCity,  targetHomePostalCode,
                                             targetHomeState, targetHomeCountry};
constexpr std::array<int, 6> kWorkAddress = {targetNothing,       targetBusinessStreet,
                                             targetBusinessCity,  targetBusinessPostalCode,
                                             targetBusinessState, targetBusinessCountry};

// The index into the two tables above: a whole address stands in for the street.
int AddressField(std::uint8_t part) {
  return part == partFormatted ? static_cast<int>(partStreet) : static_cast<int>(part);
}

// "E-mail 2 - Value" as group "E-mail", number 2, part "Value".
bool GroupColumn(std::string_view name, std::string_view& group, int& number,
                 std::string_view& part) {
  const size_t dash = name.find(" - ");
  if (dash == std::string_view::npos) return false;
  const std::string_view left = name.substr(0, dash);
  part = name.substr(dash + 3);
  const size_t space = left.rfind(' ');
  if (space == std::string_view::npos || space + 1 == left.size() || left.size() - space > 4)
    return false;
  number = 0;
  for (char c : left.substr(space + 1)) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  group = left.substr(0, space);
  static constexpr std::string_view kGroups[] = {
      "E-mail", "Phone",        "Address", "Organization", "Relation",      "Website", "IM",
      "Event",  "Custom Field", "Jot",     "External ID",  "Calendar Link", "Hobby"};
  return std::find(std::begin(kGroups), std::end(kGroups), group) != std::end(kGroups);
}

bool IsTypePart(std::string_view part) {
  return part == "Type" || part == "Label" || part == "Service";
}

// The role of a numbered group's column, its type column not yet known.
SColumnRole GroupRole(std::string_view group, int n, std::string_view part) {
  SColumnRole role;
  role.nPreset = targetRemark;
  if (IsTypePart(part)) {
    role.nPreset = targetNothing;
    role.nFlags = fType;
    return role;
  }
  if (group == "Organization") {
    if (n != 1) return role;
    if (part == "Name") role.nPreset = targetCompany;
    if (part == "Title") role.nPreset = targetJobTitle;
    if (part == "Department") role.nPreset = targetDepartment;
    if (part == "Location") role.nPreset = targetOffice;
    return role;
  }
  if (group == "Address") {
    role.nKind = kindAddress;
    static constexpr std::pair<std::string_view, EPart> kParts[] = {
        {"Street", partStreet}, {"City", partCity},       {"Postal Code", partPostalCode},
        {"Region", partState},  {"Country", partCountry}, {"Formatted", partFormatted}};
    for (const auto& [name, p] : kParts)
      if (part == name) role.nPart = p;
    if (role.nPart == partNone) {
      // PO box, extended address: no field, but still labelled with the address's kind.
      role.nKind = kindLabelled;
      return role;
    }
    const int field = AddressField(role.nPart);
    if (n == 1) role.nPreset = kHomeAddress[field];
    if (n == 2) role.nPreset = kWorkAddress[field];
    if (role.nPart == partFormatted) role.nFlags = fFormatted;
    return role;
  }
  if (part != "Value") {
    role.nKind = kindLabelled;
    return role;
  }
  if (group == "E-mail") {
    role.nKind = kindEmail;
    role.nPreset = n == 1 ? targetPersonalEmail : n == 2 ? targetBusinessEmail : targetRemark;
  } else if (group == "Phone") {
    role.nKind = kindPhone;
    role.nPreset = n == 1   ? targetPersonalMobile
                   : n == 2 ? targetHomePhone
                   : n == 3 ? targetBusinessPhone
                            : targetRemark;
  } else if (group == "Website") {
    role.nKind = kindWeb;
    role.nPreset = n == 1 ? targetPersonalWeb : n == 2 ? targetBusinessWeb : targetRemark;
  } else if (group == "Relation") {
    role.nKind = kindRelation;
  } else if (group == "Event") {
    role.nKind = kindEvent;
  } else {
    role.nKind = kindLabelled;
  }
  return role;
}

const SKnown* FindKnown(const SLayout& layout, std::string_view name) {
  for (const SKnown* k = layout.begin; k != layout.end; ++k)
    if (SameIgnoringAsciiCase(k->name, name)) return k;
  return nullptr;
}

bool IsKnownTo(const SLayout& layout, std::string_view name) {
  if (FindKnown(layout, name)) return true;
  std::string_view group, part;
  int n = 0;
  return layout.numberedGroups && GroupColumn(name, group, n, part);
}

// The role of a column that the layout does not write: the program's own name for a field, or
// a name another layout uses, or else kept in the remark.
SColumnRole ForeignRole(std::string_view name) {
  SColumnRole role;
  role.nPreset = targetRemark;
  if (const int own = TargetIndexOf(name); own > targetNothing) {
    role.nPreset = own;
    return role;
  }
  for (const SLayout& other : kLayouts)
    if (const SKnown* k = FindKnown(other, name); k && !(k->flags & ~fNoise)) {
      role.nPreset = k->target;
      break;
    }
  return role;
}

// Links every typed value of a numbered group to the column that names its kind.
void LinkTypeColumns(const std::vector<std::string>& header, std::vector<SColumnRole>& roles) {
  std::map<std::pair<std::string, int>, int> typeColumns;
  for (size_t i = 0; i < header.size(); ++i) {
    std::string_view group, part;
    int n = 0;
    if (!GroupColumn(header[i], group, n, part) || !IsTypePart(part)) continue;
    // An instant-messaging address is labelled by its service rather than by home/work.
    auto [it, added] = typeColumns.emplace(std::make_pair(std::string(group), n), int(i));
    if (!added && part == "Service") it->second = static_cast<int>(i);
  }
  for (size_t i = 0; i < header.size(); ++i) {
    std::string_view group, part;
    int n = 0;
    if (roles[i].nKind == kindNone || !GroupColumn(header[i], group, n, part)) continue;
    const auto it = typeColumns.find({std::string(group), n});
    if (it != typeColumns.end()) roles[i].nTypeColumn = it->second;
  }
}

}  // namespace

int DetectLayout(const std::vector<std::string>& header) {
  size_t named = 0, best = 0;
  int layout = -1;
  for (const std::string& name : header)
    if (!name.empty()) ++named;
  for (size_t l = 0; l < kLayouts.size(); ++l) {
    size_t known = 0;
    for (const std::string& name : header)
      if (!name.empty() && IsKnownTo(kLayouts[l], name)) ++known;
    if (known > best) {
      best = known;
      layout = static_cast<int>(l);
    }
  }
  return best < 3 || best * 2 < named ? -1 : layout;
}

std::string_view LayoutName(int layout) {
  return layout < 0 || static_cast<size_t>(layout) >= kLayouts.size() ? std::string_view()
                                                                      : kLayouts[layout].name;
}

std::vector<SColumnRole> ColumnRoles(int layout, const std::vector<std::string>& header) {
  const SLayout& known = kLayouts.at(static_cast<size_t>(layout));
  std::vector<SColumnRole> roles(header.size());
  for (size_t i = 0; i < header.size(); ++i) {
    std::string_view group, part;
    int n = 0;
    if (const SKnown* k = FindKnown(known, header[i])) {
      roles[i].nPreset = k->target;
      roles[i].nFlags = k->flags;
    } else if (known.numberedGroups && GroupColumn(header[i], group, n, part)) {
      roles[i] = GroupRole(group, n, part);
    } else {
      roles[i] = ForeignRole(header[i]);
    }
  }
  if (known.numberedGroups) LinkTypeColumns(header, roles);
  return roles;
}

// The field a typed value goes to by the word of its type column (lower case, without the
// star that marks the preferred one); preset when the type is empty, the remark when the word
// names a kind without a field.
int RouteByType(const SColumnRole& role, std::string_view type) {
  if (type.empty()) return role.nPreset;
  switch (role.nKind) {
    case kindEmail:
      return type.find("work") != std::string_view::npos ? targetBusinessEmail
                                                         : targetPersonalEmail;
    case kindPhone: {
      static constexpr std::pair<std::string_view, int> kPhones[] = {
          {"mobile", targetPersonalMobile},    {"cell", targetPersonalMobile},
          {"home", targetHomePhone},           {"work", targetBusinessPhone},
          {"home fax", targetHomeFax},         {"work fax", targetBusinessFax},
          {"fax", targetBusinessFax},          {"pager", targetPersonalPager},
          {"work pager", targetBusinessPager}, {"work mobile", targetBusinessMobile}};
      for (const auto& [word, target] : kPhones)
        if (type == word) return target;
      return targetRemark;
    }
    case kindWeb:
      if (type == "work") return targetBusinessWeb;
      return type == "home page" || type == "homepage" || type == "home" ? targetPersonalWeb
                                                                         : targetRemark;
    case kindRelation:
      if (type == "spouse" || type == "partner" || type == "domestic partner") return targetSpouse;
      return type == "child" ? targetChildren : targetRemark;
    case kindEvent:
      if (type == "anniversary") return targetAnniversary;
      return type == "birthday" ? targetBirthday : targetRemark;
    case kindAddress:
      if (type == "home") return kHomeAddress[AddressField(role.nPart)];
      if (type == "work") return kWorkAddress[AddressField(role.nPart)];
      return targetRemark;
    default:
      return role.nPreset;
  }
}

}  // namespace zorvan::foreign_csv
