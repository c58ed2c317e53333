#include "store/ZvdRecordReader.h"

#include <utility>

#include "store/Archive.h"
#include "store/FileRead.h"
#include "store/ZvdLayout.h"

namespace zorvan {

namespace {

// The fields are read one after the other in file order, each with its kind fixed at compile
// time, as the loading reader does.
template <EField F>
bool ReadField(CArchiveReader& ar, const CZvdRecordReader::CFieldSet& texts,
               std::array<std::string_view, kRecordFieldCount>& ansi,
               std::array<int, kRecordFieldCount>& numbers) {
  constexpr EFieldType type = kRecordFields[F].type;
  if constexpr (type == EFieldType::text) {
    return texts[F] ? ar.ReadAnsiText(ansi[F]) : ar.SkipText();
  } else {
    std::int32_t n = 0;
    // A date itself (status and day count) is not needed; its set flag follows it.
    if constexpr (type == EFieldType::date)
      if (!ar.Skip(12)) return false;
    if (!ar.ReadLong(n)) return false;
    numbers[F] = n;
    return true;
  }
}

template <size_t... I>
bool ReadFieldsInOrder(CArchiveReader& ar, const CZvdRecordReader::CFieldSet& texts,
                       std::array<std::string_view, kRecordFieldCount>& ansi,
                       std::array<int, kRecordFieldCount>& numbers, std::index_sequence<I...>) {
  return (ReadField<zvd_layout::kFileOrder[I]>(ar, texts, ansi, numbers) && ...);
}

}  // namespace

bool CZvdRecordReader::ReadFields(CArchiveReader& ar, CZvdRecord& record) const {
  return ReadFieldsInOrder(ar, m_texts, record.m_texts, record.m_numbers,
                           std::make_index_sequence<kRecordFieldCount>());
}

bool CZvdRecordReader::Read(std::string_view bytes, const Visit& visit, std::string& error) const {
  CArchiveReader ar(bytes);
  if (!ar.SkipText()) {
    error = ar.Error();
    return false;
  }
  std::int32_t n = 0;
  if (!zvd_layout::ReadChildCount(ar, n, error)) return false;
  CZvdRecord record;
  for (std::int32_t i = 0; i < n; ++i) {
    record.m_nDepth = 0;
    if (!ReadFields(ar, record)) {
      error = ar.Error();
      return false;
    }
    visit(record);
    // The depth is all this reader keeps of a record once it was visited.
    const bool ok = zvd_layout::ReadSubtree(
        ar, size_t{0},
        [&](size_t depth, size_t& childDepth) {
          childDepth = depth + 1;
          record.m_nDepth = childDepth;
          if (!ReadFields(ar, record)) return false;
          visit(record);
          return true;
        },
        error);
    if (!ok) return false;
  }
  return true;
}

bool CZvdRecordReader::ReadFile(const std::string& path, const Visit& visit,
                                std::string& error) const {
  std::string bytes;
  return ReadWholeFile(path, bytes, error, zvd_layout::MaxDatabaseBytes()) &&
         Read(bytes, visit, error);
}

}  // namespace zorvan
