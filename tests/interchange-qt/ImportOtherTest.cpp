// File > Import from Other Programs in the window: the file dialog, the import wizard with the
// columns of a known layout preselected, the preview with its duplicates, and the new group.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <QWizard>

#include "TestUtil.h"
#include "app/MainFrame.h"
#include "interchange-qt/ForeignImportPreview.h"
#include "interchange-qt/ImportPage.h"
#include "interchange-qt/ImportSheet.h"
#include "interchange/FieldList.h"
#include "interchange/csv/ForeignCsvReader.h"
#include "qt/QtText.h"
#include "res/StringTable.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"
#include "tests/ui/Screenshot.h"
#include "ui/ZorvanTreeView.h"

namespace zorvan::test {
namespace {

const QStringList kPeople = {"Rodina;g", " Antonín Dvořák", " Žofie Dvořáková", "Łukasz Wąsik",
                             "Jürgen Größ"};

std::string Card(const std::string& label, const std::string& home = {},
                 const std::string& birthday = {}) {
  std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + label + "\r\n";
  if (!home.empty()) card += "EMAIL;TYPE=INTERNET,HOME:" + home + "\r\n";
  if (!birthday.empty()) card += "BDAY:" + birthday + "\r\n";
  return card + "END:VCARD\r\n";
}

const char kThunderbirdHeader[] =
    "First Name,Last Name,Display Name,Nickname,Primary Email,Secondary Email,Screen Name,"
    "Work Phone,Home Phone,Fax Number,Pager Number,Mobile Number,Home Address,Home Address 2,"
    "Home City,Home State,Home ZipCode,Home Country,Work Address,Work Address 2,Work City,"
    "Work State,Work ZipCode,Work Country,Job Title,Department,Organization,Web Page 1,"
    "Web Page 2,Birth Year,Birth Month,Birth Day,Custom 1,Custom 2,Custom 3,Custom 4,Notes\r\n";

// What the preview showed when it came up.
struct SSeenPreview {
  bool shown = false;
  QString title;
  QString summary;
  QStringList fields;      // "name: value" of the first contact's table
  QStringList duplicates;  // "label | existing | reason | checked"
};

class ImportOtherTest : public CGuiTest {
 protected:
  QString Write(const QString& name, const std::string& bytes) {
    const QString path = TempPath(name);
    WriteFile(path.toStdString(), bytes);
    return path;
  }
  void Run(const QString& answer) {
    m_prompt.fileAnswers.push_back(answer);
    Frame().Action(ID_FILE_IMPORT_OTHER)->trigger();
  }
  QString LastMessage() const {
    return m_prompt.messages.empty() ? QString() : m_prompt.messages.back().text;
  }

  static void Look(CForeignImportPreview& preview, SSeenPreview& seen) {
    preview.show();
    QApplication::processEvents();
    seen.shown = true;
    seen.title = preview.windowTitle();
    seen.summary = preview.Summary()->text();
    QTableWidget* table = preview.FirstContact();
    for (int r = 0; r < table->rowCount(); ++r)
      seen.fields << table->item(r, 0)->text() + QStringLiteral(": ") + table->item(r, 1)->text();
    QTreeWidget* list = preview.Duplicates();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
      QTreeWidgetItem* item = list->topLevelItem(i);
      seen.duplicates << QStringList{item->text(0), item->text(1), item->text(2),
                                     item->checkState(0) == Qt::Checked ? "checked" : "clear"}
                             .join(QStringLiteral(" | "));
    }
  }
};

}  // namespace

TEST_F(ImportOtherTest, TheCommandSitsBesideImportWithItsPromptAndTip) {
  ASSERT_TRUE(Start());
  QAction* action = Frame().Action(ID_FILE_IMPORT_OTHER);
  ASSERT_NE(action, nullptr);
  EXPECT_EQ(action->text(), QStringLiteral("Import &from Other Programs..."));
  EXPECT_EQ(action->statusTip(),
            QStringLiteral("Import contacts from a vCard or CSV file of another program"));
  EXPECT_EQ(action->toolTip(), QStringLiteral("Import from Other Programs"));
  QMenu* file = Frame().menuBar()->actions().front()->menu();
  const QList<QAction*> entries = file->actions();
  const qsizetype import = entries.indexOf(Frame().Action(ID_FILE_IMPORT));
  ASSERT_GE(import, 0);
  EXPECT_EQ(entries.value(import + 1), action);
  EXPECT_TRUE(action->isEnabled());
  if (qEnvironmentVariableIsSet("ZORVAN_SCREENSHOTS")) {
    file->popup(Frame().mapToGlobal(QPoint(0, 0)));
    test::SaveScreenshot(*file, QStringLiteral("file-menu"));
    file->hide();
  }
}

TEST_F(ImportOtherTest, VCardsGoIntoANewGroupAfterThePreviewSkippingTheCheckedDuplicates) {
  ASSERT_TRUE(Start({MakeDatabase("kontakty.zvd", kPeople)}));
  const QString path =
      Write("Telefon Jany.vcf", Card("Zdeněk Žák", "zdenek@example.cz", "1975-03-14") +
                                    Card("ANTONÍN DVOŘÁK") + Card("Łukasz W.", "") +
                                    Card("jürgen größ") + Card("Bára Žáková"));
  SSeenPreview seen;
  m_prompt.onModal = [&seen](QDialog& dialog) {
    auto* preview = qobject_cast<CForeignImportPreview*>(&dialog);
    if (!preview) return dialog.reject();
    // The reading is over: neither the wait cursor nor the indicator is left over the preview.
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    Look(*preview, seen);
    SaveScreenshot(*preview, QStringLiteral("import-other-preview"));
    // By keyboard: Alt+A imports all, Alt+S skips all, Alt+D goes to the list, where Down and
    // Space let Jürgen in again; Alt+I imports.
    QApplication::setActiveWindow(preview);
    QTreeWidget* list = preview->Duplicates();
    QTest::keyClick(preview, Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return list->topLevelItem(0)->checkState(0) == Qt::Unchecked; }, 2000));
    EXPECT_EQ(list->topLevelItem(1)->checkState(0), Qt::Unchecked);
    QTest::keyClick(preview, Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return list->topLevelItem(1)->checkState(0) == Qt::Checked; }, 2000));
    QTest::keyClick(preview, Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), list);
    list->setCurrentItem(list->topLevelItem(0));
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(list->topLevelItem(1)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(list->topLevelItem(0)->checkState(0), Qt::Checked);
    EXPECT_EQ(preview->findChild<QLabel*>(QStringLiteral("skipCount"))->text(),
              QStringLiteral("Likely duplicates: 2 of 5. To be skipped (checked): 1; to be "
                             "imported: 4."));
    QTest::keyClick(preview, Qt::Key_I, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return preview->result() == QDialog::Accepted; }, 2000));
  };
  Run(path);

  const SFileDialog& asked = m_prompt.fileDialogs.back();
  EXPECT_EQ(asked.title, QStringLiteral("Import from Other Programs"));
  EXPECT_TRUE(asked.filter.contains(QStringLiteral("(*.vcf *.vcard)")))
      << asked.filter.toStdString();
  EXPECT_TRUE(asked.filter.contains(QStringLiteral("(*.csv *.txt)"))) << asked.filter.toStdString();
  EXPECT_TRUE(asked.filter.endsWith(QStringLiteral("All Files (*)"))) << asked.filter.toStdString();
  EXPECT_FALSE(asked.overwritePrompt);

  ASSERT_TRUE(seen.shown);
  EXPECT_EQ(seen.title, QStringLiteral("Import from Other Programs"));
  // Two of the five are likely duplicates, skipped unless the user lets them in.
  EXPECT_EQ(seen.summary, QStringLiteral("3 contacts will be imported from Telefon Jany.vcf into "
                                         "a new group \"Telefon Jany\"."));
  EXPECT_TRUE(seen.fields.contains(QStringLiteral("Label: Zdeněk Žák")))
      << seen.fields.join("\n").toStdString();
  EXPECT_TRUE(seen.fields.contains(QStringLiteral("Personal E-mail: zdenek@example.cz")))
      << seen.fields.join("\n").toStdString();
  EXPECT_TRUE(seen.fields.contains(QStringLiteral("Birthday: 14. 3. 1975")))
      << seen.fields.join("\n").toStdString();
  EXPECT_EQ(seen.duplicates, (QStringList{"ANTONÍN DVOŘÁK | Antonín Dvořák | same label | checked",
                                          "jürgen größ | Jürgen Größ | same label | checked"}));

  // Antonín was skipped; Jürgen came in with the three others.
  EXPECT_EQ(LastMessage(),
            QStringLiteral("4 contacts were imported into the group \"Telefon Jany\". Skipped as "
                           "likely duplicates: 1."));
  EXPECT_EQ(m_prompt.messages.back().icon, EMsgIcon::None);
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Telefon Jany"})),
            (QStringList{"Bára Žáková", "jürgen größ", "Łukasz W.", "Zdeněk Žák"}));
  QTreeWidgetItem* group = Item({"Contacts", "Telefon Jany"});
  ASSERT_NE(group, nullptr);
  EXPECT_TRUE(group->isExpanded());
  EXPECT_EQ(Tree().currentItem(), group);
  EXPECT_EQ(Record({"Contacts", "Telefon Jany"})->m_bGroup, 1);
  EXPECT_EQ(ChildLabels(Tree().MakeItemOf(Doc().Category(catBirthdays))),
            QStringList{"Zdeněk Žák"});
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ImportOtherTest, ThePreviewNamesACardOfAContactAlreadySharedByItsUid) {
  ASSERT_TRUE(Start({MakeDatabase("kontakty.zvd", kPeople)}));
  CTreeItem* lukasz = Record({"Contacts", "Łukasz Wąsik"});
  lukasz->m_pExtras = std::make_unique<SRecordExtras>();
  lukasz->m_pExtras->uid = "urn:uuid:7d3e1f0a-2b4c-4d5e-8f90-a1b2c3d4e5f6";
  const auto withUid = [](std::string card, const std::string& uid) {
    return card.insert(card.rfind("END:VCARD"), "UID:" + uid + "\r\n");
  };
  const QString path =
      Write("telefon.vcf", withUid(Card("Luky"), "urn:uuid:7d3e1f0a-2b4c-4d5e-8f90-a1b2c3d4e5f6") +
                               withUid(Card("王小明"), "wang@example.cn") +
                               withUid(Card("Wang Xiaoming"), "wang@example.cn"));
  SSeenPreview seen;
  m_prompt.onModal = [&seen](QDialog& dialog) {
    auto* preview = qobject_cast<CForeignImportPreview*>(&dialog);
    if (preview) Look(*preview, seen);
    dialog.reject();
  };
  Run(path);
  ASSERT_TRUE(seen.shown);
  EXPECT_EQ(seen.duplicates,
            (QStringList{"Luky | Łukasz Wąsik | same UID | checked",
                         "Wang Xiaoming | 王小明 | same UID (earlier in the file) | checked"}));
}

TEST_F(ImportOtherTest, TheHeadingCountsWhatTheListCountsAndEnterImportsAfterAnyClick) {
  ASSERT_TRUE(Start({MakeDatabase("kontakty.zvd", kPeople)}));
  Record({"Contacts", "Łukasz Wąsik"})->m_strPersonalEmail = "lukasz@firma.pl";
  // Antonín and Jürgen have nothing that tells them from the records; this Łukasz has another
  // address, the two Zofias have two, and the second 王小明 repeats the first.
  const QString path =
      Write("Telefon.vcf", Card("ANTONÍN DVOŘÁK") + Card("jürgen größ", "jurgen@example.de") +
                               Card("Łukasz Wąsik", "lukasz.wasik@example.pl") +
                               Card("Zofia Wąsowska", "zofia@example.pl") +
                               Card("Zofia Wąsowska", "z.wasowska@example.pl") + Card("王小明") +
                               Card("王小明"));
  QStringList headings, counts;
  m_prompt.onModal = [&](QDialog& dialog) {
    auto* preview = qobject_cast<CForeignImportPreview*>(&dialog);
    if (!preview) return dialog.reject();
    preview->show();
    QApplication::setActiveWindow(preview);
    ASSERT_TRUE(QTest::qWaitForWindowActive(preview));
    auto* count = preview->findChild<QLabel*>(QStringLiteral("skipCount"));
    const auto look = [&] { headings << preview->Summary()->text(), counts << count->text(); };
    look();
    QTest::mouseClick(preview->ImportAllButton(), Qt::LeftButton);
    look();
    // The click left the focus on Import all, and Enter imports.
    EXPECT_EQ(QApplication::focusWidget(), preview->ImportAllButton());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(preview->result(), QDialog::Accepted);
  };
  Run(path);
  EXPECT_EQ(headings, (QStringList{"4 contacts will be imported from Telefon.vcf into a new group "
                                   "\"Telefon\".",
                                   "7 contacts will be imported from Telefon.vcf into a new group "
                                   "\"Telefon\"."}));
  EXPECT_EQ(counts, (QStringList{"Likely duplicates: 3 of 7. To be skipped (checked): 3; to be "
                                 "imported: 4.",
                                 "Likely duplicates: 3 of 7. To be skipped (checked): 0; to be "
                                 "imported: 7."}));
  ASSERT_NE(Item({"Contacts", "Telefon"}), nullptr);
  EXPECT_EQ(Item({"Contacts", "Telefon"})->childCount(), 7);

  // The second time every card is a duplicate of the first import's; with the focus on Cancel
  // Enter still imports, while Escape cancels.
  std::vector<int> results;
  m_prompt.onModal = [&](QDialog& dialog) {
    auto* preview = qobject_cast<CForeignImportPreview*>(&dialog);
    if (!preview) return dialog.reject();
    preview->show();
    QApplication::setActiveWindow(preview);
    ASSERT_TRUE(QTest::qWaitForWindowActive(preview));
    QTreeWidget* list = preview->Duplicates();
    ASSERT_EQ(list->topLevelItemCount(), 7);
    list->topLevelItem(5)->setCheckState(0, Qt::Unchecked);
    auto* cancel = preview->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel);
    cancel->setFocus(Qt::TabFocusReason);
    QTest::keyClick(cancel, results.empty() ? Qt::Key_Return : Qt::Key_Escape);
    results.push_back(preview->result());
  };
  Run(path);
  Run(path);
  EXPECT_EQ(results, (std::vector<int>{QDialog::Accepted, QDialog::Rejected}));
  EXPECT_EQ(LastMessage(),
            QStringLiteral("1 contact was imported into the group \"Telefon (2)\". Skipped as "
                           "likely duplicates: 6."));
  EXPECT_EQ(Item({"Contacts", "Telefon (3)"}), nullptr);
}

TEST_F(ImportOtherTest, ACancelledPreviewAddsNothing) {
  ASSERT_TRUE(Start({MakeDatabase("kontakty.zvd", kPeople)}));
  const QStringList before = ChildLabels(Item({"Contacts"}));
  bool previewed = false;
  m_prompt.onModal = [&previewed](QDialog& dialog) {
    auto* preview = qobject_cast<CForeignImportPreview*>(&dialog);
    previewed = preview != nullptr;
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
  };
  Run(Write("nové.vcf", Card("Věra Nováková") + Card("Karel Čapek")));
  EXPECT_TRUE(previewed);
  EXPECT_TRUE(m_prompt.messages.empty()) << LastMessage().toStdString();
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), before);
  EXPECT_FALSE(Doc().IsModified());
  // A file dialog cancelled does nothing either.
  Frame().Action(ID_FILE_IMPORT_OTHER)->trigger();
  EXPECT_TRUE(m_prompt.messages.empty());
}

TEST_F(ImportOtherTest, AKnownLayoutComesToTheWizardBoundAndCanBeImportedAtOnce) {
  ASSERT_TRUE(Start());
  const std::string csv = std::string(kThunderbirdHeader) +
                          "Jiří,Novák,Jiří Novák,,jiri@example.cz" + std::string(32, ',') +
                          "\r\nŁucja,Kowalska,Łucja Kowalska,,lucja@example.pl" +
                          std::string(32, ',') + "\r\n";
  CForeignCsvFile reader;
  ASSERT_TRUE(reader.Parse(csv));
  ASSERT_TRUE(reader.IsKnownLayout());
  const std::vector<ColumnBinding> preset = reader.Bindings();
  const QString layout = ToQString(std::string(reader.LayoutName()));

  QString wizardTitle, note;
  std::vector<int> shownTargets;
  bool previewed = false;
  m_prompt.onModal = [&](QDialog& dialog) {
    if (auto* wizard = qobject_cast<CImportSheet*>(&dialog)) {
      wizard->show();
      QApplication::processEvents();
      wizardTitle = wizard->windowTitle();
      for (const CImportPage* page : wizard->Pages()) shownTargets.push_back(page->Target());
      note = wizard->Pages().front()->Note()->text();
      EXPECT_TRUE(wizard->Pages().front()->Note()->isVisible());
      SaveScreenshot(*wizard, QStringLiteral("import-other-wizard-preselected"));
      // Import is offered on the first page already: the bound columns need no visit.
      QAbstractButton* finish = wizard->button(QWizard::FinishButton);
      EXPECT_TRUE(finish->isVisible());
      QTest::mouseClick(finish, Qt::LeftButton);
      return;
    }
    auto* preview = qobject_cast<CForeignImportPreview*>(&dialog);
    ASSERT_NE(preview, nullptr);
    previewed = true;
    preview->show();
    QTest::mouseClick(preview->ImportButton(), Qt::LeftButton);
  };
  Run(Write("adresy.csv", csv));
  EXPECT_TRUE(wizardTitle.contains(layout)) << wizardTitle.toStdString();
  EXPECT_TRUE(note.contains(layout)) << note.toStdString();
  ASSERT_EQ(shownTargets.size(), preset.size());
  for (size_t i = 0; i < preset.size(); ++i)
    EXPECT_EQ(shownTargets[i], preset[i].m_nTarget) << preset[i].m_strName;
  EXPECT_TRUE(previewed);
  EXPECT_EQ(ChildLabels(Item({"Contacts", "adresy"})),
            (QStringList{"Jiří Novák", "Łucja Kowalska"}));
}

static std::string DataFile(const char* path) {
  QFile file(QStringLiteral(ZORVAN_TEST_DATA "/") + QString::fromUtf8(path));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
  return file.readAll().toStdString();
}

// A German Thunderbird export, a header of no known program whose names say what most columns
// hold, and a file whose first line is a contact: the wizard opens bound, says how, and may be
// finished at once.
TEST_F(ImportOtherTest, ColumnsBoundByTheirNamesOrValuesComeToTheWizardSaidSo) {
  const struct {
    const char* file;
    std::string bytes;
    QString title;
    std::vector<int> targets;
    QStringList labels;
  } cases[] = {
      {"thunderbird-de.csv",
       DataFile("interchange/other-csv/thunderbird-de.csv"),
       QStringLiteral("Thunderbird columns recognised"),
       {},
       {"Jiří Dvořák"}},
      {"kunden.csv",
       "Familienname;Vorname;Telefon (privat);Geburtsdatum;Lieblingsfarbe\r\n"
       "Größ;Jürgen;+49 30 1234;15.03.1971;blau\r\n",
       QStringLiteral("columns bound by their names"),
       {targetLastName, targetFirstName, targetHomePhone, targetBirthday, targetRemark},
       {"Jürgen Größ"}},
      {"bez hlavičky.csv",
       "Jan Novák,jan@example.cz,+420 777 123 456,17.5.1970\r\n"
       "王小明,wang@example.cn,+86 10 1234 5678,1.2.1985\r\n",
       QStringLiteral("the first line is a contact"),
       {targetLabel, targetPersonalEmail, targetHomePhone, targetBirthday},
       {"Jan Novák", "王小明"}},
  };
  ASSERT_TRUE(Start());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    QString wizardTitle, note;
    std::vector<int> shownTargets;
    m_prompt.onModal = [&](QDialog& dialog) {
      if (auto* wizard = qobject_cast<CImportSheet*>(&dialog)) {
        wizard->show();
        QApplication::processEvents();
        wizardTitle = wizard->windowTitle();
        note = wizard->Pages().front()->Note()->text();
        for (const CImportPage* page : wizard->Pages()) shownTargets.push_back(page->Target());
        SaveScreenshot(*wizard, QStringLiteral("import-other-wizard-") + ToQString(c.file));
        QTest::mouseClick(wizard->button(QWizard::FinishButton), Qt::LeftButton);
        return;
      }
      auto* preview = qobject_cast<CForeignImportPreview*>(&dialog);
      ASSERT_NE(preview, nullptr);
      QTest::mouseClick(preview->ImportButton(), Qt::LeftButton);
    };
    Run(Write(QString::fromUtf8(c.file), c.bytes));
    EXPECT_TRUE(wizardTitle.endsWith(c.title)) << wizardTitle.toStdString();
    EXPECT_FALSE(note.isEmpty());
    if (!c.targets.empty()) {
      EXPECT_EQ(shownTargets, c.targets);
    }
    const QString group = QString::fromUtf8(c.file).chopped(4);
    EXPECT_EQ(ChildLabels(Item({"Contacts", group})), c.labels);
  }
}

TEST_F(ImportOtherTest, AnUnknownHeaderGoesThroughTheWizardUnboundAndCancelEndsIt) {
  ASSERT_TRUE(Start({MakeDatabase("kontakty.zvd", kPeople)}));
  std::vector<int> shownTargets;
  QString wizardTitle;
  bool previewed = false;
  m_prompt.onModal = [&](QDialog& dialog) {
    auto* wizard = qobject_cast<CImportSheet*>(&dialog);
    if (!wizard) {
      previewed = true;
      return dialog.reject();
    }
    wizard->show();
    wizardTitle = wizard->windowTitle();
    for (const CImportPage* page : wizard->Pages()) {
      shownTargets.push_back(page->Target());
      EXPECT_FALSE(page->Note()->isVisibleTo(wizard));
    }
    QTest::mouseClick(wizard->button(QWizard::CancelButton), Qt::LeftButton);
  };
  Run(Write("seznam.csv", "Jméno a příjmení,Adresa\r\nJiří Novák,jiri@example.cz\r\n"));
  EXPECT_EQ(wizardTitle, QStringLiteral("Import polí"));
  EXPECT_EQ(shownTargets, (std::vector<int>{-1, -1}));
  EXPECT_FALSE(previewed);
  EXPECT_TRUE(m_prompt.messages.empty());
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_EQ(Item({"Contacts", "seznam"}), nullptr);
}

TEST_F(ImportOtherTest, AFewThousandContactsTwiceGiveTwoGroupsAndTheSecondPreviewListsThemAll) {
  ASSERT_TRUE(Start({MakeDatabase("kontakty.zvd", kPeople)}));
  std::string cards;
  for (int i = 0; i < 4000; ++i)
    cards += Card("Účastník Žďárský " + std::to_string(i),
                  "ucastnik" + std::to_string(i) + "@example.cz",
                  i % 4 == 0 ? "1980-05-0" + std::to_string(1 + i % 9) : "");
  const QString path = Write("Konference.vcf", cards);
  std::vector<int> duplicatesShown;
  QStringList seenSummaries;
  m_prompt.onModal = [&](QDialog& dialog) {
    auto* preview = qobject_cast<CForeignImportPreview*>(&dialog);
    ASSERT_NE(preview, nullptr);
    preview->show();
    QApplication::processEvents();
    duplicatesShown.push_back(preview->Duplicates()->topLevelItemCount());
    if (duplicatesShown.size() == 2) {
      SaveScreenshot(*preview, QStringLiteral("import-other-preview-many"));
      QTest::mouseClick(preview->ImportAllButton(), Qt::LeftButton);
    }
    seenSummaries << preview->Summary()->text();
    QTest::mouseClick(preview->ImportButton(), Qt::LeftButton);
  };
  Run(path);
  Run(path);
  EXPECT_EQ(duplicatesShown, (std::vector<int>{0, 4000}));
  // The second group is told from the first by its number; each has every contact.
  EXPECT_EQ(seenSummaries.back(), QStringLiteral("4000 contacts will be imported from "
                                                 "Konference.vcf into a new group \"Konference "
                                                 "(2)\"."));
  EXPECT_EQ(Item({"Contacts", "Konference"})->childCount(), 4000);
  EXPECT_EQ(Item({"Contacts", "Konference (2)"})->childCount(), 4000);
  EXPECT_EQ(ChildLabels(Tree().MakeItemOf(Doc().Category(catBirthdays))).size(), 2000);
  EXPECT_EQ(LastMessage(),
            QStringLiteral("4000 contacts were imported into the group \"Konference (2)\"."));
  EXPECT_EQ(Frame().statusBar()->findChild<QProgressBar*>(), nullptr);
  Frame().resize(1000, 700);
  SaveScreenshot(Frame(), QStringLiteral("import-other-window"));
}

TEST(ImportSheetPresets, EachPageShowsItsColumnsTargetAndOnlyAKnownLayoutFinishesEarly) {
  std::vector<ColumnBinding> bindings(4);
  const int presets[] = {3, -1, 99, kFieldCount};
  for (int i = 0; i < 4; ++i) {
    bindings[static_cast<size_t>(i)].m_nIndex = i;
    bindings[static_cast<size_t>(i)].m_strName = "Sloupec " + std::to_string(i + 1);
    bindings[static_cast<size_t>(i)].m_nTarget = presets[i];
  }
  CImportSheet known(bindings, nullptr, QStringLiteral("Google Contacts"));
  // A target outside the list is no choice at all.
  EXPECT_EQ(known.Targets(), (std::vector<int>{3, -1, -1, kFieldCount}));
  EXPECT_EQ(known.Pages()[0]->ComboBox()->currentText(), QStringLiteral("Middle Name"));
  EXPECT_TRUE(known.windowTitle().contains(QStringLiteral("Google Contacts")));
  EXPECT_TRUE(known.testOption(QWizard::HaveFinishButtonOnEarlyPages));
  EXPECT_TRUE(known.Pages()[1]->isFinalPage());
  CImportSheet unknown(bindings);
  EXPECT_EQ(unknown.windowTitle(), QStringLiteral("Import polí"));
  EXPECT_FALSE(unknown.testOption(QWizard::HaveFinishButtonOnEarlyPages));
  EXPECT_FALSE(unknown.Pages()[1]->isFinalPage());
  EXPECT_TRUE(unknown.Pages()[0]->Note()->text().isEmpty());
  // Every page, the last one too, carries the wizard's caption.
  for (const CImportSheet* sheet : {&known, &unknown})
    for (int id : sheet->pageIds())
      EXPECT_EQ(sheet->page(id)->title(), QStringLiteral("Binding import fields")) << id;
}

TEST_F(ImportOtherTest, AFileThatCannotBeReadIsReportedWithTheReason) {
  ASSERT_TRUE(Start());
  const QString missing = TempPath("chybí.vcf");
  Run(missing);
  ASSERT_EQ(m_prompt.messages.size(), 1u);
  EXPECT_TRUE(LastMessage().startsWith(ToQString(LoadString(IDS_IMPORT_OPEN_ERROR))));
  EXPECT_TRUE(LastMessage().contains(QStringLiteral("Cannot open file ") + missing));
  EXPECT_EQ(m_prompt.messages.back().icon, EMsgIcon::Error);
  Run(Write("prázdný.vcf", ""));
  EXPECT_EQ(LastMessage(), ToQString(LoadString(IDS_OTHER_IMPORT_EMPTY)));
  EXPECT_FALSE(Doc().IsModified());
}

}  // namespace zorvan::test
