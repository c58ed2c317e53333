#pragma once

#include <string>

namespace zorvan {

// One input column of a delimited-text file read with a binding: its place (from 0), its name
// (the column's value in the first line) and the field it goes to, as an index into the import
// wizard's targets (TargetItems); -1 until a target is chosen. A target outside 1..45 means the
// column is read and discarded.
struct ColumnBinding {
  int m_nIndex = 0;
  std::string m_strName;
  int m_nTarget = -1;
};

}  // namespace zorvan
