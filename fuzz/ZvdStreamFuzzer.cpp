// The walking reader of database files (the one the command line's query uses) on arbitrary
// bytes, held against the loading reader: both take and refuse the same files for the same
// reason, and the walk hands over the loaded tree's records in document order with their depth,
// texts and numbers. Then the address query over the same bytes.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "find/AddressQuery.h"
#include "res/CodePage.h"
#include "store/ZvdFile.h"
#include "store/ZvdRecordReader.h"

using namespace zorvan;

namespace {

struct SWalked {
  size_t depth = 0;
  std::array<std::string, kRecordFieldCount> texts;
  std::array<int, kRecordFieldCount> numbers{};
};

// A text of the file as the loading reader keeps it.
std::string AsLoaded(std::string_view ansi) {
  return IsAscii(ansi) ? std::string(ansi) : AnsiToUtf8(ansi);
}

bool Walk(std::string_view bytes, std::vector<SWalked>& walked, std::string& error) {
  CZvdRecordReader::CFieldSet all;
  all.set();
  return CZvdRecordReader(all).Read(
      bytes,
      [&walked](const CZvdRecord& r) {
        SWalked& w = walked.emplace_back();
        w.depth = r.Depth();
        for (const SRecordField& f : kRecordFields) {
          w.texts[f.id] = r.Ansi(f.id);
          w.numbers[f.id] = r.Number(f.id);
        }
      },
      error);
}

// Whether the record walked and the one loaded hold the same.
bool Same(const SWalked& w, const CTreeItem& item, size_t depth) {
  if (w.depth != depth) return false;
  for (const SRecordField& f : kRecordFields) {
    if (f.type == EFieldType::text) {
      // A text the code page cannot hold comes from the file's extension trailer, which the
      // walking reader leaves alone: the record itself holds its code-page form.
      const std::string_view loaded = (item.*f.pText).view();
      if (AsLoaded(w.texts[f.id]) != loaded && w.texts[f.id] != Utf8ToAnsi(loaded)) return false;
    } else if (w.numbers[f.id] != item.*f.pNumber) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<SWalked> walked;
  std::string walkError;
  const bool walkedOk = Walk(bytes, walked, walkError);

  CTreeItem root;
  root.m_nKind = kindContacts;
  std::string loadError;
  const bool loadedOk = LoadDatabase(bytes, root, loadError);
  if (walkedOk != loadedOk || walkError != loadError) std::abort();
  if (!walkedOk) {
    if (walkError.empty()) std::abort();  // a failure always says why
  } else {
    size_t at = 0;
    const bool same = WalkSubtreeWhile(root, [&](const CTreeItem& item, size_t depth) {
      if (depth == 0) return true;  // the contacts root itself
      return at < walked.size() && Same(walked[at++], item, depth - 1);
    });
    if (!same || at != walked.size()) std::abort();
  }

  // An empty text is in every name, so the query lists every address of the file.
  size_t addresses = 0;
  for (const SWalked& w : walked)
    addresses += !w.texts[fieldPersonalEmail].empty() + !w.texts[fieldBusinessEmail].empty();
  CAddressQuery everyone("");
  std::string queryError;
  if (everyone.Read(bytes, queryError) != walkedOk) std::abort();
  if (walkedOk && everyone.Addresses() != addresses) std::abort();
  if (!walkedOk && (everyone.Addresses() != 0 || !everyone.Lines().empty())) std::abort();

  CAddressQuery some("nov\xC3\xA1k");  // "novák"
  if (some.Read(bytes, queryError) != walkedOk || some.Addresses() > addresses) std::abort();
  return 0;
}
