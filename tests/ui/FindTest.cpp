// The Find command: the dialog and what it keeps between searches, the search order from the
// beginning and from the current item, the match shown in the form, the message when nothing is
// left, and the keyboard.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>

#include "app/MainFrame.h"
#include "find/Finder.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"
#include "ui/FindDlg.h"
#include "ui/ZorvanTreeView.h"
#include "ui/ZorvanView.h"

namespace zorvan::test {
namespace {

const QString kNoMatch = QStringLiteral("There is no contact satisfying the entered criterium.");

class FindTest : public CGuiTest {
 protected:
  // Contacts in the order the document keeps them: Rodina (a group) with Jan Novák, who has a
  // birthday and his daughter Zuzana below him; Łucja Wąsowska; Petr Dvořák.
  void OpenSample() {
    const QString path =
        MakeDatabase("sample.zvd", {"Rodina;g", " Jan Novák;b=17.5.1970", "  Zuzana Nováková",
                                    "Łucja Wąsowska", "Petr Dvořák"});
    ASSERT_TRUE(Start({path}));
    QApplication::setActiveWindow(&Frame());
    Record({"Contacts", "Rodina", "Jan Novák"})->m_strHomeCity = "Praha";
    Record({"Contacts", "Rodina", "Jan Novák", "Zuzana Nováková"})->m_strHomeCity = "Brno";
  }

  // Runs Find; the dialog, as it was opened, goes to answer.
  void Find(const std::function<void(CFindDlg&)>& answer) {
    m_prompt.onModal = [&](QDialog& dialog) {
      auto* find = dynamic_cast<CFindDlg*>(&dialog);
      ASSERT_NE(find, nullptr);
      answer(*find);
    };
    Frame().Action(ID_EDIT_FIND)->trigger();
    m_prompt.onModal = nullptr;
  }

  struct SCriterion {
    QString text;
    int group;
  };
  // Fills in the criteria as a user does, picks the direction and clicks Find.
  void Search(std::initializer_list<SCriterion> criteria, int direction) {
    Find([&](CFindDlg& dialog) {
      int i = 0;
      for (const SCriterion& c : criteria) {
        dialog.m_pText[i]->clear();
        Type(dialog.m_pText[i], c.text);
        dialog.m_pWhere[i]->setCurrentIndex(c.group);
        ++i;
      }
      (direction == 0 ? dialog.m_pFromBeginning : dialog.m_pFromCurrent)->setChecked(true);
      QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("find")), Qt::LeftButton);
    });
  }

  CTreeItem* Selected() { return Tree().SelectedRecord(); }
  CTreeItem* Shown() { return Frame().FormView()->Record(); }
};

}  // namespace

TEST_F(FindTest, AMatchIsSelectedAndShownAndTheDialogOpensWithTheSameCriteriaNextTime) {
  OpenSample();
  Select(Item({"Contacts", "Petr Dvořák"}));
  Search({{QStringLiteral("NOVÁKOVÁ"), findName}}, 0);
  CTreeItem* zuzana = Record({"Contacts", "Rodina", "Jan Novák", "Zuzana Nováková"});
  EXPECT_EQ(Selected(), zuzana);
  EXPECT_EQ(Shown(), zuzana);
  EXPECT_TRUE(Tree().hasFocus());
  // The branch was opened to show it.
  EXPECT_TRUE(Item({"Contacts", "Rodina", "Jan Novák"})->isExpanded());
  EXPECT_TRUE(m_prompt.messages.empty());

  QStringList groups;
  Find([&](CFindDlg& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Find"));
    EXPECT_EQ(dialog.m_pText[0]->text(), QStringLiteral("NOVÁKOVÁ"));
    EXPECT_EQ(dialog.m_pWhere[0]->currentIndex(), findName);
    EXPECT_EQ(dialog.m_pWhere[1]->currentIndex(), -1);
    EXPECT_TRUE(dialog.m_pFromBeginning->isChecked());
    for (int i = 0; i < dialog.m_pWhere[2]->count(); ++i) groups << dialog.m_pWhere[2]->itemText(i);
  });
  EXPECT_EQ(groups, (QStringList{"Name", "E-mail", "Web URL", "Home Address", "Home Phone",
                                 "Business", "Work Address", "Work Phone"}));
}

TEST_F(FindTest, CancelKeepsThePreviousCriteriaAndSearchesNothing) {
  OpenSample();
  Select(Item({"Contacts"}));
  Search({{QStringLiteral("wąs"), findName}}, 1);
  CTreeItem* lucja = Record({"Contacts", "Łucja Wąsowska"});
  EXPECT_EQ(Selected(), lucja);

  Select(Item({"Contacts", "Petr Dvořák"}));
  Find([&](CFindDlg& dialog) {
    dialog.m_pText[0]->clear();
    Type(dialog.m_pText[0], QStringLiteral("Dvořák"));
    dialog.m_pFromBeginning->setChecked(true);
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("cancel")), Qt::LeftButton);
  });
  EXPECT_EQ(Selected(), Record({"Contacts", "Petr Dvořák"}));
  EXPECT_TRUE(m_prompt.messages.empty());
  EXPECT_EQ(Tree().m_strFind1, "wąs");
  EXPECT_EQ(Tree().m_nDirection, 1);
  Find([&](CFindDlg& dialog) {
    EXPECT_EQ(dialog.m_pText[0]->text(), QStringLiteral("wąs"));
    EXPECT_TRUE(dialog.m_pFromCurrent->isChecked());
  });
}

TEST_F(FindTest, FromTheCurrentItemTheSearchSkipsItsBranchReachesTheCalendarThenStops) {
  OpenSample();
  Select(Item({"Contacts"}));
  Search({{QStringLiteral("novák"), findName}}, 1);
  CTreeItem* jan = Record({"Contacts", "Rodina", "Jan Novák"});
  EXPECT_EQ(Selected(), jan);

  // Zuzana lies below Jan and is passed over with him; the next match is Jan's birthday.
  Search({{QStringLiteral("novák"), findName}}, 1);
  CTreeItem* birthday = Record({"Calendar", "Birthdays", "Jan Novák"});
  EXPECT_EQ(Selected(), birthday);
  // The event is shown as a click on it shows it: its contact, on the Personal page.
  EXPECT_EQ(Shown(), jan);
  EXPECT_TRUE(m_prompt.messages.empty());

  // Nothing after the calendar: the current item stays, and the message says so.
  Search({{QStringLiteral("novák"), findName}}, 1);
  EXPECT_EQ(Selected(), birthday);
  EXPECT_EQ(Shown(), jan);
  ASSERT_EQ(m_prompt.messages.size(), 1u);
  EXPECT_EQ(m_prompt.messages[0].text, kNoMatch);
  EXPECT_EQ(m_prompt.messages[0].icon, EMsgIcon::Error);
  EXPECT_TRUE(Tree().hasFocus());
}

TEST_F(FindTest, EveryActiveCriterionMustBeMetAndInactiveOnesAreIgnored) {
  OpenSample();
  Select(Item({"Contacts", "Łucja Wąsowska"}));
  // "nov" alone finds Jan first; with "brno" in the home address only Zuzana is left. A text
  // without a group is no criterion.
  Search({{QStringLiteral("nov"), findName},
          {QStringLiteral("brno"), findHomeAddress},
          {QStringLiteral("Praha"), findNone}},
         0);
  EXPECT_EQ(Selected(), Record({"Contacts", "Rodina", "Jan Novák", "Zuzana Nováková"}));

  // Nothing to look for: the current item is shown again, with the message.
  Search({{QString(), findName}, {QString(), findNone}, {QString(), findNone}}, 0);
  EXPECT_EQ(Selected(), Record({"Contacts", "Rodina", "Jan Novák", "Zuzana Nováková"}));
  EXPECT_EQ(m_prompt.MessageTexts(), QStringList{kNoMatch});
}

TEST_F(FindTest, TheCriteriaOutliveTheDatabaseTheyWereMadeFor) {
  OpenSample();
  Select(Item({"Contacts"}));
  Search({{QStringLiteral("dvořák"), findName}}, 0);
  EXPECT_EQ(Selected(), Record({"Contacts", "Petr Dvořák"}));
  Frame().Action(ID_FILE_NEW)->trigger();
  QApplication::processEvents();
  Find([&](CFindDlg& dialog) {
    EXPECT_EQ(dialog.m_pText[0]->text(), QStringLiteral("dvořák"));
    EXPECT_EQ(dialog.m_pWhere[0]->currentIndex(), findName);
  });
}

TEST_F(FindTest, CtrlFOpensFindAndTheDialogWorksByKeyboard) {
  OpenSample();
  Select(Item({"Contacts"}));
  Tree().setFocus();
  bool opened = false;
  m_prompt.onModal = [&](QDialog& dialog) {
    auto* find = dynamic_cast<CFindDlg*>(&dialog);
    ASSERT_NE(find, nullptr);
    opened = true;
    find->show();
    QApplication::setActiveWindow(find);
    // The first box has the focus; Alt+H goes to its field group, the arrow keys choose.
    EXPECT_TRUE(find->m_pText[0]->hasFocus());
    Type(find->m_pText[0], QStringLiteral("petr"));
    QTest::keyClick(find, Qt::Key_H, Qt::AltModifier);
    EXPECT_TRUE(find->m_pWhere[0]->hasFocus());
    QTest::keyClick(find->m_pWhere[0], Qt::Key_Down);
    // A button's mnemonic clicks it as the mouse would, after showing it pressed a moment.
    QTest::keyClick(find, Qt::Key_B, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return find->m_pFromBeginning->isChecked(); }, 2000));
    // Enter is Find, the default button.
    QTest::keyClick(find->m_pText[0], Qt::Key_Return);
  };
  QTest::keyClick(&Tree(), Qt::Key_F, Qt::ControlModifier);
  m_prompt.onModal = nullptr;
  EXPECT_TRUE(opened);
  EXPECT_EQ(Tree().m_nWhere1, findName);
  EXPECT_EQ(Selected(), Record({"Contacts", "Petr Dvořák"}));
}

// F3 and Shift+F3 step to the next and the previous match of the last criteria without the
// dialog, from the form as well; with no criteria yet F3 opens the dialog.
TEST_F(FindTest, F3AndShiftF3FindTheNextAndThePreviousMatchOfTheLastCriteria) {
  OpenSample();
  Select(Item({"Contacts"}));
  bool opened = false;
  m_prompt.onModal = [&](QDialog&) { opened = true; };
  QTest::keyClick(&Tree(), Qt::Key_F3);
  EXPECT_TRUE(opened) << "no criteria yet: the dialog";
  m_prompt.onModal = nullptr;

  // Matches in search order: Jan Novák, Zuzana Nováková below him, Petr Dvořák, Jan's birthday.
  Search({{QStringLiteral("ák"), findName}}, 0);
  CTreeItem* jan = Record({"Contacts", "Rodina", "Jan Novák"});
  CTreeItem* zuzana = Record({"Contacts", "Rodina", "Jan Novák", "Zuzana Nováková"});
  CTreeItem* petr = Record({"Contacts", "Petr Dvořák"});
  ASSERT_EQ(Selected(), jan);
  // Forward, the current branch is passed over as Find passes it.
  QTest::keyClick(&Tree(), Qt::Key_F3);
  EXPECT_EQ(Selected(), petr);
  Frame().ActivatePane(CMainFrame::EPane::Form);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(Selected(), zuzana);
  QTest::keyClick(&Tree(), Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(Selected(), jan);
  EXPECT_TRUE(m_prompt.messages.empty());
  // Nothing before the first: it stays, and the message says so.
  QTest::keyClick(&Tree(), Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(Selected(), jan);
  ASSERT_EQ(m_prompt.messages.size(), 1u);
  EXPECT_EQ(m_prompt.messages[0].text, kNoMatch);
}

}  // namespace zorvan::test
