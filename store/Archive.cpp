#include "store/Archive.h"

#include <algorithm>
#include <cstring>

#include "res/CodePage.h"

namespace zorvan {
namespace {

template <typename T>
T LoadLittle(const unsigned char* p) {
  T v = 0;
  for (size_t i = 0; i < sizeof(T); ++i) v |= static_cast<T>(static_cast<T>(p[i]) << (8 * i));
  return v;
}

}  // namespace

void CArchiveWriter::WriteLong(std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  const unsigned char b[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                              static_cast<unsigned char>(u >> 16),
                              static_cast<unsigned char>(u >> 24)};
  WriteRaw(b, 4);
}

bool CArchiveWriter::WriteText(std::string_view utf8) {
  std::string_view ansi = utf8;
  size_t lost = 0;
  if (!IsAscii(utf8)) {
    // Converted into room kept from text to text: never more bytes than the UTF-8 had.
    if (m_ansi.size() < utf8.size()) m_ansi.resize(std::max(utf8.size(), 2 * m_ansi.size()));
    ansi = std::string_view(m_ansi.data(), Utf8ToAnsiInto(utf8, m_ansi.data(), lost));
  }
  const size_t n = ansi.size();
  if (n < 255) {
    m_buffer += static_cast<char>(n);
  } else if (n < 65534) {
    m_buffer += '\xFF';
    m_buffer += static_cast<char>(n & 0xFF);
    m_buffer += static_cast<char>(n >> 8);
  } else {
    m_buffer.append("\xFF\xFF\xFF", 3);
    WriteLong(static_cast<std::int32_t>(static_cast<std::uint32_t>(n)));
  }
  m_buffer.append(ansi);
  return lost == 0;
}

void CArchiveWriter::WriteDate(const CDateTime& date) {
  WriteLong(date.m_status);
  std::uint64_t bits;
  std::memcpy(&bits, &date.m_dt, sizeof bits);
  unsigned char b[8];
  for (int i = 0; i < 8; ++i) b[i] = static_cast<unsigned char>(bits >> (8 * i));
  WriteRaw(b, 8);
}

bool CArchiveReader::ReadTextLength(std::uint32_t& length) {
  if (Remaining() < 1) return Fail("the file ends in the middle of a record");
  length = *m_p++;
  if (length < 0xFF) return true;
  if (Remaining() < 2) return Fail("the file ends in the middle of a text");
  length = LoadLittle<std::uint16_t>(m_p);
  m_p += 2;
  if (length < 0xFFFE) return true;
  if (length == 0xFFFE) return Fail("a text is stored in an unknown encoding");
  if (Remaining() < 4) return Fail("the file ends in the middle of a text");
  length = LoadLittle<std::uint32_t>(m_p);
  m_p += 4;
  return true;
}

bool CArchiveReader::ReadLongAnsiText(std::string_view& ansi) {
  std::uint32_t n = 0;
  if (!ReadTextLength(n)) return false;
  if (n > Remaining()) return Fail("a text is longer than the rest of the file");
  ansi = std::string_view(reinterpret_cast<const char*>(m_p), n);
  m_p += n;
  return true;
}

bool CArchiveReader::ReadText(CText& utf8) {
  std::string_view ansi;
  if (!ReadAnsiText(ansi)) return false;
  if (IsAscii(ansi)) {
    utf8 = ansi;
  } else {
    std::string converted;
    AppendAnsiAsUtf8(converted, ansi);
    utf8 = converted;
  }
  return true;
}

bool CArchiveReader::ReadRecordText(unsigned slot) {
  std::string_view ansi;
  if (!ReadAnsiText(ansi)) return false;
  // One look at each byte: whether the text is ASCII, and its question marks, which may stand
  // for letters the code page lacks. The extension trailer then gives the record those texts
  // as UTF-8: room for them, of up to three bytes a letter.
  unsigned high = 0;
  size_t marks = 0;
  for (const char c : ansi) {
    high |= static_cast<unsigned char>(c);
    marks += c == '?';
  }
  if (marks) m_nTrailerRoom += 3 + ansi.size() + 2 * marks;
  if (high < 0x80) {
    m_slotTexts[slot] = ansi;
    m_slotConverted[slot].converted = false;
  } else {
    const size_t at = m_recordUtf8.size();
    AppendAnsiAsUtf8(m_recordUtf8, ansi);
    m_slotConverted[slot] = {true, static_cast<std::uint32_t>(at),
                             static_cast<std::uint32_t>(m_recordUtf8.size() - at)};
  }
  return true;
}

void CArchiveReader::FillTexts(CRecordTexts& texts) {
  for (unsigned i = 0; i < CRecordTexts::kCount; ++i)
    if (const SConverted& c = m_slotConverted[i]; c.converted)
      m_slotTexts[i] = std::string_view(m_recordUtf8).substr(c.at, c.size);
  texts.Fill(m_slotTexts, m_nTrailerRoom);
  m_recordUtf8.clear();
  m_nTrailerRoom = 0;
}

bool CArchiveReader::Skip(size_t size) {
  if (Remaining() < size) return Fail("the file ends in the middle of a record");
  m_p += size;
  return true;
}

bool CArchiveReader::ReadDate(CDateTime& date) {
  if (Remaining() < 12) return Fail("the file ends in the middle of a record");
  date.m_status = static_cast<std::int32_t>(LoadLittle<std::uint32_t>(m_p));
  const std::uint64_t bits = LoadLittle<std::uint64_t>(m_p + 4);
  std::memcpy(&date.m_dt, &bits, sizeof bits);
  m_p += 12;
  return true;
}

}  // namespace zorvan
