#include "interchange/vcard/VCardProperty.h"

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

void AddTypeWord(std::string_view word, SParams& p) {
  // Quotes may wrap the whole list or a part of it: TYPE="CELL,X-A:B",PREF
  word = TrimValue(word);
  if (!word.empty() && word.front() == '"') word.remove_prefix(1);
  if (!word.empty() && word.back() == '"') word.remove_suffix(1);
  if (word.empty()) return;
  for (const SWord& w : kWords) {
    if (EqualsUpperAscii(word, w.upper)) {
      p.flags |= w.flag;
      return;
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
  size_t start = 0;
  for (size_t i = 0; i <= list.size(); ++i) {
    if (i == list.size() || list[i] == ',') {
      AddTypeWord(list.substr(start, i - start), p);
      start = i + 1;
    }
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
  size_t colon = std::string_view::npos;
  size_t nameEnd = std::string_view::npos;
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"' && nameEnd != std::string_view::npos) {
      quoted = !quoted;
    } else if (!quoted && c == ':') {
      colon = i;
      break;
    } else if (c == ';' && nameEnd == std::string_view::npos) {
      nameEnd = i;
    }
  }
  if (colon == std::string_view::npos) return false;
  if (nameEnd == std::string_view::npos) nameEnd = colon;
  std::string_view name = TrimValue(line.substr(0, nameEnd));
  const size_t dot = name.find('.');
  p.group = dot == std::string_view::npos ? std::string_view() : name.substr(0, dot);
  p.name = dot == std::string_view::npos ? name : name.substr(dot + 1);
  p.params = nameEnd < colon ? line.substr(nameEnd + 1, colon - nameEnd - 1) : std::string_view();
  p.value = line.substr(colon + 1);
  return true;
}

SParams ReadParams(std::string_view params) {
  SParams p;
  size_t start = 0;
  bool quoted = false;
  for (size_t i = 0; i <= params.size(); ++i) {
    if (i < params.size() && params[i] == '"') quoted = !quoted;
    if (i == params.size() || (!quoted && params[i] == ';')) {
      if (i > start) ReadParam(params.substr(start, i - start), p);
      start = i + 1;
    }
  }
  return p;
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
