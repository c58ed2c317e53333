#include "store/DateParse.h"

#include "store/TextUtil.h"

namespace zorvan {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A date value is trimmed of blanks, tabs and line ends only.
constexpr std::string_view kDateBlanks = kSpaceTabAndLineBreaks;

// Reads a run of digits of length minLen..maxLen at pos; the run must not go on beyond maxLen.
bool ReadNumber(std::string_view s, size_t& pos, size_t minLen, size_t maxLen, int& value) {
  size_t end = pos;
  while (end < s.size() && IsDigit(s[end])) ++end;
  const size_t len = end - pos;
  if (len < minLen || len > maxLen) return false;
  value = 0;
  for (size_t i = pos; i < end; ++i) value = value * 10 + (s[i] - '0');
  pos = end;
  return true;
}

// What may follow the date as its time of day: digits, separators, a fraction, a zone.
bool IsTimeText(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (!IsDigit(c) && c != ':' && c != '.' && c != ',' && c != 'Z' && c != 'z' && c != '+' &&
        c != '-')
      return false;
  }
  return true;
}

// The rest after an ISO date: nothing, the lowercase s the program's own vCards carry, or a
// time introduced by T or a blank.
bool IsIsoTail(std::string_view rest) {
  if (rest.empty() || rest == "s") return true;
  if (rest[0] == 'T' || rest[0] == 't' || rest[0] == ' ') return IsTimeText(rest.substr(1));
  return false;
}

// The caller has seen four digits at the start.
bool ParseIso(std::string_view s, int& y, int& m, int& d) {
  size_t pos = 4;
  if (s.size() > 4 && s[4] == '-') {
    y = (s[0] - '0') * 1000 + (s[1] - '0') * 100 + (s[2] - '0') * 10 + (s[3] - '0');
    ++pos;
    if (!ReadNumber(s, pos, 1, 2, m) || pos >= s.size() || s[pos] != '-') return false;
    ++pos;
    if (!ReadNumber(s, pos, 1, 2, d)) return false;
    return IsIsoTail(s.substr(pos));
  }
  // The basic form: exactly eight digits.
  pos = 0;
  int ymd = 0;
  if (!ReadNumber(s, pos, 8, 8, ymd)) return false;
  y = ymd / 10000;
  m = ymd / 100 % 100;
  d = ymd % 100;
  return IsIsoTail(s.substr(pos));
}

int FullYear(int year, size_t digits) {
  if (digits != 2) return year;
  return year < 30 ? 2000 + year : 1900 + year;
}

// Three numbers separated by full stops (each optionally followed by blanks), by slashes or by
// hyphens (the Dutch short date, 17-5-1990, day first like the dotted form).
bool ParseSeparated(std::string_view s, EDateOrder slashOrder, int& y, int& m, int& d) {
  size_t pos = 0;
  int first = 0, second = 0;
  if (!ReadNumber(s, pos, 1, 2, first) || pos >= s.size()) return false;
  const char sep = s[pos];
  if (sep != '.' && sep != '/' && sep != '-') return false;
  auto skipSeparator = [&]() {
    if (pos >= s.size() || s[pos] != sep) return false;
    ++pos;
    if (sep == '.')
      while (pos < s.size() && s[pos] == ' ') ++pos;
    return true;
  };
  if (!skipSeparator() || !ReadNumber(s, pos, 1, 2, second) || !skipSeparator()) return false;
  const size_t yearStart = pos;
  if (!ReadNumber(s, pos, 2, 4, y)) return false;
  y = FullYear(y, pos - yearStart);
  const std::string_view rest = s.substr(pos);
  if (!rest.empty() && !(rest[0] == ' ' && IsTimeText(Trim(rest, kDateBlanks)))) return false;
  if (sep == '/' && slashOrder == EDateOrder::monthDayYear) {
    m = first;
    d = second;
  } else {
    d = first;
    m = second;
  }
  return true;
}

}  // namespace

bool ParseDateValue(std::string_view text, CDateTime& out, EDateOrder slashOrder) {
  const std::string_view s = Trim(text, kDateBlanks);
  int y = 0, m = 0, d = 0;
  const bool read =
      s.size() >= 8 && IsDigit(s[0]) && IsDigit(s[1]) && IsDigit(s[2]) && IsDigit(s[3])
          ? ParseIso(s, y, m, d)
          : ParseSeparated(s, slashOrder, y, m, d);
  if (!read) {
    out = CDateTime(0.0, CDateTime::invalid);
    return false;
  }
  // SetDate checks the ranges and leaves an invalid date with count 0 when they fail.
  return out.SetDate(y, m, d);
}

}  // namespace zorvan
