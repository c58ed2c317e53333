#include <gtest/gtest.h>

#include "store/TreeItemArray.h"

using namespace zorvan;

namespace {

struct ClockFix {
  ClockFix() {
    SetClockSource([] { return CDateTime(2003, 5, 17, 8, 30, 0); });
  }
  ~ClockFix() { SetClockSource({}); }
};

CTreeItem* AddLabelled(CTreeItem* parent, const char* label) {
  auto* child = new CTreeItem;
  child->m_strLabel = label;
  CTreeItem::AddChild(parent, child);
  return child;
}

}  // namespace

TEST(TreeItem, shouldStartWithTheRecordDefaults) {
  ClockFix clock;
  CTreeItem item;
  EXPECT_EQ(item.m_strLabel, "Unknown");
  EXPECT_EQ(item.m_nPrefEmail, -1);
  EXPECT_EQ(item.m_nPrefUrl, -1);
  EXPECT_EQ(item.m_nGender, 0);
  EXPECT_EQ(item.m_bGroup, 0);
  EXPECT_EQ(item.m_bBirthday + item.m_bNameDay + item.m_bAnniversary, 0);
  EXPECT_EQ(item.m_dtBirthday, CDateTime(2003, 5, 17, 8, 30, 0));
  EXPECT_EQ(item.m_dtNameDay, item.m_dtBirthday);
  EXPECT_EQ(item.m_dtAnniversary, item.m_dtBirthday);
  EXPECT_EQ(item.m_pChildren, nullptr);
  EXPECT_EQ(item.m_pParent, nullptr);
  EXPECT_EQ(item.m_nKind, kindUnplaced);
  EXPECT_TRUE(item.m_strRemark.empty());
}

TEST(TreeItem, shouldCreateTheChildArrayAndHandTheBranchDown) {
  CTreeItem parent;
  parent.m_nKind = kindContacts;
  auto* child = new CTreeItem;
  child->m_nKind = kindCalendar;
  EXPECT_EQ(parent.m_pChildren, nullptr);
  CTreeItem::AddChild(&parent, child);
  ASSERT_NE(parent.m_pChildren, nullptr);
  EXPECT_EQ(parent.ChildCount(), 1u);
  EXPECT_EQ(child->m_pParent, &parent);
  EXPECT_EQ(child->m_nKind, kindContacts);
}

TEST(TreeItem, shouldRemoveAdjacentMarkedChildrenAndKeepTheOrderOfTheRest) {
  CTreeItem parent;
  for (const char* label : {"a", "b", "c", "d", "e"}) {
    auto* c = new CTreeItem;
    c->m_strLabel = label;
    CTreeItem::AddChild(&parent, c);
  }
  parent.Child(1)->m_bDeleted = 1;
  parent.Child(2)->m_bDeleted = 1;
  parent.Child(4)->m_bDeleted = 1;
  parent.RemoveDeleted();
  ASSERT_EQ(parent.ChildCount(), 2u);
  EXPECT_EQ(parent.Child(0)->m_strLabel, "a");
  EXPECT_EQ(parent.Child(1)->m_strLabel, "d");
  CTreeItem lonely;
  lonely.RemoveDeleted();  // no children array: nothing happens
  EXPECT_EQ(lonely.m_pChildren, nullptr);
}

TEST(TreeItem, shouldCopyEveryDataFieldButNoChildren) {
  CTreeItem src;
  src.m_strFirstName = "Jan";
  src.m_strRemark = "a\r\nb";
  src.m_nGender = 2;
  src.m_bGroup = 1;
  src.m_nPrefUrl = 1;
  src.m_bAnniversary = 1;
  src.m_dtAnniversary = CDateTime(1990, 5, 17);
  src.m_strAnniversaryText = "wedding";
  src.m_nKind = kindContacts;
  CTreeItem::AddChild(&src, new CTreeItem);
  const CTreeItem copy(src);
  EXPECT_EQ(copy.m_strFirstName, "Jan");
  EXPECT_EQ(copy.m_strRemark, "a\r\nb");
  EXPECT_EQ(copy.m_nGender, 2);
  EXPECT_EQ(copy.m_bGroup, 1);
  EXPECT_EQ(copy.m_nPrefUrl, 1);
  EXPECT_EQ(copy.m_bAnniversary, 1);
  EXPECT_EQ(copy.m_dtAnniversary, CDateTime(1990, 5, 17));
  EXPECT_EQ(copy.m_strAnniversaryText, "wedding");
  EXPECT_EQ(copy.m_nKind, kindContacts);
  EXPECT_EQ(copy.m_pChildren, nullptr);
  // The copy owns its own texts.
  src.m_strFirstName = "Petr";
  EXPECT_EQ(copy.m_strFirstName, "Jan");
}

TEST(TreeItem, shouldDestroyAVeryDeepChainWithoutRecursing) {
  auto* root = new CTreeItem;
  CTreeItem* last = root;
  for (int i = 0; i < 200000; ++i) {
    auto* c = new CTreeItem;
    CTreeItem::AddChild(last, c);
    last = c;
  }
  int depth = 0;
  ForEachInSubtree(root, [&](CTreeItem*) { ++depth; });
  EXPECT_EQ(depth, 200001);
  delete root;  // must not overflow the stack
}

TEST(TreeItem, shouldVisitParentsBeforeChildrenInChildOrder) {
  CTreeItem root;
  root.m_strLabel = "r";
  CTreeItem* a = AddLabelled(&root, "a");
  AddLabelled(a, "a1");
  AddLabelled(a, "a2");
  AddLabelled(&root, "b");
  std::string order;
  ForEachInSubtree(&root, [&](CTreeItem* n) { order += n->m_strLabel.str() + " "; });
  EXPECT_EQ(order, "r a a1 a2 b ");
}

TEST(TreeItem, shouldTellEachNodeItsDepthAndStopWhenAsked) {
  CTreeItem root;
  root.m_strLabel = "Kořen";
  CTreeItem* a = AddLabelled(&root, "Ärzte");
  AddLabelled(AddLabelled(a, "Łódź"), "Żaneta");
  AddLabelled(&root, "Brno");
  std::string seen;
  const CTreeItem& croot = root;
  EXPECT_TRUE(WalkSubtreeWhile(croot, [&](const CTreeItem& n, size_t depth) {
    seen += std::to_string(depth) + n.m_strLabel.str() + " ";
    return true;
  }));
  EXPECT_EQ(seen, "0Kořen 1Ärzte 2Łódź 3Żaneta 1Brno ");
  // Stopping at the deepest node: nothing after it is visited.
  seen.clear();
  EXPECT_FALSE(WalkSubtreeWhile(root, [&](CTreeItem& n, size_t depth) {
    seen += n.m_strLabel.str() + " ";
    return depth < 3;
  }));
  EXPECT_EQ(seen, "Kořen Ärzte Łódź Żaneta ");
}

TEST(TreeItemArray, shouldOwnAndDestroyItsElements) {
  CTreeItemArray items;
  EXPECT_EQ(items.Add(new CTreeItem), 0);
  EXPECT_EQ(items.Add(new CTreeItem), 1);
  CTreeItem::AddChild(items.GetAt(0), new CTreeItem);
  EXPECT_EQ(items.GetSize(), 2);
  items.RemoveAll();
  EXPECT_TRUE(items.IsEmpty());
}

TEST(Text, shouldBehaveAsAValueString) {
  CText a = "Čeněk";
  CText b = a;
  b = b.view().substr(0, 2);  // assigning a part of itself
  EXPECT_EQ(a, "Čeněk");
  EXPECT_EQ(b, "Č");
  EXPECT_EQ(a.size(), 7u);
  CText c = std::move(a);
  EXPECT_TRUE(a.empty());  // NOLINT(bugprone-use-after-move)
  EXPECT_EQ(c + "!", "Čeněk!");
  c = "";
  EXPECT_TRUE(c.empty());
  EXPECT_STREQ(c.c_str(), "");
  CText withNul = std::string("x\0y", 3);
  EXPECT_EQ(withNul.size(), 3u);
}
