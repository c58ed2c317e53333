// The main frame: command enabling per pane, the save prompts, the document commands, the
// recent files, dropped files and the Calendar Resource command.
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QSettings>
#include <QStatusBar>
#include <QTreeWidget>
#include <QUrl>
#include <cstdio>

#include "app/DocumentCommands.h"
#include "app/MainFrame.h"
#include "app/ZorvanApp.h"
#include "qt/QtText.h"
#include "store/DatabaseLock.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"
#include "ui/ZorvanTreeView.h"
#include "ui/ZorvanView.h"

namespace zorvan::test {
namespace {

class MainFrameTest : public CGuiTest {
 protected:
  bool Enabled(int id) { return Frame().Action(id)->isEnabled(); }
  void MakeModified() {
    Select(Item({"Contacts"}));
    Frame().Action(ID_EDIT_CREATE_NEW)->trigger();
    ASSERT_TRUE(Doc().IsModified());
  }
};

// The tree's commands act on its selection and the form's on the shown record, whichever pane
// has the focus; only a target that is not there greys a command.
TEST_F(MainFrameTest, CommandsFollowTheSelectionWhicheverPaneHasTheFocus) {
  const QString path = MakeDatabase("a.zvd", {"Ann", "Jiří"});
  ASSERT_TRUE(Start({path}));
  Select(Item({"Contacts", "Ann"}));
  for (const CMainFrame::EPane pane : {CMainFrame::EPane::Tree, CMainFrame::EPane::Form}) {
    Frame().ActivatePane(pane);
    QApplication::processEvents();
    SCOPED_TRACE(pane == CMainFrame::EPane::Tree ? "tree" : "form");
    EXPECT_EQ(Frame().ActivePane(), pane);
    for (const int id : {ID_EDIT_CREATE_NEW, ID_EDIT_DELETE_CONTACT, ID_EDIT_FIND, ID_FILE_PRINT,
                         ID_FILE_PRINT_PREVIEW, ID_FILE_SAVE, ID_FILE_CALENDAR})
      EXPECT_TRUE(Enabled(id)) << id;
  }
  // From the form, Delete contact deletes the tree's selection.
  m_prompt.yesNoAnswers = {true};
  Frame().Action(ID_EDIT_DELETE_CONTACT)->trigger();
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), QStringList{"Jiří"});
  // The basic elements and the calendar branch keep their own rules.
  Select(Item({"Contacts"}));
  EXPECT_FALSE(Enabled(ID_EDIT_DELETE_CONTACT));
  EXPECT_TRUE(Enabled(ID_EDIT_CREATE_NEW));
  Select(Item({"Calendar"}));
  EXPECT_FALSE(Enabled(ID_EDIT_CREATE_NEW));
}

// At a fresh start nothing is selected: Create new puts the contact below the contacts root.
TEST_F(MainFrameTest, CreateNewAtAFreshStartWorksOnTheContactsRoot) {
  ASSERT_TRUE(Start());
  Tree().setCurrentItem(nullptr);
  Tree().clearSelection();
  QApplication::processEvents();
  Frame().UpdateCommandUI();
  ASSERT_TRUE(Enabled(ID_EDIT_CREATE_NEW));
  Frame().Action(ID_EDIT_CREATE_NEW)->trigger();
  EXPECT_EQ(Item({"Contacts"})->childCount(), 1);
  EXPECT_TRUE(Doc().IsModified());
}

TEST_F(MainFrameTest, ClosingAModifiedDatabaseAsksToSaveAndCancelKeepsTheWindow) {
  ASSERT_TRUE(Start());
  MakeModified();
  m_prompt.saveAnswers = {ESaveAnswer::Cancel};
  EXPECT_FALSE(CloseWindow());
  EXPECT_EQ(m_prompt.savePrompts, QStringList{"Save changes to Untitled?"});
  EXPECT_TRUE(Frame().isVisible());

  m_prompt.saveAnswers = {ESaveAnswer::No};
  EXPECT_TRUE(CloseWindow());
  EXPECT_TRUE(m_prompt.fileDialogs.empty());
}

TEST_F(MainFrameTest, YesOnAnUntitledDatabaseAsksForANameAndSavesBeforeClosing) {
  ASSERT_TRUE(Start());
  MakeModified();
  const QString path = TempPath("saved.zvd");
  m_prompt.saveAnswers = {ESaveAnswer::Yes};
  m_prompt.fileAnswers = {path};
  EXPECT_TRUE(CloseWindow());
  ASSERT_EQ(m_prompt.fileDialogs.size(), 1u);
  EXPECT_EQ(m_prompt.fileDialogs[0].filter, QStringLiteral("Zorvan Files (*.zvd)"));
  EXPECT_EQ(m_prompt.fileDialogs[0].defaultSuffix, QStringLiteral("zvd"));
  EXPECT_EQ(m_prompt.fileDialogs[0].fileName, QStringLiteral("Untitled.zvd"));
  EXPECT_TRUE(QFileInfo::exists(path));
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(MainFrameTest, ACancelledNameKeepsTheWindowOpenAndTheDatabaseModified) {
  ASSERT_TRUE(Start());
  MakeModified();
  m_prompt.saveAnswers = {ESaveAnswer::Yes};
  EXPECT_FALSE(CloseWindow());
  EXPECT_EQ(m_prompt.fileDialogs.size(), 1u);
  EXPECT_TRUE(Frame().isVisible());
  EXPECT_TRUE(Doc().IsModified());
}

TEST_F(MainFrameTest, AFailedSaveNamesTheFileAndTheReasonAndKeepsTheDatabaseModified) {
  const QString path = MakeDatabase("Müller.zvd", {"Jürgen Müller"});
  ASSERT_TRUE(Start({path}));
  MakeModified();
  const QString nowhere = TempPath("chybí/Müller.zvd");
  m_prompt.fileAnswers = {nowhere};
  Frame().Action(ID_FILE_SAVE_AS)->trigger();
  ASSERT_EQ(m_prompt.messages.size(), 1u) << m_prompt.MessageTexts().join('|').toStdString();
  EXPECT_EQ(m_prompt.messages[0].text,
            QStringLiteral("Cannot save file %1:\nNo such file or directory.")
                .arg(QDir::toNativeSeparators(nowhere)));
  EXPECT_EQ(m_prompt.messages[0].icon, EMsgIcon::Error);
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(ShownTitle(), QStringLiteral("Müller.zvd* - Zorvan"));
  EXPECT_EQ(App().RecentFiles().Files(), QStringList{path});
}

TEST_F(MainFrameTest, SavingOverAFileAnotherProgramChangedAsksFirst) {
  const QString path = MakeDatabase("Dvořák.zvd", {"Antonín Dvořák"});
  ASSERT_TRUE(Start({path}));
  MakeModified();
  // Another program saves its own version meanwhile.
  MakeDatabase("Dvořák.zvd", {"Antonín Dvořák", "Otilie Dvořáková"});
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray theirs = file.readAll();
  file.close();
  const QString question = QStringLiteral(
                               "%1 was changed by another program after it was opened here.\n"
                               "Replace it with this version?")
                               .arg(QDir::toNativeSeparators(path));
  Frame().Action(ID_FILE_SAVE)->trigger();  // answered No
  EXPECT_EQ(m_prompt.questions, QStringList{question});
  EXPECT_TRUE(Doc().IsModified());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), theirs);
  file.close();

  m_prompt.yesNoAnswers = {true};
  Frame().Action(ID_FILE_SAVE)->trigger();
  EXPECT_FALSE(Doc().IsModified());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_NE(file.readAll(), theirs);
  file.close();
  // The file is the window's again: the next save asks nothing.
  MakeModified();
  Frame().Action(ID_FILE_SAVE)->trigger();
  EXPECT_EQ(m_prompt.questions.size(), 2u);
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(MainFrameTest, AnOpenDatabaseIsHeldAndAnotherProgramsOneOpensOnlyReadOnly) {
  const QString path = MakeDatabase("Nowak.zvd", {"Łucja Nowak"});
  const QString native = QDir::toNativeSeparators(path);
  const QString other = MakeDatabase("Wójcik.zvd", {"Jan Wójcik"});
  const QString pid = QString::number(QCoreApplication::applicationPid());
  ASSERT_TRUE(Start({path}));
  {
    // The window holds its database: an import is told so.
    CDatabaseLock import;
    const CStatus refused = import.Acquire(ToStdString(path), "zorvan-cli import");
    EXPECT_TRUE(import.HeldByOther());
    EXPECT_NE(refused.Reason().find(" (zorvan, process " + pid.toStdString() + ") since "),
              std::string::npos)
        << refused.Reason();
    // Save As to a file another program holds is refused.
    ASSERT_TRUE(import.Acquire(ToStdString(other), "zorvan-cli import"));
    MakeModified();
    m_prompt.fileAnswers = {other};
    Frame().Action(ID_FILE_SAVE_AS)->trigger();
    ASSERT_EQ(m_prompt.messages.size(), 1u);
    EXPECT_TRUE(m_prompt.messages[0].text.startsWith(
        QStringLiteral("Cannot save file %1:\nit is in use by ")
            .arg(QDir::toNativeSeparators(other))))
        << m_prompt.messages[0].text.toStdString();
    EXPECT_TRUE(Doc().IsModified());
    m_prompt.saveAnswers = {ESaveAnswer::No};
    ASSERT_TRUE(CloseWindow());
    Stop();
  }
  CDatabaseLock holder;
  ASSERT_TRUE(holder.Acquire(ToStdString(path), "zorvan-cli import"));
  // Declined: the database stays closed.
  ASSERT_TRUE(Start({path}));
  ASSERT_EQ(m_prompt.questions.size(), 1u);
  EXPECT_TRUE(m_prompt.questions[0].startsWith(native + QStringLiteral("\nit is in use by ")));
  EXPECT_TRUE(m_prompt.questions[0].endsWith(
      QStringLiteral(" (zorvan-cli import, process %1) since ").arg(pid) +
      m_prompt.questions[0].section(QStringLiteral(" since "), 1, 1)));
  EXPECT_TRUE(m_prompt.questions[0].endsWith(QStringLiteral(".\nOpen it read-only?")));
  EXPECT_TRUE(Doc().GetPathName().empty());
  Stop();
  // Accepted: read-only, and Save asks for another file.
  m_prompt.questions.clear();
  m_prompt.fileDialogs.clear();
  m_prompt.yesNoAnswers = {true};
  ASSERT_TRUE(Start({path}));
  EXPECT_TRUE(Frame().Documents().IsReadOnly());
  EXPECT_EQ(ShownTitle(), QStringLiteral("Nowak.zvd (read-only) - Zorvan"));
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), QStringList{"Łucja Nowak"});
  MakeModified();
  const QString copy = TempPath("Nowak-kopie.zvd");
  m_prompt.fileAnswers = {copy};
  Frame().Action(ID_FILE_SAVE)->trigger();
  EXPECT_EQ(m_prompt.fileDialogs.size(), 1u);
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_FALSE(Frame().Documents().IsReadOnly());
  EXPECT_EQ(ShownTitle(), QStringLiteral("Nowak-kopie.zvd - Zorvan"));
  CDatabaseLock probe;
  EXPECT_FALSE(probe.Acquire(ToStdString(copy), "probe")) << "the copy is the window's now";
}

// Opening a damaged file, a folder or a file that is gone says so in one message and keeps the
// database that was open: its tree, its unsaved change, its title and its lock.
TEST_F(MainFrameTest, AFailedOpenSaysWhyOnceAndKeepsTheOpenDatabase) {
  const QString path = MakeDatabase(QStringLiteral("Nowak.zvd"), {"Łucja Nowak", "Ζωή"});
  const QString damaged = TempPath("poškozený.zvd");
  QFile file(damaged);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  ASSERT_TRUE(Start({path}));
  MakeModified();
  const QStringList labels = ChildLabels(Item({"Contacts"}));
  ASSERT_EQ(labels.size(), 3);
  const std::pair<QString, QString> cases[] = {
      {damaged, QStringLiteral("the file ends in the middle of a record")},
      {TempPath("složka"), QStringLiteral("it is a folder")},
      {TempPath("není.zvd"), QStringLiteral("No such file or directory")},
  };
  QDir().mkdir(TempPath("složka"));
  for (const auto& [other, reason] : cases) {
    SCOPED_TRACE(other.toStdString());
    m_prompt.messages.clear();
    m_prompt.saveAnswers = {ESaveAnswer::No};
    EXPECT_FALSE(Frame().Documents().OpenDocumentFile(other));
    EXPECT_EQ(m_prompt.MessageTexts(),
              QStringList{QStringLiteral("Error: Can't open the contacts file.\n\nCannot open "
                                         "file %1:\n%2.")
                              .arg(QDir::toNativeSeparators(other), reason)});
    EXPECT_EQ(ChildLabels(Item({"Contacts"})), labels);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(ToQString(Doc().GetPathName()), path);
    EXPECT_TRUE(ShownTitle().startsWith(QStringLiteral("Nowak.zvd"))) << ShownTitle().toStdString();
    CDatabaseLock probe;
    EXPECT_FALSE(probe.Acquire(ToStdString(path), "probe")) << "the window still holds it";
  }
  m_prompt.saveAnswers = {ESaveAnswer::No};
}

TEST_F(MainFrameTest, AnOpenThatIgnoresTheExtensionTrailerSaysWhyOnceInTheStatusBarAndAMessage) {
  const QString damaged = TempPath(QStringLiteral("Παπαδόπουλος.zvd"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(ZORVAN_TEST_DATA "/store/trailer-bad-crc.zvd"), damaged));
  const QString good = TempPath(QStringLiteral("王小明.zvd"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(ZORVAN_TEST_DATA "/store/trailer-texts.zvd"), good));
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Frame().Documents().OpenDocumentFile(damaged));
  const QString note =
      QStringLiteral(
          "The extensions stored after the contacts of %1 were ignored: it has a "
          "wrong checksum. The contacts were read without them; texts the code page "
          "cannot hold show as \"?\".")
          .arg(QDir::toNativeSeparators(damaged));
  EXPECT_EQ(m_prompt.MessageTexts(), QStringList{note});
  EXPECT_EQ(Frame().statusBar()->currentMessage(), note);
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), (QStringList{"?????", "Family"}));
  // A trailer that was read says nothing; its texts are in the tree.
  ASSERT_TRUE(Frame().Documents().OpenDocumentFile(good));
  EXPECT_EQ(m_prompt.MessageTexts(), QStringList{note});
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), (QStringList{"Family", "Бетти"}));
}

TEST_F(MainFrameTest, NewAndOpenAskFirstAndUnmodifiedDatabasesAreNotAsked) {
  const QString path = MakeDatabase("b.zvd", {"Ben"});
  ASSERT_TRUE(Start());
  EXPECT_TRUE(Frame().Documents().OnFileNew());
  EXPECT_TRUE(m_prompt.savePrompts.isEmpty());

  MakeModified();
  m_prompt.saveAnswers = {ESaveAnswer::Cancel};
  EXPECT_FALSE(Frame().Documents().OpenDocumentFile(path));
  EXPECT_EQ(Item({"Contacts"})->childCount(), 1);  // still the unsaved database

  m_prompt.saveAnswers = {ESaveAnswer::No};
  EXPECT_TRUE(Frame().Documents().OpenDocumentFile(path));
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), QStringList{"Ben"});
  EXPECT_EQ(ShownTitle(), QStringLiteral("b.zvd - Zorvan"));

  MakeModified();
  m_prompt.saveAnswers = {ESaveAnswer::No};
  Frame().Action(ID_FILE_NEW)->trigger();
  EXPECT_EQ(m_prompt.savePrompts.size(), 3);
  EXPECT_EQ(m_prompt.savePrompts.last(),
            QStringLiteral("Save changes to %1?").arg(QDir::toNativeSeparators(path)));
  EXPECT_EQ(ShownTitle(), QStringLiteral("Untitled - Zorvan"));
  EXPECT_EQ(Item({"Contacts"})->childCount(), 0);
}

TEST_F(MainFrameTest, RecentFilesKeepTheFourNewestFirstAndOpenFromTheMenu) {
  QStringList paths;
  for (int i = 1; i <= 5; ++i)
    paths << MakeDatabase(QStringLiteral("r%1.zvd").arg(i), {QStringLiteral("Person %1").arg(i)});
  ASSERT_TRUE(Start());
  for (const QString& path : paths) ASSERT_TRUE(Frame().Documents().OpenDocumentFile(path));
  ASSERT_TRUE(Frame().Documents().OpenDocumentFile(paths[2]));
  const QStringList expected{paths[2], paths[4], paths[3], paths[1]};
  EXPECT_EQ(App().RecentFiles().Files(), expected);
  QSettings settings(QStringLiteral("Tavorin"), QStringLiteral("Zorvan"));
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(settings.value(QStringLiteral("Recent File List/File%1").arg(i + 1)).toString(),
              expected[i]);

  // The second entry of the File menu opens r5.
  QAction* second = nullptr;
  for (QAction* action : Frame().findChildren<QAction*>())
    if (action->data().toInt() == ID_FILE_MRU_FILE1 + 1) second = action;
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(second->isVisible());
  EXPECT_TRUE(second->text().startsWith(QStringLiteral("&2 ")));
  second->trigger();
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), QStringList{"Person 5"});
}

TEST_F(MainFrameTest, AFileDroppedOnTheWindowBecomesTheDatabase) {
  const QString path = MakeDatabase("dropped.zvd", {"Dora"});
  ASSERT_TRUE(Start());
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(path)});
  const QPoint at = Frame().rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&Frame(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&Frame(), &drop);
  QApplication::processEvents();
  EXPECT_EQ(ShownTitle(), QStringLiteral("dropped.zvd - Zorvan"));
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), QStringList{"Dora"});
}

TEST_F(MainFrameTest, CalendarResourceStoresTheChosenFileAndSaysWhenItApplies) {
  ASSERT_TRUE(Start());
  const QString chosen = TempPath("other.cal");
  m_prompt.fileAnswers = {chosen};
  Frame().Action(ID_FILE_CALENDAR)->trigger();
  ASSERT_EQ(m_prompt.fileDialogs.size(), 1u);
  const SFileDialog& dialog = m_prompt.fileDialogs[0];
  EXPECT_EQ(dialog.title, QStringLiteral("Open Calendar Resource"));
  EXPECT_EQ(dialog.filter, QStringLiteral("Calendar Files (*.cal)"));
  EXPECT_EQ(dialog.fileName, QStringLiteral("*.cal"));
  EXPECT_EQ(dialog.defaultSuffix, QStringLiteral("cal"));
  EXPECT_TRUE(QFileInfo::exists(QDir(dialog.directory).filePath("American.cal")))
      << dialog.directory.toStdString();
  EXPECT_EQ(QSettings(QStringLiteral("Tavorin"), QStringLiteral("Zorvan"))
                .value(QStringLiteral("Settings/Resource"))
                .toString(),
            chosen);
  ASSERT_EQ(m_prompt.messages.size(), 1u);
  EXPECT_EQ(m_prompt.messages[0].text,
            QStringLiteral("New calendar loaded. To view the current contacts with the new "
                           "calendar, reopen the current contacts."));
  EXPECT_EQ(m_prompt.messages[0].icon, EMsgIcon::None);

  // Cancel changes nothing.
  Frame().Action(ID_FILE_CALENDAR)->trigger();
  EXPECT_EQ(m_prompt.messages.size(), 1u);
}

TEST_F(MainFrameTest, ASaveWhoseLockFileWasRemovedIsRefusedWhileAnotherProgramHoldsTheNewOne) {
  const QString path = MakeDatabase("Dvořák.zvd", {"Antonín Dvořák"});
  ASSERT_TRUE(Start({path}));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray before = file.readAll();
  file.close();
  // The lock file is removed by hand and an import takes a new one: the window's lock is gone.
  ASSERT_TRUE(QFile::remove(ToQString(CDatabaseLock::LockPathFor(ToStdString(path)))));
  CDatabaseLock import;
  ASSERT_TRUE(import.Acquire(ToStdString(path), "zorvan-cli import"));
  MakeModified();
  Frame().Action(ID_FILE_SAVE)->trigger();
  ASSERT_EQ(m_prompt.messages.size(), 1u);
  EXPECT_TRUE(m_prompt.messages[0].text.startsWith(
      QStringLiteral("Cannot save file %1:\nit is in use by ").arg(QDir::toNativeSeparators(path))))
      << m_prompt.messages[0].text.toStdString();
  EXPECT_TRUE(Doc().IsModified());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), before);
  file.close();
  // Closing the window removes no lock file but its own.
  m_prompt.saveAnswers = {ESaveAnswer::No};
  ASSERT_TRUE(CloseWindow());
  EXPECT_TRUE(import.StillHeld());
}

}  // namespace
}  // namespace zorvan::test

namespace zorvan::test {

// A name the file system holds in bytes that are no UTF-8 (a file copied from an old disk in
// Windows-1250): the window opens, locks and saves that very file, not one named with U+FFFD.
TEST_F(MainFrameTest, ADatabaseWhoseNameIsNoUtf8OpensAndSavesUnderItsOwnName) {
  const std::string folder = ToFilePath(QFileInfo(MakeDatabase("Dvořák.zvd", {"Antonín"})).path());
  const std::string raw = folder + "/Dvo\xf8\xe1k-\xff.zvd";
  ASSERT_EQ(::rename((folder + "/Dvořák.zvd").c_str(), raw.c_str()), 0);
  ASSERT_TRUE(Start({FromFilePath(raw)}));
  EXPECT_TRUE(m_prompt.messages.empty()) << m_prompt.MessageTexts().join('|').toStdString();
  EXPECT_EQ(Doc().GetPathName(), raw);
  EXPECT_NE(Record({"Contacts", "Antonín"}), nullptr);
  CDatabaseLock probe;
  EXPECT_FALSE(probe.Acquire(raw, "probe")) << "the window holds the file it opened";

  Select(Item({"Contacts"}));
  Frame().Action(ID_EDIT_CREATE_NEW)->trigger();
  ASSERT_TRUE(Frame().Documents().OnFileSave());
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_EQ(Doc().GetPathName(), raw);
  // The one file in the folder, with the new record in it.
  EXPECT_FALSE(
      QFileInfo::exists(FromFilePath(folder) + QStringLiteral("/Dvo\uFFFD\uFFFDk-\uFFFD.zvd")));
  Stop();
  ASSERT_TRUE(Start({FromFilePath(raw)}));
  EXPECT_NE(Record({"Contacts", "Unnamed"}), nullptr);
}

}  // namespace zorvan::test

namespace zorvan::test {

// Memory that runs out inside a command (here: as its dialog comes up) ends that command with a
// message; the window, its database and its lock stay.
TEST_F(MainFrameTest, MemoryRunningOutInACommandIsToldAndTheWindowGoesOn) {
  const QString path = MakeDatabase("paměť.zvd", {"Eliška Šťastná"});
  ASSERT_TRUE(Start({path}));
  m_prompt.onModal = [](QDialog&) { throw std::bad_alloc(); };
  for (const int id : {ID_APP_ABOUT, ID_EDIT_FIND, ID_FILE_EXPORT_CALENDAR, ID_FILE_EXPORT_OTHER}) {
    m_prompt.messages.clear();
    Frame().Action(id)->trigger();
    ASSERT_EQ(m_prompt.messages.size(), 1u) << id;
    EXPECT_EQ(m_prompt.messages[0].text,
              QStringLiteral("There is not enough memory to finish the command."));
    EXPECT_EQ(m_prompt.messages[0].icon, EMsgIcon::Error);
  }
  m_prompt.onModal = nullptr;
  EXPECT_FALSE(Frame().IsRunningCommand());
  EXPECT_EQ(ToQString(Doc().GetPathName()), path);
  CDatabaseLock probe;
  EXPECT_FALSE(probe.Acquire(ToFilePath(path), "probe"));
  EXPECT_NE(Record({"Contacts", "Eliška Šťastná"}), nullptr);
}

}  // namespace zorvan::test
