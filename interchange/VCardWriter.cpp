#include "interchange/VCardWriter.h"

#include <string>

#include "interchange/LineText.h"
#include "interchange/OwnVCardProperties.h"
#include "interchange/ValueCodec.h"
#include "store/TreeItem.h"

namespace zorvan {
namespace {

constexpr std::string_view kEol = "\r\n";

// The date of parts as year-month-day, with four and two digits.
void AppendIsoDate(std::string& out, const SDateParts& p) {
  AppendZeroPadded(out, p.nYear, 4);
  out += '-';
  AppendZeroPadded(out, p.nMonth, 2);
  out += '-';
  AppendZeroPadded(out, p.nDay, 2);
}

// The value of one component, in the form of its field's type.
void AppendComponent(std::string& card, const CTreeItem& r, int component) {
  if (component == kDiscardedComponent) return;
  const SRecordField& field = RecordField(static_cast<EField>(component));
  switch (field.type) {
    case EFieldType::text:
      AppendQuotedValue(card, (r.*field.pText).view());
      break;
    case EFieldType::integer:
      AppendInteger(card, r.*field.pNumber);
      break;
    case EFieldType::date: {
      // A date that is set but cannot be split into parts is written with an empty value: the
      // reader takes it back as set and invalid, as it was.
      SDateParts p;
      if ((r.*field.pDate).GetParts(p)) {
        AppendIsoDate(card, p);
        card += 's';
      }
      break;
    }
  }
}

// A date property has no line while its date is unset.
bool HasLine(const CTreeItem& r, const SOwnVCardProperty& property) {
  const int component = property.fields[0];
  if (component == kDiscardedComponent) return true;
  const SRecordField& field = RecordField(static_cast<EField>(component));
  return field.type != EFieldType::date || r.*field.pNumber != 0;
}

// The LABEL line after the ADR line of an address: its parts joined with "=0D0A" (no equals
// sign in the middle), unlike the "=0D=0A" that stands for a line break inside a value. A home
// address has no office, so its label has no first line.
void LabelLine(std::string& card, const CTreeItem& r, const SOwnVCardProperty& address) {
  // "WORK" of "ADR;WORK:".
  const std::string_view kind = address.prefix.substr(4, address.prefix.size() - 5);
  card += "LABEL;";
  card += kind;
  card += ";ENCODING=QUOTED_PRINTABLE:";
  constexpr std::string_view kAfter[] = {"", "=0D0A", "=0D0A", ", ", " ", "=0D0A", kEol};
  for (int i = 1; i < address.nFields; ++i) {
    if (address.fields[i] == kDiscardedComponent) continue;
    AppendComponent(card, r, address.fields[i]);
    card += kAfter[i];
  }
}

void PropertyLines(std::string& card, const CTreeItem& r, const SOwnVCardProperty& property) {
  if (!HasLine(r, property)) return;
  card += property.prefix;
  for (int i = 0; i < property.nFields; ++i) {
    if (i > 0) card += ';';
    AppendComponent(card, r, property.fields[i]);
  }
  card += kEol;
  if (property.bAddress) LabelLine(card, r, property);
}

void RevLine(std::string& card, const CDateTime& now) {
  SDateParts p;
  if (!now.GetParts(p)) p = SDateParts{};
  card += "REV:";
  AppendIsoDate(card, p);
  card += 'T';
  AppendZeroPadded(card, p.nHour, 2);
  card += ':';
  AppendZeroPadded(card, p.nMinute, 2);
  card += ':';
  AppendZeroPadded(card, p.nSecond, 2);
  card += "Z";
  card += kEol;
}

void BuildCard(std::string& card, const CTreeItem& r) {
  const CDateTime now = CurrentLocalTime();
  card += kVCardBegin;
  card += kEol;
  card += "VERSION:2.1";
  card += kEol;
  for (const SOwnVCardProperty& property : kOwnVCardProperties) PropertyLines(card, r, property);
  // REV carries the local time followed by a literal Z.
  RevLine(card, now);
  card += kVCardEnd;
  card += kEol;
}

bool WriteCard(IOutput& out, const CTreeItem& record, std::string& card, std::string& bytes) {
  card.clear();
  BuildCard(card, record);
  bytes.clear();
  AppendAnsi(bytes, card);
  return out.Write(bytes);
}

}  // namespace

bool WriteVCard(IOutput& out, const CTreeItem& record, CProgress* progress) {
  std::string card, bytes;
  card.reserve(2048);
  bytes.reserve(2048);
  if (!progress) return WriteCard(out, record, card, bytes);
  return WalkSubtreeWhile(record, [&](const CTreeItem& r) {
    if (!WriteCard(out, r, card, bytes)) return false;
    progress->Step();
    return true;
  });
}

}  // namespace zorvan
