// The window's commands as a user meets them: opening the database that is open reloads it,
// and the status bar tells what a command does whether or not it can be used now.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEnterEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "app/DocumentCommands.h"
#include "app/MainFrame.h"
#include "qt/Prompt.h"
#include "qt/QtText.h"
#include "res/StringTable.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"
#include "ui/MyPropSheet.h"
#include "ui/ZorvanTreeView.h"
#include "ui/ZorvanView.h"

namespace zorvan::test {
namespace {

class WindowCommandsTest : public CGuiTest {
 protected:
  QMenu* MenuOf(QAction* action) {
    for (QObject* object : action->associatedObjects())
      if (auto* menu = qobject_cast<QMenu*>(object)) return menu;
    return nullptr;
  }
  // The pointer over a command of a shown menu.
  void Hover(QMenu* menu, QAction* action) {
    const QPoint at = menu->actionGeometry(action).center();
    QMouseEvent move(QEvent::MouseMove, at, menu->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(menu, &move);
    QApplication::processEvents();
  }
};

}  // namespace

TEST_F(WindowCommandsTest, OpeningTheOpenDatabaseReloadsItAfterTheSaveQuestion) {
  const QString path = MakeDatabase("kontakty.zvd", {"Jiří", "Šárka"});
  ASSERT_TRUE(Start({path}));
  // Another program changed the file meanwhile.
  MakeDatabase("kontakty.zvd", {"Jiří", "Šárka", "Ludmila"});
  m_prompt.fileAnswers = {path};
  Frame().Action(ID_FILE_OPEN)->trigger();
  EXPECT_NE(Record({"Contacts", "Ludmila"}), nullptr);
  EXPECT_TRUE(m_prompt.savePrompts.isEmpty());
  EXPECT_FALSE(Doc().IsModified());

  // Modified: asked first; Cancel keeps the tree as it is, No reloads the file.
  Select(Item({"Contacts"}));
  Frame().Action(ID_EDIT_CREATE_NEW)->trigger();
  ASSERT_TRUE(Doc().IsModified());
  m_prompt.saveAnswers = {ESaveAnswer::Cancel};
  EXPECT_FALSE(Frame().Documents().OpenDocumentFile(path));
  EXPECT_EQ(m_prompt.savePrompts.size(), 1);
  EXPECT_NE(Record({"Contacts", "Unnamed"}), nullptr);
  m_prompt.saveAnswers = {ESaveAnswer::No};
  EXPECT_TRUE(Frame().Documents().OpenDocumentFile(path));
  EXPECT_EQ(m_prompt.savePrompts.size(), 2);
  EXPECT_EQ(Record({"Contacts", "Unnamed"}), nullptr);
  EXPECT_NE(Record({"Contacts", "Ludmila"}), nullptr);
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(WindowCommandsTest, TheStatusBarTellsWhatADisabledMenuCommandDoes) {
  ASSERT_TRUE(Start({MakeDatabase("a.zvd", {"Žaneta"})}));
  Frame().show();
  Select(Item({"Contacts"}));
  // The contacts root cannot be deleted.
  QAction* remove = Frame().Action(ID_EDIT_DELETE_CONTACT);
  QAction* create = Frame().Action(ID_EDIT_CREATE_NEW);
  ASSERT_FALSE(remove->isEnabled());
  ASSERT_FALSE(remove->statusTip().isEmpty());
  QMenu* edit = MenuOf(remove);
  ASSERT_NE(edit, nullptr);
  edit->popup(Frame().mapToGlobal(QPoint(10, 10)));
  QApplication::processEvents();

  Hover(edit, create);
  EXPECT_EQ(Frame().statusBar()->currentMessage(), create->statusTip());
  Hover(edit, remove);
  EXPECT_EQ(Frame().statusBar()->currentMessage(), remove->statusTip());
  edit->hide();
  QApplication::processEvents();
  EXPECT_EQ(Frame().statusBar()->currentMessage(), QString());
}

TEST_F(WindowCommandsTest, TheStatusBarTellsWhatADisabledToolbarCommandDoes) {
  ASSERT_TRUE(Start({MakeDatabase("a.zvd", {"Žaneta"})}));
  Frame().show();
  Select(Item({"Contacts"}));
  QAction* remove = Frame().Action(ID_EDIT_DELETE_CONTACT);
  ASSERT_FALSE(remove->isEnabled());
  auto* button = qobject_cast<QToolButton*>(Frame().ToolBar()->widgetForAction(remove));
  ASSERT_NE(button, nullptr);
  const QPointF at(button->rect().center());
  QEnterEvent enter(at, button->mapTo(&Frame(), at), button->mapToGlobal(at));
  QApplication::sendEvent(button, &enter);
  QApplication::processEvents();
  EXPECT_EQ(Frame().statusBar()->currentMessage(), remove->statusTip());
}

// Delete and Shift+Delete in the tree delete the selected contact, Insert makes a new one; in an
// edit box of the form Delete stays the box's own.
TEST_F(WindowCommandsTest, DeleteAndInsertInTheTreeDeleteAndCreateContacts) {
  ASSERT_TRUE(Start({MakeDatabase("a.zvd", {"Ann", "Jiří", "Ζωή"})}));
  QApplication::setActiveWindow(&Frame());
  const std::pair<Qt::KeyboardModifiers, QString> deletes[] = {{Qt::NoModifier, "Ann"},
                                                               {Qt::ShiftModifier, "Jiří"}};
  for (const auto& [keys, label] : deletes) {
    Select(Item({"Contacts", label}));
    Tree().setFocus();
    m_prompt.yesNoAnswers = {true};
    QTest::keyClick(&Tree(), Qt::Key_Delete, keys);
    EXPECT_EQ(Item({"Contacts", label}), nullptr) << label.toStdString();
  }
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), QStringList{"Ζωή"});
  Select(Item({"Contacts"}));
  Tree().setFocus();
  QTest::keyClick(&Tree(), Qt::Key_Insert);
  EXPECT_EQ(Item({"Contacts"})->childCount(), 2);

  Select(Item({"Contacts", "Ζωή"}));
  auto* box = Frame().FormView()->findChild<QLineEdit*>();
  ASSERT_NE(box, nullptr);
  box->setFocus();
  box->setText(QStringLiteral("Zoë"));
  box->setCursorPosition(0);
  m_prompt.yesNoAnswers = {true};
  QTest::keyClick(box, Qt::Key_Delete);
  EXPECT_EQ(box->text(), QStringLiteral("oë"));
  EXPECT_NE(Item({"Contacts", "Ζωή"}), nullptr);
}

// Every command of the File menu has a letter of its own, but for the two the program always
// had on E (Export... and Exit).
TEST_F(WindowCommandsTest, TheFileMenuSharesNoMnemonicBesideExportAndExit) {
  ASSERT_TRUE(Start());
  QMenu* file = MenuOf(Frame().Action(ID_FILE_OPEN));
  ASSERT_NE(file, nullptr);
  QMap<QChar, QStringList> letters;
  for (QAction* action : file->actions()) {
    const QString text = action->text();
    const qsizetype amp = text.indexOf('&');
    if (action->isVisible() && amp >= 0 && amp + 1 < text.size())
      letters[text.at(amp + 1).toLower()] << text;
  }
  ASSERT_GT(letters.size(), 10);
  for (auto it = letters.cbegin(); it != letters.cend(); ++it)
    if (it.key() != 'e') {
      EXPECT_EQ(it.value().size(), 1) << it.value().join(" | ").toStdString();
    }
  EXPECT_EQ(letters.value('e'), (QStringList{"&Export...", "&Exit"}));
}

// The address pages' labels take Alt+F (Fax) and Alt+E (E-mail), so the menu bar must be
// reachable from their boxes without the menus' letters: F10 opens the first menu, Alt alone
// puts the bar in keyboard mode.
TEST_F(WindowCommandsTest, TheMenuBarIsReachedWithF10AndAltAloneFromTheAddressPages) {
  const QString path = MakeDatabase("adresy.zvd", {"Rodina;g", " Zofia Łukasiewicz"});
  ASSERT_TRUE(Start({path}));
  QApplication::setActiveWindow(&Frame());
  Select(Item({"Contacts", "Rodina", "Zofia Łukasiewicz"}));
  CMyPropSheet& sheet = *Frame().FormView()->Sheet();
  QMenuBar* bar = Frame().menuBar();
  for (int page : {pageHome, pageBusiness}) {
    sheet.SetActivePage(page);
    auto* box = sheet.currentWidget()->findChild<QLineEdit*>();
    ASSERT_NE(box, nullptr);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_F10);
    EXPECT_EQ(bar->activeAction(), bar->actions().value(0)) << page;
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    QTest::keyClick(bar, Qt::Key_Escape);
    box->setFocus();
    QTest::keyPress(box, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(box, Qt::Key_Alt);
    EXPECT_NE(bar->activeAction(), nullptr) << page;
    QTest::keyClick(bar, Qt::Key_Escape);
  }
}

// The file dialogs list every file under the name users know from every other program, and
// file without a dot is listed too.
TEST_F(WindowCommandsTest, TheFileDialogsOfferAllFilesAsStarDotStarAndListNamesWithoutADot) {
  ASSERT_TRUE(Start());
  QStringList shown;
  QStringList listed;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    for (int i = 0; i < types->count(); ++i) shown << types->itemText(i);
    // As a user's choice in the list arrives.
    types->setCurrentIndex(types->count() - 1);
    emit types->activated(types->count() - 1);
    listed = dialog->findChild<QFileSystemModel*>()->nameFilters();
    dialog->reject();
  });
  SFileDialog d;
  d.directory = TempPath("");
  d.filter = QtFileFilter(LoadString(IDS_EXPORT_OTHER_FILTER));
  CPrompt real;
  EXPECT_TRUE(real.GetOpenFileName(d).isEmpty());
  EXPECT_EQ(shown, (QStringList{"vCard Files (*.vcf)", "All Files (*.*)"}));
  EXPECT_EQ(listed, QStringList{"*"});
}

}  // namespace zorvan::test
