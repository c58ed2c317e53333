#include "store/ZvdFile.h"

#include <unistd.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "store/FileRead.h"
#include "store/RecordFields.h"
#include "store/TwoThreads.h"
#include "store/ZvdLayout.h"

namespace zorvan {

using zvd_layout::kFileOrder;
using zvd_layout::kSplitFileBytes;
using zvd_layout::ReadChildCount;

namespace {

// The fields are written one after the other in file order, each step with its member and kind
// fixed at compile time: the same straight sequence of archive calls a hand-written record would
// make, with no lookup per field (the reader's steps are alike).
// The texts of the records written that the code page cannot hold, for the trailer.
struct SLostTexts {
  std::vector<zvd_trailer::SFieldText>& texts;
  std::uint64_t record = 0;  // the index of the record being written
};

template <size_t Place>
void StoreField(CArchiveWriter& ar, const CContactData& r, SLostTexts* lost) {
  constexpr const SRecordField& f = kRecordFields[kFileOrder[Place]];
  if constexpr (f.type == EFieldType::text) {
    if (!ar.WriteText(r.*f.pText) && lost)
      lost->texts.push_back({lost->record, Place, (r.*f.pText).view()});
  } else if constexpr (f.type == EFieldType::integer) {
    ar.WriteLong(r.*f.pNumber);
  } else {
    ar.WriteDate(r.*f.pDate);
    ar.WriteLong(r.*f.pNumber);
  }
}

template <size_t... I>
void StoreFieldsInOrder(CArchiveWriter& ar, const CContactData& r, SLostTexts* lost,
                        std::index_sequence<I...>) {
  (StoreField<I>(ar, r, lost), ...);
}

// The most bytes a record's fields and child count take in the file.
size_t StoredBound(const CContactData& r) {
  size_t bytes = 4;  // the child count
  for (const SRecordField& f : kRecordFields)
    bytes += f.type == EFieldType::text      ? CArchiveWriter::TextBound((r.*f.pText).size())
             : f.type == EFieldType::integer ? 4
                                             : 12 + 4;
  return bytes;
}

void StoreFields(CArchiveWriter& ar, const CContactData& r, SLostTexts* lost = nullptr) {
  StoreFieldsInOrder(ar, r, lost, std::make_index_sequence<kRecordFieldCount>());
}

// The trailer's entries of a record's extras: its texts are views into them.
void AddExtras(zvd_trailer::STrailer& trailer, std::uint64_t record, const SRecordExtras& x) {
  if (!x.uid.empty() || !x.rev.empty()) trailer.identities.push_back({record, x.uid, x.rev});
  if (!x.photo.empty()) trailer.photos.push_back({record, x.photoType, x.photo});
  if (!x.properties.empty()) {
    zvd_trailer::SPropertyEntry& entry = trailer.properties.emplace_back();
    entry.record = record;
    entry.lines.assign(x.properties.begin(), x.properties.end());
  }
}

}  // namespace

std::uint64_t zvd_layout::MaxDatabaseBytes() {
  static const std::uint64_t bytes = [] {
    constexpr std::uint64_t kGB = std::uint64_t{1} << 30;
    const long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGESIZE);
    const std::uint64_t memory =
        pages > 0 && pageSize > 0 ? static_cast<std::uint64_t>(pages) * pageSize : 0;
    return std::clamp<std::uint64_t>(memory / 8, kGB, 16 * kGB);
  }();
  return bytes;
}

bool zvd_layout::ReadChildCount(CArchiveReader& ar, std::int32_t& count, std::string& error) {
  if (!ar.ReadLong(count)) {
    error = ar.Error();
    return false;
  }
  if (count < 0) {
    error = "a record count is negative";
    return false;
  }
  if (static_cast<size_t>(count) > ar.Remaining() / zvd_layout::kMinRecordBytes) {
    error = "a record count is larger than the rest of the file can hold";
    return false;
  }
  return true;
}

namespace {

// One share of the records as written: the bytes and trailer entries of a run of records in
// the file's order.
struct SStoredShare {
  CArchiveWriter ar;
  zvd_trailer::STrailer trailer;
  std::uint64_t next = 0;  // the index of the record after the share's last
};

// Writes the records walk[lo, hi) of the whole walk through the tree, each with its child count
// (its children follow it in the walk).
void StoreRun(const std::vector<const CTreeItem*>& walk, size_t lo, size_t hi, bool withTrailer,
              SStoredShare& share) {
  SLostTexts lost{share.trailer.texts, lo};
  for (size_t i = lo; i < hi; ++i, ++lost.record) {
    const CTreeItem& r = *walk[i];
    StoreFields(share.ar, r, withTrailer ? &lost : nullptr);
    share.ar.WriteLong(static_cast<std::int32_t>(r.ChildCount()));
    if (withTrailer && r.m_pExtras) AddExtras(share.trailer, lost.record, *r.m_pExtras);
  }
  share.next = hi;
}

template <typename T>
void AppendMoved(std::vector<T>& to, std::vector<T>& from) {
  to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

// The records' bytes and the trailer's entries, as StoreDatabase writes them. The file holds
// the records in the order of a walk through the tree, each followed by its children, so it may
// be cut before any record of that walk: a large database is written on two threads, the records
// from the middle of the walk on by the second into a buffer of its own, which the file's writer
// then hands on after the first's (no copy of it is made), the same bytes and entries as one
// thread writes. The middle may fall inside a group:
// a file imported into a new database is one group of all its contacts.
void StoreParts(const CTreeItem* contactsRoot, const std::vector<zvd_trailer::SSection>& kept,
                EZvdTrailer with, SZvdFileParts& parts, size_t splitFrom = kSplitFileBytes) {
  const size_t n = contactsRoot ? contactsRoot->ChildCount() : 0;
  // Every record below the root in the file's order, each with the bytes it takes at most, so
  // that the buffers are made once at their size and the two threads get about as many bytes.
  std::vector<const CTreeItem*> walk;
  std::vector<size_t> bounds;
  const size_t headerBytes = CArchiveWriter::TextBound(kZvdHeader.size()) + 4;
  size_t bound = headerBytes;
  for (size_t i = 0; i < n; ++i) {
    WalkSubtreeWhile(*contactsRoot->Child(i), [&](const CTreeItem& r) {
      walk.push_back(&r);
      bounds.push_back(StoredBound(r));
      bound += bounds.back();
      return true;
    });
  }
  const size_t count = walk.size();
  size_t split = count, firstBytes = bound;
  if (bound >= splitFrom && count > 1) {
    firstBytes = 0;
    for (split = 0; split + 1 < count && firstBytes < bound / 2; ++split)
      firstBytes += bounds[split];
  }
  const bool withTrailer = with != EZvdTrailer::none;
  SStoredShare first, later;
  first.ar.Reserve(split == count ? bound : headerBytes + firstBytes);
  first.ar.WriteText(kZvdHeader);
  first.ar.WriteLong(static_cast<std::int32_t>(n));
  RunBeside([&] { StoreRun(walk, 0, split, withTrailer, first); },
            [&] {
              if (split == count) return;
              later.ar.Reserve(bound - firstBytes);
              StoreRun(walk, split, count, withTrailer, later);
            });
  parts.records = first.ar.TakeBytes();
  parts.laterRecords = later.ar.TakeBytes();
  parts.trailer = std::move(first.trailer);
  AppendMoved(parts.trailer.texts, later.trailer.texts);
  AppendMoved(parts.trailer.identities, later.trailer.identities);
  AppendMoved(parts.trailer.photos, later.trailer.photos);
  AppendMoved(parts.trailer.properties, later.trailer.properties);
  parts.recordCount = split == count ? first.next : later.next;
  parts.trailer.kept = withTrailer ? kept : std::vector<zvd_trailer::SSection>();
  parts.withTrailer = withTrailer && !parts.trailer.Empty();
}

}  // namespace

std::uint64_t SZvdFileParts::Size() const {
  return records.size() + laterRecords.size() +
         (withTrailer ? zvd_trailer::TrailerBytes(trailer) : 0);
}

bool SZvdFileParts::WriteTo(const std::function<bool(std::string_view)>& write) const {
  if (!write(records) || (!laterRecords.empty() && !write(laterRecords))) return false;
  return !withTrailer || zvd_trailer::WriteTrailer(zvd_trailer::RecordsHash(records, laterRecords),
                                                   recordCount, trailer, write);
}

std::string SZvdFileParts::TakeFile() {
  std::string file = std::move(records);
  file.reserve(file.size() + laterRecords.size() +
               (withTrailer ? zvd_trailer::TrailerBytes(trailer) : 0));
  file += laterRecords;
  laterRecords = std::string();
  if (withTrailer) zvd_trailer::AppendTrailer(file, recordCount, trailer);
  return file;
}

std::string StoreDatabase(const CTreeItem* contactsRoot,
                          const std::vector<zvd_trailer::SSection>& kept, EZvdTrailer with) {
  SZvdFileParts parts;
  StoreParts(contactsRoot, kept, with, parts);
  return parts.TakeFile();
}

std::string StoreDatabase(const CTreeItem* contactsRoot, EZvdTrailer with, size_t splitFrom) {
  SZvdFileParts parts;
  StoreParts(contactsRoot, {}, with, parts, splitFrom);
  return parts.TakeFile();
}

bool StoreDatabase(const CTreeItem* contactsRoot, std::uint64_t maxBytes, SZvdFileParts& parts,
                   std::string& error, const std::vector<zvd_trailer::SSection>& kept,
                   EZvdTrailer trailer) {
  // The reader refuses a record deeper than kMaxRecordDepth as damage; such a tree is not
  // written at all, rather than written as a file that never opens again.
  size_t levels = 0;
  for (size_t i = 0; contactsRoot && i < contactsRoot->ChildCount(); ++i)
    WalkSubtreeWhile(*contactsRoot->Child(i), [&levels](const CTreeItem&, size_t depth) {
      levels = std::max(levels, depth + 1);
      return true;
    });
  if (levels > static_cast<size_t>(zvd_layout::kMaxRecordDepth)) {
    error = "its contacts are nested " + std::to_string(levels) +
            " levels deep, and a database file holds at most " +
            std::to_string(zvd_layout::kMaxRecordDepth) + " levels";
    return false;
  }
  StoreParts(contactsRoot, kept, trailer, parts);
  const std::uint64_t size = parts.Size();
  if (size > maxBytes) {
    error = "it would be too large to be read again (" + SizeBeyondLimitText(size, maxBytes) + ")";
    parts = SZvdFileParts();
    return false;
  }
  return true;
}

bool StoreDatabase(const CTreeItem* contactsRoot, std::uint64_t maxBytes, std::string& bytes,
                   std::string& error, const std::vector<zvd_trailer::SSection>& kept,
                   EZvdTrailer trailer) {
  SZvdFileParts parts;
  if (!StoreDatabase(contactsRoot, maxBytes, parts, error, kept, trailer)) {
    bytes = std::string();
    return false;
  }
  bytes = parts.TakeFile();
  return true;
}

}  // namespace zorvan
