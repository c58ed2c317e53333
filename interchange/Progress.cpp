#include "interchange/Progress.h"

#include "interchange/SubtreeWalk.h"

namespace zorvan {

void CountRecords(const CTreeItem& record, int& count) {
  WalkSubtreeWhile(record, [&count](const CTreeItem&) {
    ++count;
    return true;
  });
}

}  // namespace zorvan
