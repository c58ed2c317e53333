#include "interchange/VCardReader.h"

#include <cstdint>

#include <memory>
#include <string>

#include "interchange/LineText.h"
#include "interchange/OwnVCardProperties.h"
#include "interchange/ValueCodec.h"
#include "store/RecordFields.h"

namespace zorvan {
namespace {

// Each line belongs to at most one property, so the order properties are tried in does not
// matter.
constexpr bool NoPrefixBeginsAnother() {
  for (const SOwnVCardProperty& a : kOwnVCardProperties)
    for (const SOwnVCardProperty& b : kOwnVCardProperties)
      if (&a != &b && b.prefix.starts_with(a.prefix)) return false;
  return true;
}
static_assert(NoPrefixBeginsAnother());

const SOwnVCardProperty* FindProperty(std::string_view line) {
  if (line.empty()) return nullptr;
  for (const SOwnVCardProperty& p : kOwnVCardProperties)
    if (p.prefix[0] == line[0] && line.starts_with(p.prefix)) return &p;
  return nullptr;
}

// The group flag of a card is kept as read, not reduced to 0 or 1, and a date line sets its
// flag whether or not its date reads.
void Store(CTreeItem& record, EField id, std::string& value, EDateOrder slashOrder) {
  StoreReadValue(record, id, value, slashOrder);
  const SRecordField& field = RecordField(id);
  if (field.type == EFieldType::date) record.*field.pNumber = 1;
}

void Deliver(const SImportHooks& hooks, std::unique_ptr<CTreeItem> record) {
  if (hooks.onRecord) hooks.onRecord(std::move(record));
}

}  // namespace

void ReadVCardLine(std::string_view line, CTreeItem& record, EDateOrder slashOrder) {
  const SOwnVCardProperty* property = FindProperty(line);
  if (!property) return;
  // Every known name ends with the line's first colon.
  size_t pos = property->prefix.size();
  std::string value;
  for (int i = 0; i < property->nFields; ++i) {
    NextToken(line, pos, ";", value);
    if (property->fields[i] != kDiscardedComponent)
      Store(record, static_cast<EField>(property->fields[i]), value, slashOrder);
  }
}

bool ReadVCards(CLineInput& input, const SImportHooks& hooks, EDateOrder slashOrder) {
  std::string raw, converted;
  std::unique_ptr<CTreeItem> open;
  std::int64_t lines = 0;
  while (input.ReadLine(raw)) {
    ++lines;
    if (raw.starts_with(kVCardBegin)) {
      if (hooks.onLine) hooks.onLine(lines);
      open = std::make_unique<CTreeItem>();
    } else if (raw.starts_with(kVCardEnd)) {
      if (open) Deliver(hooks, std::move(open));
    } else if (open) {
      ReadVCardLine(ImportLineToUtf8(raw, input.IsUtf8(), converted), *open, slashOrder);
    }
  }
  return !input.Failed();
}

}  // namespace zorvan
