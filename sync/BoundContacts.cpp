#include "sync/BoundContacts.h"

#include <algorithm>

#include "interchange/vcard/ForeignVCardFile.h"
#include "interchange/vcard/ForeignVCardWriter.h"
#include "store/RecordIdentity.h"
#include "store/TextUtil.h"
#include "store/TreeItem.h"
#include "sync/SyncState.h"

namespace zorvan::sync {
namespace {

constexpr std::string_view kCategories = "CATEGORIES:";

// The first value of a CATEGORIES line, unescaped as far as a label needs.
std::string FirstCategory(std::string_view line) {
  std::string value;
  for (size_t i = kCategories.size(); i < line.size(); ++i) {
    if (line[i] == ',') break;
    if (line[i] == '\\' && i + 1 < line.size()) ++i;
    value += line[i];
  }
  return value;
}

CTreeItem* Subgroup(CTreeItem& parent, std::string_view label) {
  for (size_t i = 0; i < parent.ChildCount(); ++i) {
    CTreeItem* child = parent.Child(i);
    if (child->m_bGroup != 0 && child->m_strLabel.view() == label) return child;
  }
  return nullptr;
}

}  // namespace

std::vector<std::string> SubgroupPath(const CTreeItem& group, const CTreeItem& record) {
  std::vector<std::string> path;
  for (const CTreeItem* n = record.m_pParent; n && n != &group; n = n->m_pParent)
    path.emplace_back(n->m_strLabel.view());
  std::reverse(path.begin(), path.end());
  return path;
}

std::string BoundCard(const CTreeItem& group, const CTreeItem& record) {
  return ForeignVCard(record, EVCardVersion::v30, SubgroupPath(group, record),
                      ForeignVCardUid(record));
}

std::vector<SBoundContact> BoundContacts(CTreeItem& group) {
  GiveIdentities(group);
  std::vector<SBoundContact> contacts;
  ForEachInSubtree(&group, [&](CTreeItem* r) {
    if (r == &group || r->m_bGroup != 0) return;
    SBoundContact c;
    c.pRecord = r;
    c.uid = r->m_pExtras->uid;
    c.card = BoundCard(group, *r);
    c.hash = CardHash(c.card);
    contacts.push_back(std::move(c));
  });
  return contacts;
}

SForeignContact ContactOfCard(std::string_view card) {
  SForeignContact read;
  SForeignReadHooks hooks;
  hooks.onContact = [&](SForeignContact&& c) {
    if (!read.pRecord) read = std::move(c);
  };
  ReadForeignVCards(card, hooks);
  if (!read.pRecord) read.pRecord = std::make_unique<CTreeItem>();
  return read;
}

CTreeItem* PlaceOfContact(CTreeItem& group, SForeignContact& contact) {
  CTreeItem* place = &group;
  if (!contact.groupPath.empty()) {
    for (const std::string& label : contact.groupPath) {
      CTreeItem* below = Subgroup(*place, label);
      if (!below) break;
      place = below;
    }
    return place;
  }
  SRecordExtras* extras = contact.pRecord->m_pExtras.get();
  if (!extras) return place;
  auto line =
      std::find_if(extras->properties.begin(), extras->properties.end(),
                   [](const std::string& l) { return StartsWithUpperAscii(l, kCategories); });
  if (line == extras->properties.end()) return place;
  CTreeItem* found = Subgroup(group, FirstCategory(*line));
  if (!found) return place;
  // A line of one word is the subgroup itself, written again from the tree.
  if (line->find(',') == std::string::npos) extras->properties.erase(line);
  return found;
}

}  // namespace zorvan::sync
