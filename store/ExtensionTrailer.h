#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The extension trailer of a database file: what the 45 fields in the code page cannot hold,
// kept after the last record, where a reader of the records alone never looks.
//
// Layout (little-endian, as the rest of the file):
//   8 bytes  magic FF FE FF 'Z' 'V' 'X' CR LF
//   4 bytes  version (1)
//   8 bytes  count of the records the trailer belongs to (every record of the contacts branch)
//   8 bytes  XXH64 (seed 0) of every byte of the file before the trailer: header and records
//   8 bytes  length of the sections that follow
//   sections, each: 4 bytes ASCII tag, 8 bytes length, the payload; TEXT, IDEN, PHOT and PROP
//   first, as far as any, then the kept sections in the order they were read
//   4 bytes  CRC-32 (zlib's) of every byte of the trailer before it, magic included
// Records are addressed by their pre-order index in the contacts branch (0 the first record
// below the root, its children next, ...), as the file holds them.
namespace zorvan::zvd_trailer {

// A record begins with its first text field. A length byte FF announces a 16-bit length, and
// the 16-bit length FFFE marks a text in an encoding the file never holds, which every reader
// refuses: so FF FE FF is the start of no record that reads, nor of a record count, and a
// reader that runs on past the last record stops there. The line end at the end shows a file
// that went through a text-mode conversion.
inline constexpr std::string_view kMagic{
    "\xFF\xFE\xFF"
    "ZVX\r\n",
    8};
inline constexpr std::uint32_t kVersion = 1;

// The bytes of the magic, version, record count, hash and sections length; and of the CRC-32.
inline constexpr size_t kFixedBytes = 8 + 4 + 8 + 8 + 8;
inline constexpr size_t kChecksumBytes = 4;
// A section's tag and length.
inline constexpr size_t kSectionHeadBytes = 4 + 8;

// The section tags.
// Texts the code page cannot hold, as UTF-8: entries of record index (8 bytes), the field's
// place in the file record (4 bytes, 0 the first name as kFileOrder counts), length (4 bytes)
// and the text. The record itself keeps the "?" form that the code page gives.
inline constexpr std::string_view kTagText = "TEXT";
// A stable identity per record: entries of record index (8 bytes), the UID's length (4 bytes)
// and UTF-8, the REV's length (4 bytes) and text (the time of its last change, UTC).
inline constexpr std::string_view kTagIdentity = "IDEN";
// A photo per record: entries of record index (8 bytes), the media type's length (4 bytes) and
// ASCII, the photo's length (4 bytes) and bytes.
inline constexpr std::string_view kTagPhoto = "PHOT";
// The vCard properties the 45 fields have no place for, as unfolded UTF-8 content lines in
// their order: entries of record index (8 bytes), the count of lines (4 bytes), and each line's
// length (4 bytes) and text.
inline constexpr std::string_view kTagProperties = "PROP";

// A section kept as it was read: a tag this program does not read, written back unchanged.
struct SSection {
  std::string tag;  // four bytes
  std::string payload;
  friend bool operator==(const SSection&, const SSection&) = default;
};

// One field's text that the code page cannot hold.
struct SFieldText {
  std::uint64_t record = 0;  // pre-order index in the contacts branch
  std::uint32_t place = 0;   // the field's place in the file record
  // The text: a view into the tree's text when written, into the file's bytes when read, valid
  // as long as they are.
  std::string_view utf8;
  friend bool operator==(const SFieldText&, const SFieldText&) = default;
};

// One record's identity; views as SFieldText's are.
struct SIdentity {
  std::uint64_t record = 0;  // pre-order index in the contacts branch
  std::string_view uid;
  std::string_view rev;
  friend bool operator==(const SIdentity&, const SIdentity&) = default;
};

// One record's photo; views as SFieldText's are.
struct SPhotoEntry {
  std::uint64_t record = 0;  // pre-order index in the contacts branch
  std::string_view mediaType;
  std::string_view bytes;
  friend bool operator==(const SPhotoEntry&, const SPhotoEntry&) = default;
};

// One record's kept vCard properties; views as SFieldText's are.
struct SPropertyEntry {
  std::uint64_t record = 0;  // pre-order index in the contacts branch
  std::vector<std::string_view> lines;
  friend bool operator==(const SPropertyEntry&, const SPropertyEntry&) = default;
};

// What a trailer holds, in memory.
struct STrailer {
  std::vector<SFieldText> texts;           // by record, then by place, as written
  std::vector<SIdentity> identities;       // by record, as written
  std::vector<SPhotoEntry> photos;         // by record, as written
  std::vector<SPropertyEntry> properties;  // by record, as written
  std::vector<SSection> kept;              // in the order read
  bool Empty() const {
    return texts.empty() && identities.empty() && photos.empty() && properties.empty() &&
           kept.empty();
  }
};

// The 64-bit hash of the bytes before the trailer.
std::uint64_t RecordsHash(std::string_view records);
// The hash of records held in two pieces, the second following the first.
std::uint64_t RecordsHash(std::string_view first, std::string_view second);
// The same hash taken a piece of a megabyte at a time, the offset after each piece handed to
// passed (a mapped file gives back the pages behind it).
std::uint64_t RecordsHash(std::string_view records, const std::function<void(size_t)>& passed);

// True when the bytes after the last record begin with the trailer's magic.
inline bool BeginsTrailer(std::string_view rest) { return rest.substr(0, kMagic.size()) == kMagic; }

// True when the magic occurs anywhere in bytes, so that a trailer may follow its records.
// Quick: it looks for the magic's letters, rarer in a file than its FF bytes.
bool HoldsMagic(std::string_view bytes);

// The bytes the trailer of trailer takes in the file, checksum included.
std::uint64_t TrailerBytes(const STrailer& trailer);

// Hands the trailer of trailer, which follows records (the header and records of recordCount
// records), to write in pieces, in order: its small values gathered a buffer's worth at a time,
// and a photo's bytes as the record holds them, so that a trailer of many megabytes is neither
// built apart nor copied. False as soon as write is.
bool WriteTrailer(std::string_view records, std::uint64_t recordCount, const STrailer& trailer,
                  const std::function<bool(std::string_view)>& write);
// The same, given the records' hash (RecordsHash).
bool WriteTrailer(std::uint64_t recordsHash, std::uint64_t recordCount, const STrailer& trailer,
                  const std::function<bool(std::string_view)>& write);

// Appends the trailer of trailer to file, whose bytes so far are the header and records of
// recordCount records.
void AppendTrailer(std::string& file, std::uint64_t recordCount, const STrailer& trailer);

// Reads the trailer at rest, which follows records, the file's bytes before it holding
// recordCount records; the texts read are views into rest. False with the reason when the trailer
// is damaged or belongs to other records; trailer is then left empty. Every length is checked
// against the bytes left, and nothing is allocated beyond the bytes the trailer holds.
bool ReadTrailer(std::string_view records, std::uint64_t recordCount, std::string_view rest,
                 STrailer& trailer, std::string& reason);
// The same, with the records' hash taken by recordsHash, once the trailer's own checks hold.
bool ReadTrailer(const std::function<std::uint64_t()>& recordsHash, std::uint64_t recordCount,
                 std::string_view rest, STrailer& trailer, std::string& reason);

}  // namespace zorvan::zvd_trailer
