// The Export Calendar command's file: its events, their recurrence and their UIDs, read back by
// an independent iCalendar parser.
#include <gtest/gtest.h>
#include <libical/ical.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <sstream>

#include "FakeHost.h"
#include "InterchangeTestSupport.h"
#include "TestUtil.h"
#include "interchange/CalendarExport.h"
#include "store/RecordExtras.h"
#include "store/ZorvanDoc.h"

using namespace zorvan;
using zorvan::test::CTempDir;
using zorvan::test::ReadFile;

namespace {

constexpr std::time_t kStamp = 1796000000;  // 2026-11-29, UTC

struct SDates {
  int birthday[3] = {0, 0, 0};
  int anniversary[3] = {0, 0, 0};
  int nameday[3] = {0, 0, 0};
  const char* anniversaryText = "";
};

class CalendarExport : public ::testing::Test {
 protected:
  CalendarExport() : doc(host) {
    host.settings["Settings/Resource"] = dir / "none.cal";
    doc.OnNewDocument();
  }

  CTreeItem* Add(CTreeItem* parent, const std::string& label, const SDates& dates = {}) {
    auto* r = new CTreeItem;
    r->m_strLabel = label;
    r->m_bBirthday = Set(r->m_dtBirthday, dates.birthday);
    r->m_bAnniversary = Set(r->m_dtAnniversary, dates.anniversary);
    r->m_bNameDay = Set(r->m_dtNameDay, dates.nameday);
    r->m_strAnniversaryText = dates.anniversaryText;
    CTreeItem::AddChild(parent, r);
    return r;
  }
  CTreeItem* Group(const std::string& label) {
    CTreeItem* g = Add(doc.ContactsRoot(), label);
    g->m_bGroup = 1;
    return g;
  }

  std::string Text(bool calNames = false, std::time_t stamp = kStamp) {
    std::string text;
    const STransferResult result =
        WriteCalendar(doc, {calNames, stamp}, [&text](std::string_view bytes) {
          text.append(bytes);
          return true;
        });
    EXPECT_TRUE(result.Succeeded()) << result.strReason;
    return text;
  }

  // The events as the independent parser reads them, a line each: UID, summary, description,
  // start, rule and the days of 2027 and 2028 the rule gives. Empty with skipped set when the
  // parser is not installed.
  std::vector<std::string> Parsed(const std::string& ics, bool& skipped) {
    const std::string path = dir / "out.ics";
    test::WriteFile(path, ics);
    const std::string command =
        std::string(ZORVAN_SYSTEM_PYTHON) + " " + ZORVAN_READ_ICS + " " + path + " 2>&1";
    std::vector<std::string> lines;
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    const int status = ::pclose(pipe);
    skipped = WIFEXITED(status) && WEXITSTATUS(status) == 77;
    if (skipped) return lines;
    EXPECT_EQ(status, 0) << out;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // The events as libical's parser reads them back, a line each: UID, summary, description,
  // start, end and rule, the texts unescaped and the dates as the file has them.
  static std::vector<std::string> LibicalEvents(const std::string& ics) {
    std::vector<std::string> events;
    icalcomponent* calendar = icalparser_parse_string(ics.c_str());
    if (!calendar) return events;
    auto value = [](icalcomponent* c, icalproperty_kind kind) {
      icalproperty* p = icalcomponent_get_first_property(c, kind);
      const char* text = p ? icalproperty_get_value_as_string(p) : nullptr;
      return std::string(text ? text : "");
    };
    for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
      const char* description = icalcomponent_get_description(e);
      events.push_back(std::string(icalcomponent_get_uid(e)) + '\t' + icalcomponent_get_summary(e) +
                       '\t' + (description ? description : "") + '\t' +
                       value(e, ICAL_DTSTART_PROPERTY) + '\t' + value(e, ICAL_DTEND_PROPERTY) +
                       '\t' + value(e, ICAL_RRULE_PROPERTY));
    }
    icalcomponent_free(calendar);
    return events;
  }

  static int Set(CDateTime& date, const int (&ymd)[3]) {
    if (ymd[0] == 0) return 0;
    date.SetDate(ymd[0], ymd[1], ymd[2]);
    return 1;
  }

  static std::vector<std::string> Uids(const std::string& ics) {
    std::vector<std::string> uids;
    std::istringstream in(ics);
    for (std::string line; std::getline(in, line);)
      if (line.rfind("UID:", 0) == 0) uids.push_back(line.substr(4, line.size() - 5));
    return uids;
  }

  CTempDir dir;
  test::CFakeHost host;
  CZorvanDoc doc;
};

TEST_F(CalendarExport, shouldWriteAYearlyAllDayEventForEverySetDate) {
  CTreeItem* friends = Group("Přátelé");
  SDates jiri;
  jiri.birthday[0] = 1984, jiri.birthday[1] = 2, jiri.birthday[2] = 29;
  jiri.anniversary[0] = 2010, jiri.anniversary[1] = 6, jiri.anniversary[2] = 12;
  jiri.anniversaryText = "Svatba";
  jiri.nameday[0] = 2000, jiri.nameday[1] = 4, jiri.nameday[2] = 24;
  Add(friends, "Jiří Dvořák", jiri);
  SDates lucja;
  lucja.birthday[0] = 1990, lucja.birthday[1] = 3, lucja.birthday[2] = 15;
  Add(doc.ContactsRoot(), "Łucja Wąsowska", lucja);
  // A date whose flag is cleared is no event, whatever the date holds.
  CTreeItem* unset = Add(doc.ContactsRoot(), "Ödön Nagy");
  unset->m_dtBirthday.SetDate(1970, 1, 1);

  bool skipped = false;
  const std::string ics = Text();
  const std::vector<std::string> events = Parsed(ics, skipped);
  if (skipped) GTEST_SKIP() << "python3-icalendar is not installed: the file is not read back";
  const std::vector<std::string> uids = Uids(ics);
  ASSERT_EQ(uids.size(), 4u) << ics;
  const std::vector<std::string> expected = {
      // 29 February falls on the last day of February: the 28th in 2027, the 29th in 2028.
      uids[0] +
          "\tBirthday: Jiří Dvořák\tBorn 1984\t1984-02-29\tFREQ=YEARLY;BYMONTHDAY=-1;BYMONTH=2\t"
          "2027-02-28 2028-02-29",
      uids[1] +
          "\tAnniversary: Jiří Dvořák (Svatba)\tSvatba, since 2010\t2010-06-12\tFREQ=YEARLY\t"
          "2027-06-12 2028-06-12",
      uids[2] + "\tName day: Jiří Dvořák\tNameday\t2000-04-24\tFREQ=YEARLY\t2027-04-24 2028-04-24",
      uids[3] +
          "\tBirthday: Łucja Wąsowska\tBorn 1990\t1990-03-15\tFREQ=YEARLY\t2027-03-15 2028-03-15",
  };
  EXPECT_EQ(events, expected);
}

TEST_F(CalendarExport, shouldKeepUidsAcrossExportsAndNeverRepeatThem) {
  SDates dates;
  dates.birthday[0] = 1975, dates.birthday[1] = 11, dates.birthday[2] = 2;
  dates.anniversary[0] = 2000, dates.anniversary[1] = 1, dates.anniversary[2] = 1;
  dates.nameday[0] = 2000, dates.nameday[1] = 5, dates.nameday[2] = 5;
  Add(Group("Rodina"), "Jiří Dvořák", dates);
  Add(Group("Práce"), "Jiří Dvořák", dates);  // the same label in another group
  Add(doc.ContactsRoot(), "Jiří Dvořák", dates);
  Add(doc.ContactsRoot(), "Jiří Dvořák", dates);  // and twice on one level

  const std::vector<std::string> first = Uids(Text(false, kStamp));
  const std::vector<std::string> second = Uids(Text(false, kStamp + 86400 * 30));
  ASSERT_EQ(first.size(), 12u);
  EXPECT_EQ(first, second);
  EXPECT_EQ(std::set<std::string>(first.begin(), first.end()).size(), first.size());

  // A new date for the same contact keeps its event: the calendar moves it.
  doc.ContactsRoot()->Child(0)->Child(0)->m_dtBirthday.SetDate(1976, 1, 3);
  EXPECT_EQ(Uids(Text()), first);
}

TEST_F(CalendarExport, shouldAddTheCalendarNamesOnlyWhenAsked) {
  doc.m_pCalNames = std::make_unique<std::vector<CCalName>>(std::vector<CCalName>{
      {1, 1, "Nový rok"}, {29, 2, "Horymír"}, {24, 4, "Jiří"}, {0, 0, "after the end"}});
  EXPECT_TRUE(Uids(Text(false)).empty());
  const std::string ics = Text(true);
  EXPECT_EQ(Uids(ics).size(), 3u) << ics;
  EXPECT_EQ(ics.find("after the end"), std::string::npos);
  EXPECT_NE(ics.find("DTSTART;VALUE=DATE:20000229\r\nDTEND;VALUE=DATE:20000301\r\n"
                     "RRULE:FREQ=YEARLY;BYMONTHDAY=-1;BYMONTH=2\r\nSUMMARY:Horymír\r\n"),
            std::string::npos)
      << ics;
  // An entry may be a holiday as well as a name day: it is described by the resource's label
  // for its entries, never as a name day.
  EXPECT_EQ(ics.find("Name day"), std::string::npos) << ics;
  doc.m_strCalNamesLabel = "Jmeniny v kalendáři";
  EXPECT_NE(Text(true).find("SUMMARY:Horymír\r\nDESCRIPTION:Jmeniny v kalendáři\r\n"),
            std::string::npos);
}

TEST_F(CalendarExport, shouldNameTheCalendarAfterTheDatabaseFile) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "Zorvan"},
      {"/home/jiri/Přátelé, rodina.zvd", "Přátelé\\, rodina"},
      {"/home/jiri/kontakty", "kontakty"},
      {"/home/jiri/Rodina; 2026\\staré.zvd", "Rodina\\; 2026\\\\staré"},
      {"/home/jiri/staré.kontakty.zvd", "staré.kontakty"},
      {"/home/jiri/.zvd", ".zvd"},
  };
  for (const auto& [path, name] : cases) {
    doc.SetPathName(path);
    EXPECT_NE(Text().find("\r\nX-WR-CALNAME:" + name + "\r\n"), std::string::npos) << path;
  }
}

TEST_F(CalendarExport, shouldFoldLongLinesBetweenCharacters) {
  std::string label;
  for (int i = 0; i < 12; ++i) label += "Łucja Wąsowska ";
  SDates dates;
  dates.birthday[0] = 1990, dates.birthday[1] = 3, dates.birthday[2] = 15;
  Add(doc.ContactsRoot(), label, dates);
  const std::string ics = Text();
  EXPECT_EQ(ics.rfind("BEGIN:VCALENDAR\r\n", 0), 0u);
  EXPECT_EQ(ics.substr(ics.size() - 15), "END:VCALENDAR\r\n");
  std::istringstream in(ics);
  for (std::string line; std::getline(in, line);) {
    EXPECT_LE(line.size(), 76u) << line;  // 75 octets and the CR
    // A folded line never starts in the middle of a UTF-8 character.
    const size_t first = line.rfind(' ', 0) == 0 ? 1 : 0;
    if (line.size() > first) {
      EXPECT_NE(static_cast<unsigned char>(line[first]) & 0xC0, 0x80) << line;
    }
  }
  bool skipped = false;
  const std::vector<std::string> events = Parsed(ics, skipped);
  if (skipped) GTEST_SKIP() << "python3-icalendar is not installed: the file is not read back";
  ASSERT_EQ(events.size(), 1u);
  EXPECT_NE(events[0].find("\tBirthday: " + label + "\t"), std::string::npos) << events[0];
}

TEST_F(CalendarExport, shouldLeaveTheTargetAloneWhenWritingFails) {
  SDates dates;
  dates.birthday[0] = 1990, dates.birthday[1] = 3, dates.birthday[2] = 15;
  Add(doc.ContactsRoot(), "Jiří Dvořák", dates);
  Add(doc.ContactsRoot(), "Łucja Wąsowska", dates);

  size_t pieces = 0;
  const STransferResult stopped =
      WriteCalendar(doc, {false, kStamp}, [&pieces](std::string_view) { return ++pieces < 2; });
  EXPECT_FALSE(stopped.Succeeded());
  EXPECT_EQ(pieces, 2u);  // nothing more was asked of the sink after it failed

  const STransferResult missing =
      ExportCalendar(doc, dir / "no-such-folder/out.ics", {false, kStamp});
  EXPECT_FALSE(missing.Succeeded());
  EXPECT_FALSE(missing.strReason.empty());

  const std::string path = dir / "out.ics";
  test::WriteFile(path, "old");
  const STransferResult written = ExportCalendar(doc, path, {false, kStamp});
  ASSERT_TRUE(written.Succeeded()) << written.strReason;
  EXPECT_EQ(written.nCount, 2u);
  EXPECT_EQ(ReadFile(path), Text());
}

}  // namespace

// What an iCalendar file cannot hold never reaches it: dates after the year 3000 (the last that
// calendar programs take) are left out and counted, control characters of a label are dropped
// (a NUL no longer cuts the summary), and a lone CR is a line break like CR LF.
TEST_F(CalendarExport, shouldLeaveOutWhatACalendarFileCannotHold) {
  const struct {
    const char* label;
    int ymd[3];
  } dates[] = {
      {"Daleká budoucnost", {9999, 6, 15}},
      {"Silvestr 3000", {3000, 12, 31}},  // its event would end in 3001
      {"Předposlední den", {3000, 12, 30}},
      {"Starověk", {100, 1, 1}},
  };
  for (const auto& d : dates) {
    SDates s;
    std::copy(std::begin(d.ymd), std::end(d.ymd), s.birthday);
    Add(doc.ContactsRoot(), d.label, s);
  }
  SDates lucja;
  lucja.birthday[0] = 1990, lucja.birthday[1] = 3, lucja.birthday[2] = 15;
  Add(doc.ContactsRoot(), "Jan\rNovák", lucja);
  Add(doc.ContactsRoot(), std::string("Zlý\0Dvořák\x1B[2J\x07\x7F\x0B", 19) + "\t!", lucja);

  std::string ics;
  const STransferResult result = WriteCalendar(doc, {false, kStamp}, [&](std::string_view b) {
    ics.append(b);
    return true;
  });
  ASSERT_TRUE(result.Succeeded()) << result.strReason;
  EXPECT_EQ(result.nCount, 4u);
  EXPECT_EQ(result.nLeftOut, 2u);
  EXPECT_EQ(TransferNoteText(result),
            "2 events were left out: their dates lie after the year 3000, beyond what calendar "
            "programs take.");
  EXPECT_EQ(ics.find("00000000"), std::string::npos) << ics;
  EXPECT_NE(ics.find("SUMMARY:Birthday: Jan\\nNovák\r\n"), std::string::npos) << ics;
  EXPECT_NE(ics.find("SUMMARY:Birthday: ZlýDvořák[2J\t!\r\n"), std::string::npos) << ics;
  for (const char c : ics) {
    const auto byte = static_cast<unsigned char>(c);
    EXPECT_TRUE((byte >= 0x20 && byte != 0x7F) || c == '\r' || c == '\n' || c == '\t') << +byte;
  }
  bool skipped = false;
  const std::vector<std::string> events = Parsed(ics, skipped);
  if (skipped) GTEST_SKIP() << "python3-icalendar is not installed: the file is not read back";
  ASSERT_EQ(events.size(), 5u);  // four events; the summary "Jan\nNovák" takes two lines
  EXPECT_NE(events[0].find("\t3000-12-30\t"), std::string::npos) << events[0];
  EXPECT_NE(events[1].find("\t0100-01-01\t"), std::string::npos) << events[1];
}

// Days kept from other programs' cards without a year are events that start in 2000, the dated
// ones' UIDs, no year in the description; a date the record holds itself wins. The whole file is
// compared byte for byte with the reference file (ZORVAN_WRITE_REFERENCE=1 writes it anew), so a
// change to what calendar programs get is seen in its diff.
TEST_F(CalendarExport, shouldWriteDaysWithoutAYearAndTheReferenceFileByteForByte) {
  auto keep = [](CTreeItem* r, std::vector<std::string> lines) {
    r->m_pExtras = std::make_unique<SRecordExtras>();
    r->m_pExtras->properties = std::move(lines);
  };
  CTreeItem* family = Group("Rodina; Kraków");
  SDates jiri;
  jiri.birthday[0] = 1984, jiri.birthday[1] = 2, jiri.birthday[2] = 29;
  jiri.anniversary[0] = 2010, jiri.anniversary[1] = 6, jiri.anniversary[2] = 12;
  jiri.anniversaryText = "Svatba, v kostele";
  jiri.nameday[0] = 2000, jiri.nameday[1] = 4, jiri.nameday[2] = 24;
  Add(family, "Jiří Dvořák", jiri);
  keep(Add(family, "Νίκος Παπαδόπουλος"), {"TEL:+30 210 1234567", "BDAY:--0415"});
  SDates wang;
  wang.anniversaryText = "婚礼";
  keep(Add(doc.ContactsRoot(), "王小明", wang),
       {"item1.X-ABDATE:--0923", "item1.X-ABLabel:_$!<Anniversary>!$_",
        "BDAY;X-APPLE-OMIT-YEAR=1604:1604-02-29"});
  SDates jurgen;
  jurgen.birthday[0] = 1960, jurgen.birthday[1] = 1, jurgen.birthday[2] = 1;
  keep(Add(doc.ContactsRoot(), "Jürgen Groß", jurgen), {"BDAY:--0517"});

  const std::string ics = Text();
  const std::string path = zorvan::testing::TestDataPath("reference/calendar.ics");
  if (std::getenv("ZORVAN_WRITE_REFERENCE")) test::WriteFile(path, ics);
  const std::string reference = zorvan::testing::ReadBytes(path);
  ASSERT_FALSE(reference.empty()) << path;
  EXPECT_EQ(ics, reference);

  bool skipped = false;
  const std::vector<std::string> events = Parsed(ics, skipped);
  if (skipped) GTEST_SKIP() << "python3-icalendar is not installed: the file is not read back";
  const std::vector<std::string> uids = Uids(ics);
  ASSERT_EQ(uids.size(), 7u) << ics;
  EXPECT_EQ(events[3], uids[3] +
                           "\tBirthday: Νίκος Παπαδόπουλος\t\t2000-04-15\tFREQ=YEARLY\t"
                           "2027-04-15 2028-04-15");
  EXPECT_EQ(events[4], uids[4] +
                           "\tBirthday: 王小明\t\t2000-02-29\tFREQ=YEARLY;BYMONTHDAY=-1;BYMONTH=2\t"
                           "2027-02-28 2028-02-29");
  EXPECT_EQ(events[5], uids[5] +
                           "\tAnniversary: 王小明 (婚礼)\t婚礼\t2000-09-23\tFREQ=YEARLY\t"
                           "2027-09-23 2028-09-23");
  EXPECT_EQ(events[6], uids[6] +
                           "\tBirthday: Jürgen Groß\tBorn 1960\t1960-01-01\tFREQ=YEARLY\t"
                           "2027-01-01 2028-01-01");
}

// The writer folds its own lines: at 75 octets, never inside a character of two, three or four
// bytes, whatever the width of the text before the fold. Labels of every length around the
// folds in Czech, Greek, Chinese and emoji come back from libical's parser as they were.
TEST_F(CalendarExport, shouldFoldEveryWidthAtCharacterBoundariesAndReadBackWhole) {
  std::vector<std::string> labels;
  for (const char* piece : {"ř", "Ω", "王", "😀", "Jiří Dvořák; ", "Νίκος, "})
    for (size_t width = 50; width < 170; width += 1) {
      std::string label;
      while (label.size() < width) label += piece;
      labels.push_back(label + '!');  // libical's parser drops a value's trailing blank
    }
  SDates dates;
  dates.birthday[0] = 1990, dates.birthday[1] = 3, dates.birthday[2] = 15;
  for (const std::string& label : labels) Add(doc.ContactsRoot(), label, dates);

  const std::string ics = Text();
  size_t continued = 0;
  for (size_t start = 0; start < ics.size();) {
    const size_t end = ics.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    const std::string_view line(ics.data() + start, end - start);
    EXPECT_LE(line.size(), 75u) << line;
    if (line.starts_with(' ')) {
      ++continued;
      ASSERT_GT(line.size(), 1u);
      EXPECT_NE(static_cast<unsigned char>(line[1]) & 0xC0, 0x80) << line;
    }
    start = end + 2;
  }
  EXPECT_GT(continued, labels.size());
  const std::vector<std::string> events = LibicalEvents(ics);
  ASSERT_EQ(events.size(), labels.size());
  for (size_t i = 0; i < labels.size(); ++i)
    EXPECT_EQ(events[i].substr(events[i].find('\t')),
              "\tBirthday: " + labels[i] + "\tBorn 1990\t19900315\t19900316\tFREQ=YEARLY")
        << i;
}

// Each character that TEXT escapes, line breaks of every kind, the control characters a
// calendar cannot hold, and bytes that are no UTF-8: as the file has them and as libical and
// python3-icalendar read them back.
TEST_F(CalendarExport, shouldEscapeEveryCharacterThatTextEscapes) {
  const struct {
    std::string label;
    const char* line;  // the SUMMARY line the file holds
    const char* read;  // the summary read back
  } cases[] = {
      {"Dvořák\\Novák", "Birthday: Dvořák\\\\Novák", "Birthday: Dvořák\\Novák"},
      {"Kraków; Gdańsk", "Birthday: Kraków\\; Gdańsk", "Birthday: Kraków; Gdańsk"},
      {"Groß, Jürgen", "Birthday: Groß\\, Jürgen", "Birthday: Groß, Jürgen"},
      {"a\nb\r\nc\rd", "Birthday: a\\nb\\nc\\nd", "Birthday: a\nb\nc\nd"},
      {"\\;,\\n", "Birthday: \\\\\\;\\,\\\\n", "Birthday: \\;,\\n"},
      {"Tab\there: colon", "Birthday: Tab\there: colon", "Birthday: Tab\there: colon"},
      {std::string("Zlý\x01\x1f\x7f"
                   "Pes",
                   10),
       "Birthday: ZlýPes", "Birthday: ZlýPes"},
      {"bad \xC3 \xE4\xB8 \xFF end",
       "Birthday: bad \xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD "
       "\xEF\xBF\xBD end",
       "Birthday: bad \xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD end"},
  };
  SDates dates;
  dates.birthday[0] = 1990, dates.birthday[1] = 3, dates.birthday[2] = 15;
  for (const auto& c : cases) Add(doc.ContactsRoot(), c.label, dates);
  const std::string ics = Text();
  const std::vector<std::string> events = LibicalEvents(ics);
  ASSERT_EQ(events.size(), std::size(cases)) << ics;
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_NE(ics.find(std::string("\r\nSUMMARY:") + cases[i].line + "\r\n"), std::string::npos)
        << cases[i].line << "\n"
        << ics;
    const std::string& event = events[i];
    EXPECT_EQ(event.substr(event.find('\t') + 1, std::strlen(cases[i].read) + 1),
              cases[i].read + std::string("\t"));
  }
}

// The end of an all-day event is the next day of the Gregorian calendar, at the end of a month,
// of February and of a year; 29 February repeats on the last day of February; the last event
// a file takes ends in the year 3000. DTSTAMP is the moment of the export in UTC.
TEST_F(CalendarExport, shouldEndEveryEventOnTheNextGregorianDay) {
  const struct {
    int ymd[3];
    const char* times;  // DTSTART, DTEND and RRULE as libical reads them; empty: left out
  } cases[] = {
      {{1984, 2, 29}, "19840229\t19840301\tFREQ=YEARLY;BYMONTHDAY=-1;BYMONTH=2"},
      {{2000, 2, 28}, "20000228\t20000229\tFREQ=YEARLY"},
      {{1900, 2, 28}, "19000228\t19000301\tFREQ=YEARLY"},
      {{1700, 2, 28}, "17000228\t17000301\tFREQ=YEARLY"},
      {{100, 2, 28}, "01000228\t01000301\tFREQ=YEARLY"},
      {{1600, 2, 29}, "16000229\t16000301\tFREQ=YEARLY;BYMONTHDAY=-1;BYMONTH=2"},
      {{1999, 12, 31}, "19991231\t20000101\tFREQ=YEARLY"},
      {{2026, 4, 30}, "20260430\t20260501\tFREQ=YEARLY"},
      {{100, 1, 1}, "01000101\t01000102\tFREQ=YEARLY"},
      {{3000, 12, 30}, "30001230\t30001231\tFREQ=YEARLY"},
      {{3000, 12, 31}, ""},
      {{2999, 12, 31}, "29991231\t30000101\tFREQ=YEARLY"},
      {{9999, 12, 31}, ""},
  };
  size_t written = 0;
  for (const auto& c : cases) {
    SDates dates;
    std::copy(std::begin(c.ymd), std::end(c.ymd), dates.birthday);
    Add(doc.ContactsRoot(), "Łucja Wąsowska", dates);
    written += *c.times ? 1 : 0;
  }
  const std::vector<std::string> events = LibicalEvents(Text());
  ASSERT_EQ(events.size(), written);
  size_t e = 0;
  for (const auto& c : cases) {
    if (!*c.times) continue;
    const std::string& event = events[e++];
    EXPECT_EQ(event.substr(event.find("\t", event.find("\t", event.find('\t') + 1) + 1) + 1),
              c.times);
  }

  const std::pair<std::time_t, const char*> stamps[] = {
      {kStamp, "DTSTAMP:20261130T005320Z\r\n"},
      {0, "DTSTAMP:19700101T000000Z\r\n"},
      {951868799, "DTSTAMP:20000229T235959Z\r\n"},
      {4102444800, "DTSTAMP:21000101T000000Z\r\n"},
  };
  for (const auto& [stamp, line] : stamps)
    EXPECT_NE(Text(false, stamp).find(line), std::string::npos) << line;
}
