#include <gtest/gtest.h>

#include "store/DateParse.h"

using namespace zorvan;

namespace {

constexpr EDateOrder kDmy = EDateOrder::dayMonthYear;
constexpr EDateOrder kMdy = EDateOrder::monthDayYear;

// The day a text reads as ("y-m-d"), or "invalid" when it does not read.
std::string Read(std::string_view text, EDateOrder order = kDmy) {
  CDateTime dt(12345.5);
  if (!ParseDateValue(text, dt, order)) {
    EXPECT_EQ(dt, CDateTime(0.0, CDateTime::invalid)) << text;
    return "invalid";
  }
  SDateParts p;
  EXPECT_TRUE(dt.GetParts(p));
  EXPECT_EQ(p.nHour + p.nMinute + p.nSecond, 0) << text;  // the day only
  return std::to_string(p.nYear) + "-" + std::to_string(p.nMonth) + "-" + std::to_string(p.nDay);
}

}  // namespace

TEST(DateParse, shouldReadTheWritersFormsAndCommonRealForms) {
  const std::pair<const char*, const char*> cases[] = {
      {"1990-05-17s", "1990-5-17"},
      {"17.5.1990", "1990-5-17"},
      {"1990-05-17", "1990-5-17"},
      {"19800322", "1980-3-22"},
      {"1990-05-17T00:00:00Z", "1990-5-17"},
      {"1990-05-17T23:59:59+02:00", "1990-5-17"},
      {"19900517T120000Z", "1990-5-17"},
      {"  2000-02-29 ", "2000-2-29"},
      {"01.02.2000", "2000-2-1"},
      {"17. 5. 1990", "1990-5-17"},
      {"17.5.1990 10:30", "1990-5-17"},
      {"1.2.80", "1980-2-1"},
      {"1.2.29", "2029-2-1"},
      {"5.3.812", "812-3-5"},
      {"23-4-1975", "1975-4-23"},
      {"01-02-2000", "2000-2-1"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Read(text), expected) << text;
}

TEST(DateParse, shouldOrderSlashDatesByTheLocale) {
  EXPECT_EQ(Read("20/01/1991", kDmy), "1991-1-20");
  EXPECT_EQ(Read("01/20/1991", kMdy), "1991-1-20");
  EXPECT_EQ(Read("3/4/2005", kDmy), "2005-4-3");
  EXPECT_EQ(Read("3/4/2005", kMdy), "2005-3-4");
  EXPECT_EQ(Read("20/01/1991", kMdy), "invalid");
  // The locale's order applies to slashes only; dots are always day first.
  EXPECT_EQ(Read("3.4.2005", kMdy), "2005-4-3");
}

TEST(DateParse, shouldRefuseUnsetAndImpossibleDates) {
  for (const char* text :
       {"0.0.0",      "0.0.00",     "10.0.1990",  "31.4.2000", "29.2.2003",   "2003-02-29",
        "1990-13-01", "",           "   ",        "s",         "abc",         "1990",
        "1990-05",    "17.5.",      "17.5",       "17/5.1990", "1990-05-17x", "1990-05-17ss",
        "199005171",  "17.5.1990x", "0099-01-01", "--0517",    "1990-05-17T", "17.5.12345",
        "1.1.1990.1", "17-5.1990",  "17-5-",      "0-0-00"}) {
    EXPECT_EQ(Read(text), "invalid") << text;
  }
}
