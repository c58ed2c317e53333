#include "interchange/Progress.h"

#include "store/TreeItem.h"

namespace zorvan {

void CountRecords(const CTreeItem& record, int& count) {
  WalkSubtreeWhile(record, [&count](const CTreeItem&) {
    ++count;
    return true;
  });
}

}  // namespace zorvan
