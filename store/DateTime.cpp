#include "store/DateTime.h"

#include <cmath>
#include <ctime>

namespace zorvan {
namespace {

// 30 December 1899 counted from 1 January 1970.
constexpr long kOleEpoch = -25569;
// 1 January 100 and 31 December 9999 as day counts of the OLE date.
constexpr double kMinDay = -657434.0;
constexpr double kMaxDay = 2958465.0;

std::function<CDateTime()>& ClockSource() {
  static std::function<CDateTime()> source;
  return source;
}

void CivilFromDays(long z, int& year, int& month, int& day) noexcept {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long y = yoe + era * 400;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

// Splits a count into the calendar day (counted like the OLE date's whole part) and the seconds
// into that day, rounded to the nearest second.
bool SplitCount(double dt, long& dayIndex, long& seconds) noexcept {
  if (!std::isfinite(dt) || dt < kMinDay - 1.0 || dt >= kMaxDay + 1.0) return false;
  const double whole = std::trunc(dt);
  dayIndex = static_cast<long>(whole);
  seconds = std::lround(std::fabs(dt - whole) * 86400.0);
  if (seconds >= 86400) {
    seconds -= 86400;
    ++dayIndex;
  }
  return dayIndex >= static_cast<long>(kMinDay) && dayIndex <= static_cast<long>(kMaxDay);
}

double JoinCount(long dayIndex, long seconds) noexcept {
  const double t = static_cast<double>(seconds) / 86400.0;
  return dayIndex >= 0 ? static_cast<double>(dayIndex) + t : static_cast<double>(dayIndex) - t;
}

}  // namespace

bool IsLeapYear(int year) noexcept { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) noexcept {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

long DaysFromCivil(int year, int month, int day) noexcept {
  const long y = static_cast<long>(year) - (month <= 2);
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long mp = month > 2 ? month - 3 : month + 9;
  const long doy = (153 * mp + 2) / 5 + day - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

bool CDateTime::SetDateTime(int year, int month, int day, int hour, int minute,
                            int second) noexcept {
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
      second < 0 || second > 59) {
    m_dt = 0.0;
    m_status = invalid;
    return false;
  }
  const long dayIndex = DaysFromCivil(year, month, day) - kOleEpoch;
  m_dt = JoinCount(dayIndex, hour * 3600L + minute * 60L + second);
  m_status = valid;
  return true;
}

bool CDateTime::GetParts(SDateParts& parts) const noexcept {
  if (m_status != valid) return false;
  long dayIndex = 0, seconds = 0;
  if (!SplitCount(m_dt, dayIndex, seconds)) return false;
  CivilFromDays(dayIndex + kOleEpoch, parts.nYear, parts.nMonth, parts.nDay);
  parts.nHour = static_cast<int>(seconds / 3600);
  parts.nMinute = static_cast<int>(seconds / 60 % 60);
  parts.nSecond = static_cast<int>(seconds % 60);
  // 1 January 1970 was a Thursday (day 5 when Sunday is 1).
  const long days = dayIndex + kOleEpoch;
  parts.nDayOfWeek = static_cast<int>(((days % 7) + 7 + 4) % 7) + 1;
  return true;
}

bool CDateTime::GetDate(int& year, int& month, int& day) const noexcept {
  long dayIndex = 0, seconds = 0;
  if (m_status != valid || !SplitCount(m_dt, dayIndex, seconds)) return false;
  CivilFromDays(dayIndex + kOleEpoch, year, month, day);
  return true;
}

bool CDateTime::IsUsable() const noexcept {
  long dayIndex = 0, seconds = 0;
  return m_status == valid && SplitCount(m_dt, dayIndex, seconds);
}

int CDateTime::GetYear() const noexcept {
  SDateParts p;
  return GetParts(p) ? p.nYear : -1;
}

int CDateTime::GetMonth() const noexcept {
  SDateParts p;
  return GetParts(p) ? p.nMonth : -1;
}

int CDateTime::GetDay() const noexcept {
  SDateParts p;
  return GetParts(p) ? p.nDay : -1;
}

CDateTime CDateTime::AddDays(long days) const noexcept {
  long dayIndex = 0, seconds = 0;
  if (m_status != valid || !SplitCount(m_dt, dayIndex, seconds)) return CDateTime(0.0, invalid);
  dayIndex += days;
  if (dayIndex < static_cast<long>(kMinDay) || dayIndex > static_cast<long>(kMaxDay))
    return CDateTime(0.0, invalid);
  return CDateTime(JoinCount(dayIndex, seconds), valid);
}

CDateTime CDateTime::DateOnly() const noexcept {
  long dayIndex = 0, seconds = 0;
  if (m_status != valid || !SplitCount(m_dt, dayIndex, seconds)) return CDateTime(0.0, invalid);
  return CDateTime(static_cast<double>(dayIndex), valid);
}

CDateTime CurrentLocalTime() {
  if (const auto& source = ClockSource()) return source();
  // Every new record asks for the time; converting to local time once a second is enough. Each
  // thread keeps its own, as a large file's records are made on two.
  thread_local std::time_t s_last = -1;
  thread_local CDateTime s_now;
  const std::time_t t = std::time(nullptr);
  if (t != s_last) {
    std::tm tm{};
    localtime_r(&t, &tm);
    s_now =
        CDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    s_last = t;
  }
  return s_now;
}

void SetClockSource(std::function<CDateTime()> source) { ClockSource() = std::move(source); }

}  // namespace zorvan
