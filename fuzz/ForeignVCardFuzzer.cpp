// The reader of other programs' vCards on arbitrary bytes: it must hand out only well-formed
// UTF-8 in every text field, at most one contact per BEGIN line (in any case, in either UTF-16
// byte order the count is of the converted text), and progress that never goes back.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "interchange/vcard/ForeignVCardFile.h"
#include "res/CodePage.h"
#include "store/RecordFields.h"

using namespace zorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  SetActiveCodePage(size % 2 ? ECodePage::Windows1250 : ECodePage::Windows1252);
  (void)LooksLikeVCardFile(bytes);
  size_t contacts = 0, lastProgress = 0;
  SForeignReadHooks hooks;
  hooks.onContact = [&](SForeignContact&& c) {
    if (!c.pRecord) std::abort();
    ++contacts;
    for (const SRecordField& f : kRecordFields)
      if (f.type == EFieldType::text && !IsWellFormedUtf8((*c.pRecord.*f.pText).view()))
        std::abort();
    for (const std::string& g : c.groupPath)
      if (!IsWellFormedUtf8(g)) std::abort();
  };
  hooks.onProgress = [&](size_t done) {
    if (done < lastProgress) std::abort();
    lastProgress = done;
  };
  ReadForeignVCards(bytes, hooks);
  // Every contact needs a BEGIN line of at least 11 bytes (22 in UTF-16).
  if (contacts > size / 11 + 1) std::abort();
  return 0;
}
