#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store/DateTime.h"
#include "store/Text.h"
#include "store/TextFields.h"

namespace zorvan {

// Writes the value kinds of the database file: little-endian 32-bit numbers, texts with their
// 1-, 3- or 7-byte length prefix in the file's code page, and dates as status + double.
class CArchiveWriter {
 public:
  void WriteLong(std::int32_t value);
  // False when the code page cannot hold the whole text: each character it lacks is written
  // as "?".
  bool WriteText(std::string_view utf8);
  void WriteDate(const CDateTime& date);
  // Makes room for size bytes more, so that a large file is built without its buffer being
  // copied into a larger one again and again.
  void Reserve(size_t size) { m_buffer.reserve(m_buffer.size() + size); }
  // The most bytes WriteText of a text of size bytes writes: its length prefix and the bytes
  // (a text converted to the code page is never longer than its UTF-8).
  static constexpr size_t TextBound(size_t size) {
    return (size < 255 ? 1 : size < 65534 ? 3 : 7) + size;
  }
  // Bytes another writer wrote, as they are.
  void Append(std::string_view bytes) { m_buffer.append(bytes); }
  const std::string& Bytes() const { return m_buffer; }
  std::string TakeBytes() { return std::move(m_buffer); }

 private:
  void WriteRaw(const void* data, size_t size) {
    m_buffer.append(static_cast<const char*>(data), size);
  }
  std::string m_buffer;
  std::string m_ansi;  // a text converted to the code page
};

// Reads the same kinds from a buffer. Every read checks the bytes left, so a damaged file can
// neither run past its end nor make the reader allocate more than the file holds.
class CArchiveReader {
 public:
  explicit CArchiveReader(std::string_view bytes)
      : m_p(reinterpret_cast<const unsigned char*>(bytes.data())), m_end(m_p + bytes.size()) {}

  bool ReadLong(std::int32_t& value) {
    if (Remaining() < 4) return Fail("the file ends in the middle of a record");
    value = static_cast<std::int32_t>(m_p[0] | m_p[1] << 8 | m_p[2] << 16 |
                                      static_cast<std::uint32_t>(m_p[3]) << 24);
    m_p += 4;
    return true;
  }
  // One text on its own; a record's texts are read with ReadRecordText.
  bool ReadText(CText& utf8);
  // Reads one of a record's texts for FillTexts: as it lies in the file when it is ASCII, else
  // converted into room kept until then. Every slot is read before the record's FillTexts.
  bool ReadRecordText(unsigned slot);
  // Gives the record the texts read, in one block.
  void FillTexts(CRecordTexts& texts);
  bool SkipText() {
    std::string_view ansi;
    return ReadAnsiText(ansi);
  }
  // A text as the file holds it, in its code page, unconverted; valid while the bytes are.
  // Inline for the short texts (a one-byte length) that make up nearly every record.
  bool ReadAnsiText(std::string_view& ansi) {
    if (m_p != m_end && *m_p < 0xFF && *m_p < Remaining()) {
      ansi = std::string_view(reinterpret_cast<const char*>(m_p + 1), *m_p);
      m_p += 1 + *m_p;
      return true;
    }
    return ReadLongAnsiText(ansi);
  }
  // Passes over size bytes of a value that is not needed (a date: 12).
  bool Skip(size_t size);
  bool ReadDate(CDateTime& date);
  size_t Remaining() const { return static_cast<size_t>(m_end - m_p); }
  // Why the last read failed.
  const std::string& Error() const { return m_error; }

 private:
  bool ReadTextLength(std::uint32_t& length);
  bool ReadLongAnsiText(std::string_view& ansi);
  bool Fail(const char* why) {
    m_error = why;
    return false;
  }
  const unsigned char* m_p;
  const unsigned char* m_end;
  std::string m_error;
  // A record's texts read so far: each slot's view, or for a text converted its place in
  // m_recordUtf8 (which may still move as it grows).
  std::string_view m_slotTexts[CRecordTexts::kCount];
  struct SConverted {
    bool converted = false;
    std::uint32_t at = 0, size = 0;
  };
  SConverted m_slotConverted[CRecordTexts::kCount];
  std::string m_recordUtf8;
  size_t m_nTrailerRoom = 0;  // room for the trailer's texts of the record (see ReadRecordText)
};

}  // namespace zorvan
