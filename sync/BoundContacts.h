#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/ForeignContact.h"

namespace zorvan {
class CTreeItem;
}

// The contacts of a group bound to an address book, as the cards the server keeps: the card this
// program sends for each, and where a card from the server goes in the group. Every contact
// below the group is one card; the group's subgroups are no cards, they travel as the
// CATEGORIES of the contacts in them (as Export for Other Programs writes them), so a phone shows
// them as its groups.
namespace zorvan::sync {

struct SBoundContact {
  CTreeItem* pRecord = nullptr;
  std::string uid;
  std::string card;        // the vCard 3.0 this program writes for the record now
  std::uint64_t hash = 0;  // CardHash(card): what the state compares with
};

// The labels of the groups between group and record, neither included, outermost first.
std::vector<std::string> SubgroupPath(const CTreeItem& group, const CTreeItem& record);

// The card of a contact below group.
std::string BoundCard(const CTreeItem& group, const CTreeItem& record);

// Every contact below group, in pre-order, each given a UID (and REV) first when it has none:
// a card on the server is known by its UID for good.
std::vector<SBoundContact> BoundContacts(CTreeItem& group);

// The contact a card from the server reads into: its record and, for a card this program
// wrote, the subgroup path of its CATEGORIES.
SForeignContact ContactOfCard(std::string_view card);

// Where a new contact goes below group: as deep down its subgroup path as the subgroups exist,
// the path being the card's own groups, else the first word of another program's CATEGORIES
// line kept with the record (a line that a found subgroup stands for then goes, or it would be
// written twice); group itself when no subgroup is named or found.
CTreeItem* PlaceOfContact(CTreeItem& group, SForeignContact& contact);

}  // namespace zorvan::sync
