#include "interchange/VCardReader.h"

#include <cstdint>

#include <array>
#include <memory>
#include <string>

#include "interchange/LineText.h"
#include "interchange/ValueCodec.h"
#include "store/RecordFields.h"

namespace zorvan {
namespace {

// A component that is read and discarded.
constexpr int kDiscard = -1;

// A known property: the text its line begins with and the record fields its components go to.
struct SProperty {
  std::string_view prefix;
  std::array<int, 7> fields;
  int nFields;
};

constexpr SProperty P(std::string_view prefix, std::initializer_list<int> fields) {
  SProperty p{prefix, {}, 0};
  for (int f : fields) p.fields[p.nFields++] = f;
  return p;
}

// Tested in this order; the first property the line begins with wins.
constexpr std::array<SProperty, 32> kProperties = {{
    P("N:", {fieldLastName, fieldFirstName, fieldMiddleName, fieldTitle}),
    P("FN:", {fieldLabel}),
    P("NICKNAME:", {fieldNickname}),
    P("ORG:", {fieldCompany, fieldDepartment}),
    P("TITLE:", {fieldJobTitle}),
    P("NOTE:", {fieldRemark}),
    P("TEL;WORK;VOICE:", {fieldBusinessPhone}),
    P("TEL;HOME;VOICE:", {fieldHomePhone}),
    P("TEL;CAR;VOICE:", {fieldPersonalMobile}),
    P("TEL;CELL;VOICE:", {fieldBusinessMobile}),
    P("TEL;WORK;PAGER;VOICE:", {fieldBusinessPager}),
    P("TEL;HOME;PAGER;VOICE:", {fieldPersonalPager}),
    P("TEL;WORK;FAX:", {fieldBusinessFax}),
    P("TEL;HOME;FAX:", {fieldHomeFax}),
    P("ADR;WORK:", {kDiscard, fieldOffice, fieldBusinessStreet, fieldBusinessCity,
                    fieldBusinessState, fieldBusinessPostalCode, fieldBusinessCountry}),
    P("ADR;HOME:", {kDiscard, kDiscard, fieldHomeStreet, fieldHomeCity, fieldHomeState,
                    fieldHomePostalCode, fieldHomeCountry}),
    P("URL;HOME:", {fieldPersonalWeb}),
    P("URL:", {fieldBusinessWeb}),
    P("EMAIL;PREF;INTERNET:", {fieldPersonalEmail}),
    P("EMAIL;INTERNET:", {fieldBusinessEmail}),
    P("X-TAVORIN-GENDER:", {fieldGender}),
    P("X-TAVORIN-GROUP:", {fieldGroup}),
    P("X-TAVORIN-EMAIL:", {fieldPrefEmail}),
    P("X-TAVORIN-URL:", {fieldPrefUrl}),
    P("X-TAVORIN-WORK-IPPHONE:", {fieldBusinessIpPhone}),
    P("X-TAVORIN-HOME-IPPHONE:", {fieldHomeIpPhone}),
    P("X-TAVORIN-CHILDREN:", {fieldChildren}),
    P("X-TAVORIN-SPOUSE:", {fieldSpouse}),
    P("BDAY:", {fieldBirthday}),
    P("X-TAVORIN-ANNIVERSARY-DATE:", {fieldAnniversary}),
    P("X-TAVORIN-NAMEDAY-DATE:", {fieldNameDay}),
    P("X-TAVORIN-ANNIVERSARY-STRING:", {fieldAnniversaryText}),
}};

const SProperty* FindProperty(std::string_view line) {
  if (line.empty()) return nullptr;
  for (const SProperty& p : kProperties)
    if (p.prefix[0] == line[0] && line.starts_with(p.prefix)) return &p;
  return nullptr;
}

// The group flag of a card is kept as read, not reduced to 0 or 1, and a date line sets its
// flag whether or not its date reads.
void Store(CTreeItem& record, EField id, std::string& value, EDateOrder slashOrder) {
  const SRecordField& field = RecordField(id);
  switch (field.type) {
    case EFieldType::text:
      DecodeLineBreaks(value);
      record.*field.pText = value;
      break;
    case EFieldType::integer:
      record.*field.pNumber = ParseInteger(value);
      break;
    case EFieldType::date:
      ParseDateValue(value, record.*field.pDate, slashOrder);
      record.*field.pNumber = 1;
      break;
  }
}

void Deliver(const SImportHooks& hooks, std::unique_ptr<CTreeItem> record) {
  if (hooks.onRecord) hooks.onRecord(std::move(record));
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
    if (property->fields[i] != kDiscard)
      Store(record, static_cast<EField>(property->fields[i]), value, slashOrder);
  }
}

bool ReadVCards(CLineInput& input, const SImportHooks& hooks, EDateOrder slashOrder) {
  std::string raw, converted;
  std::unique_ptr<CTreeItem> open;
  std::int64_t lines = 0;
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
