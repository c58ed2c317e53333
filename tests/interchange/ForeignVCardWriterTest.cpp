// Standard vCard 3.0 and 4.0 for other programs: every field where it belongs, read back by an
// independent parser (python3-vobject); escaping, folding, groups as categories, UIDs, and the
// export to a file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <sstream>

#include "TestUtil.h"
#include "interchange/StringOutput.h"
#include "interchange/Transfer.h"
#include "interchange/vcard/ForeignVCardWriter.h"
#include "res/StringTable.h"
#include "store/RecordExtras.h"
#include "store/RecordFields.h"
#include "store/TreeItem.h"

using namespace zorvan;

namespace {

using Lines = std::vector<std::string>;

// The lines of a card as the format means them: continuation lines joined to the line before.
Lines Unfolded(const std::string& text) {
  Lines lines;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find("\r\n", pos);
    const std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line[0] == ' ' && !lines.empty())
      lines.back() += line.substr(1);
    else
      lines.push_back(line);
    pos = end == std::string::npos ? text.size() : end + 2;
  }
  return lines;
}

// The value as JSON writes a string, without escaping non-ASCII letters.
std::string Json(std::string_view s) {
  std::string out = "\"";
  for (const char c : s) {
    if (c == '"' || c == '\\')
      (out += '\\') += c;
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else
      out += c;
  }
  return out + '"';
}
std::string Json(std::initializer_list<std::string_view> parts) {
  std::string out = "[";
  for (const std::string_view p : parts) out += (out.size() > 1 ? ", " : "") + Json(p);
  return out + "]";
}

// The cards of a file as python3-vobject reads them (see read_vcf.py), the lines of each card
// sorted; skipped is set when the parser is not installed.
std::vector<Lines> ReadByVobject(const std::string& bytes, bool& skipped) {
  test::CTempDir dir;
  const std::string path = dir / "cards.vcf";
  test::WriteFile(path, bytes);
  const std::string command =
      std::string(ZORVAN_SYSTEM_PYTHON) + " " + ZORVAN_READ_VCF + " " + path + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  std::string out;
  char buffer[4096];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
  const int status = ::pclose(pipe);
  skipped = WIFEXITED(status) && WEXITSTATUS(status) == 77;
  std::vector<Lines> cards;
  if (skipped) return cards;
  EXPECT_EQ(status, 0) << out;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    if (line == "BEGIN")
      cards.emplace_back();
    else if (!cards.empty())
      cards.back().push_back(line);
  }
  for (Lines& card : cards) std::sort(card.begin(), card.end());
  return cards;
}

void SetDate(CDateTime& date, int& flag, int y, int m, int d) {
  date.SetDate(y, m, d);
  flag = 1;
}

// Every one of the 45 fields set, with Czech, Polish and German letters, the characters the
// format escapes, line breaks, and a remark long enough to be folded inside its letters.
std::unique_ptr<CTreeItem> FullRecord() {
  auto r = std::make_unique<CTreeItem>();
  r->m_strFirstName = "Jiří";
  r->m_strMiddleName = "Łukasz";
  r->m_strLastName = "Dvořák-Größ";
  r->m_strTitle = "Ing.";
  r->m_strNickname = "Jirka; \"Dvořáček\"";
  r->m_nGender = 1;
  r->m_bGroup = 0;
  r->m_strLabel = "Dvořák, Jiří \\ Ing.";
  r->m_nPrefEmail = 1;
  r->m_nPrefUrl = 0;
  r->m_strHomeStreet = "Na Příkopě 12\r\n3. patro";
  r->m_strHomeCity = "Praha";
  r->m_strHomePostalCode = "110 00";
  r->m_strHomeState = "Hlavní město; Praha";
  r->m_strHomeCountry = "Česká republika";
  r->m_strHomePhone = "+420 602 123 456";
  r->m_strHomeFax = "+420 222 333 444";
  r->m_strPersonalMobile = "+420 777 888 999";
  r->m_strHomeIpPhone = "sip:jiri@dvorak.cz";
  r->m_strPersonalWeb = "https://dvořák.cz/a,b;c";
  r->m_strPersonalPager = "+420 600 100 200";
  r->m_strPersonalEmail = "jiri@dvorak.cz";
  r->m_strCompany = "Größ & Söhne, GmbH";
  r->m_strJobTitle = "Geschäftsführer";
  r->m_strDepartment = "Vertrieb; Süd";
  r->m_strOffice = "Zimmer 3\\4";
  r->m_strBusinessStreet = "Königstraße 1";
  r->m_strBusinessCity = "München";
  r->m_strBusinessPostalCode = "80331";
  r->m_strBusinessState = "Bayern";
  r->m_strBusinessCountry = "Deutschland";
  r->m_strBusinessPhone = "+49 89 1234";
  r->m_strBusinessFax = "+49 89 1235";
  r->m_strBusinessMobile = "+49 170 1236";
  r->m_strBusinessIpPhone = "sip:j.dvorak@gross.de";
  r->m_strBusinessWeb = "https://gross.de";
  r->m_strBusinessPager = "+49 89 1237";
  r->m_strBusinessEmail = "j.dvorak@gross.de";
  r->m_strRemark =
      "Łukasz Wąsik poznał Jiřího v Mnichově; mluví česky, polsky a německy — żółć, "
      "Größe, ďábelské úžasné.\r\nDruhý řádek: \\ zpětné lomítko.";
  r->m_strSpouse = "Žofie Dvořáková";
  r->m_strChildren = "Petr, Anna";
  r->m_strAnniversaryText = "Svatba; první";
  SetDate(r->m_dtBirthday, r->m_bBirthday, 1984, 2, 29);
  SetDate(r->m_dtNameDay, r->m_bNameDay, 2000, 4, 24);
  SetDate(r->m_dtAnniversary, r->m_bAnniversary, 2010, 6, 12);
  return r;
}

const std::string kRemarkRead =
    "Łukasz Wąsik poznał Jiřího v Mnichově; mluví česky, polsky a německy — żółć, Größe, "
    "ďábelské úžasné.\nDruhý řádek: \\ zpětné lomítko.";

std::string Line(const std::string& property, const std::string& json) {
  return property + "\t" + json;
}

// What vobject reads of the full record's card, written with the two categories; lines that
// differ between the versions come from the table.
Lines ExpectedFullCard(EVCardVersion v, const std::string& uid) {
  const bool v4 = v == EVCardVersion::v40;
  const auto pick = [v4](const std::string& a, const std::string& b) { return v4 ? b : a; };
  Lines lines = {
      Line("VERSION", Json(v4 ? "4.0" : "3.0")),
      Line("PRODID", Json("-//Tavorin//Zorvan//EN")),
      Line("UID", Json(uid)),
      Line("FN", Json("Dvořák, Jiří \\ Ing.")),
      Line("N", Json({"Dvořák-Größ", "Jiří", "Łukasz", "Ing.", ""})),
      Line("NICKNAME", Json("Jirka; \"Dvořáček\"")),
      Line("BDAY", Json(v4 ? "19840229" : "1984-02-29")),
      Line(pick("X-ANNIVERSARY", "ANNIVERSARY"), Json(v4 ? "20100612" : "2010-06-12")),
      Line("ORG", Json({"Größ & Söhne, GmbH", "Vertrieb; Süd"})),
      Line("TITLE", Json("Geschäftsführer")),
      Line(pick("ADR;TYPE=HOME", "ADR;TYPE=home"),
           Json({"", "", "Na Příkopě 12\n3. patro", "Praha", "Hlavní město; Praha", "110 00",
                 "Česká republika"})),
      Line(pick("ADR;TYPE=WORK", "ADR;TYPE=work"),
           Json({"", "Zimmer 3\\4", "Königstraße 1", "München", "Bayern", "80331", "Deutschland"})),
      Line(pick("TEL;TYPE=HOME,VOICE", "TEL;TYPE=home,voice"), Json("+420 602 123 456")),
      Line(pick("TEL;TYPE=HOME,FAX", "TEL;TYPE=home,fax"), Json("+420 222 333 444")),
      Line(pick("TEL;TYPE=CELL", "TEL;TYPE=cell"), Json("+420 777 888 999")),
      Line(pick("TEL;TYPE=HOME,PAGER", "TEL;TYPE=home,pager"), Json("+420 600 100 200")),
      Line(pick("TEL;TYPE=WORK,VOICE", "TEL;TYPE=work,voice"), Json("+49 89 1234")),
      Line(pick("TEL;TYPE=WORK,FAX", "TEL;TYPE=work,fax"), Json("+49 89 1235")),
      Line(pick("TEL;TYPE=WORK,CELL", "TEL;TYPE=work,cell"), Json("+49 170 1236")),
      Line(pick("TEL;TYPE=WORK,PAGER", "TEL;TYPE=work,pager"), Json("+49 89 1237")),
      // The preferred e-mail is the business one (1), the preferred web page the personal (0).
      Line(pick("EMAIL;TYPE=INTERNET,HOME", "EMAIL;TYPE=home"), Json("jiri@dvorak.cz")),
      Line(pick("EMAIL;TYPE=INTERNET,WORK,PREF", "EMAIL;PREF=1;TYPE=work"),
           Json("j.dvorak@gross.de")),
      Line(pick("URL;TYPE=HOME,PREF", "URL;PREF=1;TYPE=home"), Json("https://dvořák.cz/a,b;c")),
      Line(pick("URL;TYPE=WORK", "URL;TYPE=work"), Json("https://gross.de")),
      Line(pick("X-SPOUSE", "RELATED;TYPE=spouse;VALUE=text"), Json("Žofie Dvořáková")),
      Line("NOTE", Json(kRemarkRead)),
      Line("CATEGORIES", Json({"Přátelé, staří", "Práce"})),
      Line("X-TAVORIN-GENDER", Json("1")),
      Line("X-TAVORIN-EMAIL", Json("1")),
      Line("X-TAVORIN-URL", Json("0")),
      Line("X-TAVORIN-HOME-IPPHONE", Json("sip:jiri@dvorak.cz")),
      Line("X-TAVORIN-WORK-IPPHONE", Json("sip:j.dvorak@gross.de")),
      Line("X-TAVORIN-ANNIVERSARY-STRING", Json("Svatba; první")),
      Line("X-TAVORIN-NAMEDAY-DATE", Json("2000-04-24")),
      Line("X-TAVORIN-CHILDREN", Json("Petr, Anna")),
  };
  if (v4) lines.push_back(Line("GENDER", Json("M")));
  std::sort(lines.begin(), lines.end());
  return lines;
}

const char* VersionName(EVCardVersion v) { return v == EVCardVersion::v40 ? "4.0" : "3.0"; }

// Every physical line: at most 75 octets, never starting inside a UTF-8 character, CR LF ended.
void ExpectFoldedWell(const std::string& text) {
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find("\r\n", pos);
    ASSERT_NE(end, std::string::npos) << "a line without CR LF at " << pos;
    const std::string line = text.substr(pos, end - pos);
    EXPECT_LE(line.size(), 75u) << line;
    EXPECT_EQ(line.find('\n'), std::string::npos) << line;
    EXPECT_EQ(line.find('\r'), std::string::npos) << line;
    const size_t first = !line.empty() && line[0] == ' ' ? 1 : 0;
    if (line.size() > first) {
      EXPECT_NE(static_cast<unsigned char>(line[first]) & 0xC0, 0x80) << "split: " << line;
    }
    pos = end + 2;
  }
}

class ForeignVCardBothVersions : public ::testing::TestWithParam<EVCardVersion> {};

TEST_P(ForeignVCardBothVersions, shouldGiveAVCardParserEveryFieldOfAFullRecord) {
  const EVCardVersion v = GetParam();
  const auto record = FullRecord();
  const std::string card = ForeignVCard(*record, v, {"Přátelé, staří", "Práce"}, "urn:uuid:x-1");
  ExpectFoldedWell(card);
  EXPECT_EQ(card.rfind(std::string("BEGIN:VCARD\r\nVERSION:") + VersionName(v) + "\r\n", 0), 0u)
      << card;
  bool skipped = false;
  const std::vector<Lines> cards = ReadByVobject(card, skipped);
  if (skipped) GTEST_SKIP() << "python3-vobject is not installed: the card is not read back";
  ASSERT_EQ(cards.size(), 1u) << card;
  EXPECT_EQ(cards[0], ExpectedFullCard(v, "urn:uuid:x-1")) << card;
}

TEST_P(ForeignVCardBothVersions, shouldWriteNAndFnAsTheVersionRequiresAndNothingForEmptyFields) {
  const EVCardVersion v = GetParam();
  CTreeItem empty;
  empty.m_strLabel = "";
  Lines expected = {"BEGIN:VCARD",
                    std::string("VERSION:") + VersionName(v),
                    "PRODID:-//Tavorin//Zorvan//EN",
                    "UID:urn:uuid:y",
                    "FN:",
                    "N:;;;;",
                    "X-TAVORIN-EMAIL:-1",
                    "X-TAVORIN-URL:-1",
                    "END:VCARD"};
  // 4.0 requires FN alone: a record without names has no N.
  if (v == EVCardVersion::v40) expected.erase(expected.begin() + 5);
  EXPECT_EQ(Unfolded(ForeignVCard(empty, v, {}, "urn:uuid:y")), expected);
  // Unset dates are no properties, whatever the date holds.
  empty.m_dtBirthday.SetDate(1990, 1, 1);
  empty.m_dtAnniversary.SetDate(1990, 1, 1);
  empty.m_dtNameDay.SetDate(1990, 1, 1);
  EXPECT_EQ(Unfolded(ForeignVCard(empty, v, {}, "urn:uuid:y")), expected);
}

TEST_P(ForeignVCardBothVersions, shouldFoldLongValuesBetweenTheCharactersOfAnyWidth) {
  const EVCardVersion v = GetParam();
  std::string cards;
  Lines notes;
  for (const std::string letter : {"ř", "€", "𝄞", "a"}) {
    for (int shift = 0; shift < 4; ++shift) {
      SCOPED_TRACE(letter + " after " + std::to_string(shift));
      CTreeItem r;
      std::string note(static_cast<size_t>(shift), 'x');
      for (int i = 0; i < 100; ++i) note += letter;
      r.m_strRemark = note;
      const std::string card = ForeignVCard(r, v, {}, "u");
      ExpectFoldedWell(card);
      const Lines lines = Unfolded(card);
      EXPECT_NE(std::find(lines.begin(), lines.end(), "NOTE:" + note), lines.end()) << card;
      cards += card;
      notes.push_back(Line("NOTE", Json(note)));
    }
  }
  // The parser joins the folded lines back into the same values.
  bool skipped = false;
  const std::vector<Lines> read = ReadByVobject(cards, skipped);
  if (skipped) GTEST_SKIP() << "python3-vobject is not installed: the cards are not read back";
  Lines readNotes;
  for (const Lines& card : read)
    for (const std::string& line : card)
      if (line.rfind("NOTE\t", 0) == 0) readNotes.push_back(line);
  EXPECT_EQ(readNotes, notes);
}

INSTANTIATE_TEST_SUITE_P(Versions, ForeignVCardBothVersions,
                         ::testing::Values(EVCardVersion::v30, EVCardVersion::v40),
                         [](const auto& paramInfo) {
                           return std::string(paramInfo.param == EVCardVersion::v40 ? "v40"
                                                                                    : "v30");
                         });

// The lines a field alone adds to a new record's card, in 3.0 and in 4.0.
struct SMapping {
  const char* name;
  std::function<void(CTreeItem&)> set;
  Lines v30, v40;
};

std::function<void(CTreeItem&)> Text(EField field, const char* value) {
  return [field, value](CTreeItem& r) { r.*TextMember(field) = value; };
}

TEST(ForeignVCardMapping, shouldPutEachFieldInItsProperty) {
  const std::vector<SMapping> table = {
      {"FirstName", Text(fieldFirstName, "Jürgen"), {"N:;Jürgen;;;"}, {"N:;Jürgen;;;"}},
      {"MiddleName", Text(fieldMiddleName, "Ł"), {"N:;;Ł;;"}, {"N:;;Ł;;"}},
      {"LastName", Text(fieldLastName, "Wąsik"), {"N:Wąsik;;;;"}, {"N:Wąsik;;;;"}},
      {"Title", Text(fieldTitle, "Dr."), {"N:;;;Dr.;"}, {"N:;;;Dr.;"}},
      {"Nickname", Text(fieldNickname, "Łuki"), {"NICKNAME:Łuki"}, {"NICKNAME:Łuki"}},
      {"Gender male",
       [](CTreeItem& r) { r.m_nGender = 1; },
       {"X-TAVORIN-GENDER:1"},
       {"GENDER:M", "X-TAVORIN-GENDER:1"}},
      {"Gender female",
       [](CTreeItem& r) { r.m_nGender = 2; },
       {"X-TAVORIN-GENDER:2"},
       {"GENDER:F", "X-TAVORIN-GENDER:2"}},
      {"Gender out of range",
       [](CTreeItem& r) { r.m_nGender = 7; },
       {"X-TAVORIN-GENDER:7"},
       {"X-TAVORIN-GENDER:7"}},
      {"Label", Text(fieldLabel, "Größ, J."), {"FN:Größ\\, J."}, {"FN:Größ\\, J."}},
      {"HomeStreet",
       Text(fieldHomeStreet, "Dlouhá 1"),
       {"ADR;TYPE=HOME:;;Dlouhá 1;;;;"},
       {"ADR;TYPE=home:;;Dlouhá 1;;;;"}},
      {"HomeCity",
       Text(fieldHomeCity, "Brno"),
       {"ADR;TYPE=HOME:;;;Brno;;;"},
       {"ADR;TYPE=home:;;;Brno;;;"}},
      {"HomeState",
       Text(fieldHomeState, "JMK"),
       {"ADR;TYPE=HOME:;;;;JMK;;"},
       {"ADR;TYPE=home:;;;;JMK;;"}},
      {"HomePostalCode",
       Text(fieldHomePostalCode, "602 00"),
       {"ADR;TYPE=HOME:;;;;;602 00;"},
       {"ADR;TYPE=home:;;;;;602 00;"}},
      {"HomeCountry",
       Text(fieldHomeCountry, "Polska"),
       {"ADR;TYPE=HOME:;;;;;;Polska"},
       {"ADR;TYPE=home:;;;;;;Polska"}},
      {"HomePhone",
       Text(fieldHomePhone, "1"),
       {"TEL;TYPE=HOME,VOICE:1"},
       {"TEL;TYPE=home,voice:1"}},
      {"HomeFax", Text(fieldHomeFax, "2"), {"TEL;TYPE=HOME,FAX:2"}, {"TEL;TYPE=home,fax:2"}},
      {"PersonalMobile", Text(fieldPersonalMobile, "3"), {"TEL;TYPE=CELL:3"}, {"TEL;TYPE=cell:3"}},
      {"HomeIpPhone",
       Text(fieldHomeIpPhone, "4"),
       {"X-TAVORIN-HOME-IPPHONE:4"},
       {"X-TAVORIN-HOME-IPPHONE:4"}},
      {"PersonalPager",
       Text(fieldPersonalPager, "5"),
       {"TEL;TYPE=HOME,PAGER:5"},
       {"TEL;TYPE=home,pager:5"}},
      {"PersonalWeb",
       Text(fieldPersonalWeb, "http://a.pl"),
       {"URL;TYPE=HOME:http://a.pl"},
       {"URL;TYPE=home:http://a.pl"}},
      {"PersonalEmail",
       Text(fieldPersonalEmail, "a@b.pl"),
       {"EMAIL;TYPE=INTERNET,HOME:a@b.pl"},
       {"EMAIL;TYPE=home:a@b.pl"}},
      // A company without a person's name is an organisation's card in 4.0.
      {"Company", Text(fieldCompany, "Größ AG"), {"ORG:Größ AG"}, {"KIND:org", "ORG:Größ AG"}},
      {"Department", Text(fieldDepartment, "Einkauf"), {"ORG:;Einkauf"}, {"ORG:;Einkauf"}},
      {"JobTitle", Text(fieldJobTitle, "Leiter"), {"TITLE:Leiter"}, {"TITLE:Leiter"}},
      {"Office",
       Text(fieldOffice, "B 2"),
       {"ADR;TYPE=WORK:;B 2;;;;;"},
       {"ADR;TYPE=work:;B 2;;;;;"}},
      {"BusinessStreet",
       Text(fieldBusinessStreet, "Ulica 3"),
       {"ADR;TYPE=WORK:;;Ulica 3;;;;"},
       {"ADR;TYPE=work:;;Ulica 3;;;;"}},
      {"BusinessCity",
       Text(fieldBusinessCity, "Kraków"),
       {"ADR;TYPE=WORK:;;;Kraków;;;"},
       {"ADR;TYPE=work:;;;Kraków;;;"}},
      {"BusinessState",
       Text(fieldBusinessState, "MP"),
       {"ADR;TYPE=WORK:;;;;MP;;"},
       {"ADR;TYPE=work:;;;;MP;;"}},
      {"BusinessPostalCode",
       Text(fieldBusinessPostalCode, "30-001"),
       {"ADR;TYPE=WORK:;;;;;30-001;"},
       {"ADR;TYPE=work:;;;;;30-001;"}},
      {"BusinessCountry",
       Text(fieldBusinessCountry, "DE"),
       {"ADR;TYPE=WORK:;;;;;;DE"},
       {"ADR;TYPE=work:;;;;;;DE"}},
      {"BusinessPhone",
       Text(fieldBusinessPhone, "6"),
       {"TEL;TYPE=WORK,VOICE:6"},
       {"TEL;TYPE=work,voice:6"}},
      {"BusinessFax",
       Text(fieldBusinessFax, "7"),
       {"TEL;TYPE=WORK,FAX:7"},
       {"TEL;TYPE=work,fax:7"}},
      {"BusinessMobile",
       Text(fieldBusinessMobile, "8"),
       {"TEL;TYPE=WORK,CELL:8"},
       {"TEL;TYPE=work,cell:8"}},
      {"BusinessIpPhone",
       Text(fieldBusinessIpPhone, "9"),
       {"X-TAVORIN-WORK-IPPHONE:9"},
       {"X-TAVORIN-WORK-IPPHONE:9"}},
      {"BusinessWeb",
       Text(fieldBusinessWeb, "http://b.de"),
       {"URL;TYPE=WORK:http://b.de"},
       {"URL;TYPE=work:http://b.de"}},
      {"BusinessPager",
       Text(fieldBusinessPager, "10"),
       {"TEL;TYPE=WORK,PAGER:10"},
       {"TEL;TYPE=work,pager:10"}},
      {"BusinessEmail",
       Text(fieldBusinessEmail, "c@d.de"),
       {"EMAIL;TYPE=INTERNET,WORK:c@d.de"},
       {"EMAIL;TYPE=work:c@d.de"}},
      {"Remark", Text(fieldRemark, "a\r\nb\nc\rd"), {"NOTE:a\\nb\\nc\\nd"}, {"NOTE:a\\nb\\nc\\nd"}},
      {"Spouse",
       Text(fieldSpouse, "Žofie"),
       {"X-SPOUSE:Žofie"},
       {"RELATED;TYPE=spouse;VALUE=text:Žofie"}},
      {"Children",
       Text(fieldChildren, "Jan, Eva"),
       {"X-TAVORIN-CHILDREN:Jan\\, Eva"},
       {"X-TAVORIN-CHILDREN:Jan\\, Eva"}},
      {"AnniversaryText",
       Text(fieldAnniversaryText, "Ślub"),
       {"X-TAVORIN-ANNIVERSARY-STRING:Ślub"},
       {"X-TAVORIN-ANNIVERSARY-STRING:Ślub"}},
      {"Birthday",
       [](CTreeItem& r) { SetDate(r.m_dtBirthday, r.m_bBirthday, 1905, 3, 7); },
       {"BDAY:1905-03-07"},
       {"BDAY:19050307"}},
      {"NameDay",
       [](CTreeItem& r) { SetDate(r.m_dtNameDay, r.m_bNameDay, 2000, 12, 24); },
       {"X-TAVORIN-NAMEDAY-DATE:2000-12-24"},
       {"X-TAVORIN-NAMEDAY-DATE:2000-12-24"}},
      {"Anniversary",
       [](CTreeItem& r) { SetDate(r.m_dtAnniversary, r.m_bAnniversary, 2010, 6, 12); },
       {"X-ANNIVERSARY:2010-06-12"},
       {"ANNIVERSARY:20100612"}},
  };
  for (const EVCardVersion v : {EVCardVersion::v30, EVCardVersion::v40}) {
    CTreeItem base;
    const Lines plain = Unfolded(ForeignVCard(base, v, {}, "u"));
    for (const SMapping& m : table) {
      SCOPED_TRACE(std::string(m.name) + " in " + VersionName(v));
      CTreeItem r;
      m.set(r);
      // The lines of the card that the new record's card does not have, and those it lost.
      Lines added, lost;
      const Lines lines = Unfolded(ForeignVCard(r, v, {}, "u"));
      for (const std::string& l : lines)
        if (std::find(plain.begin(), plain.end(), l) == plain.end()) added.push_back(l);
      for (const std::string& l : plain)
        if (std::find(lines.begin(), lines.end(), l) == lines.end()) lost.push_back(l);
      EXPECT_EQ(added, v == EVCardVersion::v40 ? m.v40 : m.v30);
      // Only the name parts replace a line (3.0 always has N); FN replaces the label's.
      for (const std::string& l : lost) EXPECT_TRUE(l == "N:;;;;" || l == "FN:Unknown") << l;
    }
  }
}

TEST(ForeignVCardMapping, shouldMarkThePreferredAddressThatTheRecordNames) {
  struct SCase {
    int stored;
    bool personal, business;
    const char* preferred;  // "home", "work" or "" for none
  };
  // 1 is the business address, 0 the personal one or, when there is none, the business one.
  const SCase cases[] = {
      {-1, true, true, ""},     {0, true, true, "home"},  {1, true, true, "work"},
      {2, true, true, ""},      {0, false, true, "work"}, {1, false, true, "work"},
      {0, true, false, "home"}, {1, true, false, ""},     {0, false, false, ""},
  };
  for (const SCase& c : cases) {
    for (const EVCardVersion v : {EVCardVersion::v30, EVCardVersion::v40}) {
      SCOPED_TRACE(std::to_string(c.stored) + (c.personal ? " personal" : "") +
                   (c.business ? " business" : "") + " " + VersionName(v));
      CTreeItem r;
      r.m_nPrefEmail = r.m_nPrefUrl = c.stored;
      if (c.personal) r.m_strPersonalEmail = "p@a.cz", r.m_strPersonalWeb = "http://p.cz";
      if (c.business) r.m_strBusinessEmail = "b@a.cz", r.m_strBusinessWeb = "http://b.cz";
      Lines preferred;
      for (const std::string& l : Unfolded(ForeignVCard(r, v, {}, "u")))
        if (l.find("PREF") != std::string::npos && l.rfind("X-", 0) != 0) preferred.push_back(l);
      Lines expected;
      const std::string kind = c.preferred;
      if (kind == "home" && v == EVCardVersion::v30)
        expected = {"EMAIL;TYPE=INTERNET,HOME,PREF:p@a.cz", "URL;TYPE=HOME,PREF:http://p.cz"};
      if (kind == "work" && v == EVCardVersion::v30)
        expected = {"EMAIL;TYPE=INTERNET,WORK,PREF:b@a.cz", "URL;TYPE=WORK,PREF:http://b.cz"};
      if (kind == "home" && v == EVCardVersion::v40)
        expected = {"EMAIL;TYPE=home;PREF=1:p@a.cz", "URL;TYPE=home;PREF=1:http://p.cz"};
      if (kind == "work" && v == EVCardVersion::v40)
        expected = {"EMAIL;TYPE=work;PREF=1:b@a.cz", "URL;TYPE=work;PREF=1:http://b.cz"};
      EXPECT_EQ(preferred, expected);
    }
  }
}

TEST(ForeignVCardText, shouldEscapeWhatTheFormatEscapesAndDropControlCharacters) {
  struct SCase {
    std::string value;
    std::string component, text;  // as each kind of value writes it
  };
  const SCase cases[] = {
      {"Dvořák", "Dvořák", "Dvořák"},
      // A semicolon separates components only.
      {"a,b;c\\d", "a\\,b\\;c\\\\d", "a\\,b;c\\\\d"},
      {"1\r\n2\n3\r4\r\n", "1\\n2\\n3\\n4\\n", "1\\n2\\n3\\n4\\n"},
      {"tab\tstays", "tab\tstays", "tab\tstays"},
      {std::string("bel\a esc\x1b del\x7f nul") + '\0' + "!", "bel esc del nul!",
       "bel esc del nul!"},
      {"\\n is no line break", "\\\\n is no line break", "\\\\n is no line break"},
      {"Größ 𝄞 €", "Größ 𝄞 €", "Größ 𝄞 €"},
      // Bytes that are no UTF-8: a lone Latin-2 "ř", a cut-off "ř", an overlong "/", a
      // surrogate, a code point past U+10FFFF.
      {"Dvo\xF8\xE1k", "Dvo\xEF\xBF\xBD\xEF\xBF\xBDk", "Dvo\xEF\xBF\xBD\xEF\xBF\xBDk"},
      {"end \xC5", "end \xEF\xBF\xBD", "end \xEF\xBF\xBD"},
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD",
       "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD",
       "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const SCase& c : cases) {
    const std::pair<EVCardEscape, const std::string&> kinds[] = {
        {EVCardEscape::component, c.component}, {EVCardEscape::text, c.text}};
    for (const auto& [kind, escaped] : kinds) {
      std::string out;
      AppendVCardText(out, c.value, kind);
      EXPECT_EQ(out, escaped) << static_cast<int>(kind);
    }
  }
}

// Where each kind of value is used: ";" stays in the texts of one value, is escaped in a
// compound value (ORG even with one component), and a URL is escaped as a text.
TEST(ForeignVCardText, shouldEscapeEachPropertyAsItsValueTypeAsks) {
  CTreeItem r;
  r.m_strLabel = "Dvořák; Jiří";
  r.m_strRemark = "Praha; Brno, Ostrava";
  r.m_strJobTitle = "Vedoucí; zástupce";
  r.m_strCompany = "Größ; Söhne";
  r.m_strPersonalWeb = "https://dvořák.cz/a,b;c\\d";
  r.m_strPersonalEmail = "jiri;dvorak@example.cz";
  for (const EVCardVersion v : {EVCardVersion::v30, EVCardVersion::v40}) {
    SCOPED_TRACE(VersionName(v));
    const bool v4 = v == EVCardVersion::v40;
    const Lines lines = Unfolded(ForeignVCard(r, v, {"Přátelé; staří"}, "u"));
    for (const std::string& expected :
         {std::string("FN:Dvořák; Jiří"), std::string("NOTE:Praha; Brno\\, Ostrava"),
          std::string("TITLE:Vedoucí; zástupce"), std::string("ORG:Größ\\; Söhne"),
          std::string("CATEGORIES:Přátelé; staří"),
          std::string(v4 ? "URL;TYPE=home:" : "URL;TYPE=HOME:") + "https://dvořák.cz/a\\,b;c\\\\d",
          std::string(v4 ? "EMAIL;TYPE=home:" : "EMAIL;TYPE=INTERNET,HOME:") +
              "jiri;dvorak@example.cz"})
      EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << expected;
  }
}

TEST(ForeignVCardText, shouldFoldAtSeventyFiveOctetsAndNeverInsideACharacter) {
  const std::pair<std::string, std::string> cases[] = {
      {std::string(75, 'a'), std::string(75, 'a') + "\r\n"},
      {std::string(76, 'a'), std::string(75, 'a') + "\r\n a\r\n"},
      {std::string(75 + 74 + 1, 'a'),
       std::string(75, 'a') + "\r\n " + std::string(74, 'a') + "\r\n a\r\n"},
      // "ř" is two octets: at 74 + ř the second would be the 76th octet.
      {std::string(74, 'a') + "řb", std::string(74, 'a') + "\r\n řb\r\n"},
      {std::string(73, 'a') + "€b", std::string(73, 'a') + "\r\n €b\r\n"},
      {std::string(72, 'a') + "𝄞b", std::string(72, 'a') + "\r\n 𝄞b\r\n"},
      {std::string(71, 'a') + "𝄞b", std::string(71, 'a') + "𝄞\r\n b\r\n"},
  };
  for (const auto& [line, folded] : cases) {
    std::string out;
    AppendFoldedLine(out, line);
    EXPECT_EQ(out, folded);
  }
}

// A card's lines are made in the card itself and folded there only when they grow past a line:
// each comes out as the folding of the whole line would make it, next to the lines before it,
// at every width around the limit, an escape or a character of several octets on the edge.
TEST(ForeignVCardText, shouldFoldEachLineOfACardAsTheWholeLineFolds) {
  for (const std::string tail : {"a", "ř", "€", "𝄞", "\\", ",", "Ω\r\n"}) {
    for (size_t width = 60; width < 160; ++width) {
      CTreeItem r;
      r.m_strLabel = "Νίκος Παπαδόπουλος, 王小明";
      std::string note(width, 'x');
      for (size_t i = 0; i < note.size(); i += 7) note[i] = ';';
      r.m_strRemark = note + tail;
      r.m_strJobTitle = tail + note;
      std::string expected;
      for (const auto& [head, value] : {std::pair{"TITLE:", r.m_strJobTitle.view()},
                                        std::pair{"NOTE:", r.m_strRemark.view()}}) {
        std::string line = head;
        AppendVCardText(line, value, EVCardEscape::text);
        AppendFoldedLine(expected, line);
      }
      const std::string card = ForeignVCard(r, EVCardVersion::v40, {}, "u");
      const size_t title = card.find("\r\nTITLE:");
      ASSERT_NE(title, std::string::npos) << card;
      EXPECT_EQ(card.substr(title + 2, expected.size()), expected) << tail << " " << width;
    }
  }
  // The escaped text is appended to what the line already holds; a lead octet of two without
  // its second is no character, and U+07FF, the last of two octets, is one.
  std::string line = "NOTE:Dvořák";
  AppendVCardText(line,
                  ",\r\r\n;Ř\xC5"
                  "a\xDF\xBF\xC5",
                  EVCardEscape::component);
  EXPECT_EQ(line,
            "NOTE:Dvořák\\,\\n\\n\\;Ř\xEF\xBF\xBD"
            "a\xDF\xBF\xEF\xBF\xBD");
}

// A contacts root with groups, contacts and a subcontact; labels in three languages.
class ForeignVCardTree : public ::testing::Test {
 protected:
  ForeignVCardTree() {
    friends = Add(&root, "Přátelé", true);
    Add(friends, "Jiří Dvořák");
    work = Add(friends, "Práce, staří", true);
    lukasz = Add(work, "Łukasz Wąsik");
    Add(lukasz, "Anna Wąsik");
    Add(&root, "Jürgen Größ");
    Add(&root, "Jürgen Größ");  // the same label twice on one level
  }
  static CTreeItem* Add(CTreeItem* parent, const char* label, bool group = false) {
    auto* r = new CTreeItem;
    r->m_strLabel = label;
    r->m_bGroup = group ? 1 : 0;
    r->m_nKind = kindContacts;
    CTreeItem::AddChild(parent, r);
    return r;
  }
  // The FN, CATEGORIES and UID of every card written for top.
  static Lines Written(const CTreeItem& top, int& steps) {
    CStringOutput out;
    steps = 0;
    CProgress progress(steps);
    EXPECT_TRUE(WriteForeignVCards(out, top, EVCardVersion::v30, &progress));
    Lines picked;
    for (const std::string& l : Unfolded(out.Bytes()))
      if (l.rfind("FN:", 0) == 0 || l.rfind("CATEGORIES:", 0) == 0 || l.rfind("UID:", 0) == 0)
        picked.push_back(l);
    return picked;
  }

  CTreeItem root;
  CTreeItem* friends;
  CTreeItem* work;
  CTreeItem* lukasz;
};

TEST_F(ForeignVCardTree, shouldWriteContactsWithTheirGroupsAsCategoriesAndNoGroupCards) {
  int steps = 0;
  const Lines all = Written(root, steps);
  EXPECT_EQ(steps, 7);  // every record below the root, the two groups too
  const std::string uid1 = "UID:" + ForeignVCardUid(*friends->Child(0));
  const std::string uid2 = "UID:" + ForeignVCardUid(*lukasz);
  const std::string uid3 = "UID:" + ForeignVCardUid(*lukasz->Child(0));
  const std::string uid4 = "UID:" + ForeignVCardUid(*root.Child(1));
  const std::string uid5 = "UID:" + ForeignVCardUid(*root.Child(2));
  const Lines expected = {
      uid1,
      "FN:Jiří Dvořák",
      "CATEGORIES:Přátelé",
      uid2,
      "FN:Łukasz Wąsik",
      "CATEGORIES:Přátelé,Práce\\, staří",
      uid3,
      "FN:Anna Wąsik",
      "CATEGORIES:Přátelé,Práce\\, staří",
      uid4,
      "FN:Jürgen Größ",
      uid5,
      "FN:Jürgen Größ",
  };
  EXPECT_EQ(all, expected);
  // Every contact has its own UID, the two of the same label too.
  EXPECT_EQ(std::set<std::string>({uid1, uid2, uid3, uid4, uid5}).size(), 5u);
  EXPECT_EQ(uid1.rfind("UID:urn:uuid:", 0), 0u);
  EXPECT_EQ(uid1.size(), 4 + 9 + 36u);

  // A group alone: its contacts with the same categories, the groups above it included, and
  // the same UIDs as in the whole export.
  EXPECT_EQ(Written(*work, steps), Lines(expected.begin() + 3, expected.begin() + 9));
  EXPECT_EQ(steps, 3);
  // A contact alone: it and its subcontact.
  EXPECT_EQ(Written(*lukasz, steps), Lines(expected.begin() + 3, expected.begin() + 9));
  EXPECT_EQ(steps, 2);
  EXPECT_EQ(Written(*root.Child(2), steps), Lines(expected.begin() + 11, expected.end()));
}

TEST_F(ForeignVCardTree, shouldKeepUidsWhenDataChangesAndChangeThemWithThePlace) {
  const std::string before = ForeignVCardUid(*lukasz);
  lukasz->m_strPersonalEmail = "lukasz@wasik.pl";
  lukasz->m_dtBirthday.SetDate(1980, 1, 1);
  lukasz->m_bBirthday = 1;
  EXPECT_EQ(ForeignVCardUid(*lukasz), before);
  EXPECT_EQ(ForeignVCardUid(*lukasz), ForeignVCardUid(*lukasz));
  work->m_strLabel = "Práce";
  EXPECT_NE(ForeignVCardUid(*lukasz), before);
}

TEST_F(ForeignVCardTree, shouldStopAtTheFirstWriteThatFails) {
  class CFailAfter : public IOutput {
   public:
    bool Write(std::string_view) override { return ++m_nWrites < 2; }
    int m_nWrites = 0;
  } out;
  int steps = 0;
  CProgress progress(steps);
  EXPECT_FALSE(WriteForeignVCards(out, root, EVCardVersion::v40, &progress));
  EXPECT_EQ(out.m_nWrites, 2);
}

// A tree far larger than one batch of cards: groups in groups, repeated labels, subcontacts and
// photos. The whole export is the cards of its contacts one by one, in the tree's order.
TEST(ForeignVCardWriter, shouldWriteALargeTreeAsEachCardAlone) {
  CTreeItem root;
  int records = 0;
  auto add = [&](CTreeItem* parent, std::string label, bool group) {
    auto* r = new CTreeItem;
    r->m_strLabel = label;
    r->m_bGroup = group ? 1 : 0;
    r->m_nKind = kindContacts;
    CTreeItem::AddChild(parent, r);
    ++records;
    return r;
  };
  const char* names[] = {"Jiří Dvořák", "Łukasz Wąsik", "Jürgen Größ", "Νίκος Παπαδόπουλος",
                         "王小明"};
  for (int g = 0; g < 24; ++g) {
    CTreeItem* group = add(&root, g % 4 == 0 ? "Přátelé" : "Skupina " + std::to_string(g), true);
    CTreeItem* inner = g % 3 == 0 ? add(group, "Práce, staří", true) : group;
    for (int i = 0; i < 120; ++i) {
      CTreeItem* c = add(i % 2 ? inner : group, names[i % 5], false);
      c->m_strPersonalEmail = "kontakt" + std::to_string(i) + "@example.cz";
      if (i % 7 == 0) add(c, "Anna Wąsik", false);
      if (i % 41 == 0) {
        c->m_pExtras = std::make_unique<SRecordExtras>();
        c->m_pExtras->photoType = "image/jpeg";
        c->m_pExtras->photo = "\xFF\xD8\xFF" + std::string(200'000 + 997 * i, 'p');
      }
    }
  }
  std::string expected;
  std::function<void(const CTreeItem&)> cards = [&](const CTreeItem& r) {
    if (r.m_pParent && !r.m_bGroup) {
      std::vector<std::string> categories;
      for (const CTreeItem* n = r.m_pParent; n->m_pParent; n = n->m_pParent)
        if (n->m_bGroup) categories.insert(categories.begin(), n->m_strLabel.str());
      expected += ForeignVCard(r, EVCardVersion::v40, categories, ForeignVCardUid(r));
    }
    for (size_t i = 0; i < r.ChildCount(); ++i) cards(*r.Child(i));
  };
  cards(root);
  CStringOutput out;
  int steps = 0;
  CProgress progress(steps);
  ASSERT_TRUE(WriteForeignVCards(out, root, EVCardVersion::v40, &progress));
  // Compared as sizes and the first difference: gtest's diff of two such texts takes minutes.
  const std::string& got = out.Bytes();
  ASSERT_EQ(got.size(), expected.size());
  const auto differ = std::mismatch(got.begin(), got.end(), expected.begin());
  EXPECT_EQ(differ.first - got.begin(), static_cast<std::ptrdiff_t>(got.size()));
  EXPECT_EQ(steps, records);

  // A write that fails stops the export: nothing is written after it.
  for (int failing : {1, 600, 1200}) {
    class CFailAt : public IOutput {
     public:
      explicit CFailAt(int n) : m_nFailing(n) {}
      bool Write(std::string_view) override { return ++m_nWrites < m_nFailing; }
      int m_nFailing, m_nWrites = 0;
    } failingOut(failing);
    EXPECT_FALSE(WriteForeignVCards(failingOut, root, EVCardVersion::v40, nullptr));
    EXPECT_EQ(failingOut.m_nWrites, failing);
  }
}

class ExportForOther : public ::testing::Test {
 protected:
  struct CRecording : ITransferProgress {
    void SetRange(int lower, int upper) override { ranges.emplace_back(lower, upper); }
    void SetPosition(int position) override { positions.push_back(position); }
    std::vector<std::pair<int, int>> ranges;
    std::vector<int> positions;
  };

  ExportForOther() {
    for (const char* label : {"Božena Němcová", "Łucja Wąsowska", "Jürgen Größ"}) {
      auto* r = new CTreeItem;
      r->m_strLabel = label;
      CTreeItem::AddChild(&root, r);
    }
  }
  CTreeItem root;
  test::CTempDir dir;
};

TEST_F(ExportForOther, shouldWriteTheFileInUtf8WithProgressAndTheExportMessages) {
  const std::string path = dir / "kontakty.vcf";
  CRecording progress;
  STransferCallbacks callbacks;
  callbacks.pProgress = &progress;
  const STransferResult result =
      ExportForOtherPrograms(root, path, EVCardVersion::v40, callbacks, dir / "db.zvd");
  EXPECT_TRUE(result.Succeeded());
  EXPECT_EQ(result.nMessage, IDS_EXPORT_DONE);
  EXPECT_EQ(progress.ranges, (std::vector<std::pair<int, int>>{{1, 3}, {1, 100}}));
  EXPECT_EQ(progress.positions, (std::vector<int>{1, 2, 3, 100}));
  const std::string bytes = test::ReadFile(path);
  EXPECT_NE(bytes.find("\r\nFN:Łucja Wąsowska\r\n"), std::string::npos) << bytes;
  bool skipped = false;
  const std::vector<Lines> cards = ReadByVobject(bytes, skipped);
  if (!skipped) {
    EXPECT_EQ(cards.size(), 3u);
  }
}

TEST_F(ExportForOther, shouldRefuseTheDatabaseAndKeepTheOldFileWhenTheDiskIsFull) {
  const std::string database = dir / "db.zvd";
  test::WriteFile(database, "database");
  const std::string link = dir / "link.vcf";
  ASSERT_EQ(::symlink(database.c_str(), link.c_str()), 0);
  for (const std::string& target : {database, link}) {
    const STransferResult refused =
        ExportForOtherPrograms(root, target, EVCardVersion::v30, {}, database);
    EXPECT_EQ(refused.nMessage, IDS_EXPORT_OPEN_ERROR);
    EXPECT_EQ(refused.strReason, "it is the database being exported; choose another file");
  }
  EXPECT_EQ(test::ReadFile(database), "database");

  for (int i = 0; i < 3000; ++i) CTreeItem::AddChild(&root, new CTreeItem);
  const std::string path = dir / "old.vcf";
  test::WriteFile(path, "old");
  STransferResult result;
  {
    test::CFileSizeLimit full(64 * 1024);
    ASSERT_TRUE(full.IsSet());
    result = ExportForOtherPrograms(root, path, EVCardVersion::v30, {}, database);
  }
  EXPECT_FALSE(result.Succeeded());
  EXPECT_EQ(result.nMessage, IDS_EXPORT_ERROR);
  EXPECT_EQ(result.strReason, "File too large");
  EXPECT_EQ(test::ReadFile(path), "old");
  EXPECT_EQ(test::FileNamesIn(dir.Path()),
            (std::vector<std::string>{"db.zvd", "link.vcf", "old.vcf"}));
}

}  // namespace

TEST_F(ForeignVCardTree, shouldWriteAContactsOwnIdentityInsteadOfTheOneItsPlaceGives) {
  CTreeItem& jiri = *friends->Child(0);
  const std::string derived = ForeignVCardUid(jiri);
  jiri.m_pExtras = std::make_unique<SRecordExtras>();
  jiri.m_pExtras->uid = "νίκος-παπαδόπουλος@example.gr";
  jiri.m_pExtras->rev = "20261208T120000Z";
  EXPECT_EQ(ForeignVCardUid(jiri), "νίκος-παπαδόπουλος@example.gr");
  CStringOutput out;
  ASSERT_TRUE(WriteForeignVCards(out, *friends, EVCardVersion::v40, nullptr));
  const Lines lines = Unfolded(out.Bytes());
  const auto has = [&lines](const std::string& l) {
    return std::find(lines.begin(), lines.end(), l) != lines.end();
  };
  EXPECT_TRUE(has("UID:νίκος-παπαδόπουλος@example.gr"));
  EXPECT_TRUE(has("REV:20261208T120000Z"));
  EXPECT_FALSE(has("UID:" + derived));
  EXPECT_TRUE(has("UID:" + ForeignVCardUid(*lukasz))) << "the others keep the derived one";
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.rfind("REV:", 0) == 0; }),
            1);
}
