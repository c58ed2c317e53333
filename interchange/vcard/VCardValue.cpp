#include "interchange/vcard/VCardValue.h"

#include <cstdint>
#include <cstring>
#include <optional>

#include "res/CodePage.h"

namespace zorvan {
namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;

// The lanes of a word of eight bytes that hold a backslash, CR or LF: a byte equal to one of
// them makes its lane zero, and a zero lane sets its high bit here (no word without one sets
// any).
std::uint64_t EscapeLanes(std::uint64_t w) {
  const std::uint64_t bs = w ^ (kOnes * '\\'), lf = w ^ (kOnes * '\n'), cr = w ^ (kOnes * '\r');
  return ((bs - kOnes) & ~bs) | ((lf - kOnes) & ~lf) | ((cr - kOnes) & ~cr);
}

constexpr bool IsEscapeByte(char c) { return c == '\\' || c == '\r' || c == '\n'; }

// The two code pages the program knows itself, by the names vCards give them. ISO-8859-1 is read
// as Windows-1252, its superset, as mail programs do: the bytes 0x80-0x9F that differ are
// control characters in ISO-8859-1, which nobody means.
std::optional<ECodePage> OwnCodePage(std::string_view charset) {
  static constexpr std::string_view k1250[] = {"WINDOWS-1250", "CP1250", "X-CP1250"};
  static constexpr std::string_view k1252[] = {
      "WINDOWS-1252", "CP1252", "ISO-8859-1", "ISO8859-1", "LATIN1", "US-ASCII", "ASCII"};
  for (std::string_view name : k1250)
    if (EqualsUpperAscii(charset, name)) return ECodePage::Windows1250;
  for (std::string_view name : k1252)
    if (EqualsUpperAscii(charset, name)) return ECodePage::Windows1252;
  return std::nullopt;
}

// What one pass over a value finds: whether it is all ASCII, and whether it holds a backslash
// or a line break that unescaping would change. Eight bytes at a time.
struct SValueScan {
  bool ascii;
  bool escapes;
};

SValueScan ScanValue(std::string_view s) {
  std::uint64_t high = 0, special = 0;
  size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, s.data() + i, 8);
    high |= w;
    special |= EscapeLanes(w);
  }
  if (i < s.size()) {
    // The last bytes in a word of their own, its other lanes zero: no zero byte is one of the
    // three, and a word that holds none of them flags no lane.
    std::uint64_t w = 0;
    std::memcpy(&w, s.data() + i, s.size() - i);
    high |= w;
    special |= EscapeLanes(w);
  }
  return {(high & kHigh) == 0, (special & kHigh) != 0};
}

// Text that is not UTF-8 read in the active code page; should even that go wrong, every
// malformed byte is U+FFFD.
std::string FromCodePage(std::string_view s) {
  std::string converted = AnsiToUtf8(s);
  if (!IsWellFormedUtf8(converted)) converted = RepairUtf8(converted);
  return converted;
}

}  // namespace

bool CCharsetConverter::Convert(std::string_view charset, std::string_view in, std::string& out) {
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

void CCharsetConverter::Close() {
  if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
  m_cd = reinterpret_cast<iconv_t>(-1);
}

std::string_view CVCardValue::Decode(const SProperty& p, const SParams& params) {
  std::string_view v = p.value;
  m_bPlain = false;
  m_value = v;
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
  m_value = v;
  if (IsWellFormedUtf8(v)) return v;
  if (EqualsUpperAscii(params.charset, "UTF-8")) {
    // Said to be UTF-8 and nearly so: only the broken bytes are lost.
    m_converted = RepairUtf8(v);
  } else {
    std::string_view charset = params.charset;
    if (charset.empty() && m_pUndeclared) charset = m_pUndeclared->Charset();
    if (const auto cp = charset.empty() ? std::nullopt : OwnCodePage(charset))
      m_converted = AnsiToUtf8(v, *cp);
    else if (charset.empty() || !m_iconv.Convert(charset, v, m_converted))
      m_converted = FromCodePage(v);
  }
  m_value = m_converted;
  return m_value;
}

void CVCardValue::JoinComponents(size_t first, std::string_view separator, std::string& out) {
  out.clear();
  for (size_t i = first; i < m_components.size(); ++i) {
    const std::string_view c = Component(i);
    if (c.empty()) continue;
    if (!out.empty()) out += separator;
    out += c;
  }
}

std::string_view CVCardValue::Unescape(std::string_view in, std::string& out) {
  // Most values hold none of the three: look for them eight bytes at a time.
  size_t i = 0;
  for (; i + 8 <= in.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, in.data() + i, 8);
    if (EscapeLanes(w) & kHigh) break;
  }
  while (i < in.size() && !IsEscapeByte(in[i])) ++i;
  if (i == in.size()) return in;
  out.assign(in.substr(0, i));
  // The text between two escapes is appended whole.
  size_t run = i;
  for (; i < in.size(); ++i) {
    const char c = in[i];
    if (!IsEscapeByte(c)) continue;
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

void CVCardValue::SplitUnescaped(std::string_view value, char separator,
                                 std::vector<std::string_view>& out) {
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

void DecodeQuotedPrintable(std::string_view in, std::string& out) {
  out.clear();
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] == '=' && i + 2 < in.size() && HexDigit(in[i + 1]) >= 0 && HexDigit(in[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexDigit(in[i + 1]) * 16 + HexDigit(in[i + 2])));
      i += 2;
    } else if (in[i] == '=' && i + 1 == in.size()) {
      // a soft break at the very end of the value
    } else {
      out.push_back(in[i]);
    }
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = AsciiUpper(c);
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

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

void AppendUtf8Text(std::string& out, std::string_view s) {
  if (IsWellFormedUtf8(s))
    AppendOneLine(out, s);
  else
    AppendOneLine(out, FromCodePage(s));
}

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

bool LooksLikeUri(std::string_view s) {
  const size_t colon = s.find(':');
  if (colon == std::string_view::npos || colon < 3) return false;
  for (size_t i = 0; i < colon; ++i) {
    const char c = AsciiUpper(s[i]);
    if (!((c >= 'A' && c <= 'Z') || c == '+' || c == '-' || c == '.')) return false;
  }
  return true;
}

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
    out.push_back(AsciiLower(c));
  }
  return out;
}

}  // namespace zorvan
