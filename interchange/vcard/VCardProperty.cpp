#include "interchange/vcard/VCardProperty.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

#include "interchange/vcard/VCardLines.h"
#include "store/TextUtil.h"

namespace zorvan {
namespace {

struct SWord {
  std::string_view upper;
  std::uint32_t flag;
};

constexpr SWord kWords[] = {
    {"HOME", kHome},
    {"WORK", kWork},
    {"CELL", kCell},
    {"MOBILE", kCell},
    {"VOICE", kVoice},
    {"FAX", kFax},
    {"PAGER", kPager},
    {"PREF", kPref},
    {"INTERNET", kInternet},
    {"OTHER", kOther},
    {"CAR", kCar},
    {"MAIN", kMain},
    {"IPHONE", kIphone},
    {"VIDEO", kVideo},
    {"ISDN", kIsdn},
    {"MODEM", kModem},
    {"BBS", kBbs},
    {"MSG", kMsg},
    {"TEXT", kText},
    {"SPOUSE", kSpouse},
    {"CHILD", kChild},
    {"X-IRMC-N", kPhonetic},
    {"BASE64", kBase64},
    {"B", kBase64},
    {"QUOTED-PRINTABLE", kQuotedPrintable},
    {"POSTAL", 0},
    {"PARCEL", 0},
    {"DOM", 0},
    {"INTL", 0},
    {"X400", 0},
    {"X-", 0},
};

constexpr size_t kLongest = 16;
static_assert(std::all_of(std::begin(kWords), std::end(kWords),
                          [](const SWord& w) { return w.upper.size() <= kLongest; }));

void AddTypeWord(std::string_view word, SParams& p) {
  // The words by their lengths: a word is compared with the few of its length alone.
  static const auto kByLength = [] {
    std::array<std::vector<const SWord*>, kLongest + 1> byLength;
    for (const SWord& w : kWords) byLength[w.upper.size()].push_back(&w);
    return byLength;
  }();
  // Quotes may wrap the whole list or a part of it: TYPE="CELL,X-A:B",PREF
  word = TrimValue(word);
  if (!word.empty() && word.front() == '"') word.remove_prefix(1);
  if (!word.empty() && word.back() == '"') word.remove_suffix(1);
  if (word.empty()) return;
  if (word.size() <= kLongest) {
    for (const SWord* w : kByLength[word.size()]) {
      if (EqualsUpperAscii(word, w->upper)) {
        p.flags |= w->flag;
        return;
      }
    }
  }
  if (p.custom.empty()) p.custom = word;
}

std::string_view Unquote(std::string_view v) {
  v = TrimValue(v);
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
  return v;
}

// A list, in one quoted string or not: TYPE=a,b  TYPE="a,b"
void AddTypeList(std::string_view value, SParams& p) {
  const std::string_view list = Unquote(value);
  for (size_t start = 0;;) {
    const size_t comma = std::min(list.find(',', start), list.size());
    AddTypeWord(list.substr(start, comma - start), p);
    if (comma == list.size()) return;
    start = comma + 1;
  }
}

void ReadParam(std::string_view param, SParams& p) {
  const size_t eq = param.find('=');
  if (eq == std::string_view::npos) {
    AddTypeWord(param, p);  // a bare 2.1 word
    return;
  }
  const std::string_view name = TrimValue(param.substr(0, eq));
  const std::string_view value = param.substr(eq + 1);
  if (EqualsUpperAscii(name, "TYPE")) {
    AddTypeList(value, p);
  } else if (EqualsUpperAscii(name, "ENCODING")) {
    AddTypeWord(value, p);
  } else if (EqualsUpperAscii(name, "CHARSET")) {
    p.charset = Unquote(value);
  } else if (EqualsUpperAscii(name, "PREF")) {
    p.flags |= kPref;  // 4.0: PREF=1
  } else if (EqualsUpperAscii(name, "VALUE")) {
    if (EqualsUpperAscii(Unquote(value), "TEXT")) p.flags |= kTextValue;
  } else if (EqualsUpperAscii(name, "X-SERVICE-TYPE")) {
    p.serviceType = Unquote(value);
  } else if (EqualsUpperAscii(name, "X-APPLE-OMIT-YEAR")) {
    p.omitYear = Unquote(value);
  }
}

}  // namespace

bool SplitLine(std::string_view line, SProperty& p) {
  // The name ends at the first semicolon or colon; in the parameters after it a colon inside
  // quotes belongs to a value (TYPE="X-A:B").
  const char* s = line.data();
  const size_t n = line.size();
  const size_t nameEnd = FindEitherByte(s, n, ';', ':');
  if (nameEnd == n) return false;
  size_t colon = nameEnd;
  while (s[colon] != ':') {
    colon += 1 + FindEitherByte(s + colon + 1, n - colon - 1, ':', '"');
    if (colon >= n) return false;
    if (s[colon] == '"') {
      const size_t close = line.find('"', colon + 1);
      if (close == std::string_view::npos) return false;
      colon = close;
    }
  }
  std::string_view name = TrimValue(line.substr(0, nameEnd));
  const size_t dot = name.find('.');
  p.group = dot == std::string_view::npos ? std::string_view() : name.substr(0, dot);
  p.name = dot == std::string_view::npos ? name : name.substr(dot + 1);
  p.params = nameEnd < colon ? line.substr(nameEnd + 1, colon - nameEnd - 1) : std::string_view();
  p.value = line.substr(colon + 1);
  return true;
}

SParams ReadParams(std::string_view params) {
  // Parameters end at a semicolon outside quotes; a quote left open runs to the end.
  SParams p;
  const char* s = params.data();
  const size_t n = params.size();
  for (size_t start = 0, i = 0;;) {
    i += FindEitherByte(s + i, n - i, ';', '"');
    if (i < n && s[i] == '"') {
      const size_t close = params.find('"', i + 1);
      i = close == std::string_view::npos ? n : close + 1;
      continue;
    }
    if (i > start) ReadParam(params.substr(start, i - start), p);
    if (i >= n) return p;
    start = ++i;
  }
}

std::string_view AppleLabel(std::string_view label) {
  if (label.starts_with("_$!<") && label.ends_with(">!$_"))
    return label.substr(4, label.size() - 8);
  return label;
}

std::uint32_t LabelFlags(std::string_view label, bool& known) {
  static constexpr SWord kLabels[] = {
      {"HOME", kHome},           {"WORK", kWork},   {"MOBILE", kCell},
      {"IPHONE", kCell},         {"MAIN", kMain},   {"HOMEFAX", kHome | kFax},
      {"WORKFAX", kWork | kFax}, {"PAGER", kPager}, {"HOMEPAGE", 0},
  };
  const std::string_view word = AppleLabel(label);
  for (const SWord& w : kLabels) {
    if (EqualsUpperAscii(word, w.upper)) {
      known = true;
      return w.flag;
    }
  }
  known = false;
  return 0;
}

}  // namespace zorvan
