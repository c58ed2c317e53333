#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/ColumnBinding.h"
#include "interchange/ImportHooks.h"
#include "interchange/LineInput.h"
#include "store/DateParse.h"
#include "store/TreeItem.h"

namespace zorvan {

struct SFieldInfo;

// The most columns a bound file may have: a header with more is refused rather than turned
// into a binding for each (a line of commas would otherwise cost memory per comma).
inline constexpr int kMaxColumns = 65535;

// The ways of reading a delimited-text file, chosen by its first line.
enum class ETextLayout {
  ownColumns,    // the program's own 45 columns, comma-separated
  shortColumns,  // the 39-column layout, comma-separated
  bound,         // any other file: a delimiter and a column binding chosen by the user
};

// How the rows of a file are read: the layout and, for bound reading, the delimiter and one
// binding per column of the first line.
struct STextFormat {
  ETextLayout layout = ETextLayout::bound;
  std::string strDelimiter = ",";
  std::vector<ColumnBinding> bindings;
};

// Reads the first line of a file, converted to UTF-8 from the file's code page (or taken as
// UTF-8 when the file begins with a UTF-8 byte-order mark or the line is well-formed UTF-8);
// false when the input holds no line.
bool ReadFirstLine(CLineInput& input, std::string& line);

// The layout a first line announces: it holds, anywhere, the header of the 45 columns (without
// its last comma), or else that of the 39 columns; otherwise the file is read bound.
ETextLayout RecogniseHeader(std::string_view firstLine);

// The 39-column layout's header text that RecogniseHeader looks for.
std::string_view ShortLayoutHeader();

// The delimiter for the text the user typed: "space" is a blank, "tab" a tab character, and any
// other text is itself (so "Tab" is a three-character delimiter).
std::string DelimiterFromText(std::string_view typed);

// The number of columns the first line names with this delimiter: at least one; a delimiter
// at the very end of the line opens no further column, while "a,b,," counts three.
int CountColumns(std::string_view firstLine, std::string_view delimiter);

// One binding per column of the first line, named by the column's value, target -1; at most
// maxColumns of them (the first ones).
std::vector<ColumnBinding> MakeColumnBindings(std::string_view firstLine,
                                              std::string_view delimiter,
                                              size_t maxColumns = SIZE_MAX);

// A column a bound row is read from and the field it goes to.
struct SBoundColumn {
  size_t nColumn;
  const SFieldInfo* pField;
};
// What bound reading keeps of the bindings, worked out once for a whole file: the rightmost
// column of each target (the one whose value a row ends up with, as the rightmost wins), in
// column order. Columns without a target in 1..45 are left out.
std::vector<SBoundColumn> PlanBoundColumns(const std::vector<ColumnBinding>& bindings);

// Gives each binding its column's value in a data line (UTF-8), split as ReadBoundRow splits it.
void ReadColumnSamples(std::string_view dataLine, std::string_view delimiter,
                       std::vector<ColumnBinding>& bindings);

// Fill a new record from one data line (UTF-8). Values are split with NextToken; texts get
// their "=0D=0A" back as line breaks, numbers that do not read give 0, the group flag is 1 only
// for exactly 1, and a date is set unless its text holds ".0." (so "0.0.0" is unset) and is
// parsed independently of that. Values beyond the end of the line are empty. No line is
// rejected.
void ReadOwnRow(std::string_view line, CTreeItem& record, EDateOrder slashOrder);
void ReadShortRow(std::string_view line, CTreeItem& record, EDateOrder slashOrder);
// Takes one value per binding, left to right, into the binding's target; when several columns
// share a target the rightmost wins, and values beyond the bindings are ignored.
void ReadBoundRow(std::string_view line, CTreeItem& record,
                  const std::vector<ColumnBinding>& bindings, std::string_view delimiter,
                  EDateOrder slashOrder);
// The same with the plan of the bindings: the cost of a row follows its own length and the
// number of fields, not the number of columns of the file.
void ReadBoundRow(std::string_view line, CTreeItem& record, const std::vector<SBoundColumn>& plan,
                  std::string_view delimiter, EDateOrder slashOrder);

// Reads every remaining line of the input (the first line already taken), empty lines
// included, into one new record each, handed to hooks.onRecord in file order (bound reading
// plans its columns once, see PlanBoundColumns). The line counter goes to hooks.onLine before
// each line is read into its record. False only when reading the input failed.
bool ReadTextRows(CLineInput& input, const STextFormat& format, const SImportHooks& hooks,
                  EDateOrder slashOrder);

}  // namespace zorvan
