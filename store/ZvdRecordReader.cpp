#include "store/ZvdRecordReader.h"

#include "store/Archive.h"
#include "store/AtomicFile.h"
#include "store/ZvdLayout.h"

namespace zorvan {

bool CZvdRecordReader::ReadFields(CArchiveReader& ar, CZvdRecord& record) const {
  for (EField f : zvd_layout::kFileOrder) {
    bool ok = true;
    switch (kRecordFields[f].type) {
      case EFieldType::text:
        if (m_texts[f])
          ok = ar.ReadAnsiText(record.m_texts[f]);
        else
          ok = ar.SkipText();
        break;
      case EFieldType::date:
        // The date itself (status and day count) is not needed; its set flag follows.
        ok = ar.Skip(12);
        [[fallthrough]];
      case EFieldType::integer: {
        std::int32_t n = 0;
        ok = ok && ar.ReadLong(n);
        record.m_numbers[f] = n;
        break;
      }
    }
    if (!ok) return false;
  }
  return true;
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
  return ReadWholeFile(path, bytes, error) && Read(bytes, visit, error);
}

}  // namespace zorvan
