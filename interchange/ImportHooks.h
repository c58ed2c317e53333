#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace zorvan {

class CTreeItem;

// How a reader hands over its results. Each finished record goes to onRecord, which takes it
// over (the document appends it under the contacts root and shows it in the tree); without
// onRecord the record is destroyed. onLine hears the reader's line counter, which drives the
// progress indicator of an import; it counts in 64 bits, as a file may hold more lines than an
// int can count.
struct SImportHooks {
  std::function<void(std::unique_ptr<CTreeItem> record)> onRecord;
  std::function<void(std::int64_t line)> onLine;
};

}  // namespace zorvan
