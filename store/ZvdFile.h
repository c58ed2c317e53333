#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/Archive.h"
#include "store/ExtensionTrailer.h"
#include "store/FileRead.h"
#include "store/TreeItem.h"

namespace zorvan {

// The header text written at the start of every database file (ignored when reading).
inline constexpr std::string_view kZvdHeader = "Zorvan 2.1.3";

// Reads one record with its whole subtree into record, whose parent becomes parent. False with
// the reason in error on a damaged file; what was read stays attached to record (the caller
// discards it).
bool LoadItem(CArchiveReader& ar, CTreeItem& record, CTreeItem* parent, std::string& error);

// What a database file holds beyond its records' 45 fields in the code page, as LoadDatabase
// found it.
struct SZvdExtras {
  bool hasTrailer = false;                  // the records are followed by an extension trailer
  std::string ignored;                      // why that trailer was ignored; empty when it was read
  size_t extendedRecords = 0;               // the records that took texts or extras from it
  std::vector<zvd_trailer::SSection> kept;  // its sections of tags this program does not read
};

// Whether a store writes the extension trailer after the records. A file without it is the
// base format alone, all that the older program reads: texts the code page cannot hold keep
// only their "?" form, and the records' extras and the kept sections are left out.
enum class EZvdTrailer { written, none };

// The whole file for the records below the contacts root (null: an empty database). A record
// text that the code page cannot hold goes into the extension trailer as well, as do the
// records' extras and the kept sections; without any the file has no trailer, and is the file
// of the older layout.
std::string StoreDatabase(const CTreeItem* contactsRoot,
                          const std::vector<zvd_trailer::SSection>& kept = {},
                          EZvdTrailer trailer = EZvdTrailer::written);

// The same, written on two threads when the records take at least splitFrom bytes (the one
// above: a few megabytes), with the same bytes as on one.
std::string StoreDatabase(const CTreeItem* contactsRoot, EZvdTrailer trailer, size_t splitFrom);

// The whole file as StoreDatabase above makes it, unless it would be a file that no reader
// opens again: records nested deeper than zvd_layout::kMaxRecordDepth, or a file larger than
// maxBytes (zvd_layout::MaxDatabaseBytes() for a save). False with the reason in error then.
bool StoreDatabase(const CTreeItem* contactsRoot, std::uint64_t maxBytes, std::string& bytes,
                   std::string& error, const std::vector<zvd_trailer::SSection>& kept = {},
                   EZvdTrailer trailer = EZvdTrailer::written);
// The base format alone, with the same limits.
inline bool StoreDatabase(const CTreeItem* contactsRoot, std::uint64_t maxBytes, std::string& bytes,
                          std::string& error, EZvdTrailer trailer) {
  return StoreDatabase(contactsRoot, maxBytes, bytes, error, {}, trailer);
}

// A database file as a save writes it: the bytes of its header and records, and what its
// extension trailer holds, whose texts and photos are views into the tree (valid while it is
// not changed). A save hands these to the disk as they are, and builds no whole file.
struct SZvdFileParts {
  // The header and records, in two pieces when a second thread wrote the later records: they
  // follow the first piece's in the file.
  std::string records;
  std::string laterRecords;
  std::uint64_t recordCount = 0;
  zvd_trailer::STrailer trailer;  // empty: the file has no trailer
  bool withTrailer = false;

  std::uint64_t Size() const;
  // Hands the whole file to write in pieces, in order; false as soon as write is.
  bool WriteTo(const std::function<bool(std::string_view)>& write) const;
  // The whole file as one string (the parts are used up).
  std::string TakeFile();
};

// The parts of the file StoreDatabase above makes, with the same limits.
bool StoreDatabase(const CTreeItem* contactsRoot, std::uint64_t maxBytes, SZvdFileParts& parts,
                   std::string& error, const std::vector<zvd_trailer::SSection>& kept = {},
                   EZvdTrailer trailer = EZvdTrailer::written);

// Where the extension trailer's magic first occurs in bytes (their size when nowhere): where
// the records end, most likely, though a record's text may hold the magic too.
size_t FindTrailerMagic(std::string_view bytes);

// The extension trailer read on a thread of its own before it is known where the records end
// or how many there are: as if they ended where its magic begins, at end, and were as many as
// it says it belongs to. What it read is ReadTrailer's outcome whenever both hold (Matches),
// which the reader checks once it has read the records.
struct SZvdTrailerAhead {
  bool read = false;  // Read found a trailer long enough to say its count
  size_t end = 0;
  std::uint64_t count = 0;
  bool ok = false;
  zvd_trailer::STrailer trailer;
  std::string ignored;

  // file: the file whose bytes these are, to give back the pages behind the hash as it goes.
  void Read(std::string_view bytes, size_t magicAt, const CFileBytes* file = nullptr);
  bool Matches(size_t recordsEnd, std::uint64_t records) const {
    return read && recordsEnd == end && records == count;
  }
};

// Reads a database file's records and appends them to contactsRoot. False with the reason in
// error when the file is damaged. An extension trailer after the records gives them its texts;
// one that is damaged or belongs to other records is ignored, the records still load, and
// extras (when given) says why.
bool LoadDatabase(std::string_view bytes, CTreeItem& contactsRoot, std::string& error,
                  SZvdExtras* extras = nullptr);
// The same, reading the records on two threads when the file holds at least splitFrom bytes
// (LoadDatabase above: a few megabytes), with the same records, order and errors as on one.
bool LoadDatabase(std::string_view bytes, CTreeItem& contactsRoot, std::string& error,
                  SZvdExtras* extras, size_t splitFrom);

// The same from a file's bytes, giving back the pages of a mapped one behind each thread's reader
// every releaseEvery bytes (and behind the trailer's hash of the records): the records hold all
// they need of the bytes once read, and a large file's peak of memory is then its records.
bool LoadDatabase(const CFileBytes& file, CTreeItem& contactsRoot, std::string& error,
                  SZvdExtras* extras, size_t splitFrom, size_t releaseEvery);

// The database file at path, opened as CFileBytes opens it (at most maxBytes), read as above:
// how the program and its command line open a database.
bool LoadDatabaseFile(const std::string& path, CTreeItem& contactsRoot, std::string& error,
                      SZvdExtras* extras, std::uint64_t maxBytes);

}  // namespace zorvan
