#include "store/ZvdFile.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "res/CodePage.h"
#include "store/FileRead.h"
#include "store/RecordFields.h"
#include "store/TwoThreads.h"
#include "store/ZvdLayout.h"

namespace zorvan {

using zvd_layout::kFileOrder;
using zvd_layout::ReadChildCount;
constexpr size_t kMinBytes = zvd_layout::kMinRecordBytes;
// A file smaller than this is read and written on one thread: a second one costs more than it
// saves.
constexpr size_t kSplitFileBytes = size_t{4} << 20;

namespace {

// The fields are written and read one after the other in file order, each step with its member
// and kind fixed at compile time: the same straight sequence of archive calls a hand-written
// record would make, with no lookup per field.
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

template <EField F>
bool LoadField(CArchiveReader& ar, CContactData& r) {
  constexpr const SRecordField& f = kRecordFields[F];
  if constexpr (f.type == EFieldType::text) {
    return ar.ReadText(r.*f.pText);
  } else {
    std::int32_t n = 0;
    bool ok = true;
    if constexpr (f.type == EFieldType::date) ok = ar.ReadDate(r.*f.pDate);
    ok = ok && ar.ReadLong(n);
    r.*f.pNumber = n;
    return ok;
  }
}

template <size_t... I>
void StoreFieldsInOrder(CArchiveWriter& ar, const CContactData& r, SLostTexts* lost,
                        std::index_sequence<I...>) {
  (StoreField<I>(ar, r, lost), ...);
}

template <size_t... I>
bool LoadFieldsInOrder(CArchiveReader& ar, CContactData& r, std::index_sequence<I...>) {
  return (LoadField<kFileOrder[I]>(ar, r) && ...);
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

bool LoadFields(CArchiveReader& ar, CContactData& r) {
  return LoadFieldsInOrder(ar, r, std::make_index_sequence<kRecordFieldCount>());
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

// Gives the records of index lo to hi (not included) what the trailer holds for them: its texts,
// then their extras, each in the trailer's order; the count of those records it extended.
// extended has a flag per record, each written by one thread only.
size_t GiveTrailer(const zvd_trailer::STrailer& trailer, const std::vector<CTreeItem*>& byIndex,
                   std::uint64_t lo, std::uint64_t hi, std::vector<unsigned char>& extended) {
  size_t count = 0;
  auto mark = [&](std::uint64_t record) {
    count += !extended[record];
    extended[record] = 1;
  };
  CTextArena texts;
  for (const zvd_trailer::SFieldText& t : trailer.texts) {
    if (t.record < lo || t.record >= hi) continue;
    CText& field = byIndex[t.record]->*kRecordFields[kFileOrder[t.place]].pText;
    if (IsWellFormedUtf8(t.utf8))
      texts.Assign(field, t.utf8);
    else
      texts.Assign(field, RepairUtf8(t.utf8));
    mark(t.record);
  }
  auto extrasOf = [&](std::uint64_t record) -> SRecordExtras* {
    if (record < lo || record >= hi) return nullptr;
    std::unique_ptr<SRecordExtras>& held = byIndex[record]->m_pExtras;
    if (!held) held = std::make_unique<SRecordExtras>();
    mark(record);
    return held.get();
  };
  for (const zvd_trailer::SIdentity& id : trailer.identities) {
    if (SRecordExtras* held = extrasOf(id.record)) {
      held->uid = id.uid;
      held->rev = id.rev;
    }
  }
  for (const zvd_trailer::SPhotoEntry& p : trailer.photos) {
    if (SRecordExtras* held = extrasOf(p.record)) {
      held->photoType = p.mediaType;
      held->photo = p.bytes;
    }
  }
  for (const zvd_trailer::SPropertyEntry& p : trailer.properties) {
    if (SRecordExtras* held = extrasOf(p.record))
      for (std::string_view line : p.lines)
        held->properties.emplace_back(IsWellFormedUtf8(line) ? std::string(line)
                                                             : RepairUtf8(line));
  }
  return count;
}

// The records of a large file (both) are given their part of the trailer on two threads, the
// later half on the second: each record's texts and extras are made by one of them, in the
// trailer's order.
size_t GiveTrailerOnTwoThreads(const zvd_trailer::STrailer& trailer,
                               const std::vector<CTreeItem*>& byIndex, bool both) {
  std::vector<unsigned char> extended(byIndex.size());
  const std::uint64_t n = byIndex.size();
  const std::uint64_t half = both && n > 1 ? n / 2 : n;
  size_t count = 0, later = 0;
  RunBeside([&] { count = GiveTrailer(trailer, byIndex, 0, half, extended); },
            [&] { later = GiveTrailer(trailer, byIndex, half, n, extended); });
  return count + later;
}

// Reads the trailer at rest after the records appended to root from position first on (unless
// ahead read it already), and gives them its texts, on two threads from splitFrom bytes on. A
// trailer that does not read leaves the records as they are.
void ApplyTrailer(std::string_view records, std::string_view rest, CTreeItem& root, size_t first,
                  SZvdExtras* extras, SZvdTrailerAhead& ahead, size_t splitFrom) {
  SZvdExtras ignoredExtras;
  SZvdExtras& x = extras ? *extras : ignoredExtras;
  x.hasTrailer = true;
  std::vector<CTreeItem*> byIndex;
  // As many as the trailer read ahead says, within what the records' bytes can hold.
  if (ahead.read) byIndex.reserve(std::min<std::uint64_t>(ahead.count, records.size() / kMinBytes));
  for (size_t i = first; i < root.ChildCount(); ++i)
    ForEachInSubtree(root.Child(i), [&byIndex](CTreeItem* r) { byIndex.push_back(r); });
  zvd_trailer::STrailer trailer;
  if (ahead.Matches(records.size(), byIndex.size())) {
    x.ignored = std::move(ahead.ignored);
    if (!ahead.ok) return;
    trailer = std::move(ahead.trailer);
  } else if (!zvd_trailer::ReadTrailer(records, byIndex.size(), rest, trailer, x.ignored)) {
    return;
  }
  x.extendedRecords += GiveTrailerOnTwoThreads(trailer, byIndex, records.size() >= splitFrom);
  x.kept = std::move(trailer.kept);
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

bool LoadItem(CArchiveReader& ar, CTreeItem& record, CTreeItem* parent, std::string& error) {
  record.m_pParent = parent;
  record.m_nKind = kindContacts;
  if (!LoadFields(ar, record)) {
    error = ar.Error();
    return false;
  }
  return zvd_layout::ReadSubtree(
      ar, &record,
      [&ar](CTreeItem* above, CTreeItem*& child) {
        child = new CTreeItem(CTreeItem::SUnfilled{});
        CTreeItem::AddChild(above, child);
        return LoadFields(ar, *child);
      },
      error);
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
// from the middle of the walk on by the second into a buffer of its own, which then follows the
// first's, the same bytes and entries as one thread writes. The middle may fall inside a group:
// a file imported into a new database is one group of all its contacts.
void StoreParts(const CTreeItem* contactsRoot, const std::vector<zvd_trailer::SSection>& kept,
                EZvdTrailer with, SZvdFileParts& parts, size_t splitFrom = kSplitFileBytes) {
  const size_t n = contactsRoot ? contactsRoot->ChildCount() : 0;
  // Every record below the root in the file's order, each with the bytes it takes at most, so
  // that the buffers are made once at their size and the two threads get about as many bytes.
  std::vector<const CTreeItem*> walk;
  std::vector<size_t> bounds;
  size_t bound = CArchiveWriter::TextBound(kZvdHeader.size()) + 4;
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
  first.ar.Reserve(bound);
  first.ar.WriteText(kZvdHeader);
  first.ar.WriteLong(static_cast<std::int32_t>(n));
  RunBeside([&] { StoreRun(walk, 0, split, withTrailer, first); },
            [&] {
              if (split == count) return;
              later.ar.Reserve(bound - firstBytes);
              StoreRun(walk, split, count, withTrailer, later);
            });
  first.ar.Append(later.ar.Bytes());
  parts.records = first.ar.TakeBytes();
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
  return records.size() + (withTrailer ? zvd_trailer::TrailerBytes(trailer) : 0);
}

bool SZvdFileParts::WriteTo(const std::function<bool(std::string_view)>& write) const {
  if (!write(records)) return false;
  return !withTrailer || zvd_trailer::WriteTrailer(records, recordCount, trailer, write);
}

std::string StoreDatabase(const CTreeItem* contactsRoot,
                          const std::vector<zvd_trailer::SSection>& kept, EZvdTrailer with) {
  SZvdFileParts parts;
  StoreParts(contactsRoot, kept, with, parts);
  if (parts.withTrailer)
    zvd_trailer::AppendTrailer(parts.records, parts.recordCount, parts.trailer);
  return std::move(parts.records);
}

std::string StoreDatabase(const CTreeItem* contactsRoot, EZvdTrailer with, size_t splitFrom) {
  SZvdFileParts parts;
  StoreParts(contactsRoot, {}, with, parts, splitFrom);
  if (parts.withTrailer)
    zvd_trailer::AppendTrailer(parts.records, parts.recordCount, parts.trailer);
  return std::move(parts.records);
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
  if (parts.withTrailer)
    zvd_trailer::AppendTrailer(parts.records, parts.recordCount, parts.trailer);
  bytes = std::move(parts.records);
  return true;
}

namespace {

// Passes over the fields of one record, with the same checks as LoadFields makes.
template <size_t... I>
bool SkipFieldsInOrder(CArchiveReader& ar, std::index_sequence<I...>) {
  auto skip = [&ar](EFieldType type) {
    return type == EFieldType::text      ? ar.SkipText()
           : type == EFieldType::integer ? ar.Skip(4)
                                         : ar.Skip(12 + 4);
  };
  return (skip(kRecordFields[kFileOrder[I]].type) && ...);
}

bool SkipFields(CArchiveReader& ar) {
  return SkipFieldsInOrder(ar, std::make_index_sequence<kRecordFieldCount>());
}

// Passes over one top record with its subtree.
bool SkipItem(CArchiveReader& ar, std::string& error) {
  if (!SkipFields(ar)) {
    error = ar.Error();
    return false;
  }
  return zvd_layout::ReadSubtree(
      ar, 0, [&ar](int, int&) { return SkipFields(ar); }, error);
}

size_t Offset(std::string_view bytes, const CArchiveReader& ar) {
  return bytes.size() - ar.Remaining();
}

// Reads the top records from the reader's position on into root while fewer than count were
// read (read counts them) and the next one begins before the byte at stop.
bool LoadTops(std::string_view bytes, CArchiveReader& ar, CTreeItem& root, std::int32_t count,
              size_t stop, std::int32_t& read, std::string& error) {
  for (; read < count && Offset(bytes, ar) < stop; ++read) {
    auto* record = new CTreeItem(CTreeItem::SUnfilled{});
    CTreeItem::AddChild(&root, record);
    if (!LoadItem(ar, *record, &root, error)) return false;
  }
  return true;
}

// The top records from the first that begins at or after the byte at split to the last, as a
// second thread reads them: it passes over the records before the split (far faster than
// reading them) to find where they begin, as the first thread reads those. Both take the same
// top record for the first after the split, so the two parts join into the file's order.
struct SLaterTops {
  std::string_view bytes;
  size_t split = 0;
  std::int32_t count = 0;  // the file's top records

  CTreeItem root;                     // the records read, below a root of their own
  bool found = false;                 // a top record begins at or after the split
  bool ok = true;                     // false: the records after the split are damaged, see error
  std::string error;                  // left empty for damage before the split: the first thread's
  std::exception_ptr thrown;          // what stopped the thread (no memory left)
  size_t end = 0;                     // where the records end, once read
  SZvdTrailerAhead* ahead = nullptr;  // the trailer after them, read here too

  void Read() noexcept {
    try {
      CArchiveReader ar(bytes);
      std::int32_t n = 0;
      std::string ignored;
      if (!ar.SkipText() || !ReadChildCount(ar, n, ignored)) return;
      std::int32_t i = 0;
      for (; i < count && Offset(bytes, ar) < split; ++i)
        if (!SkipItem(ar, ignored)) return;
      if (i == count) return;
      found = true;
      ok = LoadTops(bytes, ar, root, count, bytes.size() + 1, i, error);
      end = Offset(bytes, ar);
      // The first thread has more to read: the trailer's checks (its hash of the whole records)
      // are made here meanwhile.
      if (ok && zvd_trailer::BeginsTrailer(bytes.substr(end))) ahead->Read(bytes, end);
    } catch (...) {
      thrown = std::current_exception();
    }
  }
};

// Where the second thread begins reading, as a share of the records. It passes over what comes
// before first and reads the trailer after them too, but the first read the file before either
// began and the two share the giving of the trailer's texts: the middle is where they end
// nearest together (measured on 100,000 contacts with and without a trailer).
constexpr double kSplitAt = 0.5;

// Reads count top records from the reader's position on into root, the later part on a
// second thread when the file holds at least splitFrom bytes; end is where the records end.
bool LoadAllTops(std::string_view bytes, CArchiveReader& ar, CTreeItem& root, std::int32_t count,
                 size_t splitFrom, size_t& end, SZvdTrailerAhead& ahead, std::string& error) {
  std::int32_t read = 0;
  auto restHere = [&] {
    const bool ok = LoadTops(bytes, ar, root, count, bytes.size() + 1, read, error);
    end = Offset(bytes, ar);
    return ok;
  };
  if (bytes.size() < splitFrom) return restHere();
  // The split shares the records out, not the trailer after them: it begins with the first
  // magic in the file, most likely (a text of a record may hold the magic too, which costs only
  // the balance of the two parts).
  const size_t records = FindTrailerMagic(bytes);
  SLaterTops later;
  later.bytes = bytes;
  later.ahead = &ahead;
  later.split = std::max(Offset(bytes, ar) + 1, static_cast<size_t>(records * kSplitAt));
  later.count = count;
  later.root.m_nKind = root.m_nKind;
  std::thread second;
  try {
    second = std::thread([&later] { later.Read(); });
  } catch (const std::system_error&) {
    // No second thread to be had: the whole file on this one.
    later.split = bytes.size() + 1;
  }
  bool ok = false;
  try {
    ok = LoadTops(bytes, ar, root, count, later.split, read, error);
  } catch (...) {
    if (second.joinable()) second.join();
    throw;
  }
  if (second.joinable()) second.join();
  // Damage before the split is the first the file has: the first thread's to report.
  if (!ok) return false;
  if (later.thrown) std::rethrow_exception(later.thrown);
  // Not found cannot be with the same bytes; the rest is read here all the same.
  if (read == count || !later.found) return restHere();
  CTreeItemList& tops = *root.m_pChildren;
  if (later.root.m_pChildren) {
    tops.insert(tops.end(), later.root.m_pChildren->begin(), later.root.m_pChildren->end());
    for (CTreeItem* top : *later.root.m_pChildren) top->m_pParent = &root;
    later.root.m_pChildren->clear();
  }
  if (!later.ok) error = std::move(later.error);
  end = later.end;
  return later.ok;
}

}  // namespace

size_t FindTrailerMagic(std::string_view bytes) {
  // The magic's first byte FF is in every number -1 of the records; its second, FE, is rare in
  // them (a "ţ" of the code page, a number -2): each FE found is looked at around.
  const size_t n = zvd_trailer::kMagic.size();
  for (size_t at = 1; at + n <= bytes.size() + 1;) {
    const void* fe = std::memchr(bytes.data() + at, '\xFE', bytes.size() - at);
    if (!fe) break;
    at = static_cast<size_t>(static_cast<const char*>(fe) - bytes.data());
    if (bytes.substr(at - 1, n) == zvd_trailer::kMagic) return at - 1;
    ++at;
  }
  return bytes.size();
}

void SZvdTrailerAhead::Read(std::string_view bytes, size_t magicAt) {
  const std::string_view rest = bytes.substr(magicAt);
  // The record count follows the magic and the version.
  constexpr size_t kCountAt = zvd_trailer::kMagic.size() + 4;
  if (rest.size() < kCountAt + 8) return;
  count = 0;
  for (size_t i = 0; i < 8; ++i)
    count |= std::uint64_t{static_cast<unsigned char>(rest[kCountAt + i])} << (8 * i);
  end = magicAt;
  read = true;
  ok = zvd_trailer::ReadTrailer(bytes.substr(0, magicAt), count, rest, trailer, ignored);
}

bool LoadDatabase(std::string_view bytes, CTreeItem& contactsRoot, std::string& error,
                  SZvdExtras* extras) {
  return LoadDatabase(bytes, contactsRoot, error, extras, kSplitFileBytes);
}

bool LoadDatabase(std::string_view bytes, CTreeItem& contactsRoot, std::string& error,
                  SZvdExtras* extras, size_t splitFrom) {
  CArchiveReader ar(bytes);
  const size_t first = contactsRoot.ChildCount();
  std::int32_t n = 0;
  if (!ar.SkipText()) {
    error = ar.Error();
    return false;
  }
  if (!ReadChildCount(ar, n, error)) return false;
  size_t end = 0;
  SZvdTrailerAhead ahead;
  if (!LoadAllTops(bytes, ar, contactsRoot, n, splitFrom, end, ahead, error)) return false;
  // Bytes after the last record that do not begin a trailer are left alone, as the older
  // layout's readers leave them.
  if (zvd_trailer::BeginsTrailer(bytes.substr(end)))
    ApplyTrailer(bytes.substr(0, end), bytes.substr(end), contactsRoot, first, extras, ahead,
                 splitFrom);
  return true;
}

}  // namespace zorvan
