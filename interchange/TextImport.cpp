#include "interchange/TextImport.h"

#include <algorithm>
#include <array>
#include <memory>

#include "interchange/FieldList.h"
#include "interchange/LineText.h"
#include "interchange/TextExport.h"
#include "interchange/ValueCodec.h"

namespace zorvan {
namespace {

constexpr std::string_view kShortHeader =
    "First Name,Last Name,Middle Name,Title,Label,Nickname,E-mail Address,Home Street,Home City,"
    "Home Postal Code,Home State,Home Country,Home Phone,Home Fax,Home Mobile Phone,Home IP "
    "Phone,Personal Web Page,Company,Job Title,Department,Office Location,Business Street,"
    "Business City,Business Postal Code,Business State,Business Country,Business Phone,Business "
    "Fax,Pager,Business Mobile Phone,Business IP,Business Web Page,Remark,Spouse,Children,"
    "Birthday,Name Day,Anniversary,Anniversary Text";

// The fields of the 39 columns, by their place in the field list. The layout has no gender,
// group flag, preference numbers, personal pager or business e-mail; those keep the values of a
// new record.
constexpr std::array<int, 39> kShortColumns = {1,  2,  3,  4,  5,  6,  20, 11, 12, 13, 14, 15, 16,
                                               17, 18, 22, 21, 23, 24, 25, 26, 27, 28, 29, 30, 31,
                                               32, 33, 35, 34, 38, 37, 45, 39, 40, 41, 42, 43, 44};

// The group flag reads as 1 only for exactly 1; a date is set unless it is the unset form
// 0.0.0, which holds ".0.", as does any dotted date whose month is 0.
void Store(CTreeItem& record, const SFieldInfo& field, std::string& value, EDateOrder slashOrder) {
  StoreReadValue(record, field.field, value, slashOrder);
  if (field.kind == EFieldKind::groupFlag)
    record.*field.pNumber = record.*field.pNumber == 1 ? 1 : 0;
  else if (field.kind == EFieldKind::date)
    record.*field.pNumber = value.find(".0.") == std::string::npos ? 1 : 0;
}

}  // namespace

bool ReadFirstLine(CLineInput& input, std::string& line) {
  std::string raw;
  if (!input.ReadLine(raw)) {
    line.clear();
    return false;
  }
  std::string converted;
  line = ImportLineToUtf8(raw, input.IsUtf8(), converted);
  return true;
}

std::string_view ShortLayoutHeader() { return kShortHeader; }

ETextLayout RecogniseHeader(std::string_view firstLine) {
  if (firstLine.find(TextExportHeader()) != std::string_view::npos) return ETextLayout::ownColumns;
  if (firstLine.find(kShortHeader) != std::string_view::npos) return ETextLayout::shortColumns;
  return ETextLayout::bound;
}

std::string DelimiterFromText(std::string_view typed) {
  if (typed == "space") return " ";
  if (typed == "tab") return "\t";
  return std::string(typed);
}

int CountColumns(std::string_view firstLine, std::string_view delimiter) {
  std::string value;
  size_t pos = 0;
  int count = 0;
  for (;;) {
    const size_t end = NextToken(firstLine, pos, delimiter, value);
    ++count;
    // Another column follows only when more than a delimiter's length of the line is left
    // after the point where the value ended (for a quoted value, its closing quote).
    if (end + delimiter.size() >= firstLine.size()) return count;
  }
}

std::vector<ColumnBinding> MakeColumnBindings(std::string_view firstLine,
                                              std::string_view delimiter, size_t maxColumns) {
  const int columns = static_cast<int>(
      std::min(static_cast<size_t>(CountColumns(firstLine, delimiter)), maxColumns));
  std::vector<ColumnBinding> bindings(static_cast<size_t>(columns));
  size_t pos = 0;
  for (int i = 0; i < columns; ++i) {
    bindings[i].m_nIndex = i;
    NextToken(firstLine, pos, delimiter, bindings[i].m_strName);
  }
  return bindings;
}

void ReadColumnSamples(std::string_view dataLine, std::string_view delimiter,
                       std::vector<ColumnBinding>& bindings) {
  size_t pos = 0;
  for (ColumnBinding& binding : bindings) {
    NextToken(dataLine, pos, delimiter, binding.m_strSample);
    DecodeLineBreaks(binding.m_strSample);
  }
}

void ReadOwnRow(std::string_view line, CTreeItem& record, EDateOrder slashOrder) {
  std::string value;
  size_t pos = 0;
  for (const SFieldInfo& field : FieldList()) {
    NextToken(line, pos, ",", value);
    Store(record, field, value, slashOrder);
  }
}

void ReadShortRow(std::string_view line, CTreeItem& record, EDateOrder slashOrder) {
  std::string value;
  size_t pos = 0;
  for (int list : kShortColumns) {
    NextToken(line, pos, ",", value);
    Store(record, *FieldByTarget(list), value, slashOrder);
  }
}

std::vector<SBoundColumn> PlanBoundColumns(const std::vector<ColumnBinding>& bindings) {
  std::vector<SBoundColumn> plan;
  std::vector<const SFieldInfo*> taken;
  // From the right, so the first column met for a field is the one that wins.
  for (size_t i = bindings.size(); i-- > 0;) {
    const SFieldInfo* field = FieldByTarget(bindings[i].m_nTarget);
    if (!field || std::find(taken.begin(), taken.end(), field) != taken.end()) continue;
    taken.push_back(field);
    plan.push_back({i, field});
  }
  std::reverse(plan.begin(), plan.end());
  return plan;
}

void ReadBoundRow(std::string_view line, CTreeItem& record,
                  const std::vector<ColumnBinding>& bindings, std::string_view delimiter,
                  EDateOrder slashOrder) {
  ReadBoundRow(line, record, PlanBoundColumns(bindings), delimiter, slashOrder);
}

void ReadBoundRow(std::string_view line, CTreeItem& record, const std::vector<SBoundColumn>& plan,
                  std::string_view delimiter, EDateOrder slashOrder) {
  std::string value;
  size_t pos = 0;
  size_t column = 0;
  for (const SBoundColumn& bound : plan) {
    // The columns between are read past; once the line is used up every value is empty.
    for (; column < bound.nColumn && pos <= line.size(); ++column)
      NextToken(line, pos, delimiter, value);
    column = bound.nColumn;
    if (pos <= line.size()) {
      NextToken(line, pos, delimiter, value);
      ++column;
    } else {
      value.clear();
    }
    Store(record, *bound.pField, value, slashOrder);
  }
}

bool ReadTextRows(CLineInput& input, const STextFormat& format, const SImportHooks& hooks,
                  EDateOrder slashOrder) {
  std::string raw, converted;
  std::int64_t lines = 0;
  const std::vector<SBoundColumn> plan = format.layout == ETextLayout::bound
                                             ? PlanBoundColumns(format.bindings)
                                             : std::vector<SBoundColumn>();
  while (input.ReadLine(raw)) {
    ++lines;
    if (hooks.onLine) hooks.onLine(lines);
    auto record = std::make_unique<CTreeItem>();
    const std::string_view line = ImportLineToUtf8(raw, input.IsUtf8(), converted);
    switch (format.layout) {
      case ETextLayout::ownColumns:
        ReadOwnRow(line, *record, slashOrder);
        break;
      case ETextLayout::shortColumns:
        ReadShortRow(line, *record, slashOrder);
        break;
      case ETextLayout::bound:
        ReadBoundRow(line, *record, plan, format.strDelimiter, slashOrder);
        break;
    }
    if (hooks.onRecord) hooks.onRecord(std::move(record));
  }
  return !input.Failed();
}

}  // namespace zorvan
