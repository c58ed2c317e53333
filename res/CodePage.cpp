#include "res/CodePage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "res/CodePageTables.h"

namespace zorvan {
namespace {

ECodePage g_active = ECodePage::Windows1250;

struct CodePageMaps {
  std::array<char32_t, 256> toChar{};
  std::unordered_map<char32_t, unsigned char> toByte;
  // The byte of each character below U+0800 (the Latin, Greek and Cyrillic letters a code page
  // is mostly made of) plus one, 0 for none: looked up without hashing.
  std::array<std::uint16_t, 0x800> lowToByte{};
  const unsigned char* lower = nullptr;
  // Each byte's character in UTF-8: its length, then its one to three bytes.
  std::array<std::array<char, 4>, 256> toUtf8{};

  // The byte of c, or -1 when the code page has none.
  int ByteOf(char32_t c) const {
    if (c < lowToByte.size()) return static_cast<int>(lowToByte[c]) - 1;
    const auto it = toByte.find(c);
    return it == toByte.end() ? -1 : it->second;
  }
};

CodePageMaps MakeMaps(const char16_t* high, const unsigned char* lower) {
  CodePageMaps m;
  for (int b = 0; b < 256; ++b) {
    m.toChar[b] = b < 128 ? static_cast<char32_t>(b) : static_cast<char32_t>(high[b - 128]);
    const auto [it, added] = m.toByte.emplace(m.toChar[b], static_cast<unsigned char>(b));
    if (added && m.toChar[b] < m.lowToByte.size())
      m.lowToByte[m.toChar[b]] = static_cast<std::uint16_t>(b + 1);
    std::string utf8;
    AppendUtf8(utf8, m.toChar[b]);
    m.toUtf8[b][0] = static_cast<char>(utf8.size());
    std::copy(utf8.begin(), utf8.end(), m.toUtf8[b].begin() + 1);
  }
  m.lower = lower;
  return m;
}

const CodePageMaps& Maps(ECodePage cp) {
  static const CodePageMaps k1250 =
      MakeMaps(codepage_tables::k1250High, codepage_tables::k1250Lower);
  static const CodePageMaps k1252 =
      MakeMaps(codepage_tables::k1252High, codepage_tables::k1252Lower);
  return cp == ECodePage::Windows1252 ? k1252 : k1250;
}

// Decodes the character at pos into c and moves pos past it. False, pos unchanged, for bytes
// that are no character: a stray continuation byte, a cut or overlong sequence, a surrogate or
// a code beyond U+10FFFF.
bool DecodeWellFormed(std::string_view s, size_t& pos, char32_t& c) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  if (b0 < 0x80) {
    c = b0;
    ++pos;
    return true;
  }
  size_t len = 0;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2;
    c = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3;
    c = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4;
    c = b0 & 0x07;
  } else {
    return false;
  }
  if (len > s.size() - pos) return false;
  for (size_t i = 1; i < len; ++i) {
    const auto b = static_cast<unsigned char>(s[pos + i]);
    if (!IsUtf8Continuation(s[pos + i])) return false;
    c = (c << 6) | (b & 0x3F);
  }
  static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kMin[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
  pos += len;
  return true;
}

}  // namespace

ECodePage ActiveCodePage() { return g_active; }
void SetActiveCodePage(ECodePage cp) { g_active = cp; }

char32_t DecodeUtf8(std::string_view s, size_t& pos) {
  char32_t c;
  if (DecodeWellFormed(s, pos, c)) return c;
  ++pos;
  return 0xFFFD;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendAnsiAsUtf8(std::string& out, std::string_view ansi, ECodePage cp) {
  const CodePageMaps& m = Maps(cp);
  // No character of a code page takes more than three bytes in UTF-8.
  size_t w = out.size();
  out.resize(w + 3 * ansi.size());
  char* o = out.data();
  for (unsigned char b : ansi) {
    if (b < 0x80) {
      o[w++] = static_cast<char>(b);
      continue;
    }
    const std::array<char, 4>& c = m.toUtf8[b];
    std::memcpy(o + w, c.data() + 1, 3);
    w += static_cast<size_t>(c[0]);
  }
  out.resize(w);
}

std::string AnsiToUtf8(std::string_view ansi, ECodePage cp) {
  if (IsAscii(ansi)) return std::string(ansi);
  std::string out;
  AppendAnsiAsUtf8(out, ansi, cp);
  return out;
}

void AppendAnsiAsUtf8(std::string& out, std::string_view ansi) {
  AppendAnsiAsUtf8(out, ansi, g_active);
}

std::string AnsiToUtf8(std::string_view ansi) { return AnsiToUtf8(ansi, g_active); }

namespace {

size_t Utf8ToAnsiInto(std::string_view utf8, char* out, ECodePage cp, size_t& lost) {
  const CodePageMaps& m = Maps(cp);
  // One byte per character: never more bytes than the UTF-8 had.
  char* o = out;
  lost = 0;
  for (size_t pos = 0; pos < utf8.size();) {
    // ASCII eight bytes at a time, up to the first byte that is not (the lowest lane flagged);
    // a word is copied whole, as the room holds as many bytes as the UTF-8 had.
    while (utf8.size() - pos >= 8) {
      std::uint64_t w;
      std::memcpy(&w, utf8.data() + pos, 8);
      std::memcpy(o, &w, 8);
      const std::uint64_t high = w & 0x8080808080808080ull;
      const size_t ascii = high ? static_cast<size_t>(__builtin_ctzll(high)) / 8 : 8;
      o += ascii;
      pos += ascii;
      if (ascii < 8) break;
    }
    if (pos >= utf8.size()) break;
    if (static_cast<unsigned char>(utf8[pos]) < 0x80) {
      *o++ = utf8[pos++];
      continue;
    }
    char32_t c;
    const auto b0 = static_cast<unsigned char>(utf8[pos]);
    if (b0 >= 0xC2 && b0 <= 0xDF && utf8.size() - pos >= 2 && IsUtf8Continuation(utf8[pos + 1])) {
      // Two bytes, as the letters of either code page beyond ASCII take: decoded here.
      c = static_cast<char32_t>((b0 & 0x1F) << 6 |
                                (static_cast<unsigned char>(utf8[pos + 1]) & 0x3F));
      pos += 2;
    } else {
      c = DecodeUtf8(utf8, pos);
    }
    const int b = m.ByteOf(c);
    lost += b < 0;
    *o++ = b < 0 ? '?' : static_cast<char>(b);
  }
  return static_cast<size_t>(o - out);
}

}  // namespace

std::string Utf8ToAnsi(std::string_view utf8, ECodePage cp) {
  if (IsAscii(utf8)) return std::string(utf8);
  std::string out(utf8.size(), '\0');
  size_t lost = 0;
  out.resize(Utf8ToAnsiInto(utf8, out.data(), cp, lost));
  return out;
}

size_t Utf8ToAnsiInto(std::string_view utf8, char* out, size_t& lost) {
  return Utf8ToAnsiInto(utf8, out, g_active, lost);
}

std::string Utf8ToAnsi(std::string_view utf8) { return Utf8ToAnsi(utf8, g_active); }

bool FitsCodePage(std::string_view utf8, ECodePage cp) {
  if (IsAscii(utf8)) return true;
  const CodePageMaps& m = Maps(cp);
  // Malformed input decodes to U+FFFD, which no code page holds.
  for (size_t pos = 0; pos < utf8.size();)
    if (m.ByteOf(DecodeUtf8(utf8, pos)) < 0) return false;
  return true;
}

std::string LowerCase(std::string_view utf8, ECodePage cp) {
  const CodePageMaps& m = Maps(cp);
  std::string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) {
    const size_t start = pos;
    const int b = m.ByteOf(DecodeUtf8(utf8, pos));
    if (b < 0) {
      out.append(utf8.substr(start, pos - start));
      continue;
    }
    AppendUtf8(out, m.toChar[m.lower[b]]);
  }
  return out;
}

std::string LowerCase(std::string_view utf8) { return LowerCase(utf8, g_active); }

// A byte-order mark, or else the zero bytes that ASCII text has in every other byte.
EUtf16 Utf16Order(std::string_view bytes) {
  if (bytes.size() >= 2) {
    const auto b0 = static_cast<unsigned char>(bytes[0]), b1 = static_cast<unsigned char>(bytes[1]);
    if (b0 == 0xFF && b1 == 0xFE) return EUtf16::littleEndian;
    if (b0 == 0xFE && b1 == 0xFF) return EUtf16::bigEndian;
  }
  const size_t n = std::min<size_t>(bytes.size() & ~size_t{1}, 256);
  if (n < 4) return EUtf16::none;
  size_t evenZeros = 0, oddZeros = 0;
  for (size_t i = 0; i < n; i += 2) {
    evenZeros += bytes[i] == 0;
    oddZeros += bytes[i + 1] == 0;
  }
  const size_t pairs = n / 2;
  if (evenZeros * 2 > pairs && oddZeros * 8 < pairs) return EUtf16::bigEndian;
  if (oddZeros * 2 > pairs && evenZeros * 8 < pairs) return EUtf16::littleEndian;
  return EUtf16::none;
}

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD, an odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  size_t i = 0;
  auto unit = [&](size_t at) -> char16_t {
    const auto a = static_cast<unsigned char>(bytes[at]),
               b = static_cast<unsigned char>(bytes[at + 1]);
    return static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
  };
  if (bytes.size() >= 2 && unit(0) == 0xFEFF) i = 2;
  for (; i + 1 < bytes.size(); i += 2) {
    char32_t c = unit(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size()) {
      const char16_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      } else {
        c = 0xFFFD;
      }
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

bool IsWellFormedUtf8(std::string_view s) {
  size_t pos = 0;
  while (pos < s.size()) {
    // Eight ASCII bytes at a time: the common case of every file.
    while (s.size() - pos >= 8) {
      std::uint64_t w;
      std::memcpy(&w, s.data() + pos, 8);
      if (const std::uint64_t high = w & 0x8080808080808080ull) {
        // On to the first byte that is not ASCII (the lowest lane flagged).
        pos += static_cast<size_t>(__builtin_ctzll(high)) / 8;
        break;
      }
      pos += 8;
    }
    if (pos >= s.size()) break;
    const auto b0 = static_cast<unsigned char>(s[pos]);
    if (b0 < 0x80) {
      ++pos;
      continue;
    }
    // A letter of the Latin, Greek or Cyrillic alphabets takes two bytes: a lead of C2-DF
    // (never overlong) and a continuation byte.
    if (b0 >= 0xC2 && b0 <= 0xDF && s.size() - pos >= 2 && IsUtf8Continuation(s[pos + 1])) {
      pos += 2;
      continue;
    }
    char32_t c;
    if (!DecodeWellFormed(s, pos, c)) return false;
  }
  return true;
}

// UTF-8 length and repair.
size_t Utf8SequenceLength(std::string_view s, size_t pos) {
  size_t end = pos;
  char32_t c;
  return DecodeWellFormed(s, end, c) ? end - pos : 0;
}

void AppendRepairedUtf8(std::string& out, std::string_view s) {
  size_t pos = 0;
  while (pos < s.size()) {
    const size_t length = Utf8SequenceLength(s, pos);
    if (length == 0) {
      out += "\xEF\xBF\xBD";  // U+FFFD
      ++pos;
    } else {
      out.append(s, pos, length);
      pos += length;
    }
  }
}

// The start of a file and the repair of its text.

std::string RepairUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  AppendRepairedUtf8(out, s);
  return out;
}

EFileStart DetectFileStart(std::string_view bytes) {
  if (bytes.starts_with(kUtf8ByteOrderMark)) return EFileStart::utf8Mark;
  switch (Utf16Order(bytes)) {
    case EUtf16::littleEndian:
      return EFileStart::utf16LittleEndian;
    case EUtf16::bigEndian:
      return EFileStart::utf16BigEndian;
    case EUtf16::none:
      break;
  }
  return EFileStart::plain;
}

std::string_view TextAfterFileStart(std::string_view bytes, std::string& storage,
                                    EFileStart& start) {
  start = DetectFileStart(bytes);
  switch (start) {
    case EFileStart::utf8Mark:
      return bytes.substr(kUtf8ByteOrderMark.size());
    case EFileStart::utf16LittleEndian:
    case EFileStart::utf16BigEndian:
      storage = Utf16ToUtf8(bytes, start == EFileStart::utf16BigEndian);
      return storage;
    case EFileStart::plain:
      break;
  }
  return bytes;
}

}  // namespace zorvan
