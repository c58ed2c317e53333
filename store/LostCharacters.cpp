#include "store/LostCharacters.h"

#include "store/TreeItem.h"

namespace zorvan {

std::vector<SLossyRecord> RecordsLosingCharacters(const CTreeItem& branch, ECodePage cp) {
  std::vector<SLossyRecord> lossy;
  WalkSubtreeWhile(branch, [&](const CTreeItem& record) {
    SLossyRecord entry{&record, {}};
    for (const SRecordField& field : kRecordFields) {
      if (field.type == EFieldType::text && !FitsCodePage((record.*field.pText).view(), cp))
        entry.fields.push_back(field.id);
    }
    if (!entry.fields.empty()) lossy.push_back(std::move(entry));
    return true;
  });
  return lossy;
}

}  // namespace zorvan
