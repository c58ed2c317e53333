#include "store/ZvdRecordReader.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <utility>

#include "store/Archive.h"
#include "store/FileRead.h"
#include "store/TwoThreads.h"
#include "store/ZvdFile.h"
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

namespace {}  // namespace

bool CZvdRecordReader::Read(std::string_view bytes, const Visit& visit, std::string& error) const {
  size_t end = 0;
  std::uint64_t count = 0;
  std::vector<zvd_trailer::SFieldText> texts;
  // The trailer's texts are wanted before the records they belong to are handed over, and the
  // trailer begins where the records end: a file that holds the trailer's magic anywhere is
  // walked once to find it. Any other file is walked once only, as the older layout always was.
  const size_t magicAt = FindTrailerMagic(bytes);
  if (magicAt != bytes.size()) {
    // In a large file the trailer is read meanwhile on a second thread, as if the records ended
    // at the first magic (a text may hold it too: then it is read again below).
    SZvdTrailerAhead ahead;
    std::thread second;
    if (bytes.size() >= m_nAheadFrom) {
      try {
        second = StartThread([&] { ahead.Read(bytes, magicAt); });
      } catch (const std::system_error&) {  // NOLINT(bugprone-empty-catch): read below
      }
    }
    bool walked = false;
    try {
      walked = Walk(bytes, nullptr, texts, error, end, count);
    } catch (...) {
      if (second.joinable()) second.join();
      throw;
    }
    if (second.joinable()) second.join();
    if (!walked) return false;
    const std::string_view rest = bytes.substr(end);
    zvd_trailer::STrailer trailer;
    std::string ignored;
    bool read = false;
    if (ahead.Matches(end, count)) {
      read = ahead.ok;
      trailer = std::move(ahead.trailer);
    } else {
      read = zvd_trailer::BeginsTrailer(rest) &&
             zvd_trailer::ReadTrailer(bytes.substr(0, end), count, rest, trailer, ignored);
    }
    if (read) {
      for (zvd_trailer::SFieldText& t : trailer.texts)
        if (m_texts[zvd_layout::kFileOrder[t.place]]) texts.push_back(std::move(t));
      std::stable_sort(texts.begin(), texts.end(),
                       [](const auto& a, const auto& b) { return a.record < b.record; });
    }
  }
  return Walk(bytes, &visit, texts, error, end, count);
}

bool CZvdRecordReader::Walk(std::string_view bytes, const Visit* visit,
                            const std::vector<zvd_trailer::SFieldText>& texts, std::string& error,
                            size_t& end, std::uint64_t& count) const {
  CArchiveReader ar(bytes);
  if (!ar.SkipText()) {
    error = ar.Error();
    return false;
  }
  std::int32_t n = 0;
  if (!zvd_layout::ReadChildCount(ar, n, error)) return false;
  CZvdRecord record;
  count = 0;
  auto next = texts.begin();
  // Hands the record just read over with the trailer's texts for it.
  auto handOver = [&] {
    const std::uint64_t index = count++;
    if (!visit) return;
    if (next == texts.end() || next->record != index) return (*visit)(record);
    auto first = next;
    for (; next != texts.end() && next->record == index; ++next)
      record.m_utf8[zvd_layout::kFileOrder[next->place]] = &next->utf8;
    record.m_bUtf8 = true;
    (*visit)(record);
    for (; first != next; ++first) record.m_utf8[zvd_layout::kFileOrder[first->place]] = nullptr;
    record.m_bUtf8 = false;
  };
  for (std::int32_t i = 0; i < n; ++i) {
    record.m_nDepth = 0;
    if (!ReadFields(ar, record)) {
      error = ar.Error();
      return false;
    }
    handOver();
    // The depth is all this reader keeps of a record once it was visited.
    const bool ok = zvd_layout::ReadSubtree(
        ar, size_t{0},
        [&](size_t depth, size_t& childDepth) {
          childDepth = depth + 1;
          record.m_nDepth = childDepth;
          if (!ReadFields(ar, record)) return false;
          handOver();
          return true;
        },
        error);
    if (!ok) return false;
  }
  end = bytes.size() - ar.Remaining();
  return true;
}

bool CZvdRecordReader::ReadFile(const std::string& path, const Visit& visit,
                                std::string& error) const {
  std::string bytes;
  return ReadWholeFile(path, bytes, error, zvd_layout::MaxDatabaseBytes()) &&
         Read(bytes, visit, error);
}

}  // namespace zorvan
