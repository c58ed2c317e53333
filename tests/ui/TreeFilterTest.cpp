// The filter box above the tree: typing narrows the contacts and the calendar branch to the
// matches and the groups leading to them, the selection and the form follow, clearing shows
// everything again, Ctrl+K and Escape move between the box and the tree.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidgetItem>
#include <functional>

#include "app/MainFrame.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"
#include "ui/FilterBox.h"
#include "ui/MyPropSheet.h"
#include "ui/ZorvanTreeView.h"
#include "ui/ZorvanView.h"
#include "ui/pages/PageHome.h"

namespace zorvan::test {
namespace {

class TreeFilterTest : public CGuiTest {
 protected:
  // Rodina (a group) with Jan Novák, who has a birthday, and Zuzana Nováková below him;
  // Łucja Wąsowska; Petr Dvořák; Wang Xiaoming as 王小明; Νίκος Παπαδόπουλος.
  void OpenSample() {
    const QString path = MakeDatabase(
        "sample.zvd", {"Rodina;g", " Jan Novák;b=17.5.1970", "  Zuzana Nováková", "Łucja Wąsowska",
                       "Petr Dvořák", "王小明", "Νίκος Παπαδόπουλος"});
    ASSERT_TRUE(Start({path}));
    QApplication::setActiveWindow(&Frame());
    CTreeItem* jan = Record({"Contacts", "Rodina", "Jan Novák"});
    jan->m_strFirstName = "Jan";
    jan->m_strLastName = "Novák";
    jan->m_strHomeCity = "Praha";
    Record({"Contacts", "Rodina", "Jan Novák", "Zuzana Nováková"})->m_strCompany = "Škoda Auto";
    Record({"Contacts", "Łucja Wąsowska"})->m_strPersonalMobile = "+48 601 234 567";
    Record({"Contacts", "Petr Dvořák"})->m_strBusinessEmail = "petr@firma.cz";
  }

  QLineEdit& Box() const { return *Frame().FilterBox(); }
  void Filter(const QString& text) {
    Box().setFocus();
    Box().selectAll();
    if (text.isEmpty())
      QTest::keyClick(&Box(), Qt::Key_Backspace);
    else
      Type(&Box(), text);
  }

  // The labels of the items the tree shows, in its order, indented by depth; a closed branch
  // shows its children as well, marked with "~", so that hidden and closed are told apart: it
  // is opened for the look, as a user would, and closed again.
  QStringList Shown() const {
    QStringList lines;
    std::function<void(QTreeWidgetItem*, int, bool)> walk = [&](QTreeWidgetItem* item, int depth,
                                                                bool closed) {
      if (item->isHidden()) return;
      lines << QString(depth, QLatin1Char(' ')) + (closed ? QStringLiteral("~") : QString()) +
                   item->text(0);
      const bool open = item->isExpanded();
      Tree().MakeChildItems(item);
      if (!open && item->childCount() != 0) item->setExpanded(true);
      for (int i = 0; i < item->childCount(); ++i) walk(item->child(i), depth + 1, closed || !open);
      if (!open) item->setExpanded(false);
    };
    for (int i = 0; i < Tree().topLevelItemCount(); ++i) walk(Tree().topLevelItem(i), 0, false);
    return lines;
  }
  CTreeItem* Selected() const { return Tree().SelectedRecord(); }
};

}  // namespace

TEST_F(TreeFilterTest, TypingNarrowsTheTreeToTheMatchesAndTheWayToThem) {
  OpenSample();
  struct SCase {
    QString typed;
    QStringList shown;
  };
  const QStringList nothing{"Contacts", "Calendar"};
  const SCase cases[] = {
      // Name or label, accents and case ignored; the birthday's event node comes along, in a
      // calendar branch left closed as the user had it (opening it would lay out every event
      // node at each keystroke).
      {QStringLiteral("NOVAK"),
       {"Contacts", " Rodina", "  Jan Novák", "   Zuzana Nováková", "Calendar", " ~Birthdays",
        "  ~Jan Novák"}},
      // Only Zuzana: Jan stays as the way to her, his birthday goes.
      {QStringLiteral("zuzana"),
       {"Contacts", " Rodina", "  Jan Novák", "   Zuzana Nováková", "Calendar"}},
      {QStringLiteral("škoda auto"),
       {"Contacts", " Rodina", "  Jan Novák", "   Zuzana Nováková", "Calendar"}},
      {QStringLiteral("601234"), {"Contacts", " Łucja Wąsowska", "Calendar"}},
      {QStringLiteral("lucja"), {"Contacts", " Łucja Wąsowska", "Calendar"}},
      {QStringLiteral("@FIRMA.cz"), {"Contacts", " Petr Dvořák", "Calendar"}},
      {QStringLiteral("小明"), {"Contacts", " 王小明", "Calendar"}},
      {QStringLiteral("παπαδοπουλοσ"), {"Contacts", " Νίκος Παπαδόπουλος", "Calendar"}},
      // The home city is no part of what the filter looks in.
      {QStringLiteral("praha"), nothing},
      {QStringLiteral("nikdo takový"), nothing},
  };
  for (const SCase& c : cases) {
    Filter(c.typed);
    EXPECT_EQ(Shown(), c.shown) << c.typed.toStdString();
    EXPECT_TRUE(Box().hasFocus()) << c.typed.toStdString();
  }
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(TreeFilterTest, ClearingShowsEverythingAgainWithTheSelectionKept) {
  OpenSample();
  Select(Item({"Contacts", "Łucja Wąsowska"}));
  const QStringList before = Shown();
  Filter(QStringLiteral("wąs"));
  EXPECT_EQ(Selected(), Record({"Contacts", "Łucja Wąsowska"}));
  // The clear button empties the box as Backspace does.
  Filter(QString());
  EXPECT_EQ(Shown(), before);
  EXPECT_EQ(Selected(), Record({"Contacts", "Łucja Wąsowska"}));

  // What the filter opened is closed again, but the way to the selection.
  Filter(QStringLiteral("Nováková"));
  Select(Item({"Contacts", "Rodina", "Jan Novák", "Zuzana Nováková"}));
  Box().setFocus();
  QTest::keyClick(&Box(), Qt::Key_Escape);
  EXPECT_EQ(Box().text(), QString());
  EXPECT_TRUE(Tree().hasFocus());
  EXPECT_EQ(Selected(), Record({"Contacts", "Rodina", "Jan Novák", "Zuzana Nováková"}));
  EXPECT_TRUE(Item({"Contacts", "Rodina", "Jan Novák"})->isExpanded());
  EXPECT_FALSE(Item({"Calendar"})->isExpanded());
  EXPECT_FALSE(Item({"Calendar", "Birthdays"})->isExpanded());
  for (QTreeWidgetItem* item :
       Tree().findItems(QStringLiteral("*"), Qt::MatchWildcard | Qt::MatchRecursive))
    EXPECT_FALSE(item->isHidden()) << item->text(0).toStdString();
}

// A selection the filter hides moves to the first match, which the form shows; the typing goes
// on in the box.
TEST_F(TreeFilterTest, TheSelectionAndTheFormFollowTheFilter) {
  OpenSample();
  Select(Item({"Contacts", "Petr Dvořák"}));
  Filter(QStringLiteral("novák"));
  CTreeItem* jan = Record({"Contacts", "Rodina", "Jan Novák"});
  EXPECT_EQ(Selected(), jan);
  EXPECT_EQ(Frame().FormView()->Record(), jan);
  EXPECT_TRUE(Box().hasFocus());
  Type(&Box(), QStringLiteral("ová"));
  CTreeItem* zuzana = Record({"Contacts", "Rodina", "Jan Novák", "Zuzana Nováková"});
  EXPECT_EQ(Selected(), zuzana);
  EXPECT_EQ(Frame().FormView()->Record(), zuzana);
  // Nothing matches: the tree selects nothing it hides (its commands have no target), the form
  // keeps the record, and clearing the box brings the selection back.
  Type(&Box(), QStringLiteral("xyz"));
  EXPECT_EQ(Selected(), nullptr);
  EXPECT_EQ(Frame().FormView()->Record(), zuzana);
  EXPECT_EQ(Box().text(), QStringLiteral("novákováxyz"));
  EXPECT_FALSE(Frame().Action(ID_EDIT_DELETE_CONTACT)->isEnabled());
  Filter(QString());
  EXPECT_EQ(Selected(), zuzana);
  // F3 finds only what the filter shows: Petr is hidden.
  Filter(QStringLiteral("nov"));
  Tree().m_strFind1 = "ák";
  Tree().m_nWhere1 = findName;
  Select(Item({"Contacts", "Rodina", "Jan Novák", "Zuzana Nováková"}));
  QTest::keyClick(&Tree(), Qt::Key_F3);
  EXPECT_EQ(Selected(), Record({"Calendar", "Birthdays", "Jan Novák"}));
  QTest::keyClick(&Tree(), Qt::Key_F3, Qt::ShiftModifier);
  QTest::keyClick(&Tree(), Qt::Key_F3, Qt::ShiftModifier);
  QTest::keyClick(&Tree(), Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(Selected(), jan);
  EXPECT_EQ(m_prompt.messages.size(), 1u);
}

TEST_F(TreeFilterTest, CtrlKGoesToTheBoxFromAnywhereAndEscapeBackToTheTree) {
  OpenSample();
  EXPECT_EQ(Box().placeholderText(), QStringLiteral("Filter contacts (Ctrl+K)"));
  EXPECT_TRUE(Box().isClearButtonEnabled());
  Select(Item({"Contacts", "Petr Dvořák"}));
  Frame().ActivatePane(CMainFrame::EPane::Form);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_K, Qt::ControlModifier);
  EXPECT_TRUE(Box().hasFocus());
  EXPECT_EQ(Frame().ActivePane(), CMainFrame::EPane::Tree);
  Type(&Box(), QStringLiteral("dvoř"));
  EXPECT_EQ(Shown(), (QStringList{"Contacts", " Petr Dvořák", "Calendar"}));
  // Ctrl+K again selects the text, so that typing replaces it.
  Tree().setFocus();
  QTest::keyClick(&Tree(), Qt::Key_K, Qt::ControlModifier);
  Type(&Box(), QStringLiteral("łucja"));
  EXPECT_EQ(Box().text(), QStringLiteral("łucja"));
  QTest::keyClick(&Box(), Qt::Key_Escape);
  EXPECT_TRUE(Tree().hasFocus());
  EXPECT_EQ(Box().text(), QString());
}

// A record changed in the form is looked for with what it holds now.
TEST_F(TreeFilterTest, AnEditedRecordIsFilteredByItsNewValues) {
  OpenSample();
  Filter(QStringLiteral("petr"));  // every key is made
  Select(Item({"Contacts", "Petr Dvořák"}));
  CPageHome& home = *Frame().FormView()->Sheet()->m_pageHome;
  Frame().FormView()->Sheet()->setCurrentWidget(&home);
  QApplication::processEvents();
  Type(home.m_pEmail, QStringLiteral("żubr@przykład.pl"));
  Filter(QStringLiteral("zubr@"));
  EXPECT_EQ(Shown(), (QStringList{"Contacts", " Petr Dvořák", "Calendar"}));
  // A label changed as the form's Label box changes it.
  Filter(QString());
  CTreeItem* petr = Record({"Contacts", "Petr Dvořák"});
  petr->m_strLabel = "Pan Dvořák";
  Doc().RecordAppearanceChanged(petr, ERecordChange::Label);
  Filter(QStringLiteral("pan dv"));
  EXPECT_EQ(Shown(), (QStringList{"Contacts", " Pan Dvořák", "Calendar"}));
}

// Past a number of items the tree is filtered once the typing pauses, not at every key; an
// emptied box shows everything at once.
TEST_F(TreeFilterTest, ALargeTreeIsFilteredWhenTheTypingPauses) {
  OpenSample();
  const QStringList all = Shown();
  Frame().SetFilterAtOnceItems(5);
  Filter(QStringLiteral("łucja"));
  EXPECT_EQ(Shown(), all);
  const QStringList lucja{"Contacts", " Łucja Wąsowska", "Calendar"};
  EXPECT_TRUE(QTest::qWaitFor([&] { return Shown() == lucja; }, 5000))
      << Shown().join('|').toStdString();
  Filter(QString());
  EXPECT_EQ(Shown().size(), all.size());
  EXPECT_TRUE(Box().hasFocus());
}

// Contacts deleted and created while the box holds a text are filtered by the next keystroke as
// the tree is now.
TEST_F(TreeFilterTest, TheNextKeystrokeFollowsContactsDeletedAndCreatedMeanwhile) {
  OpenSample();
  Filter(QStringLiteral("nov"));
  Select(Item({"Contacts", "Rodina", "Jan Novák", "Zuzana Nováková"}));
  m_prompt.yesNoAnswers = {true};
  Frame().Action(ID_EDIT_DELETE_CONTACT)->trigger();
  Filter(QStringLiteral("nováková"));
  EXPECT_EQ(Shown(), (QStringList{"Contacts", "Calendar"}));
  Filter(QStringLiteral("novák"));
  EXPECT_EQ(Shown(), (QStringList{"Contacts", " Rodina", "  Jan Novák", "Calendar", " ~Birthdays",
                                  "  ~Jan Novák"}));
  Select(Item({"Contacts", "Rodina"}));
  Frame().Action(ID_EDIT_CREATE_NEW)->trigger();
  Filter(QStringLiteral("unnamed"));
  EXPECT_EQ(Shown(), (QStringList{"Contacts", " Rodina", "  Unnamed", "Calendar"}));
}

}  // namespace zorvan::test
