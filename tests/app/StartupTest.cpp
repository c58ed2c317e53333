// Start-up: the command line, the recent-file list, the open-failure path, the frame.
#include <sys/stat.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QSplitter>
#include <QTreeWidget>

#include "app/DocumentCommands.h"
#include "app/MainFrame.h"
#include "app/ZorvanApp.h"
#include "store/FileRead.h"
#include "store/ZorvanDoc.h"
#include "store/ZvdLayout.h"
#include "tests/ui/GuiTest.h"
#include "ui/ZorvanTreeView.h"

namespace zorvan::test {
namespace {

class StartupTest : public CGuiTest {
 protected:
  void SetFile1(const QString& path) {
    QSettings(QStringLiteral("Tavorin"), QStringLiteral("Zorvan"))
        .setValue(QStringLiteral("Recent File List/File1"), path);
  }
  QString File1() const {
    return QSettings(QStringLiteral("Tavorin"), QStringLiteral("Zorvan"))
        .value(QStringLiteral("Recent File List/File1"))
        .toString();
  }
};

TEST_F(StartupTest, EmptyRecentListGivesUntitledDatabaseWithTheTwoRootsCollapsed) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(ShownTitle(), QStringLiteral("Untitled - Zorvan"));
  ASSERT_EQ(Tree().topLevelItemCount(), 2);
  EXPECT_EQ(Tree().topLevelItem(0)->text(0), QStringLiteral("Contacts"));
  EXPECT_EQ(Tree().topLevelItem(1)->text(0), QStringLiteral("Calendar"));
  EXPECT_EQ(ChildLabels(Tree().topLevelItem(1)),
            (QStringList{"Birthdays", "Anniversaries", "Namedays", "Calendar"}));
  EXPECT_FALSE(Tree().topLevelItem(0)->isExpanded());
  EXPECT_FALSE(Tree().topLevelItem(1)->isExpanded());
  EXPECT_TRUE(Tree().selectedItems().isEmpty());
  EXPECT_TRUE(m_prompt.messages.empty()) << m_prompt.MessageTexts().join('|').toStdString();
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(StartupTest, StartAfterADatabaseWasUsedReopensIt) {
  // First run: a new database with one contact, saved under a name.
  ASSERT_TRUE(Start());
  Select(Item({"Contacts"}));
  Frame().Action(ID_EDIT_CREATE_NEW)->trigger();
  const QString path = TempPath("friends.zvd");
  m_prompt.fileAnswers.push_back(path);
  ASSERT_TRUE(Frame().Documents().OnFileSave());
  EXPECT_EQ(ShownTitle(), QStringLiteral("friends.zvd - Zorvan"));
  EXPECT_TRUE(CloseWindow());
  Stop();
  EXPECT_EQ(File1(), path);

  // Second run without arguments.
  ASSERT_TRUE(Start());
  EXPECT_EQ(ShownTitle(), QStringLiteral("friends.zvd - Zorvan"));
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), QStringList{"Unnamed"});
  EXPECT_FALSE(Item({"Contacts"})->isExpanded());
}

TEST_F(StartupTest, FileOnTheCommandLineWinsOverTheRecentList) {
  const QString used = MakeDatabase("used.zvd", {"Old friend"});
  const QString named = MakeDatabase("named.zvd", {"New friend"});
  SetFile1(used);
  ASSERT_TRUE(Start({named}));
  EXPECT_EQ(ShownTitle(), QStringLiteral("named.zvd - Zorvan"));
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), QStringList{"New friend"});
  EXPECT_EQ(File1(), named);
}

TEST_F(StartupTest, MissingRecentFileShowsOneMessageAndRunsWithAnEmptyDatabase) {
  const QString gone = TempPath("gone.zvd");
  SetFile1(gone);
  ASSERT_TRUE(Start());
  ASSERT_EQ(m_prompt.messages.size(), 1u) << m_prompt.MessageTexts().join('|').toStdString();
  EXPECT_EQ(m_prompt.messages[0].text,
            QStringLiteral("Error: Can't open the contacts file.\n\nCannot open file %1:\nNo such "
                           "file or directory.")
                .arg(QDir::toNativeSeparators(gone)));
  EXPECT_EQ(m_prompt.messages[0].icon, EMsgIcon::Error);
  EXPECT_EQ(ShownTitle(), QStringLiteral("Untitled - Zorvan"));
  EXPECT_EQ(Tree().topLevelItemCount(), 2);
  EXPECT_EQ(Item({"Contacts"})->childCount(), 0);
  EXPECT_TRUE(Doc().GetPathName().empty());
  // The file is not offered again at the next start.
  EXPECT_TRUE(File1().isEmpty());
}

TEST_F(StartupTest, AFifoOrAHugeFileOnTheCommandLineIsRefusedAndTheWindowComesUp) {
  // Opening a FIFO waited for a writer before the window was shown; a sparse 64 GB file made
  // the program ask for 64 GB and die.
  const QString fifo = TempPath("roura.zvd");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString huge = TempPath("obří.zvd");
  QFile file(huge);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(qint64{64} << 30));
  file.close();
  const std::pair<QString, QString> cases[] = {
      {fifo, QStringLiteral("it is not a regular file")},
      {huge, QStringLiteral("it is too large to be read (64 GB; at most %1)")
                 .arg(QString::fromStdString(SizeText(zvd_layout::MaxDatabaseBytes())))}};
  for (const auto& [path, reason] : cases) {
    m_prompt.messages.clear();
    ASSERT_TRUE(Start({path}));
    ASSERT_EQ(m_prompt.messages.size(), 1u) << m_prompt.MessageTexts().join('|').toStdString();
    EXPECT_TRUE(m_prompt.messages[0].text.endsWith(
        QStringLiteral("Cannot open file %1:\n%2.").arg(QDir::toNativeSeparators(path), reason)));
    EXPECT_EQ(ShownTitle(), QStringLiteral("Untitled - Zorvan"));
    Stop();
  }
}

TEST_F(StartupTest, HelpVersionAndBadOptionsEndStartUpWithoutAWindow) {
  EXPECT_FALSE(Start({"--version"}));
  EXPECT_EQ(m_out.str(), "Zorvan 2.1.3\n");
  EXPECT_EQ(App().ExitCode(), 0);
  EXPECT_EQ(App().MainFrame(), nullptr);

  m_out.str("");
  EXPECT_FALSE(Start({"--help"}));
  EXPECT_NE(m_out.str().find("Usage: zorvan [options] [file]"), std::string::npos);
  EXPECT_EQ(App().ExitCode(), 0);

  EXPECT_FALSE(Start({"--frobnicate"}));
  EXPECT_NE(m_err.str().find("--frobnicate"), std::string::npos);
  EXPECT_EQ(App().ExitCode(), 1);
  EXPECT_EQ(App().MainFrame(), nullptr);
}

TEST_F(StartupTest, ShortOptionsTheFirstOfHelpAndVersionAndTheExactComplaint) {
  EXPECT_FALSE(Start({"-v"}));
  EXPECT_EQ(m_out.str(), "Zorvan 2.1.3\n");
  m_out.str("");
  EXPECT_FALSE(Start({"-h"}));
  EXPECT_EQ(m_out.str().rfind("Usage: zorvan [options] [file]\n", 0), 0u) << m_out.str();
  m_out.str("");
  EXPECT_FALSE(Start({"--version", "--help"}));
  EXPECT_EQ(m_out.str(), "Zorvan 2.1.3\n");
  m_out.str("");
  EXPECT_FALSE(Start({"-x", "Žluťoučký.zvd"}));
  EXPECT_EQ(m_out.str(), "");
  EXPECT_EQ(m_err.str(),
            "zorvan: unknown option '-x'\nTry 'zorvan --help' for more information.\n");
  EXPECT_EQ(App().ExitCode(), 1);
  m_err.str("");
  EXPECT_FALSE(Start({"--version=2"}));
  EXPECT_EQ(m_out.str(), "");
  EXPECT_EQ(m_err.str(),
            "zorvan: unknown option '--version=2'\nTry 'zorvan --help' for more information.\n");
  EXPECT_EQ(App().ExitCode(), 1);
  EXPECT_EQ(App().MainFrame(), nullptr);
}

TEST_F(StartupTest, OnlyTheFirstOfSeveralFilesIsOpened) {
  const QString first = MakeDatabase("první.zvd", {"Čeněk"});
  const QString second = MakeDatabase("druhý.zvd", {"Łucja"});
  ASSERT_TRUE(Start({first, second}));
  EXPECT_EQ(ShownTitle(), QStringLiteral("první.zvd - Zorvan"));
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), QStringList{"Čeněk"});
}

TEST_F(StartupTest, SplitterGivesTheTreeAThirdAndKeepsItsWidthOnResize) {
  ASSERT_TRUE(Start());
  const QList<int> sizes = Frame().Splitter()->sizes();
  ASSERT_EQ(sizes.size(), 2);
  const int width = Frame().Splitter()->width();
  EXPECT_NEAR(sizes[0], width / 3, 3);
  EXPECT_NEAR(sizes[1], 2 * width / 3, 6);
  Frame().resize(Frame().width() + 200, Frame().height());
  QApplication::processEvents();
  // The form's minimum width (every tab in sight) costs the splitter a pixel of rounding.
  EXPECT_NEAR(Frame().Splitter()->sizes()[0], sizes[0], 1);
  EXPECT_NEAR(Frame().Splitter()->sizes()[1], sizes[1] + 200, 1);
}

TEST_F(StartupTest, AboutBoxShowsTheVersionInPlaceOfThePlaceholder) {
  ASSERT_TRUE(Start());
  QString version;
  QString title;
  m_prompt.onModal = [&](QDialog& dialog) {
    title = dialog.windowTitle();
    if (auto* label = dialog.findChild<QLabel*>(QStringLiteral("version"))) version = label->text();
  };
  Frame().Action(ID_APP_ABOUT)->trigger();
  EXPECT_EQ(title, QStringLiteral("About Zorvan"));
  EXPECT_EQ(version, QStringLiteral("Zorvan 2.1.3"));
}

}  // namespace
}  // namespace zorvan::test
