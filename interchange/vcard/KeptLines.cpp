#include "interchange/vcard/KeptLines.h"

#include <algorithm>
#include <iterator>

#include "interchange/vcard/VCardProperty.h"
#include "res/CodePage.h"
#include "store/TextUtil.h"

namespace zorvan {
namespace {

// Names and groups are words of ASCII letters, digits and '-' (RFC 6350, 3.3).
constexpr bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

bool IsWord(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), IsNameChar);
}

// U+2028 and U+2029, which some readers take for a line break as they take CR and LF.
bool IsUnicodeSeparatorAt(std::string_view s, size_t pos) {
  return s.substr(pos, 3) == "\xE2\x80\xA8" || s.substr(pos, 3) == "\xE2\x80\xA9";
}

bool IsLabel(const SProperty& p) { return EqualsUpperAscii(p.name, "X-ABLABEL"); }

// Whether a line of group other than its labels is left, the lines of gone aside.
bool GroupHasProperty(const std::vector<std::string>& lines, const std::vector<bool>& gone,
                      std::string_view group) {
  SProperty p;
  for (size_t i = 0; i < lines.size(); ++i)
    if (!gone[i] && SplitLine(lines[i], p) && !IsLabel(p) && SameIgnoringAsciiCase(p.group, group))
      return true;
  return false;
}

// Marks the labels of group gone when no other line of the group is left; keep is a line that
// stays whatever it is.
void DropLonelyLabels(const std::vector<std::string>& lines, std::vector<bool>& gone,
                      std::string_view group, size_t keep) {
  if (group.empty() || GroupHasProperty(lines, gone, group)) return;
  SProperty p;
  for (size_t i = 0; i < lines.size(); ++i)
    if (i != keep && SplitLine(lines[i], p) && IsLabel(p) && SameIgnoringAsciiCase(p.group, group))
      gone[i] = true;
}

void EraseGone(std::vector<std::string>& lines, const std::vector<bool>& gone) {
  size_t out = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (gone[i]) continue;
    if (out != i) lines[out] = std::move(lines[i]);
    ++out;
  }
  lines.resize(out);
}

std::string GroupOf(std::string_view line) {
  SProperty p;
  return SplitLine(line, p) ? std::string(p.group) : std::string();
}

}  // namespace

bool IsCardFrameName(std::string_view name) {
  static constexpr std::string_view kFrame[] = {"BEGIN", "END", "VERSION", "PRODID",
                                                "UID",   "REV", "KIND"};
  return std::any_of(std::begin(kFrame), std::end(kFrame),
                     [&](std::string_view frame) { return EqualsUpperAscii(name, frame); });
}

std::string_view KeptLineErrorText(EKeptLineError error) {
  switch (error) {
    case EKeptLineError::none:
      return {};
    case EKeptLineError::noName:
      return "The line needs a property name before its ':', as in TEL:+30 210 1234567.";
    case EKeptLineError::badName:
      return "A property name (and a group before its '.') is made of letters, digits and '-' "
             "only.";
    case EKeptLineError::badParameter:
      return "A parameter after ';' needs a name of letters, digits and '-', as in TYPE=CELL.";
    case EKeptLineError::openQuote:
      return "A parameter's value in quotes is not closed before the ':'.";
    case EKeptLineError::noColon:
      return "The line needs a ':' between the property name and its value.";
    case EKeptLineError::frame:
      return "BEGIN, END, VERSION, PRODID, UID, REV and KIND are written by the program itself.";
  }
  return {};
}

std::string CleanKeptLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      // CR LF, LF or CR; a blank right after it is a fold and goes with the break.
      ++i;
      if (c == '\r' && i < text.size() && text[i] == '\n') ++i;
      if (i < text.size() && IsSpaceOrTab(text[i])) ++i;
    } else if (IsC0ControlOrDelete(c)) {
      ++i;
    } else if (IsC1ControlAt(text, i)) {
      i += 2;
    } else if (IsUnicodeSeparatorAt(text, i)) {
      i += 3;
    } else {
      out += c;
      ++i;
    }
  }
  out.erase(0, std::min(out.find_first_not_of(' '), out.size()));
  return out;
}

EKeptLineError CheckKeptLine(std::string_view line) {
  if (line.empty()) return EKeptLineError::noName;
  const size_t nameEnd = line.find_first_of(";:");
  if (nameEnd == std::string_view::npos) return EKeptLineError::noColon;
  const std::string_view full = line.substr(0, nameEnd);
  if (full.empty()) return EKeptLineError::noName;
  const size_t dot = full.find('.');
  const std::string_view name = dot == std::string_view::npos ? full : full.substr(dot + 1);
  if ((dot != std::string_view::npos && !IsWord(full.substr(0, dot))) || !IsWord(name))
    return EKeptLineError::badName;
  if (IsCardFrameName(name)) return EKeptLineError::frame;
  if (line[nameEnd] == ':') return EKeptLineError::none;
  // The parameters up to the first ':' outside quotes, each a name or name=value.
  size_t start = nameEnd + 1;
  bool quoted = false;
  for (size_t i = start; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') quoted = !quoted;
    if (quoted || (c != ';' && c != ':')) continue;
    const std::string_view param = line.substr(start, i - start);
    if (!IsWord(param.substr(0, param.find('=')))) return EKeptLineError::badParameter;
    if (c == ':') return EKeptLineError::none;
    start = i + 1;
  }
  return quoted ? EKeptLineError::openQuote : EKeptLineError::noColon;
}

bool IsLabelOfKeptLine(const std::vector<std::string>& lines, size_t index) {
  SProperty p;
  if (index >= lines.size() || !SplitLine(lines[index], p) || !IsLabel(p) || p.group.empty())
    return false;
  std::vector<bool> gone(lines.size());
  gone[index] = true;
  return GroupHasProperty(lines, gone, p.group);
}

void RemoveKeptLines(std::vector<std::string>& lines, std::vector<size_t> indexes) {
  std::vector<bool> gone(lines.size());
  std::vector<std::string> groups;
  for (const size_t i : indexes) {
    if (i >= lines.size() || gone[i]) continue;
    gone[i] = true;
    groups.push_back(GroupOf(lines[i]));
  }
  for (const std::string& group : groups) DropLonelyLabels(lines, gone, group, lines.size());
  EraseGone(lines, gone);
}

void ReplaceKeptLine(std::vector<std::string>& lines, size_t index, std::string line) {
  if (index >= lines.size()) return;
  if (line.empty()) return RemoveKeptLines(lines, {index});
  const std::string group = GroupOf(lines[index]);
  lines[index] = std::move(line);
  std::vector<bool> gone(lines.size());
  DropLonelyLabels(lines, gone, group, index);
  EraseGone(lines, gone);
}

}  // namespace zorvan
