// The tree's branches get their items when first opened: what the document does inside a branch
// never opened shows once it is, in the tree's order, and a record deep inside closed groups is
// selected, found and filtered as if all the items were there; a closed branch shows its arrow.
#include <QApplication>
#include <QTreeWidgetItem>

#include "app/MainFrame.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"
#include "tests/ui/Screenshot.h"
#include "ui/FilterBox.h"
#include "ui/ZorvanTreeView.h"

namespace zorvan::test {
namespace {

class ClosedBranchTest : public CGuiTest {
 protected:
  // Rodina (a group) holds, in this order, Žofie Nováková, Ćwik, the group Práce (Jiří Dvořák
  // and adam novák) and Čeněk; Łucja at the top. Žofie and Jiří have birthdays. Nothing is
  // opened.
  void OpenSample() {
    const QString path = MakeDatabase(
        "branches.zvd", {"Rodina;g", " Žofie Nováková;b=3.4.1975", " Ćwik", " Práce;g",
                         "  Jiří Dvořák;b=1.2.1980", "  adam novák", " Čeněk", "Łucja"});
    ASSERT_TRUE(Start({path}));
    rodina = Doc().ContactsRoot()->Child(0);
    prace = rodina->Child(2);
  }

  // The labels of the items below item, none made for the asking.
  static QStringList MadeLabels(const QTreeWidgetItem* item) {
    QStringList labels;
    for (int i = 0; item && i < item->childCount(); ++i) labels << item->child(i)->text(0);
    return labels;
  }

  static bool ShowsArrow(const QTreeWidgetItem* item) {
    return item->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
  }

  CTreeItem* rodina = nullptr;
  CTreeItem* prace = nullptr;
};

TEST_F(ClosedBranchTest, OpenMakesTheRootsAndOpeningABranchMakesItsItemsInTheAlphabetsOrder) {
  OpenSample();
  QTreeWidgetItem* contacts = Tree().topLevelItem(0);
  EXPECT_EQ(contacts->childCount(), 0);
  EXPECT_TRUE(ShowsArrow(contacts));
  // What a filtering goes through: every node, with an item or not.
  int nodes = 0;
  for (int i = 0; i < Doc().m_items.GetSize(); ++i)
    WalkSubtreeWhile(*Doc().m_items.GetAt(i), [&nodes](const CTreeItem&) { return ++nodes > 0; });
  EXPECT_EQ(Tree().ItemCount(), nodes);
  EXPECT_GT(nodes, 12);

  Tree().expandItem(contacts);
  EXPECT_EQ(MadeLabels(contacts), (QStringList{"Łucja", "Rodina"}));
  QTreeWidgetItem* group = contacts->child(1);
  EXPECT_EQ(group->childCount(), 0);
  EXPECT_TRUE(ShowsArrow(group));
  EXPECT_FALSE(ShowsArrow(contacts->child(0)));
  Tree().expandItem(group);
  // The alphabet's order, not the characters' numbers (which put Ć before Č).
  EXPECT_EQ(MadeLabels(group), (QStringList{"Čeněk", "Ćwik", "Práce", "Žofie Nováková"}));
  EXPECT_EQ(Tree().ItemOf(prace->Child(0)), nullptr);
  Frame().resize(600, 400);
  SaveScreenshot(Frame(), QStringLiteral("closed-branches"));
}

TEST_F(ClosedBranchTest, WhatTheDocumentDoesInANeverOpenedBranchShowsWhenItIsOpened) {
  OpenSample();
  // The contacts root was never opened: nothing of this goes into the control yet.
  CTreeItem* made = Doc().CreateRecord(rodina);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(Tree().topLevelItemCount(), 2);
  EXPECT_EQ(Tree().ItemOf(made), nullptr);
  made->m_strLabel = "Bártová";
  Doc().RecordAppearanceChanged(made, ERecordChange::Label);
  CTreeItem* zofie = rodina->Child(0);
  zofie->m_strLabel = "Žofie Dvořáková";
  Doc().RecordAppearanceChanged(zofie, ERecordChange::Label);
  CTreeItem* cwik = rodina->Child(1);
  cwik->m_bBirthday = 1;
  cwik->m_dtBirthday = CDateTime(1990, 5, 6);
  Doc().SyncEventNodes(cwik);

  // Selecting the new record makes the way to it.
  Tree().SelectRecord(made);
  QTreeWidgetItem* item = Tree().currentItem();
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(CTreeViewEx::RecordOf(item), made);
  EXPECT_EQ(MadeLabels(item->parent()),
            (QStringList{"Bártová", "Čeněk", "Ćwik", "Práce", "Žofie Dvořáková"}));
  // The category was sorted while closed: its items come sorted, the renamed node renamed.
  QTreeWidgetItem* birthdays = Tree().MakeItemOf(Doc().Category(catBirthdays));
  ASSERT_NE(birthdays, nullptr);
  Tree().expandItem(birthdays);
  EXPECT_EQ(MadeLabels(birthdays), (QStringList{"Ćwik", "Jiří Dvořák", "Žofie Dvořáková"}));
  EXPECT_EQ(CTreeViewEx::RecordOf(birthdays->child(1))->m_pLinked, prace->Child(0));
}

TEST_F(ClosedBranchTest, AGroupNeverOpenedLosesItsArrowWithItsLastChild) {
  OpenSample();
  QTreeWidgetItem* group = Tree().MakeItemOf(prace);
  ASSERT_NE(group, nullptr);
  EXPECT_TRUE(ShowsArrow(group));
  for (const bool last : {false, true}) {
    Doc().RemoveBranch(prace->Child(0));
    QApplication::processEvents();
    EXPECT_EQ(ShowsArrow(group), !last);
    EXPECT_EQ(group->childCount(), 0);
  }
  Tree().expandItem(group);
  EXPECT_EQ(group->childCount(), 0);
}

TEST_F(ClosedBranchTest, FindGoesThroughClosedGroupsInTheOrderTheirItemsWillTake) {
  OpenSample();
  Tree().m_strFind1 = "novák";
  Tree().m_nWhere1 = findName;
  // Práce comes before Žofie in Rodina once sorted, though after her in the file.
  for (const char* expected : {"adam novák", "Žofie Nováková"}) {
    Tree().OnFindAgain(false);
    const CTreeItem* found = Tree().SelectedRecord();
    ASSERT_NE(found, nullptr) << expected;
    EXPECT_EQ(found->m_strLabel.str(), expected);
    EXPECT_EQ(Tree().currentItem(), Tree().ItemOf(found));
  }
}

TEST_F(ClosedBranchTest, TheFilterOpensTheWayToAMatchAndAClosedCategoryTakesItsAnswers) {
  OpenSample();
  Frame().FilterBox()->setText(QStringLiteral("dvorak"));
  QTreeWidgetItem* jiri = Tree().ItemOf(prace->Child(0));
  ASSERT_NE(jiri, nullptr);
  EXPECT_FALSE(jiri->isHidden());
  EXPECT_TRUE(jiri->parent()->isExpanded());
  EXPECT_TRUE(jiri->parent()->parent()->isExpanded());
  EXPECT_TRUE(Tree().ItemOf(prace->Child(1))->isHidden());
  EXPECT_TRUE(Tree().ItemOf(rodina->Child(0))->isHidden());
  // The Calendar branch stays closed; once opened, its category shows Jiří's birthday alone.
  QTreeWidgetItem* birthdays = Tree().MakeItemOf(Doc().Category(catBirthdays));
  ASSERT_NE(birthdays, nullptr);
  Tree().expandItem(birthdays->parent());
  Tree().expandItem(birthdays);
  ASSERT_EQ(birthdays->childCount(), 2);
  for (int i = 0; i < 2; ++i) {
    const bool isJiri = CTreeViewEx::RecordOf(birthdays->child(i))->m_pLinked == prace->Child(0);
    EXPECT_EQ(birthdays->child(i)->isHidden(), !isJiri) << i;
  }
  // Cleared: the groups the filter opened close again, every event node shows.
  Frame().FilterBox()->setText(QString());
  EXPECT_FALSE(jiri->parent()->isExpanded());
  EXPECT_FALSE(birthdays->child(0)->isHidden());
  EXPECT_FALSE(birthdays->child(1)->isHidden());
}

}  // namespace
}  // namespace zorvan::test
