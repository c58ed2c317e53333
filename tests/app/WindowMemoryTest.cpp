// What the window keeps between runs and shows of the database: its size, place and splitter,
// the "*" of unsaved changes in the title, the status bar's word after a save, and the folder
// each kind of file dialog opened last.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>

#include "app/DocumentCommands.h"
#include "app/MainFrame.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"

namespace zorvan::test {
namespace {

class WindowMemoryTest : public CGuiTest {
 protected:
  void Restart(const QStringList& arguments = {}) {
    ASSERT_TRUE(CloseWindow());
    Stop();
    ASSERT_TRUE(Start(arguments));
  }
  QString Folder(const QString& name) {
    const QString path = TempPath(name);
    EXPECT_TRUE(QDir().mkpath(path));
    return path;
  }
};

TEST_F(WindowMemoryTest, SizePlaceAndSplitterAreKeptBetweenStarts) {
  ASSERT_TRUE(Start());
  const QRect kept(140, 90, 1100, 720);
  Frame().setGeometry(kept);
  QApplication::processEvents();
  Frame().Splitter()->setSizes({420, 600});
  QApplication::processEvents();
  const QList<int> sizes = Frame().Splitter()->sizes();
  ASSERT_EQ(Frame().geometry(), kept);
  Restart();
  EXPECT_EQ(Frame().geometry(), kept);
  EXPECT_EQ(Frame().Splitter()->sizes(), sizes);
}

TEST_F(WindowMemoryTest, AWindowKeptOffEveryScreenOpensOnOne) {
  ASSERT_TRUE(Start());
  Frame().setGeometry(QRect(-4000, 5000, 900, 600));
  QApplication::processEvents();
  Restart();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.intersects(Frame().frameGeometry()))
      << Frame().frameGeometry().x() << "," << Frame().frameGeometry().y();
  EXPECT_NE(Frame().geometry().topLeft(), QPoint(-4000, 5000));
}

TEST_F(WindowMemoryTest, TheTitleMarksUnsavedChangesAndTheStatusBarSaysSaved) {
  const QString path = MakeDatabase("Müller.zvd", {"Łukasz Wąsik", "Jiří"});
  ASSERT_TRUE(Start({path}));
  EXPECT_TRUE(Frame().windowTitle().contains(QStringLiteral("[*]")));
  const auto expectTitle = [this](bool modified, const char* shown) {
    EXPECT_EQ(Frame().isWindowModified(), modified);
    EXPECT_EQ(Doc().IsModified(), modified);
    EXPECT_EQ(ShownTitle(), QString::fromUtf8(shown));
  };
  expectTitle(false, "Müller.zvd - Zorvan");
  Select(Item({"Contacts"}));
  Frame().Action(ID_EDIT_CREATE_NEW)->trigger();
  expectTitle(true, "Müller.zvd* - Zorvan");

  Frame().Action(ID_FILE_SAVE)->trigger();
  expectTitle(false, "Müller.zvd - Zorvan");
  EXPECT_EQ(Frame().statusBar()->currentMessage(), QStringLiteral("Saved Müller.zvd"));

  Frame().statusBar()->clearMessage();
  Select(Item({"Contacts", "Jiří"}));
  m_prompt.yesNoAnswers = {true};
  Frame().Action(ID_EDIT_DELETE_CONTACT)->trigger();
  expectTitle(true, "Müller.zvd* - Zorvan");
  m_prompt.fileAnswers = {TempPath("Dvořák.zvd")};
  Frame().Action(ID_FILE_SAVE_AS)->trigger();
  expectTitle(false, "Dvořák.zvd - Zorvan");
  EXPECT_EQ(Frame().statusBar()->currentMessage(), QStringLiteral("Saved Dvořák.zvd"));

  // A new database is untitled and unmodified again.
  Frame().Action(ID_FILE_NEW)->trigger();
  expectTitle(false, "Untitled - Zorvan");
}

// Each kind of file dialog opens where a file of that kind was chosen last, the next run too;
// the database's own Open keeps to the database's folder.
TEST_F(WindowMemoryTest, EachKindOfFileDialogOpensInTheFolderLastUsedForIt) {
  const QString database = MakeDatabase("adresář.zvd", {"Jiří Dvořák;b=17.5.1990"});
  m_prompt.onModal = [](QDialog& dialog) { dialog.accept(); };
  const struct {
    int id;
    const char* folder;
    const char* file;
  } kinds[] = {
      {ID_FILE_IMPORT, "import-vstup", "chybí.vcf"},
      {ID_FILE_IMPORT_OTHER, "z-jiných", "chybí.csv"},
      {ID_FILE_EXPORT, "export-výstup", "kontakty.vcf"},
      {ID_FILE_EXPORT_OTHER, "pro-jiné", "telefon.vcf"},
      {ID_FILE_EXPORT_CALENDAR, "kalendář-ics", "svátky.ics"},
      {ID_FILE_CALENDAR, "jmeniny", "Czech.cal"},
  };
  ASSERT_TRUE(Start({database}));
  const QString databaseFolder = QFileInfo(database).absolutePath();
  for (const auto& kind : kinds) {
    SCOPED_TRACE(kind.folder);
    const QString folder = Folder(QString::fromUtf8(kind.folder));
    m_prompt.fileAnswers = {QDir(folder).filePath(QString::fromUtf8(kind.file))};
    Frame().Action(kind.id)->trigger();
    ASSERT_TRUE(m_prompt.fileAnswers.empty());
  }
  // The export for other programs gave the contact an identity: not kept here.
  m_prompt.saveAnswers = {ESaveAnswer::No};
  Restart({database});
  for (const auto& kind : kinds) {
    SCOPED_TRACE(kind.folder);
    m_prompt.fileDialogs.clear();
    Frame().Action(kind.id)->trigger();  // cancelled in the dialog
    ASSERT_EQ(m_prompt.fileDialogs.size(), 1u);
    EXPECT_EQ(m_prompt.fileDialogs[0].directory, TempPath(QString::fromUtf8(kind.folder)));
  }
  m_prompt.fileDialogs.clear();
  Frame().Action(ID_FILE_OPEN)->trigger();
  ASSERT_EQ(m_prompt.fileDialogs.size(), 1u);
  EXPECT_EQ(m_prompt.fileDialogs[0].directory, databaseFolder);
}

}  // namespace
}  // namespace zorvan::test
