#include "store/KeptDates.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "store/DateTime.h"
#include "store/TextUtil.h"

namespace zorvan {
namespace {

// The parts of a kept content line: "group.NAME;param;param:value".
struct SLineParts {
  std::string_view group, name, params, value;
};

bool SplitContentLine(std::string_view line, SLineParts& parts) {
  // The value starts after the first colon outside a quoted parameter value.
  bool quoted = false;
  size_t colon = std::string_view::npos;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (!quoted && line[i] == ':') {
      colon = i;
      break;
    }
  }
  if (colon == std::string_view::npos) return false;
  const std::string_view head = line.substr(0, colon);
  parts.value = Trim(line.substr(colon + 1));
  const size_t semicolon = head.find(';');
  std::string_view name = head.substr(0, semicolon);
  parts.params = semicolon == std::string_view::npos ? "" : head.substr(semicolon + 1);
  const size_t dot = name.find('.');
  parts.group = dot == std::string_view::npos ? "" : name.substr(0, dot);
  parts.name = dot == std::string_view::npos ? name : name.substr(dot + 1);
  return true;
}

// Two decimal digits at text[at], or -1.
int TwoDigits(std::string_view text, size_t at) {
  if (at + 2 > text.size()) return -1;
  const char a = text[at], b = text[at + 1];
  if (a < '0' || a > '9' || b < '0' || b > '9') return -1;
  return (a - '0') * 10 + (b - '0');
}

// Month and day of "--MMDD" or "--MM-DD" (either followed by nothing or a time).
SMonthDay YearlessValue(std::string_view value) {
  if (!value.starts_with("--") || value.starts_with("---")) return {};
  const int month = TwoDigits(value, 2);
  const size_t dayAt = value.size() > 4 && value[4] == '-' ? 5 : 4;
  const int day = TwoDigits(value, dayAt);
  if (dayAt + 2 < value.size() && value[dayAt + 2] != 'T') return {};
  // 2000 is a leap year: 29 February is a day without a year.
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(2000, month)) return {};
  return {month, day};
}

// The value of the parameter name among "a=b;c=d", empty when it is not there.
std::string_view Parameter(std::string_view params, std::string_view name) {
  while (!params.empty()) {
    const size_t end = params.find(';');
    const std::string_view param = params.substr(0, end);
    const size_t equals = param.find('=');
    if (equals != std::string_view::npos &&
        SameIgnoringAsciiCase(Trim(param.substr(0, equals)), name))
      return Trim(param.substr(equals + 1), "\" \t");
    if (end == std::string_view::npos) break;
    params.remove_prefix(end + 1);
  }
  return {};
}

// Apple writes a day without a year as a full date whose year the parameter names:
// "X-APPLE-OMIT-YEAR=1604:1604-04-15" (or 16040415).
SMonthDay AppleOmittedYear(const SLineParts& p) {
  const std::string_view year = Parameter(p.params, "X-APPLE-OMIT-YEAR");
  if (year.size() != 4 || !p.value.starts_with(year)) return {};
  std::string_view rest = p.value.substr(4);
  if (rest.starts_with("-")) rest.remove_prefix(1);
  std::string md = "--";
  md += rest;
  return YearlessValue(md);
}

// Apple's date of a group: "item1.X-ABDATE:--0923" with "item1.X-ABLabel:_$!<Anniversary>!$_".
bool IsAppleAnniversary(const SRecordExtras& extras, std::string_view group) {
  if (group.empty()) return false;
  SLineParts q;
  return std::any_of(extras.properties.begin(), extras.properties.end(), [&](const auto& line) {
    return SplitContentLine(line, q) && SameIgnoringAsciiCase(q.group, group) &&
           EqualsUpperAscii(q.name, "X-ABLABEL") &&
           SameIgnoringAsciiCase(Trim(q.value, "_$!<>"), "Anniversary");
  });
}

bool IsKind(const SRecordExtras& extras, const SLineParts& p, EKeptDate kind) {
  if (kind == EKeptDate::birthday) return EqualsUpperAscii(p.name, "BDAY");
  // The anniversary of 4.0 and the names other programs give it in 3.0.
  static constexpr std::string_view kNames[] = {"ANNIVERSARY", "X-ANNIVERSARY", "X-MS-ANNIVERSARY",
                                                "X-EVOLUTION-ANNIVERSARY",
                                                "X-KADDRESSBOOK-X-ANNIVERSARY"};
  if (std::any_of(std::begin(kNames), std::end(kNames),
                  [&](std::string_view n) { return EqualsUpperAscii(p.name, n); }))
    return true;
  return EqualsUpperAscii(p.name, "X-ABDATE") && IsAppleAnniversary(extras, p.group);
}

}  // namespace

SMonthDay KeptYearlessDate(const SRecordExtras& extras, EKeptDate kind) {
  SLineParts p;
  for (const std::string& line : extras.properties) {
    if (!SplitContentLine(line, p) || !IsKind(extras, p, kind)) continue;
    SMonthDay date = YearlessValue(p.value);
    if (!date.IsSet()) date = AppleOmittedYear(p);
    if (date.IsSet()) return date;
  }
  return {};
}

}  // namespace zorvan
