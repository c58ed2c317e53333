#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
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
// Eight bytes at a time: most texts are ASCII through and through.
inline bool IsAscii(std::string_view s) {
  const char* p = s.data();
  size_t n = s.size();
  std::uint64_t high = 0;
  for (; n >= 8; p += 8, n -= 8) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    high |= w;
  }
  for (; n > 0; ++p, --n) high |= static_cast<unsigned char>(*p);
  return (high & 0x8080808080808080ull) == 0;
}

// Bytes of a file to UTF-8. Every byte value has its own character, so the conversion is exact.
std::string AnsiToUtf8(std::string_view ansi, ECodePage cp);
std::string AnsiToUtf8(std::string_view ansi);
// The same, appended to out: a buffer kept from text to text allocates nothing.
void AppendAnsiAsUtf8(std::string& out, std::string_view ansi, ECodePage cp);
void AppendAnsiAsUtf8(std::string& out, std::string_view ansi);

// UTF-8 to file bytes; a character the code page cannot hold (or malformed UTF-8) becomes '?'.
std::string Utf8ToAnsi(std::string_view utf8, ECodePage cp);
std::string Utf8ToAnsi(std::string_view utf8);
// The same in the active code page into out, which has room for utf8.size() bytes: the bytes
// written. lost counts the characters the code page lacks (and the malformed bytes), each of which
// became a "?".
size_t Utf8ToAnsiInto(std::string_view utf8, char* out, size_t& lost);

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

// Single bytes of UTF-8: the byte-order mark, continuation bytes and C1 controls.
// The UTF-8 byte-order mark, which some programs put before the first line of a text file.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// True for the bytes 80 to BF, which go on a character begun before them: a text cut before one
// is cut inside a character.
constexpr bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// True when a C1 control (U+0080 to U+009F, the two bytes C2 80 to C2 9F) begins at pos; a
// terminal obeys these as it obeys ESC sequences.
constexpr bool IsC1ControlAt(std::string_view s, size_t pos) {
  return pos + 1 < s.size() && static_cast<unsigned char>(s[pos]) == 0xC2 &&
         (static_cast<unsigned char>(s[pos + 1]) & 0xE0) == 0x80;
}

// C0 controls and DEL (the bytes 00 to 1F and 7F), which a terminal, a file name or a line of
// a file would take as commands rather than text; tab and line breaks are among them.
constexpr bool IsC0ControlOrDelete(char c) {
  return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

// UTF-8 length and repair.
// The length of the well-formed character at pos (1 for ASCII), or 0 when the bytes there are
// none: a stray continuation byte, a cut or overlong sequence, a surrogate, beyond U+10FFFF.
size_t Utf8SequenceLength(std::string_view s, size_t pos);

// s with every byte that is no part of a well-formed character replaced by U+FFFD, appended to
// out; well-formed text is appended as it is.
void AppendRepairedUtf8(std::string& out, std::string_view s);

// The start of a file and the repair of its text, for the readers of files of other programs.

// UTF-8 with every byte that is not part of a well-formed sequence replaced by U+FFFD.
std::string RepairUtf8(std::string_view s);

// What the first bytes of a file say of its encoding: a UTF-8 byte-order mark (looked for
// first), UTF-16 as Utf16Order finds it (with or without a mark), or plain bytes, which the
// reader takes as UTF-8 or the code page by what it expects of the file.
enum class EFileStart { plain, utf8Mark, utf16LittleEndian, utf16BigEndian };
EFileStart DetectFileStart(std::string_view bytes);

// The text of a whole file after its start: UTF-16 converted to UTF-8 into storage, a UTF-8
// mark skipped, plain bytes as they are; start says which it was.
std::string_view TextAfterFileStart(std::string_view bytes, std::string& storage,
                                    EFileStart& start);

}  // namespace zorvan
