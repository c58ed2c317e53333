// The window's Import, Export and Business Card commands, driven through the menu commands with
// scripted file dialogs, the delimiter dialog and the import wizard worked by keyboard and mouse.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QWizard>

#include "TestUtil.h"
#include "app/MainFrame.h"
#include "interchange-qt/DelimiterDlg.h"
#include "interchange-qt/ExportOptionsDlg.h"
#include "interchange-qt/ImportPage.h"
#include "interchange-qt/ImportSheet.h"
#include "qt/QtText.h"
#include "res/CodePage.h"
#include "res/StringTable.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"
#include "ui/ZorvanTreeView.h"

namespace zorvan::test {
namespace {

const QStringList kPeople = {"Rodina;g",         " Jiří Dvořák;b=17.5.1990", "  Petr Dvořák",
                             " Žofie Dvořáková", "Łukasz Wąsik;b=3.2.1985",  "Jürgen Größer"};

// What a dialog looked like while the command ran it.
struct SSeenDialog {
  QString title;
  QStringList steps;   // the wizard's page captions, in the order shown
  QStringList fields;  // the column names on the binding pages
  QStringList samples;
  QString finishText;
  bool arrowCursor = false;
};

// Shows the program's real save dialog and types a name into it, as a user would.
class CTypingFileDialogPrompt : public CScriptedPrompt {
 public:
  QString GetSaveFileName(const SFileDialog& dialog) override {
    fileDialogs.push_back(dialog);
    QTimer::singleShot(0, [this] { TypeWhenShown(); });
    return CPrompt::GetSaveFileName(dialog);
  }
  QString typed;

 private:
  void TypeWhenShown() {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) {
      QTimer::singleShot(10, [this] { TypeWhenShown(); });
      return;
    }
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!edit) {
      dialog->reject();
      return;
    }
    edit->setText(typed);
    QTest::keyClick(edit, Qt::Key_Return);
  }
};

class TransferCommandsTest : public CGuiTest {
 protected:
  bool Enabled(int id) { return Frame().Action(id)->isEnabled(); }
  void Run(int id, const QString& answer) {
    m_prompt.fileAnswers.push_back(answer);
    Frame().Action(id)->trigger();
  }
  QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
  }
  // A text file in the code page, as other programs write them.
  QString WriteText(const QString& name, const QString& text) {
    const QString path = TempPath(name);
    WriteFile(path.toStdString(), Utf8ToAnsi(text.toStdString()));
    return path;
  }
  QStringList Contacts() { return ChildLabels(Item({"Contacts"})); }
  QStringList Events(int category) {
    return ChildLabels(Tree().MakeItemOf(Doc().Category(category)));
  }
  QString LastMessage() const {
    return m_prompt.messages.empty() ? QString() : m_prompt.messages.back().text;
  }
  EMsgIcon LastIcon() const {
    return m_prompt.messages.empty() ? EMsgIcon::Question : m_prompt.messages.back().icon;
  }
  static QString Text(int id) { return ToQString(LoadString(id)); }

  // Grabs the dialog as it is shown into $ZORVAN_SCREENSHOTS/name.png when that is set.
  static void Snapshot(QWidget& widget, const QString& name) {
    const QString folder = qEnvironmentVariable("ZORVAN_SCREENSHOTS");
    if (folder.isEmpty()) return;
    QApplication::processEvents();
    widget.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
  }

  // Answers the delimiter dialog by typing delimiter into its box and pressing Enter (the
  // default OK), or Escape when delimiter is null.
  static void AnswerDelimiter(CDelimiterDlg& dialog, const QString& delimiter, SSeenDialog& seen) {
    dialog.show();
    seen.title = dialog.windowTitle();
    seen.arrowCursor = QApplication::overrideCursor() &&
                       QApplication::overrideCursor()->shape() == Qt::ArrowCursor;
    Snapshot(dialog, QStringLiteral("delimiter-dialog"));
    QLineEdit* edit = dialog.ComboBox()->lineEdit();
    if (delimiter.isNull()) {
      QTest::keyClick(edit, Qt::Key_Escape);
      return;
    }
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, delimiter);
    QTest::keyClick(edit, Qt::Key_Return);
  }

  // Works the wizard: on each binding page types the beginning of the target's item into the
  // list (nothing for an empty text) and goes on with Next; on the finish page clicks Import,
  // or Cancel when cancelAt is that page's number (from 1).
  static void AnswerWizard(QWizard& wizard, const QStringList& picks, SSeenDialog& seen,
                           int cancelAt = 0) {
    wizard.show();
    seen.title = wizard.windowTitle();
    for (int page = 1;; ++page) {
      QApplication::processEvents();
      QWizardPage* shown = wizard.currentPage();
      seen.steps << shown->findChild<QLabel*>(QStringLiteral("step"))->text();
      if (page == cancelAt) {
        QTest::mouseClick(wizard.button(QWizard::CancelButton), Qt::LeftButton);
        return;
      }
      auto* binding = qobject_cast<CImportPage*>(shown);
      if (!binding) {
        seen.finishText = wizard.button(QWizard::FinishButton)->text();
        Snapshot(wizard, QStringLiteral("wizard-finish-page"));
        QTest::mouseClick(wizard.button(QWizard::FinishButton), Qt::LeftButton);
        return;
      }
      seen.fields << binding->findChild<QLabel*>(QStringLiteral("field"))->text();
      if (auto* sample = binding->findChild<QLabel*>(QStringLiteral("sample")))
        seen.samples << sample->text();
      if (page == 1) Snapshot(wizard, QStringLiteral("wizard-binding-page"));
      // The list has the focus when a page is shown, so typing chooses an item.
      EXPECT_EQ(QApplication::focusWidget(), binding->ComboBox());
      const QString pick = page <= picks.size() ? picks[page - 1] : QString();
      if (!pick.isEmpty()) QTest::keyClicks(binding->ComboBox(), pick);
      QTest::mouseClick(wizard.button(QWizard::NextButton), Qt::LeftButton);
    }
  }
};

TEST_F(TransferCommandsTest, ExportThenImportGivesTheSameContactsInBothFormats) {
  const QString database = MakeDatabase("kontakty.zvd", kPeople);
  for (const QString& name : {QStringLiteral("kontakty.vcf"), QStringLiteral("kontakty.csv")}) {
    SCOPED_TRACE(name.toStdString());
    Stop();
    ASSERT_TRUE(Start({database}));
    EXPECT_TRUE(Enabled(ID_FILE_EXPORT));
    EXPECT_TRUE(Enabled(ID_FILE_IMPORT));
    m_prompt.messages.clear();
    m_prompt.savePrompts.clear();
    const QString exported = TempPath(name);
    Run(ID_FILE_EXPORT, exported);
    EXPECT_EQ(LastMessage(), Text(IDS_EXPORT_DONE));
    EXPECT_EQ(LastIcon(), EMsgIcon::None);
    const SFileDialog& asked = m_prompt.fileDialogs.back();
    EXPECT_EQ(asked.title, QStringLiteral("Contacts Export"));
    EXPECT_EQ(asked.filter, QStringLiteral("Files of vCard type (*.vcf);;Text Files (*.csv)"));
    EXPECT_EQ(asked.fileName, QStringLiteral("*.vcf"));
    EXPECT_EQ(asked.defaultSuffix, QStringLiteral("vcf"));
    EXPECT_TRUE(asked.overwritePrompt);
    EXPECT_EQ(asked.directory, QDir(TempPath(QString())).absolutePath());

    Frame().Action(ID_FILE_NEW)->trigger();
    Item({"Contacts"})->setExpanded(true);
    Run(ID_FILE_IMPORT, exported);
    EXPECT_EQ(LastMessage(), Text(IDS_IMPORT_DONE));
    EXPECT_EQ(LastIcon(), EMsgIcon::None);
    EXPECT_EQ(m_prompt.fileDialogs.back().title, QStringLiteral("Contacts Import"));
    EXPECT_EQ(m_prompt.fileDialogs.back().filter,
              QStringLiteral("Files of vCard type (*.vcf);;Text Files (*.csv);;All Files (*)"));
    // Every record of the tree comes back as a contact below the root, sorted there as the
    // tree sorts (in the alphabet's order, so Ł with L).
    EXPECT_EQ(Contacts(), (QStringList{"Jiří Dvořák", "Jürgen Größer", "Łukasz Wąsik",
                                       "Petr Dvořák", "Rodina", "Žofie Dvořáková"}));
    EXPECT_EQ(Events(catBirthdays), (QStringList{"Jiří Dvořák", "Łukasz Wąsik"}));
    EXPECT_TRUE(Doc().IsModified());
    // Written again, the imported contacts give the same file.
    const QString again = TempPath("znovu-" + name);
    Run(ID_FILE_EXPORT, again);
    EXPECT_EQ(Bytes(again), Bytes(exported));
    // Closing now asks to save the imported contacts.
    m_prompt.saveAnswers.push_back(ESaveAnswer::Cancel);
    EXPECT_FALSE(CloseWindow());
    EXPECT_EQ(m_prompt.savePrompts.size(), 1);
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(Frame().statusBar()->findChild<QProgressBar*>(), nullptr);
}

TEST_F(TransferCommandsTest, ExportChoosesTheFormatByTheLowerCaseExtensionOnly) {
  ASSERT_TRUE(Start());
  // An empty database: an empty vCard file, or the header line alone.
  Run(ID_FILE_EXPORT, TempPath("prázdný.vcf"));
  EXPECT_EQ(LastMessage(), Text(IDS_EXPORT_DONE));
  EXPECT_EQ(Bytes(TempPath("prázdný.vcf")), QByteArray());
  Run(ID_FILE_EXPORT, TempPath("prázdný.csv"));
  EXPECT_EQ(LastMessage(), Text(IDS_EXPORT_DONE));
  const QByteArray header = Bytes(TempPath("prázdný.csv"));
  EXPECT_TRUE(header.startsWith("First Name,Last Name,Middle Name,")) << header.constData();
  EXPECT_EQ(header.count('\n'), 1);

  Stop();
  ASSERT_TRUE(Start({MakeDatabase("a.zvd", {"Věra Nováková"})}));
  Run(ID_FILE_EXPORT, TempPath("VELKÉ.CSV"));
  EXPECT_TRUE(Bytes(TempPath("VELKÉ.CSV")).startsWith("BEGIN:VCARD")) << "vCards in capitals";
  Run(ID_FILE_EXPORT, TempPath("malé.csv"));
  EXPECT_TRUE(Bytes(TempPath("malé.csv")).startsWith("First Name,"));
  // A cancelled file dialog writes nothing and says nothing.
  const size_t messages = m_prompt.messages.size();
  Frame().Action(ID_FILE_EXPORT)->trigger();
  EXPECT_EQ(m_prompt.messages.size(), messages);
}

TEST_F(TransferCommandsTest, ANameTypedWithoutExtensionGetsVcfAndHoldsVCards) {
  ASSERT_TRUE(Start({MakeDatabase("adresář.zvd", {"Božena Němcová"})}));
  CTypingFileDialogPrompt typing;
  typing.typed = QStringLiteral("vizitky");
  SetPrompt(&typing);
  Frame().Action(ID_FILE_EXPORT)->trigger();
  SetPrompt(&m_prompt);
  EXPECT_EQ(typing.MessageTexts(), QStringList{Text(IDS_EXPORT_DONE)});
  EXPECT_TRUE(Bytes(TempPath("vizitky.vcf")).startsWith("BEGIN:VCARD"));
}

TEST_F(TransferCommandsTest, AnExportThatFailsKeepsTheOldFileAndSaysWhy) {
  QStringList many;
  for (int i = 0; i < 2000; ++i) many << QStringLiteral("Zdeněk Šťastný %1").arg(i);
  ASSERT_TRUE(Start({MakeDatabase("mnoho.zvd", many)}));
  const QString path = WriteText("kontakty.vcf", QStringLiteral("stará data\n"));
  const QByteArray old = Bytes(path);
  {
    CFileSizeLimit full(64 * 1024);  // a disk that fills up after about 200 cards
    ASSERT_TRUE(full.IsSet());
    Run(ID_FILE_EXPORT, path);
  }
  EXPECT_EQ(Bytes(path), old);
  // No temporary file is left; the lock file is the open database's.
  EXPECT_EQ(FileNamesIn(TempPath(QString()).toStdString()),
            (std::vector<std::string>{".mnoho.zvd.lock", "kontakty.vcf", "mnoho.zvd", "test.cal"}));
  EXPECT_EQ(LastIcon(), EMsgIcon::Error);
  EXPECT_EQ(LastMessage(),
            Text(IDS_EXPORT_ERROR) + "\n\nCannot write file " + path + ":\nFile too large.");
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(Frame().statusBar()->findChild<QProgressBar*>(), nullptr);

  Run(ID_FILE_EXPORT, TempPath("chybí/kontakty.vcf"));
  EXPECT_EQ(LastIcon(), EMsgIcon::Error);
  EXPECT_TRUE(LastMessage().startsWith(Text(IDS_EXPORT_OPEN_ERROR) + "\n\nCannot write file "));
}

TEST_F(TransferCommandsTest, AFourColumnFileIsBoundInAFivePageWizard) {
  const QString path = WriteText("adresy.txt",
                                 "Příjmení;Jméno;E-mail;Narozen\n"
                                 "Kowalska;Małgorzata;gosia@example.pl;17.5.1990\n"
                                 "Dvořák;Antonín;tonda@example.cz;\n");
  ASSERT_TRUE(Start());
  Item({"Contacts"})->setExpanded(true);
  SSeenDialog delimiter, wizard;
  m_prompt.onModal = [&](QDialog& dialog) {
    if (auto* d = qobject_cast<CDelimiterDlg*>(&dialog)) {
      EXPECT_EQ(d->Delimiter(), QStringLiteral(","));
      AnswerDelimiter(*d, QStringLiteral(";"), delimiter);
    } else if (auto* w = qobject_cast<CImportSheet*>(&dialog)) {
      auto* first = w->Pages().front();
      EXPECT_EQ(first->ComboBox()->count(), 46);
      EXPECT_EQ(first->ComboBox()->currentIndex(), -1);
      EXPECT_EQ(first->ComboBox()->itemText(0), QStringLiteral(" - Nothing -"));
      EXPECT_EQ(first->ComboBox()->itemText(45), QStringLiteral("Remark"));
      wizard.arrowCursor = QApplication::overrideCursor() &&
                           QApplication::overrideCursor()->shape() == Qt::ArrowCursor;
      AnswerWizard(*w, {"Surname", "First", "", "Birthday"}, wizard);
    }
  };
  Run(ID_FILE_IMPORT, path);
  EXPECT_EQ(delimiter.title, QStringLiteral("File Import: Delimiter"));
  EXPECT_EQ(wizard.title, QStringLiteral("Import polí"));
  EXPECT_EQ(wizard.steps, (QStringList{"Step 1 of 5:", "Step 2 of 5:", "Step 3 of 5:",
                                       "Step 4 of 5:", "Step 5 of 5:"}));
  EXPECT_EQ(wizard.fields, (QStringList{"Příjmení", "Jméno", "E-mail", "Narozen"}));
  EXPECT_EQ(wizard.samples.first(), QStringLiteral("First value in the file: Kowalska"));
  EXPECT_EQ(wizard.samples.last(), QStringLiteral("First value in the file: 17.5.1990"));
  EXPECT_EQ(wizard.finishText, QStringLiteral("Import"));
  // The dialogs show the arrow, not the wait cursor of the import behind them.
  EXPECT_TRUE(delimiter.arrowCursor);
  EXPECT_TRUE(wizard.arrowCursor);

  EXPECT_EQ(LastMessage(), Text(IDS_IMPORT_DONE));
  // The labels are those of new records; the bound fields hold the columns.
  EXPECT_EQ(Contacts(), (QStringList{"Unknown", "Unknown"}));
  const CTreeItem* gosia = Doc().ContactsRoot()->Child(0);
  EXPECT_EQ(gosia->m_strLastName, "Kowalska");
  EXPECT_EQ(gosia->m_strFirstName, "Małgorzata");
  EXPECT_EQ(gosia->m_strPersonalEmail, "");  // its page was left without a choice
  EXPECT_EQ(gosia->m_bBirthday, 1);
  EXPECT_EQ(gosia->m_dtBirthday.GetYear(), 1990);
  EXPECT_EQ(Doc().ContactsRoot()->Child(1)->m_strFirstName, "Antonín");
  EXPECT_EQ(Events(catBirthdays).size(), 2);  // an empty date is set but invalid
}

TEST_F(TransferCommandsTest, UnboundColumnsGiveNewRecordsAndCancellingAddsNothing) {
  const QString path = WriteText("lidé.VCF", "BEGIN:VCARD\nN:Nováková;Eva\nEND:VCARD\n");
  ASSERT_TRUE(Start({MakeDatabase("a.zvd", {"Ona"})}));
  SSeenDialog delimiter, wizard;
  QString typed;
  int wizardCancelAt = 0;
  m_prompt.onModal = [&](QDialog& dialog) {
    if (auto* d = qobject_cast<CDelimiterDlg*>(&dialog))
      AnswerDelimiter(*d, typed, delimiter);
    else if (auto* w = qobject_cast<QWizard*>(&dialog))
      AnswerWizard(*w, {}, wizard, wizardCancelAt);
  };
  // In capitals the name holds no vCards: the delimiter dialog asks how to split its lines.
  typed = QString();
  Run(ID_FILE_IMPORT, path);
  EXPECT_EQ(delimiter.title, QStringLiteral("File Import: Delimiter"));
  EXPECT_TRUE(wizard.steps.isEmpty());
  for (int cancelAt : {1, 2}) {
    typed = QStringLiteral("tab");
    wizardCancelAt = cancelAt;
    wizard = SSeenDialog();
    Run(ID_FILE_IMPORT, path);
    EXPECT_EQ(wizard.steps.size(), cancelAt);
  }
  EXPECT_EQ(Contacts(), QStringList{"Ona"});
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_TRUE(m_prompt.messages.empty());

  // Every page left as it came: one record a data line, with a new record's defaults only.
  wizardCancelAt = 0;
  wizard = SSeenDialog();
  Run(ID_FILE_IMPORT, path);
  EXPECT_EQ(wizard.steps, (QStringList{"Step 1 of 2:", "Step 2 of 2:"}));
  EXPECT_EQ(wizard.fields, QStringList{"BEGIN:VCARD"});
  EXPECT_EQ(LastMessage(), Text(IDS_IMPORT_DONE));
  EXPECT_EQ(Contacts(), (QStringList{"Ona", "Unknown", "Unknown"}));
  const CTreeItem* added = Doc().ContactsRoot()->Child(1);
  EXPECT_EQ(added->m_strLastName, "");
  EXPECT_EQ(added->m_nPrefEmail, -1);
  EXPECT_EQ(added->m_bBirthday, 0);
  EXPECT_TRUE(Doc().IsModified());
}

TEST_F(TransferCommandsTest, AnImportThatCannotOpenItsFileSaysSo) {
  ASSERT_TRUE(Start());
  const QString missing = TempPath("chybějící.vcf");
  Run(ID_FILE_IMPORT, missing);
  EXPECT_EQ(LastIcon(), EMsgIcon::Error);
  EXPECT_EQ(LastMessage(), Text(IDS_IMPORT_OPEN_ERROR) + "\n\nCannot open file " + missing +
                               ":\nNo such file or directory.");
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(Frame().statusBar()->findChild<QProgressBar*>(), nullptr);
}

TEST_F(TransferCommandsTest, BusinessCardSavesTheShownRecordAloneAndOnlyForContacts) {
  ASSERT_TRUE(Start({MakeDatabase("kontakty.zvd", kPeople)}));
  EXPECT_FALSE(Enabled(ID_FILE_BUSINESS_CARD));  // nothing shown yet
  for (const QStringList& node :
       {QStringList{"Contacts"}, QStringList{"Calendar"}, QStringList{"Calendar", "Birthdays"}}) {
    Select(Item(node));
    EXPECT_FALSE(Enabled(ID_FILE_BUSINESS_CARD)) << node.join("/").toStdString();
  }
  QTreeWidgetItem* calendarNames = Item({"Calendar"})->child(3);
  Tree().MakeChildItems(calendarNames);
  Select(calendarNames->child(0));  // a calendar name
  EXPECT_FALSE(Enabled(ID_FILE_BUSINESS_CARD));
  Select(Item({"Contacts", "Rodina"}));
  EXPECT_TRUE(Enabled(ID_FILE_BUSINESS_CARD));

  // A contact with a subcontact gives one card.
  Select(Item({"Contacts", "Rodina", "Jiří Dvořák"}));
  ASSERT_TRUE(Enabled(ID_FILE_BUSINESS_CARD));
  EXPECT_TRUE(Frame().ToolBar()->actions().contains(Frame().Action(ID_FILE_BUSINESS_CARD)));
  const QString path = TempPath("vizitka.vcf");
  Run(ID_FILE_BUSINESS_CARD, path);
  const SFileDialog& asked = m_prompt.fileDialogs.back();
  EXPECT_EQ(asked.title, QStringLiteral("Save Business Card"));
  EXPECT_EQ(asked.filter, QStringLiteral("Files of vCard type (*.vcf)"));
  EXPECT_EQ(asked.fileName, QStringLiteral("Jiří Dvořák.vcf"));
  EXPECT_EQ(asked.defaultSuffix, QStringLiteral("vcf"));
  EXPECT_EQ(LastMessage(), Text(IDS_EXPORT_DONE));
  const QByteArray card = Bytes(path);
  EXPECT_EQ(card.count("BEGIN:VCARD"), 1);
  EXPECT_TRUE(card.contains(Utf8ToAnsi("Dvořák").c_str())) << card.constData();
  EXPECT_FALSE(card.contains("Petr"));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  // An event node shows its contact in the form, whose card can be saved.
  Select(Item({"Calendar", "Birthdays", "Łukasz Wąsik"}));
  EXPECT_TRUE(Enabled(ID_FILE_BUSINESS_CARD));
  Run(ID_FILE_BUSINESS_CARD, path);
  EXPECT_EQ(m_prompt.fileDialogs.back().fileName, QStringLiteral("Łukasz Wąsik.vcf"));
  EXPECT_FALSE(Doc().IsModified());
}
TEST_F(TransferCommandsTest, ExportCalendarWritesTheDatesAndAsksForTheCalendarNames) {
  ASSERT_TRUE(Start({MakeDatabase("kalendář.zvd", kPeople)}));
  EXPECT_TRUE(Enabled(ID_FILE_EXPORT_CALENDAR));
  EXPECT_EQ(Frame().Action(ID_FILE_EXPORT_CALENDAR)->toolTip(), QStringLiteral("Export Calendar"));
  const QString path = TempPath("narozeniny.ics");
  // The options dialog comes first; OK as it opens leaves the names out.
  bool names = false;
  int asked = 0;
  m_prompt.onModal = [&](QDialog& dialog) {
    auto* options = qobject_cast<CExportCalendarDlg*>(&dialog);
    ASSERT_NE(options, nullptr);
    ++asked;
    options->CalNamesBox()->setChecked(names);
    dialog.accept();
  };
  Run(ID_FILE_EXPORT_CALENDAR, path);
  EXPECT_EQ(asked, 1);
  const SFileDialog& dialog = m_prompt.fileDialogs.back();
  EXPECT_EQ(dialog.title, QStringLiteral("Export Calendar"));
  EXPECT_EQ(dialog.filter, QStringLiteral("iCalendar Files (*.ics);;All Files (*)"));
  EXPECT_EQ(dialog.defaultSuffix, QStringLiteral("ics"));
  EXPECT_TRUE(m_prompt.questions.isEmpty());
  EXPECT_EQ(LastMessage(), QStringLiteral("The calendar was exported: 2 events."));
  EXPECT_EQ(LastIcon(), EMsgIcon::None);
  const QString ics = QString::fromUtf8(Bytes(path));
  EXPECT_TRUE(ics.contains(QStringLiteral("SUMMARY:Birthday: Jiří Dvořák\r\n")))
      << ics.toStdString();
  EXPECT_TRUE(ics.contains(QStringLiteral("SUMMARY:Birthday: Łukasz Wąsik\r\n")))
      << ics.toStdString();

  // With the names, every day of the resource has its event as well.
  names = true;
  Run(ID_FILE_EXPORT_CALENDAR, path);
  EXPECT_TRUE(QString::fromUtf8(Bytes(path)).contains(QStringLiteral("CATEGORIES:Calendar name")));
  EXPECT_EQ(LastMessage(), QStringLiteral("The calendar was exported: 5 events."));

  Run(ID_FILE_EXPORT_CALENDAR, TempPath("chybí/narozeniny.ics"));
  EXPECT_TRUE(LastMessage().startsWith(QStringLiteral("Cannot write file ")))
      << LastMessage().toStdString();
  EXPECT_EQ(LastIcon(), EMsgIcon::Error);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  m_prompt.onModal = nullptr;
}

}  // namespace
}  // namespace zorvan::test
