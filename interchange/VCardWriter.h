#pragma once

#include "interchange/Output.h"
#include "interchange/Progress.h"
#include "store/TreeItem.h"

namespace zorvan {

// Writes the record as one vCard 2.1 card of the program's dialect: always the same lines in
// the same order, a date line only for a set date, and REV from the clock, taken once per card.
// Without progress (the business card) only this record's card is written. With progress the
// cards of the whole subtree follow, depth first, each parent before its children, and every
// card written steps the progress.
// False as soon as a write fails; the cards before it stay written.
bool WriteVCard(IOutput& out, const CTreeItem& record, CProgress* progress);

}  // namespace zorvan
