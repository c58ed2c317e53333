#pragma once

#include <vector>

#include "res/CodePage.h"
#include "store/RecordFields.h"

namespace zorvan {

class CTreeItem;

// A record whose texts hold characters that the file's code page cannot hold, and those texts.
struct SLossyRecord {
  const CTreeItem* record;
  std::vector<EField> fields;  // in the field table's order
};

// The records of a branch (its root included, depth first as the file holds them) whose text
// fields would lose characters when written in cp: each such character is written as "?".
std::vector<SLossyRecord> RecordsLosingCharacters(const CTreeItem& branch, ECodePage cp);

}  // namespace zorvan
