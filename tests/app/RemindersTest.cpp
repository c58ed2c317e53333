// The reminders' line above the form: today's and the coming week's events with their ages, a
// link to each contact, the midnight timer, the View menu's setting and the cut of a long list.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>

#include "app/DocumentCommands.h"
#include "app/MainFrame.h"
#include "qt/QtText.h"
#include "store/DateTime.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"
#include "ui/DateField.h"
#include "ui/MyPropSheet.h"
#include "ui/ReminderBar.h"
#include "ui/ZorvanTreeView.h"
#include "ui/ZorvanView.h"
#include "ui/pages/PageName.h"
#include "ui/pages/PagePersonal.h"

namespace zorvan::test {
namespace {

constexpr qint64 kMsPerHour = 60 * 60 * 1000;

// Friday 15 March 2024 is the tests' today; the week runs to Friday 22 March.
const QStringList kFamily = {"Jiří Dvořák;b=15.3.1979", "Zofia Łukasiewicz;b=16.3.1990",
                             "Νίκος Παπαδόπουλος;b=19.3.1970", "王小明;b=23.3.1990",
                             "Jürgen Größer"};

class RemindersTest : public CGuiTest {
 protected:
  void SetUp() override {
    CGuiTest::SetUp();
    // The days' names as an English calendar writes them, whatever the machine's language.
    m_locale = QLocale();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
  }
  void TearDown() override {
    CGuiTest::TearDown();
    QLocale::setDefault(m_locale);
  }
  CReminderBar& Bar() const { return *Frame().Reminders(); }
  // How many names the line shows as links.
  int Links() const { return static_cast<int>(Bar().text().count(QStringLiteral("<a href"))); }

  QLocale m_locale;
};

TEST_F(RemindersTest, ListsTheWeekWithAgesAndAClickShowsTheContact) {
  ASSERT_TRUE(Start({MakeDatabase("rodina.zvd", kFamily)}));
  EXPECT_TRUE(Bar().isVisible());
  EXPECT_EQ(Bar().FullText(),
            QStringLiteral("Today: Jiří Dvořák (45 let) · Tomorrow: Zofia Łukasiewicz (34 let) · "
                           "Tue 19 Mar: Νίκος Παπαδόπουλος (54 let)"));
  EXPECT_EQ(Bar().toolTip(), Bar().FullText());
  EXPECT_EQ(Links(), 3);
  EXPECT_FALSE(Bar().text().endsWith(QStringLiteral("…")));
  const struct {
    int index;
    const char* label;
  } clicks[] = {{2, "Νίκος Παπαδόπουλος"}, {0, "Jiří Dvořák"}, {1, "Zofia Łukasiewicz"}};
  for (const auto& click : clicks) {
    SCOPED_TRACE(click.label);
    emit Bar().linkActivated(CReminderBar::LinkOf(click.index));
    QApplication::processEvents();
    ASSERT_NE(Tree().currentItem(), nullptr);
    EXPECT_EQ(Tree().currentItem()->text(0), QString::fromUtf8(click.label));
    EXPECT_EQ(Frame().FormView()->Record(), Record({"Contacts", QString::fromUtf8(click.label)}));
  }
  // A link that is none of the list's does nothing.
  emit Bar().linkActivated(CReminderBar::LinkOf(7));
  EXPECT_EQ(Tree().currentItem()->text(0), QStringLiteral("Zofia Łukasiewicz"));
}

TEST_F(RemindersTest, ShowsNothingWithoutEventsAndForgetsContactsThatGo) {
  ASSERT_TRUE(Start({MakeDatabase("nikdo.zvd", {"Jürgen Größer", "王小明;b=23.3.1990"})}));
  EXPECT_FALSE(Bar().isVisible());
  EXPECT_EQ(Bar().FullText(), QString());
  EXPECT_EQ(Bar().ReminderCount(), 0);

  ASSERT_TRUE(Frame().Documents().OpenDocumentFile(MakeDatabase("rodina.zvd", kFamily)));
  EXPECT_TRUE(Bar().isVisible());
  EXPECT_EQ(Bar().ReminderCount(), 3);
  // A contact deleted leaves the line at once: no link leads to a record that is gone.
  Select(Item({"Contacts", "Jiří Dvořák"}));
  m_prompt.yesNoAnswers = {true};
  Frame().Action(ID_EDIT_DELETE_CONTACT)->trigger();
  EXPECT_EQ(Bar().ReminderCount(), 2);
  EXPECT_FALSE(Bar().text().contains(QStringLiteral("Jiří")));
  QApplication::processEvents();
  EXPECT_EQ(Bar().FullText(),
            QStringLiteral("Tomorrow: Zofia Łukasiewicz (34 let) · Tue 19 Mar: Νίκος "
                           "Παπαδόπουλος (54 let)"));
}

TEST_F(RemindersTest, TheNextMidnightListsTheNewDayAndArmsTheTimerAgain) {
  ASSERT_TRUE(Start({MakeDatabase("rodina.zvd", kFamily)}));
  QTimer& timer = Bar().MidnightTimer();
  EXPECT_TRUE(timer.isActive());
  EXPECT_TRUE(timer.isSingleShot());
  // 10:00 to midnight, and the second after it.
  EXPECT_NEAR(timer.interval(), 14 * kMsPerHour + 1000, 2);

  // Midnight came: the clock reads the next day when the timer fires.
  SetClockSource([] { return CDateTime(2024, 3, 16, 0, 0, 1); });
  timer.start(0);
  QApplication::processEvents();
  EXPECT_EQ(Bar().FullText(),
            QStringLiteral("Today: Zofia Łukasiewicz (34 let) · Tue 19 Mar: Νίκος Παπαδόπουλος "
                           "(54 let) · Sat 23 Mar: 王小明 (34 let)"));
  EXPECT_TRUE(timer.isActive());
  EXPECT_NEAR(timer.interval(), 24 * kMsPerHour, 2);
}

TEST_F(RemindersTest, TheViewMenuTurnsTheLineOffAndTheSettingIsKept) {
  const QString database = MakeDatabase("rodina.zvd", kFamily);
  ASSERT_TRUE(Start({database}));
  QAction* command = Frame().Action(ID_VIEW_REMINDERS);
  ASSERT_NE(command, nullptr);
  EXPECT_TRUE(command->isCheckable());
  EXPECT_TRUE(command->isChecked());
  command->trigger();
  EXPECT_FALSE(Bar().isVisible());
  // Turned off, the window has nothing to wake for.
  EXPECT_FALSE(Bar().MidnightTimer().isActive());
  EXPECT_EQ(QSettings(QStringLiteral("Tavorin"), QStringLiteral("Zorvan"))
                .value(QStringLiteral("Window/Reminders"))
                .toBool(),
            false);
  EXPECT_TRUE(CloseWindow());
  Stop();

  ASSERT_TRUE(Start({database}));
  EXPECT_FALSE(Frame().Action(ID_VIEW_REMINDERS)->isChecked());
  EXPECT_FALSE(Bar().isVisible());
  EXPECT_FALSE(Bar().MidnightTimer().isActive());
  Frame().Action(ID_VIEW_REMINDERS)->trigger();
  EXPECT_TRUE(Bar().isVisible());
  EXPECT_EQ(Bar().ReminderCount(), 3);
  EXPECT_TRUE(Bar().MidnightTimer().isActive());
}

TEST_F(RemindersTest, ALongListIsCutWithAnEllipsisAndTheToolTipHoldsItAll) {
  QStringList many;
  for (const char* name : {"Bohumila Křižíková", "Przemysław Szczęśniak", "Αικατερίνη Οικονόμου",
                           "Friedrich Schäfer-Löwenthal", "欧阳志远", "Václav Šťastný",
                           "Grzegorz Brzęczyszczykiewicz", "Ευάγγελος Κωνσταντίνου"})
    many << QString::fromUtf8(name) + QStringLiteral(";b=15.3.1980");
  ASSERT_TRUE(Start({MakeDatabase("mnoho.zvd", many)}));
  ASSERT_EQ(Bar().ReminderCount(), 8);
  for (const int width : {300, 700, 1600}) {
    SCOPED_TRACE(width);
    Frame().resize(width, Frame().height());
    QApplication::processEvents();
    const bool fits =
        Bar().fontMetrics().horizontalAdvance(Bar().FullText()) <= Bar().contentsRect().width();
    if (width == 300) {
      EXPECT_FALSE(fits);
    }
    EXPECT_EQ(Bar().text().endsWith(QStringLiteral("…")), !fits) << Bar().text().toStdString();
    EXPECT_EQ(Links() < 8, !fits);
    EXPECT_GE(Links(), 1);
    EXPECT_TRUE(Bar().FullText().contains(QStringLiteral("Ευάγγελος Κωνσταντίνου (44 let)")));
    EXPECT_EQ(Bar().toolTip(), Bar().FullText());
    // The line never widens the window.
    EXPECT_LE(Frame().width(), std::max(width, Frame().minimumSizeHint().width()));
  }
}

// A change in the form lists the week again when its contact is on the line or comes onto it;
// a keystroke in any other contact leaves the line as it was (here: for the day it was made).
TEST_F(RemindersTest, TheFormListsAgainOnlyForAContactOfTheWeek) {
  ASSERT_TRUE(Start({MakeDatabase("rodina.zvd", kFamily)}));
  CMyPropSheet& sheet = *Frame().FormView()->Sheet();
  const auto show = [&](const QString& label, QWidget* page) {
    Select(Item({"Contacts", label}));
    sheet.setCurrentWidget(page);
    QApplication::processEvents();
  };
  show(QStringLiteral("Jiří Dvořák"), sheet.m_pagePersonal);
  QTest::mouseClick(sheet.m_pagePersonal->m_pBirthday->CheckBox(), Qt::LeftButton);
  const QString withoutJiri = QStringLiteral(
      "Tomorrow: Zofia Łukasiewicz (34 let) · Tue 19 Mar: Νίκος Παπαδόπουλος (54 let)");
  EXPECT_EQ(Bar().FullText(), withoutJiri);
  // Two days on, 王小明's birthday of 23 March is in the week; Jürgen has none.
  SetClockSource([] { return CDateTime(2024, 3, 17, 10, 0, 0); });
  show(QStringLiteral("Jürgen Größer"), sheet.m_pageName);
  Type(sheet.m_pageName->m_pFirst, QStringLiteral("J"));
  EXPECT_EQ(Bar().FullText(), withoutJiri);
  show(QStringLiteral("王小明"), sheet.m_pageName);
  Type(sheet.m_pageName->m_pFirst, QStringLiteral("小"));
  EXPECT_EQ(
      Bar().FullText(),
      QStringLiteral("Tue 19 Mar: Νίκος Παπαδόπουλος (54 let) · Sat 23 Mar: 王小明 (34 let)"));
}

// A keystroke in a contact on the line makes its text again in its place (an anniversary's text
// as it is typed); a change of its date lists the week again.
TEST_F(RemindersTest, AKeystrokeInAContactOfTheWeekMakesItsTextAgain) {
  ASSERT_TRUE(
      Start({MakeDatabase("výročí.zvd", {"Jiří Dvořák;b=15.3.1979", "Zofia Łukasiewicz;a=17.3.2015",
                                         "Νίκος Παπαδόπουλος;b=19.3.1970"})}));
  CMyPropSheet& sheet = *Frame().FormView()->Sheet();
  Select(Item({"Contacts", "Zofia Łukasiewicz"}));
  sheet.setCurrentWidget(sheet.m_pagePersonal);
  QApplication::processEvents();
  Type(sheet.m_pagePersonal->m_pAnniversaryText, QStringLiteral("ślub"));
  EXPECT_EQ(Bar().FullText(), QStringLiteral("Today: Jiří Dvořák (45 let) · Sun 17 Mar: Zofia "
                                             "Łukasiewicz (ślub) · Tue 19 Mar: Νίκος "
                                             "Παπαδόπουλος (54 let)"));
  QTest::mouseClick(sheet.m_pagePersonal->m_pAnniversary->CheckBox(), Qt::LeftButton);
  EXPECT_EQ(
      Bar().FullText(),
      QStringLiteral("Today: Jiří Dvořák (45 let) · Tue 19 Mar: Νίκος Παπαδόπουλος (54 let)"));
  EXPECT_EQ(Links(), 2);
}

// The namedays of first names, off unless turned on: the reminders follow the View menu's
// setting at once, and the next start keeps it.
TEST_F(RemindersTest, NamedaysOfFirstNamesFollowTheViewMenusSetting) {
  UseCalendar(QStringLiteral("15;3;Kristýna;\n17;3;Vlastimil, Ödön;\n"));
  const QString database = MakeDatabase("jmeniny.zvd", {"Kristýna Nováková", "Ödön Kovács"});
  ASSERT_TRUE(Start({database}));
  QAction* command = Frame().Action(ID_VIEW_FIRST_NAME_NAMEDAYS);
  ASSERT_NE(command, nullptr);
  EXPECT_FALSE(command->isChecked());
  Record({"Contacts", "Kristýna Nováková"})->m_strFirstName = "KRISTÝNA";
  Record({"Contacts", "Ödön Kovács"})->m_strFirstName = "odon";
  const struct {
    bool on;
    const char* reminders;
  } steps[] = {
      {true, "Today: Kristýna Nováková · Sun 17 Mar: Ödön Kovács"},
      {false, ""},
      {true, "Today: Kristýna Nováková · Sun 17 Mar: Ödön Kovács"},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.on);
    command->trigger();
    EXPECT_EQ(command->isChecked(), step.on);
    EXPECT_EQ(Doc().NamedaysFromFirstNames(), step.on);
    EXPECT_EQ(Bar().FullText(), QString::fromUtf8(step.reminders));
    EXPECT_EQ(Bar().isVisible(), step.on);
  }
  ASSERT_TRUE(CloseWindow());
  Stop();
  ASSERT_TRUE(Start({database}));
  EXPECT_TRUE(Frame().Action(ID_VIEW_FIRST_NAME_NAMEDAYS)->isChecked());
}

}  // namespace
}  // namespace zorvan::test
