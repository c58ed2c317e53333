#pragma once

#include <string_view>
#include <vector>

// The column names of the known exporters, in the languages they are localised to, and what each
// column means; read through ForeignCsvLayouts.h.
namespace zorvan::foreign_csv {

// One column name a layout writes: the preselected target and EColumnFlag.
struct SKnown {
  std::string_view name;
  int target;
  unsigned flags = 0;
};

struct SLayout {
  std::string_view name;
  std::vector<SKnown> columns;  // a name written twice (a city of home and work) comes in order
  bool numberedGroups;          // "E-mail 2 - Value", "Section 1 - Email" matched by pattern
  bool bareQuotes = false;      // quotes inside values are written as they are, not doubled
};

// The desktop mail program's columns in each of the languages it ships in, and those of its web
// version's export (ForeignCsvOutlook).
std::vector<SKnown> OutlookColumns();
std::vector<SKnown> OutlookComColumns();

// The mail client's columns in each of the languages it is localised to (ForeignCsvThunderbird).
std::vector<SKnown> ThunderbirdColumns();
// The console address book's columns (ForeignCsvAbook).
std::vector<SKnown> AbookColumns();

// Every known layout, in the order DetectLayout prefers them on a tie.
const std::vector<SLayout>& KnownLayouts();

}  // namespace zorvan::foreign_csv
