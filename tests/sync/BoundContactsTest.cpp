#include <gtest/gtest.h>

#include "store/TreeItem.h"
#include "sync/BoundContacts.h"
#include "sync/CardMerge.h"
#include "sync/SyncState.h"

using namespace zorvan;
using namespace zorvan::sync;

namespace {

CTreeItem* Add(CTreeItem& parent, const char* label, bool group = false) {
  auto* item = new CTreeItem;
  item->m_strLabel = label;
  item->m_bGroup = group ? 1 : 0;
  CTreeItem::AddChild(&parent, item);
  return item;
}

// Rodina / { Jiří Dvořák, Přátelé / { Ελένη Παπαδοπούλου, Kraków / { 王小明 } } }
struct SFamily {
  CTreeItem root;
  CTreeItem* group = Add(root, "Rodina", true);
  CTreeItem* jiri = Add(*group, "Jiří Dvořák");
  CTreeItem* friends = Add(*group, "Přátelé", true);
  CTreeItem* eleni = Add(*friends, "Ελένη Παπαδοπούλου");
  CTreeItem* krakow = Add(*friends, "Kraków", true);
  CTreeItem* wang = Add(*krakow, "王小明");
};

}  // namespace

TEST(BoundContactsTest, shouldMakeACardOfEveryContactWithItsSubgroupsAndAUidForGood) {
  SFamily f;
  const std::vector<SBoundContact> contacts = BoundContacts(*f.group);
  ASSERT_EQ(contacts.size(), 3u);  // the subgroups are no cards
  const struct {
    CTreeItem* record;
    const char* categories;  // the CATEGORIES line the card holds, or null for none
  } expected[] = {
      {f.jiri, nullptr},
      {f.eleni, "CATEGORIES:Přátelé\r\n"},
      {f.wang, "CATEGORIES:Přátelé,Kraków\r\n"},
  };
  for (size_t i = 0; i < contacts.size(); ++i) {
    SCOPED_TRACE(std::string(expected[i].record->m_strLabel.view()));
    const SBoundContact& c = contacts[i];
    EXPECT_EQ(c.pRecord, expected[i].record);
    ASSERT_TRUE(c.pRecord->m_pExtras);
    EXPECT_EQ(c.uid, c.pRecord->m_pExtras->uid);
    EXPECT_EQ(CardUid(c.card), c.uid);
    EXPECT_EQ(c.hash, CardHash(c.card));
    if (expected[i].categories)
      EXPECT_NE(c.card.find(expected[i].categories), std::string::npos) << c.card;
    else
      EXPECT_EQ(c.card.find("CATEGORIES"), std::string::npos) << c.card;
  }
  // Asked again, the same UIDs and cards: nothing changed, nothing to send.
  const std::vector<SBoundContact> again = BoundContacts(*f.group);
  ASSERT_EQ(again.size(), contacts.size());
  for (size_t i = 0; i < again.size(); ++i) {
    EXPECT_EQ(again[i].uid, contacts[i].uid);
    EXPECT_EQ(again[i].hash, contacts[i].hash);
  }
  // An edit shows as another hash.
  f.eleni->m_strRemark = "Narozeniny v květnu";
  EXPECT_NE(BoundContacts(*f.group)[1].hash, contacts[1].hash);
}

TEST(BoundContactsTest, shouldPlaceACardFromTheServerInTheSubgroupItNames) {
  SFamily f;
  const std::string ownCard = BoundCard(*f.group, *f.wang);
  const struct {
    const char* what;
    std::string card;
    CTreeItem* place;
    const char* label;
    bool keptCategories;  // a CATEGORIES line stays with the record
  } cases[] = {
      {"this program's card, two levels down", ownCard, f.krakow, "王小明", false},
      {"a phone's card naming a subgroup",
       "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:p-1\r\nFN:Łucja Wąsowska\r\nCATEGORIES:Přátelé\r\n"
       "END:VCARD\r\n",
       f.friends, "Łucja Wąsowska", false},
      {"a phone's card naming a subgroup first of two",
       "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:p-2\r\nFN:Jürgen Größ\r\nCATEGORIES:Přátelé,VIP\r\n"
       "END:VCARD\r\n",
       f.friends, "Jürgen Größ", true},
      {"a phone's card naming no subgroup here",
       "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:p-3\r\nFN:Anežka Šťastná\r\nCATEGORIES:Práce\r\n"
       "END:VCARD\r\n",
       f.group, "Anežka Šťastná", true},
      {"a card without categories",
       "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:p-4\r\nFN:Γιώργος\r\nEND:VCARD\r\n", f.group, "Γιώργος",
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SForeignContact contact = ContactOfCard(c.card);
    ASSERT_TRUE(contact.pRecord);
    EXPECT_EQ(contact.pRecord->m_strLabel.view(), c.label);
    EXPECT_EQ(PlaceOfContact(*f.group, contact), c.place);
    const SRecordExtras* extras = contact.pRecord->m_pExtras.get();
    const bool kept = extras && std::any_of(extras->properties.begin(), extras->properties.end(),
                                            [](const std::string& line) {
                                              return line.starts_with("CATEGORIES:");
                                            });
    EXPECT_EQ(kept, c.keptCategories);
  }
}
