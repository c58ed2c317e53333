// The window in Czech: the choice by the user's languages, the string table's texts and the
// core's lists that the window translates, and the window itself with and without the Czech
// translation (menus, a form page, a dialog, a message box, the mnemonics within each).
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QTabWidget>
#include <QTimer>
#include <QTranslator>
#include <set>

#include "app/AboutDlg.h"
#include "app/MainFrame.h"
#include "app/WindowLanguage.h"
#include "interchange-qt/DelimiterDlg.h"
#include "interchange-qt/ExportOptionsDlg.h"
#include "interchange-qt/ForeignImportPreview.h"
#include "interchange-qt/ImportPage.h"
#include "interchange-qt/ImportSheet.h"
#include "interchange/FieldList.h"
#include "qt/StringTableTr.h"
#include "res/StringTable.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"
#include "tests/ui/Screenshot.h"
#include "ui/KeptLineDlg.h"
#include "ui/MyPropSheet.h"
#include "ui/ZorvanTreeView.h"
#include "ui/ZorvanView.h"

namespace zorvan::test {
namespace {

// The letter after a single "&" of a text, lower case; none for a text without one.
QChar Mnemonic(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != QLatin1Char('&')) continue;
    if (text[i + 1] == QLatin1Char('&')) {
      ++i;
      continue;
    }
    if (!text[i + 1].isSpace()) return text[i + 1].toLower();
  }
  return {};
}

// The texts among texts whose mnemonic another one has already.
QStringList Clashes(const QStringList& texts) {
  std::set<QChar> seen;
  QStringList clashes;
  for (const QString& text : texts) {
    const QChar key = Mnemonic(text);
    if (!key.isNull() && !seen.insert(key).second) clashes << text;
  }
  return clashes;
}

QStringList ActionTexts(const QMenu& menu) {
  QStringList texts;
  for (const QAction* action : menu.actions())
    if (action->isVisible() && !action->isSeparator()) texts << action->text();
  return texts;
}

// The labels, buttons and group titles of a page or dialog (those of pages inside it too).
QStringList ControlTexts(const QWidget& widget) {
  QStringList texts;
  for (const QLabel* label : widget.findChildren<QLabel*>()) texts << label->text();
  for (const QAbstractButton* button : widget.findChildren<QAbstractButton*>())
    texts << button->text();
  for (const QGroupBox* box : widget.findChildren<QGroupBox*>()) texts << box->title();
  return texts;
}

class WindowLanguageTest : public CGuiTest {
 protected:
  QStringList MenuTitles() {
    QStringList titles;
    for (const QAction* menu : Frame().menuBar()->actions()) titles << menu->text();
    return titles;
  }
  QTabWidget& Sheet() { return *Frame().FormView()->Sheet(); }
  // What the Find command's dialog shows: its title and its controls.
  QStringList FindDialogTexts(const QString& screenshot) {
    QStringList texts;
    m_prompt.onModal = [&texts, &screenshot](QDialog& dialog) {
      texts = QStringList{dialog.windowTitle()} + ControlTexts(dialog);
      dialog.show();
      QApplication::processEvents();
      if (!screenshot.isEmpty()) SaveScreenshot(dialog, screenshot);
      dialog.hide();
    };
    Frame().Action(ID_EDIT_FIND)->trigger();
    m_prompt.onModal = nullptr;
    return texts;
  }
  // The texts of the buttons of a question the real prompt asks.
  static QStringList QuestionButtons() {
    QStringList texts;
    QTimer::singleShot(0, [&texts] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      for (const QAbstractButton* button : box->buttons()) texts << button->text();
      box->reject();
    });
    CPrompt().AskYesNo(QStringLiteral("Smazat kontakt Łukasz?"));
    texts.sort();
    return texts;
  }
};

}  // namespace

TEST(WindowLanguage, shouldBeCzechOnlyWhereTheUserPutsCzechBeforeEnglish) {
  const struct {
    QStringList languages;
    bool czech;
  } rows[] = {
      {{"cs-CZ", "cs"}, true},     {{"cs"}, true},     {{"de-DE", "cs-CZ"}, true},
      {{"en-US", "cs-CZ"}, false}, {{"en-GB"}, false}, {{"C"}, false},
      {{"sk-SK", "pl-PL"}, false}, {{}, false},        {{"CS_cz"}, true},
  };
  for (const auto& row : rows)
    EXPECT_EQ(CWindowLanguage::WantsCzech(row.languages), row.czech)
        << row.languages.join(',').toStdString();
}

// Every text of the string table is either listed for translation with the table's very text,
// or kept as it is on purpose: a new table string cannot be forgotten.
TEST(WindowLanguage, shouldListEveryTextOfTheStringTableForTranslation) {
  std::set<int> listed;
  for (const SStringSource& source : StringTableSources()) {
    EXPECT_TRUE(listed.insert(source.id).second) << "listed twice: " << source.id;
    EXPECT_EQ(LoadOriginalString(source.id), source.text) << source.id;
  }
  for (int id : UntranslatedStringIds()) EXPECT_TRUE(listed.insert(id).second) << id;
  for (int id : StringIds()) EXPECT_TRUE(listed.count(id)) << "not listed: " << id;
  EXPECT_EQ(listed.size(), StringIds().size());
  // The wizard's targets of the core, in the core's order.
  const auto targets = TargetItems();
  const auto sources = CImportPage::TargetSources();
  ASSERT_EQ(sources.size(), targets.size());
  for (size_t i = 0; i < targets.size(); ++i) EXPECT_EQ(sources[i], targets[i]) << i;
}

// With the translation: the core's texts that the window shows are Czech, the ones kept as
// they are stay; without it the English come back.
TEST(WindowLanguage, shouldTranslateTheCoresTextsWhileCzechIsInstalled) {
  CWindowLanguage language;
  ASSERT_TRUE(language.InstallCzech());
  EXPECT_EQ(LoadString(IDS_NAMEDAYS), "Svátky");
  EXPECT_EQ(Formatted(LoadString(IDS_OTHER_IMPORT_DONE), {"2", "Přátelé"}),
            "Do skupiny „Přátelé“ bylo importováno kontaktů: 2.");
  EXPECT_EQ(LoadString(IDS_VERSION), LoadOriginalString(IDS_VERSION));
  // Every text listed is in the built translation (some are the same in Czech: "Fax:").
  QTranslator built;
  ASSERT_TRUE(built.load(QStringLiteral(":/i18n/zorvan_cs.qm")));
  for (const SStringSource& source : StringTableSources())
    EXPECT_FALSE(built.translate("StringTable", source.text).isEmpty()) << source.text;
  for (const char* target : CImportPage::TargetSources())
    EXPECT_FALSE(built.translate("zorvan::CImportPage", target).isEmpty()) << target;
  for (const EKeptLineError error :
       {EKeptLineError::noName, EKeptLineError::badName, EKeptLineError::badParameter,
        EKeptLineError::openQuote, EKeptLineError::noColon, EKeptLineError::frame})
    EXPECT_NE(CKeptLineDlg::ErrorText(error).toStdString(), KeptLineErrorText(error));
  language.Remove();
  EXPECT_EQ(LoadString(IDS_NAMEDAYS), "Namedays");
  EXPECT_EQ(CKeptLineDlg::ErrorText(EKeptLineError::noColon).toStdString(),
            KeptLineErrorText(EKeptLineError::noColon));
}

// The preview's reasons are the core's words in English, and Czech with the translation.
TEST(WindowLanguage, shouldGiveTheReasonsOfDuplicatesInTheCoresWordsOrInCzech) {
  using R = EDuplicateReason;
  const struct {
    SDuplicate duplicate;
    QString czech;
  } rows[] = {
      {{0, "Jiří", R::sameLabel, "", false}, "stejný popisek"},
      {{1, "Zoë", R::sameEmail, "jiří@příklad.cz", true},
       "stejná e-mailová adresa jiří@příklad.cz (dříve v souboru)"},
      {{2, "李娜", R::sameUid, "", true}, "stejné UID (dříve v souboru)"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(CForeignImportPreview::ReasonText(row.duplicate).toStdString(),
              row.duplicate.ReasonText());
  CWindowLanguage language;
  ASSERT_TRUE(language.InstallCzech());
  for (const auto& row : rows)
    EXPECT_EQ(CForeignImportPreview::ReasonText(row.duplicate), row.czech);
}

TEST_F(WindowLanguageTest, TheWindowIsCzechWithTheTranslationAndEnglishWithout) {
  const struct {
    bool czech;
    QStringList menus;
    QString surname, findTitle, tree, yes, calendar;
    QStringList categories;
    QString deleteBasic;
  } rows[] = {
      {false,
       {"&File", "&Edit", "&View", "&Help"},
       "&Surname:",
       "Find",
       "Contacts",
       "&Yes",
       "Calendar",
       {"Birthdays", "Anniversaries", "Namedays", "Calendar"},
       "Error: Can't delete the basic elements of the contacts tree."},
      {true,
       {"&Soubor", "Úp&ravy", "&Zobrazit", "&Nápověda"},
       "&Příjmení:",
       "Najít",
       "Kontakty",
       "&Ano",
       "Kalendář",
       {"Narozeniny", "Výročí", "Jmeniny", "Jmeniny v kalendáři"},
       "Chyba: Základní prvky stromu kontaktů nelze smazat."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.czech ? "Czech" : "English");
    CWindowLanguage language;
    if (row.czech) {
      ASSERT_TRUE(language.InstallCzech());
    }
    // The calendar resource of the language (American.cal, Czech.cal), which names the tree's
    // basic elements.
    QSettings(QStringLiteral("Tavorin"), QStringLiteral("Zorvan"))
        .remove(QStringLiteral("Settings/Resource"));
    ASSERT_TRUE(Start());
    EXPECT_EQ(MenuTitles(), row.menus);
    // The Czech mnemonics are unique within each menu and page (the English File menu has
    // &Export and &Exit, the English Summary page &Home Address and P&hone).
    const auto clashes = [&row](const QStringList& texts) {
      return row.czech ? Clashes(texts) : QStringList();
    };
    EXPECT_EQ(clashes(MenuTitles()), QStringList());
    for (const QAction* menu : Frame().menuBar()->actions()) {
      EXPECT_EQ(clashes(ActionTexts(*menu->menu())), QStringList()) << menu->text().toStdString();
      for (const QAction* item : menu->menu()->actions()) {
        if (item->menu()) {
          EXPECT_EQ(clashes(ActionTexts(*item->menu())), QStringList())
              << item->text().toStdString();
        }
      }
    }
    if (row.czech) {
      QMenu& file = *Frame().menuBar()->actions().first()->menu();
      file.popup(Frame().mapToGlobal(QPoint(0, 0)));
      QApplication::processEvents();
      SaveScreenshot(file, QStringLiteral("cs-menu-file"));
      file.hide();
    }
    // A new database: its tree's basic elements and a contact's form.
    ASSERT_NE(Item({row.tree}), nullptr) << Tree().topLevelItem(0)->text(0).toStdString();
    EXPECT_EQ(ChildLabels(Item({row.calendar})), row.categories);
    Select(Item({row.tree}));
    Frame().Action(ID_EDIT_CREATE_NEW)->trigger();
    QApplication::processEvents();
    for (int page = 0; page < Sheet().count(); ++page) {
      Sheet().setCurrentIndex(page);
      QApplication::processEvents();
      EXPECT_EQ(clashes(ControlTexts(*Sheet().widget(page))), QStringList()) << page;
      if (row.czech) SaveScreenshot(Frame(), QStringLiteral("cs-page-%1").arg(page));
    }
    Sheet().setCurrentIndex(1);
    EXPECT_TRUE(ControlTexts(*Sheet().widget(1)).contains(row.surname));
    const QStringList find = FindDialogTexts(row.czech ? QStringLiteral("cs-find") : QString());
    ASSERT_FALSE(find.isEmpty());
    EXPECT_EQ(find.first(), row.findTitle);
    EXPECT_EQ(clashes(find), QStringList()) << find.join('|').toStdString();
    // The core's message through the host, and Qt's own buttons of a question.
    Select(Item({row.tree}));
    m_prompt.messages.clear();
    Doc().DeleteNode(Doc().ContactsRoot());
    EXPECT_EQ(m_prompt.MessageTexts(), QStringList{row.deleteBasic});
    EXPECT_TRUE(QuestionButtons().contains(row.yes));
    Stop();
  }
}

// The import wizard of a file with Czech and Greek column names, its pages and list in Czech.
TEST_F(WindowLanguageTest, TheImportWizardIsCzech) {
  CWindowLanguage language;
  ASSERT_TRUE(language.InstallCzech());
  std::vector<ColumnBinding> bindings(2);
  bindings[0] = {0, "Příjmení", -1, "Dvořák"};
  bindings[1] = {1, "Όνομα", -1, "Νίκος"};
  CImportSheet sheet(bindings, nullptr, QString());
  sheet.show();
  QApplication::processEvents();
  const auto* page = qobject_cast<CImportPage*>(sheet.currentPage());
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->Step(), QStringLiteral("Krok 1 z 3:"));
  EXPECT_EQ(page->ComboBox()->itemText(0), QStringLiteral(" - Nic -"));
  EXPECT_EQ(page->ComboBox()->itemText(2), QStringLiteral("Příjmení"));
  EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Import polí"));
  EXPECT_TRUE(ControlTexts(*page).contains(QStringLiteral("Toto pole odpovídá poli programu:")));
  SaveScreenshot(sheet, QStringLiteral("cs-import-wizard"));
  sheet.next();
  sheet.next();
  QApplication::processEvents();
  SaveScreenshot(sheet, QStringLiteral("cs-import-wizard-finish"));
}

// The window's other dialogs, titled in Czech and shown whole.
TEST_F(WindowLanguageTest, TheDialogsAreCzech) {
  CWindowLanguage language;
  ASSERT_TRUE(language.InstallCzech());
  CAboutDlg about;
  CDelimiterDlg delimiter;
  CForeignExportDlg foreignExport;
  CExportCalendarDlg calendarExport;
  const struct {
    QDialog& dialog;
    QString title, name;
  } rows[] = {
      {about, "O programu Zorvan", "cs-about"},
      {delimiter, "Import souboru: oddělovač", "cs-delimiter"},
      {foreignExport, "Export pro jiné programy", "cs-export-other"},
      {calendarExport, "Export kalendáře", "cs-export-calendar"},
  };
  for (const auto& row : rows) {
    row.dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(row.dialog.windowTitle(), row.title);
    EXPECT_EQ(Clashes(ControlTexts(row.dialog)), QStringList()) << row.title.toStdString();
    SaveScreenshot(row.dialog, row.name);
    row.dialog.hide();
  }
}

}  // namespace zorvan::test
