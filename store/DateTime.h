#pragma once

#include <functional>
#include <string>

namespace zorvan {

// Year, month, day and time of day of a date.
struct SDateParts {
  int nYear = 0;
  int nMonth = 0;  // 1..12
  int nDay = 0;    // 1..31
  int nHour = 0;
  int nMinute = 0;
  int nSecond = 0;
  int nDayOfWeek = 0;  // 1 = Sunday .. 7 = Saturday
};

// The OLE date: a day count since 30 December 1899 whose fraction is the time of day, and a
// status. For a negative count the fraction is still the time of day, counted forward: -1.25 is
// 29 December 1899, 06:00. The representable range is the years 100 to 9999.
//
// Twelve bytes on four-byte boundaries, not sixteen: every record holds three.
class __attribute__((packed, aligned(4))) CDateTime {
 public:
  enum EStatus { valid = 0, invalid = 1, null = 2 };

  CDateTime() noexcept = default;
  explicit CDateTime(double dt, int status = valid) noexcept : m_dt(dt), m_status(status) {}
  CDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) noexcept {
    SetDateTime(year, month, day, hour, minute, second);
  }

  // Sets the date from its parts; parts out of range give status invalid and count 0.
  bool SetDateTime(int year, int month, int day, int hour = 0, int minute = 0,
                   int second = 0) noexcept;
  bool SetDate(int year, int month, int day) noexcept { return SetDateTime(year, month, day); }

  // Splits a valid date into its parts (rounded to the second). False for a date that is not
  // valid, whose count lies outside the representable range, or is not a number.
  bool GetParts(SDateParts& parts) const noexcept;
  // Year, month and day only; cheaper than GetParts for the calendar's day comparisons.
  bool GetDate(int& year, int& month, int& day) const noexcept;
  int GetYear() const noexcept;   // -1 when GetParts fails
  int GetMonth() const noexcept;  // -1 when GetParts fails
  int GetDay() const noexcept;    // -1 when GetParts fails

  // True when the date can be split into parts: valid status and a count in range.
  bool IsUsable() const noexcept;

  // The same time of day, days later (or earlier for a negative count).
  CDateTime AddDays(long days) const noexcept;

  // Midnight of this date.
  CDateTime DateOnly() const noexcept;

  friend bool operator==(const CDateTime& a, const CDateTime& b) noexcept {
    return a.m_status == b.m_status && a.m_dt == b.m_dt;
  }

  double m_dt = 0.0;
  int m_status = valid;
};

// Days from 1 January 1970 for a proleptic Gregorian date (any year).
long DaysFromCivil(int year, int month, int day) noexcept;
bool IsLeapYear(int year) noexcept;
int DaysInMonth(int year, int month) noexcept;  // 0 for a month outside 1..12

// The current local date and time. Every "now" of the program comes from here, so tests and
// the command line's --today can fix it.
CDateTime CurrentLocalTime();
void SetClockSource(std::function<CDateTime()> source);  // empty function: the system clock

}  // namespace zorvan
