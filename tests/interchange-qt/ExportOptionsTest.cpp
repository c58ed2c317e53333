// Export for Other Programs and Export Calendar in the window: their options dialogs worked by
// keyboard, then the file dialog, the file and the message.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include "app/MainFrame.h"
#include "interchange-qt/ExportOptionsDlg.h"
#include "qt/QtText.h"
#include "res/StringTable.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"
#include "tests/ui/Screenshot.h"

namespace zorvan::test {
namespace {

const QStringList kPeople = {"Rodina;g",         " Jiří Dvořák;b=17.5.1990", "  Petr Dvořák",
                             " Žofie Dvořáková", "Łukasz Wąsik;b=3.2.1985",  "Jürgen Größer"};

// What the options dialog of Export for Other Programs showed when it opened.
struct SSeenOther {
  QString title;
  bool version40 = false, all = false, selectedEnabled = false;
  QString selectedLabel;
};

class ExportOptionsTest : public CGuiTest {
 protected:
  void Run(int id, const QString& answer) {
    m_prompt.fileAnswers.push_back(answer);
    Frame().Action(id)->trigger();
  }
  QString Text(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }
  QString LastMessage() const {
    return m_prompt.messages.empty() ? QString() : m_prompt.messages.back().text;
  }
  static void Show(QDialog& dialog) {
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QApplication::processEvents();
  }
  // Alt+key: a mnemonic clicks its button as the mouse would, after showing it pressed a
  // moment; true once the button has the state.
  static bool Press(QDialog& dialog, Qt::Key key, QAbstractButton* button, bool checked) {
    QTest::keyClick(&dialog, key, Qt::AltModifier);
    return QTest::qWaitFor([&] { return button->isChecked() == checked; }, 2000);
  }
  // Enter is OK, the default button; Escape cancels.
  static void Close(bool ok) {
    QTest::keyClick(QApplication::focusWidget(), ok ? Qt::Key_Return : Qt::Key_Escape);
  }

  // Works the dialog of Export for Other Programs: Alt+4 for 4.0 or Alt+3 for 3.0, Alt+S for
  // the selected record or Alt+A for all, then OK or Cancel.
  void AnswerOther(bool v40, bool selected, bool ok, const QString& screenshot = QString()) {
    m_prompt.onModal = [=, this](QDialog& dialog) {
      auto* d = qobject_cast<CForeignExportDlg*>(&dialog);
      ASSERT_NE(d, nullptr);
      Show(*d);
      m_seen = SSeenOther{d->windowTitle(), d->Version40()->isChecked(),
                          d->AllContacts()->isChecked(), d->Selected()->isEnabled(),
                          d->findChild<QLabel*>(QStringLiteral("selectedLabel"))->text()};
      if (!screenshot.isEmpty()) SaveScreenshot(*d, screenshot);
      EXPECT_TRUE(v40 ? Press(*d, Qt::Key_4, d->Version40(), true)
                      : Press(*d, Qt::Key_3, d->Version30(), true));
      if (selected)
        EXPECT_TRUE(Press(*d, Qt::Key_S, d->Selected(), true));
      else
        EXPECT_TRUE(Press(*d, Qt::Key_A, d->AllContacts(), true));
      ++m_nAsked;
      Close(ok);
    };
  }

  SSeenOther m_seen;
  int m_nAsked = 0;
};

TEST_F(ExportOptionsTest, ExportForOtherProgramsStandsBesideExportWithItsPrompt) {
  ASSERT_TRUE(Start());
  QAction* action = Frame().Action(ID_FILE_EXPORT_OTHER);
  ASSERT_NE(action, nullptr);
  EXPECT_EQ(action->text(), QStringLiteral("Export fo&r Other Programs..."));
  EXPECT_EQ(action->statusTip(),
            QStringLiteral("Export contacts as standard vCards for phones, webmail and other "
                           "programs"));
  EXPECT_EQ(action->toolTip(), QStringLiteral("Export for Other Programs"));
  const QList<QAction*> file = Frame().menuBar()->actions().first()->menu()->actions();
  const qsizetype at = file.indexOf(action);
  ASSERT_GT(at, 0);
  EXPECT_EQ(file[at - 1], Frame().Action(ID_FILE_EXPORT));
  EXPECT_EQ(file[at + 1], Frame().Action(ID_FILE_EXPORT_CALENDAR));
  EXPECT_TRUE(action->isEnabled());
}

TEST_F(ExportOptionsTest, AllContactsGoAsVCardsOfTheVersionChosen) {
  ASSERT_TRUE(Start({MakeDatabase("lidé.zvd", kPeople)}));
  Select(Item({"Contacts"}));  // the root is no record to export alone
  AnswerOther(true, false, true, QStringLiteral("export-other-dialog"));
  const QString path = TempPath("telefon.vcf");
  Run(ID_FILE_EXPORT_OTHER, path);
  EXPECT_EQ(m_nAsked, 1);
  EXPECT_EQ(m_seen.title, QStringLiteral("Export for Other Programs"));
  EXPECT_FALSE(m_seen.version40);  // 3.0 is offered first
  EXPECT_TRUE(m_seen.all);
  EXPECT_FALSE(m_seen.selectedEnabled);
  const SFileDialog& asked = m_prompt.fileDialogs.back();
  EXPECT_EQ(asked.title, QStringLiteral("Export for Other Programs"));
  EXPECT_EQ(asked.filter, QStringLiteral("vCard Files (*.vcf);;All Files (*)"));
  EXPECT_EQ(asked.defaultSuffix, QStringLiteral("vcf"));
  EXPECT_EQ(LastMessage(), ToQString(LoadString(IDS_EXPORT_DONE)));
  const QString cards = Text(path);
  EXPECT_EQ(cards.count(QStringLiteral("BEGIN:VCARD\r\nVERSION:4.0\r\n")), 5)
      << cards.toStdString();
  EXPECT_TRUE(cards.contains(QStringLiteral("\r\nFN:Łukasz Wąsik\r\n")));
  EXPECT_TRUE(cards.contains(QStringLiteral("\r\nBDAY:19900517\r\n")));
  EXPECT_EQ(cards.count(QStringLiteral("CATEGORIES:Rodina\r\n")), 3);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(Frame().statusBar()->findChild<QProgressBar*>(), nullptr);
  // Shared for the first time, the contacts were given identities that Save is to keep.
  EXPECT_TRUE(Doc().IsModified());
}

TEST_F(ExportOptionsTest, TheSelectedGroupGoesWithTheContactsBelowIt) {
  ASSERT_TRUE(Start({MakeDatabase("lidé.zvd", kPeople)}));
  Select(Item({"Contacts", "Rodina"}));
  AnswerOther(false, true, true, QStringLiteral("export-other-dialog-selection"));
  const QString path = TempPath("rodina.vcf");
  Run(ID_FILE_EXPORT_OTHER, path);
  EXPECT_TRUE(m_seen.selectedEnabled);
  EXPECT_EQ(m_seen.selectedLabel, QStringLiteral("Rodina"));
  const QString cards = Text(path);
  EXPECT_EQ(cards.count(QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\n")), 3)
      << cards.toStdString();
  EXPECT_TRUE(cards.contains(QStringLiteral("\r\nFN:Petr Dvořák\r\n")));
  EXPECT_FALSE(cards.contains(QStringLiteral("Łukasz")));
  EXPECT_EQ(cards.count(QStringLiteral("CATEGORIES:Rodina\r\n")), 3);

  // The version chosen is offered again; cancelling the dialog asks for no file.
  AnswerOther(true, false, false);
  const size_t files = m_prompt.fileDialogs.size(), messages = m_prompt.messages.size();
  Frame().Action(ID_FILE_EXPORT_OTHER)->trigger();
  EXPECT_FALSE(m_seen.version40);
  EXPECT_EQ(m_prompt.fileDialogs.size(), files);
  EXPECT_EQ(m_prompt.messages.size(), messages);
  EXPECT_EQ(Text(path), cards);

  // A calendar node is not a record of the contacts: only all contacts can go.
  Select(Item({"Calendar", "Birthdays"}));
  AnswerOther(false, false, true);
  Run(ID_FILE_EXPORT_OTHER, path);
  EXPECT_FALSE(m_seen.selectedEnabled);
  EXPECT_EQ(Text(path).count(QStringLiteral("BEGIN:VCARD")), 5);
}

TEST_F(ExportOptionsTest, AnExportMarksTheDatabaseModifiedOnlyWhenItGaveOutIdentities) {
  const QString database = MakeDatabase("lidé.zvd", kPeople);
  ASSERT_TRUE(Start({database}));
  const CTreeItem* family = Doc().ContactsRoot()->Child(0);
  const CTreeItem* lukasz = Doc().ContactsRoot()->Child(1);
  ASSERT_EQ(family->m_strLabel, "Rodina");
  ASSERT_EQ(lukasz->m_strLabel, "Łukasz Wąsik");
  const auto uid = [](const CTreeItem* r) { return r->m_pExtras ? r->m_pExtras->uid : ""; };
  EXPECT_FALSE(Doc().IsModified());

  struct SStep {
    bool selected;  // the group Rodina alone, else every contact
    QString file;
    bool modified;
    const char* what;
  };
  const SStep steps[] = {
      {true, TempPath("rodina.vcf"), true, "the group's contacts are shared first"},
      {true, TempPath("rodina.vcf"), false, "the same contacts again: nothing given"},
      {false, database, false, "refused over the database: nothing shared"},
      {false, TempPath("všichni.vcf"), true, "every contact: the others are shared now"},
      {false, TempPath("všichni.vcf"), false, "every contact again"},
  };
  QString previous;
  for (const SStep& step : steps) {
    SCOPED_TRACE(step.what);
    Doc().SetModifiedFlag(false);
    Select(step.selected ? Item({"Contacts", "Rodina"}) : Item({"Contacts"}));
    AnswerOther(false, step.selected, true);
    Run(ID_FILE_EXPORT_OTHER, step.file);
    EXPECT_EQ(Doc().IsModified(), step.modified);
    for (size_t i = 0; i < family->ChildCount(); ++i) EXPECT_NE(uid(family->Child(i)), "");
    EXPECT_EQ(uid(family), "");
    EXPECT_EQ(uid(lukasz) != "", step.file.endsWith(QStringLiteral("všichni.vcf")));
    if (step.file != database && !step.modified) {
      EXPECT_EQ(Text(step.file), previous);
    }
    previous = Text(step.file);
  }
}

TEST_F(ExportOptionsTest, TheSelectionCanBeChosenWhateverItsLabelAndOnlyWhileThereIsOne) {
  CForeignExportDlg dialog;
  dialog.SetSelection(true, QString());  // a record whose label was emptied
  EXPECT_TRUE(dialog.Selected()->isEnabled());
  dialog.Selected()->click();
  EXPECT_TRUE(dialog.SelectedOnly());
  dialog.SetSelection(false);
  EXPECT_FALSE(dialog.Selected()->isEnabled());
  EXPECT_FALSE(dialog.SelectedOnly());
  EXPECT_TRUE(dialog.AllContacts()->isChecked());
}

TEST_F(ExportOptionsTest, AnExportOverTheDatabaseIsRefused) {
  const QString database = MakeDatabase("lidé.zvd", kPeople);
  ASSERT_TRUE(Start({database}));
  QFile file(database);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray before = file.readAll();
  file.close();
  AnswerOther(false, false, true);
  Run(ID_FILE_EXPORT_OTHER, database);
  EXPECT_EQ(m_prompt.messages.back().icon, EMsgIcon::Error);
  EXPECT_TRUE(LastMessage().contains(QStringLiteral("it is the database being exported")))
      << LastMessage().toStdString();
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), before);
}

TEST_F(ExportOptionsTest, TheCalendarDialogAsksForTheNamesByItsCheckBox) {
  ASSERT_TRUE(Start({MakeDatabase("kalendář.zvd", kPeople)}));
  bool enabled = false, checked = true;
  QString note;
  int asked = 0;
  // Alt+N ticks or clears the box; Enter is OK.
  bool ok = true;
  m_prompt.onModal = [&](QDialog& dialog) {
    auto* d = qobject_cast<CExportCalendarDlg*>(&dialog);
    ASSERT_NE(d, nullptr);
    Show(*d);
    ++asked;
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Export Calendar"));
    enabled = d->CalNamesBox()->isEnabled();
    checked = d->CalNamesBox()->isChecked();
    note = d->findChild<QLabel*>(QStringLiteral("calNamesNote"))->text();
    if (asked == 1) SaveScreenshot(*d, QStringLiteral("export-calendar-dialog"));
    if (enabled) {
      EXPECT_TRUE(Press(*d, Qt::Key_N, d->CalNamesBox(), !checked));
    }
    Close(ok);
  };
  const QString path = TempPath("svátky.ics");
  Run(ID_FILE_EXPORT_CALENDAR, path);
  EXPECT_TRUE(enabled);
  EXPECT_FALSE(checked);
  EXPECT_EQ(note, QStringLiteral("An event for each of the 3 names of the calendar resource."));
  EXPECT_EQ(Text(path).count(QStringLiteral("CATEGORIES:Calendar name")), 3);
  EXPECT_EQ(LastMessage(), QStringLiteral("The calendar was exported: 5 events."));

  // The choice is offered again; cleared, the names stay out.
  Run(ID_FILE_EXPORT_CALENDAR, path);
  EXPECT_TRUE(checked);
  EXPECT_EQ(Text(path).count(QStringLiteral("CATEGORIES:Calendar name")), 0);

  // Cancelled, nothing is asked or written.
  ok = false;
  const size_t files = m_prompt.fileDialogs.size();
  Frame().Action(ID_FILE_EXPORT_CALENDAR)->trigger();
  EXPECT_EQ(m_prompt.fileDialogs.size(), files);
  EXPECT_EQ(asked, 3);
  m_prompt.onModal = nullptr;
}

TEST_F(ExportOptionsTest, WithoutCalendarNamesTheBoxCannotBeTicked) {
  UseCalendar(QString());
  ASSERT_TRUE(Start({MakeDatabase("kalendář.zvd", kPeople)}));
  bool enabled = true;
  QString note;
  m_prompt.onModal = [&](QDialog& dialog) {
    auto* d = qobject_cast<CExportCalendarDlg*>(&dialog);
    ASSERT_NE(d, nullptr);
    Show(*d);
    enabled = d->CalNamesBox()->isEnabled();
    note = d->findChild<QLabel*>(QStringLiteral("calNamesNote"))->text();
    QTest::keyClick(d, Qt::Key_N, Qt::AltModifier);
    QTest::qWait(200);
    EXPECT_FALSE(d->CalNames());
    Close(true);
  };
  const QString path = TempPath("narozeniny.ics");
  Run(ID_FILE_EXPORT_CALENDAR, path);
  EXPECT_FALSE(enabled);
  EXPECT_EQ(note, QStringLiteral("The calendar resource in use holds no names."));
  EXPECT_EQ(LastMessage(), QStringLiteral("The calendar was exported: 2 events."));
  m_prompt.onModal = nullptr;
}

}  // namespace
}  // namespace zorvan::test
