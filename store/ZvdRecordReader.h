#pragma once

#include <array>
#include <bitset>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/ExtensionTrailer.h"
#include "store/RecordFields.h"

namespace zorvan {

class CArchiveReader;

// One record of a database file as CZvdRecordReader hands it over: the texts it was asked for,
// still in the file's code page (convert only what is shown or compared), and the numbers. The
// texts are views into the file's bytes, valid during the visit only.
class CZvdRecord {
 public:
  // The text of a field asked for, in the file's code page; empty for one not asked for.
  std::string_view Ansi(EField field) const { return m_texts[field]; }
  // A number field (gender, group flag, the preference numbers) or a date's set flag.
  int Number(EField field) const { return m_numbers[field]; }
  // 0 for a record directly below the contacts root, one more for each level down.
  size_t Depth() const { return m_nDepth; }
  // The UTF-8 text of a field asked for whose text the code page cannot hold, as the file's
  // extension trailer keeps it (Ansi then gives its "?" form); null for every other field.
  const std::string_view* Utf8(EField field) const { return m_utf8[field]; }
  // True when some field asked for has its UTF-8 text.
  bool HasUtf8() const { return m_bUtf8; }

 private:
  friend class CZvdRecordReader;
  std::array<std::string_view, kRecordFieldCount> m_texts{};
  std::array<const std::string_view*, kRecordFieldCount> m_utf8{};
  bool m_bUtf8 = false;
  std::array<int, kRecordFieldCount> m_numbers{};
  size_t m_nDepth = 0;
};

// Walks the records of a database file without building the tree: each record's fields are
// read one after the other, the texts not asked for are passed over unread and unconverted, and
// no calendar is built. The file gets the same checks as LoadDatabase, so a damaged file fails
// with the same reason; an extension trailer gives the records its texts as LoadDatabase's
// does, and is ignored when LoadDatabase would ignore it.
class CZvdRecordReader {
 public:
  using CFieldSet = std::bitset<kRecordFieldCount>;
  using Visit = std::function<void(const CZvdRecord&)>;

  explicit CZvdRecordReader(CFieldSet texts) : m_texts(texts) {}
  // The reader of a file of at least aheadFrom bytes reads its extension trailer on a second
  // thread while it walks the records to find where they end (by default from a few megabytes
  // on); what it hands over is the same.
  CZvdRecordReader(CFieldSet texts, size_t aheadFrom) : m_texts(texts), m_nAheadFrom(aheadFrom) {}

  // Hands every record to visit in document order, each record before its children. False
  // with the reason in error when the file is damaged; the records before the damage were
  // visited by then, so a caller that must not act on half a file keeps its results until the
  // end.
  bool Read(std::string_view bytes, const Visit& visit, std::string& error) const;
  // The same for the file at path, read as the program opens a database: regular files only,
  // within the size limit of a database.
  bool ReadFile(const std::string& path, const Visit& visit, std::string& error) const;

 private:
  bool ReadFields(CArchiveReader& ar, CZvdRecord& record) const;
  // Walks the records, handing each to visit (when given) with the trailer's texts of its
  // fields asked for (sorted by record); end and count are where the records end and how many
  // there are.
  bool Walk(std::string_view bytes, const Visit* visit,
            const std::vector<zvd_trailer::SFieldText>& texts, std::string& error, size_t& end,
            std::uint64_t& count) const;
  CFieldSet m_texts;
  size_t m_nAheadFrom = size_t{4} << 20;
};

}  // namespace zorvan
