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

size_t IdentityBytes(const std::vector<SIdentity>& identities) {
  size_t bytes = 0;
  for (const SIdentity& id : identities) bytes += 16 + id.uid.size() + id.rev.size();
  return bytes;
}

void PutIdentities(std::string& out, const std::vector<SIdentity>& identities) {
  for (const SIdentity& id : identities) {
    PutLittle(out, id.record, 8);
    PutLittle(out, id.uid.size(), 4);
    out.append(id.uid);
    PutLittle(out, id.rev.size(), 4);
    out.append(id.rev);
  }
}

// A text of a 32-bit length and its bytes at at, checked against what is left of payload.
bool ReadCountedText(std::string_view payload, size_t& at, std::string& text) {
  if (payload.size() - at < 4) return false;
  const std::uint64_t length = GetLittle(payload, at, 4);
  at += 4;
  if (length > payload.size() - at) return false;
  text.assign(payload.substr(at, length));
  at += length;
  return true;
}

bool ReadIdentities(std::string_view payload, std::uint64_t recordCount,
                    std::vector<SIdentity>& identities, std::string& reason) {
  size_t at = 0;
  while (at < payload.size()) {
    SIdentity id;
    if (payload.size() - at < 8) {
      reason = "an identity in it is cut short";
      return false;
    }
    id.record = GetLittle(payload, at, 8);
    at += 8;
    if (id.record >= recordCount) {
      reason = "an identity in it belongs to no record";
      return false;
    }
    if (!ReadCountedText(payload, at, id.uid) || !ReadCountedText(payload, at, id.rev)) {
      reason = "an identity in it is longer than its section";
      return false;
    }
    identities.push_back(std::move(id));
  }
  return true;
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
  const size_t identityBytes = IdentityBytes(trailer.identities);
  size_t sections = (trailer.texts.empty() ? 0 : kSectionHeadBytes + textBytes) +
                    (trailer.identities.empty() ? 0 : kSectionHeadBytes + identityBytes);
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
  if (!trailer.identities.empty()) {
    PutSectionHead(file, kTagIdentity, identityBytes);
    PutIdentities(file, trailer.identities);
  }
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
