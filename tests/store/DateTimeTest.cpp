#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "store/DateTime.h"

using namespace zorvan;

namespace {
SDateParts Parts(const CDateTime& dt) {
  SDateParts p;
  EXPECT_TRUE(dt.GetParts(p));
  return p;
}
}  // namespace

TEST(DateTime, shouldCountDaysFromThe30thOfDecember1899) {
  EXPECT_EQ(CDateTime(2000, 1, 1).m_dt, 36526.0);
  EXPECT_EQ(CDateTime(1899, 12, 30).m_dt, 0.0);
  EXPECT_EQ(CDateTime(1900, 1, 1).m_dt, 2.0);
  EXPECT_EQ(CDateTime(1899, 12, 29, 6, 0, 0).m_dt, -1.25);
  EXPECT_EQ(CDateTime(100, 1, 1).m_dt, -657434.0);
  EXPECT_EQ(CDateTime(9999, 12, 31).m_dt, 2958465.0);
}

TEST(DateTime, shouldSplitNegativeCountsWithForwardTimeOfDay) {
  const SDateParts p = Parts(CDateTime(-1.25));
  EXPECT_EQ(p.nYear, 1899);
  EXPECT_EQ(p.nMonth, 12);
  EXPECT_EQ(p.nDay, 29);
  EXPECT_EQ(p.nHour, 6);
  const SDateParts q = Parts(CDateTime(-0.5));
  EXPECT_EQ(q.nDay, 30);
  EXPECT_EQ(q.nHour, 12);
}

TEST(DateTime, shouldRoundTripEveryDayOfTheRange) {
  for (long d = -657434; d <= 2958465; d += 97) {
    const CDateTime dt(static_cast<double>(d) + (d >= 0 ? 0.75 : -0.75));
    SDateParts p;
    ASSERT_TRUE(dt.GetParts(p)) << d;
    const CDateTime back(p.nYear, p.nMonth, p.nDay, p.nHour, p.nMinute, p.nSecond);
    ASSERT_EQ(back.m_dt, dt.m_dt) << d;
  }
}

TEST(DateTime, shouldRoundToTheNearestSecondAcrossMidnight) {
  const SDateParts p = Parts(CDateTime(36526.0 - 1e-9));
  EXPECT_EQ(p.nDay, 1);
  EXPECT_EQ(p.nHour, 0);
  // 29 December 1899, 23:59:59.99...: rounds forward into the 30th.
  const SDateParts q = Parts(CDateTime(-1.0 - (1.0 - 1e-9)));
  EXPECT_EQ(q.nDay, 30);
  EXPECT_EQ(q.nHour, 0);
}

TEST(DateTime, shouldRefuseImpossiblePartsAndCounts) {
  EXPECT_EQ(CDateTime(2003, 2, 29).m_status, CDateTime::invalid);
  EXPECT_EQ(CDateTime(2004, 2, 29).m_status, CDateTime::valid);
  EXPECT_EQ(CDateTime(2004, 13, 1).m_status, CDateTime::invalid);
  EXPECT_EQ(CDateTime(99, 1, 1).m_status, CDateTime::invalid);
  SDateParts p;
  EXPECT_FALSE(CDateTime(std::numeric_limits<double>::quiet_NaN()).GetParts(p));
  EXPECT_FALSE(CDateTime(1e300).GetParts(p));
  EXPECT_FALSE(CDateTime(36526.0, CDateTime::invalid).GetParts(p));
  EXPECT_FALSE(CDateTime(36526.0, CDateTime::null).IsUsable());
  EXPECT_EQ(CDateTime(1e300).GetYear(), -1);
}

TEST(DateTime, shouldAddDaysAcrossYearsAndLeapDays) {
  const SDateParts p = Parts(CDateTime(2003, 12, 25, 10, 30, 0).AddDays(7));
  EXPECT_EQ(p.nYear, 2004);
  EXPECT_EQ(p.nMonth, 1);
  EXPECT_EQ(p.nDay, 1);
  EXPECT_EQ(p.nHour, 10);
  EXPECT_EQ(p.nMinute, 30);
  EXPECT_EQ(Parts(CDateTime(2004, 2, 28).AddDays(1)).nDay, 29);
  EXPECT_EQ(Parts(CDateTime(1899, 12, 31).AddDays(-3)).nDay, 28);
  EXPECT_EQ(CDateTime(9999, 12, 31).AddDays(1).m_status, CDateTime::invalid);
}

TEST(DateTime, shouldNameTheDayOfTheWeek) {
  EXPECT_EQ(Parts(CDateTime(2000, 1, 1)).nDayOfWeek, 7);  // a Saturday
  EXPECT_EQ(Parts(CDateTime(1899, 12, 30)).nDayOfWeek, 7);
  EXPECT_EQ(Parts(CDateTime(2026, 12, 8)).nDayOfWeek, 3);  // a Tuesday
}

TEST(DateTime, shouldTakeNowFromTheClockSource) {
  SetClockSource([] { return CDateTime(2003, 5, 17, 8, 0, 0); });
  EXPECT_EQ(CurrentLocalTime(), CDateTime(2003, 5, 17, 8, 0, 0));
  SetClockSource({});
  EXPECT_GE(CurrentLocalTime().GetYear(), 2024);
}
