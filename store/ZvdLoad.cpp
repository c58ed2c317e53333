#include "store/ZvdFile.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "res/CodePage.h"
#include "store/FileRead.h"
#include "store/RecordFields.h"
#include "store/TwoThreads.h"
#include "store/ZvdLayout.h"

// The reading side of the database file: its records on one or two threads, the extension
// trailer given to them, and a mapped file's pages given back behind the readers.
namespace zorvan {

using zvd_layout::kFileOrder;
using zvd_layout::kSplitFileBytes;
using zvd_layout::ReadChildCount;
constexpr size_t kMinBytes = zvd_layout::kMinRecordBytes;
// How far a reader of a mapped file goes before it gives back the pages behind it: each time a
// call and the system's work on every thread's view of the pages, for a quarter of a megabyte
// held the less.
constexpr size_t kReleaseEvery = size_t{256} << 10;

namespace {

// The pages of a mapped file behind one reader, given back as it goes on: once a record's
// texts are in its arena, the bytes they came from are not needed again.
struct SPagesBehind {
  const CFileBytes* file = nullptr;  // null: nothing is given back
  size_t size = 0;                   // the file's bytes, where the reader's remainder counts from
  size_t every = kReleaseEvery;
  size_t done = 0;  // the pages before this offset were given back

  void At(const CArchiveReader& ar) {
    if (file) AtOffset(size - ar.Remaining());
  }
  void AtOffset(size_t at) {
    if (at - done >= every) done = file->Release(done, at);
  }
};

// The fields are read one after the other in file order, each step with its member and kind
// fixed at compile time: the same straight sequence of archive calls a hand-written record
// would make, with no lookup per field.
template <EField F>
bool LoadField(CArchiveReader& ar, CContactData& r) {
  constexpr const SRecordField& f = kRecordFields[F];
  if constexpr (f.type == EFieldType::text) {
    return ar.ReadRecordText((r.*f.pText).Slot());
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
bool LoadFieldsInOrder(CArchiveReader& ar, CContactData& r, std::index_sequence<I...>) {
  return (LoadField<kFileOrder[I]>(ar, r) && ...);
}

bool LoadFields(CArchiveReader& ar, CContactData& r) {
  if (!LoadFieldsInOrder(ar, r, std::make_index_sequence<kRecordFieldCount>())) return false;
  ar.FillTexts(r.m_texts);
  return true;
}

// The pages of a mapped file's trailer behind one thread that gives its entries to their
// records: within each section, from the thread's first entry on (the other thread's lie
// before or after them).
struct STrailerBehind {
  SPagesBehind pages;  // its file null: nothing is given back
  bool begun = false;

  void Begin() { begun = false; }
  void At(const char* p) {
    if (!pages.file) return;
    // An empty text's view may point anywhere.
    const auto at = reinterpret_cast<std::uintptr_t>(p) -
                    reinterpret_cast<std::uintptr_t>(pages.file->Bytes().data());
    if (at >= pages.size) return;
    if (!begun || at < pages.done) {
      pages.done = at;
      begun = true;
    } else {
      pages.AtOffset(at);
    }
  }
};

// What GiveTrailer gives: the trailer's texts, or the records' extras.
enum class EGiven { texts, extras };

// Gives the records of index lo to hi (not included) the trailer's texts of them: a record's
// texts lie together in the trailer, and its block is built once for all of them.
template <typename Mark>
void GiveTexts(const zvd_trailer::STrailer& trailer, const std::vector<CTreeItem*>& byIndex,
               std::uint64_t lo, std::uint64_t hi, STrailerBehind& behind, Mark&& mark) {
  unsigned slots[CRecordTexts::kCount];
  std::string_view given[CRecordTexts::kCount];
  std::string repaired[CRecordTexts::kCount];
  size_t count = 0;
  std::uint64_t record = 0;
  auto give = [&] {
    if (count) byIndex[record]->m_texts.SetSeveral(slots, given, count);
    count = 0;
  };
  for (const zvd_trailer::SFieldText& t : trailer.texts) {
    if (t.record < lo || t.record >= hi) continue;
    if (count && (t.record != record || count == CRecordTexts::kCount)) give();
    // Only once the records before have their texts: the pages behind are given back.
    if (!count) behind.At(t.utf8.data());
    record = t.record;
    slots[count] = (byIndex[record]->*kRecordFields[kFileOrder[t.place]].pText).Slot();
    if (IsWellFormedUtf8(t.utf8)) {
      given[count] = t.utf8;
    } else {
      repaired[count] = RepairUtf8(t.utf8);
      given[count] = repaired[count];
    }
    ++count;
    mark(record);
  }
  give();
}

// Gives the records of index lo to hi (not included) what the trailer holds for them of what, in
// the trailer's order; the count of those records it extended first. extended has a flag per
// record, each written by one thread only.
size_t GiveTrailer(const zvd_trailer::STrailer& trailer, const std::vector<CTreeItem*>& byIndex,
                   std::uint64_t lo, std::uint64_t hi, std::vector<unsigned char>& extended,
                   const SPagesBehind& pages, EGiven what) {
  // A section's entries of these records lie together in the file, and they are read once.
  STrailerBehind behind{pages};
  size_t count = 0;
  auto mark = [&](std::uint64_t record) {
    count += !extended[record];
    extended[record] = 1;
  };
  CTextArena texts;
  if (what == EGiven::texts) GiveTexts(trailer, byIndex, lo, hi, behind, mark);
  auto extrasOf = [&](std::uint64_t record) -> SRecordExtras* {
    if (what != EGiven::extras || record < lo || record >= hi) return nullptr;
    std::unique_ptr<SRecordExtras>& held = byIndex[record]->m_pExtras;
    if (!held) held = std::make_unique<SRecordExtras>();
    mark(record);
    return held.get();
  };
  behind.Begin();
  // Identities given at once share their REV (a whole database's, when it was first shared):
  // a REV like the one before is that one's text.
  CText lastRev;
  for (const zvd_trailer::SIdentity& id : trailer.identities) {
    if (SRecordExtras* held = extrasOf(id.record)) {
      behind.At(id.uid.data());
      texts.Assign(held->uid, id.uid);
      if (lastRev.empty() || lastRev.view() != id.rev) texts.Assign(lastRev, id.rev);
      held->rev = lastRev;
    }
  }
  behind.Begin();
  for (const zvd_trailer::SPhotoEntry& p : trailer.photos) {
    if (SRecordExtras* held = extrasOf(p.record)) {
      behind.At(p.bytes.data());
      held->photoType = p.mediaType;
      held->photo = p.bytes;
    }
  }
  behind.Begin();
  for (const zvd_trailer::SPropertyEntry& p : trailer.properties) {
    if (SRecordExtras* held = extrasOf(p.record))
      for (std::string_view line : p.lines) {
        behind.At(line.data());
        held->properties.emplace_back(IsWellFormedUtf8(line) ? std::string(line)
                                                             : RepairUtf8(line));
      }
  }
  return count;
}

// The records of a large file (both) are given their part of the trailer on two threads, the
// later half on the second: each record's texts and extras are made by one of them, in the
// trailer's order. The texts come first, and their entries go before the extras are made: a
// large file's peak of memory holds the one or the other.
size_t GiveTrailerOnTwoThreads(zvd_trailer::STrailer& trailer,
                               const std::vector<CTreeItem*>& byIndex, bool both,
                               const SPagesBehind& pages) {
  std::vector<unsigned char> extended(byIndex.size());
  const std::uint64_t n = byIndex.size();
  const std::uint64_t half = both && n > 1 ? n / 2 : n;
  size_t count = 0;
  for (EGiven what : {EGiven::texts, EGiven::extras}) {
    if (what == EGiven::extras) std::vector<zvd_trailer::SFieldText>().swap(trailer.texts);
    size_t first = 0, later = 0;
    RunBeside([&] { first = GiveTrailer(trailer, byIndex, 0, half, extended, pages, what); },
              [&] { later = GiveTrailer(trailer, byIndex, half, n, extended, pages, what); });
    count += first + later;
  }
  return count;
}

// The pages of a mapped file's trailer, from at on, once it is read: its entries are views into
// them, but they are given to the records only once the records are read, and then the pages
// come back as each thread needs them (and go again behind it).
void GiveBackTrailer(const CFileBytes* file, size_t at) {
  if (file) file->Release(at, file->Bytes().size());
}

// The hash of the records, the pages of file behind it given back as it goes.
std::function<std::uint64_t()> HashGivingBack(std::string_view records, const CFileBytes* file) {
  return [records, file] {
    if (!file) return zvd_trailer::RecordsHash(records);
    size_t done = 0;
    return zvd_trailer::RecordsHash(records,
                                    [file, &done](size_t at) { done = file->Release(done, at); });
  };
}

// Reads the trailer at rest after the records appended to root from position first on (unless
// ahead read it already), and gives them its texts, on two threads from splitFrom bytes on. A
// trailer that does not read leaves the records as they are.
void ApplyTrailer(std::string_view records, std::string_view rest, CTreeItem& root, size_t first,
                  SZvdExtras* extras, SZvdTrailerAhead& ahead, size_t splitFrom,
                  const SPagesBehind& pages) {
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
  } else {
    const bool read = zvd_trailer::ReadTrailer(HashGivingBack(records, pages.file), byIndex.size(),
                                               rest, trailer, x.ignored);
    GiveBackTrailer(pages.file, records.size());
    if (!read) return;
  }
  x.extendedRecords +=
      GiveTrailerOnTwoThreads(trailer, byIndex, records.size() >= splitFrom, pages);
  x.kept = std::move(trailer.kept);
}

// LoadItem, giving back the pages behind the reader as it goes (behind null: none).
bool LoadItemBehind(CArchiveReader& ar, CTreeItem& record, CTreeItem* parent, std::string& error,
                    SPagesBehind* behind) {
  record.m_pParent = parent;
  record.m_nKind = kindContacts;
  if (!LoadFields(ar, record)) {
    error = ar.Error();
    return false;
  }
  return zvd_layout::ReadSubtree(
      ar, &record,
      [&ar, behind](CTreeItem* above, CTreeItem*& child) {
        if (behind) behind->At(ar);
        child = new CTreeItem(CTreeItem::SUnfilled{});
        CTreeItem::AddChild(above, child);
        return LoadFields(ar, *child);
      },
      error);
}

}  // namespace

bool LoadItem(CArchiveReader& ar, CTreeItem& record, CTreeItem* parent, std::string& error) {
  return LoadItemBehind(ar, record, parent, error, nullptr);
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
              size_t stop, std::int32_t& read, std::string& error, SPagesBehind& behind) {
  for (; read < count && Offset(bytes, ar) < stop; ++read) {
    behind.At(ar);
    auto* record = new CTreeItem(CTreeItem::SUnfilled{});
    CTreeItem::AddChild(&root, record);
    if (!LoadItemBehind(ar, *record, &root, error, &behind)) return false;
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
  SZvdTrailerAhead* ahead = nullptr;  // the trailer after them, read by the thread done first
  std::atomic<bool> trailerTaken{false};  // a thread is reading ahead
  SPagesBehind behind;                    // of the records this thread reads

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
      behind.done = Offset(bytes, ar);
      ok = LoadTops(bytes, ar, root, count, bytes.size() + 1, i, error, behind);
      end = Offset(bytes, ar);
      // The trailer's checks (its hash of the whole records) are made by the thread that ends
      // its records first, while the other is still reading.
      if (ok && zvd_trailer::BeginsTrailer(bytes.substr(end)) && !trailerTaken.exchange(true))
        ahead->Read(bytes, end, behind.file);
    } catch (...) {
      thrown = std::current_exception();
    }
  }
};

// Where the second thread begins reading, as a share of the records. It passes over what comes
// before first, the first then checks the trailer while the second ends its records, and the two
// share the giving of the trailer's texts: the middle is where they end nearest together
// (measured on 100,000 contacts with and without a trailer).
constexpr double kSplitAt = 0.5;

// Reads count top records from the reader's position on into root, the later part on a
// second thread when the file holds at least splitFrom bytes; end is where the records end.
bool LoadAllTops(std::string_view bytes, CArchiveReader& ar, CTreeItem& root, std::int32_t count,
                 size_t splitFrom, size_t& end, SZvdTrailerAhead& ahead, std::string& error,
                 const SPagesBehind& given) {
  std::int32_t read = 0;
  SPagesBehind behind = given;
  auto restHere = [&] {
    const bool ok = LoadTops(bytes, ar, root, count, bytes.size() + 1, read, error, behind);
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
  later.behind = given;
  later.split = std::max(Offset(bytes, ar) + 1, static_cast<size_t>(records * kSplitAt));
  later.count = count;
  later.root.m_nKind = root.m_nKind;
  std::thread second;
  try {
    second = StartThread([&later] { later.Read(); });
  } catch (const std::system_error&) {
    // No second thread to be had: the whole file on this one.
    later.split = bytes.size() + 1;
  }
  bool ok = false;
  try {
    ok = LoadTops(bytes, ar, root, count, later.split, read, error, behind);
    // Done first: the trailer is read ahead from its magic on. Should the magic found have been
    // in a record's text, the trailer read does not match where the records end and is read
    // again after them.
    if (ok && second.joinable() && records < bytes.size() && !later.trailerTaken.exchange(true))
      ahead.Read(bytes, records, behind.file);
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

void SZvdTrailerAhead::Read(std::string_view bytes, size_t magicAt, const CFileBytes* file) {
  const std::string_view rest = bytes.substr(magicAt);
  // The record count follows the magic and the version.
  constexpr size_t kCountAt = zvd_trailer::kMagic.size() + 4;
  if (rest.size() < kCountAt + 8) return;
  count = 0;
  for (size_t i = 0; i < 8; ++i)
    count |= std::uint64_t{static_cast<unsigned char>(rest[kCountAt + i])} << (8 * i);
  end = magicAt;
  read = true;
  ok = zvd_trailer::ReadTrailer(HashGivingBack(bytes.substr(0, magicAt), file), count, rest,
                                trailer, ignored);
  GiveBackTrailer(file, magicAt);
}

bool LoadDatabase(std::string_view bytes, CTreeItem& contactsRoot, std::string& error,
                  SZvdExtras* extras) {
  return LoadDatabase(bytes, contactsRoot, error, extras, kSplitFileBytes);
}

namespace {

bool LoadBytes(std::string_view bytes, CTreeItem& contactsRoot, std::string& error,
               SZvdExtras* extras, size_t splitFrom, const SPagesBehind& behind) {
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
  if (!LoadAllTops(bytes, ar, contactsRoot, n, splitFrom, end, ahead, error, behind)) return false;
  // Bytes after the last record that do not begin a trailer are left alone, as the older
  // layout's readers leave them.
  if (zvd_trailer::BeginsTrailer(bytes.substr(end)))
    ApplyTrailer(bytes.substr(0, end), bytes.substr(end), contactsRoot, first, extras, ahead,
                 splitFrom, behind);
  return true;
}

}  // namespace

bool LoadDatabase(std::string_view bytes, CTreeItem& contactsRoot, std::string& error,
                  SZvdExtras* extras, size_t splitFrom) {
  return LoadBytes(bytes, contactsRoot, error, extras, splitFrom, SPagesBehind());
}

bool LoadDatabase(const CFileBytes& file, CTreeItem& contactsRoot, std::string& error,
                  SZvdExtras* extras, size_t splitFrom, size_t releaseEvery) {
  SPagesBehind behind;
  if (file.Mapped()) {
    behind.file = &file;
    behind.size = file.Bytes().size();
    behind.every = releaseEvery;
  }
  return LoadBytes(file.Bytes(), contactsRoot, error, extras, splitFrom, behind);
}

bool LoadDatabaseFile(const std::string& path, CTreeItem& contactsRoot, std::string& error,
                      SZvdExtras* extras, std::uint64_t maxBytes) {
  CFileBytes file;
  return file.Open(path, error, maxBytes) &&
         LoadDatabase(file, contactsRoot, error, extras, kSplitFileBytes, kReleaseEvery);
}

}  // namespace zorvan
