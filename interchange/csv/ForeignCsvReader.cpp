#include "interchange/csv/ForeignCsvReader.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <utility>

#include "interchange/FieldList.h"
#include "interchange/TextImport.h"
#include "res/CodePage.h"
#include "store/TextUtil.h"
#include "store/TreeItem.h"

namespace zorvan {
namespace {

constexpr int R = 45;  // the remark's target
constexpr int kNothingTarget = 0;

// What a known column's values need beyond going to their target.
enum : unsigned {
  fNotes = 1u << 0,      // the notes: opens the remark as it is
  fAppend = 1u << 1,     // a further line of the street: joins the street's value
  fFormatted = 1u << 2,  // a whole address in one value: only when the street has nothing
  fNoise = 1u << 3,      // values that say "nothing" (see IsNoise) are left out
  fType = 1u << 4,       // names the kind of another column's value
  fGroups = 1u << 5,     // a list of groups or categories
  fBirthYear = 1u << 6,  // the birthday in three columns
  fBirthMonth = 1u << 7,
  fBirthDay = 1u << 8,
};

struct SKnown {
  std::string_view name;
  int target;
  unsigned flags = 0;
};

// The desktop mail and organiser program's export, in English (also as the webmail writes it in
// its "Outlook" flavour, with whole addresses in one column), German and Japanese. The program
// localises both the names and, after the phones, the order of its columns.
constexpr SKnown kOutlook[] = {
    {"Title", 4},
    {"First Name", 1},
    {"Middle Name", 3},
    {"Last Name", 2},
    {"Suffix", R},
    {"Company", 23},
    {"Department", 25},
    {"Job Title", 24},
    {"Business Street", 27},
    {"Business Street 2", 27, fAppend},
    {"Business Street 3", 27, fAppend},
    {"Business City", 28},
    {"Business State", 30},
    {"Business Postal Code", 29},
    {"Business Country/Region", 31},
    {"Business Country", 31},
    {"Business Address", 27, fFormatted},
    {"Home Street", 11},
    {"Home Street 2", 11, fAppend},
    {"Home Street 3", 11, fAppend},
    {"Home City", 12},
    {"Home State", 14},
    {"Home Postal Code", 13},
    {"Home Country/Region", 15},
    {"Home Country", 15},
    {"Home Address", 11, fFormatted},
    {"Other Street", R},
    {"Other Street 2", R},
    {"Other Street 3", R},
    {"Other City", R},
    {"Other State", R},
    {"Other Postal Code", R},
    {"Other Country/Region", R},
    {"Other Country", R},
    {"Other Address", R},
    {"Assistant's Phone", R},
    {"Business Fax", 33},
    {"Business Phone", 32},
    {"Business Phone 2", 32},
    {"Callback", R},
    {"Car Phone", R},
    {"Company Main Phone", R},
    {"Home Fax", 17},
    {"Home Phone", 16},
    {"Home Phone 2", 16},
    {"ISDN", R},
    {"Mobile Phone", 18},
    {"Other Fax", R},
    {"Other Phone", R},
    {"Pager", 35},
    {"Primary Phone", R},
    {"Radio Phone", R},
    {"TTY/TDD Phone", R},
    {"Telex", R},
    {"Account", R},
    {"Anniversary", 43},
    {"Assistant's Name", R},
    {"Billing Information", R},
    {"Birthday", 41},
    {"Business Address PO Box", R},
    {"Categories", R, fGroups},
    {"Children", 40},
    {"Directory Server", R},
    {"E-mail Address", 20},
    {"E-mail Type", kNothingTarget, fType},
    {"E-mail Display Name", R},
    {"E-mail 2 Address", 36},
    {"E-mail 2 Type", kNothingTarget, fType},
    {"E-mail 2 Display Name", R},
    {"E-mail 3 Address", R},
    {"E-mail 3 Type", kNothingTarget, fType},
    {"E-mail 3 Display Name", R},
    {"Gender", 7, fNoise},
    {"Government ID Number", R},
    {"Hobby", R},
    {"Home Address PO Box", R},
    {"Initials", R},
    {"Internet Free Busy", R},
    {"Keywords", R},
    {"Language", R},
    {"Location", R},
    {"Manager's Name", R},
    {"Mileage", R},
    {"Notes", R, fNotes},
    {"Office Location", 26},
    {"Organizational ID Number", R},
    {"Other Address PO Box", R},
    {"Priority", R, fNoise},
    {"Private", R, fNoise},
    {"Profession", R},
    {"Referred By", R},
    {"Sensitivity", R, fNoise},
    {"Spouse", 39},
    {"User 1", R},
    {"User 2", R},
    {"User 3", R},
    {"User 4", R},
    {"Web Page", 21},
    // German
    {"Anrede", 4},
    {"Vorname", 1},
    {"Weitere Vornamen", 3},
    {"Nachname", 2},
    {"Firma", 23},
    {"Abteilung", 25},
    {"Position", 24},
    {"Straße geschäftlich", 27},
    {"Straße geschäftlich 2", 27, fAppend},
    {"Straße geschäftlich 3", 27, fAppend},
    {"Ort geschäftlich", 28},
    {"Region geschäftlich", 30},
    {"Postleitzahl geschäftlich", 29},
    {"Land/Region geschäftlich", 31},
    {"Straße privat", 11},
    {"Straße privat 2", 11, fAppend},
    {"Straße privat 3", 11, fAppend},
    {"Ort privat", 12},
    {"Bundesland/Kanton privat", 14},
    {"Postleitzahl privat", 13},
    {"Land/Region privat", 15},
    {"Weitere Straße", R},
    {"Weitere Straße 2", R},
    {"Weitere Straße 3", R},
    {"Weiterer Ort", R},
    {"Weiteres/r Bundesland/Kanton", R},
    {"Weitere Postleitzahl", R},
    {"Weiteres/e Land/Region", R},
    {"Telefon Assistent", R},
    {"Fax geschäftlich", 33},
    {"Telefon geschäftlich", 32},
    {"Telefon geschäftlich 2", 32},
    {"Rückmeldung", R},
    {"Autotelefon", R},
    {"Telefon Firma", R},
    {"Fax privat", 17},
    {"Telefon (privat)", 16},
    {"Telefon (privat 2)", 16},
    {"Mobiltelefon", 18},
    {"Weiteres Fax", R},
    {"Weiteres Telefon", R},
    {"Haupttelefon", R},
    {"Mobiltelefon 2", 18},
    {"Telefon für Hörbehinderte", R},
    {"Abrechnungsinformation", R},
    {"Assistent(in)", R},
    {"Benutzer 1", R},
    {"Benutzer 2", R},
    {"Benutzer 3", R},
    {"Benutzer 4", R},
    {"Beruf", R},
    {"Büro", 26},
    {"E-Mail-Adresse", 20},
    {"E-Mail-Typ", kNothingTarget, fType},
    {"E-Mail: Angezeigter Name", R},
    {"E-Mail 2: Adresse", 36},
    {"E-Mail 2: Typ", kNothingTarget, fType},
    {"E-Mail 2: Angezeigter Name", R},
    {"E-Mail 3: Adresse", R},
    {"E-Mail 3: Typ", kNothingTarget, fType},
    {"E-Mail 3: Angezeigter Name", R},
    {"Empfohlen von", R},
    {"Geburtstag", 41},
    {"Geschlecht", 7, fNoise},
    {"Initialen", R},
    {"Internet Frei/Gebucht", R},
    {"Jahrestag", 43},
    {"Kategorien", R, fGroups},
    {"Kinder", 40},
    {"Konto", R},
    {"Name des/r Vorgesetzten", R},
    {"Notizen", R, fNotes},
    {"Organisationsnr.", R},
    {"Ort", R},
    {"Partner", 39},
    {"Postfach geschäftlich", R},
    {"Postfach privat", R},
    {"Priorität", R, fNoise},
    {"Privat", R, fNoise},
    {"Reisekilometer", R},
    {"Sozialversicherungsnr.", R},
    {"Sprache", R},
    {"Stichwörter", R},
    {"Vertraulichkeit", R, fNoise},
    {"Verzeichnisserver", R},
    {"Webseite", 21},
    {"Weiteres Postfach", R},
    // Japanese
    {"肩書き", 4},
    {"名", 1},
    {"ミドル ネーム", 3},
    {"姓", 2},
    {"敬称", R},
    {"会社名", 23},
    {"部署", 25},
    {"役職", 24},
    {"番地 (会社)", 27},
    {"住所 2 (会社)", 27, fAppend},
    {"住所 3 (会社)", 27, fAppend},
    {"市町村 (会社)", 28},
    {"都道府県 (会社)", 30},
    {"郵便番号 (会社)", 29},
    {"国 (会社)/地域", 31},
    {"番地 (自宅)", 11},
    {"住所 2 (自宅)", 11, fAppend},
    {"住所 3 (自宅)", 11, fAppend},
    {"市町村 (自宅)", 12},
    {"都道府県 (自宅)", 14},
    {"郵便番号 (自宅)", 13},
    {"国 (自宅)/地域", 15},
    {"番地 (その他)", R},
    {"住所 2 (その他)", R},
    {"住所 3 (その他)", R},
    {"市町村 (その他)", R},
    {"都道府県 (その他)", R},
    {"郵便番号 (その他)", R},
    {"国 (その他)/地域", R},
    {"秘書の電話", R},
    {"会社 FAX", 33},
    {"会社電話", 32},
    {"会社電話 2", 32},
    {"コールバック", R},
    {"自動車電話", R},
    {"会社代表電話", R},
    {"自宅 FAX", 17},
    {"自宅電話", 16},
    {"自宅電話 2", 16},
    {"携帯電話", 18},
    {"その他の FAX", R},
    {"その他の電話", R},
    {"ポケットベル", 35},
    {"通常の電話", R},
    {"無線電話", R},
    {"TTY/TDD", R},
    {"テレックス", R},
    {"ID 番号", R},
    {"Web ページ", 21},
    {"アカウント", R},
    {"イニシャル", R},
    {"インターネット空き時間情報", R},
    {"キーワード", R},
    {"その他住所私書箱", R},
    {"ディレクトリ サーバー", R},
    {"プライベート", R, fNoise},
    {"マネージャー", R},
    {"メモ", R, fNotes},
    {"ユーザー 1", R},
    {"ユーザー 2", R},
    {"ユーザー 3", R},
    {"ユーザー 4", R},
    {"事業所", 26},
    {"会社 ID", R},
    {"会社住所私書箱", R},
    {"会社名フリガナ", R},
    {"優先度", R, fNoise},
    {"分類", R, fGroups},
    {"参照事項", R},
    {"名前フリガナ", R},
    {"場所", R},
    {"姓フリガナ", R},
    {"子供", 40},
    {"性別", 7, fNoise},
    {"支払い条件", R},
    {"秘密度", R, fNoise},
    {"秘書の氏名", R},
    {"経費情報", R},
    {"職業", R},
    {"自宅住所私書箱", R},
    {"言語", R},
    {"記念日", 43},
    {"誕生日", 41},
    {"趣味", R},
    {"配偶者", 39},
    {"電子メール アドレス", 20},
    {"電子メールの種類", kNothingTarget, fType},
    {"電子メール表示名", R},
    {"電子メール 2 アドレス", 36},
    {"電子メール 2 の種類", kNothingTarget, fType},
    {"電子メール 2 表示名", R},
    {"電子メール 3 アドレス", R},
    {"電子メール 3 の種類", kNothingTarget, fType},
    {"電子メール 3 表示名", R},
};

// The webmail's exports: the older "Google CSV" (Name, Given Name, ..., numbered groups with a
// "Type" column) and the current one (First Name, ..., numbered groups with a "Label" column).
// The numbered groups ("E-mail 2 - Value") are matched by pattern, see GroupColumn.
constexpr SKnown kGoogle[] = {
    {"Name", 5},
    {"Given Name", 1},
    {"Additional Name", 3},
    {"Family Name", 2},
    {"Yomi Name", R},
    {"Given Name Yomi", R},
    {"Additional Name Yomi", R},
    {"Family Name Yomi", R},
    {"Name Prefix", 4},
    {"Name Suffix", R},
    {"Initials", R},
    {"Nickname", 6},
    {"Short Name", R},
    {"Maiden Name", R},
    {"Birthday", 41},
    {"Gender", 7, fNoise},
    {"Location", R},
    {"Billing Information", R},
    {"Directory Server", R},
    {"Mileage", R},
    {"Occupation", R},
    {"Hobby", R},
    {"Sensitivity", R, fNoise},
    {"Priority", R, fNoise},
    {"Subject", R},
    {"Notes", R, fNotes},
    {"Group Membership", R, fGroups},
    {"First Name", 1},
    {"Middle Name", 3},
    {"Last Name", 2},
    {"Phonetic First Name", R},
    {"Phonetic Middle Name", R},
    {"Phonetic Last Name", R},
    {"File As", R},
    {"Organization Name", 23},
    {"Organization Title", 24},
    {"Organization Department", 25},
    {"Photo", R},
    {"Labels", R, fGroups},
};

// The mail client's export (comma or tab separated; older versions end every line with a
// delimiter). Its first web page is the work one.
constexpr SKnown kThunderbird[] = {
    {"First Name", 1},
    {"Last Name", 2},
    {"Display Name", 5},
    {"Nickname", 6},
    {"Primary Email", 20},
    {"Secondary Email", 36},
    {"Screen Name", R},
    {"Work Phone", 32},
    {"Home Phone", 16},
    {"Fax Number", 33},
    {"Pager Number", 35},
    {"Mobile Number", 18},
    {"Home Address", 11},
    {"Home Address 2", 11, fAppend},
    {"Home City", 12},
    {"Home State", 14},
    {"Home ZipCode", 13},
    {"Home Country", 15},
    {"Work Address", 27},
    {"Work Address 2", 27, fAppend},
    {"Work City", 28},
    {"Work State", 30},
    {"Work ZipCode", 29},
    {"Work Country", 31},
    {"Job Title", 24},
    {"Department", 25},
    {"Organization", 23},
    {"Web Page 1", 37},
    {"Web Page 2", 21},
    {"Birth Year", 41, fBirthYear},
    {"Birth Month", 41, fBirthMonth},
    {"Birth Day", 41, fBirthDay},
    {"Custom 1", R},
    {"Custom 2", R},
    {"Custom 3", R},
    {"Custom 4", R},
    {"Notes", R, fNotes},
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

// How a type column's word chooses the field of a value.
enum EKind : std::uint8_t {
  kindNone,
  kindEmail,
  kindPhone,
  kindAddress,
  kindWeb,
  kindRelation,
  kindEvent,
  kindLabelled
};
// The parts of an address group.
enum EPart : std::uint8_t {
  partNone,
  partStreet,
  partCity,
  partPostalCode,
  partState,
  partCountry,
  partFormatted
};

constexpr std::array<int, 6> kHomeAddress = {0, 11, 12, 13, 14, 15};
constexpr std::array<int, 6> kWorkAddress = {0, 27, 28, 29, 30, 31};

// The index into the two tables above: a whole address stands in for the street.
int AddressField(std::uint8_t part) {
  return part == partFormatted ? static_cast<int>(partStreet) : static_cast<int>(part);
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

std::string AsciiLowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

// ---------------------------------------------------------------------------------------------
// Decoding

// The length of the valid UTF-8 sequence at pos, or 0 when the bytes there are not one
// (overlong forms, surrogates and values beyond U+10FFFF included).
size_t Utf8SequenceLength(std::string_view s, size_t pos) {
  const auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char c = b(pos);
  if (c < 0x80) return 1;
  size_t len = 0;
  unsigned char lo = 0x80, hi = 0xBF;
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3;
    if (c == 0xE0) lo = 0xA0;
    if (c == 0xED) hi = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (pos + len > s.size()) return 0;
  if (b(pos + 1) < lo || b(pos + 1) > hi) return 0;
  for (size_t i = 2; i < len; ++i)
    if (b(pos + i) < 0x80 || b(pos + i) > 0xBF) return 0;
  return len;
}

// UTF-8 with every byte that is not part of a valid sequence replaced by U+FFFD.
std::string RepairUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t pos = 0; pos < s.size();) {
    const size_t len = Utf8SequenceLength(s, pos);
    if (len == 0) {
      AppendUtf8(out, 0xFFFD);
      ++pos;
    } else {
      out.append(s, pos, len);
      pos += len;
    }
  }
  return out;
}

std::string DecodeFile(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    bytes.remove_prefix(3);
    return IsWellFormedUtf8(bytes) ? std::string(bytes) : RepairUtf8(bytes);
  }
  if (const EUtf16 order = Utf16Order(bytes); order != EUtf16::none)
    return Utf16ToUtf8(bytes, order == EUtf16::bigEndian);
  if (IsWellFormedUtf8(bytes)) return std::string(bytes);
  return AnsiToUtf8(bytes);
}

// ---------------------------------------------------------------------------------------------
// Splitting

size_t SkipBlankLines(std::string_view text, size_t pos) {
  while (pos < text.size() && (text[pos] == '\r' || text[pos] == '\n')) ++pos;
  return pos;
}

// Reads the record that begins at pos: its values (unquoted, at most kMaxColumns of them kept
// in fields when fields is given; count tells how many) up to the line end outside quotes.
// Returns the position after the line end.
size_t ReadRecord(std::string_view t, size_t pos, char delimiter, std::vector<std::string>* fields,
                  size_t& count) {
  const size_t n = t.size();
  count = 0;
  for (;;) {
    std::string* field = nullptr;
    if (count < static_cast<size_t>(kMaxColumns)) {
      if (fields) {
        if (fields->size() <= count) fields->emplace_back();
        field = &(*fields)[count];
        field->clear();
      }
      ++count;
    }
    if (pos < n && t[pos] == '"') {
      bool closed = false;
      size_t q = pos + 1;
      for (;;) {
        const size_t k = t.find('"', q);
        if (k == std::string_view::npos) break;
        if (field) field->append(t, q, k - q);
        if (k + 1 < n && t[k + 1] == '"') {
          if (field) field->push_back('"');
          q = k + 2;
          continue;
        }
        pos = k + 1;
        closed = true;
        break;
      }
      // A quote never closed is a character of the value, which then ends as an unquoted one.
      if (!closed && field) field->clear();
    }
    // Unquoted text, or whatever follows a closing quote, up to the delimiter or the line end.
    size_t end = pos;
    while (end < n && t[end] != delimiter && t[end] != '\r' && t[end] != '\n') ++end;
    if (field) field->append(t, pos, end - pos);
    pos = end;
    if (pos < n && t[pos] == delimiter) {
      ++pos;
      continue;
    }
    if (pos < n && t[pos] == '\r') {
      ++pos;
      if (pos < n && t[pos] == '\n') ++pos;
    } else if (pos < n && t[pos] == '\n') {
      ++pos;
    }
    return pos;
  }
}

// The delimiter the header line uses most outside quotes: comma, semicolon or tab.
char DetectDelimiter(std::string_view t, size_t pos) {
  size_t commas = 0, semicolons = 0, tabs = 0;
  bool quoted = false;
  for (; pos < t.size(); ++pos) {
    const char c = t[pos];
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\r' || c == '\n') break;
    if (c == ',') ++commas;
    if (c == ';') ++semicolons;
    if (c == '\t') ++tabs;
  }
  if (semicolons > commas && semicolons >= tabs) return ';';
  if (tabs > commas && tabs > semicolons) return '\t';
  return ',';
}

// A value as it goes into a record: trimmed, with every line break as CR LF and without NUL
// characters (which no field of a record may hold).
void CleanValue(const std::string& raw, std::string& out) {
  const std::string_view v = Trim(raw);
  out.clear();
  if (v.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos) {
    out.assign(v);
    return;
  }
  out.reserve(v.size() + 8);
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i] == '\r') {
      out += "\r\n";
      if (i + 1 < v.size() && v[i + 1] == '\n') ++i;
    } else if (v[i] == '\n') {
      out += "\r\n";
    } else if (v[i] != '\0') {
      out.push_back(v[i]);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Recognising the header

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
CForeignCsvFile::SColumnRole GroupRole(std::string_view group, int n, std::string_view part) {
  CForeignCsvFile::SColumnRole role;
  role.nPreset = R;
  if (IsTypePart(part)) {
    role.nPreset = kNothingTarget;
    role.nFlags = fType;
    return role;
  }
  if (group == "Organization") {
    if (n != 1) return role;
    if (part == "Name") role.nPreset = 23;
    if (part == "Title") role.nPreset = 24;
    if (part == "Department") role.nPreset = 25;
    if (part == "Location") role.nPreset = 26;
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
    role.nPreset = n == 1 ? 20 : n == 2 ? 36 : R;
  } else if (group == "Phone") {
    role.nKind = kindPhone;
    role.nPreset = n == 1 ? 18 : n == 2 ? 16 : n == 3 ? 32 : R;
  } else if (group == "Website") {
    role.nKind = kindWeb;
    role.nPreset = n == 1 ? 21 : n == 2 ? 37 : R;
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

// ---------------------------------------------------------------------------------------------
// Reading rows

// Values that, in the columns that carry them, only say "nothing" or "the usual".
bool IsNoise(std::string_view value) {
  static constexpr std::string_view kNoise[] = {
      "normal",      "aus", "off",  "false",    "nein", "no",    "keine angabe",
      "unspecified", "0",   "標準", "指定なし", "なし", "いいえ"};
  const std::string lower = AsciiLowerCase(value);
  return std::find(std::begin(kNoise), std::end(kNoise), lower) != std::end(kNoise);
}

// True for a date that is all zeros, as "0.0.00" or "00.00.0000": no date at all.
bool IsZeroDate(std::string_view value) {
  return value.find_first_of("123456789") == std::string_view::npos;
}

// A gender in the words the exporters use: 1 male, 2 female, 0 unknown; -1 when the text
// names none of these.
int ParseGender(std::string_view value) {
  const std::string lower = LowerCase(value);
  static constexpr std::string_view kMale[] = {"male", "m",  "man", "männlich",  "mann",
                                               "男性", "男", "muž", "mężczyzna", "1"};
  static constexpr std::string_view kFemale[] = {"female", "f",  "woman", "weiblich", "frau",
                                                 "女性",   "女", "žena",  "kobieta",  "2"};
  if (std::find(std::begin(kMale), std::end(kMale), lower) != std::end(kMale)) return 1;
  if (std::find(std::begin(kFemale), std::end(kFemale), lower) != std::end(kFemale)) return 2;
  if (IsNoise(value)) return 0;
  return -1;
}

bool IsNotesName(std::string_view name) {
  static constexpr std::string_view kNotes[] = {"notes", "note",   "notizen",
                                                "メモ",  "remark", "comments"};
  const std::string lower = AsciiLowerCase(name);
  return std::find(std::begin(kNotes), std::end(kNotes), lower) != std::end(kNotes);
}

// A list of groups ("* My Contacts ::: Friends", "Freunde;Meine Kontakte") as "Friends, ...":
// the webmail's marker of its own all-contacts group is left out, and the star that marks its
// system groups is taken off the others.
std::string CleanGroups(std::string_view value) {
  const std::string_view separator = value.find(" ::: ") != std::string_view::npos ? " ::: " : ";";
  std::string out;
  size_t pos = 0;
  for (;;) {
    const size_t end = value.find(separator, pos);
    std::string_view item =
        Trim(value.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
    if (item.substr(0, 2) == "* ") item = Trim(item.substr(2));
    const std::string lower = AsciiLowerCase(item);
    if (!item.empty() && lower != "my contacts" && lower != "mycontacts") {
      if (!out.empty()) out += ", ";
      out += item;
    }
    if (end == std::string_view::npos) break;
    pos = end + separator.size();
  }
  return out;
}

// The field a typed value goes to by the word of its type column (lower case, without the
// star that marks the preferred one); preset when the type is empty, the remark when the word
// names a kind without a field.
int RouteByType(const CForeignCsvFile::SColumnRole& role, const std::string& type) {
  if (type.empty()) return role.nPreset;
  switch (role.nKind) {
    case kindEmail:
      return type.find("work") != std::string::npos ? 36 : 20;
    case kindPhone: {
      static constexpr std::pair<std::string_view, int> kPhones[] = {
          {"mobile", 18},   {"cell", 18}, {"home", 16},  {"work", 32},       {"home fax", 17},
          {"work fax", 33}, {"fax", 33},  {"pager", 19}, {"work pager", 35}, {"work mobile", 34}};
      for (const auto& [word, target] : kPhones)
        if (type == word) return target;
      return R;
    }
    case kindWeb:
      if (type == "work") return 37;
      return type == "home page" || type == "homepage" || type == "home" ? 21 : R;
    case kindRelation:
      if (type == "spouse" || type == "partner" || type == "domestic partner") return 39;
      return type == "child" ? 40 : R;
    case kindEvent:
      if (type == "anniversary") return 43;
      return type == "birthday" ? 41 : R;
    case kindAddress:
      if (type == "home") return kHomeAddress[AddressField(role.nPart)];
      if (type == "work") return kWorkAddress[AddressField(role.nPart)];
      return R;
    default:
      return role.nPreset;
  }
}

// What ReadContacts works out once per file for each binding.
struct SPlanned {
  size_t column;
  int target;
  const CForeignCsvFile::SColumnRole* role;  // null when the column's preselection was changed
  std::string_view header;
};

// A text joined to a field: the first value, or the further line of a street.
void SetText(CTreeItem& record, const SFieldInfo& field, std::string_view value, bool append) {
  CText& text = record.*field.pText;
  if (append && !text.view().empty()) {
    std::string joined(text.view());
    joined += "\r\n";
    joined += value;
    text = joined;
  } else {
    text = value;
  }
}

class CRowReader {
 public:
  CRowReader(const std::vector<std::string>& header, EDateOrder order)
      : m_header(header), m_order(order) {}

  std::unique_ptr<CTreeItem> Read(const std::vector<SPlanned>& plan,
                                  const std::vector<std::string>& fields, size_t count);

 private:
  void Line(std::string_view label, std::string_view value) {
    m_any = true;
    m_lines.emplace_back(label);
    m_lines.back() += ": ";
    m_lines.back() += value;
  }
  // Puts value into target's field, or into the remark as "label: value" when the field has a
  // value already or cannot take this one.
  void Put(CTreeItem& record, int target, std::string_view label, std::string_view value,
           bool append, bool notes);

  const std::vector<std::string>& m_header;
  EDateOrder m_order;
  std::array<bool, kTargetCount> m_filled{};
  std::string m_notes;
  std::vector<std::string> m_lines;
  bool m_any = false;
};

void CRowReader::Put(CTreeItem& record, int target, std::string_view label, std::string_view value,
                     bool append, bool notes) {
  if (target == R) {
    if (notes && m_notes.empty()) {
      m_notes = value;
      m_any = true;
    } else {
      Line(label, value);
    }
    return;
  }
  const SFieldInfo* field = FieldByTarget(target);
  if (!field) return;  // bound to nothing: the user's choice
  if (m_filled[target]) {
    if (append && field->kind == EFieldKind::text)
      SetText(record, *field, value, true);
    else
      Line(label, value);
    return;
  }
  switch (field->kind) {
    case EFieldKind::text:
      SetText(record, *field, value, false);
      break;
    case EFieldKind::integer:
      if (field->field == fieldGender) {
        const int gender = ParseGender(value);
        if (gender < 0) {
          Line(label, value);
          return;
        }
        if (gender == 0) return;
        record.*field->pNumber = gender;
      } else {
        record.*field->pNumber = ParseInteger(value);
      }
      break;
    case EFieldKind::groupFlag:
      record.*field->pNumber = ParseInteger(value) == 1 ? 1 : 0;
      break;
    case EFieldKind::date:
      if (IsZeroDate(value)) return;
      if (!ParseDateValue(value, record.*field->pDate, m_order)) {
        Line(label, value);
        return;
      }
      record.*field->pNumber = 1;
      break;
  }
  m_filled[target] = true;
  m_any = true;
}

std::unique_ptr<CTreeItem> CRowReader::Read(const std::vector<SPlanned>& plan,
                                            const std::vector<std::string>& fields, size_t count) {
  auto record = std::make_unique<CTreeItem>();
  m_filled.fill(false);
  m_notes.clear();
  m_lines.clear();
  m_any = false;
  std::string value, type, label;
  struct SDeferred {
    int target;
    std::string label, value;
  };
  std::vector<SDeferred> formatted;
  std::string birth[3];  // year, month, day
  std::string_view birthLabels[3];

  for (const SPlanned& p : plan) {
    if (p.column >= count) continue;
    CleanValue(fields[p.column], value);
    if (value.empty()) continue;
    const CForeignCsvFile::SColumnRole* role = p.role;
    if (!role) {
      Put(*record, p.target, p.header, value, false, p.target == R && IsNotesName(p.header));
      continue;
    }
    const unsigned flags = role->nFlags;
    if (flags & fType) continue;  // read with the value it describes
    if ((flags & fNoise) && IsNoise(value)) continue;
    if (flags & fGroups) {
      value = CleanGroups(value);
      if (value.empty()) continue;
    }
    if (flags & (fBirthYear | fBirthMonth | fBirthDay)) {
      const int i = flags & fBirthYear ? 0 : flags & fBirthMonth ? 1 : 2;
      birth[i] = value;
      birthLabels[i] = p.header;
      continue;
    }
    int target = p.target;
    std::string_view shownLabel = p.header;
    bool starred = false;
    if (role->nKind != kindNone) {
      type.clear();
      if (role->nTypeColumn >= 0 && static_cast<size_t>(role->nTypeColumn) < count) {
        CleanValue(fields[role->nTypeColumn], type);
        if (!type.empty() && type[0] == '*') {
          starred = true;
          type = std::string(Trim(std::string_view(type).substr(1)));
        }
      }
      // "Phone 2 (Main)" for "Phone 2 - Value" of type Main.
      std::string_view base = p.header;
      if (base.size() > 8 && base.substr(base.size() - 8) == " - Value") base.remove_suffix(8);
      label.assign(base);
      if (!type.empty()) label += " (" + type + ")";
      shownLabel = label;
      if (role->nKind != kindLabelled) target = RouteByType(*role, AsciiLowerCase(type));
    }
    if (flags & fFormatted) {
      formatted.push_back({target == R ? R : target, std::string(shownLabel), value});
      continue;
    }
    const bool wasFilled = target > 0 && target < kTargetCount && m_filled[target];
    Put(*record, target, shownLabel, value, (flags & fAppend) != 0, (flags & fNotes) != 0);
    if (starred && !wasFilled && record->m_nPrefEmail < 0 && (target == 20 || target == 36))
      record->m_nPrefEmail = target == 20 ? 0 : 1;
  }

  // Values beyond the header have no column to be bound by.
  for (size_t i = m_header.size(); i < count; ++i) {
    CleanValue(fields[i], value);
    if (value.empty()) continue;
    m_any = true;
    Line("Column " + std::to_string(i + 1), value);
  }

  // The birthday in three columns becomes one date when all three read as one.
  if (!birth[0].empty() || !birth[1].empty() || !birth[2].empty()) {
    const std::string iso = birth[0] + "-" + birth[1] + "-" + birth[2];
    CDateTime date;
    if (!m_filled[41] && !birth[0].empty() && !birth[1].empty() && !birth[2].empty() &&
        ParseDateValue(iso, date, m_order)) {
      record->m_dtBirthday = date;
      record->m_bBirthday = 1;
      m_filled[41] = true;
      m_any = true;
    } else {
      for (int i = 0; i < 3; ++i)
        if (!birth[i].empty()) Line(birthLabels[i], birth[i]);
    }
  }

  // A whole address in one value stands in for the street when the street has nothing; when it
  // begins with the street it only repeats the address's parts.
  for (const SDeferred& d : formatted) {
    const SFieldInfo* field = FieldByTarget(d.target);
    if (d.target == R || !field || field->kind != EFieldKind::text) {
      if (d.target == R) Line(d.label, d.value);
      continue;
    }
    const std::string_view street = (*record.*field->pText).view();
    if (!m_filled[d.target]) {
      SetText(*record, *field, d.value, false);
      m_filled[d.target] = true;
      m_any = true;
    } else if (std::string_view(d.value).substr(0, street.size()) != street) {
      Line(d.label, d.value);
    }
  }
  if (!m_any) return nullptr;

  std::string remark = m_notes;
  for (const std::string& line : m_lines) {
    if (!remark.empty()) remark += "\r\n";
    remark += line;
  }
  if (!remark.empty()) record->m_strRemark = remark;

  // The label as a card's formatted name would be made.
  if (!m_filled[5]) {
    std::string name;
    for (const CText* part :
         {&record->m_strFirstName, &record->m_strMiddleName, &record->m_strLastName}) {
      if (part->view().empty()) continue;
      if (!name.empty()) name += ' ';
      name += part->view();
    }
    if (name.empty()) name = record->m_strCompany.view();
    if (name.empty()) name = record->m_strPersonalEmail.view();
    if (name.empty()) name = record->m_strBusinessEmail.view();
    if (!name.empty()) record->m_strLabel = name;
  }
  return record;
}

}  // namespace

bool CForeignCsvFile::Parse(std::string_view bytes) {
  m_strText = DecodeFile(bytes);
  m_header.clear();
  m_rowStarts.clear();
  m_roles.clear();
  m_nLayout = -1;
  m_cDelimiter = ',';
  const std::string_view text = m_strText;
  size_t pos = SkipBlankLines(text, 0);
  if (pos >= text.size()) return false;
  m_cDelimiter = DetectDelimiter(text, pos);
  size_t count = 0;
  pos = ReadRecord(text, pos, m_cDelimiter, &m_header, count);
  m_header.resize(count);
  for (std::string& name : m_header) name = std::string(Trim(name));
  for (;;) {
    pos = SkipBlankLines(text, pos);
    if (pos >= text.size()) break;
    m_rowStarts.push_back(pos);
    pos = ReadRecord(text, pos, m_cDelimiter, nullptr, count);
  }

  // The layout whose names the header uses most, when most of its names are that layout's.
  size_t named = 0, best = 0;
  for (const std::string& name : m_header)
    if (!name.empty()) ++named;
  for (size_t l = 0; l < kLayouts.size(); ++l) {
    size_t known = 0;
    for (const std::string& name : m_header)
      if (!name.empty() && IsKnownTo(kLayouts[l], name)) ++known;
    if (known > best) {
      best = known;
      m_nLayout = static_cast<int>(l);
    }
  }
  if (best < 3 || best * 2 < named) m_nLayout = -1;
  if (m_nLayout < 0) return true;

  const SLayout& layout = kLayouts[m_nLayout];
  m_roles.resize(m_header.size());
  std::map<std::pair<std::string, int>, int> typeColumns;
  for (size_t i = 0; i < m_header.size(); ++i) {
    const std::string& name = m_header[i];
    SColumnRole& role = m_roles[i];
    std::string_view group, part;
    int n = 0;
    if (const SKnown* k = FindKnown(layout, name)) {
      role.nPreset = k->target;
      role.nFlags = k->flags;
    } else if (layout.numberedGroups && GroupColumn(name, group, n, part)) {
      role = GroupRole(group, n, part);
      if (IsTypePart(part)) {
        // An instant-messaging address is labelled by its service rather than by home/work.
        auto [it, added] = typeColumns.emplace(std::make_pair(std::string(group), n), int(i));
        if (!added && part == "Service") it->second = static_cast<int>(i);
      }
    } else {
      // A column this layout does not write: the program's own name for a field, or a name
      // another layout uses, or else kept in the remark.
      role.nPreset = R;
      const int own = TargetIndexOf(name);
      if (own > 0) {
        role.nPreset = own;
      } else {
        for (const SLayout& other : kLayouts)
          if (const SKnown* k = FindKnown(other, name); k && !(k->flags & ~fNoise)) {
            role.nPreset = k->target;
            break;
          }
      }
    }
  }
  if (layout.numberedGroups) {
    for (size_t i = 0; i < m_header.size(); ++i) {
      std::string_view group, part;
      int n = 0;
      if (m_roles[i].nKind == kindNone || !GroupColumn(m_header[i], group, n, part)) continue;
      const auto it = typeColumns.find({std::string(group), n});
      if (it != typeColumns.end()) m_roles[i].nTypeColumn = it->second;
    }
  }
  return true;
}

std::string_view CForeignCsvFile::Delimiter() const {
  switch (m_cDelimiter) {
    case ';':
      return ";";
    case '\t':
      return "\t";
    default:
      return ",";
  }
}

std::string_view CForeignCsvFile::LayoutName() const {
  return m_nLayout < 0 ? std::string_view() : kLayouts[m_nLayout].name;
}

std::vector<ColumnBinding> CForeignCsvFile::Bindings() const {
  std::vector<ColumnBinding> bindings(m_header.size());
  std::vector<std::string> fields;
  size_t count = 0;
  if (!m_rowStarts.empty())
    ReadRecord(m_strText, m_rowStarts.front(), m_cDelimiter, &fields, count);
  for (size_t i = 0; i < m_header.size(); ++i) {
    ColumnBinding& b = bindings[i];
    b.m_nIndex = static_cast<int>(i);
    b.m_strName = m_header[i];
    b.m_nTarget = m_nLayout >= 0 ? m_roles[i].nPreset : -1;
    if (i < count) CleanValue(fields[i], b.m_strSample);
  }
  return bindings;
}

void CForeignCsvFile::ReadContacts(const std::vector<ColumnBinding>& bindings,
                                   EDateOrder slashOrder,
                                   const std::function<void(SForeignContact&&)>& onContact) const {
  std::vector<SPlanned> plan;
  plan.reserve(bindings.size());
  // A column without a name is shown in the remark by its number.
  std::vector<std::string> numbered;
  numbered.reserve(bindings.size());
  for (const ColumnBinding& b : bindings) {
    if (b.m_nIndex < 0 || static_cast<size_t>(b.m_nIndex) >= m_header.size()) continue;
    const auto column = static_cast<size_t>(b.m_nIndex);
    const SColumnRole* role = nullptr;
    // The roles apply while the user keeps the preselected target; a type column stays out of
    // the remark only while it is bound to nothing.
    if (m_nLayout >= 0 && b.m_nTarget == m_roles[column].nPreset) role = &m_roles[column];
    const bool bound = (b.m_nTarget >= 1 && b.m_nTarget <= kFieldCount);
    if (!bound && !role) continue;
    std::string_view header = m_header[column];
    if (header.empty()) header = numbered.emplace_back("Column " + std::to_string(column + 1));
    plan.push_back({column, b.m_nTarget, role, header});
  }
  std::vector<std::string> fields;
  size_t count = 0;
  CRowReader reader(m_header, slashOrder);
  for (const size_t start : m_rowStarts) {
    ReadRecord(m_strText, start, m_cDelimiter, &fields, count);
    std::unique_ptr<CTreeItem> record = reader.Read(plan, fields, count);
    if (!record) continue;
    SForeignContact contact;
    contact.pRecord = std::move(record);
    onContact(std::move(contact));
  }
}

}  // namespace zorvan
