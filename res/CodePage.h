#pragma once

#include <string>
#include <string_view>

namespace zorvan {

// The ANSI code pages that files may be written in. Text inside the program is UTF-8; every file
// (.zvd, .cal, .vcf, .csv) holds single-byte text in one of these.
enum class ECodePage { Windows1250 = 1250, Windows1252 = 1252 };

// The code page used for files from now on (default Windows-1250).
ECodePage ActiveCodePage();
void SetActiveCodePage(ECodePage cp);

// True when s holds only 7-bit characters: the same bytes in UTF-8 and in either code page, so
// they need no conversion. Inline: the database file asks it of every text it reads or writes.
inline bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

// Bytes of a file to UTF-8. Every byte value has its own character, so the conversion is exact.
std::string AnsiToUtf8(std::string_view ansi, ECodePage cp);
std::string AnsiToUtf8(std::string_view ansi);

// UTF-8 to file bytes; a character the code page cannot hold (or malformed UTF-8) becomes '?'.
std::string Utf8ToAnsi(std::string_view utf8, ECodePage cp);
std::string Utf8ToAnsi(std::string_view utf8);

// True when every character of utf8 has a byte in the code page, so that writing it loses
// nothing (malformed UTF-8 does not fit: it would be written as '?').
bool FitsCodePage(std::string_view utf8, ECodePage cp);

// Lower-cases A-Z and the accented capitals of the code page; every other character is kept.
std::string LowerCase(std::string_view utf8, ECodePage cp);
std::string LowerCase(std::string_view utf8);

// Decodes one UTF-8 character at pos (advancing pos); malformed input yields U+FFFD and one byte.
char32_t DecodeUtf8(std::string_view s, size_t& pos);
void AppendUtf8(std::string& out, char32_t c);

// True when s is well-formed UTF-8: shortest forms, no surrogates, nothing above U+10FFFF.
// Quick on ASCII, which it takes eight bytes at a time.
bool IsWellFormedUtf8(std::string_view s);

// The byte order of UTF-16 text: from its byte-order mark, or else from the zero bytes that
// ASCII text has in every other byte (the first 256 bytes are looked at; some programs write
// UTF-16 without a mark). none for any other text.
enum class EUtf16 { none, littleEndian, bigEndian };
EUtf16 Utf16Order(std::string_view bytes);

// UTF-16 to UTF-8, a leading byte-order mark dropped; a lone surrogate becomes U+FFFD and an
// odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

// s with every byte that is not part of a well-formed UTF-8 character replaced by U+FFFD.
std::string RepairedUtf8(std::string_view s);

}  // namespace zorvan
