#pragma once

#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"

// The three categories of event nodes of the calendar branch and the date of a contact each
// stands for: what builds the branch and what lists the days from it have in common.
namespace zorvan {

// The categories of event nodes, in the order a record's events are added.
inline constexpr int kEventCategories[] = {catBirthdays, catAnniversaries, catNamedays};

// The date of a record that each event category stands for.
inline const CDateTime& EventDate(const CTreeItem& r, int category) {
  switch (category) {
    case catBirthdays:
      return r.m_dtBirthday;
    case catAnniversaries:
      return r.m_dtAnniversary;
    default:
      return r.m_dtNameDay;
  }
}

// The flag that says the record has the date of the category set.
inline int EventFlag(const CTreeItem& r, int category) {
  switch (category) {
    case catBirthdays:
      return r.m_bBirthday;
    case catAnniversaries:
      return r.m_bAnniversary;
    default:
      return r.m_bNameDay;
  }
}

}  // namespace zorvan
