// The days without a year that the calendar finds among the lines kept from other programs' cards.
#include <gtest/gtest.h>

#include "store/KeptDates.h"

using namespace zorvan;

namespace {

struct SCase {
  const char* what;
  std::vector<std::string> lines;
  EKeptDate kind;
  int month, day;  // 0, 0: none
};

const SCase kCases[] = {
    {"3.0 basic form", {"BDAY:--0415"}, EKeptDate::birthday, 4, 15},
    {"extended form with a value type", {"BDAY;VALUE=date:--04-15"}, EKeptDate::birthday, 4, 15},
    {"with a time", {"BDAY:--0415T0930"}, EKeptDate::birthday, 4, 15},
    {"29 February has a day", {"BDAY:--0229"}, EKeptDate::birthday, 2, 29},
    {"Apple's omitted year", {"BDAY;X-APPLE-OMIT-YEAR=1604:1604-09-03"}, EKeptDate::birthday, 9, 3},
    {"Apple's year, basic form",
     {"BDAY;x-apple-omit-year=1604;VALUE=date:16040903"},
     EKeptDate::birthday,
     9,
     3},
    {"a real year is no day without one",
     {"BDAY;X-APPLE-OMIT-YEAR=1604:1980-09-03"},
     EKeptDate::birthday,
     0,
     0},
    {"the first that is one", {"BDAY:1980-01-01", "BDAY:--1224"}, EKeptDate::birthday, 12, 24},
    {"31 April is no day", {"BDAY:--0431"}, EKeptDate::birthday, 0, 0},
    {"month 13", {"BDAY:--1301"}, EKeptDate::birthday, 0, 0},
    {"4.0's day alone", {"BDAY:---15"}, EKeptDate::birthday, 0, 0},
    {"junk after the day", {"BDAY:--0415xyz"}, EKeptDate::birthday, 0, 0},
    {"a birthday is no anniversary", {"BDAY:--0415"}, EKeptDate::anniversary, 0, 0},
    {"4.0 anniversary", {"ANNIVERSARY:--0923"}, EKeptDate::anniversary, 9, 23},
    {"a vendor's anniversary", {"X-EVOLUTION-ANNIVERSARY:--09-23"}, EKeptDate::anniversary, 9, 23},
    {"grouped, by its label",
     {"item2.X-ABDATE;type=pref:--0923", "item2.X-ABLabel:_$!<Anniversary>!$_"},
     EKeptDate::anniversary,
     9,
     23},
    {"another group's label",
     {"item2.X-ABDATE:--0923", "item3.X-ABLabel:_$!<Anniversary>!$_"},
     EKeptDate::anniversary,
     0,
     0},
    {"a date of another label",
     {"item1.X-ABDATE:--0923", "item1.X-ABLabel:Křest"},
     EKeptDate::anniversary,
     0,
     0},
    {"a colon in a quoted parameter", {"BDAY;X-NOTE=\"a:b\":--0101"}, EKeptDate::birthday, 1, 1},
    {"no colon at all", {"BDAY--0101"}, EKeptDate::birthday, 0, 0},
    {"a note that mentions it", {"NOTE:BDAY:--0101"}, EKeptDate::birthday, 0, 0},
};

TEST(KeptDates, shouldFindTheDayWithoutAYearOfEachKind) {
  for (const SCase& c : kCases) {
    SCOPED_TRACE(c.what);
    SRecordExtras extras;
    extras.properties = c.lines;
    const SMonthDay d = KeptYearlessDate(extras, c.kind);
    EXPECT_EQ(d.month, c.month);
    EXPECT_EQ(d.day, c.day);
  }
}

}  // namespace
