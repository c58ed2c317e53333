#include "interchange/vcard/ForeignVCardReader.h"

#include <iconv.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "interchange/FieldList.h"
#include "res/CodePage.h"
#include "store/DateParse.h"
#include "store/RecordFields.h"
#include "store/TextUtil.h"

namespace zorvan {
namespace {

// ---------------------------------------------------------------------------------------------
// Characters

constexpr char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
constexpr char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// upper is an upper-case ASCII literal.
bool EqualsNoCase(std::string_view s, std::string_view upper) {
  if (s.size() != upper.size()) return false;
  for (size_t i = 0; i < s.size(); ++i)
    if (Upper(s[i]) != upper[i]) return false;
  return true;
}

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

bool StartsWithNoCase(std::string_view s, std::string_view upper) {
  return s.size() >= upper.size() && EqualsNoCase(s.substr(0, upper.size()), upper);
}

// Whether the name and parameters of a line say quoted-printable or base64 (ENCODING=B,
// BASE64 or the bare 2.1 word), in one pass over them.
void ScanEncoding(std::string_view head, bool& qp, bool& blob) {
  for (size_t i = 0; i < head.size(); ++i) {
    const char c = Upper(head[i]);
    if (c == 'Q' && StartsWithNoCase(head.substr(i), "QUOTED-PRINTABLE")) {
      qp = true;
      blob = false;
      return;
    }
    if (c == 'B' && (i == 0 || head[i - 1] == '=' || head[i - 1] == ';' || head[i - 1] == ',')) {
      const std::string_view rest = head.substr(i);
      const bool word = rest.size() == 1 || rest[1] == ';' || rest[1] == ',';
      if (StartsWithNoCase(rest, "BASE64") || (word && i > 0 && head[i - 1] == '=')) blob = true;
    }
  }
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimValue(std::string_view s) {
  while (!s.empty() && (IsBlank(s.front()) || s.front() == '\r' || s.front() == '\n'))
    s.remove_prefix(1);
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  return s;
}

// ---------------------------------------------------------------------------------------------
// The file's encoding

// The text of the file to read: UTF-16 is turned into UTF-8 (in storage), a UTF-8 mark is
// skipped, anything else is read as it is.
std::string_view TextOf(std::string_view bytes, std::string& storage) {
  const EUtf16 order = Utf16Order(bytes);
  if (order != EUtf16::none) {
    storage = Utf16ToUtf8(bytes, order == EUtf16::bigEndian);
    return storage;
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return bytes;
}

// ---------------------------------------------------------------------------------------------
// Physical lines: a line ends at LF, CR LF, CR CR LF (a CR LF that went through a second
// conversion) or a lone CR.

class CLineScanner {
 public:
  explicit CLineScanner(std::string_view text) : m_text(text) {}

  bool Next(std::string_view& line) {
    if (m_pos >= m_text.size()) return false;
    m_last = m_pos;
    if (m_peekFrom == m_pos) {
      line = m_peekLine;
      m_pos = m_peekNext;
    } else {
      m_pos = Scan(m_pos, line);
    }
    return true;
  }
  // The line Next would return, without taking it.
  bool Peek(std::string_view& line) {
    if (m_pos >= m_text.size()) return false;
    if (m_peekFrom != m_pos) {
      m_peekNext = Scan(m_pos, m_peekLine);
      m_peekFrom = m_pos;
    }
    line = m_peekLine;
    return true;
  }
  // Gives the line Next returned last back.
  void Unread() { m_pos = m_last; }
  size_t Offset() const { return m_pos; }
  // Goes on from pos, which must be where a line starts.
  void Seek(size_t pos) { m_pos = m_last = pos; }

 private:
  // The first CR or LF from p on, eight bytes at a time (a byte equal to one of them makes
  // its lane of the word zero; the lowest flagged lane is exact).
  static size_t FindLineBreak(const char* p, size_t n) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
      std::uint64_t w;
      std::memcpy(&w, p + i, 8);
      const std::uint64_t lf = w ^ (kOnes * '\n'), cr = w ^ (kOnes * '\r');
      const std::uint64_t hit = ((lf - kOnes) & ~lf & kHigh) | ((cr - kOnes) & ~cr & kHigh);
      if (hit) return i + static_cast<size_t>(__builtin_ctzll(hit)) / 8;
    }
    for (; i < n; ++i)
      if (p[i] == '\n' || p[i] == '\r') return i;
    return n;
  }

  size_t Scan(size_t pos, std::string_view& line) const {
    const char* base = m_text.data();
    const size_t size = m_text.size();
    const size_t at = pos + FindLineBreak(base + pos, size - pos);
    line = m_text.substr(pos, at - pos);
    if (at >= size) return size;
    if (base[at] == '\n') return at + 1;
    size_t after = at;
    while (after < size && base[after] == '\r') ++after;
    if (after < size && base[after] == '\n') ++after;
    return after;
  }

  std::string_view m_text;
  size_t m_pos = 0;
  size_t m_last = 0;
  size_t m_peekFrom = static_cast<size_t>(-1);
  size_t m_peekNext = 0;
  std::string_view m_peekLine;
};

// True when the property name of a line has a group before it (item1.EMAIL).
bool HasGroup(std::string_view line) {
  for (char c : line) {
    if (c == '.') return true;
    if (c == ';' || c == ':') return false;
  }
  return false;
}

// PHOTO, LOGO and KEY, after any group, in the name part of a line; SOUND is not among them, as
// 2.1 phones put the phonetic name into it.
bool IsBlobName(std::string_view head) {
  if (head.empty()) return false;
  const char c0 = Upper(head[0]);
  if (c0 != 'P' && c0 != 'L' && c0 != 'K' && !HasGroup(head)) return false;
  std::string_view name = head.substr(0, head.find(';'));
  const size_t dot = name.find('.');
  if (dot != std::string_view::npos) name.remove_prefix(dot + 1);
  name = TrimValue(name);
  return EqualsNoCase(name, "PHOTO") || EqualsNoCase(name, "LOGO") || EqualsNoCase(name, "KEY");
}

bool IsBeginLine(std::string_view line) { return EqualsNoCase(TrimValue(line), "BEGIN:VCARD"); }
bool IsEndLine(std::string_view line) { return EqualsNoCase(TrimValue(line), "END:VCARD"); }

// ---------------------------------------------------------------------------------------------
// One property line: [group.]NAME[;param...]:value

// The type words of TYPE parameters (and the bare words of 2.1) that decide where a value goes.
enum : std::uint32_t {
  kHome = 1u << 0,
  kWork = 1u << 1,
  kCell = 1u << 2,
  kVoice = 1u << 3,
  kFax = 1u << 4,
  kPager = 1u << 5,
  kPref = 1u << 6,
  kInternet = 1u << 7,
  kOther = 1u << 8,
  kCar = 1u << 9,
  kMain = 1u << 10,
  kIphone = 1u << 11,
  kVideo = 1u << 12,
  kIsdn = 1u << 13,
  kModem = 1u << 14,
  kBbs = 1u << 15,
  kMsg = 1u << 16,
  kText = 1u << 17,
  kSpouse = 1u << 18,
  kChild = 1u << 19,
  kQuotedPrintable = 1u << 20,
  kBase64 = 1u << 21,
  kPhonetic = 1u << 22,   // X-IRMC-N: a SOUND that holds the phonetic name
  kTextValue = 1u << 23,  // VALUE=text
};

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

// What the parameters of a line say.
struct SParams {
  std::uint32_t flags = 0;
  std::string_view charset;
  std::string_view custom;       // the first type word that is none of kWords
  std::string_view serviceType;  // IMPP's X-SERVICE-TYPE
  std::string_view omitYear;     // X-APPLE-OMIT-YEAR
};

void AddTypeWord(std::string_view word, SParams& p) {
  // Quotes may wrap the whole list or a part of it: TYPE="CELL,X-A:B",PREF
  word = TrimValue(word);
  if (!word.empty() && word.front() == '"') word.remove_prefix(1);
  if (!word.empty() && word.back() == '"') word.remove_suffix(1);
  if (word.empty()) return;
  for (const SWord& w : kWords) {
    if (EqualsNoCase(word, w.upper)) {
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

void ReadParam(std::string_view param, SParams& p) {
  const size_t eq = param.find('=');
  if (eq == std::string_view::npos) {
    AddTypeWord(param, p);  // a bare 2.1 word
    return;
  }
  const std::string_view name = TrimValue(param.substr(0, eq));
  const std::string_view value = param.substr(eq + 1);
  if (EqualsNoCase(name, "TYPE")) {
    // A list, in one quoted string or not: TYPE=a,b  TYPE="a,b"
    const std::string_view list = Unquote(value);
    size_t start = 0;
    for (size_t i = 0; i <= list.size(); ++i) {
      if (i == list.size() || list[i] == ',') {
        AddTypeWord(list.substr(start, i - start), p);
        start = i + 1;
      }
    }
  } else if (EqualsNoCase(name, "ENCODING")) {
    AddTypeWord(value, p);
  } else if (EqualsNoCase(name, "CHARSET")) {
    p.charset = Unquote(value);
  } else if (EqualsNoCase(name, "PREF")) {
    p.flags |= kPref;  // 4.0: PREF=1
  } else if (EqualsNoCase(name, "VALUE")) {
    const std::string_view v = Unquote(value);
    if (EqualsNoCase(v, "TEXT")) p.flags |= kTextValue;
  } else if (EqualsNoCase(name, "X-SERVICE-TYPE")) {
    p.serviceType = Unquote(value);
  } else if (EqualsNoCase(name, "X-APPLE-OMIT-YEAR")) {
    p.omitYear = Unquote(value);
  }
}

struct SProperty {
  std::string_view group;
  std::string_view name;
  std::string_view params;  // from the first ';' up to the value's ':', without them
  std::string_view value;
};

// Splits a line at the first ':' outside double quotes; false for a line without one.
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

// ---------------------------------------------------------------------------------------------
// Values

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Upper(c);
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Quoted-printable (the soft line breaks were joined already): =XX is a byte, any other '='
// stays as it is.
void DecodeQuotedPrintable(std::string_view in, std::string& out) {
  out.clear();
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] == '=' && i + 2 < in.size() + 0 && HexDigit(in[i + 1]) >= 0 &&
        HexDigit(in[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexDigit(in[i + 1]) * 16 + HexDigit(in[i + 2])));
      i += 2;
    } else if (in[i] == '=' && i + 1 == in.size()) {
      // a soft break at the very end of the value
    } else {
      out.push_back(in[i]);
    }
  }
}

// Every malformed byte as U+FFFD: the last resort, should a conversion itself go wrong.
std::string Repaired(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size();) AppendUtf8(out, DecodeUtf8(s, i));
  return out;
}

// Converts the bytes of a value from a named character set through iconv, one open converter
// kept for the last charset seen.
class CCharsetConverter {
 public:
  ~CCharsetConverter() { Close(); }

  bool Convert(std::string_view charset, std::string_view in, std::string& out) {
    if (charset != m_strCharset) {
      Close();
      m_strCharset = charset;
      m_cd = iconv_open("UTF-8", m_strCharset.c_str());
    }
    if (m_cd == reinterpret_cast<iconv_t>(-1)) return false;
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    out.resize(in.size() * 4 + 8);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    if (iconv(m_cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) return false;
    out.resize(out.size() - dstLeft);
    return IsWellFormedUtf8(out);
  }

 private:
  void Close() {
    if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
    m_cd = reinterpret_cast<iconv_t>(-1);
  }

  std::string m_strCharset;
  iconv_t m_cd = reinterpret_cast<iconv_t>(-1);
};

// The two code pages the program knows itself, by the names vCards give them. ISO-8859-1 is read
// as Windows-1252, its superset, as mail programs do: the bytes 0x80-0x9F that differ are
// control characters in ISO-8859-1, which nobody means.
std::optional<ECodePage> OwnCodePage(std::string_view charset) {
  if (EqualsNoCase(charset, "WINDOWS-1250") || EqualsNoCase(charset, "CP1250") ||
      EqualsNoCase(charset, "X-CP1250"))
    return ECodePage::Windows1250;
  if (EqualsNoCase(charset, "WINDOWS-1252") || EqualsNoCase(charset, "CP1252") ||
      EqualsNoCase(charset, "ISO-8859-1") || EqualsNoCase(charset, "ISO8859-1") ||
      EqualsNoCase(charset, "LATIN1") || EqualsNoCase(charset, "US-ASCII") ||
      EqualsNoCase(charset, "ASCII"))
    return ECodePage::Windows1252;
  return std::nullopt;
}

// What one pass over a value finds: whether it is all ASCII, and whether it holds a backslash
// or a line break that unescaping would change. Eight bytes at a time.
struct SValueScan {
  bool ascii;
  bool escapes;
};

SValueScan ScanValue(std::string_view s) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
  std::uint64_t high = 0, special = 0;
  size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, s.data() + i, 8);
    const std::uint64_t bs = w ^ (kOnes * '\\'), lf = w ^ (kOnes * '\n'), cr = w ^ (kOnes * '\r');
    high |= w;
    // A byte equal to one of the three makes its lane zero; a zero lane sets its high bit
    // here, and no word without one sets any.
    special |= ((bs - kOnes) & ~bs) | ((lf - kOnes) & ~lf) | ((cr - kOnes) & ~cr);
  }
  bool ascii = (high & kHigh) == 0;
  bool escapes = (special & kHigh) != 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    escapes = escapes || c == '\\' || c == '\r' || c == '\n';
  }
  return {ascii, escapes};
}

// Backslash escapes of a component: \n and \N a line break (CR LF in the record), \, \; \\ \:
// and the \" some webmail writes the character itself; any other backslash is kept. A bare line
// break becomes CR LF too.
std::string_view Unescape(std::string_view in, std::string& out) {
  // Most values hold none of the three: look for them eight bytes at a time.
  constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
  size_t i = 0;
  for (; i + 8 <= in.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, in.data() + i, 8);
    const std::uint64_t bs = w ^ (kOnes * '\\'), lf = w ^ (kOnes * '\n'), cr = w ^ (kOnes * '\r');
    if (((bs - kOnes) & ~bs & kHigh) | ((lf - kOnes) & ~lf & kHigh) | ((cr - kOnes) & ~cr & kHigh))
      break;
  }
  while (i < in.size() && in[i] != '\\' && in[i] != '\r' && in[i] != '\n') ++i;
  if (i == in.size()) return in;
  out.assign(in.substr(0, i));
  // The text between two escapes is appended whole.
  size_t run = i;
  for (; i < in.size(); ++i) {
    const char c = in[i];
    if (c != '\\' && c != '\r' && c != '\n') continue;
    out.append(in.data() + run, i - run);
    if (c == '\\' && i + 1 < in.size()) {
      const char n = in[i + 1];
      if (n == 'n' || n == 'N') {
        out += "\r\n";
        ++i;
      } else if (n == ',' || n == ';' || n == '\\' || n == ':' || n == '"') {
        out.push_back(n);
        ++i;
      } else {
        out.push_back(c);
      }
    } else if (c == '\r') {
      out += "\r\n";
      if (i + 1 < in.size() && in[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out.push_back(c);
    }
    run = i + 1;
  }
  out.append(in.data() + run, in.size() - run);
  return out;
}

// Splits a value at the separators that are not escaped.
void SplitUnescaped(std::string_view value, char separator, std::vector<std::string_view>& out) {
  out.clear();
  size_t start = 0;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\') {
      ++i;
    } else if (value[i] == separator) {
      out.push_back(value.substr(start, i - start));
      start = i + 1;
    }
  }
  out.push_back(value.substr(start));
}

// A value in a one-line remark entry: its line breaks become ", ".
void AppendOneLine(std::string& out, std::string_view s) {
  size_t run = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\r' && s[i] != '\n') continue;
    out.append(s.data() + run, i - run);
    while (i + 1 < s.size() && (s[i + 1] == '\r' || s[i + 1] == '\n')) ++i;
    out += ", ";
    run = i + 1;
  }
  out.append(s.data() + run, s.size() - run);
}

std::string OneLine(std::string_view s) {
  std::string out;
  AppendOneLine(out, s);
  return out;
}

// Instant messaging handles under their service's name.
constexpr std::pair<std::string_view, std::string_view> kImServices[] = {
    {"AIM", "AIM"},
    {"ICQ", "ICQ"},
    {"MSN", "MSN"},
    {"YAHOO", "Yahoo"},
    {"SKYPE", "Skype"},
    {"SKYPE-USERNAME", "Skype"},
    {"JABBER", "Jabber"},
    {"GTALK", "Google Talk"},
    {"GOOGLE-TALK", "Google Talk"},
    {"QQ", "QQ"},
    {"GADUGADU", "Gadu-Gadu"},
    {"MS-IMADDRESS", ""},
    {"TWITTER", "Twitter"},
    {"GROUPWISE", "GroupWise"},
    {"IRC", "IRC"},
};

// The name of an IM service as the X- properties give it, for IMPP's scheme or service type
// (aim, xmpp, ...), so that the same handle reads the same from either.
std::string ServiceName(std::string_view scheme) {
  for (const auto& [upper, service] : kImServices)
    if (EqualsNoCase(scheme, upper)) return std::string(service);
  if (EqualsNoCase(scheme, "XMPP")) return "Jabber";
  if (EqualsNoCase(scheme, "YMSGR")) return "Yahoo";
  return std::string(scheme);
}

// %20 and the like of a URI.
std::string PercentDecoded(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2])));
      i += 2;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

// urn:uuid:..., mailto:..., http://...: a scheme of letters before a colon.
bool LooksLikeUri(std::string_view s) {
  const size_t colon = s.find(':');
  if (colon == std::string_view::npos || colon < 3) return false;
  for (size_t i = 0; i < colon; ++i) {
    const char c = Upper(s[i]);
    if (!((c >= 'A' && c <= 'Z') || c == '+' || c == '-' || c == '.')) return false;
  }
  return true;
}

// Apple's labels look like _$!<HomePage>!$_; their word is the label.
std::string_view AppleLabel(std::string_view label) {
  if (label.starts_with("_$!<") && label.ends_with(">!$_"))
    return label.substr(4, label.size() - 8);
  return label;
}

// "AssistantPhone" -> "assistant phone", "GRAND_CENTRAL" -> "grand central": a label in the
// remark reads as words.
std::string Words(std::string_view label) {
  std::string out;
  for (size_t i = 0; i < label.size(); ++i) {
    const char c = label[i];
    if (c == '_' || c == '-') {
      if (!out.empty() && out.back() != ' ') out.push_back(' ');
      continue;
    }
    if (c >= 'A' && c <= 'Z' && i > 0 && label[i - 1] >= 'a' && label[i - 1] <= 'z')
      out.push_back(' ');
    out.push_back(Lower(c));
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// A card's lines as gathered: views into the text, or into the arena for lines that were
// unfolded.

struct SRawLine {
  bool inArena;
  size_t offset;
  size_t length;
};

class CForeignVCardReader {
 public:
  // base gives the defaults of a new record. It is made by the caller's thread: a new record
  // asks for the time of day, which the reader's second thread must not.
  CForeignVCardReader(std::string_view text, const SForeignReadHooks& hooks, const CTreeItem& base)
      : m_text(text),
        m_lines(text),
        m_hooks(hooks),
        m_prototype(base),
        m_strUnknown(base.m_strLabel.str()) {
    m_prototype.m_strLabel.clear();
  }

  // Reads every card whose BEGIN line starts from from on and before limit (from must be where
  // a card starts, or 0); the cards are read with all of the text after them in view, just as
  // when the text is read from its start. Returns where the first card at or past limit starts,
  // else the text's size.
  size_t Run(size_t from = 0, size_t limit = std::string_view::npos);

 private:
  // Gathering
  bool NestedCardFollows();
  void ScanAhead(size_t from);
  void GatherCard();
  void GatherProperty(std::string_view first);
  std::string_view Line(const SRawLine& raw) const {
    return raw.inArena ? std::string_view(m_arena).substr(raw.offset, raw.length)
                       : m_text.substr(raw.offset, raw.length);
  }

  // Reading
  void ReadCard();
  void ReadProperty(const SProperty& p, const SParams& params, std::string_view label);
  std::string_view Decode(const SProperty& p, const SParams& params);
  std::string_view Component(size_t i);
  // The whole value unescaped and trimmed; valid until the next call.
  std::string_view Whole() {
    return TrimValue(m_bPlain ? m_value : Unescape(m_value, m_unescaped));
  }
  void Finish();

  // Mapping
  bool Put(EField f, std::string_view text);
  bool Free(EField f) const { return (m_record.get()->*TextMember(f)).empty(); }
  void Remark(std::string_view label, std::string_view value);
  std::string Label(std::string_view what, std::uint32_t flags, std::string_view custom,
                    std::string_view abLabel) const;
  void ReadName();
  void ReadPhone(const SParams& params, std::string_view label);
  void ReadAddress(const SParams& params, std::string_view label);
  void ReadEmailOrWeb(bool web, const SParams& params, std::string_view label);
  void ReadIpPhone(std::string_view address, std::uint32_t flags, std::string_view label);
  void ReadIm(std::string_view service, std::string_view handle);
  void ReadDate(EField f, std::string_view what, const SParams& params);
  void ReadGender(std::string_view value);
  void ReadRelation(std::string_view kind, std::string_view name);
  void ReadCategories();
  void NoteBlob(std::string_view what);
  bool HoldsNothing() const;

  std::string_view m_text;
  CLineScanner m_lines;
  const SForeignReadHooks& m_hooks;
  CTreeItem m_prototype;
  std::string m_strUnknown;  // the label of a new record

  // The card being gathered.
  std::vector<SRawLine> m_cardLines;
  std::string m_arena;
  int m_nVersion = 0;  // 21, 30, 40 or 0 while unknown
  std::vector<std::string> m_agents;
  size_t m_nLeftOut = 0;  // the properties past kMaxCardProperties

  // The look-ahead for nested cards, worked out for a stretch of lines at once: where each of
  // its lines starts, and whether a look-ahead from there finds the closing END line.
  std::vector<size_t> m_aheadStarts;
  std::vector<char> m_aheadCloses;
  std::vector<int> m_aheadNext;

  // The card being read.
  std::unique_ptr<CTreeItem> m_record;
  std::vector<std::pair<std::string_view, std::string_view>> m_abLabels;  // group, label
  std::string m_strNote, m_strExtra, m_strChildren;
  std::vector<std::string> m_categories;
  std::vector<std::string> m_addressLabels;
  bool m_bTavorin = false, m_bLabel = false, m_bName = false, m_bAddress = false;
  std::uint32_t m_blobs = 0;
  int m_nPrefEmail = -1, m_nPrefUrl = -1;
  std::optional<int> m_tavorinGender, m_tavorinEmail, m_tavorinUrl;
  std::optional<std::string> m_tavorinChildren;

  // Scratch space, reused from value to value.
  std::string m_qp, m_converted, m_unescaped;
  std::string_view m_value;  // the value of the property being read, decoded
  bool m_bPlain = false;     // m_value is UTF-8 without escapes or line breaks
  std::vector<std::string_view> m_components;
  std::string m_parts[7];
  std::string m_strRemark;
  // Where each line of m_strExtra starts and ends, by the hash of its text: a line already
  // there is found without reading the remark again.
  std::unordered_multimap<std::uint64_t, std::pair<size_t, size_t>> m_remarkLines;
  CCharsetConverter m_iconv;
};

// ---------------------------------------------------------------------------------------------
// Gathering

size_t CForeignVCardReader::Run(size_t from, size_t limit) {
  std::string_view line;
  size_t lastProgress = 0;
  m_lines.Seek(from);
  while (m_lines.Next(line)) {
    if (!IsBeginLine(line)) continue;  // text outside cards
    const size_t start = static_cast<size_t>(line.data() - m_text.data());
    if (start >= limit) return start;
    GatherCard();
    ReadCard();
    if (m_hooks.onProgress && m_lines.Offset() - lastProgress >= (1u << 20)) {
      lastProgress = m_lines.Offset();
      m_hooks.onProgress(lastProgress);
    }
  }
  return m_text.size();
}

// A BEGIN:VCARD inside a card is a card nested in it (2.1's AGENT) when the outer card's END
// follows, counting the nested cards' BEGIN and END lines; otherwise the outer card lost its END
// line and a new card starts. Nested cards are short, so the look-ahead is bounded to
// kNestedLookAhead lines; and a file of cards that all lack their END must not be read over and
// over, so the answers for a stretch of lines are worked out together (ScanAhead).
constexpr int kNestedLookAhead = 2000;

bool CForeignVCardReader::NestedCardFollows() {
  const size_t from = m_lines.Offset();
  // The stretch answers for the lines of its first half, whose look-ahead lies wholly inside.
  auto at = std::lower_bound(m_aheadStarts.begin(), m_aheadStarts.end(), from);
  if (at == m_aheadStarts.end() || *at != from || at - m_aheadStarts.begin() >= kNestedLookAhead) {
    ScanAhead(from);
    if (m_aheadStarts.empty()) return false;  // the BEGIN line was the text's last
    at = m_aheadStarts.begin();
  }
  return m_aheadCloses[static_cast<size_t>(at - m_aheadStarts.begin())] != 0;
}

// Looks at twice the look-ahead's lines from from on. With b(k) the count of BEGIN lines less
// the END lines before line k of the stretch, a look-ahead from line i (depth 2 before it)
// closes at the first line j at or after i with b(j + 1) = b(i) - 2, the count moving by one a
// line at most; walking from the end back, the nearest later line with each count is known.
void CForeignVCardReader::ScanAhead(size_t from) {
  CLineScanner ahead = m_lines;
  ahead.Seek(from);
  m_aheadStarts.clear();
  std::vector<int> step;
  std::string_view line;
  for (int n = 0; n < 2 * kNestedLookAhead && ahead.Offset() < m_text.size(); ++n) {
    m_aheadStarts.push_back(ahead.Offset());
    ahead.Next(line);
    step.push_back(IsBeginLine(line) ? 1 : IsEndLine(line) ? -1 : 0);
  }
  const int lines = static_cast<int>(step.size());
  std::vector<int> count(static_cast<size_t>(lines) + 1, 0);
  for (int k = 0; k < lines; ++k) count[k + 1] = count[k] + step[k];
  // Counts lie within [-lines, lines]; nearest[c + lines] is the nearest later k with count c.
  m_aheadNext.assign(2 * static_cast<size_t>(lines) + 3, -1);
  m_aheadCloses.assign(static_cast<size_t>(lines), 0);
  for (int k = lines; k >= 0; --k) {
    if (k < lines) {
      const int target = count[k] - 2 + lines;
      const int closes = target >= 0 ? m_aheadNext[static_cast<size_t>(target)] : -1;
      // The look-ahead takes lines k .. k + kNestedLookAhead - 1; closing on line j means
      // count[j + 1] reaches the target.
      m_aheadCloses[static_cast<size_t>(k)] = closes != -1 && closes - k <= kNestedLookAhead;
    }
    m_aheadNext[static_cast<size_t>(count[k] + lines)] = k;
  }
}

void CForeignVCardReader::GatherCard() {
  m_cardLines.clear();
  m_arena.clear();
  m_agents.clear();
  m_nLeftOut = 0;
  m_nVersion = 0;
  int depth = 1;
  std::string agent;
  std::string_view line;
  while (m_lines.Next(line)) {
    if (line.empty()) continue;
    const char c0 = line[0];
    if (c0 == '#') continue;  // a comment line some programs write
    if ((c0 == 'E' || c0 == 'e') && IsEndLine(line)) {
      if (--depth == 0) return;
      if (!agent.empty()) m_agents.push_back(std::move(agent));
      agent.clear();
      continue;
    }
    if ((c0 == 'B' || c0 == 'b') && IsBeginLine(line)) {
      if (depth > 1 || NestedCardFollows()) {
        ++depth;
        continue;
      }
      m_lines.Unread();  // this card had no END line
      return;
    }
    if (depth > 1) {
      // A nested card is summarised by its name.
      SProperty p;
      if (!IsBlank(c0) && SplitLine(line, p) &&
          (EqualsNoCase(p.name, "FN") || (agent.empty() && EqualsNoCase(p.name, "N")))) {
        std::string_view v = TrimValue(p.value);
        agent.clear();
        for (char c : v) agent.push_back(c == ';' ? ' ' : c);
        agent = std::string(TrimValue(agent));
      }
      continue;
    }
    if (IsBlank(c0)) continue;  // a folded line with nothing to fold onto
    GatherProperty(line);
    if (m_cardLines.size() > kMaxCardProperties) {
      m_cardLines.pop_back();
      ++m_nLeftOut;
    }
  }
}

// Takes one property with its folded and soft-broken continuation lines.
void CForeignVCardReader::GatherProperty(std::string_view first) {
  const size_t colon = first.find(':');
  if (colon == std::string_view::npos) return;  // not a property
  const std::string_view head = first.substr(0, colon);
  if (m_nVersion == 0 && EqualsNoCase(TrimValue(head), "VERSION")) {
    const std::string_view v = TrimValue(first.substr(colon + 1));
    m_nVersion = v.starts_with("2") ? 21 : v.starts_with("4") ? 40 : 30;
  }
  bool qp = false, blob = false;
  ScanEncoding(head, qp, blob);

  SRawLine raw{false, static_cast<size_t>(first.data() - m_text.data()), first.size()};
  std::string_view next;
  if (blob) {
    // Base64 runs on over folded lines, or in 2.1 over lines of its own up to a blank line;
    // none of them holds a colon. They are skipped unread.
    while (m_lines.Peek(next) && !next.empty() &&
           (IsBlank(next[0]) || next.find(':') == std::string_view::npos))
      m_lines.Next(next);
    m_cardLines.push_back(raw);
    return;
  }
  if (IsBlobName(head)) {
    // A picture, key or sound by reference (or a data: URI): only its presence is noted, so its
    // folded lines are not joined.
    while (m_lines.Peek(next) && !next.empty() && IsBlank(next[0])) m_lines.Next(next);
    m_cardLines.push_back(raw);
    return;
  }
  auto toArena = [&] {
    if (raw.inArena) return;
    raw.inArena = true;
    raw.offset = m_arena.size();
    m_arena.append(first);
  };
  auto current = [&]() -> std::string_view {
    return raw.inArena ? std::string_view(m_arena).substr(raw.offset) : first;
  };
  while (m_lines.Peek(next)) {
    const std::string_view sofar = current();
    if (qp && sofar.ends_with('=') && !IsEndLine(next) && !IsBeginLine(next)) {
      // A soft line break: the value goes on in the next line, whatever it starts with.
      toArena();
      m_arena.pop_back();
      m_arena.append(next);
    } else if (!next.empty() && IsBlank(next[0])) {
      // Folding: 2.1 keeps the blank, 3.0 and 4.0 take exactly one.
      toArena();
      m_arena.append(m_nVersion == 21 ? next : next.substr(1));
    } else if (m_nVersion == 21 && sofar.ends_with('\\') && !next.empty() &&
               next.find(':') == std::string_view::npos && !IsEndLine(next)) {
      // Some 2.1 writers end a line with a backslash to go on in the next: a line break.
      toArena();
      m_arena.push_back('n');
      m_arena.append(next);
    } else {
      break;
    }
    m_lines.Next(next);
  }
  if (raw.inArena) raw.length = m_arena.size() - raw.offset;
  m_cardLines.push_back(raw);
}

// ---------------------------------------------------------------------------------------------
// Reading

// The value's text as UTF-8: quoted-printable decoded, then kept when it is UTF-8, else read
// in its CHARSET, else in the code page.
std::string_view CForeignVCardReader::Decode(const SProperty& p, const SParams& params) {
  std::string_view v = p.value;
  m_bPlain = false;
  if (!(params.flags & kQuotedPrintable)) {
    // Most values are UTF-8 as they stand, and most of those hold no escape: such a value is
    // used as it is, each byte looked at once for ASCII and escapes together.
    const SValueScan scan = ScanValue(v);
    if (scan.ascii || (!scan.escapes && IsWellFormedUtf8(v))) {
      m_bPlain = !scan.escapes;
      return v;
    }
  } else {
    DecodeQuotedPrintable(v, m_qp);
    v = m_qp;
  }
  if (IsWellFormedUtf8(v)) return v;
  if (EqualsNoCase(params.charset, "UTF-8")) {
    // Said to be UTF-8 and nearly so: only the broken bytes are lost.
    m_converted = Repaired(v);
    return m_converted;
  }
  if (!params.charset.empty()) {
    if (const auto cp = OwnCodePage(params.charset)) {
      m_converted = AnsiToUtf8(v, *cp);
      return m_converted;
    }
    if (m_iconv.Convert(params.charset, v, m_converted)) return m_converted;
  }
  m_converted = AnsiToUtf8(v);
  if (!IsWellFormedUtf8(m_converted)) m_converted = Repaired(m_converted);
  return m_converted;
}

// Component i of the value split last, unescaped and trimmed; valid until the next call.
std::string_view CForeignVCardReader::Component(size_t i) {
  if (i >= m_components.size()) return {};
  return TrimValue(m_bPlain ? m_components[i] : Unescape(m_components[i], m_unescaped));
}

void CForeignVCardReader::ReadCard() {
  m_record = std::make_unique<CTreeItem>(m_prototype);
  m_abLabels.clear();
  m_strNote.clear();
  m_strExtra.clear();
  m_remarkLines.clear();
  m_strChildren.clear();
  m_categories.clear();
  m_addressLabels.clear();
  m_bTavorin = m_bLabel = m_bName = m_bAddress = false;
  m_blobs = 0;
  m_nPrefEmail = m_nPrefUrl = -1;
  m_tavorinGender.reset();
  m_tavorinEmail.reset();
  m_tavorinUrl.reset();
  m_tavorinChildren.reset();

  // Grouped properties take their labels from an X-ABLabel of the group, which may come
  // before or after them; and a card with any X-TAVORIN- line was written by this program.
  SProperty p;
  for (const SRawLine& raw : m_cardLines) {
    const std::string_view line = Line(raw);
    if (line.size() > 9 && (line[0] == 'X' || line[0] == 'x' || HasGroup(line))) {
      if (!SplitLine(line, p)) continue;
      if (StartsWithNoCase(p.name, "X-TAVORIN-")) m_bTavorin = true;
      if (!p.group.empty() && EqualsNoCase(p.name, "X-ABLABEL"))
        m_abLabels.emplace_back(p.group, TrimValue(p.value));
    }
  }
  for (const SRawLine& raw : m_cardLines) {
    if (!SplitLine(Line(raw), p) || p.name.empty()) continue;
    std::string_view label;
    if (!p.group.empty()) {
      for (const auto& [group, text] : m_abLabels) {
        if (SameNoCase(group, p.group)) {
          label = text;
          break;
        }
      }
    }
    ReadProperty(p, ReadParams(p.params), label);
  }
  for (const std::string& agent : m_agents) Remark("Agent", agent);
  if (m_nLeftOut != 0)
    Remark("Left out", std::to_string(m_nLeftOut) + " more properties (a card holds at most " +
                           std::to_string(kMaxCardProperties) + ")");
  Finish();
}

bool CForeignVCardReader::Put(EField f, std::string_view text) {
  CText& field = m_record.get()->*TextMember(f);
  if (!field.empty()) return false;
  field = text;
  return true;
}

// Labels come from parameters and group labels as the file has them, and a nested card's name
// is not decoded either: whatever is not UTF-8 is read in the code page.
void AppendUtf8Text(std::string& out, std::string_view s) {
  if (IsWellFormedUtf8(s)) {
    AppendOneLine(out, s);
    return;
  }
  std::string converted = AnsiToUtf8(s);
  if (!IsWellFormedUtf8(converted)) converted = Repaired(converted);
  AppendOneLine(out, converted);
}

void CForeignVCardReader::Remark(std::string_view label, std::string_view value) {
  value = TrimValue(value);
  if (value.empty()) return;
  const size_t start = m_strExtra.size();
  if (start > 0) m_strExtra += "\r\n";
  const size_t line = m_strExtra.size();
  AppendUtf8Text(m_strExtra, label);
  m_strExtra += ": ";
  AppendUtf8Text(m_strExtra, value);
  // The same line twice (a handle both as X-AIM and as IMPP) says nothing new.
  const std::string_view added = std::string_view(m_strExtra).substr(line);
  const std::uint64_t hash = std::hash<std::string_view>()(added);
  const auto [first, last] = m_remarkLines.equal_range(hash);
  for (auto it = first; it != last; ++it) {
    if (std::string_view(m_strExtra).substr(it->second.first, it->second.second) == added) {
      m_strExtra.resize(start);
      return;
    }
  }
  m_remarkLines.emplace(hash, std::make_pair(line, added.size()));
}

// "Phone (mobile, work)": what a value is, with its kind in words.
std::string CForeignVCardReader::Label(std::string_view what, std::uint32_t flags,
                                       std::string_view custom, std::string_view abLabel) const {
  std::string words;
  auto add = [&](std::string_view w) {
    if (w.empty()) return;
    if (!words.empty()) words += ", ";
    words += w;
  };
  if (!abLabel.empty()) {
    add(Words(AppleLabel(abLabel)));
  } else {
    if (flags & kCell) add("mobile");
    if (flags & kCar) add("car");
    if (flags & kIphone) add("iPhone");
    if (flags & kMain) add("main");
    if (flags & kFax) add("fax");
    if (flags & kPager) add("pager");
    if (flags & kVideo) add("video");
    if (flags & kIsdn) add("ISDN");
    if (flags & kModem) add("modem");
    if (flags & kBbs) add("BBS");
    if (flags & kMsg) add("messages");
    if (flags & kText) add("text");
    if (flags & kHome) add("home");
    if (flags & kWork) add("work");
    if (flags & kOther) add("other");
    if (!custom.empty())
      add(Words(custom.starts_with("X-") || custom.starts_with("x-") ? custom.substr(2) : custom));
  }
  std::string out(what);
  if (!words.empty()) out += " (" + words + ")";
  return out;
}

// Apple and Google name a value's kind by a group label; the known ones are type words.
std::uint32_t LabelFlags(std::string_view label, bool& known) {
  const std::string_view word = AppleLabel(label);
  known = true;
  if (EqualsNoCase(word, "HOME")) return kHome;
  if (EqualsNoCase(word, "WORK")) return kWork;
  if (EqualsNoCase(word, "MOBILE")) return kCell;
  if (EqualsNoCase(word, "IPHONE")) return kCell;
  if (EqualsNoCase(word, "MAIN")) return kMain;
  if (EqualsNoCase(word, "HOMEFAX")) return kHome | kFax;
  if (EqualsNoCase(word, "WORKFAX")) return kWork | kFax;
  if (EqualsNoCase(word, "PAGER")) return kPager;
  if (EqualsNoCase(word, "HOMEPAGE")) return 0;
  known = false;
  return 0;
}

void CForeignVCardReader::ReadProperty(const SProperty& p, const SParams& paramsIn,
                                       std::string_view label) {
  SParams params = paramsIn;
  if (!label.empty()) {
    bool known = false;
    params.flags |= LabelFlags(label, known);
    if (known) label = {};
  }
  const std::string_view name = p.name;
  const char c0 = Upper(name[0]);

  // Blobs are noted, never decoded.
  if ((c0 == 'P' && EqualsNoCase(name, "PHOTO")) || EqualsNoCase(name, "X-MS-CARDPICTURE")) {
    NoteBlob("Photo");
    return;
  }
  if (c0 == 'L' && EqualsNoCase(name, "LOGO")) return NoteBlob("Logo");
  if (c0 == 'K' && EqualsNoCase(name, "KEY")) return NoteBlob("Key");
  if (c0 == 'S' && EqualsNoCase(name, "SOUND") && !(params.flags & kPhonetic))
    return NoteBlob("Sound");

  const std::string_view value = Decode(p, params);
  m_value = value;
  auto whole = [&]() -> std::string_view { return Whole(); };
  auto split = [&](char separator) { SplitUnescaped(value, separator, m_components); };

  switch (c0) {
    case 'A':
      if (EqualsNoCase(name, "ADR")) return ReadAddress(params, label);
      if (EqualsNoCase(name, "ANNIVERSARY"))
        return ReadDate(fieldAnniversary, "Anniversary", params);
      if (EqualsNoCase(name, "AGENT")) {
        // 3.0 puts the agent's card into the value; its name is what a person needs.
        const std::string_view text = whole();
        const size_t fn = text.find("FN:");
        if (fn != std::string_view::npos) {
          const size_t end = text.find_first_of("\r\n", fn);
          return Remark("Agent",
                        text.substr(fn + 3, end == std::string_view::npos ? std::string_view::npos
                                                                          : end - fn - 3));
        }
        return Remark("Agent", text);
      }
      if (EqualsNoCase(name, "ASSNAME")) return Remark("Assistant", whole());
      break;
    case 'B':
      if (EqualsNoCase(name, "BDAY")) return ReadDate(fieldBirthday, "Birthday", params);
      break;
    case 'C':
      if (EqualsNoCase(name, "CATEGORIES")) {
        split(',');
        return ReadCategories();
      }
      break;
    case 'E':
      if (EqualsNoCase(name, "EMAIL")) {
        split('\x01');
        return ReadEmailOrWeb(false, params, label);
      }
      break;
    case 'F':
      if (EqualsNoCase(name, "FN")) {
        const std::string_view text = whole();
        if (!m_bLabel && !text.empty()) {
          m_record->m_strLabel = text;
          m_bLabel = true;
        }
        return;
      }
      break;
    case 'G':
      if (EqualsNoCase(name, "GENDER")) {
        split(';');
        return ReadGender(Component(0));
      }
      if (EqualsNoCase(name, "GEO")) return Remark("Location", whole());
      break;
    case 'I':
      if (EqualsNoCase(name, "IMPP")) {
        const std::string_view text = whole();
        const size_t colon = text.find(':');
        const std::string_view scheme =
            colon == std::string_view::npos ? "" : text.substr(0, colon);
        if (EqualsNoCase(scheme, "SIP")) return ReadIpPhone(text, params.flags, label);
        const std::string handle =
            PercentDecoded(colon == std::string_view::npos ? text : text.substr(colon + 1));
        return ReadIm(ServiceName(params.serviceType.empty() ? scheme : params.serviceType),
                      handle);
      }
      break;
    case 'L':
      if (EqualsNoCase(name, "LABEL")) {
        m_addressLabels.push_back(Label("Address label", params.flags, params.custom, label) +
                                  ": " + OneLine(whole()));
        return;
      }
      break;
    case 'M':
      if (EqualsNoCase(name, "MANNAME")) return Remark("Manager", whole());
      break;
    case 'N':
      if (EqualsNoCase(name, "N")) {
        if (m_bName) return;
        m_bName = true;
        split(';');
        return ReadName();
      }
      if (EqualsNoCase(name, "NICKNAME")) {
        if (!Put(fieldNickname, whole())) Remark("Nickname", whole());
        return;
      }
      if (EqualsNoCase(name, "NOTE")) {
        const std::string_view text = Unescape(value, m_unescaped);
        if (TrimValue(text).empty()) return;
        if (!m_strNote.empty()) m_strNote += "\r\n";
        m_strNote += text;
        return;
      }
      break;
    case 'O':
      if (EqualsNoCase(name, "OFFICE")) {
        if (!Put(fieldOffice, whole())) Remark("Office", whole());
        return;
      }
      if (EqualsNoCase(name, "ORG")) {
        split(';');
        std::string& company = m_parts[0];
        std::string& department = m_parts[1];
        company = Component(0);
        department.clear();
        for (size_t i = 1; i < m_components.size(); ++i) {
          const std::string_view unit = Component(i);
          if (unit.empty()) continue;
          if (!department.empty()) department += ", ";
          department += unit;
        }
        if (Free(fieldCompany) && Free(fieldDepartment)) {
          Put(fieldCompany, company);
          Put(fieldDepartment, department);
        } else if (!company.empty() || !department.empty()) {
          Remark("Organization",
                 company + (company.empty() || department.empty() ? "" : ", ") + department);
        }
        return;
      }
      break;
    case 'R':
      if (EqualsNoCase(name, "ROLE")) return Remark("Role", whole());
      if (EqualsNoCase(name, "RELATED")) {
        std::string kind = params.flags & kSpouse  ? "spouse"
                           : params.flags & kChild ? "child"
                                                   : Words(params.custom);
        // 4.0 relates by URI unless VALUE=text: a urn:uuid: or mailto: is no name for the field.
        if (!(params.flags & kTextValue) && LooksLikeUri(whole()))
          return Remark(kind.empty() ? std::string("Related") : "Related (" + kind + ")", whole());
        return ReadRelation(kind, whole());
      }
      break;
    case 'S':
      if (EqualsNoCase(name, "SOUND")) {
        // X-IRMC-N: the name as it is spoken, in the components of N.
        split(';');
        std::string& spoken = m_parts[0];
        spoken.clear();
        for (size_t i = 0; i < m_components.size(); ++i) {
          const std::string_view c = Component(i);
          if (c.empty()) continue;
          if (!spoken.empty()) spoken += ' ';
          spoken += c;
        }
        return Remark("Phonetic name", spoken);
      }
      if (EqualsNoCase(name, "SPOUSNAME")) return ReadRelation("spouse", whole());
      break;
    case 'T':
      if (EqualsNoCase(name, "TEL")) return ReadPhone(params, label);
      if (EqualsNoCase(name, "TITLE")) {
        if (!Put(fieldJobTitle, whole())) Remark("Job title", whole());
        return;
      }
      break;
    case 'U':
      if (EqualsNoCase(name, "URL")) {
        split('\x01');
        return ReadEmailOrWeb(true, params, label);
      }
      break;
    case 'X':
      break;
    default:
      return;
  }
  if (c0 != 'X' || name.size() < 3) {
    if (!label.empty() && !p.group.empty()) Remark(AppleLabel(label), whole());
    return;
  }

  // Extensions, without their X-.
  const std::string_view x = name.substr(2);
  if (StartsWithNoCase(x, "TAVORIN-")) {
    const std::string_view t = x.substr(8);
    const std::string_view text = whole();
    if (EqualsNoCase(t, "GENDER"))
      m_tavorinGender = ParseInteger(text);
    else if (EqualsNoCase(t, "EMAIL"))
      m_tavorinEmail = ParseInteger(text);
    else if (EqualsNoCase(t, "URL"))
      m_tavorinUrl = ParseInteger(text);
    else if (EqualsNoCase(t, "GROUP"))
      m_record->m_bGroup = ParseInteger(text) != 0;
    else if (EqualsNoCase(t, "HOME-IPPHONE"))
      m_record->m_strHomeIpPhone = text;
    else if (EqualsNoCase(t, "WORK-IPPHONE"))
      m_record->m_strBusinessIpPhone = text;
    else if (EqualsNoCase(t, "CHILDREN"))
      m_tavorinChildren = std::string(text);
    else if (EqualsNoCase(t, "SPOUSE"))
      m_record->m_strSpouse = text;
    else if (EqualsNoCase(t, "ANNIVERSARY-STRING"))
      m_record->m_strAnniversaryText = text;
    else if (EqualsNoCase(t, "ANNIVERSARY-DATE")) {
      m_record->m_bAnniversary =
          ParseDateValue(text, m_record->m_dtAnniversary, EDateOrder::dayMonthYear);
    } else if (EqualsNoCase(t, "NAMEDAY-DATE")) {
      m_record->m_bNameDay = ParseDateValue(text, m_record->m_dtNameDay, EDateOrder::dayMonthYear);
    }
    return;
  }
  if (EqualsNoCase(x, "ANNIVERSARY") || EqualsNoCase(x, "MS-ANNIVERSARY") ||
      EqualsNoCase(x, "EVOLUTION-ANNIVERSARY") || EqualsNoCase(x, "KADDRESSBOOK-X-ANNIVERSARY"))
    return ReadDate(fieldAnniversary, "Anniversary", params);
  if (EqualsNoCase(x, "ABDATE")) {
    if (EqualsNoCase(AppleLabel(label), "ANNIVERSARY"))
      return ReadDate(fieldAnniversary, "Anniversary", params);
    return Remark(label.empty() ? std::string("Date") : "Date (" + Words(AppleLabel(label)) + ")",
                  whole());
  }
  if (EqualsNoCase(x, "GENDER") || EqualsNoCase(x, "WAB-GENDER")) {
    // Outlook's own gender numbers: 1 female, 2 male.
    const std::string_view text = whole();
    if (EqualsNoCase(x, "WAB-GENDER"))
      return ReadGender(text == "1" ? "F" : text == "2" ? "M" : "");
    return ReadGender(text);
  }
  if (EqualsNoCase(x, "SPOUSE") || EqualsNoCase(x, "MS-SPOUSE") ||
      EqualsNoCase(x, "EVOLUTION-SPOUSE") || EqualsNoCase(x, "KADDRESSBOOK-X-SPOUSESNAME"))
    return ReadRelation("spouse", whole());
  if (EqualsNoCase(x, "CHILDREN") || EqualsNoCase(x, "MS-CHILD") || EqualsNoCase(x, "CHILD"))
    return ReadRelation("child", whole());
  if (EqualsNoCase(x, "ABRELATEDNAMES")) {
    const std::string_view word = AppleLabel(label);
    std::string kind =
        EqualsNoCase(word, "SPOUSE") || EqualsNoCase(word, "HUSBAND") || EqualsNoCase(word, "WIFE")
            ? "spouse"
        : EqualsNoCase(word, "CHILD") || EqualsNoCase(word, "SON") || EqualsNoCase(word, "DAUGHTER")
            ? "child"
            : Words(word);
    return ReadRelation(kind, whole());
  }
  if (EqualsNoCase(x, "MS-MANAGER") || EqualsNoCase(x, "EVOLUTION-MANAGER") ||
      EqualsNoCase(x, "MANAGER") || EqualsNoCase(x, "KADDRESSBOOK-X-MANAGERSNAME"))
    return Remark("Manager", whole());
  if (EqualsNoCase(x, "MS-ASSISTANT") || EqualsNoCase(x, "EVOLUTION-ASSISTANT") ||
      EqualsNoCase(x, "ASSISTANT") || EqualsNoCase(x, "KADDRESSBOOK-X-ASSISTANTSNAME"))
    return Remark("Assistant", whole());
  if (EqualsNoCase(x, "SIP")) return ReadIpPhone(whole(), params.flags, label);
  if (EqualsNoCase(x, "PHONETIC-FIRST-NAME")) return Remark("Phonetic first name", whole());
  if (EqualsNoCase(x, "PHONETIC-MIDDLE-NAME")) return Remark("Phonetic middle name", whole());
  if (EqualsNoCase(x, "PHONETIC-LAST-NAME")) return Remark("Phonetic last name", whole());
  if (EqualsNoCase(x, "MAIDENNAME")) return Remark("Maiden name", whole());
  if (EqualsNoCase(x, "MS-TEL"))
    return Remark(Label("Phone", params.flags, params.custom, {}), whole());

  for (const auto& [upper, service] : kImServices)
    if (EqualsNoCase(x, upper)) return ReadIm(service, whole());
  if (EqualsNoCase(x, "ANDROID-CUSTOM")) {
    // vnd.android.cursor.item/KIND;data;data...
    split(';');
    std::string kind(Component(0));
    const size_t slash = kind.rfind('/');
    if (slash != std::string::npos) kind.erase(0, slash + 1);
    std::string data;
    for (size_t i = 1; i < m_components.size(); ++i) {
      const std::string_view d = Component(i);
      if (d.empty()) continue;
      if (!data.empty()) data += ", ";
      data += d;
    }
    return Remark(Words(kind).empty() ? "Custom" : "Custom (" + Words(kind) + ")", data);
  }
  // A value Apple or Google labelled for the user.
  if (!label.empty() && !p.group.empty() && !EqualsNoCase(x, "ABLABEL") &&
      !EqualsNoCase(x, "ABADR"))
    Remark(AppleLabel(label), whole());
}

void CForeignVCardReader::NoteBlob(std::string_view what) {
  const std::uint32_t bit = what == "Photo" ? 1 : what == "Logo" ? 2 : what == "Key" ? 4 : 8;
  if (m_blobs & bit) return;
  m_blobs |= bit;
  Remark(what, "yes");
}

void CForeignVCardReader::ReadName() {
  static constexpr EField kParts[] = {fieldLastName, fieldFirstName, fieldMiddleName, fieldTitle};
  for (size_t i = 0; i < 4; ++i) Put(kParts[i], Component(i));
  if (m_components.size() > 4) Remark("Name suffix", Component(4));
}

// Where a phone number, e-mail or web address of a kind goes: the fields in the order they are
// tried. A value finding all of them taken goes to the remark.
struct SSlots {
  EField fields[2];
  int count;
};

void CForeignVCardReader::ReadPhone(const SParams& params, std::string_view label) {
  std::string_view number = Whole();
  if (number.empty()) return;
  std::uint32_t flags = params.flags;
  if (StartsWithNoCase(number, "SIP:")) return ReadIpPhone(number, flags, label);
  if (StartsWithNoCase(number, "TEL:")) number.remove_prefix(4);  // 4.0's tel: URI
  auto remarkLabel = [&] { return Label("Phone", flags, params.custom, label); };
  const bool home = flags & kHome, work = flags & kWork;
  const bool mobile = flags & (kCell | kCar | kIphone);
  const bool fax = flags & kFax, pager = flags & kPager;
  const bool voice = flags & (kVoice | kMain);
  // A custom label, "other", or only kinds the record has no field for (video, modem, a
  // vendor's word): the remark says what it is.
  const bool someKind = home || work || mobile || fax || pager || voice;
  if (!label.empty() || ((flags & kOther) && !home && !work) ||
      (!someKind &&
       (!params.custom.empty() || (flags & (kVideo | kIsdn | kModem | kBbs | kMsg | kText)))))
    return Remark(remarkLabel(), number);
  SSlots slots;
  if (fax) {
    slots = work   ? SSlots{{fieldBusinessFax}, 1}
            : home ? SSlots{{fieldHomeFax}, 1}
                   : SSlots{{fieldBusinessFax, fieldHomeFax}, 2};
  } else if (pager) {
    slots = work   ? SSlots{{fieldBusinessPager}, 1}
            : home ? SSlots{{fieldPersonalPager}, 1}
                   : SSlots{{fieldPersonalPager, fieldBusinessPager}, 2};
  } else if (mobile) {
    slots = work   ? SSlots{{fieldBusinessMobile}, 1}
            : home ? SSlots{{fieldPersonalMobile}, 1}
                   : SSlots{{fieldPersonalMobile, fieldBusinessMobile}, 2};
  } else {
    slots = work   ? SSlots{{fieldBusinessPhone}, 1}
            : home ? SSlots{{fieldHomePhone}, 1}
                   : SSlots{{fieldHomePhone, fieldBusinessPhone}, 2};
  }
  for (int i = 0; i < slots.count; ++i)
    if (Put(slots.fields[i], number)) return;
  Remark(remarkLabel(), number);
}

void CForeignVCardReader::ReadIpPhone(std::string_view address, std::uint32_t flags,
                                      std::string_view label) {
  std::string text(TrimValue(address));
  if (StartsWithNoCase(text, "SIP:")) text.erase(0, 4);
  if (text.empty()) return;
  const std::string remarkLabel = Label("IP phone", flags & (kHome | kWork), {}, label);
  if (!label.empty()) return Remark(remarkLabel, text);
  if (flags & kWork) {
    if (Put(fieldBusinessIpPhone, text)) return;
  } else if (flags & kHome) {
    if (Put(fieldHomeIpPhone, text)) return;
  } else if (Put(fieldHomeIpPhone, text) || Put(fieldBusinessIpPhone, text)) {
    return;
  }
  Remark(remarkLabel, text);
}

void CForeignVCardReader::ReadIm(std::string_view service, std::string_view handle) {
  handle = TrimValue(handle);
  if (handle.empty()) return;
  Remark(service.empty() ? std::string("IM") : "IM (" + std::string(service) + ")", handle);
}

void CForeignVCardReader::ReadEmailOrWeb(bool web, const SParams& params, std::string_view label) {
  const std::string_view text = Whole();
  if (text.empty()) return;
  const std::uint32_t flags = params.flags;
  const EField personal = web ? fieldPersonalWeb : fieldPersonalEmail;
  const EField business = web ? fieldBusinessWeb : fieldBusinessEmail;
  const bool work = (flags & kWork) && !(flags & kHome);
  const EField order[2] = {work ? business : personal, work ? personal : business};
  for (EField f : order) {
    if (Put(f, text)) {
      int& pref = web ? m_nPrefUrl : m_nPrefEmail;
      if ((flags & kPref) && pref < 0) pref = f == personal ? 0 : 1;
      return;
    }
  }
  Remark(Label(web ? "Web" : "E-mail", flags, params.custom, label), text);
}

void CForeignVCardReader::ReadAddress(const SParams& params, std::string_view label) {
  SplitUnescaped(m_value, ';', m_components);
  std::string* part = m_parts;
  bool any = false;
  for (size_t i = 0; i < 7; ++i) {
    part[i] = Component(i);
    any = any || !part[i].empty();
  }
  // Anything after the country, as some writers leave it.
  for (size_t i = 7; i < m_components.size(); ++i) {
    const std::string_view more = Component(i);
    if (more.empty()) continue;
    if (!part[6].empty()) part[6] += ", ";
    part[6] += more;
    any = true;
  }
  if (!any) return;
  m_bAddress = true;
  auto join = [](std::initializer_list<const std::string*> pieces) {
    std::string out;
    for (const std::string* s : pieces) {
      if (s->empty()) continue;
      if (!out.empty()) out += "\r\n";
      out += *s;
    }
    return out;
  };
  const std::uint32_t flags = params.flags;
  const bool home = flags & kHome, work = flags & kWork;
  const bool custom = !label.empty() || ((flags & kOther) && !home && !work) ||
                      (!params.custom.empty() && !home && !work);
  static constexpr EField kHomeFields[] = {fieldHomeStreet, fieldHomeCity, fieldHomeState,
                                           fieldHomePostalCode, fieldHomeCountry};
  static constexpr EField kWorkFields[] = {
      fieldOffice,        fieldBusinessStreet,     fieldBusinessCity,
      fieldBusinessState, fieldBusinessPostalCode, fieldBusinessCountry};
  auto homeFree = [&] {
    for (EField f : kHomeFields)
      if (!Free(f)) return false;
    return true;
  };
  auto workFree = [&] {
    for (EField f : kWorkFields)
      if (!Free(f)) return false;
    return true;
  };
  const bool toWork = work ? workFree() : !home && !homeFree() && workFree();
  const bool toHome = !work && homeFree() && !toWork;
  if (!custom && toHome) {
    Put(fieldHomeStreet, join({&part[0], &part[1], &part[2]}));
    for (size_t i = 1; i < 5; ++i) Put(kHomeFields[i], part[i + 2]);
    return;
  }
  if (!custom && toWork) {
    Put(fieldOffice, part[1]);
    Put(fieldBusinessStreet, join({&part[0], &part[2]}));
    for (size_t i = 2; i < 6; ++i) Put(kWorkFields[i], part[i + 1]);
    return;
  }
  std::string text;
  for (size_t i = 0; i < 7; ++i) {
    const std::string& s = part[i];
    if (s.empty()) continue;
    if (!text.empty()) text += ", ";
    text += s;
  }
  Remark(Label("Address", flags & ~kPref, params.custom, label), text);
}

// A date in any of the forms address books write: 1980-03-22, 19800322, either with a time,
// 22.3.1980; --0322 and --03-22 have no year.
void CForeignVCardReader::ReadDate(EField f, std::string_view what, const SParams& params) {
  const std::string_view text = Whole();
  if (text.empty()) return;
  const SRecordField& field = RecordField(f);
  CDateTime date;
  if (text.starts_with("--") && !text.starts_with("---")) {
    const std::string_view md = text.substr(2);
    int month = -1, day = -1;
    if (md.size() >= 4 && HexDigit(md[0]) >= 0 && md[0] <= '9' && md[1] <= '9') {
      const size_t dayAt = md[2] == '-' ? 3 : 2;
      if (md.size() >= dayAt + 2) {
        month = (md[0] - '0') * 10 + (md[1] - '0');
        day = (md[dayAt] - '0') * 10 + (md[dayAt + 1] - '0');
      }
    }
    if (month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(2000, month)) {
      char buffer[16];
      std::snprintf(buffer, sizeof buffer, "--%02d-%02d", month, day);
      return Remark(what, buffer);
    }
    return Remark(what, text);
  }
  if (!ParseDateValue(text, date, EDateOrder::dayMonthYear)) return Remark(what, text);
  int year = 0, month = 0, day = 0;
  if (!params.omitYear.empty() && date.GetDate(year, month, day) &&
      ParseInteger(params.omitYear) == year) {
    // Apple marks a date without a year by a year of its own choosing.
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "--%02d-%02d", month, day);
    return Remark(what, buffer);
  }
  int& flag = m_record.get()->*field.pNumber;
  CDateTime& stored = m_record.get()->*field.pDate;
  if (!flag) {
    stored = date;
    flag = 1;
  } else if (!(stored == date)) {
    Remark(what, text);
  }
}

void CForeignVCardReader::ReadGender(std::string_view value) {
  const std::string word = LowerCase(TrimValue(value));
  if (word.empty()) return;
  static constexpr std::string_view kMale[] = {"m",        "male",      "man", "mann",
                                               "männlich", "maennlich", "muž", "mužský",
                                               "masculin", "mężczyzna", "he"};
  static constexpr std::string_view kFemale[] = {"f",       "female",   "woman", "w",
                                                 "frau",    "weiblich", "žena",  "ženský",
                                                 "féminin", "kobieta",  "she"};
  static constexpr std::string_view kNone[] = {"o", "n", "u", "other", "none", "unknown"};
  int gender = -1;
  for (std::string_view m : kMale)
    if (word == m) gender = 1;
  for (std::string_view w : kFemale)
    if (word == w) gender = 2;
  for (std::string_view n : kNone)
    if (word == n) return;
  if (gender < 0) return Remark("Gender", value);
  if (m_record->m_nGender == 0) m_record->m_nGender = gender;
}

void CForeignVCardReader::ReadRelation(std::string_view kind, std::string_view name) {
  const std::string text(TrimValue(name));
  if (text.empty()) return;
  if ((kind == "spouse" || kind == "partner") && Put(fieldSpouse, text)) return;
  if (kind == "child") {
    if (!m_strChildren.empty()) m_strChildren += ", ";
    m_strChildren += text;
    return;
  }
  Remark(kind.empty() ? std::string("Related") : "Related (" + std::string(kind) + ")", text);
}

void CForeignVCardReader::ReadCategories() {
  for (size_t i = 0; i < m_components.size(); ++i) {
    const std::string_view c = Component(i);
    if (!c.empty()) m_categories.emplace_back(c);
  }
}

void CForeignVCardReader::Finish() {
  CTreeItem& r = *m_record;
  if (m_tavorinChildren)
    r.m_strChildren = *m_tavorinChildren;
  else if (!m_strChildren.empty())
    r.m_strChildren = m_strChildren;
  if (m_tavorinGender)
    r.m_nGender = *m_tavorinGender >= 0 && *m_tavorinGender <= 2 ? *m_tavorinGender : 0;
  r.m_nPrefEmail = m_tavorinEmail
                       ? (*m_tavorinEmail == 0 || *m_tavorinEmail == 1 ? *m_tavorinEmail : -1)
                       : m_nPrefEmail;
  r.m_nPrefUrl =
      m_tavorinUrl ? (*m_tavorinUrl == 0 || *m_tavorinUrl == 1 ? *m_tavorinUrl : -1) : m_nPrefUrl;
  if (!m_bAddress)
    for (const std::string& label : m_addressLabels) {
      if (!m_strExtra.empty()) m_strExtra += "\r\n";
      const size_t line = m_strExtra.size();
      AppendUtf8Text(m_strExtra, label);
      const std::string_view added = std::string_view(m_strExtra).substr(line);
      m_remarkLines.emplace(std::hash<std::string_view>()(added),
                            std::make_pair(line, added.size()));
    }

  SForeignContact contact;
  if (m_bTavorin) {
    contact.groupPath = std::move(m_categories);
    m_categories.clear();
  } else if (!m_categories.empty()) {
    std::string& list = m_parts[0];
    list.clear();
    for (const std::string& c : m_categories) {
      if (!list.empty()) list += ", ";
      list += c;
    }
    Remark("Categories", list);
  }

  if (!m_bLabel) {
    std::string name;
    for (const CText* part : {&r.m_strFirstName, &r.m_strMiddleName, &r.m_strLastName}) {
      if (part->empty()) continue;
      if (!name.empty()) name += ' ';
      name += part->view();
    }
    if (name.empty()) name = r.m_strCompany.str();
    if (name.empty()) name = r.m_strPersonalEmail.str();
    if (name.empty()) name = r.m_strBusinessEmail.str();
    // A card with nothing to name it by gets the label of a new record.
    r.m_strLabel = name.empty() ? m_strUnknown : name;
  }

  const std::string_view note = TrimValue(m_strNote);
  if (!note.empty() || !m_strExtra.empty()) {
    m_strRemark.assign(note);
    if (!m_strRemark.empty() && !m_strExtra.empty()) m_strRemark += "\r\n";
    m_strRemark += m_strExtra;
    r.m_strRemark = m_strRemark;
  }
  if (m_hooks.onEmptyCard && !m_bLabel && contact.groupPath.empty() && HoldsNothing()) {
    m_record.reset();
    return m_hooks.onEmptyCard();
  }
  contact.pRecord = std::move(m_record);
  if (m_hooks.onContact) m_hooks.onContact(std::move(contact));
}

// True when the record read is a new record and nothing more: every field as the prototype has
// it, the label the one a new record gets.
bool CForeignVCardReader::HoldsNothing() const {
  const CTreeItem& r = *m_record;
  if (r.m_strLabel.view() != m_strUnknown) return false;
  for (const SFieldInfo& f : FieldList()) {
    if (f.field == fieldLabel) continue;
    switch (f.kind) {
      case EFieldKind::text:
        if ((r.*f.pText).view() != (m_prototype.*f.pText).view()) return false;
        break;
      case EFieldKind::integer:
      case EFieldKind::groupFlag:
        if (r.*f.pNumber != m_prototype.*f.pNumber) return false;
        break;
      case EFieldKind::date:
        if (r.*f.pNumber != m_prototype.*f.pNumber) return false;
        if (IsDateSet(r.*f.pNumber, r.*f.pDate)) return false;
        break;
    }
  }
  return true;
}

// Files this long are read by two threads.
constexpr size_t kTwoReadersFrom = 4u << 20;

// A long file is cut into this many pieces, which two threads take one after the other: a
// thread slowed down meanwhile reads fewer of them, instead of holding up the end.
constexpr size_t kPieces = 12;

// The first BEGIN line from from on, found without reading what comes before: where a card
// starts unless a card is open around it, which only the reading of what comes before can tell.
// A line starts after a run of CR and LF bytes, however the scanner splits that run into line
// ends.
size_t CutGuess(std::string_view text, size_t from) {
  auto isBreak = [&text](size_t i) { return text[i] == '\r' || text[i] == '\n'; };
  size_t p = from;
  if (p > 0 && !isBreak(p - 1)) p = text.find_first_of("\r\n", p);
  while (p != std::string_view::npos) {
    while (p < text.size() && isBreak(p)) ++p;
    if (p >= text.size()) return std::string_view::npos;
    const size_t end = text.find_first_of("\r\n", p);
    if (IsBeginLine(text.substr(p, end == std::string_view::npos ? end : end - p))) return p;
    p = end;
  }
  return std::string_view::npos;
}

// Where the pieces of a long text start: 0, then the guessed card starts nearest after equal
// steps through it (fewer when guesses coincide); just 0 for a short text.
std::vector<size_t> PieceStarts(std::string_view text) {
  std::vector<size_t> starts{0};
  if (text.size() < kTwoReadersFrom) return starts;
  for (size_t k = 1; k < kPieces; ++k) {
    const size_t guess = CutGuess(text, text.size() / kPieces * k);
    if (guess == std::string_view::npos) break;
    if (guess > starts.back()) starts.push_back(guess);
  }
  return starts;
}

// A thread's first allocations come from a heap of its own that the C library grows a page at
// a time, one mprotect call each: the records of half a large file would cost some ten thousand
// of them. Taking and giving back the room they will need in large blocks at once (each below
// the size that would be mapped on its own) grows the heap in a few hundred steps; the room given
// back stays reserved for the records that follow. A later reading thread takes over the heap
// of one that ended, grown already: the heap is prepared only for more than it was before, as
// taking blocks out of a heap full of freed records costs more than it saves.
void PrepareThreadHeap(size_t bytes) {
  static std::atomic<size_t> prepared{0};
  if (bytes <= prepared.load(std::memory_order_relaxed)) return;
  prepared.store(bytes, std::memory_order_relaxed);
  constexpr size_t kBlock = 120u << 10;
  std::vector<void*> blocks;
  blocks.reserve(bytes / kBlock + 1);
  for (size_t taken = 0; taken < bytes; taken += kBlock) {
    void* p = std::malloc(kBlock);
    if (!p) break;
    blocks.push_back(p);
  }
  // In the order taken, so that each joins the free room before it and only the last reaches
  // the heap's top.
  for (void* p : blocks) std::free(p);
}

}  // namespace

void ReadForeignVCards(std::string_view bytes, const SForeignReadHooks& hooks) {
  std::string storage;
  const std::string_view text = TextOf(bytes, storage);
  // Offsets in the text read (UTF-8 when the file was UTF-16) are reported as offsets of the
  // file.
  SForeignReadHooks own;
  own.onContact = hooks.onContact;
  own.onEmptyCard = hooks.onEmptyCard;
  if (hooks.onProgress)
    own.onProgress = [&](size_t done) {
      hooks.onProgress(text.empty() ? bytes.size()
                                    : static_cast<size_t>(static_cast<double>(done) /
                                                          static_cast<double>(text.size()) *
                                                          static_cast<double>(bytes.size())));
    };

  const CTreeItem base;
  const std::vector<size_t> starts = PieceStarts(text);
  if (starts.size() == 1) {
    CForeignVCardReader(text, own, base).Run();
  } else {
    // A long file is read in pieces by this thread and a second one, each taking the next piece
    // not taken yet. Each piece is read from its guessed start up to the first card that starts
    // at or past the next piece's start; a guess is right when the piece before ends exactly
    // there. This thread hands out the contacts piece by piece in the file's order as soon as
    // they are read, and reads again what follows a wrong guess (a nested card's BEGIN line, or
    // one in a folded or soft-broken value), from where the piece before really ended.
    // An empty card is kept in its place among the contacts as one without a record.
    struct SPiece {
      std::vector<SForeignContact> contacts;
      size_t end = 0;
      std::atomic<bool> done{false};
    };
    const size_t count = starts.size();
    auto limitOf = [&](size_t k) { return k + 1 < count ? starts[k + 1] : text.size(); };
    std::unique_ptr<SPiece[]> pieces(new SPiece[count]);
    std::atomic<size_t> next{0};
    std::exception_ptr failure;
    auto readPiece = [&](size_t k) {
      SForeignReadHooks collect;
      std::vector<SForeignContact>& out = pieces[k].contacts;
      collect.onContact = [&out](SForeignContact&& c) { out.push_back(std::move(c)); };
      if (own.onEmptyCard) collect.onEmptyCard = [&out] { out.emplace_back(); };
      pieces[k].end = CForeignVCardReader(text, collect, base).Run(starts[k], limitOf(k));
      pieces[k].done.store(true, std::memory_order_release);
    };
    auto readPieces = [&] {
      try {
        // The records take about twice the bytes of the cards they come from, and the thread
        // reads about half of them (at most one heap's worth is prepared).
        PrepareThreadHeap(std::min<size_t>(text.size(), 56u << 20));
        for (size_t k; (k = next.fetch_add(1)) < count;) readPiece(k);
      } catch (...) {
        failure = std::current_exception();
      }
    };
    std::thread second(readPieces);
    size_t delivered = 0, reached = 0;
    // Hands out the pieces read so far that follow the ones handed out, in order; all of them
    // once wait is set.
    auto deliver = [&](bool wait) {
      for (; delivered < count; ++delivered) {
        SPiece& piece = pieces[delivered];
        if (!wait && !piece.done.load(std::memory_order_acquire)) return;
        if (starts[delivered] == reached) {
          for (SForeignContact& c : piece.contacts) {
            if (!c.pRecord && own.onEmptyCard)
              own.onEmptyCard();
            else if (own.onContact)
              own.onContact(std::move(c));
          }
          reached = piece.end;
        } else if (reached < limitOf(delivered)) {
          reached = CForeignVCardReader(text, own, base).Run(reached, limitOf(delivered));
        }
        std::vector<SForeignContact>().swap(piece.contacts);
        if (own.onProgress) own.onProgress(std::max(reached, limitOf(delivered)));
      }
    };
    try {
      for (size_t k; (k = next.fetch_add(1)) < count;) {
        readPiece(k);
        deliver(false);
      }
    } catch (...) {
      next = count;
      second.join();
      throw;
    }
    second.join();
    if (failure) std::rethrow_exception(failure);
    deliver(true);
  }
  if (own.onProgress) own.onProgress(text.size());
}

bool LooksLikeVCardFile(std::string_view bytes) {
  std::string storage;
  CLineScanner lines(TextOf(bytes.substr(0, 4096), storage));
  std::string_view line;
  int seen = 0;
  while (seen < 5 && lines.Next(line)) {
    if (TrimValue(line).empty()) continue;
    if (IsBeginLine(line)) return true;
    ++seen;
  }
  return false;
}

}  // namespace zorvan
