#include "interchange/VCardReader.h"

#include <array>
#include <memory>
#include <string>

#include "interchange/FieldList.h"
#include "interchange/LineText.h"
#include "interchange/ValueCodec.h"

namespace zorvan {
namespace {

// A known property: the text its line begins with and the fields its components go to, by
// their place in the field list (0 = a component that is read and discarded).
struct SProperty {
  std::string_view prefix;
  std::array<unsigned char, 7> fields;
  int nFields;
};

constexpr SProperty P(std::string_view prefix, std::initializer_list<int> fields) {
  SProperty p{prefix, {}, 0};
  for (int f : fields) p.fields[p.nFields++] = static_cast<unsigned char>(f);
  return p;
}

// Tested in this order; the first property the line begins with wins.
constexpr std::array<SProperty, 32> kProperties = {{
    P("N:", {2, 1, 3, 4}),
    P("FN:", {5}),
    P("NICKNAME:", {6}),
    P("ORG:", {23, 25}),
    P("TITLE:", {24}),
    P("NOTE:", {45}),
    P("TEL;WORK;VOICE:", {32}),
    P("TEL;HOME;VOICE:", {16}),
    P("TEL;CAR;VOICE:", {18}),
    P("TEL;CELL;VOICE:", {34}),
    P("TEL;WORK;PAGER;VOICE:", {35}),
    P("TEL;HOME;PAGER;VOICE:", {19}),
    P("TEL;WORK;FAX:", {33}),
    P("TEL;HOME;FAX:", {17}),
    P("ADR;WORK:", {0, 26, 27, 28, 30, 29, 31}),
    P("ADR;HOME:", {0, 0, 11, 12, 14, 13, 15}),
    P("URL;HOME:", {21}),
    P("URL:", {37}),
    P("EMAIL;PREF;INTERNET:", {20}),
    P("EMAIL;INTERNET:", {36}),
    P("X-TAVORIN-GENDER:", {7}),
    P("X-TAVORIN-GROUP:", {8}),
    P("X-TAVORIN-EMAIL:", {9}),
    P("X-TAVORIN-URL:", {10}),
    P("X-TAVORIN-WORK-IPPHONE:", {38}),
    P("X-TAVORIN-HOME-IPPHONE:", {22}),
    P("X-TAVORIN-CHILDREN:", {40}),
    P("X-TAVORIN-SPOUSE:", {39}),
    P("BDAY:", {41}),
    P("X-TAVORIN-ANNIVERSARY-DATE:", {43}),
    P("X-TAVORIN-NAMEDAY-DATE:", {42}),
    P("X-TAVORIN-ANNIVERSARY-STRING:", {44}),
}};

const SProperty* FindProperty(std::string_view line) {
  if (line.empty()) return nullptr;
  for (const SProperty& p : kProperties)
    if (p.prefix[0] == line[0] && line.starts_with(p.prefix)) return &p;
  return nullptr;
}

// The group flag of a card is kept as read, not reduced to 0 or 1, and a date line sets its
// flag whether or not its date reads.
void Store(CTreeItem& record, const SFieldInfo& field, std::string& value, EDateOrder slashOrder) {
  switch (field.kind) {
    case EFieldKind::text:
      DecodeLineBreaks(value);
      record.*field.pText = value;
      break;
    case EFieldKind::integer:
    case EFieldKind::groupFlag:
      record.*field.pNumber = ParseInteger(value);
      break;
    case EFieldKind::date:
      ParseDateValue(value, record.*field.pDate, slashOrder);
      record.*field.pNumber = 1;
      break;
  }
}

void Deliver(const SImportHooks& hooks, std::unique_ptr<CTreeItem> record) {
  if (hooks.onRecord) hooks.onRecord(record.release());
}

}  // namespace

void ReadVCardLine(std::string_view line, CTreeItem& record, EDateOrder slashOrder) {
  const SProperty* property = FindProperty(line);
  if (!property) return;
  // Every known name ends with the line's first colon.
  size_t pos = property->prefix.size();
  std::string value;
  for (int i = 0; i < property->nFields; ++i) {
    NextToken(line, pos, ";", value);
    if (const SFieldInfo* field = FieldByTarget(property->fields[i]))
      Store(record, *field, value, slashOrder);
  }
}

bool ReadVCards(CLineInput& input, const SImportHooks& hooks, EDateOrder slashOrder) {
  std::string raw, converted;
  std::unique_ptr<CTreeItem> open;
  int lines = 0;
  while (input.ReadLine(raw)) {
    ++lines;
    if (raw.starts_with("BEGIN:VCARD")) {
      if (hooks.onLine) hooks.onLine(lines);
      open = std::make_unique<CTreeItem>();
    } else if (raw.starts_with("END:VCARD")) {
      if (open) Deliver(hooks, std::move(open));
    } else if (open) {
      ReadVCardLine(LineToUtf8(raw, input.IsUtf8(), converted), *open, slashOrder);
    }
  }
  return !input.Failed();
}

}  // namespace zorvan
