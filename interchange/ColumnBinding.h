#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zorvan {

// One input column of a delimited-text file read with a binding: its place (from 0), its name
// (the column's value in the first line) and the field it goes to, as an index into the import
// wizard's targets (TargetItems); -1 until a target is chosen. A target outside 1..45 means the
// column is read and discarded. The sample is the column's value in the first data line, as
// the rows will read it, for the user who binds columns by what they hold (empty when the file
// has no data line).
struct ColumnBinding {
  int m_nIndex = 0;
  std::string m_strName;
  int m_nTarget = -1;
  std::string m_strSample;
};

// A target of the import wizard's list named in words: by its number (0-45), by its exact
// item or 45-column header name, or by either with case and surrounding blanks ignored
// ("surname", " Birthday "); -1 when it names none.
int ParseTarget(std::string_view text);

// The column named by its number from 1 or, failing that, by its exact name in the first line
// (the leftmost of equal names); null when there is none.
ColumnBinding* FindColumn(std::vector<ColumnBinding>& bindings, std::string_view column);

}  // namespace zorvan
