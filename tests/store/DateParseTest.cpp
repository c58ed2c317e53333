#include <gtest/gtest.h>

#include "store/DateParse.h"

using namespace zorvan;

namespace {

// The date a text reads as, "invalid" when it does not read.
std::string Read(std::string_view text, EDateOrder order = EDateOrder::dayMonthYear) {
  CDateTime dt(12345.5);
  if (!ParseDateValue(text, dt, order)) {
    EXPECT_EQ(dt.m_status, CDateTime::invalid) << text;
    EXPECT_EQ(dt.m_dt, 0.0) << text;
    return "invalid";
  }
  SDateParts p;
  EXPECT_TRUE(dt.GetParts(p));
  // Only the day: any time of day is dropped.
  EXPECT_EQ(dt.m_dt, static_cast<double>(static_cast<long>(dt.m_dt))) << text;
  return std::to_string(p.nYear) + "-" + std::to_string(p.nMonth) + "-" + std::to_string(p.nDay);
}

}  // namespace

TEST(DateParse, shouldReadTheWritersOwnForms) {
  EXPECT_EQ(Read("1990-05-17s"), "1990-5-17");
  EXPECT_EQ(Read("17.5.1990"), "1990-5-17");
  EXPECT_EQ(Read("5.3.2001"), "2001-3-5");
}

TEST(DateParse, shouldReadIsoForms) {
  EXPECT_EQ(Read("1990-05-17"), "1990-5-17");
  EXPECT_EQ(Read("19800322"), "1980-3-22");
  EXPECT_EQ(Read("1990-05-17T00:00:00Z"), "1990-5-17");
  EXPECT_EQ(Read("1990-05-17T23:59:59+02:00"), "1990-5-17");
  EXPECT_EQ(Read("19900517T120000Z"), "1990-5-17");
  EXPECT_EQ(Read("  2000-02-29 "), "2000-2-29");
}

TEST(DateParse, shouldReadDottedDatesWithLeadingZerosAndBlanks) {
  EXPECT_EQ(Read("01.02.2000"), "2000-2-1");
  EXPECT_EQ(Read("17. 5. 1990"), "1990-5-17");
  EXPECT_EQ(Read("17.5.1990 10:30"), "1990-5-17");
  EXPECT_EQ(Read("1.2.80"), "1980-2-1");
  EXPECT_EQ(Read("1.2.29"), "2029-2-1");
}

TEST(DateParse, shouldOrderSlashDatesByTheLocale) {
  EXPECT_EQ(Read("20/01/1991", EDateOrder::dayMonthYear), "1991-1-20");
  EXPECT_EQ(Read("01/20/1991", EDateOrder::monthDayYear), "1991-1-20");
  EXPECT_EQ(Read("3/4/2005", EDateOrder::dayMonthYear), "2005-4-3");
  EXPECT_EQ(Read("3/4/2005", EDateOrder::monthDayYear), "2005-3-4");
  EXPECT_EQ(Read("20/01/1991", EDateOrder::monthDayYear), "invalid");
  // The locale's order applies to slashes only; dots are always day first.
  EXPECT_EQ(Read("3.4.2005", EDateOrder::monthDayYear), "2005-4-3");
}

TEST(DateParse, shouldRefuseUnsetAndImpossibleDates) {
  for (const char* text :
       {"0.0.0",        "0.0.00",    "10.0.1990",  "31.4.2000",  "29.2.2003", "2003-02-29",
        "1990-13-01",   "",          "   ",        "s",          "abc",       "1990",
        "1990-05",      "17.5.",     "17.5",       "17.5.199",   "17/5.1990", "1990-05-17x",
        "1990-05-17ss", "199005171", "17.5.1990x", "0099-01-01", "--0517",    "1990-05-17T",
        "17.5.12345",   "1.1.1990.1"}) {
    EXPECT_EQ(Read(text), "invalid") << text;
  }
}
