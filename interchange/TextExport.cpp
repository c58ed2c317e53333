#include "interchange/TextExport.h"

#include <string>

#include "interchange/FieldList.h"
#include "interchange/LineText.h"
#include "interchange/ValueCodec.h"
#include "store/TreeItem.h"

namespace zorvan {
namespace {

std::string MakeHeader() {
  std::string header;
  for (const SFieldInfo& f : FieldList()) {
    if (!header.empty()) header += ',';
    header += f.header;
  }
  return header;
}

// A date that is set but cannot be split into parts is written as an empty value, which the
// import reads back as set and invalid; "0.0.0" would turn it into an unset date.
void AppendDate(std::string& row, int flag, const CDateTime& date) {
  if (flag == 0) {
    row += "0.0.0";
    return;
  }
  SDateParts p;
  if (!date.GetParts(p)) return;
  AppendInteger(row, p.nDay);
  row += '.';
  AppendInteger(row, p.nMonth);
  row += '.';
  AppendInteger(row, p.nYear);
}

void BuildRow(std::string& row, const CTreeItem& r) {
  for (const SFieldInfo& f : FieldList()) {
    switch (f.kind) {
      case EFieldKind::text:
        AppendQuotedValue(row, (r.*f.pText).view());
        break;
      case EFieldKind::integer:
      case EFieldKind::groupFlag:
        AppendInteger(row, r.*f.pNumber);
        break;
      case EFieldKind::date:
        AppendDate(row, r.*f.pNumber, r.*f.pDate);
        break;
    }
    row += ',';
  }
  row += "\r\n";
}

}  // namespace

std::string_view TextExportHeader() {
  static const std::string header = MakeHeader();
  return header;
}

bool WriteTextHeader(IOutput& out) {
  std::string line(TextExportHeader());
  line += ",\r\n";
  return out.Write(line);
}

bool WriteTextRow(IOutput& out, const CTreeItem& record, CProgress& progress) {
  std::string row, bytes;
  row.reserve(1024);
  bytes.reserve(1024);
  return WalkSubtreeWhile(record, [&](const CTreeItem& r) {
    row.clear();
    BuildRow(row, r);
    bytes.clear();
    AppendAnsi(bytes, row);
    if (!out.Write(bytes)) return false;
    progress.Step();
    return true;
  });
}

}  // namespace zorvan
