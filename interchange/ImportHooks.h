#pragma once

#include <functional>

namespace zorvan {

class CTreeItem;

// How a reader hands over its results. Each finished record goes to onRecord, which takes
// ownership (the document appends it under the contacts root and shows it in the tree); without
// onRecord the record is destroyed. onLine hears the reader's line counter, which drives the
// progress indicator of an import.
struct SImportHooks {
  std::function<void(CTreeItem* record)> onRecord;
  std::function<void(int line)> onLine;
};

}  // namespace zorvan
