#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "FakeHost.h"
#include "TestUtil.h"
#include "res/CodePage.h"
#include "store/CalendarResource.h"
#include "store/ZorvanDoc.h"

using namespace zorvan;
using namespace zorvan::test;

namespace {

SCalendarResource Parse(std::string_view text) {
  SCalendarResource r;
  ParseCalendarResource(text, r);
  return r;
}

std::string Entries(const SCalendarResource& r) {
  std::string s;
  for (const CCalName& n : r.names)
    s += std::to_string(n.m_nDay) + "/" + std::to_string(n.m_nMonth) + "=" + n.m_strName + "|";
  return s;
}

}  // namespace

TEST(CalendarResource, shouldReadTheExampleResource) {
  const auto r = Parse(
      "// names for the calendar\r\nCONTACTS=Contacts\r\nCALNAMES=Calendar\r\nBEGIN_CALNAMES\r\n"
      "1;1;New Year;\r\n2;1;Karina;\r\nEND_CALNAMES\r\n");
  EXPECT_EQ(Entries(r), "1/1=New Year|2/1=Karina|");
  EXPECT_TRUE(r.bContacts);
  EXPECT_EQ(r.strContacts, "Contacts");
  EXPECT_EQ(r.strCalNames, "Calendar");
  EXPECT_FALSE(r.bBirthdays);
}

TEST(CalendarResource, shouldTakeEntriesOnlyInsideBlocksAndInFileOrder) {
  EXPECT_EQ(Entries(Parse("1;1;Out;\nBEGIN_CALNAMES\n2;1;In;\nEND_CALNAMES\n3;1;Out;\n"
                          "BEGIN_CALNAMES\n4;1;Second;\n")),
            "2/1=In|4/1=Second|");
}

TEST(CalendarResource, shouldCutEntriesAtTheirFirstThreeSemicolons) {
  const auto r = Parse(
      "BEGIN_CALNAMES\n"
      ";1;Leading;\n"           // begins with its ";": ignored
      "5;;Nomonth;\n"           // empty month reads as 0
      "6;2;Two only\n"          // two ";" only: ignored
      "7;3;  Blanks  ;rest;\n"  // the name is trimmed, the rest ignored
      " 8x;+4z; N ;\n"          // atoi: leading blanks, digits up to the first other character
      "ab;cd;Letters;\n"        // no digits: 0
      "9;9;;\n"                 // an empty name is still an entry
      "END_CALNAMES\n");
  EXPECT_EQ(Entries(r), "5/0=Nomonth|7/3=Blanks|8/4=N|0/0=Letters|9/9=|");
}

TEST(CalendarResource, shouldApplyTheKeyRulesInTheirOrder) {
  const auto r = Parse(
      "x CALENDAR=Kal;ignored CONTACTS=Kon\n"  // both keys: the contacts rule comes first
      "BIRTHDAY= Narozeniny\n"                 // the blank after "=" stays
      "NAMEDAY=\n"                             // an empty value gives an empty label
      "ANNIVERSARY=One\nANNIVERSARY=Two\n"     // the later line wins
      "  // CALNAMES=Jmena\n"                  // not a comment: blanks before the "//"
      "//CALENDAR=Comment\n");
  EXPECT_EQ(r.strContacts, "Kon");
  EXPECT_FALSE(r.bCalendar);
  EXPECT_EQ(r.strBirthdays, " Narozeniny");
  EXPECT_TRUE(r.bNamedays);
  EXPECT_EQ(r.strNamedays, "");
  EXPECT_EQ(r.strAnniversaries, "Two");
  EXPECT_EQ(r.strCalNames, "Jmena");
}

TEST(CalendarResource, shouldTreatAKeyLineInsideTheBlockAsAKey) {
  const auto r = Parse("BEGIN_CALNAMES\n1;1;CONTACTS=X;\n2;1;Y;\nEND_CALNAMES\n");
  EXPECT_EQ(r.strContacts, "X");
  EXPECT_EQ(Entries(r), "2/1=Y|");
}

TEST(CalendarResource, shouldLoadIntoTheDocumentInTheFilesCodePage) {
  CTempDir dir;
  CFakeHost host;
  CZorvanDoc doc(host);
  WriteFile(dir / "cz.cal", "CONTACTS=Kontakty\r\nBEGIN_CALNAMES\r\n28;9;V\xE1\x63lav;\r\n");
  ASSERT_TRUE(doc.LoadCalendarResource(dir / "cz.cal"));
  EXPECT_EQ(doc.m_strContactsLabel, "Kontakty");
  EXPECT_EQ(doc.m_strCalendarLabel, "Calendar");  // labels it does not name stay
  ASSERT_EQ(doc.CalNameCount(), 1u);
  EXPECT_EQ((*doc.m_pCalNames)[0].m_strName, "Václav");
  WriteFile(dir / "empty.cal", "");
  ASSERT_TRUE(doc.LoadCalendarResource(dir / "empty.cal"));
  EXPECT_EQ(doc.CalNameCount(), 0u);
  const CStatus missing = doc.LoadCalendarResource(dir / "missing.cal");
  EXPECT_FALSE(missing);
  EXPECT_EQ(missing.File(), dir / "missing.cal");
  EXPECT_EQ(missing.Reason(), "No such file or directory");
  EXPECT_EQ(doc.m_pCalNames, nullptr);
}

TEST(CalendarResource, shouldEndTheListAtTheFirstDayZero) {
  CTempDir dir;
  CFakeHost host;
  CZorvanDoc doc(host);
  WriteFile(dir / "z.cal", "BEGIN_CALNAMES\n1;1;A;\n0;5;Stop;\n2;1;B;\n");
  ASSERT_TRUE(doc.LoadCalendarResource(dir / "z.cal"));
  EXPECT_EQ(doc.m_pCalNames->size(), 3u);
  EXPECT_EQ(doc.CalNameCount(), 1u);
}

TEST(CalendarResource, shouldShipResourcesWithAValidDayForEveryEntry) {
  for (const char* name :
       {"American.cal", "Czech.cal", "Slovak.cal", "Hungarian.cal", "Polish.cal"}) {
    const std::string path = ResolveCalendarPath(name);
    ASSERT_NE(path, name);
    const auto r = Parse(AnsiToUtf8(ReadFile(path)));
    ASSERT_GT(r.names.size(), 10u) << name;
    EXPECT_TRUE(r.bContacts && r.bCalendar && r.bBirthdays && r.bNamedays && r.bAnniversaries &&
                r.bCalNames)
        << name;
    for (const CCalName& n : r.names) {
      EXPECT_GE(n.m_nMonth, 1) << name;
      EXPECT_LE(n.m_nMonth, 12) << name;
      EXPECT_GE(n.m_nDay, 1) << name;
      EXPECT_LE(n.m_nDay, DaysInMonth(2000, n.m_nMonth)) << name << " " << n.m_strName;
      EXPECT_FALSE(n.m_strName.empty()) << name;
    }
  }
  const auto czech = Parse(AnsiToUtf8(ReadFile(ResolveCalendarPath("Czech.cal"))));
  EXPECT_EQ(czech.strCalendar, "Kalendář");
  EXPECT_EQ(czech.names[59].m_strName, "Horymír");  // 29 February
}

TEST(CalendarResource, shouldNeverFailOnRandomContent) {
  std::mt19937 rng(7);
  const std::string alphabet = "0123456789;;;;=\r\n\n /BEGIN_CALNAMES END_CALNAMES CONTACTS=\xFF";
  for (int round = 0; round < 2000; ++round) {
    std::string text(rng() % 300, ' ');
    for (char& c : text) c = alphabet[rng() % alphabet.size()];
    const auto r = Parse(text);
    EXPECT_LE(r.names.size(), text.size());
  }
}

TEST(CalendarResource, shouldPreferTheResourcesMovedWithTheProgramThenTheSourceTree) {
  CTempDir dir;
  const std::string program = dir / "zorvan-2.1/bin";
  std::filesystem::create_directories(program);
  const std::vector<std::string> folders = CalendarFolders(program);
  ASSERT_GE(folders.size(), 2u);
  EXPECT_EQ(folders.front(), dir / "zorvan-2.1/share/zorvan/calendars");
  // Without resources beside the program the build tree's own are used: the folder the open
  // dialog starts in holds the shipped files.
  const std::string fallback = InstalledCalendarFolder(program);
  EXPECT_NE(fallback, folders.front());
  EXPECT_TRUE(std::filesystem::exists(fallback + "/Czech.cal")) << fallback;
  // The installed folder is the last resort of a program that is not the installed one.
  EXPECT_EQ(folders.back().substr(folders.back().rfind("/share/")), "/share/zorvan/calendars");

  std::filesystem::create_directories(folders.front());
  EXPECT_EQ(InstalledCalendarFolder(program), folders.front());
}

TEST(CalendarResource, shouldRefuseAResourceOfMoreNamesThanTheMost) {
  CTempDir dir;
  CFakeHost host;
  CZorvanDoc doc(host);
  for (const size_t names : {kMaxCalendarNames, kMaxCalendarNames + 1}) {
    std::string text = "BEGIN_CALNAMES\r\n";
    for (size_t i = 0; i < names; ++i) text += "28;9;V\xE1\x63lav " + std::to_string(i) + ";\r\n";
    WriteFile(dir / "velký.cal", text);
    const CStatus loaded = doc.LoadCalendarResource(dir / "velký.cal");
    if (names <= kMaxCalendarNames) {
      EXPECT_TRUE(loaded) << loaded.Reason();
      EXPECT_EQ(doc.CalNameCount(), names);
    } else {
      EXPECT_FALSE(loaded);
      EXPECT_EQ(loaded.Reason(), "it holds more than 20000 calendar names");
      EXPECT_EQ(doc.m_pCalNames, nullptr);
    }
  }
}
