#pragma once

#include <string_view>

#include "interchange/Output.h"
#include "interchange/Progress.h"
#include "store/TreeItem.h"

namespace zorvan {

// The 45 column names of the program's own delimited-text layout, in list order, separated by
// commas, without the comma that follows the last name in the file (the text the import looks
// for) and without a line end.
std::string_view TextExportHeader();

// Writes the header line: the 45 names, each followed by a comma, and CR LF.
bool WriteTextHeader(IOutput& out);

// Writes the record's row and then the rows of its whole subtree, depth first, each parent
// before its children; every row written steps the progress. A row holds the 45 values in list
// order, each followed by a comma: texts encoded as vCard values are, numbers in decimal, a set
// date as day.month.year without leading zeros (17.5.1990), an unset date as 0.0.0.
// False as soon as a write fails; the rows before it stay written.
bool WriteTextRow(IOutput& out, const CTreeItem& record, CProgress& progress);

}  // namespace zorvan
