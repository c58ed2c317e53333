// The Find command: the dialog and what it keeps between searches, the search order from the
// beginning and from the current item, the match shown in the form, the message when nothing is
// left, and the keyboard.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
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
#include "ui/MyPropSheet.h"
#include "ui/ZorvanTreeView.h"
#include "ui/ZorvanView.h"
#include "ui/pages/PageCalendar.h"

namespace zorvan::test {
namespace {

const QString kNoMatch = QStringLiteral("There is no contact satisfying the entered criterium.");
const QString kNoGroup = QStringLiteral("Choose at least one field group to search in.");

class FindTest : public CGuiTest {
 protected:
  // Contacts in the order the document keeps them: Rodina (a group) with Jan Novák, who has a
  // birthday and his daughter Zuzana below him; Łucja Wąsowska; Petr Dvořák. The tree shows
  // them sorted: Łucja Wąsowska, Petr Dvořák, Rodina.
  void OpenSample() {
    const QString path =
        MakeDatabase("sample.zvd", {"Rodina;g", " Jan Novák;b=17.5.1970", "  Zuzana Nováková",
                                    "Łucja Wąsowska", "Petr Dvořák"});
    ASSERT_TRUE(Start({path}));
    QApplication::setActiveWindow(&Frame());
    Record({"Contacts", "Rodina", "Jan Novák"})->m_strHomeCity = "Praha";
    Record({"Contacts", "Rodina", "Jan Novák", "Zuzana Nováková"})->m_strHomeCity = "Brno";
    Record({"Contacts", "Łucja Wąsowska"})->m_strHomeCity = "Łódź";
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
  static void ClickFind(CFindDlg& dialog) {
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("find")), Qt::LeftButton);
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

  // Matches in the tree's order: Petr Dvořák, then Rodina's Jan Novák with Zuzana Nováková
  // below him, then Jan's birthday.
  Search({{QStringLiteral("ák"), findName}}, 0);
  CTreeItem* jan = Record({"Contacts", "Rodina", "Jan Novák"});
  CTreeItem* zuzana = Record({"Contacts", "Rodina", "Jan Novák", "Zuzana Nováková"});
  CTreeItem* petr = Record({"Contacts", "Petr Dvořák"});
  CTreeItem* birthday = Record({"Calendar", "Birthdays", "Jan Novák"});
  ASSERT_EQ(Selected(), petr);
  QTest::keyClick(&Tree(), Qt::Key_F3);
  EXPECT_EQ(Selected(), jan);
  // Forward, the current branch is passed over as Find passes it.
  QTest::keyClick(&Tree(), Qt::Key_F3);
  EXPECT_EQ(Selected(), birthday);
  Frame().ActivatePane(CMainFrame::EPane::Form);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(Selected(), zuzana);
  QTest::keyClick(&Tree(), Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(Selected(), jan);
  QTest::keyClick(&Tree(), Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(Selected(), petr);
  EXPECT_TRUE(m_prompt.messages.empty());
  // Nothing before the first: it stays, and the message says so.
  QTest::keyClick(&Tree(), Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(Selected(), petr);
  ASSERT_EQ(m_prompt.messages.size(), 1u);
  EXPECT_EQ(m_prompt.messages[0].text, kNoMatch);
}

// Find from the beginning takes the first match as the tree shows the contacts, sorted, not
// as the file keeps them: Petr Dvořák before Rodina's Jan Novák, and from Petr on, Jan.
TEST_F(FindTest, FindWalksTheTreeInItsSortedOrder) {
  OpenSample();
  Select(Item({"Contacts", "Łucja Wąsowska"}));
  Search({{QStringLiteral("ák"), findName}}, 0);
  EXPECT_EQ(Selected(), Record({"Contacts", "Petr Dvořák"}));
  Search({{QStringLiteral("ák"), findName}}, 1);
  EXPECT_EQ(Selected(), Record({"Contacts", "Rodina", "Jan Novák"}));
  // A group renamed in place takes its sorted place, and Find follows it: "Aa Rodina" now
  // comes before Łucja and Petr.
  CTreeItem* rodina = Record({"Contacts", "Rodina"});
  rodina->m_strLabel = "Aa Rodina";
  Doc().RecordAppearanceChanged(rodina, ERecordChange::Label);
  Search({{QStringLiteral("ák"), findName}}, 0);
  EXPECT_EQ(Selected(), Record({"Contacts", "Aa Rodina", "Jan Novák"}));
  Select(Item({"Contacts", "Łucja Wąsowska"}));
  Search({{QStringLiteral("ák"), findName}}, 1);
  EXPECT_EQ(Selected(), Record({"Contacts", "Petr Dvořák"}));
  EXPECT_TRUE(m_prompt.messages.empty());
}

// A text without any field group chosen is a question left half asked: Find says so and the
// dialog stays open with what was typed, and only a search with a group closes it.
TEST_F(FindTest, ATextWithoutAFieldGroupAsksForOneAndKeepsTheDialogOpen) {
  OpenSample();
  Select(Item({"Contacts", "Petr Dvořák"}));
  int answer = -1;
  Find([&](CFindDlg& dialog) {
    Type(dialog.m_pText[0], QStringLiteral("Nováková"));
    Type(dialog.m_pText[2], QStringLiteral("Brno"));
    dialog.m_pFromBeginning->setChecked(true);
    ClickFind(dialog);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(m_prompt.MessageTexts(), QStringList{kNoGroup});
    EXPECT_EQ(dialog.m_pText[0]->text(), QStringLiteral("Nováková"));
    EXPECT_EQ(dialog.m_pText[2]->text(), QStringLiteral("Brno"));
    // The group of the third text is enough.
    dialog.m_pWhere[2]->setCurrentIndex(findHomeAddress);
    ClickFind(dialog);
    answer = dialog.result();
  });
  EXPECT_EQ(answer, QDialog::Accepted);
  EXPECT_EQ(m_prompt.MessageTexts(), QStringList{kNoGroup});
  EXPECT_EQ(Selected(), Record({"Contacts", "Rodina", "Jan Novák", "Zuzana Nováková"}));
  // Nothing typed at all is no half question: the no-match message, as before.
  Search({{QString(), findNone}, {QString(), findNone}, {QString(), findHomeAddress}}, 0);
  EXPECT_EQ(m_prompt.MessageTexts(), (QStringList{kNoGroup, kNoMatch}));
}

// "Ignore accents" is on at the first Find, is kept for the next one when turned off, and
// decides whether "LODZ" finds Łucja in Łódź and "nowakowa" nothing, or only "łódź" does.
TEST_F(FindTest, IgnoreAccentsIsOnAtFirstAndKeptForTheSession) {
  OpenSample();
  Select(Item({"Contacts"}));
  struct SCase {
    bool ignore;
    QString text;
    int group;
    const char* found;  // the label of the match, null for the no-match message
  };
  const SCase cases[] = {
      {true, QStringLiteral("LODZ"), findHomeAddress, "Łucja Wąsowska"},
      {true, QStringLiteral("petr dvorak"), findName, "Petr Dvořák"},
      {true, QStringLiteral("zuzana novakova"), findName, "Zuzana Nováková"},
      {false, QStringLiteral("LODZ"), findHomeAddress, nullptr},
      {false, QStringLiteral("ŁÓDŹ"), findHomeAddress, "Łucja Wąsowska"},
      {false, QStringLiteral("dvorak"), findName, nullptr},
  };
  bool first = true;
  for (const SCase& c : cases) {
    m_prompt.messages.clear();
    Find([&](CFindDlg& dialog) {
      ASSERT_NE(dialog.m_pIgnoreAccents, nullptr);
      if (first) {
        EXPECT_TRUE(dialog.m_pIgnoreAccents->isChecked());
      }
      if (dialog.m_pIgnoreAccents->isChecked() != c.ignore) dialog.m_pIgnoreAccents->click();
      dialog.m_pText[0]->clear();
      Type(dialog.m_pText[0], c.text);
      dialog.m_pWhere[0]->setCurrentIndex(c.group);
      dialog.m_pFromBeginning->setChecked(true);
      ClickFind(dialog);
    });
    first = false;
    EXPECT_EQ(Tree().m_bIgnoreAccents, c.ignore);
    if (c.found) {
      ASSERT_NE(Selected(), nullptr) << c.text.toStdString();
      EXPECT_EQ(Selected()->m_strLabel.str(), c.found) << c.text.toStdString();
      EXPECT_TRUE(m_prompt.messages.empty()) << c.text.toStdString();
    } else {
      EXPECT_EQ(m_prompt.MessageTexts(), QStringList{kNoMatch}) << c.text.toStdString();
    }
  }
  Find([&](CFindDlg& dialog) { EXPECT_FALSE(dialog.m_pIgnoreAccents->isChecked()); });
}

// On a calendar node the Calendar page shows a day the user may step away from; a search that
// finds nothing, by the dialog or by F3, leaves that day as it is.
TEST_F(FindTest, NoMatchFromACalendarNodeLeavesTheDaySteppedTo) {
  OpenSample();
  Select(Item({"Calendar", "Birthdays"}));
  CPageCalendar& page = *Frame().FormView()->Sheet()->m_pageCalendar;
  ASSERT_TRUE(page.isVisible());
  const CDateTime shownFirst = Doc().m_dtCalendarDay;
  QTest::mouseClick(page.m_pTomorrow, Qt::LeftButton);
  QTest::mouseClick(page.m_pTomorrow, Qt::LeftButton);
  const CDateTime stepped = Doc().m_dtCalendarDay;
  ASSERT_EQ(stepped.m_dt, shownFirst.AddDays(2).m_dt);
  Search({{QStringLiteral("Nikdo Takový"), findName}}, 1);
  EXPECT_EQ(m_prompt.MessageTexts(), QStringList{kNoMatch});
  EXPECT_EQ(Doc().m_dtCalendarDay.m_dt, stepped.m_dt);
  EXPECT_EQ(page.Day().m_dt, stepped.m_dt);
  EXPECT_EQ(Selected(), Record({"Calendar", "Birthdays"}));
  QTest::keyClick(&Tree(), Qt::Key_F3);
  EXPECT_EQ(m_prompt.MessageTexts(), (QStringList{kNoMatch, kNoMatch}));
  EXPECT_EQ(page.Day().m_dt, stepped.m_dt);
  EXPECT_TRUE(page.isVisible());
}

}  // namespace zorvan::test
