// A second start of the program while it runs: it hands its file to the running window (which
// asks to save first) and ends.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <sstream>

#include <unistd.h>

#include "app/InstanceChannel.h"
#include "app/MainFrame.h"
#include "app/ZorvanApp.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"
#include "ui/QtText.h"
#include "ui/ZorvanTreeView.h"

namespace zorvan::test {
namespace {

class SecondStartTest : public CGuiTest {
 protected:
  // Starts the program a second time in this process; true when it went on to a window.
  bool StartSecond(const QStringList& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    m_pSecond = std::make_unique<CZorvanApp>();
    return m_pSecond->InitInstance(QStringList{QStringLiteral("zorvan")} + arguments, out, err);
  }
  // Lets the running window work until its database is the file at path.
  bool WaitForDatabase(const QString& path) {
    const std::string full = ToStdString(QFileInfo(path).absoluteFilePath());
    for (int i = 0; i < 200 && Doc().GetPathName() != full; ++i) QTest::qWait(10);
    return Doc().GetPathName() == full;
  }
  void TearDown() override {
    m_pSecond.reset();
    CGuiTest::TearDown();
  }

  std::unique_ptr<CZorvanApp> m_pSecond;
};

}  // namespace

TEST_F(SecondStartTest, TheFileOfASecondStartOpensInTheRunningWindowAfterTheSaveQuestion) {
  const QString first = MakeDatabase("první.zvd", {"Jiří Kovář"});
  const QString second = MakeDatabase("druhá.zvd", {"Łucja Wąsowska"});
  ASSERT_TRUE(Start({first}));
  Select(Item({"Contacts"}));
  Frame().Action(ID_EDIT_CREATE_NEW)->trigger();
  ASSERT_TRUE(Doc().IsModified());

  // Cancel keeps the running database; the second start has ended all the same.
  m_prompt.saveAnswers = {ESaveAnswer::Cancel};
  EXPECT_FALSE(StartSecond({second}));
  EXPECT_EQ(m_pSecond->ExitCode(), 0);
  EXPECT_EQ(m_pSecond->MainFrame(), nullptr);
  EXPECT_FALSE(WaitForDatabase(second));
  EXPECT_EQ(m_prompt.savePrompts.size(), 1);
  EXPECT_NE(Record({"Contacts", "Unnamed"}), nullptr);

  // No: the handed file becomes the database, with a relative path made whole by the start.
  m_prompt.saveAnswers = {ESaveAnswer::No};
  const QString previous = QDir::currentPath();
  QDir::setCurrent(QFileInfo(second).absolutePath());
  EXPECT_FALSE(StartSecond({QFileInfo(second).fileName()}));
  QDir::setCurrent(previous);
  EXPECT_TRUE(WaitForDatabase(second));
  EXPECT_EQ(m_prompt.savePrompts.size(), 2);
  EXPECT_NE(Record({"Contacts", "Łucja Wąsowska"}), nullptr);
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(SecondStartTest, ASecondStartWithoutAFileLeavesTheRunningDatabaseAndEnds) {
  const QString first = MakeDatabase("a.zvd", {"Ágnes"});
  ASSERT_TRUE(Start({first}));
  EXPECT_FALSE(StartSecond({}));
  EXPECT_EQ(m_pSecond->ExitCode(), 0);
  QTest::qWait(50);
  EXPECT_EQ(ToQString(Doc().GetPathName()), QFileInfo(first).absoluteFilePath());
  EXPECT_TRUE(m_prompt.savePrompts.isEmpty());
}

TEST_F(SecondStartTest, AStartAfterTheProgramEndedOrCrashedRunsItsOwnWindow) {
  const QString a = MakeDatabase("a.zvd", {"Ödön"});
  const QString b = MakeDatabase("b.zvd", {"Ännchen"});
  ASSERT_TRUE(Start({a}));
  Stop();
  EXPECT_TRUE(StartSecond({b}));
  m_pSecond.reset();
  // A socket left behind by a program that did not end cleanly.
  QFile stale(QDir(QDir::tempPath()).filePath(CInstanceChannel::ChannelName()));
  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  stale.close();
  ASSERT_TRUE(Start({a}));
  // It listens again: a later start hands over.
  m_prompt.saveAnswers = {ESaveAnswer::No};
  EXPECT_FALSE(StartSecond({b}));
  EXPECT_TRUE(WaitForDatabase(b));
}

TEST_F(SecondStartTest, TheChannelBelongsToTheUserAndHisSettings) {
  const QString name = CInstanceChannel::ChannelName();
  EXPECT_TRUE(name.startsWith(QStringLiteral("zorvan-%1-").arg(getuid()))) << name.toStdString();
  EXPECT_EQ(CInstanceChannel::ChannelName(), name);
  // A line nobody listens on takes nothing, at once.
  CInstanceChannel nobody(name + QStringLiteral("-none"));
  EXPECT_FALSE(nobody.HandOver(QStringLiteral("/tmp/x.zvd")));
}

}  // namespace zorvan::test
