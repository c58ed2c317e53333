#include "store/ExtensionTrailer.h"

#include <zlib.h>

#include <algorithm>
#include <utility>

#include "store/ZvdLayout.h"

// XXH64, compiled into this file: the hash of a whole database file's records is taken on every
// open and save of a file with a trailer, and the inlined form is the fastest there is.
#define XXH_INLINE_ALL
#include <xxhash.h>

namespace zorvan::zvd_trailer {
namespace {

void PutLittle(std::string& out, std::uint64_t value, size_t bytes) {
  for (size_t i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

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

void PutSectionHead(std::string& out, std::string_view tag, std::uint64_t length) {
  out.append(tag.substr(0, 4));
  out.append(4 - std::min<size_t>(tag.size(), 4), ' ');
  PutLittle(out, length, 8);
}

size_t TextBytes(const std::vector<SFieldText>& texts) {
  size_t bytes = 0;
  for (const SFieldText& t : texts) bytes += 16 + t.utf8.size();
  return bytes;
}

void PutTexts(std::string& out, const std::vector<SFieldText>& texts) {
  for (const SFieldText& t : texts) {
    PutLittle(out, t.record, 8);
    PutLittle(out, t.place, 4);
    PutLittle(out, t.utf8.size(), 4);
    out.append(t.utf8);
  }
}

void PutCounted(std::string& out, std::string_view text) {
  PutLittle(out, text.size(), 4);
  out.append(text);
}

size_t IdentityBytes(const SIdentity& id) { return 16 + id.uid.size() + id.rev.size(); }
void PutIdentity(std::string& out, const SIdentity& id) {
  PutCounted(out, id.uid);
  PutCounted(out, id.rev);
}

size_t PhotoBytes(const SPhotoEntry& p) { return 16 + p.mediaType.size() + p.bytes.size(); }
void PutPhoto(std::string& out, const SPhotoEntry& p) {
  PutCounted(out, p.mediaType);
  PutCounted(out, p.bytes);
}

size_t PropertyBytes(const SPropertyEntry& p) {
  size_t bytes = 12;
  for (std::string_view line : p.lines) bytes += 4 + line.size();
  return bytes;
}
void PutProperties(std::string& out, const SPropertyEntry& p) {
  PutLittle(out, p.lines.size(), 4);
  for (std::string_view line : p.lines) PutCounted(out, line);
}

// The bytes of a section of per-record entries, each entry's record index written before what
// put writes of it.
template <class Entry>
struct SEntrySection {
  std::string_view tag;
  const std::vector<Entry>& entries;
  size_t (*bytesOf)(const Entry&);
  void (*put)(std::string&, const Entry&);

  size_t Bytes() const {
    size_t bytes = 0;
    for (const Entry& e : entries) bytes += bytesOf(e);
    return entries.empty() ? 0 : kSectionHeadBytes + bytes;
  }
  void Append(std::string& out) const {
    if (entries.empty()) return;
    PutSectionHead(out, tag, Bytes() - kSectionHeadBytes);
    for (const Entry& e : entries) {
      PutLittle(out, e.record, 8);
      put(out, e);
    }
  }
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

bool ReadCountedText(std::string_view payload, size_t& at, std::string& text) {
  std::string_view view;
  if (!ReadCountedView(payload, at, view)) return false;
  text.assign(view);
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
  return ReadEntries(payload, recordCount, "an identity", identities, reason,
                     [](std::string_view in, size_t& at, SIdentity& id) {
                       return ReadCountedText(in, at, id.uid) && ReadCountedText(in, at, id.rev);
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

bool HoldsMagic(std::string_view bytes) {
  constexpr std::string_view letters = kMagic.substr(3);
  for (size_t at = bytes.find(letters, 3); at != std::string_view::npos;
       at = bytes.find(letters, at + 1))
    if (bytes.substr(at - 3, kMagic.size()) == kMagic) return true;
  return false;
}

void AppendTrailer(std::string& file, std::uint64_t recordCount, const STrailer& trailer) {
  // Written straight after the records, into room made once: a trailer of many megabytes is
  // neither built apart nor copied.
  const size_t textBytes = TextBytes(trailer.texts);
  const SEntrySection<SIdentity> identities{kTagIdentity, trailer.identities, IdentityBytes,
                                            PutIdentity};
  const SEntrySection<SPhotoEntry> photos{kTagPhoto, trailer.photos, PhotoBytes, PutPhoto};
  const SEntrySection<SPropertyEntry> properties{kTagProperties, trailer.properties, PropertyBytes,
                                                 PutProperties};
  size_t sections = (trailer.texts.empty() ? 0 : kSectionHeadBytes + textBytes) +
                    identities.Bytes() + photos.Bytes() + properties.Bytes();
  for (const SSection& s : trailer.kept) sections += kSectionHeadBytes + s.payload.size();
  const std::uint64_t hash = RecordsHash(file);
  const size_t start = file.size();
  file.reserve(start + kFixedBytes + sections + kChecksumBytes);
  file.append(kMagic);
  PutLittle(file, kVersion, 4);
  PutLittle(file, recordCount, 8);
  PutLittle(file, hash, 8);
  PutLittle(file, sections, 8);
  if (!trailer.texts.empty()) {
    PutSectionHead(file, kTagText, textBytes);
    PutTexts(file, trailer.texts);
  }
  identities.Append(file);
  photos.Append(file);
  properties.Append(file);
  for (const SSection& s : trailer.kept) {
    PutSectionHead(file, s.tag, s.payload.size());
    file.append(s.payload);
  }
  PutLittle(file, Crc32(std::string_view(file).substr(start)), 4);
}

bool ReadTrailer(std::string_view records, std::uint64_t recordCount, std::string_view rest,
                 STrailer& trailer, std::string& reason) {
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
  if (GetLittle(rest, 20, 8) != RecordsHash(records)) {
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
