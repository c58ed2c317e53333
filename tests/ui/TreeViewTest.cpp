// The contacts tree: the fill, the hints of a selection, Create new, Delete contact, in-place
// label editing, RefreshItem, and drag and drop.
#include <QApplication>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QTreeWidget>

#include "app/DocumentCommands.h"
#include "app/MainFrame.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"
#include "ui/DateField.h"
#include "ui/MyPropSheet.h"
#include "ui/ZorvanTreeView.h"
#include "ui/ZorvanView.h"
#include "ui/pages/PagePersonal.h"

namespace zorvan::test {
namespace {

size_t RecordCount(const CTreeItem* root) {
  size_t n = 0;
  ForEachInSubtree(const_cast<CTreeItem*>(root), [&](CTreeItem*) { ++n; });
  return n;
}

class TreeViewTest : public CGuiTest {
 protected:
  // Friends (a group) with Eve and Bob (Bob has the subcontact Bobby); Work (a group) with
  // Carol; Dave at the top. Eve and Bob have birthdays.
  void OpenSample() {
    const QString path = MakeDatabase(
        "sample.zvd",
        {"Work;g", " Carol", "Friends;g", " Eve;b=1.5.1990", " bob;b=2.6.1985", "  Bobby", "Dave"});
    ASSERT_TRUE(Start({path}));
    Tree().expandAll();
  }

  QPoint Centre(QTreeWidgetItem* item) {
    const QRect r = Tree().visualItemRect(item);
    return QPoint(r.left() + 12, r.center().y());
  }

  void Move(const QPoint& pos, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QMouseEvent move(QEvent::MouseMove, pos, Tree().viewport()->mapToGlobal(pos), Qt::NoButton,
                     Qt::LeftButton, keys);
    QApplication::sendEvent(Tree().viewport(), &move);
  }

  // Presses on from, moves over to and shows the cursor there, releases with keys held.
  Qt::CursorShape Drag(QTreeWidgetItem* from, QTreeWidgetItem* to,
                       Qt::KeyboardModifiers keys = Qt::NoModifier) {
    const QPoint start = Centre(from);
    const QPoint end = Centre(to);
    QTest::mousePress(Tree().viewport(), Qt::LeftButton, Qt::NoModifier, start);
    Move(start + QPoint(QApplication::startDragDistance() + 2, 0), keys);
    Move((start + end) / 2, keys);
    Move(end, keys);
    const Qt::CursorShape shape =
        QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::BlankCursor;
    QTest::mouseRelease(Tree().viewport(), Qt::LeftButton, keys, end);
    return shape;
  }

  CZorvanView& Form() { return *Frame().FormView(); }
};

TEST_F(TreeViewTest, FillSortsContactLevelsAndCalendarNamesButKeepsEventOrder) {
  UseCalendar("1;1;zulu;\n2;1;Alpha;\n3;1;mike;\n");
  OpenSample();
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), (QStringList{"Dave", "Friends", "Work"}));
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Friends"})), (QStringList{"bob", "Eve"}));
  EXPECT_EQ(ChildLabels(Item({"Calendar", "Calendar"})),
            (QStringList{"Alpha: 2.1", "mike: 3.1", "zulu: 1.1"}));
  // The events stay in the order of the records.
  EXPECT_EQ(ChildLabels(Item({"Calendar", "Birthdays"})), (QStringList{"Eve", "bob"}));
  // The records keep their own order.
  EXPECT_EQ(Record({"Contacts"})->Child(0)->m_strLabel, "Work");
}

TEST_F(TreeViewTest, FillGivesEachKindOfNodeItsImage) {
  OpenSample();
  auto iconOf = [&](const QStringList& path) { return Item(path)->icon(0).cacheKey(); };
  EXPECT_EQ(iconOf({"Contacts"}), Tree().NodeIcon(0).cacheKey());
  EXPECT_EQ(iconOf({"Contacts", "Friends"}), Tree().NodeIcon(0).cacheKey());
  EXPECT_EQ(iconOf({"Contacts", "Dave"}), Tree().NodeIcon(1).cacheKey());
  EXPECT_EQ(iconOf({"Calendar"}), Tree().NodeIcon(2).cacheKey());
  EXPECT_EQ(iconOf({"Calendar", "Birthdays"}), Tree().NodeIcon(2).cacheKey());
  EXPECT_EQ(iconOf({"Calendar", "Birthdays", "Eve"}), Tree().NodeIcon(3).cacheKey());
  EXPECT_NE(Tree().NodeIcon(0).cacheKey(), Tree().NodeIcon(1).cacheKey());
}

TEST_F(TreeViewTest, SelectionShowsTheRecordTheLinkedContactOrTheCalendarNode) {
  OpenSample();
  Select(Item({"Contacts", "Friends", "Eve"}));
  EXPECT_EQ(Form().Record(), Record({"Contacts", "Friends", "Eve"}));
  // An event node shows its contact.
  Select(Item({"Calendar", "Birthdays", "bob"}));
  EXPECT_EQ(Form().Record(), Record({"Contacts", "Friends", "bob"}));
  // A category and a calendar name show themselves.
  Select(Item({"Calendar", "Birthdays"}));
  EXPECT_EQ(Form().Record(), Record({"Calendar", "Birthdays"}));
  Select(Item({"Calendar", "Calendar", "mike: 3.1"}));
  EXPECT_EQ(Form().Record(), Record({"Calendar", "Calendar", "mike: 3.1"}));
}

TEST_F(TreeViewTest, CreateNewBelowAContactMakesASelectedSubcontact) {
  OpenSample();
  Tree().collapseAll();
  Select(Item({"Contacts"}));
  Item({"Contacts"})->setExpanded(true);
  Select(Item({"Contacts", "Dave"}));
  ASSERT_FALSE(Doc().IsModified());
  Frame().Action(ID_EDIT_CREATE_NEW)->trigger();
  QTreeWidgetItem* dave = Item({"Contacts", "Dave"});
  ASSERT_EQ(dave->childCount(), 1);
  QTreeWidgetItem* created = dave->child(0);
  EXPECT_EQ(created->text(0), QStringLiteral("Unnamed"));
  EXPECT_EQ(created->icon(0).cacheKey(), Tree().NodeIcon(1).cacheKey());
  EXPECT_TRUE(dave->isExpanded());
  EXPECT_TRUE(created->isSelected());
  EXPECT_EQ(Form().Record(), CTreeViewEx::RecordOf(created));
  EXPECT_EQ(Record({"Contacts", "Dave"})->ChildCount(), 1u);
  EXPECT_TRUE(Doc().IsModified());

  // Among siblings the new record takes its place in label order.
  Select(Item({"Contacts", "Friends"}));
  Frame().Action(ID_EDIT_CREATE_NEW)->trigger();
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Friends"})), (QStringList{"bob", "Eve", "Unnamed"}));
}

TEST_F(TreeViewTest, DeleteAnsweredNoChangesNothingButMarksTheDatabaseModified) {
  OpenSample();
  Select(Item({"Contacts", "Friends"}));
  m_prompt.yesNoAnswers = {false};
  Frame().Action(ID_EDIT_DELETE_CONTACT)->trigger();
  EXPECT_EQ(m_prompt.questions,
            QStringList{"Do you really want to delete \"Friends\" and its 3 contacts?"});
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), (QStringList{"Dave", "Friends", "Work"}));
  EXPECT_EQ(RecordCount(Doc().ContactsRoot()), 8u);
  EXPECT_TRUE(Doc().IsModified());
}

TEST_F(TreeViewTest, DeleteAnsweredYesRemovesTheBranchItsEventsAndTheFormsRecord) {
  OpenSample();
  Select(Item({"Contacts", "Friends", "bob"}));
  Select(Item({"Contacts", "Friends"}));
  m_prompt.yesNoAnswers = {true};
  Frame().Action(ID_EDIT_DELETE_CONTACT)->trigger();
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), (QStringList{"Dave", "Work"}));
  EXPECT_EQ(RecordCount(Doc().ContactsRoot()), 4u);
  EXPECT_EQ(Item({"Calendar", "Birthdays"})->childCount(), 0);
  // A neighbour is selected and shown; nothing points into the deleted branch.
  ASSERT_EQ(Tree().selectedItems().size(), 1);
  EXPECT_EQ(Form().Record(), Tree().SelectedRecord());
  EXPECT_NE(Form().Record(), nullptr);
  EXPECT_TRUE(Doc().IsModified());
}

TEST_F(TreeViewTest, DeleteIsOfferedOnlyBelowTheRootsOutsideTheCalendar) {
  OpenSample();
  Select(Item({"Contacts"}));
  EXPECT_TRUE(Frame().Action(ID_EDIT_CREATE_NEW)->isEnabled());
  EXPECT_FALSE(Frame().Action(ID_EDIT_DELETE_CONTACT)->isEnabled());
  // Asked for all the same, the root is refused with the error.
  Tree().OnDeleteContact();
  ASSERT_EQ(m_prompt.messages.size(), 1u);
  EXPECT_EQ(m_prompt.messages[0].text,
            QStringLiteral("Error: Can't delete the basic elements of the contacts tree."));
  EXPECT_EQ(m_prompt.messages[0].icon, EMsgIcon::Error);
  EXPECT_EQ(Tree().topLevelItemCount(), 2);
  EXPECT_TRUE(Doc().IsModified());

  Select(Item({"Calendar", "Birthdays", "Eve"}));
  EXPECT_FALSE(Frame().Action(ID_EDIT_CREATE_NEW)->isEnabled());
  EXPECT_FALSE(Frame().Action(ID_EDIT_DELETE_CONTACT)->isEnabled());
}

TEST_F(TreeViewTest, InPlaceEditEndedWithEscapeKeepsTheTypedLabel) {
  OpenSample();
  Select(Item({"Contacts", "Friends", "Eve"}));
  QTest::keyClick(&Tree(), Qt::Key_F2);
  auto* editor = Tree().viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, "Alice");
  QTest::keyClick(editor, Qt::Key_Escape);
  QApplication::processEvents();
  ASSERT_NE(Record({"Contacts", "Friends", "Alice"}), nullptr);
  EXPECT_EQ(Record({"Contacts", "Friends", "Alice"})->m_strLabel, "Alice");
  // The siblings and the event nodes are sorted again at once.
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Friends"})), (QStringList{"Alice", "bob"}));
  EXPECT_EQ(ChildLabels(Item({"Calendar", "Birthdays"})), (QStringList{"Alice", "bob"}));
  EXPECT_TRUE(Item({"Contacts", "Friends", "Alice"})->isSelected());
  EXPECT_EQ(Form().Record(), Record({"Contacts", "Friends", "Alice"}));
  EXPECT_TRUE(Doc().IsModified());
}

TEST_F(TreeViewTest, InPlaceEditAcceptsAnEmptyLabelOnAnyNode) {
  OpenSample();
  Select(Item({"Calendar"}));
  QTest::keyClick(&Tree(), Qt::Key_F2);
  auto* editor = Tree().viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->clear();
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(Tree().topLevelItem(1)->text(0), QString());
  EXPECT_TRUE(Doc().CalendarRoot()->m_strLabel.empty());
}

TEST_F(TreeViewTest, RefreshItemFollowsGroupFlagAndLabelChangesOfTheForm) {
  OpenSample();
  CTreeItem* dave = Record({"Contacts", "Dave"});
  dave->m_bGroup = 1;
  Tree().RefreshItem(changeGroup, dave);
  EXPECT_EQ(Item({"Contacts", "Dave"})->icon(0).cacheKey(), Tree().NodeIcon(0).cacheKey());

  CTreeItem* eve = Record({"Contacts", "Friends", "Eve"});
  eve->m_strLabel = "Abigail";
  Tree().RefreshItem(changeLabel, eve);
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Friends"})), (QStringList{"Abigail", "bob"}));
  EXPECT_EQ(ChildLabels(Item({"Calendar", "Birthdays"})), (QStringList{"Abigail", "bob"}));

  // Other codes and no record change nothing.
  eve->m_strLabel = "Zoe";
  Tree().RefreshItem(1, eve);
  Tree().RefreshItem(changeLabel, nullptr);
  EXPECT_EQ(Item({"Contacts", "Friends"})->child(0)->text(0), QStringLiteral("Abigail"));
}

TEST_F(TreeViewTest, DragMovesTheBranchBelowTheTargetAndSelectsIt) {
  OpenSample();
  const Qt::CursorShape shape =
      Drag(Item({"Contacts", "Friends", "bob"}), Item({"Contacts", "Work"}));
  EXPECT_EQ(shape, Qt::ArrowCursor);
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Friends"})), QStringList{"Eve"});
  // Sorted in below the target, with its subtree and its images.
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Work"})), (QStringList{"bob", "Carol"}));
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Work", "bob"})), QStringList{"Bobby"});
  EXPECT_TRUE(Item({"Contacts", "Work", "bob"})->isSelected());
  EXPECT_TRUE(Item({"Contacts", "Work"})->isExpanded());
  EXPECT_EQ(Form().Record(), Record({"Contacts", "Work", "bob"}));
  EXPECT_EQ(RecordCount(Doc().ContactsRoot()), 8u);
  // The moved contact's birthday has an event node again, linked to the moved record.
  QTreeWidgetItem* birthdays = Item({"Calendar", "Birthdays"});
  ASSERT_EQ(birthdays->childCount(), 2);
  EXPECT_EQ(ChildLabels(birthdays), (QStringList{"bob", "Eve"}));
  EXPECT_EQ(CTreeViewEx::RecordOf(birthdays->child(0))->m_pLinked,
            Record({"Contacts", "Work", "bob"}));
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(TreeViewTest, CtrlAloneAtTheDropCopiesCtrlShiftMoves) {
  OpenSample();
  const Qt::CursorShape shape =
      Drag(Item({"Contacts", "Friends", "bob"}), Item({"Contacts", "Dave"}), Qt::ControlModifier);
  EXPECT_EQ(shape, Qt::DragCopyCursor);
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Friends"})), (QStringList{"bob", "Eve"}));
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Dave"})), QStringList{"bob"});
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Dave", "bob"})), QStringList{"Bobby"});
  EXPECT_NE(Record({"Contacts", "Dave", "bob"}), Record({"Contacts", "Friends", "bob"}));
  EXPECT_TRUE(Item({"Contacts", "Dave", "bob"})->isSelected());
  EXPECT_EQ(RecordCount(Doc().ContactsRoot()), 10u);
  EXPECT_TRUE(Doc().IsModified());

  Drag(Item({"Contacts", "Friends", "Eve"}), Item({"Contacts", "Dave"}),
       Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Friends"})), QStringList{"bob"});
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Dave"})), (QStringList{"bob", "Eve"}));
}

// After a rename, a copy and a birthday set in the form the tree is in the user's order at
// once: the siblings and the event nodes, with the item selected and in view.
TEST_F(TreeViewTest, TheTreeStaysSortedAfterARenameACopyAndABirthdayOfTheForm) {
  OpenSample();
  Select(Item({"Contacts", "Friends", "Eve"}));
  QTest::keyClick(&Tree(), Qt::Key_F2);
  auto* editor = Tree().viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setText(QStringLiteral("Zdeněk"));
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Friends"})), (QStringList{"bob", "Zdeněk"}));
  EXPECT_EQ(ChildLabels(Item({"Calendar", "Birthdays"})), (QStringList{"bob", "Zdeněk"}));
  EXPECT_TRUE(Item({"Contacts", "Friends", "Zdeněk"})->isSelected());

  Drag(Item({"Contacts", "Dave"}), Item({"Contacts", "Friends"}), Qt::ControlModifier);
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Friends"})), (QStringList{"bob", "Dave", "Zdeněk"}));
  EXPECT_TRUE(Item({"Contacts", "Friends", "Dave"})->isSelected());

  Select(Item({"Contacts", "Dave"}));
  CMyPropSheet& sheet = *Form().Sheet();
  sheet.setCurrentWidget(sheet.m_pagePersonal);
  QApplication::processEvents();
  QTest::mouseClick(sheet.m_pagePersonal->m_pBirthday->CheckBox(), Qt::LeftButton);
  EXPECT_EQ(ChildLabels(Item({"Calendar", "Birthdays"})), (QStringList{"bob", "Dave", "Zdeněk"}));
  EXPECT_TRUE(Item({"Contacts", "Dave"})->isSelected());
}

// A contact without a birthday shows no date in the field (not 30 December 1899); checking the
// box offers today, and a birthday cleared comes back when the box is checked again.
TEST_F(TreeViewTest, ABirthdayFieldWithoutADateShowsNone) {
  OpenSample();
  // As a contact imported from a file without birthdays keeps it: day 0, 30 December 1899.
  Record({"Contacts", "Dave"})->m_dtBirthday = CDateTime(0.0, CDateTime::valid);
  Select(Item({"Contacts", "Dave"}));
  CMyPropSheet& sheet = *Form().Sheet();
  sheet.setCurrentWidget(sheet.m_pagePersonal);
  QApplication::processEvents();
  CDateField& field = *sheet.m_pagePersonal->m_pBirthday;
  auto* edit = field.findChild<QDateTimeEdit*>();
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(edit->text().trimmed().isEmpty()) << edit->text().toStdString();
  QTest::mouseClick(field.CheckBox(), Qt::LeftButton);
  EXPECT_EQ(edit->date(), QDate::currentDate());
  EXPECT_EQ(Record({"Contacts", "Dave"})->m_dtBirthday.GetYear(), QDate::currentDate().year());

  Select(Item({"Contacts", "Friends", "Eve"}));
  QTest::mouseClick(field.CheckBox(), Qt::LeftButton);
  EXPECT_TRUE(edit->text().trimmed().isEmpty());
  EXPECT_EQ(Record({"Contacts", "Friends", "Eve"})->m_bBirthday, 0);
  QTest::mouseClick(field.CheckBox(), Qt::LeftButton);
  EXPECT_EQ(edit->date(), QDate(1990, 5, 1));
}

TEST_F(TreeViewTest, DropIntoItsOwnSubtreeOrOntoItselfIsRefused) {
  OpenSample();
  Drag(Item({"Contacts", "Friends"}), Item({"Contacts", "Friends", "bob", "Bobby"}));
  const Qt::CursorShape onItself = Drag(Item({"Contacts", "Dave"}), Item({"Contacts", "Dave"}));
  EXPECT_EQ(onItself, Qt::ForbiddenCursor);
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), (QStringList{"Dave", "Friends", "Work"}));
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Friends", "bob"})), QStringList{"Bobby"});
  EXPECT_EQ(RecordCount(Doc().ContactsRoot()), 8u);
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(TreeViewTest, CalendarNodesNeitherTakeNorMakeADrop) {
  OpenSample();
  QTreeWidgetItem* bob = Item({"Contacts", "Friends", "bob"});
  const Qt::CursorShape overCalendar = Drag(bob, Item({"Calendar", "Birthdays"}));
  EXPECT_EQ(overCalendar, Qt::ForbiddenCursor);
  EXPECT_TRUE(bob->isSelected());
  EXPECT_EQ(Item({"Calendar", "Birthdays"})->childCount(), 2);

  QTreeWidgetItem* event = Item({"Calendar", "Birthdays", "Eve"});
  const Qt::CursorShape dragged = Drag(event, Item({"Contacts", "Work"}));
  EXPECT_EQ(dragged, Qt::ForbiddenCursor);
  EXPECT_TRUE(event->isSelected());
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Work"})), QStringList{"Carol"});
  EXPECT_EQ(RecordCount(Doc().ContactsRoot()), 8u);
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(TreeViewTest, ViewsLetGoOfRecordsThatAreDestroyed) {
  OpenSample();
  // A move destroys the source branch: the form must not keep the subcontact it showed.
  Select(Item({"Contacts", "Friends", "bob", "Bobby"}));
  ASSERT_EQ(Form().Record(), Record({"Contacts", "Friends", "bob", "Bobby"}));
  ASSERT_NE(Doc().MoveBranch(Record({"Contacts", "Friends", "bob"}), Record({"Contacts", "Work"})),
            nullptr);
  EXPECT_EQ(Form().Record(), nullptr);
  EXPECT_EQ(Item({"Contacts", "Friends", "bob"}), nullptr);
  for (QTreeWidgetItem* item :
       Tree().findItems(QStringLiteral("*"), Qt::MatchWildcard | Qt::MatchRecursive))
    EXPECT_NE(CTreeViewEx::RecordOf(item), nullptr) << item->text(0).toStdString();

  // New replaces the whole tree.
  Select(Item({"Contacts", "Dave"}));
  m_prompt.saveAnswers = {ESaveAnswer::No};
  ASSERT_TRUE(Frame().Documents().OnFileNew());
  EXPECT_EQ(Form().Record(), nullptr);
  EXPECT_EQ(Tree().topLevelItemCount(), 2);
  EXPECT_EQ(Item({"Contacts"})->childCount(), 0);
  EXPECT_FALSE(Frame().Action(ID_EDIT_DELETE_CONTACT)->isEnabled());
}

}  // namespace
}  // namespace zorvan::test
