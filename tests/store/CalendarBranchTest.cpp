#include <gtest/gtest.h>

#include "CalendarFixture.h"
#include "FakeTreePort.h"

using namespace zorvan;
using namespace zorvan::test;

TEST_F(CalendarTest, shouldAddAndRemoveEventNodesAsFlagsChange) {
  CFakeTreePort port;
  for (int i = 0; i < doc.m_items.GetSize(); ++i) port.Fill(doc.m_items.GetAt(i));
  doc.SetTreeViewPort(&port);
  CTreeItem* r = Contact("Zed");
  CTreeItem* a = Contact("Anna", CDateTime(1990, 1, 1));
  a->m_hItem = nullptr;  // only the event nodes matter here
  CTreeItem* birthdays = doc.Category(catBirthdays);
  r->m_bBirthday = 1;
  doc.SyncEventNodes(r);
  doc.SyncEventNodes(r);  // setting it again adds no second node
  ASSERT_EQ(birthdays->ChildCount(), 2u);
  EXPECT_EQ(birthdays->Child(1)->m_pLinked, r);
  EXPECT_EQ(birthdays->Child(1)->m_bGroup, 0);
  EXPECT_EQ(CFakeTreePort::Get(birthdays->Child(1)->m_hItem)->image, 3);
  // The new node's item took its place in the sorted category.
  EXPECT_EQ(CFakeTreePort::Texts(birthdays->m_hItem), std::vector<std::string>{"Zed"});
  r->m_bBirthday = 0;
  doc.SyncEventNodes(r);
  ASSERT_EQ(birthdays->ChildCount(), 1u);
  EXPECT_EQ(birthdays->Child(0)->m_pLinked, a);
  EXPECT_TRUE(host.questions.empty());  // calendar nodes go without a question
  EXPECT_TRUE(CFakeTreePort::Texts(birthdays->m_hItem).empty());
  doc.SetTreeViewPort(nullptr);
}

TEST_F(CalendarTest, shouldRelabelEventNodesInAllThreeCategories) {
  CFakeTreePort port;
  CTreeItem* r =
      Contact("Old", CDateTime(1990, 1, 1), CDateTime(1990, 1, 2), CDateTime(1990, 1, 3), "t");
  for (int i = 0; i < doc.m_items.GetSize(); ++i) port.Fill(doc.m_items.GetAt(i));
  doc.SetTreeViewPort(&port);
  r->m_strLabel = "New";
  doc.RenameEventNodes(r);
  for (int c : {catBirthdays, catAnniversaries, catNamedays}) {
    EXPECT_EQ(doc.Category(c)->Child(0)->m_strLabel, "New");
    EXPECT_EQ(CFakeTreePort::Texts(doc.Category(c)->m_hItem), std::vector<std::string>{"New"});
  }
  doc.SetTreeViewPort(nullptr);
}

TEST_F(CalendarTest, shouldBuildEventNodesForAWholeSubtreeParentsFirst) {
  auto* group = new CTreeItem;
  group->m_strLabel = "G";
  group->m_bGroup = 1;
  group->m_bBirthday = 1;
  auto* child = new CTreeItem;
  child->m_strLabel = "C";
  child->m_bBirthday = 1;
  CTreeItem::AddChild(group, child);
  CTreeItem::AddChild(doc.ContactsRoot(), group);
  doc.BuildEventNodes(group);
  CTreeItem* birthdays = doc.Category(catBirthdays);
  ASSERT_EQ(birthdays->ChildCount(), 2u);
  EXPECT_EQ(birthdays->Child(0)->m_strLabel, "G");
  EXPECT_EQ(birthdays->Child(0)->m_bGroup, 1);  // built nodes take the contact's group flag
  EXPECT_EQ(birthdays->Child(1)->m_pLinked, child);
}

TEST_F(CalendarTest, shouldClearTheGroupFlagOnlyOfEventNodesAddedAfterTheBuild) {
  // A group with its own birthday, as built with the branch and then copied and set anew.
  CTreeItem* group = Contact("Rodina Dvořákových", CDateTime(1975, 6, 1));
  group->m_bGroup = 1;
  CTreeItem* birthdays = doc.Category(catBirthdays);
  birthdays->Child(0)->m_bDeleted = 1;
  birthdays->RemoveDeleted();
  doc.BuildEventNodes(group);
  CFakeTreePort port;
  for (int i = 0; i < doc.m_items.GetSize(); ++i) port.Fill(doc.m_items.GetAt(i));
  doc.SetTreeViewPort(&port);
  CTreeItem* other = Contact("Łucja Wiśniewska");
  other->m_hItem = port.InsertItem(doc.ContactsRoot()->m_hItem, other, "Łucja", 1);
  CTreeItem* copy = doc.CopyBranch(group, other);
  ASSERT_NE(copy, nullptr);
  ASSERT_EQ(birthdays->ChildCount(), 2u);
  EXPECT_EQ(birthdays->Child(0)->m_bGroup, 1);
  EXPECT_EQ(CFakeTreePort::Get(birthdays->Child(0)->m_hItem)->image, 2);
  EXPECT_EQ(birthdays->Child(1)->m_pLinked, copy);
  EXPECT_EQ(birthdays->Child(1)->m_bGroup, 0);
  EXPECT_EQ(CFakeTreePort::Get(birthdays->Child(1)->m_hItem)->image, 3);
  // A date set later on the group itself.
  group->m_bNameDay = 1;
  doc.SyncEventNodes(group);
  CTreeItem* namedays = doc.Category(catNamedays);
  ASSERT_EQ(namedays->ChildCount(), 1u);
  EXPECT_EQ(namedays->Child(0)->m_bGroup, 0);
  EXPECT_EQ(CFakeTreePort::Get(namedays->Child(0)->m_hItem)->image, 3);
  doc.SetTreeViewPort(nullptr);
}
