// The extension trailer after a database file's records, on arbitrary bytes: each input is
// loaded as it is, and again with the trailer's record count, hash and checksum made right, so
// that the sections themselves are reached; a trailer that was read is written back and must
// read again the same.
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "res/CodePage.h"
#include "store/ExtensionTrailer.h"
#include "store/RecordFields.h"
#include "store/ZvdFile.h"
#include "store/ZvdRecordReader.h"

using namespace zorvan;

namespace {

void PutLittle(std::string& bytes, size_t at, std::uint64_t value, size_t size) {
  for (size_t i = 0; i < size; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Makes the fields that guard the trailer at the last magic agree with the bytes before it.
void MakeGuardsRight(std::string& bytes) {
  const size_t at = bytes.rfind(zvd_trailer::kMagic);
  if (at == std::string::npos || bytes.size() - at < zvd_trailer::kFixedBytes) return;
  const std::string_view records = std::string_view(bytes).substr(0, at);
  CTreeItem root;
  root.m_nKind = kindContacts;
  std::string error;
  if (!LoadDatabase(records, root, error)) return;
  std::uint64_t count = 0;
  for (size_t i = 0; i < root.ChildCount(); ++i)
    WalkSubtreeWhile(*root.Child(i), [&count](const CTreeItem&) { return ++count, true; });
  PutLittle(bytes, at + 12, count, 8);
  PutLittle(bytes, at + 20, zvd_trailer::RecordsHash(records), 8);
  std::uint64_t sections = 0;
  for (size_t i = 0; i < 8; ++i)
    sections |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[at + 28 + i]))
                << (8 * i);
  const size_t left = bytes.size() - at - zvd_trailer::kFixedBytes;
  if (left < zvd_trailer::kChecksumBytes || sections > left - zvd_trailer::kChecksumBytes) return;
  const size_t checked = zvd_trailer::kFixedBytes + sections;
  const auto crc = crc32_z(0, reinterpret_cast<const Bytef*>(bytes.data() + at), checked);
  PutLittle(bytes, at + checked, crc, 4);
}

// The walking reader reads what the loading one reads, with the same texts of the trailer.
void WalkAsLoaded(std::string_view bytes, bool loaded, const CTreeItem& root) {
  std::vector<const CTreeItem*> nodes;
  WalkSubtreeWhile(root, [&nodes](const CTreeItem& r, size_t depth) {
    if (depth > 0) nodes.push_back(&r);
    return true;
  });
  CZvdRecordReader::CFieldSet fields;
  fields.set();
  size_t i = 0;
  std::string error;
  const bool walked = CZvdRecordReader(fields).Read(
      bytes,
      [&](const CZvdRecord& r) {
        for (const SRecordField& f : kRecordFields) {
          const std::string_view* utf8 = f.type == EFieldType::text ? r.Utf8(f.id) : nullptr;
          if (utf8 && i < nodes.size() && IsWellFormedUtf8(*utf8) && *utf8 != nodes[i]->*f.pText)
            std::abort();
        }
        ++i;
      },
      error);
  if (walked != loaded || (walked && i != nodes.size())) std::abort();
}

void LoadAndWriteAgain(std::string_view bytes) {
  CTreeItem root;
  root.m_nKind = kindContacts;
  SZvdExtras extras;
  std::string error;
  const bool loaded = LoadDatabase(bytes, root, error, &extras);
  WalkAsLoaded(bytes, loaded, root);
  if (!loaded) {
    if (error.empty()) std::abort();  // a failure always says why
    return;
  }
  if (!extras.hasTrailer || !extras.ignored.empty()) return;
  const std::string once = StoreDatabase(&root, extras.kept);
  CTreeItem again;
  again.m_nKind = kindContacts;
  SZvdExtras againExtras;
  if (!LoadDatabase(once, again, error, &againExtras)) std::abort();
  if (!againExtras.ignored.empty()) std::abort();
  if (StoreDatabase(&again, againExtras.kept) != once) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  LoadAndWriteAgain(bytes);
  MakeGuardsRight(bytes);
  LoadAndWriteAgain(bytes);
  return 0;
}
