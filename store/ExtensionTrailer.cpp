#include "store/ExtensionTrailer.h"

#include <zlib.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "store/ZvdLayout.h"

// XXH64, compiled into this file: the hash of a whole database file's records is taken on every
// open and save of a file with a trailer, and the inlined form is the fastest there is.
#define XXH_INLINE_ALL
#include <xxhash.h>

namespace zorvan::zvd_trailer {
namespace {

std::uint64_t GetLittle(std::string_view in, size_t at, size_t bytes) {
  std::uint64_t value = 0;
  for (size_t i = 0; i < bytes; ++i)
    value |= static_cast<std::uint64_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
  return value;
}

std::uint32_t Crc32(std::string_view bytes) {
  return static_cast<std::uint32_t>(
      crc32_z(crc32_z(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
}

// A field place that names a text of the file record.
bool IsTextPlace(std::uint64_t place) {
  return place < zvd_layout::kFileOrder.size() &&
         kRecordFields[zvd_layout::kFileOrder[place]].type == EFieldType::text;
}

// The trailer's bytes on their way to the file. Small values are gathered into a buffer of
// the size the atomic file writes at once; a long text or a photo goes on as it is held, between
// two such pieces. The CRC-32 is taken of every piece as it passes, so nothing is read twice.
class CTrailerWriter {
 public:
  explicit CTrailerWriter(const std::function<bool(std::string_view)>& write) : m_write(write) {
    m_buffer.reserve(kGathered);
  }

  void Little(std::uint64_t value, size_t bytes) {
    char b[8];
    for (size_t i = 0; i < bytes; ++i) b[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    Bytes(std::string_view(b, bytes));
  }
  void Bytes(std::string_view bytes) {
    if (bytes.size() >= kPassedOn) {
      Flush();
      Emit(bytes);
      return;
    }
    m_buffer.append(bytes);
    if (m_buffer.size() >= kGathered) Flush();
  }
  void Counted(std::string_view text) {
    Little(text.size(), 4);
    Bytes(text);
  }
  void SectionHead(std::string_view tag, std::uint64_t length) {
    const std::string_view four = tag.substr(0, 4);
    Bytes(four);
    Bytes(std::string_view("    ", 4 - four.size()));
    Little(length, 8);
  }
  // Ends the trailer with the CRC-32 of all that went before.
  bool Finish() {
    Flush();
    char b[kChecksumBytes];
    for (size_t i = 0; i < kChecksumBytes; ++i) b[i] = static_cast<char>((m_crc >> (8 * i)) & 0xFF);
    m_ok = m_ok && m_write(std::string_view(b, kChecksumBytes));
    return m_ok;
  }

 private:
  static constexpr size_t kGathered = 64 * 1024;
  static constexpr size_t kPassedOn = 4 * 1024;

  void Flush() {
    if (m_buffer.empty()) return;
    Emit(m_buffer);
    m_buffer.clear();
  }
  void Emit(std::string_view bytes) {
    m_crc = crc32_z(m_crc, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size());
    m_ok = m_ok && m_write(bytes);
  }

  const std::function<bool(std::string_view)>& m_write;
  std::string m_buffer;
  uLong m_crc = crc32_z(0, nullptr, 0);
  bool m_ok = true;
};

size_t TextBytes(const std::vector<SFieldText>& texts) {
  size_t bytes = 0;
  for (const SFieldText& t : texts) bytes += 16 + t.utf8.size();
  return bytes;
}

void PutTexts(CTrailerWriter& out, const std::vector<SFieldText>& texts) {
  for (const SFieldText& t : texts) {
    out.Little(t.record, 8);
    out.Little(t.place, 4);
    out.Counted(t.utf8);
  }
}

size_t IdentityBytes(const SIdentity& id) { return 16 + id.uid.size() + id.rev.size(); }
void PutIdentity(CTrailerWriter& out, const SIdentity& id) {
  out.Counted(id.uid);
  out.Counted(id.rev);
}

size_t PhotoBytes(const SPhotoEntry& p) { return 16 + p.mediaType.size() + p.bytes.size(); }
void PutPhoto(CTrailerWriter& out, const SPhotoEntry& p) {
  out.Counted(p.mediaType);
  out.Counted(p.bytes);
}

size_t PropertyBytes(const SPropertyEntry& p) {
  size_t bytes = 12;
  for (std::string_view line : p.lines) bytes += 4 + line.size();
  return bytes;
}
void PutProperties(CTrailerWriter& out, const SPropertyEntry& p) {
  out.Little(p.lines.size(), 4);
  for (std::string_view line : p.lines) out.Counted(line);
}

// The bytes of a section of per-record entries, each entry's record index written before what
// put writes of it.
template <class Entry>
struct SEntrySection {
  std::string_view tag;
  const std::vector<Entry>& entries;
  size_t (*bytesOf)(const Entry&);
  void (*put)(CTrailerWriter&, const Entry&);

  size_t Bytes() const {
    size_t bytes = 0;
    for (const Entry& e : entries) bytes += bytesOf(e);
    return entries.empty() ? 0 : kSectionHeadBytes + bytes;
  }
  void Append(CTrailerWriter& out, size_t bytes) const {
    if (entries.empty()) return;
    out.SectionHead(tag, bytes - kSectionHeadBytes);
    for (const Entry& e : entries) {
      out.Little(e.record, 8);
      put(out, e);
    }
  }
};

// The sections of a trailer, with the bytes each takes, worked out once for both the length
// the trailer announces and the room a caller makes for it.
struct SSectionsOf {
  explicit SSectionsOf(const STrailer& of)
      : trailer(of),
        identities{kTagIdentity, of.identities, IdentityBytes, PutIdentity},
        photos{kTagPhoto, of.photos, PhotoBytes, PutPhoto},
        properties{kTagProperties, of.properties, PropertyBytes, PutProperties} {
    textBytes = TextBytes(trailer.texts);
    identityBytes = identities.Bytes();
    photoBytes = photos.Bytes();
    propertyBytes = properties.Bytes();
    bytes = (trailer.texts.empty() ? 0 : kSectionHeadBytes + textBytes) + identityBytes +
            photoBytes + propertyBytes;
    for (const SSection& s : trailer.kept) bytes += kSectionHeadBytes + s.payload.size();
  }

  void Write(CTrailerWriter& out) const {
    if (!trailer.texts.empty()) {
      out.SectionHead(kTagText, textBytes);
      PutTexts(out, trailer.texts);
    }
    identities.Append(out, identityBytes);
    photos.Append(out, photoBytes);
    properties.Append(out, propertyBytes);
    for (const SSection& s : trailer.kept) {
      out.SectionHead(s.tag, s.payload.size());
      out.Bytes(s.payload);
    }
  }

  const STrailer& trailer;
  SEntrySection<SIdentity> identities;
  SEntrySection<SPhotoEntry> photos;
  SEntrySection<SPropertyEntry> properties;
  size_t textBytes = 0, identityBytes = 0, photoBytes = 0, propertyBytes = 0;
  size_t bytes = 0;  // of all the sections
};

// A text of a 32-bit length and its bytes at at, checked against what is left of payload.
bool ReadCountedView(std::string_view payload, size_t& at, std::string_view& text) {
  if (payload.size() - at < 4) return false;
  const std::uint64_t length = GetLittle(payload, at, 4);
  at += 4;
  if (length > payload.size() - at) return false;
  text = payload.substr(at, length);
  at += length;
  return true;
}

// The entries of a section of per-record entries: each a record index, checked against the
// records, and what readRest reads of it, checked against what is left of the section. what
// names an entry in the reasons.
template <class Entry, class ReadRest>
bool ReadEntries(std::string_view payload, std::uint64_t recordCount, std::string_view what,
                 std::vector<Entry>& entries, std::string& reason, ReadRest readRest) {
  size_t at = 0;
  while (at < payload.size()) {
    Entry e;
    if (payload.size() - at < 8) {
      reason = std::string(what) + " in it is cut short";
      return false;
    }
    e.record = GetLittle(payload, at, 8);
    at += 8;
    if (e.record >= recordCount) {
      reason = std::string(what) + " in it belongs to no record";
      return false;
    }
    if (!readRest(payload, at, e)) {
      reason = std::string(what) + " in it is longer than its section";
      return false;
    }
    entries.push_back(std::move(e));
  }
  return true;
}

bool ReadIdentities(std::string_view payload, std::uint64_t recordCount,
                    std::vector<SIdentity>& identities, std::string& reason) {
  // Counted first: a large file holds one for each of a hundred thousand records, and a vector
  // grown to them holds up to twice the room, while the records take their extras from it.
  size_t count = 0;
  for (size_t at = 8; at <= payload.size(); at += 8, ++count) {
    std::string_view uid, rev;
    if (!ReadCountedView(payload, at, uid) || !ReadCountedView(payload, at, rev)) break;
  }
  identities.reserve(identities.size() + count);
  return ReadEntries(payload, recordCount, "an identity", identities, reason,
                     [](std::string_view in, size_t& at, SIdentity& id) {
                       return ReadCountedView(in, at, id.uid) && ReadCountedView(in, at, id.rev);
                     });
}

bool ReadPhotos(std::string_view payload, std::uint64_t recordCount,
                std::vector<SPhotoEntry>& photos, std::string& reason) {
  return ReadEntries(payload, recordCount, "a photo", photos, reason,
                     [](std::string_view in, size_t& at, SPhotoEntry& p) {
                       return ReadCountedView(in, at, p.mediaType) &&
                              ReadCountedView(in, at, p.bytes);
                     });
}

bool ReadProperties(std::string_view payload, std::uint64_t recordCount,
                    std::vector<SPropertyEntry>& properties, std::string& reason) {
  return ReadEntries(payload, recordCount, "a property list", properties, reason,
                     [](std::string_view in, size_t& at, SPropertyEntry& p) {
                       if (in.size() - at < 4) return false;
                       const std::uint64_t count = GetLittle(in, at, 4);
                       at += 4;
                       // Each line takes at least its length: a count beyond that is damage,
                       // found before anything is allocated for it.
                       if (count > (in.size() - at) / 4) return false;
                       p.lines.resize(count);
                       for (std::string_view& line : p.lines)
                         if (!ReadCountedView(in, at, line)) return false;
                       return true;
                     });
}

// The entries of a TEXT section, each checked against what is left of it and against the
// records it belongs to.
bool ReadTexts(std::string_view payload, std::uint64_t recordCount, std::vector<SFieldText>& texts,
               std::string& reason) {
  // Counted first, as the identities are.
  size_t count = 0;
  for (size_t at = 0; payload.size() - at >= 16; ++count) {
    const std::uint64_t length = GetLittle(payload, at + 12, 4);
    at += 16;
    if (length > payload.size() - at) break;
    at += length;
  }
  texts.reserve(texts.size() + count);
  size_t at = 0;
  while (at < payload.size()) {
    if (payload.size() - at < 16) {
      reason = "a text in it is cut short";
      return false;
    }
    SFieldText t;
    t.record = GetLittle(payload, at, 8);
    const std::uint64_t place = GetLittle(payload, at + 8, 4);
    const std::uint64_t length = GetLittle(payload, at + 12, 4);
    at += 16;
    if (t.record >= recordCount) {
      reason = "a text in it belongs to no record";
      return false;
    }
    if (!IsTextPlace(place)) {
      reason = "a text in it belongs to a field that holds no text";
      return false;
    }
    if (length > payload.size() - at) {
      reason = "a text in it is longer than its section";
      return false;
    }
    t.place = static_cast<std::uint32_t>(place);
    t.utf8 = payload.substr(at, length);
    at += length;
    texts.push_back(std::move(t));
  }
  return true;
}

bool ReadSections(std::string_view sections, std::uint64_t recordCount, STrailer& trailer,
                  std::string& reason) {
  size_t at = 0;
  while (at < sections.size()) {
    if (sections.size() - at < kSectionHeadBytes) {
      reason = "a section in it is cut short";
      return false;
    }
    const std::string_view tag = sections.substr(at, 4);
    const std::uint64_t length = GetLittle(sections, at + 4, 8);
    at += kSectionHeadBytes;
    if (length > sections.size() - at) {
      reason = "a section in it is longer than the trailer";
      return false;
    }
    const std::string_view payload = sections.substr(at, length);
    at += length;
    if (tag == kTagText) {
      if (!ReadTexts(payload, recordCount, trailer.texts, reason)) return false;
    } else if (tag == kTagIdentity) {
      if (!ReadIdentities(payload, recordCount, trailer.identities, reason)) return false;
    } else if (tag == kTagPhoto) {
      if (!ReadPhotos(payload, recordCount, trailer.photos, reason)) return false;
    } else if (tag == kTagProperties) {
      if (!ReadProperties(payload, recordCount, trailer.properties, reason)) return false;
    } else {
      trailer.kept.push_back({std::string(tag), std::string(payload)});
    }
  }
  return true;
}

}  // namespace

std::uint64_t RecordsHash(std::string_view records) {
  return XXH64(records.data(), records.size(), 0);
}

std::uint64_t RecordsHash(std::string_view first, std::string_view second) {
  XXH64_state_t state;
  XXH64_reset(&state, 0);
  XXH64_update(&state, first.data(), first.size());
  XXH64_update(&state, second.data(), second.size());
  return XXH64_digest(&state);
}

std::uint64_t RecordsHash(std::string_view records, const std::function<void(size_t)>& passed) {
  constexpr size_t kPiece = size_t{1} << 20;
  XXH64_state_t state;
  XXH64_reset(&state, 0);
  for (size_t at = 0; at < records.size(); at += kPiece) {
    XXH64_update(&state, records.data() + at, std::min(kPiece, records.size() - at));
    passed(std::min(at + kPiece, records.size()));
  }
  return XXH64_digest(&state);
}

bool HoldsMagic(std::string_view bytes) {
  constexpr std::string_view letters = kMagic.substr(3);
  for (size_t at = bytes.find(letters, 3); at != std::string_view::npos;
       at = bytes.find(letters, at + 1))
    if (bytes.substr(at - 3, kMagic.size()) == kMagic) return true;
  return false;
}

std::uint64_t TrailerBytes(const STrailer& trailer) {
  return kFixedBytes + SSectionsOf(trailer).bytes + kChecksumBytes;
}

bool WriteTrailer(std::string_view records, std::uint64_t recordCount, const STrailer& trailer,
                  const std::function<bool(std::string_view)>& write) {
  return WriteTrailer(RecordsHash(records), recordCount, trailer, write);
}

bool WriteTrailer(std::uint64_t recordsHash, std::uint64_t recordCount, const STrailer& trailer,
                  const std::function<bool(std::string_view)>& write) {
  const SSectionsOf sections(trailer);
  CTrailerWriter out(write);
  out.Bytes(kMagic);
  out.Little(kVersion, 4);
  out.Little(recordCount, 8);
  out.Little(recordsHash, 8);
  out.Little(sections.bytes, 8);
  sections.Write(out);
  return out.Finish();
}

void AppendTrailer(std::string& file, std::uint64_t recordCount, const STrailer& trailer) {
  const size_t start = file.size();
  file.reserve(start + TrailerBytes(trailer));
  // The records are hashed where they lie; the trailer's pieces go after them, into the room
  // made for them, which the records' view does not reach into.
  const std::string_view records(file.data(), start);
  WriteTrailer(records, recordCount, trailer, [&file](std::string_view piece) {
    file.append(piece);
    return true;
  });
}

bool ReadTrailer(std::string_view records, std::uint64_t recordCount, std::string_view rest,
                 STrailer& trailer, std::string& reason) {
  return ReadTrailer([records] { return RecordsHash(records); }, recordCount, rest, trailer,
                     reason);
}

bool ReadTrailer(const std::function<std::uint64_t()>& recordsHash, std::uint64_t recordCount,
                 std::string_view rest, STrailer& trailer, std::string& reason) {
  trailer = STrailer();
  if (rest.size() < kFixedBytes + kChecksumBytes) {
    reason = "it is cut short";
    return false;
  }
  const std::uint64_t version = GetLittle(rest, 8, 4);
  if (version != kVersion) {
    // A later layout may place everything after the version elsewhere.
    reason = "it has the unknown version " + std::to_string(version);
    return false;
  }
  const std::uint64_t sectionBytes = GetLittle(rest, 28, 8);
  if (sectionBytes > rest.size() - kFixedBytes - kChecksumBytes) {
    reason = "it is cut short";
    return false;
  }
  // Bytes after the checksum are left alone, as bytes after the last record are.
  const size_t checked = kFixedBytes + static_cast<size_t>(sectionBytes);
  if (Crc32(rest.substr(0, checked)) != GetLittle(rest, checked, kChecksumBytes)) {
    reason = "it has a wrong checksum";
    return false;
  }
  const std::uint64_t count = GetLittle(rest, 12, 8);
  if (count != recordCount) {
    reason = "it does not match its records: it belongs to " + std::to_string(count) +
             " records, and the file holds " + std::to_string(recordCount);
    return false;
  }
  if (GetLittle(rest, 20, 8) != recordsHash()) {
    reason = "it does not match its records: they were written again without it";
    return false;
  }
  if (!ReadSections(rest.substr(kFixedBytes, checked - kFixedBytes), recordCount, trailer,
                    reason)) {
    trailer = STrailer();
    return false;
  }
  return true;
}

}  // namespace zorvan::zvd_trailer
